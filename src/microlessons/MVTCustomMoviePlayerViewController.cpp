#include "microlessons/MVTCustomMoviePlayerViewController.h"

#include "shell/InternationalControl.h"

#include "platform/DeviceOrientation.h"
#include "platform/Log.h"
#include "platform/RunLoop.h"
#include "platform/media/MovieControlsView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Screen.h"

#include <numbers>

using namespace platform;

namespace {

Size screenSize() { return Screen::mainScreen().bounds().size; }

}  // namespace

std::shared_ptr<MVTCustomMoviePlayerViewController> MVTCustomMoviePlayerViewController::make() {
    return std::make_shared<MVTCustomMoviePlayerViewController>();
}

void MVTCustomMoviePlayerViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    // The detail screen gives the view its 200-point frame only after this load.
    heightForView_ = view()->bounds().height();
    std::weak_ptr<MVTCustomMoviePlayerViewController> weak =
        std::static_pointer_cast<MVTCustomMoviePlayerViewController>(shared_from_this());
    auto& centre = NotificationCenter::defaultCenter();
    finishToken_ = centre.addObserver(MoviePlayerController::kPlaybackDidFinishNotification,
                                      [weak](const Notification& note) {
                                          auto self = weak.lock();
                                          if (self && self->moviePlayer_ &&
                                              std::any_cast<MoviePlayerController*>(note.sender) ==
                                                  self->moviePlayer_.get())
                                              self->movieDidEnd();
                                      });
    stateToken_ = centre.addObserver(MoviePlayerController::kPlaybackStateDidChangeNotification,
                                     [weak](const Notification&) {
                                         if (auto self = weak.lock()) self->moviePlayStatueChange();
                                     });
    const double width = screenSize().width;
    showImageView_ = std::make_shared<ImageView>(Rect{0, 0, width, kEmbeddedHeight});
    showImageView_->setUserInteractionEnabled(true);
    label_ = std::make_shared<Label>(Rect{(width - 80) / 2, 60, 80, 40});
    label_->setText(localized("加载中") + "...");
    label_->setTextAlignment(TextAlignment::Center);
    label_->setTextColor(Color::whiteColor());
    label_->setBackgroundColor(Color::clear());
    view()->setBackgroundColor(Color::black());
    view()->addSubview(label_);
}

void MVTCustomMoviePlayerViewController::readyPlayer() {
    view();  // loaded
    if (moviePlayer_) {
        // The replaced player's view leaves with it, so that no stopped picture stays
        // under the new one.
        moviePlayer_->setDelegate({});
        moviePlayer_->view()->removeFromSuperview();
    }
    moviePlayer_ = MoviePlayerController::make({0, 0, view()->bounds().width(), heightForView_});
    moviePlayer_->view()->setAlpha(0);
    moviePlayer_->setDelegate(std::static_pointer_cast<MVTCustomMoviePlayerViewController>(shared_from_this()));
    movieControls_ = MovieControlsView::make(moviePlayer_, MovieControlsStyle::EmbeddedFullscreen);
    moviePlayer_->setMovieSourceType(MovieSourceType::Streaming);
    movieControls_->setBarColor(Color::rgba(29 / 255.0, 29 / 255.0, 29 / 255.0, 0.5));
    movieControls_->manageInterfaceForArea({screenSize().width, kEmbeddedHeight}, false);
    movieControls_->setTimeRemainingDecrements(true);
    movieControls_->attach();
    view()->insertSubviewAbove(moviePlayer_->view(), label_);
    moviePlayer_->setContentURL(movieURL_);
    std::weak_ptr<MVTCustomMoviePlayerViewController> weak =
        std::static_pointer_cast<MVTCustomMoviePlayerViewController>(shared_from_this());
    std::weak_ptr<MoviePlayerController> player = moviePlayer_;
    RunLoop::main().performAfter(kFadeDelay, [weak, player] {
        auto self = weak.lock();
        auto shown = player.lock();
        if (!self || !shown || shown != self->moviePlayer_) return;
        self->configureViewForOrientation();
        animate(kFadeDuration, [shown] { shown->view()->setAlpha(1); },
                [weak](bool) {
                    auto screen = weak.lock();
                    if (!screen) return;
                    if (auto& left = screen->navigationItem().leftBarButtonItem()) left->setEnabled(true);
                    if (auto& right = screen->navigationItem().rightBarButtonItem()) right->setEnabled(true);
                });
    });
    moviePlayer_->play();
}

