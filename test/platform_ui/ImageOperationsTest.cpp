// Picture operations: turning about the centre onto the bounding box, cutting in whole
// pixels, flips, drawing under a transform, and making each of the eight camera
// orientations upright.
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "support/AppTest.h"

#include <cmath>

using namespace platform;

namespace {

class ImageOperationsTest : public testing_support::AppTest {};

constexpr uint32_t kRed = 0xffff0000, kGreen = 0xff00ff00, kBlue = 0xff0000ff, kWhite = 0xffffffff;

// A w x h picture, white with a red top-left, green top-right and blue bottom-left pixel.
ImageRef cornerPicture(int w, int h) {
    auto ctx = makeImageContext({double(w), double(h)});
    ctx->fillRect({0, 0, double(w), double(h)}, Color::whiteColor());
    ctx->fillRect({0, 0, 1, 1}, Color::rgba(1, 0, 0, 1));
    ctx->fillRect({double(w - 1), 0, 1, 1}, Color::rgba(0, 1, 0, 1));
    ctx->fillRect({0, double(h - 1), 1, 1}, Color::rgba(0, 0, 1, 1));
    return ctx->image();
}

TEST_F(ImageOperationsTest, EachOrientationComesOutUpright) {
    // The stored picture is 3 x 2. Where its red, green and blue corners must land once
    // upright, following the camera's orientation tags.
    struct Case {
        ImageOrientation orientation;
        int width, height;
        int redX, redY, greenX, greenY, blueX, blueY;
    };
    const Case cases[] = {
        {ImageOrientation::Up, 3, 2, 0, 0, 2, 0, 0, 1},
        {ImageOrientation::UpMirrored, 3, 2, 2, 0, 0, 0, 2, 1},
        {ImageOrientation::Down, 3, 2, 2, 1, 0, 1, 2, 0},
        {ImageOrientation::DownMirrored, 3, 2, 0, 1, 2, 1, 0, 0},
        {ImageOrientation::LeftMirrored, 2, 3, 0, 0, 0, 2, 1, 0},
        {ImageOrientation::Right, 2, 3, 1, 0, 1, 2, 0, 0},
        {ImageOrientation::RightMirrored, 2, 3, 1, 2, 1, 0, 0, 2},
        {ImageOrientation::Left, 2, 3, 0, 2, 0, 0, 1, 2},
    };
    const auto stored = cornerPicture(3, 2);
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.orientation));
        const auto tagged = stored->withOrientation(c.orientation);
        EXPECT_EQ(tagged->size().width, c.width);
        const auto upright = Image::uprightImage(tagged);
        ASSERT_TRUE(upright);
        EXPECT_EQ(upright->orientation(), ImageOrientation::Up);
        ASSERT_EQ(upright->pixelWidth(), c.width);
        ASSERT_EQ(upright->pixelHeight(), c.height);
        EXPECT_EQ(upright->pixelAt(c.redX, c.redY), kRed);
        EXPECT_EQ(upright->pixelAt(c.greenX, c.greenY), kGreen);
        EXPECT_EQ(upright->pixelAt(c.blueX, c.blueY), kBlue);
    }
    // An upright picture is handed back untouched.
    EXPECT_EQ(Image::uprightImage(stored), stored);
}

TEST_F(ImageOperationsTest, TurningAboutTheCentreFillsTheBoundingBox) {
    const auto picture = cornerPicture(40, 20);
    const auto quarter = picture->rotatedByRadians(M_PI / 2);
    ASSERT_EQ(quarter->pixelWidth(), 20);
    ASSERT_EQ(quarter->pixelHeight(), 40);
    // Clockwise on screen: the top-left corner goes to the top-right.
    EXPECT_EQ(quarter->pixelAt(19, 0), kRed);
    EXPECT_EQ(picture->rotatedByRadians(0)->pixelAt(0, 0), kRed);

    const auto thirty = cornerPicture(400, 300)->rotatedByRadians(M_PI / 6);
    EXPECT_EQ(thirty->pixelWidth(), int(std::ceil(400 * std::cos(M_PI / 6) + 300 * 0.5 - 1e-6)));
    EXPECT_EQ(thirty->pixelHeight(), int(std::ceil(400 * 0.5 + 300 * std::cos(M_PI / 6) - 1e-6)));
    // The corners of the canvas lie outside the turned picture: clear.
    EXPECT_EQ(thirty->pixelAt(0, 0) >> 24, 0u);
    EXPECT_EQ(thirty->pixelAt(thirty->pixelWidth() / 2, thirty->pixelHeight() / 2), kWhite);
}

