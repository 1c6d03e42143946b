#include "platform/media/MovieControlsView.h"

#include "platform/media/MoviePlayerController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"

#include <cmath>
#include <cstdio>

namespace platform {

std::string movieTimeText(double seconds, bool negative) {
    const long whole = std::lround(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%s%ld:%02ld", negative ? "-" : "", whole / 60, whole % 60);
    return text;
}

std::shared_ptr<MovieControlsView> MovieControlsView::make(const std::shared_ptr<MoviePlayerController>& player,
                                                           MovieControlsStyle style) {
    std::shared_ptr<MovieControlsView> controls(new MovieControlsView());
    controls->player_ = player;
    controls->style_ = style;
    controls->fullscreenLook_ = style == MovieControlsStyle::Fullscreen;
    controls->build();
    return controls;
}

void MovieControlsView::build() {
    setBackgroundColor(Color::clear());
    bar_ = std::make_shared<View>();
    bar_->setBackgroundColor(Color::rgb255(29, 29, 29, 0.5));
    addSubview(bar_);

    playPause_ = std::make_shared<Button>();
    playPause_->setImage(Image::imageNamed("icon_play"));
    playPause_->setAccessibilityLabel("play");
    std::weak_ptr<MoviePlayerController> weakPlayer = player_;
    playPause_->addTarget(ControlEventTouchUpInside, [weakPlayer](Control&) {
        auto player = weakPlayer.lock();
        if (!player) return;
        if (player->playbackState() == MoviePlaybackState::Playing)
            player->pause();
        else
            player->play();
    });
    bar_->addSubview(playPause_);

    slider_ = std::make_shared<Slider>();
    slider_->setMinimumValue(0);
    slider_->setMaximumValue(1);
    slider_->setContinuous(false);
    slider_->addTarget(ControlEventValueChanged, [this, weakPlayer](Control&) {
        auto player = weakPlayer.lock();
        if (player && player->duration() > 0) player->setCurrentPlaybackTime(slider_->value() * player->duration());
    });
    bar_->addSubview(slider_);

    timeLabel_ = std::make_shared<Label>();
    timeLabel_->setTextColor(Color::whiteColor());
    timeLabel_->setFont(Font::systemFontOfSize(12));
    timeLabel_->setTextAlignment(TextAlignment::Center);
    timeLabel_->setText(movieTimeText(0, false));
    bar_->addSubview(timeLabel_);

    fullscreenButton_ = std::make_shared<Button>();
    fullscreenButton_->setAccessibilityLabel("fullscreen");
    // Four corner marks: the usual sign for "fill the screen".
    fullscreenButton_->setDrawHook([](GraphicsContext& context, const Rect& rect) {
        const double s = std::min(rect.size.width, rect.size.height) * 0.3;
        const double cx = rect.size.width / 2, cy = rect.size.height / 2;
        context.setStrokeColor(Color::whiteColor());
        context.setLineWidth(1.5);
        for (int dx : {-1, 1})
            for (int dy : {-1, 1}) {
                const double x = cx + dx * s, y = cy + dy * s;
                context.moveTo({x - dx * s * 0.6, y});
                context.lineTo({x, y});
                context.lineTo({x, y - dy * s * 0.6});
            }
        context.strokePath();
    });
    fullscreenButton_->addTarget(ControlEventTouchUpInside, [weakPlayer](Control&) {
        if (auto player = weakPlayer.lock()) player->setFullscreen(!player->isFullscreen());
    });
    bar_->addSubview(fullscreenButton_);
}

void MovieControlsView::attach() {
    auto player = player_.lock();
    if (!player) return;
    setFrame(player->view()->bounds());
    player->view()->addSubview(shared_from_this());
    player->setControls(std::static_pointer_cast<MovieControlsView>(shared_from_this()));
    manageInterfaceForArea(player->view()->bounds().size, player->isFullscreen());
}

void MovieControlsView::setBarColor(const Color& color) { bar_->setBackgroundColor(color); }

void MovieControlsView::manageInterfaceForArea(const Size& size, bool fullscreen) {
    fullscreenLook_ = style_ == MovieControlsStyle::Fullscreen ||
                      (style_ == MovieControlsStyle::EmbeddedFullscreen && fullscreen);
    const double h = fullscreenLook_ ? kFullscreenBarHeight : kEmbeddedBarHeight;
    setFrame({0, 0, size.width, size.height});
    bar_->setFrame({0, size.height - h, size.width, h});
    const double w = size.width;
    playPause_->setFrame({4, 0, h, h});
    fullscreenButton_->setFrame({w - h - 4, 0, h, h});
    timeLabel_->setFrame({w - h - 4 - 52, 0, 50, h});
    slider_->setFrame({h + 10, (h - 20) / 2, std::max(0.0, w - 2 * h - 14 - 62), 20});
}

void MovieControlsView::update(double time, double duration, bool playing) {
    playPause_->setImage(Image::imageNamed(playing ? "icon_pause" : "icon_play"));
    playPause_->setAccessibilityLabel(playing ? "pause" : "play");
    if (duration > 0 && !slider_->isTracking()) slider_->setValue(std::min(1.0, time / duration));
    const std::string text = decrements_ && duration > 0 ? movieTimeText(duration - time, true)
                                                         : movieTimeText(time, false);
    if (timeLabel_->text() != text) timeLabel_->setText(text);
}

bool MovieControlsView::pointInside(const Point& point) const {
    return !bar_->isHidden() && bar_->frame().contains(point);
}

}  // namespace platform
