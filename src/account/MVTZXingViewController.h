#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/Camera.h"
#include "platform/ui/QrDecoder.h"

#include <memory>
#include <string>

namespace platform {
class Label;
}

class MVTZXingViewController;

// What the scan screen tells its opener; both optional. The selectors
// MVTZXingViewController:didScanResult: and MVTZXingViewControllerDidCancel: cannot keep
// their first keyword as a C++ name (it is the class's own name), so their keywords are
// joined.
class MVTZXingViewControllerDelegate {
public:
    virtual ~MVTZXingViewControllerDelegate() = default;
    // A QR code was read; scanning has stopped. `result` is the whole decoded text.
    virtual void MVTZXingViewControllerDidScanResult(MVTZXingViewController& screen, const std::string& result) {
        (void)screen;
        (void)result;
    }
    // The user went back; scanning has stopped.
    virtual void MVTZXingViewControllerDidCancel(MVTZXingViewController& screen) { (void)screen; }
};

// Shows the camera's picture in a white frame, reads QR codes out of its frames and hands
// the first text read to the delegate. The opener presents it inside a navigation
// controller and dismisses it on either answer. Without a camera (or without the user's
// leave to use it) the frame says so and nothing is scanned.
class MVTZXingViewController : public ViewViewController,
                               public platform::CaptureVideoDataOutputDelegate,
                               public platform::QrDecoderDelegate {
public:
    MVTZXingViewController();
    ~MVTZXingViewController() override;
    std::string className() const override { return "MVTZXingViewController"; }

    // The camera starts this long after the view has loaded.
    static constexpr double kCaptureDelay = 0.06;
    // Shown in the frame when there is no camera to use.
    static constexpr const char* kNoCamera = "无法使用相机";

    void viewDidLoad() override;

    void setDelegate(std::weak_ptr<MVTZXingViewControllerDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<MVTZXingViewControllerDelegate> delegate() const { return delegate_.lock(); }

    // Starts the camera (0.06 seconds after loading).
    void initCapture();
    // A frame as a picture; nothing for a frame that cannot be read.
    static platform::ImageRef imageFromSampleBuffer(const platform::CameraFrame& frame);
    // Hands the picture to a new QR decoder; its report comes on the run loop.
    void decodeImage(const platform::ImageRef& image);
    // Ends scanning and tells the delegate of the cancel.
    void goback();

    bool isScanning() const { return isScanning_; }
    const std::shared_ptr<platform::View>& contentView() const { return contentView_; }
    const std::shared_ptr<platform::CaptureSession>& captureSession() const { return captureSession_; }
    const std::shared_ptr<platform::CaptureVideoPreviewLayer>& captureVideoPreviewLayer() const {
        return captureVideoPreviewLayer_;
    }
    // The "no camera" note, once the camera was found missing.
    const std::shared_ptr<platform::Label>& noCameraLabel() const { return noCameraLabel_; }

    void captureOutputDidOutputSampleBuffer(platform::CaptureVideoDataOutput& output,
                                            const platform::CameraFrame& frame) override;
    void decoderDidDecode(platform::QrDecoder& decoder, const std::string& text) override;
    void decoderFailedToDecode(platform::QrDecoder& decoder, const std::string& reason) override;

private:
    void showNoCamera();
    void stopCapture();

    std::weak_ptr<MVTZXingViewControllerDelegate> delegate_;
    std::shared_ptr<platform::View> contentView_;
    std::shared_ptr<platform::CaptureSession> captureSession_;
    std::shared_ptr<platform::CaptureVideoPreviewLayer> captureVideoPreviewLayer_;
    std::shared_ptr<platform::Label> noCameraLabel_;
    platform::TimerRef startTimer_;
    bool isScanning_ = false;
};
