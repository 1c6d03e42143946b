#include "platform/VideoExport.h"

#include "platform/FfmpegHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <memory>
#include <system_error>

namespace platform {

namespace {

using ffmpeg::Codec;
using ffmpeg::Frame;
using ffmpeg::Input;
using ffmpeg::Packet;
using ffmpeg::SwsFree;

struct OutputCloser {
    void operator()(AVFormatContext* c) const {
        if (c->pb) avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct SwrFree {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct FifoFree {
    void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};
using Output = std::unique_ptr<AVFormatContext, OutputCloser>;

std::string errorText(int code) {
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    return buffer;
}

const AVCodec* videoEncoder() {
    if (const AVCodec* h264 = avcodec_find_encoder(AV_CODEC_ID_H264)) return h264;
    return avcodec_find_encoder(AV_CODEC_ID_MPEG4);
}

Input openInput(const std::filesystem::path& path, std::string* error) {
    AVFormatContext* raw = nullptr;
    int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        if (error) *error = "cannot open " + path.string() + ": " + errorText(rc);
        return nullptr;
    }
    Input input(raw);
    rc = avformat_find_stream_info(raw, nullptr);
    if (rc < 0) {
        if (error) *error = "cannot read streams: " + errorText(rc);
        return nullptr;
    }
    return input;
}

Codec openDecoder(AVStream* stream, std::string* error) {
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!decoder) {
        if (error) *error = "no decoder";
        return nullptr;
    }
    Codec context(avcodec_alloc_context3(decoder));
    if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0 ||
        avcodec_open2(context.get(), decoder, nullptr) < 0) {
        if (error) *error = std::string("cannot open decoder ") + decoder->name;
        return nullptr;
    }
    context->pkt_timebase = stream->time_base;
    return context;
}

// One stream being converted: its decoder, encoder and output stream.
struct Track {
    int inputIndex = -1;
    AVStream* inStream = nullptr;
    AVStream* outStream = nullptr;
    Codec decoder;
    Codec encoder;
};

class Converter {
public:
    bool run(const std::filesystem::path& inputPath, const std::filesystem::path& outputPath, std::string* error);

private:
    bool fail(const std::string& why) {
        if (error_) *error_ = why;
        return false;
    }
    bool setUpVideo();
    bool setUpAudio();
    bool decode(Track& track, const AVPacket* packet);
    bool onVideoFrame(AVFrame* frame);
    bool onAudioFrame(AVFrame* frame);
    bool drainAudioFifo(bool flush);
    bool encode(Track& track, AVFrame* frame);

