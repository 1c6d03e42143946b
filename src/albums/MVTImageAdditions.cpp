#include "albums/MVTImageAdditions.h"

#include "platform/ui/Screen.h"

using namespace platform;

namespace MVTImageAdditions {

ImageRef flip(const ImageRef& image, bool horizontal) {
    if (!image) return nullptr;
    const Size size = image->size();
    const double w = size.width, h = size.height;
    const AffineTransform mirror = horizontal ? AffineTransform{-1, 0, 0, 1, w, 0} : AffineTransform{1, 0, 0, -1, 0, h};
    return image->drawnUnderTransform(size, Screen::mainScreen().scale(), mirror, {0, 0, w, h});
}

ImageRef flipVertical(const ImageRef& image) { return flip(image, false); }

ImageRef flipHorizontal(const ImageRef& image) { return flip(image, true); }

ImageRef resizeToWidth(const ImageRef& image, double width, double height) {
    if (!image || width <= 0 || height <= 0) return nullptr;
    return image->redrawnToSize({width, height}, Screen::mainScreen().scale());
}

ImageRef cropImageWithX(const ImageRef& image, double x, double y, double width, double height) {
    if (!image) return nullptr;
    return image->croppedToRect({x, y, width, height});
}

}  // namespace MVTImageAdditions
