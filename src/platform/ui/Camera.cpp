#include "platform/ui/Camera.h"

#include "platform/RunLoop.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>

namespace platform {

namespace {

struct Feed {
    std::mutex mutex;
    bool fromEnvironment = true;  // until the first setFrameFiles or reset
    std::vector<std::filesystem::path> files;
    bool accessGranted = true;
};

Feed& feed() {
    static Feed instance;
    return instance;
}

std::vector<std::filesystem::path> environmentFiles() {
    std::vector<std::filesystem::path> files;
    const char* list = std::getenv("TIRRA_CAMERA_FRAMES");
    if (!list) return files;
    std::stringstream items(list);
    for (std::string item; std::getline(items, item, ':');)
        if (!item.empty()) files.emplace_back(item);
    return files;
}

}  // namespace

// ---- Frames -----------------------------------------------------------------------------

bool CameraFrame::isReadable() const {
    if (width <= 0 || height <= 0 || bytesPerRow < width * 4) return false;
    return bytes.size() >= static_cast<size_t>(bytesPerRow) * static_cast<size_t>(height);
}

CameraFrame CameraFrame::fromImage(const Image& image) {
    CameraFrame frame;
    cairo_surface_t* surface = image.surface();
    if (!surface) return frame;
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || width <= 0 || height <= 0) return frame;
    frame.width = width;
    frame.height = height;
    frame.bytesPerRow = width * 4;
    frame.bytes.resize(static_cast<size_t>(frame.bytesPerRow) * height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        uint8_t* out = frame.bytes.data() + static_cast<size_t>(y) * frame.bytesPerRow;
        for (int x = 0; x < width; ++x) {
            // Premultiplied ARGB laid over white.
            const uint32_t pixel = row[x];
            const uint32_t clear = 255 - (pixel >> 24);
            out[4 * x + 0] = static_cast<uint8_t>((pixel & 0xFF) + clear);
            out[4 * x + 1] = static_cast<uint8_t>(((pixel >> 8) & 0xFF) + clear);
            out[4 * x + 2] = static_cast<uint8_t>(((pixel >> 16) & 0xFF) + clear);
            out[4 * x + 3] = 0xFF;
        }
    }
    return frame;
}

ImageRef imageFromCameraFrame(const CameraFrame& frame) {
    if (!frame.isReadable()) return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frame.width, frame.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < frame.height; ++y) {
        const uint8_t* in = frame.bytes.data() + static_cast<size_t>(y) * frame.bytesPerRow;
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        // The fourth byte is not alpha: every pixel is opaque.
        for (int x = 0; x < frame.width; ++x)
            row[x] = 0xFF000000u | uint32_t(in[4 * x + 2]) << 16 | uint32_t(in[4 * x + 1]) << 8 | in[4 * x];
    }
    cairo_surface_mark_dirty(surface);
    ImageRef picture = Image::fromSurface(surface);
    cairo_surface_destroy(surface);
    return picture;
}

// ---- The feed -----------------------------------------------------------------------------

void Camera::setFrameFiles(std::vector<std::filesystem::path> files) {
    std::lock_guard lock(feed().mutex);
    feed().fromEnvironment = false;
    feed().files = std::move(files);
}

std::vector<std::filesystem::path> Camera::frameFiles() {
    std::lock_guard lock(feed().mutex);
    if (feed().fromEnvironment) return environmentFiles();
    return feed().files;
}

void Camera::setAccessGranted(bool granted) {
    std::lock_guard lock(feed().mutex);
    feed().accessGranted = granted;
}

bool Camera::accessGranted() {
    std::lock_guard lock(feed().mutex);
    return feed().accessGranted;
}

void Camera::reset() {
    std::lock_guard lock(feed().mutex);
    feed().fromEnvironment = false;
    feed().files.clear();
    feed().accessGranted = true;
}

// ---- Device and input ---------------------------------------------------------------------

std::shared_ptr<CaptureDevice> CaptureDevice::defaultVideoDevice() {
    if (Camera::frameFiles().empty()) return nullptr;
    return std::make_shared<CaptureDevice>();
}

bool CaptureDevice::supportsSessionPreset(CaptureSessionPreset) const { return true; }

