// JPEG pictures: decoded opaque with their colours, turned upright by the orientation a
// camera writes into them, and refused when cut off, broken or impossibly large.
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/JpegDecoder.h"
#include "support/AppTest.h"

#include <cstdlib>

using namespace platform;

namespace {

class JpegDecodingTest : public testing_support::AppTest {};

// 64 x 32: red top-left, green top-right, blue bottom-left and white bottom-right quarters,
// large enough to come through compression as their colours.
std::string quartersJpeg() {
    auto ctx = makeImageContext({64, 32});
    ctx->fillRect({0, 0, 32, 16}, Color::rgba(1, 0, 0, 1));
    ctx->fillRect({32, 0, 32, 16}, Color::rgba(0, 1, 0, 1));
    ctx->fillRect({0, 16, 32, 16}, Color::rgba(0, 0, 1, 1));
    ctx->fillRect({32, 16, 32, 16}, Color::rgba(1, 1, 1, 1));
    return ctx->image()->jpegData(0.95);
}

// An EXIF segment holding one orientation entry, in Motorola or Intel byte order.
std::string exifSegment(int orientation, bool intel) {
    auto word = [intel](uint32_t v, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (intel ? i : bytes - 1 - i);
            out.push_back(char((v >> shift) & 0xff));
        }
        return out;
    };
    std::string tiff = intel ? std::string("II") : std::string("MM");
    tiff += word(42, 2) + word(8, 4) + word(1, 2);
    tiff += word(0x0112, 2) + word(3, 2) + word(1, 4) + word(uint32_t(orientation), 2) + word(0, 2);
    tiff += word(0, 4);
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const size_t length = payload.size() + 2;
    return std::string("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff) + payload;
}

std::string withExif(const std::string& jpeg, int orientation, bool intel = false) {
    return jpeg.substr(0, 2) + exifSegment(orientation, intel) + jpeg.substr(2);
}

// Which quarter colour a pixel shows: 'r', 'g', 'b', 'w' or '?'.
char quarterAt(const Image& image, int x, int y) {
    const uint32_t px = image.pixelAt(x, y);
    const int r = int((px >> 16) & 0xff), g = int((px >> 8) & 0xff), b = int(px & 0xff);
    auto near = [](int v, int want) { return std::abs(v - want) < 40; };
    if (near(r, 255) && near(g, 0) && near(b, 0)) return 'r';
    if (near(r, 0) && near(g, 255) && near(b, 0)) return 'g';
    if (near(r, 0) && near(g, 0) && near(b, 255)) return 'b';
    if (near(r, 255) && near(g, 255) && near(b, 255)) return 'w';
    return '?';
}

// The quarters read clockwise from the top-left: "rgwb" is the picture as stored.
std::string quartersOf(const Image& image) {
    const int w = image.pixelWidth(), h = image.pixelHeight();
    return {quarterAt(image, w / 4, h / 4), quarterAt(image, 3 * w / 4, h / 4), quarterAt(image, 3 * w / 4, 3 * h / 4),
            quarterAt(image, w / 4, 3 * h / 4)};
}

TEST_F(JpegDecodingTest, ColoursComeOutOpaqueAtTheirPlaces) {
    const auto bytes = quartersJpeg();
    auto image = Image::imageWithData(bytes, 2);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 64);
    EXPECT_EQ(image->pixelHeight(), 32);
    EXPECT_EQ(image->size(), (Size{32, 16}));
    EXPECT_EQ(quartersOf(*image), "rgwb");
    for (int y = 0; y < 32; y += 5)
        for (int x = 0; x < 64; x += 7) EXPECT_EQ(image->pixelAt(x, y) >> 24, 0xffu);
    EXPECT_TRUE(Image::isPicture(bytes));

