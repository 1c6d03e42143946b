#pragma once

// Writes small generated movies with FFmpeg's libraries, for the tests of the video queue
// and the movie player and for the sample clips: a moving gradient or a solid colour,
// optionally with a 440 Hz tone.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace testing_support {

struct MovieSpec {
    std::string container = "mov";  // "mov" or "mp4"
    int width = 160;
    int height = 120;
    int fps = 25;
    double seconds = 1;
    // H.264 when the installed libavcodec has an encoder for it; MPEG-4 part 2 otherwise.
    bool h264 = false;
    bool sound = false;
    // Every picture this colour; a moving gradient when unset.
    std::optional<std::array<std::uint8_t, 3>> color;
    long bitRate = 0;  // 0: the encoder's default
};

bool writeMovie(const std::filesystem::path& path, const MovieSpec& spec = {});

}  // namespace testing_support
