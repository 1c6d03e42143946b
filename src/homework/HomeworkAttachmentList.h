#pragma once

// The resources of a homework or of an answer, as a list inside the screen's scroll view:
// at most one voice button first, then one row per file. A row opens its file through the
// screen's download overlay; the voice button plays the recording with the screen's own
// player, apart from the app's shared voice playback. The details screen and the answer
// screen each own one.

#include "shell/AttachmentDownloadOverlay.h"

#include "platform/Values.h"

#include <memory>
#include <string>

namespace platform {
class AlertViewDelegate;
class AudioPlayer;
class Button;
class ImageView;
class Label;
class ScrollView;
class ViewController;
}  // namespace platform

class HomeworkAttachmentList : public std::enable_shared_from_this<HomeworkAttachmentList> {
public:
    static constexpr double kRowPitch = 45;

    static std::shared_ptr<HomeworkAttachmentList> make(std::weak_ptr<platform::ViewController> host,
                                                        std::weak_ptr<platform::AlertViewDelegate> alertDelegate);

    // The scroll view the rows go into (set before laying out).
    void setScrollView(std::shared_ptr<platform::ScrollView> scrollView) { scrollView_ = std::move(scrollView); }

    // Splits a resource array: the voice (the last one, when several) and the files in
    // order. Anything but an array leaves both empty.
    void splitResources(const platform::Json& resources);
    // Lays the voice button and the file rows out from `y`; answers the y below them and
    // makes the scroll view's content taller when they reach beyond it.
    double layoutFrom(double y);
    void createAudioBtnWith(double y);
    void createResBtnWith(const platform::Json& resource, double y);

    // toPalyVideo: plays the cached voice, or fetches and converts it first.
    void toPalyVideo(platform::Button& button);
    // playAttVideoWith: starts the voice from the beginning, or stops it while it plays.
    void playAttVideoWith(const std::string& wavPath);
    void audioPlayerDidFinishPlaying(bool successfully);
    // Leaving the screen: a running download is cancelled and the voice stopped.
    void leave();

    // The icon of a file row by its (lower-cased) suffix; `otherwise` for a type the table
    // does not name.
    static std::string iconNameForSuffix(const std::string& suffix, const char* otherwise = "word.png");
    // The size text of a byte count.
    static std::string sizeText(const platform::Json& size);

    const platform::Json& resListArr() const { return resListArr_; }
    const platform::Json& audioDic() const { return audioDic_; }
    std::shared_ptr<platform::Button> videoBtn() const { return videoBtn_; }
    std::shared_ptr<platform::ImageView> videoPalyView() const { return videoPalyView_; }
    std::shared_ptr<platform::Label> duaLa() const { return duaLa_; }
    std::shared_ptr<platform::AudioPlayer> attAudio() const { return attAudio_; }
    std::shared_ptr<AttachmentDownloadOverlay> overlay() const { return overlay_; }

private:
    std::weak_ptr<platform::ViewController> host_;
    std::shared_ptr<platform::ScrollView> scrollView_;
    std::shared_ptr<AttachmentDownloadOverlay> overlay_;
    platform::Json resListArr_ = platform::Json::array();
    platform::Json audioDic_;
    std::shared_ptr<platform::Button> videoBtn_;
    std::shared_ptr<platform::ImageView> videoPalyView_;
    std::shared_ptr<platform::Label> duaLa_;
    std::shared_ptr<platform::AudioPlayer> attAudio_;
};
