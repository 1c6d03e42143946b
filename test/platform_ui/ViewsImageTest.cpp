#include "platform/Files.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "support/AppTest.h"

#include <cstdlib>

using namespace platform;

namespace {

class ViewsImageTest : public testing_support::AppTest {};

// A picture with some detail, so that JPEG quality makes a difference.
ImageRef gradientPicture(int w, int h) {
    auto ctx = makeImageContext({double(w), double(h)});
    for (int y = 0; y < h; y += 4)
        for (int x = 0; x < w; x += 4) {
            ctx->setFillColor(Color::rgba((x * 7 % 255) / 255.0, (y * 13 % 255) / 255.0, ((x ^ y) % 255) / 255.0));
            ctx->fillRect({double(x), double(y), 4, 4});
        }
    return ctx->image();
}

TEST_F(ViewsImageTest, PngRoundTripKeepsPixelsAndTransparency) {
    auto ctx = makeImageContext({4, 2});
    ctx->fillRect({0, 0, 2, 2}, Color::rgba(1, 0, 0, 1));
    ctx->fillRect({2, 0, 1, 2}, Color::rgba(0, 0, 1, 0.5));
    auto image = ctx->image();
    std::string png = image->pngData();
    ASSERT_FALSE(png.empty());
    EXPECT_TRUE(Image::isPicture(png));
    auto back = Image::imageWithData(png);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->size(), (Size{4, 2}));
    EXPECT_EQ(back->pixelAt(0, 0), 0xFFFF0000u);
    EXPECT_EQ(back->pixelAt(3, 1), 0x00000000u);
    uint32_t half = back->pixelAt(2, 0);
    EXPECT_NEAR(int(half >> 24), 128, 1);
    EXPECT_NEAR(int(half & 0xff), 255, 2);
}

TEST_F(ViewsImageTest, JpegQualityChangesTheSizeAndDecodes) {
    auto image = gradientPicture(64, 64);
    std::string low = image->jpegData(0.1), high = image->jpegData(0.9);
    ASSERT_FALSE(low.empty());
    EXPECT_LT(low.size(), high.size());
    auto back = Image::imageWithData(high);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pixelWidth(), 64);
    EXPECT_EQ(back->pixelAt(0, 0) >> 24, 0xFFu);  // JPEG is opaque
}

TEST_F(ViewsImageTest, GifDecodes) {
    // A 1 x 1 GIF whose only pixel is palette entry 0, red.
    const unsigned char gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xff, 0, 0, 0, 0, 0,
                                 0x2c, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3b};
    std::string bytes(reinterpret_cast<const char*>(gif), sizeof gif);
    ASSERT_TRUE(Image::isPicture(bytes));
    auto image = Image::imageWithData(bytes);
    EXPECT_EQ(image->size(), (Size{1, 1}));
    EXPECT_EQ(image->pixelAt(0, 0), 0xFFFF0000u);
}

TEST_F(ViewsImageTest, NotAPictureIsRejected) {
    EXPECT_FALSE(Image::isPicture(""));
    EXPECT_FALSE(Image::isPicture("{\"error\":\"not found\"}"));
    EXPECT_EQ(Image::imageWithData("<html>404</html>"), nullptr);
    EXPECT_EQ(Image::imageWithContentsOfFile(home_ / "missing.png"), nullptr);
    // Formats the app never shows are not handed to a decoder at all (a portable pixmap).
    EXPECT_FALSE(Image::isPicture("P3\n1 1\n255\n255 0 0\n"));
    // A cut-off download is not a picture.
    std::string png = Image::imageWithColor(Color::red(), {8, 8})->pngData();
    EXPECT_FALSE(Image::isPicture(png.substr(0, png.size() / 2)));
}

TEST_F(ViewsImageTest, TintKeepsTheShapeAndReplacesTheColour) {
    auto ctx = makeImageContext({4, 4});
    ctx->fillRect({0, 0, 2, 4}, Color::rgba(1, 0, 0, 1));
    auto tinted = ctx->image()->tintedWithColor(Color::rgba(0, 1, 0, 1));
    EXPECT_EQ(tinted->pixelAt(0, 0), 0xFF00FF00u);
    EXPECT_EQ(tinted->pixelAt(3, 3) >> 24, 0u);
}

