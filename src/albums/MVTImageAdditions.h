#pragma once

#include "platform/ui/Image.h"

// Small picture tools: flips and a resize drawn at the screen's scale, and a cut in whole
// pixels. Each answers a new picture (nullptr for no picture, or a cut that misses it).
namespace MVTImageAdditions {

// The picture drawn into a clear canvas of its size at the screen's scale: mirrored top to
// bottom with `horizontal` clear, left to right with it set.
platform::ImageRef flip(const platform::ImageRef& image, bool horizontal);
platform::ImageRef flipVertical(const platform::ImageRef& image);
platform::ImageRef flipHorizontal(const platform::ImageRef& image);
// The picture stretched into width x height points at the screen's scale.
platform::ImageRef resizeToWidth(const platform::ImageRef& image, double width, double height);
// The pixels of the picture's bitmap inside the rectangle.
platform::ImageRef cropImageWithX(const platform::ImageRef& image, double x, double y, double width, double height);

}  // namespace MVTImageAdditions
