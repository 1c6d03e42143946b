#include "platform/media/MoviePlayerController.h"

#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/RunLoop.h"
#include "platform/media/MovieControlsView.h"
#include "platform/media/MovieDecoder.h"
#include "platform/media/MovieSoundOutput.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// The longest the player waits before it looks again (the pictures also arrive by
// themselves, and the player wakes when the next queued one is due).
constexpr double kFrameInterval = 1.0 / 60;
// A picture whose time is this close ahead counts as due. Clock times are large numbers of
// seconds since 1970, so the time played, a difference of two of them, is off by a few
// tenths of a microsecond; without the slack a picture due at exactly the time reached
// waits for the next step and every later one lags a picture behind.
constexpr double kDueSlack = 0.001;

ImageRef pictureFromFrame(const MovieFrame& frame) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frame.width, frame.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(data + std::size_t(y) * stride, frame.pixels.data() + std::size_t(y) * frame.stride,
                    std::size_t(frame.width) * 4);
    cairo_surface_mark_dirty(surface);
    ImageRef picture = Image::fromSurface(surface, Screen::mainScreen().scale());
    cairo_surface_destroy(surface);
    return picture;
}

}  // namespace

// ---- MoviePlayerView ------------------------------------------------------------------

MoviePlayerView::MoviePlayerView(const Rect& frame) : View(frame) {
    setBackgroundColor(Color::black());
    setClipsToBounds(true);
}

void MoviePlayerView::draw(GraphicsContext& context, const Rect& rect) {
    View::draw(context, rect);
    if (picture_) context.drawImage(*picture_, bounds(), ContentMode::ScaleAspectFit);
}

void MoviePlayerView::setFrame(const Rect& frame) {
    const Size before = bounds().size;
    View::setFrame(frame);
    if ((before.width != bounds().size.width || before.height != bounds().size.height) && onResize) onResize();
}

void MoviePlayerView::setBounds(const Rect& bounds) {
    const Size before = this->bounds().size;
    View::setBounds(bounds);
    if ((before.width != bounds.size.width || before.height != bounds.size.height) && onResize) onResize();
}

void MoviePlayerView::setPicture(ImageRef picture) {
    picture_ = std::move(picture);
    setNeedsDisplay();
}

// ---- MoviePlayerController ------------------------------------------------------------

std::shared_ptr<MoviePlayerController> MoviePlayerController::make(const Rect& frame) {
    std::shared_ptr<MoviePlayerController> player(new MoviePlayerController());
    player->view_ = std::make_shared<MoviePlayerView>(frame);
    std::weak_ptr<MoviePlayerController> weak = player;
    player->view_->onResize = [weak] {
        auto self = weak.lock();
        if (!self) return;
        if (self->decoder_) {
            const double scale = Screen::mainScreen().scale();
            const Size size = self->view_->bounds().size;
            self->decoder_->setTargetSize(int(std::lround(size.width * scale)), int(std::lround(size.height * scale)));
        }
        if (self->controls_) self->controls_->manageInterfaceForArea(self->view_->bounds().size, self->fullscreen_);
    };
    return player;
}

MoviePlayerController::~MoviePlayerController() {
    if (frameTimer_) frameTimer_->invalidate();
    if (loadTimer_) loadTimer_->invalidate();
    sound_.reset();
    decoder_.reset();
}

void MoviePlayerController::setContentURL(const std::string& url) {
    if (url == contentURL_) return;
    if (decoder_ || state_ != MoviePlaybackState::Stopped) stop();
    contentURL_ = url;
}

void MoviePlayerController::setControls(std::shared_ptr<MovieControlsView> controls) {
    controls_ = std::move(controls);
    updateControls();
}

bool MoviePlayerController::usesSoundClock() const {
    return sound_ && !followAppClock_ && !std::dynamic_pointer_cast<ManualClock>(Clock::current());
}

double MoviePlayerController::appClockTime() const {
    return state_ == MoviePlaybackState::Playing ? position_ + (now() - startedAt_) : position_;
}

