// Writes the sample voices of the local sample service: short tones recorded as 8 kHz
// mono WAV and encoded to AMR-NB by the app's own streaming encoder, so the service hands
// out exactly what the app itself would upload.
#include "core/AmrCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct Voice {
    const char* name;
    double seconds;
    double pitches[3];  // a short melody: equal parts of the voice, 0 for none
};

bool writeWav(const std::string& path, const std::vector<short>& samples) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    voicecodec::writeVoiceWavHeader(file, uint32_t(samples.size() * 2));
    std::fwrite(samples.data(), 2, samples.size(), file);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-folder\n", argv[0]);
        return 2;
    }
    const int rate = 8000;
    const Voice voices[] = {
        {"voice-1s", 1.0, {440.0, 0, 0}},
        {"voice-3s", 3.0, {392.0, 440.0, 523.25}},
    };
    for (const Voice& voice : voices) {
        size_t count = size_t(voice.seconds * rate);
        std::vector<short> samples(count);
        int parts = 0;
        while (parts < 3 && voice.pitches[parts] > 0) ++parts;
        for (size_t i = 0; i < count; ++i) {
            double t = double(i) / rate;
            double pitch = voice.pitches[std::min<size_t>(i * parts / count, parts - 1)];
            // A soft start and end, like a voice that begins and stops.
            double fade = std::min({1.0, t / 0.05, (voice.seconds - t) / 0.1});
            samples[i] = short(std::lround(std::sin(2 * std::numbers::pi * pitch * t) * fade * 12000));
        }
        std::string base = std::string(argv[1]) + "/" + voice.name;
        if (!writeWav(base + ".wav", samples)) {
            std::fprintf(stderr, "cannot write %s.wav\n", base.c_str());
            return 1;
        }
        int frames = voicecodec::wavToAmr(base + ".wav", base + ".amr");
        std::filesystem::remove(base + ".wav");
        if (frames <= 0) {
            std::fprintf(stderr, "cannot encode %s.amr\n", base.c_str());
            return 1;
        }
        std::printf("%s.amr: %d frames\n", voice.name, frames);
    }
    return 0;
}
