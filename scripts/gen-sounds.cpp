// Writes the five background tracks that can play under a voice message ("1.mp3" to
// "5.mp3"): short, quiet, looping-friendly chords with a slow fade, 16 kHz mono MP3.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-folder\n", argv[0]);
        return 2;
    }
    const int rate = 16000;
    const double seconds = 3.0;
    // Root frequencies of each track's chord (a major triad over each root, then a fifth).
    const double roots[5] = {220.00, 261.63, 196.00, 293.66, 246.94};
    for (int track = 0; track < 5; ++track) {
        std::vector<short> samples(size_t(rate * seconds));
        const double ratios[3] = {1.0, 1.25, 1.5};
        for (size_t i = 0; i < samples.size(); ++i) {
            double t = double(i) / rate;
            // The notes of the chord enter one after another.
            double v = 0;
            for (int n = 0; n < 3; ++n) {
                if (t < n * 0.4) continue;
                double f = roots[track] * ratios[n];
                v += std::sin(2 * std::numbers::pi * f * t) * 0.2;
            }
            double fade = std::min({1.0, t / 0.3, (seconds - t) / 0.6});
            samples[i] = short(std::lround(v * fade * 32767 * 0.8));
        }
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 1;
        info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        std::string path = std::string(argv[1]) + "/" + std::to_string(track + 1) + ".mp3";
        SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
        if (!f) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
            return 1;
        }
        double level = 0.9;  // 0 best quality .. 1 smallest file
        sf_command(f, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
        sf_write_short(f, samples.data(), sf_count_t(samples.size()));
        sf_close(f);
    }
    return 0;
}