std::shared_ptr<CaptureDeviceInput> CaptureDeviceInput::deviceInputWithDevice(
    const std::shared_ptr<CaptureDevice>& device, std::string* error) {
    const char* reason = nullptr;
    if (!device)
        reason = "no camera";
    else if (!Camera::accessGranted())
        reason = "the user has not allowed the camera";
    if (reason) {
        if (error) *error = reason;
        return nullptr;
    }
    auto input = std::make_shared<CaptureDeviceInput>();
    input->device_ = device;
    return input;
}

// ---- The capture --------------------------------------------------------------------------

CaptureSession::~CaptureSession() {
    if (timer_) timer_->invalidate();
}

bool CaptureSession::canAddInput(const std::shared_ptr<CaptureDeviceInput>& input) const {
    return input && !input_;
}

void CaptureSession::addInput(const std::shared_ptr<CaptureDeviceInput>& input) {
    if (canAddInput(input)) input_ = input;
}

void CaptureSession::addOutput(const std::shared_ptr<CaptureVideoDataOutput>& output) { output_ = output; }

void CaptureSession::startRunning() {
    if (running_ || !input_) return;
    running_ = true;
    // The pictures are read once per start; a file that is not a picture gives no frame.
    frames_.clear();
    pictures_.clear();
    next_ = 0;
    for (const auto& file : Camera::frameFiles()) {
        ImageRef picture = Image::imageWithContentsOfFile(file);
        if (!picture) continue;
        CameraFrame frame = CameraFrame::fromImage(*picture);
        if (!frame.isReadable()) continue;
        frames_.push_back(std::move(frame));
        pictures_.push_back(std::move(picture));
    }
    std::weak_ptr<CaptureSession> weak = weak_from_this();
    timer_ = RunLoop::main().scheduleTimer(Camera::kFrameInterval, true, [weak](Timer&) {
        if (auto self = weak.lock()) self->captureNextFrame();
    });
}

void CaptureSession::stopRunning() {
    running_ = false;
    if (timer_) timer_->invalidate();
    timer_.reset();
}

bool CaptureSession::captureNextFrame() {
    // A frame that falls due while the last one is still being handled is dropped.
    if (!running_ || frames_.empty() || delivering_) return false;
    const size_t index = next_;
    next_ = (next_ + 1) % frames_.size();
    ++delivered_;
    auto self = shared_from_this();  // a delegate may let go of the capture meanwhile
    for (auto* preview : std::vector<CaptureVideoPreviewLayer*>(previews_))
        if (std::find(previews_.begin(), previews_.end(), preview) != previews_.end())
            preview->sessionDidDeliver(pictures_[index]);
    auto output = output_;
    if (auto delegate = output ? output->sampleBufferDelegate() : nullptr) {
        delivering_ = true;
        const CameraFrame frame = frames_[index];
        delegate->captureOutputDidOutputSampleBuffer(*output, frame);
        delivering_ = false;
    }
    return true;
}

void CaptureSession::addPreview(CaptureVideoPreviewLayer* preview) { previews_.push_back(preview); }

void CaptureSession::removePreview(CaptureVideoPreviewLayer* preview) {
    previews_.erase(std::remove(previews_.begin(), previews_.end(), preview), previews_.end());
}

// ---- The preview --------------------------------------------------------------------------

CaptureVideoPreviewLayer::CaptureVideoPreviewLayer(const std::shared_ptr<CaptureSession>& session)
    : session_(session) {
    setBackgroundColor(Color::black());
    setClipsToBounds(true);
    setContentMode(ContentMode::ScaleAspectFit);
    if (session) session->addPreview(this);
}

CaptureVideoPreviewLayer::~CaptureVideoPreviewLayer() {
    if (auto session = session_.lock()) session->removePreview(this);
}

void CaptureVideoPreviewLayer::setVideoGravity(VideoGravity gravity) {
    gravity_ = gravity;
    switch (gravity) {
        case VideoGravity::ResizeAspect: setContentMode(ContentMode::ScaleAspectFit); break;
        case VideoGravity::ResizeAspectFill: setContentMode(ContentMode::ScaleAspectFill); break;
        case VideoGravity::Resize: setContentMode(ContentMode::ScaleToFill); break;
    }
}

void CaptureVideoPreviewLayer::sessionDidDeliver(const ImageRef& picture) { setImage(picture); }

}  // namespace platform
