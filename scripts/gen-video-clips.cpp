// Writes the sample service's three lesson clips: 480 x 270, 25 pictures a second, a few
// seconds each in one colour with a tone, MPEG-4 in an MP4 file whose index comes first.
#include "support/MovieWriter.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen-video-clips FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const std::array<std::uint8_t, 3> colours[] = {{70, 150, 220}, {90, 180, 90}, {230, 150, 60}};
    for (int i = 0; i < 3; ++i) {
        testing_support::MovieSpec spec;
        spec.container = "mp4";
        spec.width = 480;
        spec.height = 270;
        spec.seconds = 3;
        spec.sound = true;
        spec.color = colours[i];
        spec.bitRate = 200000;
        const auto path = folder / ("clip-" + std::to_string(i + 1) + ".mp4");
        if (!testing_support::writeMovie(path, spec)) {
            std::fprintf(stderr, "could not write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
