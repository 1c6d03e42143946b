#pragma once

// The first picture of a movie file, decoded with FFmpeg's libraries and scaled to fit a
// square of a given side, for the thumbnails of videos in the photo library.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// Pixels in cairo's ARGB32 layout (opaque), `width` × 4 bytes a row.
struct VideoStill {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Decodes the first picture of `path`, its sides in proportion within `maxSide` pixels.
// False (and `error` filled) when the file is no movie with a picture this library can
// decode, or when no picture comes within the first packets.
bool firstVideoStill(const std::filesystem::path& path, int maxSide, VideoStill& still, std::string* error = nullptr);

}  // namespace platform
