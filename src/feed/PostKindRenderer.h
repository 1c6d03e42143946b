#pragma once

// The parts of a post that every post view draws alike: the kind views (vote, badge,
// lesson, activity, forwarded box), the file and link buttons, the picture row and the
// voice row with their loaders. The post cell uses them; the detail header, the forward
// screen's post view and the mention rows use them too, with their own geometry.

#include "shell/CellDelegate.h"

#include "platform/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class GestureRecognizer;
}

// Where a post's content sits: its left edge and the space it leaves on the right.
struct PostGeometry {
    double screenWidth = 320;
    double left = 65;
    double rightMargin = 10;
    double contentWidth() const { return screenWidth - left - rightMargin; }
    // The post cell's geometry on the current screen.
    static PostGeometry cell();
};

// A picture of the application that the post views draw again and again (icons, wave
// and spinner frames), kept decoded for the life of the process.
platform::ImageRef feedPicture(const std::string& name);

// Picture thumbnails of posts and reaction rows: cached as Documents/Downloads/
// account_<id>.png, used while fresh (7 days), fetched on the background queue otherwise.
namespace postpictures {
std::string pictureCacheFile(const std::string& id);
bool isFreshFile(const std::string& path);
// A thumbnail to fetch in the background: the addresses to try in order and the cache
// file the first picture among them replaces.
struct PictureLoad {
    std::shared_ptr<platform::ImageView> view;
    std::vector<std::string> urls;
    std::string cacheFile;
};
void startPictureLoad(PictureLoad load);
// Shows the cache file now when it is fresh (nothing when it is empty or no picture);
// false when it is missing or stale.
bool showFreshCache(platform::ImageView& view, const std::string& cacheFile);
// The service's thumbnail address of a picture ("size=m" or "size=big").
std::string serviceThumbnail(const std::string& id, bool big);
}  // namespace postpictures

// Options of the post text, the comment previews and the forwarded text.
platform::HtmlTextOptions postTextOptions(double textSizeMultiplier, double lineHeightMultiplier);

class PostKindRenderer {
public:
    virtual ~PostKindRenderer() = default;

    // Voice button states (changeState:).
    enum VoiceState { VoiceStopped = 0, VoiceLoading = 1, VoicePlaying = 2, VoiceEnded = 3 };
    static constexpr int kRecordButtonTag = 10000;
    static constexpr int kControlLabelTag = 11;

    // ---- Kind views: each answers a view placed at `y` whose height is the room it takes.
    std::shared_ptr<platform::View> showVoteWithDic(const platform::Json& vote, const std::string& heading, double y);
    std::shared_ptr<platform::View> showDecorationWithDic(const platform::Json& decoration, double y);
    std::shared_ptr<platform::View> showLessonWithDic(const platform::Json& lesson, double y);
    std::shared_ptr<platform::View> showActiveWithDic(const platform::Json& activity, double y);
    // The forwarded box, drawing the post's own attachments and links inside it.
    std::shared_ptr<platform::View> showShareWithDic(const platform::Json& share, double y);

    void toSelectVote(platform::Button& answer);
    void toSendVote(platform::Button& send);
    void toRefashVote(platform::Button& refresh);
    // Background: the badge picture from the service, cached in the documents folder.
    static void toGetDecImageWith(const std::shared_ptr<platform::ImageView>& view);

    // File and link buttons; the caller sets their frames.
    std::shared_ptr<platform::Button> getAttachsButtonWith(const platform::Json& attachment, bool inShare = false);
    std::shared_ptr<platform::Button> getLinksButtonWith(const platform::Json& link, bool inShare = false);
    void toDownLoadAttachWith(platform::Button& file);
    void toOpenWebWith(platform::Button& link);
    // The icon of a file by its lower-case type.
    static std::string fileIconFor(const std::string& lowerType);

    // ---- Pictures and voice. Rows answer the y below them.
    double addPictureRow(platform::View& parent, const platform::Json& pictures, double y, bool inShare);
    double addVoiceRow(platform::View& parent, const platform::Json& voice, double y, bool inShare);
    // Loaders (main thread); they start background work when the cache has nothing fresh.
    void toGetThumbImageWith(const std::shared_ptr<platform::ImageView>& view);
    void toShowAttachmentsImage(const std::shared_ptr<platform::ImageView>& view);
    void tapImage(platform::GestureRecognizer& recognizer);
    void setRecordbtnWith(bool playing);
    void selfplayrecord(platform::Button& button);
    void changeState(int state);
    void showPlayOrPause(bool playing);
    void showAudioProgress(float progress);

    // ---- State read by the lists and the tests.
    const platform::Json& imageArray() const { return imageArray_; }
    const std::string& recordUrl() const { return recordUrl_; }
    std::shared_ptr<platform::Button> recordBtn() const { return recordBtn_; }
    std::shared_ptr<platform::ImageView> loadView() const { return loadView_; }
    std::shared_ptr<platform::ImageView> recordPalyImageView() const { return recordPalyImageView_; }
    std::shared_ptr<platform::Label> durationLa() const { return durationLa_; }
    bool isShare() const { return isShare_; }
    std::shared_ptr<platform::Button> voteBtn() const { return voteBtn_; }
    const std::vector<std::string>& voteArr() const { return voteArr_; }
    int limitVoter() const { return limitVoter_; }
    const std::vector<std::shared_ptr<platform::Button>>& selectVoteArr() const { return selectVoteArr_; }

protected:
    // What the owner gives: the post being drawn, the list to tell, the row for votes and
    // for voices, the text views' delegate and the owner itself for the controls' actions.
    virtual const platform::Json& postRecord() const = 0;
    virtual std::shared_ptr<CellDelegate> postDelegate() const = 0;
    virtual int voteIndex() const = 0;
    virtual int voiceIndex() const = 0;
    virtual std::weak_ptr<platform::HtmlTextViewDelegate> textDelegate() = 0;
    virtual std::weak_ptr<PostKindRenderer> renderer() = 0;
    virtual PostGeometry geometry() const { return PostGeometry::cell(); }

    platform::Json imageArray_ = platform::Json::array();
    std::string recordUrl_;
    std::shared_ptr<platform::Button> recordBtn_;
    std::shared_ptr<platform::ImageView> loadView_;
    std::shared_ptr<platform::ImageView> recordPalyImageView_;
    std::shared_ptr<platform::Label> durationLa_;
    bool isShare_ = false;
    std::shared_ptr<platform::Button> voteBtn_;
    std::vector<std::string> voteArr_;
    int limitVoter_ = 0;
    std::vector<std::shared_ptr<platform::Button>> selectVoteArr_;

private:
    std::shared_ptr<platform::ImageView> pictureView(const platform::Rect& frame, int tag);
    void loadPicture(const std::shared_ptr<platform::ImageView>& view, const platform::Json& entry, bool big);
    void showWave(bool on);
    void stopSpinner();
};