double MoviePlayerController::currentPlaybackTime() const {
    if (state_ == MoviePlaybackState::Playing && usesSoundClock()) {
        const double heard = sound_->clock();
        // Before the first sample and after the last one, time runs on the app clock.
        if (heard >= 0 && heard + 0.25 >= appClockTime() - 0.25) return std::max(heard, lastShown_);
    }
    return appClockTime();
}

double MoviePlayerController::duration() const { return decoder_ ? decoder_->duration() : 0; }

void MoviePlayerController::startDecoder() {
    const double scale = Screen::mainScreen().scale();
    const Size size = view_->bounds().size;
    std::weak_ptr<MoviePlayerController> weak = shared_from_this();
    decoder_ = std::make_shared<MovieDecoder>(contentURL_, int(std::lround(size.width * scale)),
                                              int(std::lround(size.height * scale)), [weak] {
                                                  dispatchMain([weak] {
                                                      if (auto self = weak.lock()) self->tick();
                                                  });
                                              });
    shownFirstPicture_ = false;
    picturesShown_ = 0;
    lastShown_ = 0;
    if (loadTimer_) loadTimer_->invalidate();
    loadTimer_ = RunLoop::main().performAfter(kLoadTimeout, [weak] {
        auto self = weak.lock();
        if (!self || self->shownFirstPicture_) return;
        if (auto delegate = self->delegate()) delegate->movieTimedOut();
    });
}

void MoviePlayerController::releaseDecoder() {
    sound_.reset();
    decoder_.reset();
    if (loadTimer_) loadTimer_->invalidate();
    loadTimer_.reset();
}

void MoviePlayerController::play() {
    if (contentURL_.empty() || state_ == MoviePlaybackState::Playing) return;
    if (!decoder_) {
        startDecoder();
        position_ = initialTime_ > 0 ? initialTime_ : 0;
        if (position_ > 0) decoder_->seek(position_);
    } else if (decoder_->state() == MovieDecoderState::Ended && !decoder_->hasQueuedFrame() &&
               position_ >= lastShown_ && picturesShown_ > 0) {
        // Played to its end: again from the start.
        position_ = 0;
        lastShown_ = 0;
        shownFirstPicture_ = false;  // the clock starts again with the first picture
        decoder_->seek(0);
        if (sound_) sound_->flush();
    }
    startedAt_ = now();
    if (sound_) sound_->setPaused(false);
    setState(MoviePlaybackState::Playing);
    tick();
}

void MoviePlayerController::pause() {
    if (state_ != MoviePlaybackState::Playing) return;
    position_ = currentPlaybackTime();
    if (sound_) sound_->setPaused(true);
    setState(MoviePlaybackState::Paused);
}

void MoviePlayerController::stop() {
    if (frameTimer_) frameTimer_->invalidate();
    frameTimer_.reset();
    releaseDecoder();
    position_ = 0;
    const bool changed = state_ != MoviePlaybackState::Stopped;
    state_ = MoviePlaybackState::Stopped;
    updateControls();
    if (changed)
        NotificationCenter::defaultCenter().postNotification(kPlaybackStateDidChangeNotification, nullptr, nullptr,
                                                             this);
}

void MoviePlayerController::setCurrentPlaybackTime(double seconds) {
    if (!decoder_) return;
    const double target = std::max(0.0, duration() > 0 ? std::min(seconds, duration()) : seconds);
    decoder_->seek(target);
    if (sound_) sound_->flush();
    position_ = target;
    lastShown_ = target;
    startedAt_ = now();
    tick();
}

void MoviePlayerController::setState(MoviePlaybackState state) {
    if (state_ == state) return;
    state_ = state;
    updateControls();
    NotificationCenter::defaultCenter().postNotification(kPlaybackStateDidChangeNotification, nullptr, nullptr, this);
}

