#pragma once

#include <string>

struct _cairo_surface;

namespace platform {

// JPEG bytes decoded by libjpeg-turbo straight into cairo's pixel layout (no copy through
// another buffer), which is what a camera photo of twelve million pixels needs to show
// quickly.
struct JpegDecoding {
    enum class Outcome {
        Decoded,     // `surface` holds the stored pixels (owned by the caller)
        NotPicture,  // broken, cut off or absurdly large: nothing to show
        Unhandled,   // a JPEG this path does not read (CMYK); another decoder may
    };
    Outcome outcome = Outcome::NotPicture;
    _cairo_surface* surface = nullptr;
    // The EXIF orientation the file carries (1-8); 1 when it has none or a bad one.
    int exifOrientation = 1;
};

JpegDecoding decodeJpeg(const std::string& bytes);

// The EXIF orientation (1-8) in an APP1 segment's bytes, 1 when there is none.
int exifOrientationIn(const unsigned char* data, size_t size);

}  // namespace platform
