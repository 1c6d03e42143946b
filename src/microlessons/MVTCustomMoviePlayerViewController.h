#pragma once

// The lesson's video player: a screen object owned by the lesson detail screen, which lays
// its view into its own top 200 points in portrait and presents it over everything in
// landscape. Each readyPlayer makes a new movie player for the stream address; the view
// shows "加载中..." on black until the player fades in 0.3 s after the start. When the
// handset turns, movieChangeOrientation turns this view by hand: landscape fills the
// screen with the status bar hidden, portrait and upside down put the 200-point frame back
// and dismiss the presented screen.

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/media/MoviePlayerController.h"
#include "platform/ui/Geometry.h"

#include <memory>
#include <string>

namespace platform {
class ImageView;
class Label;
class MovieControlsView;
}  // namespace platform

class MVTCustomMoviePlayerViewController : public ViewViewController,
                                           public platform::MoviePlayerDelegate {
public:
    std::string className() const override { return "MVTCustomMoviePlayerViewController"; }
    static constexpr double kEmbeddedHeight = 200;
    static constexpr double kFadeDelay = 0.3;
    static constexpr double kFadeDuration = 0.3;

    static std::shared_ptr<MVTCustomMoviePlayerViewController> make();

    void viewDidLoad() override;
    void readyPlayer();
    void stop();
    void stopWhenBack();
    void movieDidEnd();
    void moviePlayStatueChange();
    void configureViewForOrientation();
    void movieChangeOrientation();
    void moviePlayerWillMoveFromWindow() override;
    void movieTimedOut() override;

    const std::string& movieURL() const { return movieURL_; }
    void setMovieURL(const std::string& url) { movieURL_ = url; }
    const std::string& movieSourceId() const { return movieSourceId_; }
    void setMovieSourceId(const std::string& id) { movieSourceId_ = id; }
    std::shared_ptr<platform::MoviePlayerController> moviePlayer() const { return moviePlayer_; }
    std::shared_ptr<platform::MovieControlsView> movieControls() const { return movieControls_; }
    platform::Rect defaultFrame() const { return defaultFrame_; }
    std::shared_ptr<platform::ImageView> showImageView() const { return showImageView_; }
    std::shared_ptr<platform::Label> label() const { return label_; }

private:
    std::shared_ptr<platform::MoviePlayerController> moviePlayer_;
    std::shared_ptr<platform::MovieControlsView> movieControls_;
    std::string movieURL_;
    std::string movieSourceId_;
    platform::Rect defaultFrame_;
    double heightForView_ = 0;
    std::shared_ptr<platform::ImageView> showImageView_;
    std::shared_ptr<platform::Label> label_;
    platform::ObserverToken finishToken_, stateToken_;
};
