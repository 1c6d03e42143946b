#include "core/AmrCodec.h"

#include <opencore-amrnb/interf_enc.h>

#include <cstring>

namespace voicecodec {

namespace {

uint32_t getLE32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void putLE(unsigned char* p, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

int amrPayloadBytes(unsigned char frameHeader) {
    static constexpr int sizes[16] = {12, 13, 15, 17, 19, 20, 26, 31, 5, 0, 0, 0, 0, 0, 0, 0};
    return sizes[(frameHeader >> 3) & 0x0F];
}

void writeVoiceWavHeader(std::FILE* file, uint32_t dataBytes) {
    unsigned char h[kWavHeaderLength] = {};
    std::memcpy(h, "RIFF", 4);
    putLE(h + 4, 40 + dataBytes, 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    putLE(h + 16, 20, 4);
    putLE(h + 20, 1, 2);
    putLE(h + 22, 1, 2);
    putLE(h + 24, 8000, 4);
    putLE(h + 28, 16000, 4);
    putLE(h + 32, 2, 2);
    putLE(h + 34, 16, 2);
    putLE(h + 36, 0, 4);
    std::memcpy(h + 40, "data", 4);
    putLE(h + 44, dataBytes, 4);
    std::fwrite(h, 1, sizeof h, file);
}

std::optional<long long> seekWavData(std::FILE* file) {
    if (fseeko(file, 0, SEEK_END) != 0) return std::nullopt;
    long long size = ftello(file);
    if (size < 12 || fseeko(file, 0, SEEK_SET) != 0) return std::nullopt;
    unsigned char head[12];
    if (std::fread(head, 1, 12, file) != 12) return std::nullopt;
    if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return std::nullopt;
    // Every chunk is skipped by its own length (plus the pad byte of an odd length), so a
    // format block of 16, 18 or 20 bytes and any extra chunks before the samples all work.
    long long pos = 12;
    while (pos + 8 <= size) {
        unsigned char chunk[8];
        if (fseeko(file, pos, SEEK_SET) != 0 || std::fread(chunk, 1, 8, file) != 8) return std::nullopt;
        pos += 8;
        if (std::memcmp(chunk, "data", 4) == 0) return pos;
        long long length = getLE32(chunk + 4);
        pos += length + (length & 1);
    }
    return std::nullopt;
}

void RecordingState::finish() {
    {
        std::lock_guard lock(mutex);
        recording = false;
    }
    changed.notify_all();
}

void RecordingState::samplesAppended() {
    {
        std::lock_guard lock(mutex);
        ++appended;
    }
    changed.notify_all();
}

int wavToAmr(const std::string& wav, const std::string& amr, RecordingState* live) {
    std::FILE* in = std::fopen(wav.c_str(), "rb");
    if (!in) return 0;
    std::FILE* out = std::fopen(amr.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        return 0;
    }
    std::fwrite(kAmrMagic, 1, kAmrMagicLength, out);
    int frames = 0;
    auto dataStart = seekWavData(in);
    if (dataStart) {
        void* encoder = Encoder_Interface_init(0);
        long long offset = *dataStart;
        short samples[kSamplesPerFrame];
        unsigned char encoded[64];
        for (;;) {
            // Look at the flag and the append count before reading: when the flag was
            // already clear, this read sees everything the recorder wrote, so an
            // incomplete frame really is the end; and an append after this point changes
            // the count, so the wait below cannot miss it.
            bool recording = false;
            unsigned long long seen = 0;
            if (live) {
                std::lock_guard lock(live->mutex);
                recording = live->recording.load();
                seen = live->appended;
            }
            std::clearerr(in);
            size_t got = 0;
            if (fseeko(in, offset, SEEK_SET) == 0) got = std::fread(samples, 1, kFrameBytes, in);
            if (got == size_t(kFrameBytes)) {
                int n = Encoder_Interface_Encode(encoder, MR122, samples, encoded, 0);
                if (n > 0) std::fwrite(encoded, 1, size_t(n), out);
                offset += kFrameBytes;
                ++frames;
                continue;
            }
            if (!recording) break;
            // Everything encoded so far is on disk while the recorder is busy.
            std::fflush(out);
            std::unique_lock lock(live->mutex);
            live->changed.wait(lock, [live, seen] { return !live->recording.load() || live->appended != seen; });
        }
        Encoder_Interface_exit(encoder);
    }
    std::fclose(in);
    std::fclose(out);
    return frames;
}

}  // namespace voicecodec
