#pragma once

// Pictures of codes for the camera stand-in and the scan screen: a QR code and a Code 128
// barcode, black on white. Header only: a test executable that includes it links
// libqrencode (PkgConfig::QRENCODE) and ZXing (through platform_ui) itself.

#include "platform/ui/GraphicsContext.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>
#include <qrencode.h>

#include <string>

namespace testing_support {

// A QR code of `text`, 6 pixels a module with a 4-module margin.
inline platform::ImageRef qrPicture(const std::string& text) {
    QRcode* code = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code) return nullptr;
    const int module = 6, margin = 4, side = (code->width + 2 * margin) * module;
    auto ctx = platform::makeImageContext({double(side), double(side)}, 1, true);
    ctx->fillRect({0, 0, double(side), double(side)}, platform::Color::whiteColor());
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                ctx->fillRect({double((x + margin) * module), double((y + margin) * module), double(module),
                               double(module)},
                              platform::Color::black());
    QRcode_free(code);
    return ctx->image();
}

// A Code 128 barcode of `text` with a 20-pixel margin: a barcode, but not a QR code.
inline platform::ImageRef code128Picture(const std::string& text) {
    const ZXing::BitMatrix bits = ZXing::MultiFormatWriter(ZXing::BarcodeFormat::Code128).encode(text, 300, 120);
    auto ctx = platform::makeImageContext({double(bits.width() + 40), double(bits.height() + 40)}, 1, true);
    ctx->fillRect({0, 0, double(bits.width() + 40), double(bits.height() + 40)}, platform::Color::whiteColor());
    for (int y = 0; y < bits.height(); ++y)
        for (int x = 0; x < bits.width(); ++x)
            if (bits.get(x, y)) ctx->fillRect({double(x + 20), double(y + 20), 1, 1}, platform::Color::black());
    return ctx->image();
}

}  // namespace testing_support
