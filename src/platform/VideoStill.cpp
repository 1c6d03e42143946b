#include "platform/VideoStill.h"

#include "platform/FfmpegHandles.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace platform {

namespace {

// A file that gives no picture within this many packets is not read further.
constexpr int kStillPacketLimit = 600;

bool stillFailed(std::string* error, const char* text) {
    if (error) *error = text;
    return false;
}

}  // namespace

bool firstVideoStill(const std::filesystem::path& path, int maxSide, VideoStill& still, std::string* error) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return stillFailed(error, "cannot open");
    ffmpeg::Input input(raw);
    if (avformat_find_stream_info(input.get(), nullptr) < 0) return stillFailed(error, "no stream information");
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder) return stillFailed(error, "no picture stream");
    ffmpeg::Codec codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), input->streams[index]->codecpar) < 0 ||
        avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return stillFailed(error, "cannot open the decoder");

    ffmpeg::Packet packet(av_packet_alloc());
    ffmpeg::Frame frame(av_frame_alloc());
    bool decoded = false;
    bool draining = false;
    for (int packets = 0; !decoded && packets < kStillPacketLimit;) {
        if (!draining) {
            const int rc = av_read_frame(input.get(), packet.get());
            if (rc < 0) {
                draining = true;
                avcodec_send_packet(codec.get(), nullptr);
            } else {
                ++packets;
                if (packet->stream_index == index) avcodec_send_packet(codec.get(), packet.get());
                av_packet_unref(packet.get());
            }
        }
        const int rc = avcodec_receive_frame(codec.get(), frame.get());
        if (rc == 0) decoded = true;
        else if (rc != AVERROR(EAGAIN) || draining) break;
    }
    if (!decoded || frame->width <= 0 || frame->height <= 0) return stillFailed(error, "no picture decoded");

    const double fit = std::min(1.0, double(std::max(1, maxSide)) / std::max(frame->width, frame->height));
    const int width = std::max(1, int(std::lround(frame->width * fit)));
    const int height = std::max(1, int(std::lround(frame->height * fit)));
    ffmpeg::Scaler scaler(
        sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), width, height,
                       AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler) return stillFailed(error, "cannot scale the picture");
    still.width = width;
    still.height = height;
    still.pixels.assign(std::size_t(width) * height * 4, 0);
    std::uint8_t* planes[4] = {still.pixels.data(), nullptr, nullptr, nullptr};
    int strides[4] = {width * 4, 0, 0, 0};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, planes, strides);
    // Opaque whatever the scaler wrote into the alpha bytes.
    for (std::size_t i = 3; i < still.pixels.size(); i += 4) still.pixels[i] = 0xff;
    return true;
}

}  // namespace platform
