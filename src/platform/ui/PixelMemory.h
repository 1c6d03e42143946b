#pragma once

struct _cairo_surface;

namespace platform {

// A new clear cairo ARGB32 surface of width x height pixels; null when it cannot be made.
// A large one (a camera photo, a turned canvas) gets its pixels from memory mapped in huge
// pages and filled in at once: touching forty megabytes page by page costs more than
// decoding the photo into them.
_cairo_surface* makePixelSurface(int width, int height);

}  // namespace platform