    std::string* error_ = nullptr;
    Input input_;
    Output output_;
    Track video_, audio_;
    std::unique_ptr<SwsContext, SwsFree> sws_;
    std::unique_ptr<SwrContext, SwrFree> swr_;
    std::unique_ptr<AVAudioFifo, FifoFree> fifo_;
    int64_t lastVideoPts_ = AV_NOPTS_VALUE;
    int64_t audioPts_ = 0;
};

bool Converter::setUpVideo() {
    const AVCodec* decoder = nullptr;
    int index = av_find_best_stream(input_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0) return fail("no picture stream");
    video_.inputIndex = index;
    video_.inStream = input_->streams[index];
    video_.decoder = openDecoder(video_.inStream, error_);
    if (!video_.decoder) return false;

    const AVCodec* encoder = videoEncoder();
    if (!encoder) return fail("no MP4 picture encoder");
    const int width = video_.decoder->width, height = video_.decoder->height;
    if (width <= 0 || height <= 0) return fail("picture without a size");
    const double scale = std::min(1.0, double(VideoExport::kMaxSide) / std::max(width, height));
    // Encoders of 4:2:0 pictures want even sizes.
    const int outWidth = std::max(2, int(width * scale) & ~1), outHeight = std::max(2, int(height * scale) & ~1);

    AVRational rate = av_guess_frame_rate(input_.get(), video_.inStream, nullptr);
    if (rate.num <= 0 || rate.den <= 0 || av_q2d(rate) > 120) rate = {30, 1};
    video_.encoder.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* enc = video_.encoder.get();
    enc->width = outWidth;
    enc->height = outHeight;
    enc->pix_fmt = AV_PIX_FMT_YUV420P;
    enc->time_base = av_inv_q(rate);
    enc->framerate = rate;
    enc->bit_rate = VideoExport::kVideoBitRate;
    enc->gop_size = 30;
    enc->max_b_frames = 0;
    enc->sample_aspect_ratio = video_.decoder->sample_aspect_ratio;
    if (output_->oformat->flags & AVFMT_GLOBALHEADER) enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (encoder->id == AV_CODEC_ID_H264) {
        av_opt_set(enc->priv_data, "preset", "veryfast", 0);
        av_opt_set(enc->priv_data, "profile", "main", 0);
    }
    int rc = avcodec_open2(enc, encoder, nullptr);
    if (rc < 0) return fail(std::string("cannot open encoder ") + encoder->name + ": " + errorText(rc));
    video_.outStream = avformat_new_stream(output_.get(), nullptr);
    if (!video_.outStream || avcodec_parameters_from_context(video_.outStream->codecpar, enc) < 0)
        return fail("cannot add the picture stream");
    video_.outStream->time_base = enc->time_base;
    video_.outStream->avg_frame_rate = rate;

    sws_.reset(sws_getContext(width, height, video_.decoder->pix_fmt, outWidth, outHeight, AV_PIX_FMT_YUV420P,
                              SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!sws_) return fail("cannot scale the picture");
    return true;
}

// Sound is optional: a movie without it (or with sound nothing here decodes) keeps its
// picture and loses nothing else.
bool Converter::setUpAudio() {
    const AVCodec* decoder = nullptr;
    int index = av_find_best_stream(input_.get(), AVMEDIA_TYPE_AUDIO, -1, video_.inputIndex, &decoder, 0);
    if (index < 0) return true;
    audio_.inputIndex = index;
    audio_.inStream = input_->streams[index];
    audio_.decoder = openDecoder(audio_.inStream, error_);
    if (!audio_.decoder) return false;
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!encoder) return fail("no AAC encoder");
    audio_.encoder.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* enc = audio_.encoder.get();
    const int rate = audio_.decoder->sample_rate > 0 ? std::min(audio_.decoder->sample_rate, 48000) : 44100;
    enc->sample_rate = rate;
    const int channels = std::clamp(audio_.decoder->ch_layout.nb_channels, 1, 2);
    av_channel_layout_default(&enc->ch_layout, channels);
    enc->sample_fmt = AV_SAMPLE_FMT_FLTP;
    enc->bit_rate = VideoExport::kAudioBitRate;
    enc->time_base = {1, rate};
    if (output_->oformat->flags & AVFMT_GLOBALHEADER) enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int rc = avcodec_open2(enc, encoder, nullptr);
    if (rc < 0) return fail("cannot open the AAC encoder: " + errorText(rc));
    audio_.outStream = avformat_new_stream(output_.get(), nullptr);
    if (!audio_.outStream || avcodec_parameters_from_context(audio_.outStream->codecpar, enc) < 0)
        return fail("cannot add the sound stream");
    audio_.outStream->time_base = enc->time_base;

    AVChannelLayout inLayout;
    if (audio_.decoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || audio_.decoder->ch_layout.nb_channels <= 0)
        av_channel_layout_default(&inLayout, std::max(1, audio_.decoder->ch_layout.nb_channels));
    else
        av_channel_layout_copy(&inLayout, &audio_.decoder->ch_layout);
    SwrContext* swr = nullptr;
    rc = swr_alloc_set_opts2(&swr, &enc->ch_layout, enc->sample_fmt, rate, &inLayout, audio_.decoder->sample_fmt,
                             audio_.decoder->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    swr_.reset(swr);
    if (rc < 0 || swr_init(swr) < 0) return fail("cannot resample the sound");
    fifo_.reset(av_audio_fifo_alloc(enc->sample_fmt, channels, std::max(enc->frame_size, 1024)));
    if (!fifo_) return fail("out of memory");
    return true;
}

bool Converter::encode(Track& track, AVFrame* frame) {
    int rc = avcodec_send_frame(track.encoder.get(), frame);
    if (rc < 0 && rc != AVERROR_EOF) return fail("encoding failed: " + errorText(rc));
    Packet packet(av_packet_alloc());
    while ((rc = avcodec_receive_packet(track.encoder.get(), packet.get())) >= 0) {
        av_packet_rescale_ts(packet.get(), track.encoder->time_base, track.outStream->time_base);
        packet->stream_index = track.outStream->index;
        rc = av_interleaved_write_frame(output_.get(), packet.get());
        if (rc < 0) return fail("cannot write: " + errorText(rc));
    }
    if (rc != AVERROR(EAGAIN) && rc != AVERROR_EOF) return fail("encoding failed: " + errorText(rc));
    return true;
}

bool Converter::onVideoFrame(AVFrame* frame) {
    AVCodecContext* enc = video_.encoder.get();
    Frame scaled(av_frame_alloc());
    scaled->format = enc->pix_fmt;
    scaled->width = enc->width;
    scaled->height = enc->height;
    if (av_frame_get_buffer(scaled.get(), 0) < 0) return fail("out of memory");
    sws_scale(sws_.get(), frame->data, frame->linesize, 0, frame->height, scaled->data, scaled->linesize);
    int64_t pts = frame->best_effort_timestamp;
    pts = pts == AV_NOPTS_VALUE ? lastVideoPts_ + 1 : av_rescale_q(pts, video_.inStream->time_base, enc->time_base);
    // Frames closer together than the output's frame time would share a time stamp.
    if (lastVideoPts_ != AV_NOPTS_VALUE && pts <= lastVideoPts_) pts = lastVideoPts_ + 1;
    lastVideoPts_ = pts;
    scaled->pts = pts;
    return encode(video_, scaled.get());
}

bool Converter::drainAudioFifo(bool flush) {
    AVCodecContext* enc = audio_.encoder.get();
    const int frameSize = enc->frame_size > 0 ? enc->frame_size : 1024;
    while (av_audio_fifo_size(fifo_.get()) >= frameSize || (flush && av_audio_fifo_size(fifo_.get()) > 0)) {
        const int count = std::min(frameSize, av_audio_fifo_size(fifo_.get()));
        Frame frame(av_frame_alloc());
        frame->nb_samples = count;
        frame->format = enc->sample_fmt;
        frame->sample_rate = enc->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout);
        if (av_frame_get_buffer(frame.get(), 0) < 0) return fail("out of memory");
        if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame->data), count) < count)
            return fail("sound buffer underrun");
        frame->pts = audioPts_;
        audioPts_ += count;
        if (!encode(audio_, frame.get())) return false;
    }
    return true;
}