TEST_F(ImageOperationsTest, TheTurnedCutIsTheCutOfTheTurnedPicture) {
    // A picture with detail everywhere, so any misplaced row or column shows.
    const auto detailed = [](int w, int h) {
        auto ctx = makeImageContext({double(w), double(h)});
        for (int y = 0; y < h; y += 8)
            for (int x = 0; x < w; x += 8)
                ctx->fillRect({double(x), double(y), 8, 8},
                              Color::rgb255((x * 3) % 256, (y * 5) % 256, ((x + y) * 7) % 256));
        return ctx->image();
    };
    struct Case {
        int width, height;  // the large one is drawn in bands
        double radians;
        Rect rect;
    };
    const Case cases[] = {
        {300, 200, M_PI / 6, {20.7, 31.2, 150.9, 120}},
        {300, 200, -1.1, {-40, -40, 600, 600}},  // limited to the turned canvas
        {300, 200, M_PI / 2, {0, 0, 200, 300}},
        {1400, 1000, M_PI / 6, {100, 80, 1200, 1100}},
        {1400, 1000, 0.3, {0, 0, 5000, 5000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " at " + std::to_string(c.radians));
        const auto picture = detailed(c.width, c.height);
        const auto expected = picture->rotatedByRadians(c.radians)->croppedToRect(c.rect);
        const auto cut = picture->rotatedByRadiansCroppedToRect(c.radians, c.rect);
        ASSERT_TRUE(expected && cut);
        ASSERT_EQ(cut->pixelWidth(), expected->pixelWidth());
        ASSERT_EQ(cut->pixelHeight(), expected->pixelHeight());
        int worst = 0;
        for (int y = 0; y < cut->pixelHeight(); y += 3)
            for (int x = 0; x < cut->pixelWidth(); x += 3) {
                const uint32_t a = cut->pixelAt(x, y), b = expected->pixelAt(x, y);
                // Premultiplied, as drawn: an edge pixel's faint colour is not magnified.
                const int alphaA = int(a >> 24), alphaB = int(b >> 24);
                worst = std::max(worst, std::abs(alphaA - alphaB));
                for (int shift = 0; shift < 24; shift += 8)
                    worst = std::max(worst, std::abs(int((a >> shift) & 0xff) * alphaA -
                                                     int((b >> shift) & 0xff) * alphaB) / 255);
            }
        // Where the canvas is cut only the sampling's rounding may differ.
        EXPECT_LE(worst, 2);
    }
    // A rectangle beside the turned picture gives nothing.
    EXPECT_FALSE(cornerPicture(40, 20)->rotatedByRadiansCroppedToRect(M_PI / 6, {500, 0, 10, 10}));
}

TEST_F(ImageOperationsTest, CuttingTakesWholePixelsWithinThePicture) {
    const auto picture = cornerPicture(40, 20);
    struct Case {
        Rect rect;
        int width, height;  // 0: nothing
        uint32_t topLeft;
    };
    const Case cases[] = {
        {{0, 0, 40, 20}, 40, 20, kRed},
        {{30, 0, 10, 5}, 10, 5, kWhite},
        {{39, 0, 1, 1}, 1, 1, kGreen},
        {{-10, -10, 20, 20}, 10, 10, kRed},       // limited to the picture
        {{0, -160, 640, 640}, 40, 20, kRed},      // the whole picture
        {{2.9, 1.7, 5.9, 4.2}, 5, 4, kWhite},     // toward zero
        {{40, 0, 10, 10}, 0, 0, 0},               // beside it
        {{-30, 0, 20, 10}, 0, 0, 0},
        {{0, 0, 0, 10}, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rect.x());
        const auto cut = picture->croppedToRect(c.rect);
        if (c.width == 0) {
            EXPECT_FALSE(cut);
            continue;
        }
        ASSERT_TRUE(cut);
        EXPECT_EQ(cut->pixelWidth(), c.width);
        EXPECT_EQ(cut->pixelHeight(), c.height);
        EXPECT_EQ(cut->pixelAt(0, 0), c.topLeft);
    }
}

TEST_F(ImageOperationsTest, FlipsMirrorTheStoredPixels) {
    const auto picture = cornerPicture(4, 3);
    const auto vertical = picture->flippedVertically();
    EXPECT_EQ(vertical->pixelAt(0, 2), kRed);
    EXPECT_EQ(vertical->pixelAt(0, 0), kBlue);
    const auto horizontal = picture->flippedHorizontally();
    EXPECT_EQ(horizontal->pixelAt(3, 0), kRed);
    EXPECT_EQ(horizontal->pixelAt(0, 0), kGreen);
    EXPECT_EQ(picture->redrawnToSize({8, 6})->pixelWidth(), 8);
}

TEST_F(ImageOperationsTest, DrawingUnderATransformMovesAndScalesThePicture) {
    // 8 x 8: left half red, right half green.
    auto ctx = makeImageContext({8, 8});
    ctx->fillRect({0, 0, 4, 8}, Color::rgba(1, 0, 0, 1));
    ctx->fillRect({4, 0, 4, 8}, Color::rgba(0, 1, 0, 1));
    const auto picture = ctx->image();
    // Twice as large, moved 4 right, on a 24 x 20 canvas.
    const auto drawn = picture->drawnUnderTransform({24, 20}, 1, AffineTransform::translation(4, 0), {0, 0, 16, 16});
    ASSERT_EQ(drawn->pixelWidth(), 24);
    EXPECT_EQ(drawn->pixelAt(1, 1) >> 24, 0u);
    EXPECT_EQ(drawn->pixelAt(7, 8), kRed);
    EXPECT_EQ(drawn->pixelAt(16, 8), kGreen);
    EXPECT_EQ(drawn->pixelAt(22, 8) >> 24, 0u);
    EXPECT_EQ(drawn->pixelAt(10, 18) >> 24, 0u);
}

}  // namespace