TEST_F(ViewsImageTest, RedrawToSizeAndScale) {
    auto image = Image::imageWithColor(Color::rgba(0, 0, 1, 1), {10, 20});
    auto smaller = image->redrawnToSize({5, 5});
    EXPECT_EQ(smaller->size(), (Size{5, 5}));
    EXPECT_EQ(smaller->pixelAt(2, 2), 0xFF0000FFu);
    auto retina = image->redrawnToSize({5, 5}, 2);
    EXPECT_EQ(retina->size(), (Size{5, 5}));
    EXPECT_EQ(retina->pixelWidth(), 10);
}

TEST_F(ViewsImageTest, NamedResourcesPreferTheDoubleScaleVariant) {
    auto folder = home_ / "res";
    std::filesystem::create_directories(folder);
    setenv("TIRRA_RESOURCES", folder.c_str(), 1);
    writeFileAtomically(folder / "arrow.png", Image::imageWithColor(Color::red(), {10, 10})->pngData());
    writeFileAtomically(folder / "arrow@2x.png", Image::imageWithColor(Color::red(), {20, 20})->pngData());
    writeFileAtomically(folder / "dot.png", Image::imageWithColor(Color::red(), {3, 3})->pngData());
    for (const char* name : {"arrow", "arrow.png"}) {
        auto image = Image::imageNamed(name);
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->size(), (Size{10, 10})) << name;
        EXPECT_EQ(image->scale(), 2) << name;
    }
    auto dot = Image::imageNamed("dot");
    ASSERT_TRUE(dot);
    EXPECT_EQ(dot->scale(), 1);
    EXPECT_FALSE(dot->isPlaceholder());
    // A missing picture still shows: a placeholder carrying its name.
    auto missing = Image::imageNamed("nothing");
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->isPlaceholder());
    EXPECT_EQ(missing->missingName(), "nothing");
    EXPECT_GT(missing->size().width, 0);
    EXPECT_EQ(Image::imageNamed(""), nullptr);
    unsetenv("TIRRA_RESOURCES");
}

TEST_F(ViewsImageTest, StretchableImageKeepsItsCapsWhenDrawnLarger) {
    // 5 px wide: red cap 2, green middle 1, blue cap 2.
    auto src = makeImageContext({5, 1});
    src->fillRect({0, 0, 2, 1}, Color::rgba(1, 0, 0, 1));
    src->fillRect({2, 0, 1, 1}, Color::rgba(0, 1, 0, 1));
    src->fillRect({3, 0, 2, 1}, Color::rgba(0, 0, 1, 1));
    auto stretchable = src->image()->stretchableImageWithLeftCapWidth(2, 0);
    EXPECT_EQ(stretchable->leftCapWidth(), 2);
    EXPECT_EQ(stretchable->capInsets().right, 2);
    auto dst = makeImageContext({20, 1});
    dst->drawImage(*stretchable, {0, 0, 20, 1});
    auto out = dst->image();
    EXPECT_EQ(out->pixelAt(0, 0), 0xFFFF0000u);
    EXPECT_EQ(out->pixelAt(10, 0), 0xFF00FF00u);
    EXPECT_EQ(out->pixelAt(19, 0), 0xFF0000FFu);
}

TEST_F(ViewsImageTest, ContentModePlacesThePicture) {
    Rect bounds(0, 0, 100, 50);
    EXPECT_EQ(GraphicsContext::rectForContentMode({20, 20}, bounds, ContentMode::ScaleAspectFit), Rect(25, 0, 50, 50));
    EXPECT_EQ(GraphicsContext::rectForContentMode({20, 20}, bounds, ContentMode::ScaleAspectFill), Rect(0, -25, 100, 100));
    EXPECT_EQ(GraphicsContext::rectForContentMode({20, 20}, bounds, ContentMode::Center), Rect(40, 15, 20, 20));
}

TEST_F(ViewsImageTest, ImageViewAnimatesItsFramesOnTheClock) {
    std::vector<ImageRef> frames;
    for (int i = 0; i < 4; ++i) frames.push_back(Image::imageWithColor(Color::white(i / 4.0)));
    auto view = std::make_shared<ImageView>(frames[0]);
    view->setAnimationImages(frames);
    view->setAnimationDuration(0.8);
    view->setAnimationRepeatCount(1);
    view->startAnimating();
    EXPECT_TRUE(view->isAnimating());
    EXPECT_EQ(view->displayedImage(), frames[0]);
    advance(0.2);
    EXPECT_EQ(view->displayedImage(), frames[1]);
    advance(0.4);
    EXPECT_EQ(view->displayedImage(), frames[3]);
    advance(0.2);  // one pass done
    EXPECT_FALSE(view->isAnimating());
    EXPECT_EQ(view->displayedImage(), frames[0]);  // back to the still picture
}

}  // namespace
