#include "platform/ui/Renderer.h"

#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/Files.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"

namespace platform {

namespace {
void drawShadow(GraphicsContext& context, const View& view, const Rect& bounds) {
    const Shadow& s = view.shadow();
    if (s.opacity <= 0) return;
    // A soft edge made of a few widening, fading outlines: close enough to a blur for a
    // screen this size, and cheap.
    int steps = std::max(1, static_cast<int>(s.radius));
    Rect base = bounds.offsetBy(s.offset.width, s.offset.height);
    for (int i = steps; i >= 1; --i) {
        double grow = i * 0.5;
        context.setFillColor(s.color.withAlpha(s.color.a * s.opacity / (steps + 1)));
        context.fillRoundedRect(base.insetBy(-grow, -grow), view.cornerRadius() + grow);
    }
    context.setFillColor(s.color.withAlpha(s.color.a * s.opacity));
    context.fillRoundedRect(base, view.cornerRadius());
}
}  // namespace

void Renderer::drawView(GraphicsContext& context, View& view) {
    if (view.isHidden()) return;
    drawShown(context, view, view.presentation());
}

void Renderer::drawShown(GraphicsContext& context, View& view, const ViewPresentation& shown) {
    if (view.isHidden() || shown.alpha < 0.01) return;
    const Rect bounds = shown.bounds;
    context.save();
    context.translate(shown.center.x, shown.center.y);
    if (!shown.transform.isIdentity()) context.concat(shown.transform);
    context.translate(-bounds.width() / 2, -bounds.height() / 2);
    context.setAlpha(context.alpha() * shown.alpha);

    // Background, shadow and border live in the view's frame; content scrolls with bounds.
    const Rect box{0, 0, bounds.width(), bounds.height()};
    drawShadow(context, view, box);
    if (!shown.backgroundColor.isClear()) {
        context.setFillColor(shown.backgroundColor);
        if (view.cornerRadius() > 0)
            context.fillRoundedRect(box, view.cornerRadius());
        else
            context.fillRect(box);
    }

    context.save();
    if (view.clipsToBounds()) {
        if (view.cornerRadius() > 0)
            context.clipToRoundedRect(box, view.cornerRadius());
        else
            context.clipToRect(box);
    }
    context.translate(-bounds.x(), -bounds.y());
    view.draw(context, bounds);
    // Copy: drawing must not be disturbed by a view that changes its subviews.
    auto subviews = view.subviews();
    for (auto& sub : subviews) {
        if (sub->isHidden()) continue;
        ViewPresentation subShown = sub->presentation();
        if (view.clipsToBounds() && !subShown.frame().intersects(bounds)) continue;
        drawShown(context, *sub, subShown);
    }
    context.restore();

    if (view.borderWidth() > 0 && !view.borderColor().isClear()) {
        // Drawn inside the frame, as a layer border is.
        context.setStrokeColor(view.borderColor());
        context.setLineWidth(view.borderWidth());
        context.strokeRoundedRect(box, view.cornerRadius());
    }
    view.clearNeedsDisplay();
    context.restore();
}

void Renderer::drawStatusBar(GraphicsContext& context, double width) {
    bool light = StatusBar::shared().style() == StatusBarStyle::LightContent;
    Color ink = light ? Color::whiteColor() : Color::black();
    Font font = Font::boldSystemFontOfSize(12);
    std::string time = formatDate(now(), "HH:mm");
    Size size = TextMeasure::size(time, font);
    context.drawTextAt(time, {(width - size.width) / 2, (20 - size.height) / 2}, font, ink);
    context.drawTextAt("Tirra", {6, (20 - size.height) / 2}, Font::systemFontOfSize(12), ink);
    // Battery.
    Rect battery{width - 32, 6, 22, 9};
    context.setStrokeColor(ink);
    context.setLineWidth(1);
    context.strokeRoundedRect(battery, 2);
    context.setFillColor(ink);
    context.fillRect(battery.insetBy(2, 2));
    context.fillRect({battery.maxX(), 8.5, 1.5, 4});
}

void Renderer::renderInto(ImageGraphicsContext& frame, View& root) {
    frame.clear();
    frame.fillRect({0, 0, frame.size().width, frame.size().height}, Color::whiteColor());
    root.layoutIfNeeded();
    drawView(frame, root);
    if (root.asWindow() && !StatusBar::shared().isHidden()) drawStatusBar(frame, frame.size().width);
}

ImageRef Renderer::render(View& root, Size size, double scale) {
    auto context = makeImageContext(size, scale, true);
    renderInto(*context, root);
    return context->image();
}

ImageRef Renderer::renderScreen(View& root) {
    Screen& screen = Screen::mainScreen();
    return render(root, screen.bounds().size, screen.scale());
}

bool Renderer::writePNG(View& root, const std::filesystem::path& file) {
    auto image = renderScreen(root);
    if (!image) return false;
    return writeFileAtomically(file, image->pngData());
}

}  // namespace platform
