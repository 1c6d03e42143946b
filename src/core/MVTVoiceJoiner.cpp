#include "core/MVTVoiceJoiner.h"

#include "core/AmrCodec.h"

#include <opencore-amrnb/interf_dec.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

using namespace voicecodec;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openFile(const std::string& path, const char* mode) { return File(std::fopen(path.c_str(), mode)); }

// Copies the rest of `in` to `out` in whole 16-bit samples (a dangling odd byte is not a
// sample and is left out). Answers the number of bytes copied.
uint64_t copySamples(std::FILE* in, std::FILE* out) {
    std::vector<unsigned char> block(64 * 1024);
    uint64_t copied = 0;
    unsigned char carry = 0;
    bool haveCarry = false;
    for (;;) {
        size_t start = haveCarry ? 1 : 0;
        if (haveCarry) block[0] = carry;
        size_t got = std::fread(block.data() + start, 1, block.size() - start, in);
        size_t total = start + got;
        size_t whole = total & ~size_t(1);
        if (whole > 0) {
            if (std::fwrite(block.data(), 1, whole, out) != whole) return copied;
            copied += whole;
        }
        haveCarry = total != whole;
        if (haveCarry) carry = block[total - 1];
        if (got == 0) break;
    }
    return copied;
}

}  // namespace

bool MVTVoiceJoiner::mixMusic(const std::string& a, const std::string& b, const std::string& output) {
    File fa = openFile(a, "rb");
    File fb = openFile(b, "rb");
    if (!fa || !fb) return false;
    auto startA = seekWavData(fa.get());
    auto startB = seekWavData(fb.get());
    if (!startA || !startB) return false;

    // Written beside the output and renamed over it, so that joining onto one of the
    // inputs never reads a file it is truncating.
    std::string temporary = output + ".joining";
    File out = openFile(temporary, "w+b");
    if (!out) return false;
    writeVoiceWavHeader(out.get(), 0);
    uint64_t bytes = 0;
    fseeko(fb.get(), *startB, SEEK_SET);
    bytes += copySamples(fb.get(), out.get());
    fseeko(fa.get(), *startA, SEEK_SET);
    bytes += copySamples(fa.get(), out.get());
    fseeko(out.get(), 0, SEEK_SET);
    writeVoiceWavHeader(out.get(), static_cast<uint32_t>(std::min<uint64_t>(bytes, 0xFFFFFFFFu - 40)));
    bool ok = std::fflush(out.get()) == 0 && !std::ferror(out.get());
    ok = std::fclose(out.release()) == 0 && ok;
    std::error_code ec;
    if (ok) std::filesystem::rename(temporary, output, ec);
    if (!ok || ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

long long MVTVoiceJoiner::mixAmr(const std::string& t, const std::string& s) {
    File target = openFile(t, "ab");
    File source = openFile(s, "rb");
    if (!target || !source) return 0;
    char magic[kAmrMagicLength];
    if (std::fread(magic, 1, kAmrMagicLength, source.get()) != size_t(kAmrMagicLength) ||
        std::memcmp(magic, kAmrMagic, kAmrMagicLength) != 0)
        return 0;
    // Only the bytes the source holds now: appending a file to itself stays bounded.
    fseeko(source.get(), 0, SEEK_END);
    long long remaining = ftello(source.get()) - kAmrMagicLength;
    fseeko(source.get(), kAmrMagicLength, SEEK_SET);
    std::vector<char> block(64 * 1024);
    long long appended = 0;
    while (remaining > 0) {
        size_t want = size_t(std::min<long long>(remaining, (long long)block.size()));
        size_t got = std::fread(block.data(), 1, want, source.get());
        if (got == 0) break;
        if (std::fwrite(block.data(), 1, got, target.get()) != got) break;
        appended += (long long)got;
        remaining -= (long long)got;
    }
    return appended;
}

int MVTVoiceJoiner::amrToWav(const std::string& amr, const std::string& wav) {
    File in = openFile(amr, "rb");
    if (!in) return 0;
    char magic[kAmrMagicLength];
    if (std::fread(magic, 1, kAmrMagicLength, in.get()) != size_t(kAmrMagicLength) ||
        std::memcmp(magic, kAmrMagic, kAmrMagicLength) != 0)
        return 0;
    int first = std::fgetc(in.get());
    // A frame header has its top bit clear; types 9 to 14 are reserved.
    if (first == EOF || (first & 0x80) != 0 || (((first >> 3) & 0x0F) >= 9 && ((first >> 3) & 0x0F) <= 14))
        return 0;
    auto header = static_cast<unsigned char>(first);
    size_t payload = size_t(amrPayloadBytes(header));

    File out = openFile(wav, "w+b");
    if (!out) return 0;
    writeVoiceWavHeader(out.get(), 0);
    void* decoder = Decoder_Interface_init();
    // Room for the longest frame, so the decoder never reads past the buffer.
    unsigned char frame[64] = {};
    short samples[kSamplesPerFrame];
    constexpr int kMaxFrames = int((0xFFFFFFFFu - 40) / kFrameBytes);
    int frames = 0;
    bool haveHeader = true;
    while (frames < kMaxFrames) {
        if (!haveHeader) {
            // The next frame starts at the next byte equal to the first frame's header.
            int c;
            while ((c = std::fgetc(in.get())) != EOF && c != header) {
            }
            if (c == EOF) break;
        }
        haveHeader = false;
        std::memset(frame, 0, sizeof frame);
        frame[0] = header;
        if (std::fread(frame + 1, 1, payload, in.get()) != payload) break;  // truncated frame
        Decoder_Interface_Decode(decoder, frame, samples, 0);
        if (std::fwrite(samples, 1, kFrameBytes, out.get()) != size_t(kFrameBytes)) break;
        ++frames;
    }
    Decoder_Interface_exit(decoder);
    fseeko(out.get(), 0, SEEK_SET);
    writeVoiceWavHeader(out.get(), uint32_t(frames) * kFrameBytes);
    std::fclose(out.release());
    if (frames == 0) {
        std::error_code ec;
        std::filesystem::remove(wav, ec);
    }
    return frames;
}
