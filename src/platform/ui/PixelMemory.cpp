#include "platform/ui/PixelMemory.h"

#include <cairo.h>

#include <sys/mman.h>

#include <cstddef>

namespace platform {

namespace {

// Below this many bytes the ordinary allocator is as quick.
constexpr size_t kMappedPixelsFrom = 4u << 20;

struct MappedPixels {
    void* address;
    size_t length;
};

const cairo_user_data_key_t kMappedPixelsKey{};

void releaseMappedPixels(void* data) {
    auto* pixels = static_cast<MappedPixels*>(data);
    munmap(pixels->address, pixels->length);
    delete pixels;
}

}  // namespace

cairo_surface_t* makePixelSurface(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    const size_t length = size_t(stride) * size_t(height);
    cairo_surface_t* surface = nullptr;
    if (stride > 0 && length >= kMappedPixelsFrom) {
        void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (address != MAP_FAILED) {
            // Both are hints: an older kernel ignores them and the pages come one by one.
            madvise(address, length, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
            madvise(address, length, MADV_POPULATE_WRITE);
#endif
            surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(address), CAIRO_FORMAT_ARGB32,
                                                          width, height, stride);
            auto* mapped = new MappedPixels{address, length};
            if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
                cairo_surface_set_user_data(surface, &kMappedPixelsKey, mapped, releaseMappedPixels) !=
                    CAIRO_STATUS_SUCCESS) {
                // Nothing of ours hangs on a failed surface: the mapping goes here.
                cairo_surface_destroy(surface);
                releaseMappedPixels(mapped);
                return nullptr;
            }
            return surface;
        }
    }
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

}  // namespace platform
