#include "account/RegisterMessageStrip.h"

#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

using namespace platform;

std::shared_ptr<Label> showRegisterMessageStrip(const std::shared_ptr<View>& view, const std::string& text,
                                                const Rect& shown, double cornerRadius) {
    if (!view) return nullptr;
    const Rect above{shown.x(), -30, shown.width(), shown.height()};
    auto strip = std::make_shared<Label>(above);
    strip->setBackgroundColor(Color::rgba(0.686, 0.294, 0.341));
    strip->setTextColor(Color::whiteColor());
    strip->setFont(Font::boldSystemFontOfSize(14));
    strip->setTextAlignment(TextAlignment::Center);
    strip->setText(text);
    if (cornerRadius > 0) {
        strip->setCornerRadius(cornerRadius);
        strip->setClipsToBounds(true);
    }
    strip->setAlpha(0);
    view->addSubview(strip);

    // The pause is a timer, not an animation delay: animated changes apply to the views at
    // once, so a delayed slide-out would take the strip away as soon as it began.
    animate(
        kRegisterStripSlide,
        [strip, shown] {
            strip->setFrame(shown);
            strip->setAlpha(1);
        },
        [strip, above](bool) {
            RunLoop::main().performAfter(kRegisterStripPause, [strip, above] {
                animate(
                    kRegisterStripSlide,
                    [strip, above] {
                        strip->setFrame(above);
                        strip->setAlpha(0);
                    },
                    [strip](bool) { strip->removeFromSuperview(); }, 0, AnimationCurve::EaseOut);
            });
        });
    return strip;
}
