#include "platform/ui/Image.h"

#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/JpegDecoder.h"
#include "platform/ui/PixelMemory.h"

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace platform {

namespace {

// gdk-pixbuf (non-premultiplied RGBA bytes) → cairo ARGB32 (premultiplied native words).
cairo_surface_t* surfaceFromPixbuf(GdkPixbuf* pixbuf) {
    int w = gdk_pixbuf_get_width(pixbuf), h = gdk_pixbuf_get_height(pixbuf);
    int channels = gdk_pixbuf_get_n_channels(pixbuf);
    bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
    int srcStride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    unsigned char* dst = cairo_image_surface_get_data(surface);
    int dstStride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y) {
        const guchar* s = src + y * srcStride;
        auto* d = reinterpret_cast<uint32_t*>(dst + y * dstStride);
        for (int x = 0; x < w; ++x, s += channels) {
            uint32_t a = alpha ? s[3] : 255;
            uint32_t r = (s[0] * a + 127) / 255, g = (s[1] * a + 127) / 255, b = (s[2] * a + 127) / 255;
            d[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

uint32_t unpremultiply(uint32_t px) {
    uint32_t a = px >> 24;
    if (a == 0) return 0;
    uint32_t r = (px >> 16) & 0xff, g = (px >> 8) & 0xff, b = px & 0xff;
    if (a < 255) {
        r = std::min(255u, (r * 255 + a / 2) / a);
        g = std::min(255u, (g * 255 + a / 2) / a);
        b = std::min(255u, (b * 255 + a / 2) / a);
    }
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The picture formats the app meets (from the camera, the service and its resources),
// told by their first bytes. Anything else is refused before any decoder sees it, so
// bytes from the network never reach gdk-pixbuf's rarer loaders.
const char* sniff(const std::string& b) {
    auto starts = [&](const char* magic, size_t n) { return b.size() >= n && b.compare(0, n, magic, n) == 0; };
    if (starts("\x89PNG\r\n\x1a\n", 8)) return "png";
    if (starts("\xff\xd8\xff", 3)) return "jpeg";
    if (starts("GIF87a", 6) || starts("GIF89a", 6)) return "gif";
    if (starts("BM", 2) && b.size() > 26) return "bmp";
    if (starts("II*\0", 4) || starts("MM\0*", 4)) return "tiff";
    return nullptr;
}

GdkPixbuf* decode(const std::string& bytes) {
    const char* type = sniff(bytes);
    if (!type) return nullptr;
    GError* error = nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type(type, &error);
    if (!loader) {
        if (error) g_error_free(error);
        return nullptr;
    }
    bool ok = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), &error);
    if (error) {
        g_error_free(error);
        error = nullptr;
    }
    bool closed = gdk_pixbuf_loader_close(loader, &error);
    if (error) g_error_free(error);
    GdkPixbuf* pixbuf = nullptr;
    if (ok && closed) {
        if (GdkPixbuf* p = gdk_pixbuf_loader_get_pixbuf(loader)) {
            // Camera pictures carry their orientation; show them upright.
            pixbuf = gdk_pixbuf_apply_embedded_orientation(p);
        }
    }
    g_object_unref(loader);
    return pixbuf;
}

// EXIF 1-8 as the handset names them.
ImageOrientation orientationForExif(int exif) {
    using O = ImageOrientation;
    static const O byExif[] = {O::Up, O::Up, O::UpMirrored, O::Down, O::DownMirrored,
                               O::LeftMirrored, O::Right, O::RightMirrored, O::Left};
    return exif >= 1 && exif <= 8 ? byExif[exif] : O::Up;
}

std::mutex namedMutex;
std::map<std::string, std::weak_ptr<Image>> namedCache;

}  // namespace

Image::Image(cairo_surface_t* surface, double scale) : surface_(surface), scale_(scale > 0 ? scale : 1) {
    pixelWidth_ = cairo_image_surface_get_width(surface);
    pixelHeight_ = cairo_image_surface_get_height(surface);
}

Image::~Image() {
    if (surface_) cairo_surface_destroy(surface_);
}

ImageRef Image::fromSurface(cairo_surface_t* surface, double scale) {
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return nullptr;
    cairo_surface_flush(surface);
    return ImageRef(new Image(cairo_surface_reference(surface), scale));
}

ImageRef Image::imageWithData(const std::string& bytes, double scale) {
    if (const char* type = sniff(bytes); type && std::string_view(type) == "jpeg") {
        JpegDecoding jpeg = decodeJpeg(bytes);
        if (jpeg.outcome == JpegDecoding::Outcome::NotPicture) return nullptr;
        if (jpeg.outcome == JpegDecoding::Outcome::Decoded) {
            if (jpeg.exifOrientation == 1) return ImageRef(new Image(jpeg.surface, scale));
            // A camera's turned photo is shown upright, pixel for pixel, at the scale asked for.
            auto image = ImageRef(new Image(jpeg.surface, 1));
            image->orientation_ = orientationForExif(jpeg.exifOrientation);
            auto upright = uprightImage(image);
            return upright ? fromSurface(upright->surface(), scale) : nullptr;
        }
    }
    GdkPixbuf* pixbuf = decode(bytes);
    if (!pixbuf) return nullptr;
    cairo_surface_t* surface = surfaceFromPixbuf(pixbuf);
    g_object_unref(pixbuf);
    if (!surface) return nullptr;
    return ImageRef(new Image(surface, scale));
}

bool Image::isPicture(const std::string& bytes) {
    if (const char* type = sniff(bytes); type && std::string_view(type) == "jpeg") {
        JpegDecoding jpeg = decodeJpeg(bytes);
        if (jpeg.surface) cairo_surface_destroy(jpeg.surface);
        if (jpeg.outcome != JpegDecoding::Outcome::Unhandled) return jpeg.outcome == JpegDecoding::Outcome::Decoded;
    }
    GdkPixbuf* pixbuf = decode(bytes);
    if (!pixbuf) return false;
    g_object_unref(pixbuf);
    return true;
}

ImageRef Image::imageWithContentsOfFile(const std::filesystem::path& path) {
    auto bytes = readFile(path);
    if (!bytes) return nullptr;
    std::string stem = path.stem().string();
    double scale = stem.size() > 3 && stem.compare(stem.size() - 3, 3, "@2x") == 0   ? 2
                   : stem.size() > 3 && stem.compare(stem.size() - 3, 3, "@3x") == 0 ? 3
                                                                                    : 1;
    return imageWithData(*bytes, scale);
}

ImageRef Image::imageNamed(const std::string& name) {
    if (name.empty()) return nullptr;
    {
        std::lock_guard guard(namedMutex);
        if (auto it = namedCache.find(name); it != namedCache.end())
            if (auto image = it->second.lock()) return image;
    }
    std::filesystem::path p(name);
    std::string ext = p.extension().string();
    std::string base = ext.empty() ? name : name.substr(0, name.size() - ext.size());
    std::vector<std::string> candidates;
    if (ext.empty()) {
        candidates = {base + "@2x.png", base + ".png", base + "@2x.jpg", base + ".jpg", base};
    } else {
        candidates = {base + "@2x" + ext, name};
    }
    for (auto& c : candidates) {
        auto path = Paths::resourcePath(c);
        if (path.empty()) continue;
        if (auto image = imageWithContentsOfFile(path)) {
            std::lock_guard guard(namedMutex);
            namedCache[name] = image;
            return image;
        }
    }
    log("missing picture resource \"%s\"", name.c_str());
    auto placeholder = placeholderFor(name);
    std::lock_guard guard(namedMutex);
    namedCache[name] = placeholder;
    return placeholder;
}

ImageRef Image::placeholderFor(const std::string& name) {
    // A grey tile with a frame, a cross and the name, at screen scale.
    Size size{60, 30};
    auto context = makeImageContext(size, 2);
    Rect box{0, 0, size.width, size.height};
    context->fillRect(box, Color::white(0.85));
    context->setStrokeColor(Color::white(0.55));
    context->strokeRect(box);
    context->drawLine({0, 0}, {size.width, size.height});
    context->drawLine({size.width, 0}, {0, size.height});
    context->drawText(name, box.insetBy(2, 2), Font::systemFontOfSize(8), Color::rgb255(200, 0, 0),
                      TextAlignment::Center, LineBreakMode::CharWrap, 3);
    auto image = context->image();
    image->missingName_ = name;
    return image;
}

ImageRef Image::imageWithColor(const Color& color, Size size) {
    int w = std::max(1, int(std::lround(size.width))), h = std::max(1, int(std::lround(size.height)));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return ImageRef(new Image(surface, 1));
}

std::string Image::encode(const char* type, int quality) const {
    bool jpeg = std::string(type) == "jpeg";
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, !jpeg, 8, pixelWidth_, pixelHeight_);
    if (!pixbuf) return {};
    int channels = gdk_pixbuf_get_n_channels(pixbuf);
    int stride = gdk_pixbuf_get_rowstride(pixbuf);
    guchar* dst = gdk_pixbuf_get_pixels(pixbuf);
    cairo_surface_flush(surface_);
    const unsigned char* src = cairo_image_surface_get_data(surface_);
    int srcStride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < pixelHeight_; ++y) {
        auto* s = reinterpret_cast<const uint32_t*>(src + y * srcStride);
        guchar* d = dst + y * stride;
        for (int x = 0; x < pixelWidth_; ++x, d += channels) {
            // JPEG: premultiplied values are the picture over black.
            uint32_t px = jpeg ? s[x] : unpremultiply(s[x]);
            d[0] = guchar((px >> 16) & 0xff);
            d[1] = guchar((px >> 8) & 0xff);
            d[2] = guchar(px & 0xff);
            if (!jpeg) d[3] = guchar(px >> 24);
        }
    }
    gchar* buffer = nullptr;
    gsize length = 0;
    GError* error = nullptr;
    bool ok;
    if (jpeg) {
        std::string q = std::to_string(std::clamp(quality, 0, 100));
        ok = gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &length, "jpeg", &error, "quality", q.c_str(), nullptr);
    } else {
        ok = gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &length, "png", &error, nullptr);
    }
    g_object_unref(pixbuf);
    if (error) g_error_free(error);
    std::string out;
    if (ok && buffer) out.assign(buffer, length);
    g_free(buffer);
    return out;
}