void MoviePlayerController::finish(MovieFinishReason reason, const std::string& error) {
    if (frameTimer_) frameTimer_->invalidate();
    frameTimer_.reset();
    position_ = lastShown_;
    if (sound_) sound_->setPaused(true);
    if (reason == MovieFinishReason::PlaybackError) releaseDecoder();
    setState(MoviePlaybackState::Stopped);
    nlohmann::json info = {{kFinishReasonKey, int(reason)}};
    if (!error.empty()) info["error"] = error;
    NotificationCenter::defaultCenter().postNotification(kPlaybackDidFinishNotification, nullptr, info, this);
}

void MoviePlayerController::tick() {
    if (!decoder_) return;
    const auto decoderState = decoder_->state();
    if (decoderState == MovieDecoderState::Failed) {
        if (state_ == MoviePlaybackState::Playing) finish(MovieFinishReason::PlaybackError, decoder_->error());
        return;
    }
    if (decoderState != MovieDecoderState::Opening && !sound_ && decoder_->hasAudio() && !followAppClock_) {
        sound_ = MovieSoundOutput::start(decoder_);
        if (sound_) sound_->setPaused(state_ != MoviePlaybackState::Playing);
    }
    if (state_ != MoviePlaybackState::Playing) return;
    MovieFrame frame;
    // The first picture shows as soon as it is there; the clock starts with it.
    if (!shownFirstPicture_ && decoder_->hasQueuedFrame()) startedAt_ = now() - (position_ - decoder_->nextFrameTime());
    if (decoder_->takeFrameDueAt(currentPlaybackTime() + kDueSlack, frame)) {
        lastShown_ = frame.pts;
        view_->setPicture(pictureFromFrame(frame));
        ++picturesShown_;
        if (!shownFirstPicture_) {
            shownFirstPicture_ = true;
            if (loadTimer_) loadTimer_->invalidate();
        }
    }
    if (decoder_->state() == MovieDecoderState::Ended && !decoder_->hasQueuedFrame()) {
        finish(MovieFinishReason::PlaybackEnded, {});
        return;
    }
    updateControls();
    scheduleTick();
}

void MoviePlayerController::scheduleTick() {
    if (frameTimer_) frameTimer_->invalidate();
    // Woken when the next queued picture is due, so that it shows on time whatever the
    // clock (a manual clock moves straight to that time and stops there).
    double wait = kFrameInterval;
    const double next = decoder_->nextFrameTime();
    // Half the slack early: a timer set for the very time a manual clock stops at may fall
    // a rounding step after it.
    if (next >= 0) wait = std::clamp(next - currentPlaybackTime() - kDueSlack / 2, 0.0, kFrameInterval);
    std::weak_ptr<MoviePlayerController> weak = shared_from_this();
    frameTimer_ = RunLoop::main().performAfter(wait, [weak] {
        if (auto self = weak.lock()) self->tick();
    });
}

void MoviePlayerController::updateControls() {
    if (!controls_) return;
    const double time = state_ == MoviePlaybackState::Stopped && !decoder_ ? 0 : lastShown_;
    controls_->update(time, duration(), state_ == MoviePlaybackState::Playing);
}

void MoviePlayerController::setFullscreen(bool fullscreen) {
    if (fullscreen == fullscreen_) return;
    if (fullscreen) {
        auto window = Window::keyWindowRef();
        if (!window) return;
        embeddedSuperview_ = view_->superview();
        embeddedFrame_ = view_->frame();
        fullscreen_ = true;
        window->addSubview(view_);
        view_->setFrame(window->bounds());
    } else {
        fullscreen_ = false;
        if (auto delegate = this->delegate()) delegate->moviePlayerWillMoveFromWindow();
        if (view_->window() && view_->superview().get() == static_cast<View*>(view_->window())) {
            if (auto back = embeddedSuperview_.lock()) {
                back->addSubview(view_);
                view_->setFrame(embeddedFrame_);
            } else {
                view_->removeFromSuperview();
            }
        }
    }
    if (controls_) controls_->manageInterfaceForArea(view_->bounds().size, fullscreen_);
}

}  // namespace platform
