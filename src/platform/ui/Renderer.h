#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <filesystem>
#include <memory>

namespace platform {

class GraphicsContext;
class ImageGraphicsContext;

// Turns a view tree into pixels: each view's shadow, background and corners, its own
// drawing, its subviews (clipped when it clips), then its border; hidden and fully
// transparent views are skipped with everything inside them. Each view is drawn as its
// presentation stands at the run loop clock's now, so a picture taken while an animation
// runs shows it part way. A window gets the status
// bar strip on top unless the bar is hidden.
class Renderer {
public:
    // Draws `view` into `context`, whose user space is `view`'s superview's coordinates.
    static void drawView(GraphicsContext& context, View& view);

    // The whole window (or any root view) as a picture of `size` points at `scale`
    // pixels per point, on white. Lays the tree out first.
    static ImageRef render(View& root, Size size, double scale);
    // Draws the tree over `frame`'s earlier picture, reusing its memory: the window's
    // frame loop, which must not allocate a screen-sized picture on every frame.
    static void renderInto(ImageGraphicsContext& frame, View& root);
    // Same, at the main screen's size and scale.
    static ImageRef renderScreen(View& root);
    static bool writePNG(View& root, const std::filesystem::path& file);

    // The status bar strip (time, battery), as the top 20 points of the screen.
    static void drawStatusBar(GraphicsContext& context, double width);

private:
    // Draws `view` as `shown`, its presentation now.
    static void drawShown(GraphicsContext& context, View& view, const ViewPresentation& shown);
};

}  // namespace platform
