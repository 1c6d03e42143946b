#pragma once

// The movie player: plays a file or a stream address in a view of its own, with optional
// on-screen controls. Decoding runs on the decoder's thread (MovieDecoder); the pictures
// are shown on the main run loop, each when its time comes. Time follows the sound as it is
// heard when the movie has sound, and the app clock otherwise or when asked to (tests run
// a manual clock, so a movie plays only as far as the test moves time).
//
// Everything here is used on the main thread.

#include "platform/NotificationCenter.h"
#include "platform/Timer.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace platform {

class MovieControlsView;
class MovieDecoder;
class MovieSoundOutput;

enum class MoviePlaybackState { Stopped = 0, Playing = 1, Paused = 2, Interrupted = 3 };
enum class MovieSourceType { Unknown = 0, File = 1, Streaming = 2 };
// Why playback finished, under kFinishReasonKey of the finish notification.
enum class MovieFinishReason { PlaybackEnded = 0, PlaybackError = 1, UserExited = 2 };

// What the player tells the screen that owns it. Both operations are optional.
class MoviePlayerDelegate {
public:
    virtual ~MoviePlayerDelegate() = default;
    // The player leaves its full-screen place (the window) to go back into the page.
    virtual void moviePlayerWillMoveFromWindow() {}
    // No picture came within kLoadTimeout seconds of the start.
    virtual void movieTimedOut() {}
};

// The view the pictures are drawn in (black where there is no picture yet).
class MoviePlayerView : public View {
public:
    explicit MoviePlayerView(const Rect& frame);
    std::string className() const override { return "MoviePlayerView"; }
    void draw(GraphicsContext& context, const Rect& rect) override;
    void setFrame(const Rect& frame) override;
    void setBounds(const Rect& bounds) override;
    // The picture on show, nullptr before the first one.
    const ImageRef& picture() const { return picture_; }
    void setPicture(ImageRef picture);
    std::function<void()> onResize;

private:
    ImageRef picture_;
};

class MoviePlayerController : public std::enable_shared_from_this<MoviePlayerController> {
public:
    static constexpr const char* kPlaybackDidFinishNotification = "MPMoviePlayerPlaybackDidFinishNotification";
    static constexpr const char* kPlaybackStateDidChangeNotification = "MPMoviePlayerPlaybackStateDidChangeNotification";
    static constexpr const char* kFinishReasonKey = "MPMoviePlayerPlaybackDidFinishReasonUserInfoKey";
    static constexpr double kLoadTimeout = 20;

    // A player whose view has `frame`.
    static std::shared_ptr<MoviePlayerController> make(const Rect& frame);
    ~MoviePlayerController();
    MoviePlayerController(const MoviePlayerController&) = delete;
    MoviePlayerController& operator=(const MoviePlayerController&) = delete;

    const std::shared_ptr<MoviePlayerView>& view() const { return view_; }

    const std::string& contentURL() const { return contentURL_; }
    // A new address stops what plays; the empty text leaves the player without content.
    void setContentURL(const std::string& url);
    MovieSourceType movieSourceType() const { return sourceType_; }
    void setMovieSourceType(MovieSourceType type) { sourceType_ = type; }
    // Where play starts, in seconds; -1 (the default) for the start of the movie.
    double initialPlaybackTime() const { return initialTime_; }
    void setInitialPlaybackTime(double seconds) { initialTime_ = seconds; }

    void play();
    void pause();
    // Stops and goes back to the start; the decoder is released.
    void stop();
    MoviePlaybackState playbackState() const { return state_; }
    // Seconds into the movie of what shows now.
    double currentPlaybackTime() const;
    void setCurrentPlaybackTime(double seconds);
    // The movie's length, 0 until known.
    double duration() const;
    // A picture has been shown since the last start.
    bool isPlayable() const { return shownFirstPicture_; }

    bool isFullscreen() const { return fullscreen_; }
    // Full screen puts the view over the whole key window; leaving it asks the delegate
    // first (moviePlayerWillMoveFromWindow), then puts the view back where it was when the
    // delegate did not.
    void setFullscreen(bool fullscreen);

    std::shared_ptr<MoviePlayerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MoviePlayerDelegate> delegate) { delegate_ = std::move(delegate); }

    // The controls shown over the view (MovieControlsView::attach sets them).
    std::shared_ptr<MovieControlsView> controls() const { return controls_; }
    void setControls(std::shared_ptr<MovieControlsView> controls);

    // Pictures follow the app clock even when the movie has sound.
    bool picturesFollowAppClock() const { return followAppClock_; }
    void setPicturesFollowAppClock(bool on) { followAppClock_ = on; }
    // Whether a sound output is running (OpenAL found a device).
    bool hasSoundOutput() const { return sound_ != nullptr; }
    // Pictures shown since the last start.
    long picturesShown() const { return picturesShown_; }

private:
    MoviePlayerController() = default;
    void startDecoder();
    void releaseDecoder();
    void tick();
    void scheduleTick();
    void setState(MoviePlaybackState state);
    void finish(MovieFinishReason reason, const std::string& error);
    bool usesSoundClock() const;
    double appClockTime() const;
    void updateControls();

    std::shared_ptr<MoviePlayerView> view_;
    std::shared_ptr<MovieControlsView> controls_;
    std::weak_ptr<MoviePlayerDelegate> delegate_;
    std::string contentURL_;
    MovieSourceType sourceType_ = MovieSourceType::Unknown;
    double initialTime_ = -1;
    MoviePlaybackState state_ = MoviePlaybackState::Stopped;

    std::shared_ptr<MovieDecoder> decoder_;
    std::unique_ptr<MovieSoundOutput> sound_;
    TimerRef frameTimer_;
    TimerRef loadTimer_;
    double position_ = 0;     // movie time when not playing or at the last start
    double startedAt_ = 0;    // app clock at the last start
    double lastShown_ = 0;    // time of the picture on show
    bool shownFirstPicture_ = false;
    long picturesShown_ = 0;
    bool followAppClock_ = false;
    bool fullscreen_ = false;
    std::weak_ptr<View> embeddedSuperview_;
    Rect embeddedFrame_;
};

}  // namespace platform
