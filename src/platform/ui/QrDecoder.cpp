#include "platform/ui/QrDecoder.h"

#include "platform/RunLoop.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <cairo.h>

#include <cstdint>
#include <vector>

namespace platform {

std::optional<std::string> QrDecoder::decode(const Image& image) {
    cairo_surface_t* surface = image.surface();
    if (!surface) return std::nullopt;
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || width <= 0 || height <= 0) return std::nullopt;

    // Grey levels of the picture laid over white (premultiplied ARGB in, luminance out).
    std::vector<uint8_t> grey(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = row[x];
            const uint32_t clear = 255 - (pixel >> 24);
            const uint32_t r = ((pixel >> 16) & 0xFF) + clear;
            const uint32_t g = ((pixel >> 8) & 0xFF) + clear;
            const uint32_t b = (pixel & 0xFF) + clear;
            grey[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>((r * 77 + g * 150 + b * 29) >> 8);
        }
    }

    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    const ZXing::Result result =
        ZXing::ReadBarcode(ZXing::ImageView(grey.data(), width, height, ZXing::ImageFormat::Lum), hints);
    if (!result.isValid() || result.format() != ZXing::BarcodeFormat::QRCode) return std::nullopt;
    return result.text();
}

void QrDecoder::decodeImage(const ImageRef& image) {
    std::optional<std::string> text = image ? decode(*image) : std::nullopt;
    auto self = shared_from_this();
    RunLoop::main().post([self, text] {
        auto delegate = self->delegate();
        if (!delegate) return;
        if (text)
            delegate->decoderDidDecode(*self, *text);
        else
            delegate->decoderFailedToDecode(*self, "no QR code in the picture");
    });
}

}  // namespace platform
