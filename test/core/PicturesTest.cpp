#include "core/MVTPublicMethod.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "support/AppTest.h"

#include <cairo.h>

#include <cmath>
#include <random>

namespace fs = std::filesystem;
using platform::Color;
using platform::Image;
using platform::ImageRef;

namespace {

class PicturesTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        platform::AlertView::clearVisible();
        platform::Screen::mainScreen().reset();
    }
    void TearDown() override {
        platform::AlertView::clearVisible();
        MVTPublicMethod::setTextLookup(nullptr);
        AppTest::TearDown();
    }

    // Random pixels: JPEG cannot compress them, so the encodings are large.
    static ImageRef noise(int width, int height) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_surface_flush(surface);
        unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        std::mt19937 random(7);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
            for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | (random() & 0x00FFFFFFu);
        }
        cairo_surface_mark_dirty(surface);
        auto image = Image::fromSurface(surface);
        cairo_surface_destroy(surface);
        return image;
    }

    static ImageRef plain(int width, int height, const Color& color) {
        return Image::imageWithColor(color, {double(width), double(height)});
    }
};

TEST_F(PicturesTest, UploadQualityFollowsTheByteStepsOfTheFullQualityEncoding) {
    struct Case {
        std::size_t length;
        std::optional<double> quality;
    };
    const Case cases[] = {
        {0, std::nullopt},       {131072, std::nullopt}, {131073, 0.5},  {262144, 0.5},
        {262145, 0.25},          {524288, 0.25},         {524289, 0.1},  {1048576, 0.1},
        {1048577, 0.01},         {50u * 1024 * 1024, 0.01},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MVTPublicMethod::jpegQualityForLength(c.length), c.quality) << c.length;
    }
}

TEST_F(PicturesTest, ImageDataReencodesALargePictureOnceAndKeepsASmallOne) {
    auto small = plain(40, 30, Color::rgb255(200, 40, 40));
    std::string smallFull = small->jpegData(1.0);
    ASSERT_LE(smallFull.size(), MVTPublicMethod::kUploadStep1);
    EXPECT_EQ(MVTPublicMethod::imageData(small), smallFull);

    auto large = noise(1000, 800);
    std::string full = large->jpegData(1.0);
    auto quality = MVTPublicMethod::jpegQualityForLength(full.size());
    ASSERT_TRUE(quality.has_value()) << full.size();
    std::string data = MVTPublicMethod::imageData(large);
    EXPECT_EQ(data, large->jpegData(*quality));
    EXPECT_LT(data.size(), full.size());
    EXPECT_TRUE(Image::isPicture(data));

    EXPECT_TRUE(MVTPublicMethod::imageData(nullptr).empty());
}

TEST_F(PicturesTest, ScaleFactorIsTheLimitOverTheLengthOnBothSides) {
    EXPECT_EQ(MVTPublicMethod::scaleFactorForLength(0), std::nullopt);
    EXPECT_EQ(MVTPublicMethod::scaleFactorForLength(102400), std::nullopt);
    EXPECT_DOUBLE_EQ(*MVTPublicMethod::scaleFactorForLength(102401), 102400.0 / 102401.0);
    double factor = *MVTPublicMethod::scaleFactorForLength(204800);
    EXPECT_DOUBLE_EQ(factor, 0.5);

    // 1000 x 800 whose full-quality encoding is 204,800 bytes becomes 500 x 400.
    auto picture = plain(1000, 800, Color::rgb255(10, 120, 200));
    auto scaled = MVTPublicMethod::scale(picture, {1000 * factor, 800 * factor});
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->pixelWidth(), 500);
    EXPECT_EQ(scaled->pixelHeight(), 400);
    EXPECT_EQ(scaled->scale(), 1);
}

TEST_F(PicturesTest, ScaleImageShrinksALargeEncodingAndKeepsASmallPicture) {
    auto small = plain(100, 80, Color::rgb255(0, 200, 0));
    ASSERT_LE(small->jpegData(1.0).size(), MVTPublicMethod::kScaleLimit);
    EXPECT_EQ(MVTPublicMethod::ScaleImage(small), small);

    auto large = noise(1000, 800);
    std::size_t length = large->jpegData(1.0).size();
    ASSERT_GT(length, MVTPublicMethod::kScaleLimit);
    double factor = 102400.0 / double(length);
    auto scaled = MVTPublicMethod::ScaleImage(large);
    ASSERT_TRUE(scaled);
    EXPECT_NEAR(scaled->pixelWidth(), 1000 * factor, 1.0);
    EXPECT_NEAR(scaled->pixelHeight(), 800 * factor, 1.0);
}

TEST_F(PicturesTest, ScaleRedrawsToExactlyTheSizeAtScaleOne) {
    auto retina = Image::imageWithData(plain(60, 40, Color::red())->pngData(), 2);  // 30 x 20 points
    auto scaled = MVTPublicMethod::scale(retina, {45, 17});
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->scale(), 1);
    EXPECT_EQ(scaled->pixelWidth(), 45);
    EXPECT_EQ(scaled->pixelHeight(), 17);
    EXPECT_EQ(scaled->pixelAt(20, 8), 0xFFFF0000u);
}