void MVTCustomMoviePlayerViewController::stop() {
    if (moviePlayer_) moviePlayer_->stop();
}

void MVTCustomMoviePlayerViewController::stopWhenBack() {
    if (!moviePlayer_) return;
    moviePlayer_->setContentURL("");
    moviePlayer_->stop();
    moviePlayer_->setInitialPlaybackTime(-1);
    moviePlayer_->setDelegate({});
    moviePlayer_.reset();
}

void MVTCustomMoviePlayerViewController::movieDidEnd() {
    auto& playerView = *moviePlayer_->view();
    if (playerView.subviews().empty())
        playerView.addSubview(showImageView_);
    else
        playerView.insertSubviewAbove(showImageView_, playerView.subviews().front());
}

void MVTCustomMoviePlayerViewController::moviePlayStatueChange() {
    if (moviePlayer_ && moviePlayer_->playbackState() == MoviePlaybackState::Playing &&
        showImageView_->superview().get() == moviePlayer_->view().get())
        showImageView_->removeFromSuperview();
}

void MVTCustomMoviePlayerViewController::configureViewForOrientation() {
    Size size{view()->bounds().width(), kEmbeddedHeight};
    if (Device::current().userInterfaceIdiom() == 1) size = {700, 535};
    const Rect bounds = view()->bounds();
    defaultFrame_ = {bounds.width() / 2 - size.width / 2, bounds.height() / 2 - size.height / 2, size.width,
                     size.height};
    if (moviePlayer_ && !moviePlayer_->isFullscreen()) moviePlayer_->view()->setFrame(defaultFrame_);
}

void MVTCustomMoviePlayerViewController::moviePlayerWillMoveFromWindow() {
    if (!moviePlayer_) return;
    if (moviePlayer_->view()->superview().get() != view().get()) view()->addSubview(moviePlayer_->view());
    moviePlayer_->view()->setFrame(defaultFrame_);
}

void MVTCustomMoviePlayerViewController::movieTimedOut() { log("MOVIE TIMED OUT"); }

void MVTCustomMoviePlayerViewController::movieChangeOrientation() {
    const Size screen = screenSize();
    const double W = screen.width, H = screen.height;
    struct Turn {
        InterfaceOrientation statusBar;
        bool landscape;
        double angle;
        Point centre;
        bool keepCentre;
    };
    Turn turn{};
    switch (Device::current().orientation()) {
        case DeviceOrientation::LandscapeRight:
            turn = {InterfaceOrientation::LandscapeLeft, true, 3 * std::numbers::pi / 2, {}, true};
            break;
        case DeviceOrientation::LandscapeLeft:
            turn = {InterfaceOrientation::LandscapeRight, true, std::numbers::pi / 2, {}, true};
            break;
        // Upside down centres like portrait: a fixed x of 160 would put the player off the
        // middle of any screen not 320 points wide.
        case DeviceOrientation::PortraitUpsideDown:
            turn = {InterfaceOrientation::PortraitUpsideDown, false, -std::numbers::pi, {W / 2, 100}, false};
            break;
        case DeviceOrientation::Portrait:
            turn = {InterfaceOrientation::Portrait, false, 0, {W / 2, 100}, false};
            break;
        default:
            return;
    }
    Device::current().setStatusBarOrientation(turn.statusBar);
    setStatusBarState(turn.landscape);
    setNeedsStatusBarAppearanceUpdate();
    const Rect area = turn.landscape ? Rect{0, 0, H, W} : Rect{0, 0, W, kEmbeddedHeight};
    view()->setBounds(area);
    showImageView_->setFrame(area);
    if (movieControls_) movieControls_->manageInterfaceForArea(area.size, turn.landscape);
    if (moviePlayer_) {
        moviePlayer_->view()->setFrame(area);
        if (!turn.keepCentre) moviePlayer_->view()->setCenter(turn.centre);
    }
    view()->setTransform(turn.angle == 0 ? AffineTransform::identity() : AffineTransform::rotation(turn.angle));
    if (!turn.landscape && presentingViewController()) dismissViewController(false);
}