bool Converter::onAudioFrame(AVFrame* frame) {
    AVCodecContext* enc = audio_.encoder.get();
    const int capacity = swr_get_out_samples(swr_.get(), frame ? frame->nb_samples : 0);
    if (capacity <= 0) return true;
    uint8_t** samples = nullptr;
    if (av_samples_alloc_array_and_samples(&samples, nullptr, enc->ch_layout.nb_channels, capacity, enc->sample_fmt,
                                           0) < 0)
        return fail("out of memory");
    int converted = swr_convert(swr_.get(), samples, capacity, frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr,
                                frame ? frame->nb_samples : 0);
    bool ok = converted >= 0;
    if (ok && converted > 0)
        ok = av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(samples), converted) == converted;
    av_freep(&samples[0]);
    av_freep(&samples);
    if (!ok) return fail("cannot convert the sound");
    return drainAudioFifo(false);
}

bool Converter::decode(Track& track, const AVPacket* packet) {
    int rc = avcodec_send_packet(track.decoder.get(), packet);
    if (rc < 0 && rc != AVERROR_EOF) return fail("decoding failed: " + errorText(rc));
    Frame frame(av_frame_alloc());
    while ((rc = avcodec_receive_frame(track.decoder.get(), frame.get())) >= 0) {
        bool ok = &track == &video_ ? onVideoFrame(frame.get()) : onAudioFrame(frame.get());
        av_frame_unref(frame.get());
        if (!ok) return false;
    }
    if (rc != AVERROR(EAGAIN) && rc != AVERROR_EOF) return fail("decoding failed: " + errorText(rc));
    return true;
}

bool Converter::run(const std::filesystem::path& inputPath, const std::filesystem::path& outputPath,
                    std::string* error) {
    error_ = error;
    input_ = openInput(inputPath, error);
    if (!input_) return false;
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, "mp4", outputPath.c_str()) < 0 || !raw)
        return fail("cannot make an MP4 file");
    output_.reset(raw);
    if (!setUpVideo() || !setUpAudio()) return false;

    int rc = avio_open(&output_->pb, outputPath.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) return fail("cannot create " + outputPath.string() + ": " + errorText(rc));
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    rc = avformat_write_header(output_.get(), &options);
    av_dict_free(&options);
    if (rc < 0) return fail("cannot write the MP4 header: " + errorText(rc));

    Packet packet(av_packet_alloc());
    while ((rc = av_read_frame(input_.get(), packet.get())) >= 0) {
        bool ok = true;
        if (packet->stream_index == video_.inputIndex) ok = decode(video_, packet.get());
        else if (packet->stream_index == audio_.inputIndex) ok = decode(audio_, packet.get());
        av_packet_unref(packet.get());
        if (!ok) return false;
    }
    if (rc != AVERROR_EOF) return fail("cannot read the movie: " + errorText(rc));
    if (!decode(video_, nullptr) || !encode(video_, nullptr)) return false;
    if (audio_.decoder) {
        if (!decode(audio_, nullptr) || !onAudioFrame(nullptr) || !drainAudioFifo(true) || !encode(audio_, nullptr))
            return false;
    }
    if (lastVideoPts_ == AV_NOPTS_VALUE) return fail("the movie has no pictures");
    rc = av_write_trailer(output_.get());
    if (rc < 0) return fail("cannot finish the MP4 file: " + errorText(rc));
    return true;
}

}  // namespace

bool VideoExport::supportsMediumQuality(const std::filesystem::path& input) {
    Input context = openInput(input, nullptr);
    if (!context) return false;
    const AVCodec* decoder = nullptr;
    return av_find_best_stream(context.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0) >= 0 && decoder;
}

bool VideoExport::exportMediumQualityMP4(const std::filesystem::path& input, const std::filesystem::path& output,
                                         std::string* error) {
    bool ok = false;
    {
        Converter converter;
        ok = converter.run(input, output, error);
    }  // the output file is closed here
    if (!ok) {
        std::error_code ec;
        std::filesystem::remove(output, ec);
    }
    return ok;
}

std::string VideoExport::videoEncoderName() {
    const AVCodec* encoder = videoEncoder();
    return encoder ? encoder->name : "";
}

}  // namespace platform
