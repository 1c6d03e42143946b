#include "support/MovieWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <vector>

namespace testing_support {

namespace {

struct MovieOutput {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    AVPacket* packet = av_packet_alloc();
    ~MovieOutput() {
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }
    void drain(AVCodecContext* codec, AVStream* stream) {
        while (avcodec_receive_packet(codec, packet) >= 0) {
            // Without a length the last picture gets none in the index, and readers that
            // follow the index's edit list leave it out.
            if (packet->duration == 0 && codec->codec_type == AVMEDIA_TYPE_VIDEO) packet->duration = 1;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            av_interleaved_write_frame(format, packet);
        }
    }
};

// BT.601 studio range, as the encoders expect.
std::array<std::uint8_t, 3> yuvOf(const std::array<std::uint8_t, 3>& rgb) {
    const double r = rgb[0] / 255.0, g = rgb[1] / 255.0, b = rgb[2] / 255.0;
    auto clamp = [](double v) { return std::uint8_t(std::lround(std::min(255.0, std::max(0.0, v)))); };
    return {clamp(16 + 65.481 * r + 128.553 * g + 24.966 * b), clamp(128 - 37.797 * r - 74.203 * g + 112.0 * b),
            clamp(128 + 112.0 * r - 93.786 * g - 18.214 * b)};
}

}  // namespace

bool writeMovie(const std::filesystem::path& path, const MovieSpec& spec) {
    MovieOutput out;
    if (avformat_alloc_output_context2(&out.format, nullptr, spec.container.c_str(), path.c_str()) < 0) return false;
    const AVCodec* codec = spec.h264 ? avcodec_find_encoder(AV_CODEC_ID_H264) : nullptr;
    if (!codec) codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    out.video = avcodec_alloc_context3(codec);
    out.video->width = spec.width;
    out.video->height = spec.height;
    out.video->pix_fmt = AV_PIX_FMT_YUV420P;
    out.video->time_base = {1, spec.fps};
    out.video->framerate = {spec.fps, 1};
    out.video->gop_size = spec.fps;
    if (spec.bitRate > 0) out.video->bit_rate = spec.bitRate;
    if (codec->id == AV_CODEC_ID_H264) av_opt_set(out.video->priv_data, "preset", "veryfast", 0);
    if (out.format->oformat->flags & AVFMT_GLOBALHEADER) out.video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(out.video, codec, nullptr) < 0) return false;
    out.videoStream = avformat_new_stream(out.format, nullptr);
    if (avcodec_parameters_from_context(out.videoStream->codecpar, out.video) < 0) return false;
    out.videoStream->time_base = out.video->time_base;

    if (spec.sound) {
        const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (!aac) return false;
        out.audio = avcodec_alloc_context3(aac);
        out.audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
        out.audio->sample_rate = 44100;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        av_channel_layout_copy(&out.audio->ch_layout, &stereo);
        out.audio->bit_rate = 96000;
        out.audio->time_base = {1, 44100};
        if (out.format->oformat->flags & AVFMT_GLOBALHEADER) out.audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(out.audio, aac, nullptr) < 0) return false;
        out.audioStream = avformat_new_stream(out.format, nullptr);
        if (avcodec_parameters_from_context(out.audioStream->codecpar, out.audio) < 0) return false;
        out.audioStream->time_base = out.audio->time_base;
    }

    AVDictionary* options = nullptr;
    // The index goes to the front, so that a player can start while the file streams in.
    if (spec.container == "mp4" || spec.container == "mov") av_dict_set(&options, "movflags", "faststart", 0);
    bool ok = avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 &&
              avformat_write_header(out.format, &options) >= 0;
    av_dict_free(&options);
    if (!ok) return false;

    AVFrame* frame = av_frame_alloc();
    frame->format = out.video->pix_fmt;
    frame->width = spec.width;
    frame->height = spec.height;
    ok = av_frame_get_buffer(frame, 0) >= 0;
    const int frames = int(std::lround(spec.seconds * spec.fps));
    const bool solid = spec.color.has_value();
    const std::array<std::uint8_t, 3> yuv = solid ? yuvOf(*spec.color) : std::array<std::uint8_t, 3>{};

    AVFrame* sound = nullptr;
    long long soundPts = 0;
    if (ok && out.audio) {
        sound = av_frame_alloc();
        sound->format = out.audio->sample_fmt;
        sound->sample_rate = out.audio->sample_rate;
        av_channel_layout_copy(&sound->ch_layout, &out.audio->ch_layout);
        sound->nb_samples = out.audio->frame_size > 0 ? out.audio->frame_size : 1024;
        ok = av_frame_get_buffer(sound, 0) >= 0;
    }
    auto writeSoundUpTo = [&](double seconds) {
        while (ok && sound && double(soundPts) / 44100 < seconds) {
            av_frame_make_writable(sound);
            for (int c = 0; c < 2; ++c) {
                auto* samples = reinterpret_cast<float*>(sound->data[c]);
                for (int i = 0; i < sound->nb_samples; ++i)
                    samples[i] = float(0.2 * std::sin(2 * M_PI * 440 * double(soundPts + i) / 44100));
            }
            sound->pts = soundPts;
            soundPts += sound->nb_samples;
            ok = avcodec_send_frame(out.audio, sound) >= 0;
            out.drain(out.audio, out.audioStream);
        }
    };

    for (int i = 0; ok && i < frames; ++i) {
        av_frame_make_writable(frame);
        for (int y = 0; y < spec.height; ++y)
            for (int x = 0; x < spec.width; ++x)
                frame->data[0][y * frame->linesize[0] + x] = solid ? yuv[0] : std::uint8_t(x + y + i * 3);
        for (int y = 0; y < spec.height / 2; ++y)
            for (int x = 0; x < spec.width / 2; ++x) {
                frame->data[1][y * frame->linesize[1] + x] = solid ? yuv[1] : std::uint8_t(128 + y + i * 2);
                frame->data[2][y * frame->linesize[2] + x] = solid ? yuv[2] : std::uint8_t(64 + x + i * 5);
            }
        frame->pts = i;
        ok = avcodec_send_frame(out.video, frame) >= 0;
        out.drain(out.video, out.videoStream);
        writeSoundUpTo(double(i + 1) / spec.fps);
    }
    avcodec_send_frame(out.video, nullptr);
    out.drain(out.video, out.videoStream);
    if (out.audio) {
        avcodec_send_frame(out.audio, nullptr);
        out.drain(out.audio, out.audioStream);
    }
    ok = ok && av_write_trailer(out.format) >= 0;
    av_frame_free(&sound);
    av_frame_free(&frame);
    return ok;
}

}  // namespace testing_support
