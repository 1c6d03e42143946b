#include "platform/media/MovieDecoder.h"

#include "platform/Log.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <thread>

namespace platform {

struct MovieDecoder::Codec {
    int index = -1;
    AVCodecContext* context = nullptr;
    AVRational timeBase{1, 1};
    double start = 0;  // seconds of the stream's first timestamp
    ~Codec() { avcodec_free_context(&context); }
};

namespace {

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

double frameSeconds(const AVFrame* frame, AVRational base, double start) {
    const int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    if (ts == AV_NOPTS_VALUE) return -1;
    return ts * av_q2d(base) - start;
}

// A scaler for `decoded` to width x height BGRA, made again only when a size or format
// changes.
SwsContext* viewScaler(SwsContext* scaler, const AVFrame* decoded, int width, int height) {
    if (scaler) {
        int64_t w = 0, h = 0, format = 0, dw = 0, dh = 0;
        av_opt_get_int(scaler, "srcw", 0, &w);
        av_opt_get_int(scaler, "srch", 0, &h);
        av_opt_get_int(scaler, "src_format", 0, &format);
        av_opt_get_int(scaler, "dstw", 0, &dw);
        av_opt_get_int(scaler, "dsth", 0, &dh);
        if (w == decoded->width && h == decoded->height && format == decoded->format && dw == width && dh == height)
            return scaler;
        sws_freeContext(scaler);
    }
    scaler = sws_alloc_context();
    if (!scaler) return nullptr;
        av_opt_set_int(scaler, "srcw", decoded->width, 0);
    av_opt_set_int(scaler, "srch", decoded->height, 0);
    av_opt_set_int(scaler, "src_format", decoded->format, 0);
    av_opt_set_int(scaler, "dstw", width, 0);
    av_opt_set_int(scaler, "dsth", height, 0);
    av_opt_set_int(scaler, "dst_format", AV_PIX_FMT_BGRA, 0);
    av_opt_set_int(scaler, "sws_flags", SWS_BILINEAR, 0);
    if (sws_init_context(scaler, nullptr, nullptr) < 0) {
        sws_freeContext(scaler);
        return nullptr;
    }
    return scaler;
}

void keepPixels(void*, uint8_t*) {}

// Scales `decoded` into `pixels` (stride bytes a row), which the scaler must not free.
bool scaleInto(SwsContext* scaler, const AVFrame* decoded, std::vector<std::uint8_t>& pixels, int width, int height,
               int stride) {
    AVFrame* target = av_frame_alloc();
    if (!target) return false;
    target->format = AV_PIX_FMT_BGRA;
    target->width = width;
    target->height = height;
    target->data[0] = pixels.data();
    target->linesize[0] = stride;
    target->buf[0] = av_buffer_create(pixels.data(), pixels.size(), keepPixels, nullptr, 0);
    const bool ok = target->buf[0] && sws_scale_frame(scaler, target, decoded) >= 0;
    av_frame_free(&target);
    return ok;
}

}  // namespace

MovieDecoder::MovieDecoder(std::string url, int width, int height, std::function<void()> changed)
    : url_(std::move(url)), changed_(std::move(changed)), targetWidth_(std::max(2, width)),
      targetHeight_(std::max(2, height)) {
    for (auto& scaler : scalerThreads_) scaler = std::thread([this] { scalePictures(); });
    thread_ = std::thread([this] { run(); });
}

MovieDecoder::~MovieDecoder() {
    {
        std::lock_guard lock(mutex_);
        abort_ = true;
    }
    room_.notify_all();
    rawReady_.notify_all();
    if (thread_.joinable()) thread_.join();
    for (auto& scaler : scalerThreads_)
        if (scaler.joinable()) scaler.join();
    dropRawPictures();
}

void MovieDecoder::dropRawPictures() {
    for (auto& picture : raw_) av_frame_free(&picture.frame);
    raw_.clear();
}

std::string MovieDecoder::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void MovieDecoder::setTargetSize(int width, int height) {
    targetWidth_ = std::max(2, width);
    targetHeight_ = std::max(2, height);
}

bool MovieDecoder::takeFrameDueAt(double seconds, MovieFrame& frame) {
    bool found = false;
    {
        std::lock_guard lock(mutex_);
        while (!frames_.empty() && frames_.front().pts <= seconds) {
            // The picture it replaces lends its memory to a later one.
            if (!frame.pixels.empty() && spare_.size() < kFrameQueue) spare_.push_back(std::move(frame.pixels));
            frame = std::move(frames_.front());
            frames_.pop_front();
            found = true;
        }
    }
    if (found) room_.notify_all();
    return found;
}

bool MovieDecoder::hasQueuedFrame() const {
    std::lock_guard lock(mutex_);
    return !frames_.empty();
}

double MovieDecoder::nextFrameTime() const {
    std::lock_guard lock(mutex_);
    return frames_.empty() ? -1 : frames_.front().pts;
}

std::size_t MovieDecoder::readSound(std::int16_t* out, std::size_t samples) {
    std::lock_guard lock(mutex_);
    const std::size_t values = std::min(samples * kChannels, sound_.size()) / kChannels * kChannels;
    std::copy_n(sound_.begin(), values, out);
    sound_.erase(sound_.begin(), sound_.begin() + static_cast<std::ptrdiff_t>(values));
    soundTime_ += double(values / kChannels) / kSampleRate;
    return values / kChannels;
}

double MovieDecoder::soundTime() const {
    std::lock_guard lock(mutex_);
    return soundTime_;
}

void MovieDecoder::seek(double seconds) {
    {
        std::lock_guard lock(mutex_);
        seekRequested_ = true;
        seekTarget_ = std::max(0.0, seconds);
        ++seekGeneration_;
        dropRawPictures();
        frames_.clear();
        sound_.clear();
        soundTime_ = seekTarget_;
        // A player that went back to the start must not read the old end before the
        // thread has moved.
        if (state_ == MovieDecoderState::Ended) state_ = MovieDecoderState::Ready;
    }
    room_.notify_all();
}

void MovieDecoder::setState(MovieDecoderState state) {
    state_ = state;
    if (changed_) changed_();
}

int MovieDecoder::interrupted(void* self) { return static_cast<MovieDecoder*>(self)->abort_.load() ? 1 : 0; }

bool MovieDecoder::open(AVFormatContext*& format, Codec& video, Codec& audio) {
    format = avformat_alloc_context();
    if (!format) return false;
    format->interrupt_callback = {&MovieDecoder::interrupted, this};
    AVDictionary* options = nullptr;
    // A stream that stops sending must not hold the thread for ever.
    av_dict_set(&options, "rw_timeout", "30000000", 0);
    int status = avformat_open_input(&format, url_.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (status < 0) {
        std::lock_guard lock(mutex_);
        error_ = "open: " + averror(status);
        return false;  // avformat_open_input freed the context
    }
    if ((status = avformat_find_stream_info(format, nullptr)) < 0) {
        std::lock_guard lock(mutex_);
        error_ = "stream info: " + averror(status);
        return false;
    }
    auto openCodec = [&](AVMediaType type, Codec& codec) {
        const AVCodec* decoder = nullptr;
        const int index = av_find_best_stream(format, type, -1, -1, &decoder, 0);
        if (index < 0 || !decoder) return false;
        AVStream* stream = format->streams[index];
        codec.context = avcodec_alloc_context3(decoder);
        if (!codec.context || avcodec_parameters_to_context(codec.context, stream->codecpar) < 0) return false;
        codec.context->thread_count = 0;  // as many as the processor has, like the ffmpeg tool
        if (avcodec_open2(codec.context, decoder, nullptr) < 0) return false;
        codec.index = index;
        codec.timeBase = stream->time_base;
        codec.start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time * av_q2d(stream->time_base) : 0;
        return true;
    };
    if (!openCodec(AVMEDIA_TYPE_VIDEO, video)) {
        std::lock_guard lock(mutex_);
        error_ = "no picture stream that can be decoded";
        return false;
    }
    if (!openCodec(AVMEDIA_TYPE_AUDIO, audio)) {
        avcodec_free_context(&audio.context);
        audio.index = -1;
    }
    // Sound and pictures share one time line: both are counted from the earlier start.
    const double start = audio.index >= 0 ? std::min(video.start, audio.start) : video.start;
    video.start = audio.start = start;
    duration_ = format->duration > 0 ? double(format->duration) / AV_TIME_BASE : 0;
    hasAudio_ = audio.index >= 0;
    sourceWidth_ = video.context->width;
    sourceHeight_ = video.context->height;
    return true;
}

bool MovieDecoder::pushPicture(Codec& video, AVFrame* decoded) {
    AVFrame* copy = av_frame_clone(decoded);
    if (!copy) return true;
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return abort_ || seekRequested_ || raw_.size() < kRawQueue; });
    if (abort_ || seekRequested_) {
        av_frame_free(&copy);
        return !abort_;
    }
    raw_.push_back({copy, std::max(0.0, frameSeconds(decoded, video.timeBase, video.start)), seekGeneration_});
    lock.unlock();
    rawReady_.notify_one();
    return true;
}