std::string Image::pngData() const { return encode("png", 0); }

std::string Image::jpegData(double quality) const {
    return encode("jpeg", int(std::lround(std::clamp(quality, 0.0, 1.0) * 100)));
}

ImageRef Image::redrawnToSize(Size size, double scale) const {
    if (scale <= 0) scale = 1;
    int w = std::max(1, int(std::lround(size.width * scale))), h = std::max(1, int(std::lround(size.height * scale)));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, double(w) / pixelWidth_, double(h) / pixelHeight_);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return ImageRef(new Image(surface, scale));
}

ImageRef Image::tintedWithColor(const Color& color) const {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixelWidth_, pixelHeight_);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a);
    cairo_paint(cr);
    // Keep the colour only where the picture has coverage.
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_IN);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    auto image = ImageRef(new Image(surface, scale_));
    image->caps_ = caps_;
    image->leftCap_ = leftCap_;
    image->topCap_ = topCap_;
    return image;
}

ImageRef Image::copyWithCaps(const EdgeInsets& caps, int left, int top) const {
    auto image = ImageRef(new Image(cairo_surface_reference(surface_), scale_));
    image->caps_ = caps;
    image->leftCap_ = left;
    image->topCap_ = top;
    return image;
}

ImageRef Image::stretchableImageWithLeftCapWidth(int leftCapWidth, int topCapHeight) const {
    Size s = size();
    EdgeInsets caps;
    if (leftCapWidth > 0) {
        caps.left = leftCapWidth;
        caps.right = std::max(0.0, s.width - leftCapWidth - 1);
    }
    if (topCapHeight > 0) {
        caps.top = topCapHeight;
        caps.bottom = std::max(0.0, s.height - topCapHeight - 1);
    }
    return copyWithCaps(caps, leftCapWidth, topCapHeight);
}

