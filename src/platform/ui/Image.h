#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

struct _cairo_surface;

namespace platform {

class Image;
using ImageRef = std::shared_ptr<Image>;

// How the stored pixels are to be turned to show the picture upright, as the handset
// names the eight camera orientations (EXIF 1, 3, 8, 6, 2, 4, 5, 7). Decoding already
// applies a file's own orientation, so decoded pictures are Up; a picture tagged
// otherwise is made upright by uprightImage().
enum class ImageOrientation { Up, Down, Left, Right, UpMirrored, DownMirrored, LeftMirrored, RightMirrored };

// A decoded picture: premultiplied ARGB pixels, a scale (pixels per point) and optional
// stretchable caps. Immutable; operations answer new images. Decoding and encoding go
// through gdk-pixbuf (PNG, JPEG, GIF's first frame and whatever else it reads).
// Safe to make and read on any thread.
class Image {
public:
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // A bundle resource by name: "name", "name.png", with the "@2x" variant preferred
    // (this is a scale-2 screen), as the handset's imageNamed: does. Cached by name.
    // A missing or undecodable resource gives a visible placeholder showing the name
    // (isPlaceholder()), so a forgotten picture shows on screen instead of vanishing;
    // nullptr only for an empty name.
    static ImageRef imageNamed(const std::string& name);
    // Whether this is the stand-in for a missing resource, and the name it stands for.
    bool isPlaceholder() const { return !missingName_.empty(); }
    const std::string& missingName() const { return missingName_; }
    static ImageRef imageWithContentsOfFile(const std::filesystem::path& path);
    // Decodes bytes; nullptr when they are not a picture. A file named "@2x" or a
    // scale given here sets the points-per-pixel ratio.
    static ImageRef imageWithData(const std::string& bytes, double scale = 1);
    // Whether the bytes decode as a picture.
    static bool isPicture(const std::string& bytes);
    // A picture filled with one colour (1 x 1 points by default).
    static ImageRef imageWithColor(const Color& color, Size size = {1, 1});
    // Adopts a cairo ARGB32 surface (takes a reference).
    static ImageRef fromSurface(_cairo_surface* surface, double scale = 1);

    // Size in points (pixels / scale), as shown: a picture turned a quarter (Left, Right
    // and their mirrors) has its stored width and height swapped.
    Size size() const;
    ImageOrientation orientation() const { return orientation_; }
    // The same pixels tagged with another orientation.
    ImageRef withOrientation(ImageOrientation orientation) const;
    double scale() const { return scale_; }
    int pixelWidth() const { return pixelWidth_; }
    int pixelHeight() const { return pixelHeight_; }

    // Encoded bytes. JPEG quality 0..1 (the handset's compression quality), mapped to
    // libjpeg's 0..100. JPEG has no transparency: clear pixels come out black.
    std::string pngData() const;
    std::string jpegData(double quality) const;

    // The picture redrawn into `size` points at `scale` (stretched to fill).
    ImageRef redrawnToSize(Size size, double scale = 1) const;
    // ---- Picture operations; pixels, never points, unless said. Each answers a new picture
    // and leaves this one as it is.
    // A copy turned by `radians` (clockwise on screen) about its centre, on a canvas the
    // size of the turned picture's bounding box (clear around it). Same scale.
    ImageRef rotatedByRadians(double radians) const;
    // The pixels inside `rect` (whole pixels, limited to the picture); nullptr when the
    // rectangle does not meet the picture. Same scale and orientation.
    ImageRef croppedToRect(const Rect& pixelRect) const;
    // rotatedByRadians(radians)->croppedToRect(pixelRect), the same pixels, worked out only
    // inside the rectangle (a camera photo's turned canvas is never made whole).
    ImageRef rotatedByRadiansCroppedToRect(double radians, const Rect& pixelRect) const;
    // A new transparent bitmap of `canvas` points at `scale` with the stored pixels drawn
    // into `drawRect` under `transform` (applied to the canvas first, as a drawing
    // context's current transform), in a y-down space.
    ImageRef drawnUnderTransform(Size canvas, double scale, const AffineTransform& transform,
                                 const Rect& drawRect) const;
    // The stored pixels mirrored top to bottom (vertical) or left to right.
    ImageRef flippedVertically() const;
    ImageRef flippedHorizontally() const;
    // The upright picture: an Up picture itself, any other drawn turned as its orientation
    // says into a new Up picture of scale 1.
    static ImageRef uprightImage(const ImageRef& image);

    // The picture's shape filled with `color` (its alpha kept, its colours replaced).
    ImageRef tintedWithColor(const Color& color) const;

    // Stretchable copies: the caps keep their size when drawn larger; the part between
    // them stretches. With leftCapWidth/topCapHeight the stretched part is one point wide
    // (high) and the right (bottom) cap is what remains.
    ImageRef stretchableImageWithLeftCapWidth(int leftCapWidth, int topCapHeight) const;
    ImageRef resizableImageWithCapInsets(const EdgeInsets& insets) const;
    int leftCapWidth() const { return leftCap_; }
    int topCapHeight() const { return topCap_; }
    const EdgeInsets& capInsets() const { return caps_; }
    bool isStretchable() const { return caps_.top > 0 || caps_.left > 0 || caps_.bottom > 0 || caps_.right > 0; }

    // Pixel access (tests): non-premultiplied 0xAARRGGBB.
    uint32_t pixelAt(int x, int y) const;
    Color colorAt(int x, int y) const;

    // The pixels as a cairo image surface (borrowed; lives as long as the image).
    _cairo_surface* surface() const { return surface_; }

private:
    Image(_cairo_surface* surface, double scale);
    static ImageRef placeholderFor(const std::string& name);
    ImageRef copyWithCaps(const EdgeInsets& caps, int left, int top) const;
    std::string encode(const char* type, int quality) const;

    _cairo_surface* surface_ = nullptr;
    int pixelWidth_ = 0;
    int pixelHeight_ = 0;
    double scale_ = 1;
    EdgeInsets caps_;
    std::string missingName_;
    int leftCap_ = 0;
    int topCap_ = 0;
    ImageOrientation orientation_ = ImageOrientation::Up;
};

}  // namespace platform