// Scaling every picture to the view's pixels costs about as much as decoding it, so it
// runs on threads of their own beside the decoding. Each thread takes the next decoded
// picture and queues it when the pictures taken before it are queued (or dropped), so the
// queue stays in the decoder's order.
void MovieDecoder::scalePictures() {
    SwsContext* scaler = nullptr;
    for (;;) {
        std::unique_lock lock(mutex_);
        rawReady_.wait(lock, [&] { return abort_ || !raw_.empty(); });
        if (abort_) break;
        RawPicture picture = raw_.front();
        raw_.pop_front();
        ++scaling_;
        const long turn = picturesTaken_++;
        MovieFrame frame;
        if (!spare_.empty()) {
            frame.pixels = std::move(spare_.back());
            spare_.pop_back();
        }
        lock.unlock();
        room_.notify_all();

        const int width = targetWidth_.load(), height = targetHeight_.load();
        scaler = viewScaler(scaler, picture.frame, width, height);
        frame.pts = picture.pts;
        frame.width = width;
        frame.height = height;
        frame.stride = width * 4;
        frame.pixels.resize(std::size_t(frame.stride) * height);
        const bool scaled = scaler && scaleInto(scaler, picture.frame, frame.pixels, width, height, frame.stride);
        av_frame_free(&picture.frame);

        lock.lock();
        room_.wait(lock, [&] {
            return abort_ || (picturesQueued_ == turn &&
                              (picture.generation != seekGeneration_ || frames_.size() < kFrameQueue));
        });
        const bool keep = scaled && !abort_ && picture.generation == seekGeneration_;
        if (keep) {
            frames_.push_back(std::move(frame));
            ++framesDecoded_;
        }
        --scaling_;
        ++picturesQueued_;
        lock.unlock();
        room_.notify_all();
        if (keep && changed_) changed_();
    }
    sws_freeContext(scaler);
}

