#include "platform/ui/QrEncoder.h"

#include "platform/ui/GraphicsContext.h"

#include <qrencode.h>

#include <cmath>

namespace platform {

std::optional<QrMatrix> QrEncoder::encode(const std::string& text, Level level, int version) {
    if (text.empty()) return std::nullopt;
    static const QRecLevel levels[] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
    const QRecLevel ec = levels[level < L ? 0 : level > H ? 3 : level];
    // 8-bit data: the text's UTF-8 bytes as they are, whatever characters they hold.
    QRcode* code = QRcode_encodeData(int(text.size()), reinterpret_cast<const unsigned char*>(text.data()),
                                     version < 0 ? 0 : version, ec);
    if (!code) return std::nullopt;
    QrMatrix matrix;
    matrix.width = code->width;
    matrix.modules.resize(std::size_t(code->width) * std::size_t(code->width));
    for (std::size_t i = 0; i < matrix.modules.size(); ++i) matrix.modules[i] = (code->data[i] & 1) != 0;
    QRcode_free(code);
    return matrix;
}

ImageRef QrEncoder::render(const QrMatrix& matrix, double size) {
    if (matrix.width <= 0 || size <= 0) return nullptr;
    constexpr double kScale = 2;
    constexpr int kMargin = 2;
    const int pixels = int(std::floor(size * kScale));
    const int span = matrix.width + 2 * kMargin;
    const int module = pixels / span;
    if (module < 1) return nullptr;
    // Whole pixels, so that no module edge is blended.
    const double offset = double((pixels - module * matrix.width) / 2) / kScale;
    const double step = double(module) / kScale;
    auto context = makeImageContext({size, size}, kScale, true);
    context->fillRect({0, 0, size, size}, Color::whiteColor());
    for (int y = 0; y < matrix.width; ++y)
        for (int x = 0; x < matrix.width; ++x)
            if (matrix.dark(x, y)) context->fillRect({offset + x * step, offset + y * step, step, step}, Color::black());
    return context->image();
}

}  // namespace platform
