#pragma once

#include "platform/Timer.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// One video frame as the camera hands it over: 32-bit BGRA pixels (blue first, the
// fourth byte unused), rows `bytesPerRow` bytes apart.
struct CameraFrame {
    int width = 0;
    int height = 0;
    int bytesPerRow = 0;
    std::vector<uint8_t> bytes;

    // True when the sizes agree with the bytes (a frame that can be read).
    bool isReadable() const;
    // The picture as a BGRA frame; transparent parts come out over white.
    static CameraFrame fromImage(const Image& image);
};

// A picture made over a frame's pixels: 8 bits per component, 32 bits per pixel, the
// unused byte skipped (opaque). nullptr for a frame that cannot be read.
ImageRef imageFromCameraFrame(const CameraFrame& frame);

// There is no camera here. The host (or a test) feeds one with picture files: while a
// capture runs it delivers them as frames, one after the other and round again, as a
// camera held in front of them would. Without a feed there is no camera device. The
// host may also feed it through the environment: TIRRA_CAMERA_FRAMES, a ":"-separated
// list of picture files, read until the first setFrameFiles or reset.
class Camera {
public:
    Camera() = delete;

    static void setFrameFiles(std::vector<std::filesystem::path> files);
    static std::vector<std::filesystem::path> frameFiles();
    // Whether the user lets the app use the camera (granted unless a test refuses it).
    static void setAccessGranted(bool granted);
    static bool accessGranted();
    // No feed and access granted (tests start clean).
    static void reset();

    // Seconds between two frames of a running capture.
    static constexpr double kFrameInterval = 0.1;
};

enum class CaptureSessionPreset { Medium, IFrame960x540 };

// The default video camera.
class CaptureDevice {
public:
    // nullptr when there is no camera (nothing is fed).
    static std::shared_ptr<CaptureDevice> defaultVideoDevice();
    // The fed pictures stand in for any picture size the capture asks for.
    bool supportsSessionPreset(CaptureSessionPreset preset) const;
};

// The camera as a capture input. Making it fails, with a reason in `error`, when the user
// refused the app the camera.
class CaptureDeviceInput {
public:
    static std::shared_ptr<CaptureDeviceInput> deviceInputWithDevice(const std::shared_ptr<CaptureDevice>& device,
                                                                     std::string* error = nullptr);
    const std::shared_ptr<CaptureDevice>& device() const { return device_; }

private:
    std::shared_ptr<CaptureDevice> device_;
};

class CaptureVideoDataOutput;

// Hears each frame a capture delivers, on the main run loop.
class CaptureVideoDataOutputDelegate {
public:
    virtual ~CaptureVideoDataOutputDelegate() = default;
    // captureOutput:didOutputSampleBuffer:fromConnection:
    virtual void captureOutputDidOutputSampleBuffer(CaptureVideoDataOutput& output, const CameraFrame& frame) = 0;
};

// Hands the capture's frames to its delegate. Frames are always BGRA here; a frame that
// falls due while the main thread is still busy with the last one is not queued up.
class CaptureVideoDataOutput {
public:
    bool alwaysDiscardsLateVideoFrames() const { return discardsLate_; }
    void setAlwaysDiscardsLateVideoFrames(bool discards) { discardsLate_ = discards; }
    void setSampleBufferDelegate(std::weak_ptr<CaptureVideoDataOutputDelegate> delegate) {
        delegate_ = std::move(delegate);
    }
    std::shared_ptr<CaptureVideoDataOutputDelegate> sampleBufferDelegate() const { return delegate_.lock(); }

private:
    std::weak_ptr<CaptureVideoDataOutputDelegate> delegate_;
    bool discardsLate_ = false;
};

class CaptureVideoPreviewLayer;

// A capture: the camera input, the frame output and the previews showing its picture.
// Runs on the main run loop; frames come every Camera::kFrameInterval seconds.
class CaptureSession : public std::enable_shared_from_this<CaptureSession> {
public:
    ~CaptureSession();

    bool canAddInput(const std::shared_ptr<CaptureDeviceInput>& input) const;
    void addInput(const std::shared_ptr<CaptureDeviceInput>& input);
    void addOutput(const std::shared_ptr<CaptureVideoDataOutput>& output);
    const std::shared_ptr<CaptureDeviceInput>& input() const { return input_; }
    const std::shared_ptr<CaptureVideoDataOutput>& output() const { return output_; }

    CaptureSessionPreset sessionPreset() const { return preset_; }
    void setSessionPreset(CaptureSessionPreset preset) { preset_ = preset; }

    // Starts delivering frames (the first one interval later); nothing without an input.
    void startRunning();
    void stopRunning();
    bool isRunning() const { return running_; }
    // Delivers the next frame at once, as the capture's clock would (false when not
    // running or the feed has no readable picture).
    bool captureNextFrame();
    // Frames delivered since the capture was made.
    int framesDelivered() const { return delivered_; }

private:
    friend class CaptureVideoPreviewLayer;
    void addPreview(CaptureVideoPreviewLayer* preview);
    void removePreview(CaptureVideoPreviewLayer* preview);

    std::shared_ptr<CaptureDeviceInput> input_;
    std::shared_ptr<CaptureVideoDataOutput> output_;
    CaptureSessionPreset preset_ = CaptureSessionPreset::Medium;
    std::vector<CameraFrame> frames_;
    std::vector<ImageRef> pictures_;
    size_t next_ = 0;
    bool running_ = false;
    bool delivering_ = false;
    int delivered_ = 0;
    TimerRef timer_;
    std::vector<CaptureVideoPreviewLayer*> previews_;
};

// How a preview fills its area.
enum class VideoGravity { ResizeAspect, ResizeAspectFill, Resize };

// Shows the picture of a capture: the last frame it delivered.
class CaptureVideoPreviewLayer : public ImageView {
public:
    explicit CaptureVideoPreviewLayer(const std::shared_ptr<CaptureSession>& session);
    ~CaptureVideoPreviewLayer() override;
    std::string className() const override { return "CaptureVideoPreviewLayer"; }

    std::shared_ptr<CaptureSession> session() const { return session_.lock(); }
    VideoGravity videoGravity() const { return gravity_; }
    void setVideoGravity(VideoGravity gravity);

private:
    friend class CaptureSession;
    void sessionDidDeliver(const ImageRef& picture);

    std::weak_ptr<CaptureSession> session_;
    VideoGravity gravity_ = VideoGravity::ResizeAspect;
};

}  // namespace platform