void MovieDecoder::pushSound(Codec& audio, AVFrame* decoded, SwrContext*& resampler) {
    if (!resampler) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, kSampleRate, &decoded->ch_layout,
                                AVSampleFormat(decoded->format), decoded->sample_rate, 0, nullptr) < 0 ||
            swr_init(resampler) < 0) {
            swr_free(&resampler);
            return;
        }
    }
    const int capacity = swr_get_out_samples(resampler, decoded->nb_samples);
    if (capacity <= 0) return;
    std::vector<std::int16_t> out(std::size_t(capacity) * kChannels);
    uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(out.data())};
    const int got = swr_convert(resampler, outPlanes, capacity, const_cast<const uint8_t**>(decoded->extended_data),
                                decoded->nb_samples);
    if (got <= 0) return;
    std::lock_guard lock(mutex_);
    if (seekRequested_) return;
    if (sound_.empty()) soundTime_ = std::max(0.0, frameSeconds(decoded, audio.timeBase, audio.start));
    sound_.insert(sound_.end(), out.begin(), out.begin() + std::ptrdiff_t(got) * kChannels);
    const std::size_t limit = std::size_t(kMaxQueuedSound * kSampleRate) * kChannels;
    if (sound_.size() > limit) {
        const std::size_t drop = sound_.size() - limit;
        sound_.erase(sound_.begin(), sound_.begin() + std::ptrdiff_t(drop));
        soundTime_ += double(drop / kChannels) / kSampleRate;
    }
}

