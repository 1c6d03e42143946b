#include "account/MVTZXingViewController.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/Log.h"
#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

using namespace platform;

MVTZXingViewController::MVTZXingViewController() = default;

MVTZXingViewController::~MVTZXingViewController() {
    if (startTimer_) startTimer_->invalidate();
    if (captureSession_) captureSession_->stopRunning();
    captureVideoPreviewLayer_.reset();
    captureSession_.reset();
}

void MVTZXingViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("扫描二维码"));
    auto weak = weakAs<MVTZXingViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));

    const Rect screen = Screen::mainScreen().bounds();
    contentView_ = std::make_shared<View>(Rect(25, 25, screen.width() - 50, screen.height() - 50));
    contentView_->setBackgroundColor(Color::whiteColor());
    view()->addSubview(contentView_);

    startTimer_ = RunLoop::main().performAfter(kCaptureDelay, [weak] {
        if (auto self = weak.lock()) self->initCapture();
    });

    auto hint = std::make_shared<Label>(Rect(0, 316, screen.width(), 20));
    hint->setText(localized("请将窗口正对二维码"));
    hint->setTextColor(Color::lightGray());
    hint->setFont(Font::systemFontOfSize(16));
    hint->setTextAlignment(TextAlignment::Center);
    hint->setBackgroundColor(Color::clear());
    view()->addSubview(hint);
}

void MVTZXingViewController::initCapture() {
    startTimer_.reset();
    if (captureSession_) return;
    // A missing camera, or one the user keeps from the app, gives no input: nothing is
    // added to a capture and the frame says why nothing shows.
    auto input = CaptureDeviceInput::deviceInputWithDevice(CaptureDevice::defaultVideoDevice());
    if (!input) {
        showNoCamera();
        return;
    }
    captureSession_ = std::make_shared<CaptureSession>();
    captureSession_->addInput(input);

    auto output = std::make_shared<CaptureVideoDataOutput>();
    output->setAlwaysDiscardsLateVideoFrames(true);
    output->setSampleBufferDelegate(weakAs<CaptureVideoDataOutputDelegate>());
    captureSession_->addOutput(output);

    const bool iFrame = Screen::mainScreen().scale() > 1 &&
                        input->device()->supportsSessionPreset(CaptureSessionPreset::IFrame960x540);
    captureSession_->setSessionPreset(iFrame ? CaptureSessionPreset::IFrame960x540 : CaptureSessionPreset::Medium);

    if (!captureVideoPreviewLayer_) {
        const Rect screen = Screen::mainScreen().bounds();
        captureVideoPreviewLayer_ = std::make_shared<CaptureVideoPreviewLayer>(captureSession_);
        captureVideoPreviewLayer_->setFrame(Rect(5, 5, screen.width() - 60, screen.height() - 60));
        captureVideoPreviewLayer_->setVideoGravity(VideoGravity::ResizeAspectFill);
        contentView_->addSubview(captureVideoPreviewLayer_);
    }
    isScanning_ = true;
    captureSession_->startRunning();
}

void MVTZXingViewController::showNoCamera() {
    if (noCameraLabel_) return;
    const Rect frame = contentView_->bounds();
    noCameraLabel_ = std::make_shared<Label>(Rect(10, frame.height() / 2 - 40, frame.width() - 20, 40));
    noCameraLabel_->setText(localized(kNoCamera));
    noCameraLabel_->setTextColor(Color::gray());
    noCameraLabel_->setFont(Font::systemFontOfSize(16));
    noCameraLabel_->setTextAlignment(TextAlignment::Center);
    noCameraLabel_->setNumberOfLines(0);
    contentView_->addSubview(noCameraLabel_);
}

ImageRef MVTZXingViewController::imageFromSampleBuffer(const CameraFrame& frame) {
    return imageFromCameraFrame(frame);
}

void MVTZXingViewController::decodeImage(const ImageRef& image) {
    auto decoder = std::make_shared<QrDecoder>();
    decoder->setDelegate(weakAs<QrDecoderDelegate>());
    decoder->decodeImage(image);
}

void MVTZXingViewController::captureOutputDidOutputSampleBuffer(CaptureVideoDataOutput&, const CameraFrame& frame) {
    // A frame that cannot be made into a picture is skipped; the next one is tried.
    if (ImageRef picture = imageFromSampleBuffer(frame)) decodeImage(picture);
}

void MVTZXingViewController::decoderDidDecode(QrDecoder&, const std::string& text) {
    // Only the first result counts; later ones (decoded from frames already on their way)
    // are dropped.
    if (!isScanning_) return;
    isScanning_ = false;
    stopCapture();
    if (auto listener = delegate()) listener->MVTZXingViewControllerDidScanResult(*this, text);
}

void MVTZXingViewController::decoderFailedToDecode(QrDecoder&, const std::string&) {
    if (!isScanning_) logText("cancel");
}

void MVTZXingViewController::goback() {
    isScanning_ = false;
    if (startTimer_) startTimer_->invalidate();
    startTimer_.reset();
    stopCapture();
    if (auto listener = delegate()) listener->MVTZXingViewControllerDidCancel(*this);
}

void MVTZXingViewController::stopCapture() {
    if (captureSession_) captureSession_->stopRunning();
}
