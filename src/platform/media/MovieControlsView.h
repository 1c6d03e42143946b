#pragma once

// The on-screen controls of a movie player: a bar along the bottom of the player's area
// with play/pause, a seek slider, the remaining (or elapsed) time and a full-screen
// button. The look follows the player: embedded (a thin bar) or full screen (a taller one).

#include "platform/ui/View.h"

#include <memory>

namespace platform {

class Button;
class Label;
class MoviePlayerController;
class Slider;

enum class MovieControlsStyle { Embedded, Fullscreen, EmbeddedFullscreen };

class MovieControlsView : public View {
public:
    static constexpr double kEmbeddedBarHeight = 32;
    static constexpr double kFullscreenBarHeight = 44;

    // Controls for `player`; attach() puts them on it.
    static std::shared_ptr<MovieControlsView> make(const std::shared_ptr<MoviePlayerController>& player,
                                                   MovieControlsStyle style);
    std::string className() const override { return "MovieControlsView"; }
    // Puts the controls over the player's view and makes them the player's controls.
    void attach();

    MovieControlsStyle style() const { return style_; }
    void setBarColor(const Color& color);
    bool timeRemainingDecrements() const { return decrements_; }
    void setTimeRemainingDecrements(bool on) { decrements_ = on; }
    // Lays the controls out over an area of `size`: the bar as wide as the area, at its
    // bottom, in the look of `fullscreen`.
    void manageInterfaceForArea(const Size& size, bool fullscreen);
    bool showsFullscreenLook() const { return fullscreenLook_; }

    // Shows the player's time; called by the player as it plays.
    void update(double time, double duration, bool playing);

    const std::shared_ptr<View>& bar() const { return bar_; }
    const std::shared_ptr<Button>& playPauseButton() const { return playPause_; }
    const std::shared_ptr<Slider>& slider() const { return slider_; }
    const std::shared_ptr<Label>& timeLabel() const { return timeLabel_; }
    const std::shared_ptr<Button>& fullscreenButton() const { return fullscreenButton_; }

    // Touches outside the bar go through to what lies below.
    bool pointInside(const Point& point) const override;

private:
    MovieControlsView() = default;
    void build();

    std::weak_ptr<MoviePlayerController> player_;
    MovieControlsStyle style_ = MovieControlsStyle::EmbeddedFullscreen;
    bool decrements_ = false;
    bool fullscreenLook_ = false;
    bool sliding_ = false;
    std::shared_ptr<View> bar_;
    std::shared_ptr<Button> playPause_;
    std::shared_ptr<Slider> slider_;
    std::shared_ptr<Label> timeLabel_;
    std::shared_ptr<Button> fullscreenButton_;
};

// "m:ss" (or "-m:ss"), as the time label shows it.
std::string movieTimeText(double seconds, bool negative);

}  // namespace platform