void MovieDecoder::run() {
    AVFormatContext* format = nullptr;
    Codec video, audio;
    if (!open(format, video, audio)) {
        if (format) avformat_close_input(&format);
        if (!abort_) log("Movie %s: %s", url_.c_str(), error().c_str());
        setState(MovieDecoderState::Failed);
        return;
    }
    setState(MovieDecoderState::Ready);

    AVPacket* packet = av_packet_alloc();
    AVFrame* decoded = av_frame_alloc();
    SwrContext* resampler = nullptr;
    bool ok = true;
    // Hands what the decoder has ready on; false when the player is gone.
    auto drain = [&](Codec& codec) {
        while (avcodec_receive_frame(codec.context, decoded) >= 0) {
            if (&codec == &video) {
                if (!pushPicture(video, decoded)) return false;
            } else {
                pushSound(audio, decoded, resampler);
            }
            av_frame_unref(decoded);
        }
        return true;
    };
    bool reachedEnd = false;
    while (ok && !abort_) {
        double target = -1;
        {
            std::lock_guard lock(mutex_);
            if (seekRequested_) {
                seekRequested_ = false;
                target = seekTarget_;
            }
        }
        if (target >= 0) {
            const int64_t ts = int64_t((target + video.start) * AV_TIME_BASE);
            avformat_seek_file(format, -1, INT64_MIN, ts, ts, 0);
            avcodec_flush_buffers(video.context);
            if (audio.context) avcodec_flush_buffers(audio.context);
            if (reachedEnd) {
                reachedEnd = false;
                state_ = MovieDecoderState::Ready;
            }
        }
        if (reachedEnd) {
            // Wait for a seek back or for the end of the player.
            std::unique_lock lock(mutex_);
            room_.wait(lock, [&] { return abort_ || seekRequested_; });
            continue;
        }
        const int status = av_read_frame(format, packet);
        if (status < 0) {
            if (abort_) break;
            // The end (or a stream cut short): what the decoders still hold goes out.
            avcodec_send_packet(video.context, nullptr);
            ok = drain(video);
            if (audio.context) {
                avcodec_send_packet(audio.context, nullptr);
                drain(audio);
            }
            avcodec_flush_buffers(video.context);
            if (audio.context) avcodec_flush_buffers(audio.context);
            if (status != AVERROR_EOF) log("Movie %s ended early: %s", url_.c_str(), averror(status).c_str());
            if (!ok) break;
            reachedEnd = true;
            {
                // The end is the end once the last pictures are scaled and queued; a seek
                // asked for meanwhile goes on from its target instead.
                std::unique_lock lock(mutex_);
                room_.wait(lock, [&] { return abort_ || seekRequested_ || (raw_.empty() && scaling_ == 0); });
                if (!seekRequested_) state_ = MovieDecoderState::Ended;
            }
            if (changed_) changed_();
            continue;
        }
        if (packet->stream_index == video.index) {
            if (avcodec_send_packet(video.context, packet) >= 0) ok = drain(video);
        } else if (packet->stream_index == audio.index) {
            if (avcodec_send_packet(audio.context, packet) >= 0) drain(audio);
        }
        av_packet_unref(packet);
    }
    swr_free(&resampler);
    av_frame_free(&decoded);
    av_packet_free(&packet);
    avformat_close_input(&format);
}

}  // namespace platform