ImageRef Image::resizableImageWithCapInsets(const EdgeInsets& insets) const {
    return copyWithCaps(insets, int(insets.left), int(insets.top));
}

uint32_t Image::pixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= pixelWidth_ || y >= pixelHeight_) return 0;
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    return unpremultiply(reinterpret_cast<const uint32_t*>(data + y * stride)[x]);
}

Color Image::colorAt(int x, int y) const {
    uint32_t px = pixelAt(x, y);
    return Color::rgba(((px >> 16) & 0xff) / 255.0, ((px >> 8) & 0xff) / 255.0, (px & 0xff) / 255.0,
                       (px >> 24) / 255.0);
}

}  // namespace platform

namespace platform {

namespace {

bool quarterTurned(ImageOrientation o) {
    return o == ImageOrientation::Left || o == ImageOrientation::Right || o == ImageOrientation::LeftMirrored ||
           o == ImageOrientation::RightMirrored;
}

// Whole pixels for a computed length: a hair over a whole number (rounding noise of a
// turn) does not add a pixel.
int wholePixels(double length) { return std::max(1, int(std::ceil(length - 1e-6))); }

cairo_surface_t* newCanvas(int w, int h) { return makePixelSurface(w, h); }

cairo_matrix_t cairoMatrix(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

}  // namespace

Size Image::size() const {
    double w = double(pixelWidth_) / scale_, h = double(pixelHeight_) / scale_;
    return quarterTurned(orientation_) ? Size{h, w} : Size{w, h};
}

ImageRef Image::withOrientation(ImageOrientation orientation) const {
    auto image = copyWithCaps(caps_, leftCap_, topCap_);
    image->orientation_ = orientation;
    return image;
}

namespace {

// The canvas a turn by `radians` needs: the turned picture's bounding box in whole pixels.
struct TurnCanvas {
    int width, height;
};
TurnCanvas turnCanvasFor(int pixelWidth, int pixelHeight, double radians) {
    const double cs = std::fabs(std::cos(radians)), sn = std::fabs(std::sin(radians));
    return {wholePixels(pixelWidth * cs + pixelHeight * sn), wholePixels(pixelWidth * sn + pixelHeight * cs)};
}

// A rectangle in whole pixels (edges toward zero, as an integer cut takes them) limited to
// width x height; empty when it does not meet them.
struct PixelBox {
    long x0, y0, x1, y1;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};
PixelBox wholePixelBox(const Rect& rect, long width, long height) {
    long x0 = long(std::trunc(rect.x())), y0 = long(std::trunc(rect.y()));
    long x1 = x0 + long(std::trunc(rect.width())), y1 = y0 + long(std::trunc(rect.height()));
    return {std::max(0L, x0), std::max(0L, y0), std::min(width, x1), std::min(height, y1)};
}

// Draws `source` turned by `radians` about the centre of a `canvas`-sized box into
// `target`, whose pixel (0, 0) is the box's pixel `origin`. Large targets are drawn in
// horizontal bands on several threads: each band is its own cairo surface over the same
// pixels, so the threads share only the source, which they read.
void drawTurned(cairo_surface_t* source, double radians, TurnCanvas canvas, cairo_surface_t* target, long originX,
                long originY) {
    const int width = cairo_image_surface_get_width(target), height = cairo_image_surface_get_height(target);
    const int stride = cairo_image_surface_get_stride(target);
    unsigned char* pixels = cairo_image_surface_get_data(target);
    const double sourceWidth = cairo_image_surface_get_width(source), sourceHeight = cairo_image_surface_get_height(source);
    auto drawBand = [=](int top, int bottom) {
        cairo_surface_t* band = cairo_image_surface_create_for_data(pixels + size_t(top) * size_t(stride),
                                                                    CAIRO_FORMAT_ARGB32, width, bottom - top, stride);
        cairo_t* cr = cairo_create(band);
        cairo_translate(cr, -double(originX), -double(originY + top));
        cairo_translate(cr, canvas.width / 2.0, canvas.height / 2.0);
        cairo_rotate(cr, radians);
        cairo_set_source_surface(cr, source, -sourceWidth / 2.0, -sourceHeight / 2.0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_finish(band);
        cairo_surface_destroy(band);
    };
    cairo_surface_flush(target);
    const long area = long(width) * height;
    const int bands = area < 1'000'000 ? 1 : int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    std::vector<std::thread> helpers;
    const int bandHeight = (height + bands - 1) / bands;
    for (int b = 1; b < bands; ++b) {
        const int top = b * bandHeight, bottom = std::min(height, top + bandHeight);
        if (top < bottom) helpers.emplace_back(drawBand, top, bottom);
    }
    drawBand(0, std::min(height, bandHeight));
    for (auto& helper : helpers) helper.join();
    cairo_surface_mark_dirty(target);
}

}  // namespace

ImageRef Image::rotatedByRadians(double radians) const {
    const TurnCanvas canvas = turnCanvasFor(pixelWidth_, pixelHeight_, radians);
    cairo_surface_t* surface = newCanvas(canvas.width, canvas.height);
    if (!surface) return nullptr;
    drawTurned(surface_, radians, canvas, surface, 0, 0);
    auto image = ImageRef(new Image(surface, scale_));
    image->orientation_ = orientation_;
    return image;
}

ImageRef Image::rotatedByRadiansCroppedToRect(double radians, const Rect& pixelRect) const {
    const TurnCanvas canvas = turnCanvasFor(pixelWidth_, pixelHeight_, radians);
    const PixelBox box = wholePixelBox(pixelRect, canvas.width, canvas.height);
    if (box.empty()) return nullptr;
    cairo_surface_t* surface = newCanvas(int(box.x1 - box.x0), int(box.y1 - box.y0));
    if (!surface) return nullptr;
    drawTurned(surface_, radians, canvas, surface, box.x0, box.y0);
    auto image = ImageRef(new Image(surface, scale_));
    image->orientation_ = orientation_;
    return image;
}

ImageRef Image::croppedToRect(const Rect& pixelRect) const {
    const PixelBox box = wholePixelBox(pixelRect, pixelWidth_, pixelHeight_);
    if (box.empty()) return nullptr;
    const long x0 = box.x0, y0 = box.y0, x1 = box.x1, y1 = box.y1;
    cairo_surface_t* surface = newCanvas(int(x1 - x0), int(y1 - y0));
    if (!surface) return nullptr;
    cairo_t* cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface_, -double(x0), -double(y0));
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    auto image = ImageRef(new Image(surface, scale_));
    image->orientation_ = orientation_;
    return image;
}

ImageRef Image::drawnUnderTransform(Size canvas, double scale, const AffineTransform& transform,
                                    const Rect& drawRect) const {
    if (scale <= 0) scale = 1;
    cairo_surface_t* surface = newCanvas(wholePixels(canvas.width * scale), wholePixels(canvas.height * scale));
    if (!surface) return nullptr;
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    cairo_matrix_t m = cairoMatrix(transform);
    cairo_transform(cr, &m);
    cairo_rectangle(cr, drawRect.x(), drawRect.y(), drawRect.width(), drawRect.height());
    cairo_clip(cr);
    cairo_translate(cr, drawRect.x(), drawRect.y());
    cairo_scale(cr, drawRect.width() / pixelWidth_, drawRect.height() / pixelHeight_);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return ImageRef(new Image(surface, scale));
}

ImageRef Image::flippedVertically() const {
    double w = double(pixelWidth_) / scale_, h = double(pixelHeight_) / scale_;
    return drawnUnderTransform({w, h}, scale_, {1, 0, 0, -1, 0, h}, {0, 0, w, h});
}

ImageRef Image::flippedHorizontally() const {
    double w = double(pixelWidth_) / scale_, h = double(pixelHeight_) / scale_;
    return drawnUnderTransform({w, h}, scale_, {-1, 0, 0, 1, w, 0}, {0, 0, w, h});
}

ImageRef Image::uprightImage(const ImageRef& image) {
    if (!image || image->orientation_ == ImageOrientation::Up) return image;
    const Size shown = image->size();
    const double width = shown.width, height = shown.height;
    using O = ImageOrientation;
    const O o = image->orientation_;
    // The turn is worked out in a y-up space, where a picture is drawn with its first row
    // at the top of its rectangle: first flip the canvas to y-up.
    AffineTransform t = AffineTransform::translation(0, height);
    auto then = [&t](const AffineTransform& step) { t = step.concat(t); };
    then(AffineTransform::scale(1, -1));
    if (o == O::Down || o == O::DownMirrored) {
        then(AffineTransform::translation(width, height));
        then(AffineTransform::rotation(M_PI));
    } else if (o == O::Left || o == O::LeftMirrored) {
        then(AffineTransform::translation(width, 0));
        then(AffineTransform::rotation(M_PI / 2));
    } else if (o == O::Right || o == O::RightMirrored) {
        then(AffineTransform::translation(0, height));
        then(AffineTransform::rotation(-M_PI / 2));
    }
    if (o == O::UpMirrored || o == O::DownMirrored) {
        then(AffineTransform::translation(width, 0));
        then(AffineTransform::scale(-1, 1));
    } else if (o == O::LeftMirrored || o == O::RightMirrored) {
        then(AffineTransform::translation(height, 0));
        then(AffineTransform::scale(-1, 1));
    }
    const Rect drawn = quarterTurned(o) ? Rect{0, 0, height, width} : Rect{0, 0, width, height};
    // Drawn first row up in the y-up space.
    then(AffineTransform::translation(0, drawn.height()));
    then(AffineTransform::scale(1, -1));
    return image->drawnUnderTransform(shown, 1, t, drawn);
}

}  // namespace platform
