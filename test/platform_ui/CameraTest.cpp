// The camera stand-in fed from picture files, and QR decoding of its frames.

#include "platform/RunLoop.h"
#include "platform/ui/Camera.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/QrDecoder.h"
#include "support/AppTest.h"
#include "support/BarcodePictures.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <fstream>

using namespace platform;

namespace {

using testing_support::code128Picture;
using testing_support::qrPicture;

class CameraTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Camera::reset();
    }
    void TearDown() override {
        Camera::reset();
        AppTest::TearDown();
    }
    std::filesystem::path writePng(const ImageRef& picture, const std::string& name) {
        auto path = home_ / name;
        std::ofstream(path, std::ios::binary) << picture->pngData();
        return path;
    }
};

// Collects what a capture delivers.
struct FrameSink : CaptureVideoDataOutputDelegate {
    void captureOutputDidOutputSampleBuffer(CaptureVideoDataOutput&, const CameraFrame& frame) override {
        frames.push_back(frame);
    }
    std::vector<CameraFrame> frames;
};

struct DecoderSink : QrDecoderDelegate {
    void decoderDidDecode(QrDecoder&, const std::string& text) override { results.push_back(text); }
    void decoderFailedToDecode(QrDecoder&, const std::string&) override { ++failures; }
    std::vector<std::string> results;
    int failures = 0;
};

std::shared_ptr<CaptureSession> runningCapture(const std::shared_ptr<FrameSink>& sink) {
    auto input = CaptureDeviceInput::deviceInputWithDevice(CaptureDevice::defaultVideoDevice());
    if (!input) return nullptr;
    auto session = std::make_shared<CaptureSession>();
    session->addInput(input);
    auto output = std::make_shared<CaptureVideoDataOutput>();
    output->setSampleBufferDelegate(sink);
    session->addOutput(output);
    session->startRunning();
    return session;
}

TEST_F(CameraTest, ThereIsACameraOnlyWhileItIsFedAndAllowed) {
    EXPECT_EQ(CaptureDevice::defaultVideoDevice(), nullptr);
    std::string error;
    EXPECT_EQ(CaptureDeviceInput::deviceInputWithDevice(nullptr, &error), nullptr);
    EXPECT_FALSE(error.empty());

    Camera::setFrameFiles({writePng(qrPicture("1"), "a.png")});
    auto device = CaptureDevice::defaultVideoDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_NE(CaptureDeviceInput::deviceInputWithDevice(device), nullptr);

    Camera::setAccessGranted(false);
    error.clear();
    EXPECT_EQ(CaptureDeviceInput::deviceInputWithDevice(device, &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST_F(CameraTest, FramesComeInTurnAtTheFrameRateUntilTheCaptureStops) {
    auto red = makeImageContext({8, 4}, 1, true);
    red->fillRect({0, 0, 8, 4}, Color::red());
    auto blue = makeImageContext({8, 4}, 1, true);
    blue->fillRect({0, 0, 8, 4}, Color::rgba(0, 0, 1));
    // A file that is not a picture gives no frame.
    std::ofstream(home_ / "broken.png") << "not a picture";
    Camera::setFrameFiles({writePng(red->image(), "red.png"), home_ / "broken.png", writePng(blue->image(), "blue.png")});

    auto sink = std::make_shared<FrameSink>();
    auto session = runningCapture(sink);
    ASSERT_NE(session, nullptr);
    auto preview = std::make_shared<CaptureVideoPreviewLayer>(session);
    EXPECT_TRUE(sink->frames.empty());
    advance(Camera::kFrameInterval * 3 + 0.01);
    ASSERT_EQ(sink->frames.size(), 3u);
    // BGRA: blue first, the unused byte last.
    const auto firstPixel = [](const CameraFrame& f) {
        return std::vector<uint8_t>(f.bytes.begin(), f.bytes.begin() + 4);
    };
    EXPECT_EQ(firstPixel(sink->frames[0]), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(firstPixel(sink->frames[1]), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(firstPixel(sink->frames[2]), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(sink->frames[0].width, 8);
    EXPECT_EQ(sink->frames[0].bytesPerRow, 32);
    ASSERT_NE(preview->image(), nullptr);
    EXPECT_EQ(preview->image()->pixelAt(0, 0), 0xFFFF0000u);

    session->stopRunning();
    advance(1);
    EXPECT_EQ(sink->frames.size(), 3u);
    EXPECT_EQ(session->framesDelivered(), 3);
}

TEST_F(CameraTest, AFrameBecomesAnOpaquePictureAndAnUnreadableFrameNone) {
    CameraFrame frame;
    frame.width = 2;
    frame.height = 1;
    frame.bytesPerRow = 12;  // rows may be padded
    frame.bytes = {10, 20, 30, 0, 200, 100, 50, 7, 99, 99, 99, 99};
    auto picture = imageFromCameraFrame(frame);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixelAt(0, 0), 0xFF1E140Au);
    EXPECT_EQ(picture->pixelAt(1, 0), 0xFF3264C8u);

    for (auto broken : {CameraFrame{0, 1, 8, std::vector<uint8_t>(8)}, CameraFrame{2, 2, 8, std::vector<uint8_t>(8)},
                        CameraFrame{3, 1, 8, std::vector<uint8_t>(12)}})
        EXPECT_EQ(imageFromCameraFrame(broken), nullptr) << broken.width << "x" << broken.height;
}

TEST_F(CameraTest, AQrCodeInFrontOfTheCameraIsReadFromItsFrames) {
    const std::string text = "http://127.0.0.1/join?param=300101";
    Camera::setFrameFiles({writePng(qrPicture(text), "qr.png")});
    auto sink = std::make_shared<FrameSink>();
    auto session = runningCapture(sink);
    ASSERT_NE(session, nullptr);
    advance(Camera::kFrameInterval + 0.01);
    ASSERT_EQ(sink->frames.size(), 1u);
    auto picture = imageFromCameraFrame(sink->frames[0]);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(QrDecoder::decode(*picture), text);
}

TEST_F(CameraTest, OnlyQrCodesAreRead) {
    EXPECT_EQ(QrDecoder::decode(*qrPicture("班级 8801")), "班级 8801");
    EXPECT_EQ(QrDecoder::decode(*code128Picture("300101")), std::nullopt);
    // ... though it is a barcode that reads when Code 128 is asked for.
    const CameraFrame bars = CameraFrame::fromImage(*code128Picture("300101"));
    ZXing::DecodeHints code128;
    code128.setFormats(ZXing::BarcodeFormat::Code128);
    EXPECT_EQ(ZXing::ReadBarcode(ZXing::ImageView(bars.bytes.data(), bars.width, bars.height, ZXing::ImageFormat::BGRX),
                                 code128)
                  .text(),
              "300101");
    auto blank = makeImageContext({200, 200}, 1, true);
    blank->fillRect({0, 0, 200, 200}, Color::whiteColor());
    EXPECT_EQ(QrDecoder::decode(*blank->image()), std::nullopt);
}

TEST_F(CameraTest, TheDecoderReportsOnTheRunLoopAfterTheCurrentWork) {
    auto sink = std::make_shared<DecoderSink>();
    auto decoder = std::make_shared<QrDecoder>();
    decoder->setDelegate(sink);
    decoder->decodeImage(qrPicture("8801"));
    decoder->decodeImage(code128Picture("8801"));
    EXPECT_TRUE(sink->results.empty());
    EXPECT_EQ(sink->failures, 0);
    RunLoop::main().pump();
    EXPECT_EQ(sink->results, std::vector<std::string>{"8801"});
    EXPECT_EQ(sink->failures, 1);
}

}  // namespace
