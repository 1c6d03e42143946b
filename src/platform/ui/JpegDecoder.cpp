#include "platform/ui/JpegDecoder.h"

#include "platform/ui/PixelMemory.h"

#include <cairo.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace platform {

namespace {

// A header may claim any size up to 65,535 squared; more than this many pixels is no
// photo the app shows, and allocating for it would only exhaust memory.
constexpr uint64_t kJpegMaxPixels = 64ull * 1024 * 1024;

struct JpegErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
    bool cutOff = false;
};

[[noreturn]] void jpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorTrap*>(info->err)->escape, 1);
}

// Warnings are not printed; a source that ran dry (a cut-off download, which libjpeg would
// pad with grey) makes the bytes no picture.
void jpegMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<JpegErrorTrap*>(info->err)->cutOff = true;
}

uint32_t readExifWord(const unsigned char* p, bool little, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[little ? bytes - 1 - i : i];
    return v;
}

// The part that may longjmp: only plain values live here, so nothing is skipped on the way out.
void readJpegInto(jpeg_decompress_struct& info, JpegErrorTrap& trap, const std::string& bytes,
                  JpegDecoding& result) {
    cairo_surface_t* volatile surface = nullptr;
    if (setjmp(trap.escape)) {
        if (surface) cairo_surface_destroy(surface);
        result = {};
        return;
    }
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xffff);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || trap.cutOff) return;
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1) result.exifOrientation = exifOrientationIn(m->data, m->data_length);
    if (info.jpeg_color_space != JCS_YCbCr && info.jpeg_color_space != JCS_GRAYSCALE &&
        info.jpeg_color_space != JCS_RGB) {
        result.outcome = JpegDecoding::Outcome::Unhandled;
        return;
    }
    if (uint64_t(info.image_width) * info.image_height > kJpegMaxPixels) return;
    // Cairo's ARGB32 is one native word per pixel; libjpeg-turbo writes those bytes directly,
    // with an opaque alpha (already premultiplied, as JPEG has no transparency).
    const uint32_t probe = 1;
    const bool littleEndian = *reinterpret_cast<const unsigned char*>(&probe) == 1;
    info.out_color_space = littleEndian ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    jpeg_start_decompress(&info);
    const int width = int(info.output_width), height = int(info.output_height);
    surface = makePixelSurface(width, height);
    if (!surface) {
        jpeg_abort_decompress(&info);
        return;
    }
    cairo_surface_flush(surface);
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    JSAMPROW rows[16];
    while (info.output_scanline < info.output_height && !trap.cutOff) {
        JDIMENSION wanted = std::min<JDIMENSION>(16, info.output_height - info.output_scanline);
        for (JDIMENSION i = 0; i < wanted; ++i) rows[i] = pixels + size_t(info.output_scanline + i) * size_t(stride);
        if (jpeg_read_scanlines(&info, rows, wanted) == 0) break;
    }
    if (trap.cutOff || info.output_scanline < info.output_height) {
        cairo_surface_destroy(surface);
        surface = nullptr;
        jpeg_abort_decompress(&info);
        return;
    }
    jpeg_finish_decompress(&info);
    if (trap.cutOff) {
        cairo_surface_destroy(surface);
        return;
    }
    cairo_surface_mark_dirty(surface);
    result.surface = surface;
    result.outcome = JpegDecoding::Outcome::Decoded;
}

}  // namespace

int exifOrientationIn(const unsigned char* data, size_t size) {
    // "Exif\0\0", then a TIFF header ("II" or "MM", 42, the first directory's offset), then
    // that directory: a count and 12-byte entries; tag 0x0112 holds the orientation.
    if (size < 6 + 8 || std::memcmp(data, "Exif\0\0", 6) != 0) return 1;
    const unsigned char* tiff = data + 6;
    const size_t length = size - 6;
    bool little;
    if (tiff[0] == 'I' && tiff[1] == 'I') little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M') little = false;
    else return 1;
    if (readExifWord(tiff + 2, little, 2) != 42) return 1;
    const size_t directory = readExifWord(tiff + 4, little, 4);
    if (directory > length || length - directory < 2) return 1;
    const size_t count = readExifWord(tiff + directory, little, 2);
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = directory + 2 + 12 * i;
        if (entry > length || length - entry < 12) return 1;
        if (readExifWord(tiff + entry, little, 2) != 0x0112) continue;
        // Type 3 (SHORT), one value, kept in the first two bytes of the value field.
        if (readExifWord(tiff + entry + 2, little, 2) != 3) return 1;
        const uint32_t value = readExifWord(tiff + entry + 8, little, 2);
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

JpegDecoding decodeJpeg(const std::string& bytes) {
    JpegDecoding result;
    jpeg_decompress_struct info;
    JpegErrorTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = jpegErrorExit;
    trap.manager.emit_message = jpegMessage;
    jpeg_create_decompress(&info);
    readJpegInto(info, trap, bytes, result);
    jpeg_destroy_decompress(&info);
    return result;
}

}  // namespace platform