TEST_F(PicturesTest, TintKeepsTheColourWhereThePictureIsOpaqueAtScreenScale) {
    // Left half opaque black, right half clear.
    platform::ImageGraphicsContext context({10, 10}, 1, false);
    context.fillRect({0, 0, 5, 10}, Color::black());
    auto shape = context.image();

    auto tinted = MVTPublicMethod::imageWithTintColor(shape, Color::rgb255(0, 128, 255), {20, 10});
    ASSERT_TRUE(tinted);
    EXPECT_EQ(tinted->scale(), 2);
    EXPECT_EQ(tinted->pixelWidth(), 40);
    EXPECT_EQ(tinted->pixelHeight(), 20);
    EXPECT_EQ(tinted->pixelAt(5, 10), 0xFF0080FFu);
    EXPECT_EQ(tinted->pixelAt(35, 10) >> 24, 0u);

    // A half-transparent colour stays half transparent where the picture is opaque.
    auto faint = MVTPublicMethod::imageWithTintColor(shape, Color::rgba(1, 0, 0, 0.5), {10, 10});
    EXPECT_NEAR(double(faint->pixelAt(2, 2) >> 24), 128, 2);
    EXPECT_EQ(faint->pixelAt(18, 2) >> 24, 0u);
}

TEST_F(PicturesTest, ImageViewWithColorHoldsOnePointOfTheColour) {
    auto view = MVTPublicMethod::imageViewWithColor(Color::rgba(0.243, 0.624, 0.829));
    ASSERT_TRUE(view && view->image());
    EXPECT_EQ(view->image()->size(), (platform::Size{1, 1}));
    EXPECT_EQ(view->image()->pixelAt(0, 0), 0xFF3E9FD4u);
}

TEST_F(PicturesTest, CoverPictureIsStoredAsPngInItsFolderAndReplacesTheOldOne) {
    fs::path folder = platform::Paths::documentsDirectory() / "settingImage";
    ASSERT_TRUE(MVTPublicMethod::saveBackGroudImage(plain(8, 6, Color::red()), "cover"));
    auto first = Image::imageWithContentsOfFile(folder / "cover.png");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->pixelAt(0, 0), 0xFFFF0000u);
    auto bytes = platform::readFile(folder / "cover.png");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(1, 3), "PNG");

    ASSERT_TRUE(MVTPublicMethod::saveBackGroudImage(plain(4, 4, Color::blue()), "cover"));
    auto second = Image::imageWithContentsOfFile(folder / "cover.png");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->pixelWidth(), 4);
    EXPECT_EQ(second->pixelAt(0, 0), 0xFF0000FFu);

    // A name can never put the file outside the folder.
    ASSERT_TRUE(MVTPublicMethod::saveBackGroudImage(plain(2, 2, Color::red()), "../escape"));
    EXPECT_FALSE(fs::exists(platform::Paths::documentsDirectory() / "escape.png"));
    EXPECT_TRUE(fs::exists(folder / ".._escape.png"));

    EXPECT_FALSE(MVTPublicMethod::saveBackGroudImage(nullptr, "none"));
}

TEST_F(PicturesTest, UncachedResourceIsReadFromItsFileEachTime) {
    auto first = MVTPublicMethod::newImageNotCached("load_1@2x");
    auto second = MVTPublicMethod::newImageNotCached("load_1@2x");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->pixelWidth(), 40);
    EXPECT_EQ(MVTPublicMethod::newImageNotCached("no_such_picture"), nullptr);
}

TEST_F(PicturesTest, CleanCacheWithoutDownloadsFolderShowsNoAlert) {
    EXPECT_EQ(MVTPublicMethod::cleanCache(), nullptr);
    EXPECT_TRUE(platform::AlertView::visibleAlerts().empty());
}

TEST_F(PicturesTest, CleanCacheRemovesTheFolderAndReportsItInLookedUpTexts) {
    std::string cached = MVTPublicMethod::getPathByFileName("42", "png");
    ASSERT_TRUE(platform::writeFileAtomically(cached, "avatar"));

    auto alert = MVTPublicMethod::cleanCache();
    ASSERT_TRUE(alert);
    EXPECT_FALSE(fs::exists(platform::Paths::documentsDirectory() / "Downloads"));
    EXPECT_EQ(platform::AlertView::topAlert(), alert);
    EXPECT_EQ(alert->title(), "提示");
    EXPECT_EQ(alert->message(), "清除缓存成功");
    ASSERT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "确定");

    // With a string table installed, all three texts come from it.
    MVTPublicMethod::setTextLookup([](const std::string& key) { return "[" + key + "]"; });
    MVTPublicMethod::getPathByFileName("43", "png");
    auto second = MVTPublicMethod::cleanCache();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->title(), "[提示]");
    EXPECT_EQ(second->message(), "[清除缓存成功]");
    EXPECT_EQ(second->buttonTitleAtIndex(0), "[确定]");
}

}  // namespace
