#pragma once

// Conversion of a movie to a network-friendly MP4 with FFmpeg's libraries: the picture
// scaled down to at most 480 pixels on its longer side at a medium bit rate (H.264 when
// the installed libavcodec can encode it, MPEG-4 part 2 otherwise), the sound as AAC, and
// the index written at the front of the file so that playback can start while it loads.

#include <filesystem>
#include <string>

namespace platform {

class VideoExport {
public:
    VideoExport() = delete;
    // True when the file opens as a movie with a picture stream this library can decode.
    static bool supportsMediumQuality(const std::filesystem::path& input);
    // Converts `input` into `output` (replaced). False with `error` filled on failure; a
    // half-written output is removed.
    static bool exportMediumQualityMP4(const std::filesystem::path& input, const std::filesystem::path& output,
                                       std::string* error);
    // Name of the picture encoder the export uses ("libx264", "mpeg4").
    static std::string videoEncoderName();
    static constexpr int kMaxSide = 480;
    static constexpr long kVideoBitRate = 700000;
    static constexpr long kAudioBitRate = 64000;
};

}  // namespace platform