    // A grey picture comes out grey, in all three colours.
    auto ctx = makeImageContext({16, 16});
    ctx->fillRect({0, 0, 16, 16}, Color::white(0.5));
    auto grey = Image::imageWithData(ctx->image()->jpegData(0.9));
    ASSERT_TRUE(grey);
    const uint32_t px = grey->pixelAt(8, 8);
    EXPECT_NEAR(int((px >> 16) & 0xff), 128, 3);
    EXPECT_NEAR(int(px & 0xff), 128, 3);
}

TEST_F(JpegDecodingTest, TheCamerasOrientationIsMadeUpright) {
    // Where the stored quarters go for each EXIF orientation, read clockwise from the
    // top-left; the quarter turns (5-8) swap width and height.
    struct Case {
        int exif;
        const char* quarters;
        bool swapped;
    };
    const Case cases[] = {
        {1, "rgwb", false}, {2, "grbw", false}, {3, "wbrg", false}, {4, "bwgr", false},
        {5, "rbwg", true},  {6, "brgw", true},  {7, "wgrb", true},  {8, "gwbr", true},
    };
    const auto plain = quartersJpeg();
    for (const auto& c : cases) {
        for (bool intel : {false, true}) {
            SCOPED_TRACE(std::to_string(c.exif) + (intel ? " intel" : " motorola"));
            auto image = Image::imageWithData(withExif(plain, c.exif, intel), 2);
            ASSERT_TRUE(image);
            EXPECT_EQ(image->pixelWidth(), c.swapped ? 32 : 64);
            EXPECT_EQ(image->scale(), 2);
            EXPECT_EQ(image->orientation(), ImageOrientation::Up);
            EXPECT_EQ(quartersOf(*image), c.quarters);
        }
    }
}

TEST_F(JpegDecodingTest, OrientationReadingSurvivesBrokenSegments) {
    const std::string good = exifSegment(6, false).substr(4);
    const auto read = [](const std::string& s) {
        return exifOrientationIn(reinterpret_cast<const unsigned char*>(s.data()), s.size());
    };
    EXPECT_EQ(read(good), 6);
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string farDirectory = good;
    farDirectory[6 + 7] = char(0x7f);  // the directory's offset points far past the end
    std::string manyEntries = good;
    manyEntries[6 + 8] = char(0xff);   // 65,000 entries in a segment of one,
    manyEntries[6 + 10 + 1] = 0x13;    // the one being another tag
    std::string badValue = exifSegment(9, false).substr(4);
    std::string notShort = good;
    notShort[6 + 8 + 2 + 3] = 4;  // a LONG where a SHORT belongs
    const Case cases[] = {
        {"empty", ""},
        {"no exif mark", "JFIF" + good.substr(4)},
        {"cut in the header", good.substr(0, 9)},
        {"cut in the entry", good.substr(0, good.size() - 10)},
        {"unknown byte order", "Exif\0\0XX" + good.substr(8)},
        {"far directory", farDirectory},
        {"many entries", manyEntries},
        {"value 9", badValue},
        {"not a short", notShort},
    };
    for (const auto& c : cases) EXPECT_EQ(read(c.bytes), 1) << c.what;
}

TEST_F(JpegDecodingTest, BrokenCutOffAndHugePicturesAreRefused) {
    const auto bytes = quartersJpeg();
    // The header's frame size: the two words after the SOF0 marker's length and precision.
    const size_t frame = bytes.find("\xff\xc0");
    ASSERT_NE(frame, std::string::npos);
    std::string huge = bytes;
    huge[frame + 5] = huge[frame + 6] = huge[frame + 7] = huge[frame + 8] = char(0xf0);  // 61,680 squared
    std::string scrambled = bytes;
    for (size_t i = frame; i < scrambled.size(); i += 3) scrambled[i] = char(0xff);
    const std::string cases[] = {
        bytes.substr(0, bytes.size() / 2),  // a cut-off download
        bytes.substr(0, frame + 4),         // cut inside the header
        huge,
        scrambled,
        std::string("\xff\xd8\xff", 3),
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Image::imageWithData(cases[i]), nullptr);
        EXPECT_FALSE(Image::isPicture(cases[i]));
    }
}

}  // namespace
