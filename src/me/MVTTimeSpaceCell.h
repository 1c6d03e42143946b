#pragma once

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class Button;
class ImageView;
}  // namespace platform

// What a timeline row reports to its list; the row index is always the one it was made
// with.
class MVTTimeSpaceCellDelegate {
public:
    virtual ~MVTTimeSpaceCellDelegate() = default;
    virtual void sendLinkWith(const std::string& url, const std::string& title) = 0;
    // The voice is not in the downloads folder yet.
    virtual void toDownLoadAudioWith(const std::string& resourceId, int row) = 0;
    virtual void toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                      const std::string& type) = 0;
    virtual void toSendVoteWith(const std::string& postId, const std::string& voteId, const std::string& answerIds,
                                int row) = 0;
    virtual void toRefreshVoteWith(const std::string& postId, const std::string& voteId, int row) = 0;
    virtual void showImage(const platform::Json& pictures, int index) = 0;
    // A voice id to play, or none to stop.
    virtual void playRecord(const std::optional<std::string>& resourceId, int row) = 0;
};

// One post of a personal space's timeline: a date column (label and coloured dot) where
// the day changes, and a light panel with the post's text, vote, lesson, activity or
// forwarded post, pictures, voice, files and links, and its view count. The cell builds
// itself when made and its frame height is then the row's height; the list measures rows
// by building a cell for each.
class MVTTimeSpaceCell : public platform::TableViewCell {
public:
    static constexpr double kLeft = 70;
    static constexpr int kTextTag = 300;
    static constexpr int kShareTextTag = 301;
    static constexpr int kRecordButtonTag = 10000;
    static constexpr int kControlLabelTag = 11;

    std::string className() const override { return "MVTTimeSpaceCell"; }

    // initWithData:nextDateline:withRowIndex: the post, the dateline of the row above
    // (none for the first row) and the row index. Builds the row.
    static std::shared_ptr<MVTTimeSpaceCell> make(const platform::Json& record, const std::optional<platform::Json>& nextDateline,
                                                  int row, std::weak_ptr<MVTTimeSpaceCellDelegate> delegate = {});
    void setData(const platform::Json& record, const std::optional<platform::Json>& nextDateline);

    // The dot's colour comes from this source: given n, a whole number from 0 to n - 1.
    // Uniformly random unless a test sets another.
    static void setRandomSource(std::function<int(int)> source);
    static int getRandomNumLimit(int n);

    void setDelegate(std::weak_ptr<MVTTimeSpaceCellDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<MVTTimeSpaceCellDelegate> delegate() const { return delegate_.lock(); }

    // Taps.
    void tapImage();
    void selfplayrecord(platform::Button& button);
    void toDownLoadAttachWith(platform::Button& file);
    void toOpenWebWith(platform::Button& link);
    void toSelectVote(platform::Button& answer);
    void toSendVote(platform::Button& send);
    void toRefashVote(platform::Button& refresh);

    // Panels: each answers a view placed at `y` whose height is the room it takes.
    std::shared_ptr<platform::View> showVoteWithDic(const platform::Json& vote, const std::string& title, double y);
    std::shared_ptr<platform::View> showLessonWithDic(const platform::Json& lesson, double y);
    std::shared_ptr<platform::View> showActiveWithDic(const platform::Json& activity, double y);
    std::shared_ptr<platform::View> showShareWithDic(const platform::Json& share, double y);

    // Picture thumbnails: the cache file "account_<id>.png" when it is fresh (7 days),
    // else a background fetch of the medium (or, for a single picture, big) thumbnail that
    // replaces the file.
    void toShowAttachmentsImage(const std::shared_ptr<platform::ImageView>& view, bool big = false);
    // The text shown in the date column ("今天", "昨天" or "3-05"), or empty when none.
    const std::string& dateText() const { return dateText_; }

    const platform::Json& contentDict() const { return contentDict_; }
    int nowIndex() const { return nowIndex_; }
    bool isShare() const { return isShare_; }
    const platform::Json& imageArray() const { return imageArray_; }
    const std::string& recordUrl() const { return recordUrl_; }
    const std::string& timeStr() const { return timeStr_; }
    std::shared_ptr<platform::Button> recordBtn() const { return recordBtn_; }
    std::shared_ptr<platform::ImageView> recordPlayView() const { return recordPlayView_; }
    std::shared_ptr<platform::Button> voteBtn() const { return voteBtn_; }
    const std::vector<std::string>& voteArr() const { return voteArr_; }
    int limitVoter() const { return limitVoter_; }
    const std::vector<std::shared_ptr<platform::Button>>& selectVoteArr() const { return selectVoteArr_; }
    std::shared_ptr<platform::View> dotView() const { return dot_; }

private:
    double contentWidth() const;
    void drawTimeLabelWithOffsetY(double y);
    double addPostText(double y);
    // The picture block at (x, y) in `parent`; with `textTag` a text view beside it is cut
    // to 60 points. Answers how far y went back for that text.
    double addPictureBlock(platform::View& parent, const platform::Json& pictures, double x, double y, int textTag);
    void addVoiceButton(platform::View& parent, const platform::Json& voice, double x, double y);
    std::shared_ptr<platform::Button> getAttachsButtonWith(const platform::Json& attachment);
    std::shared_ptr<platform::Button> getLinksButtonWith(const platform::Json& link);

    platform::Json contentDict_ = platform::Json::object();
    int nowIndex_ = 0;
    bool isShare_ = false;
    platform::Json imageArray_ = platform::Json::array();
    std::string recordUrl_;
    std::string timeStr_;
    std::string dateText_;
    std::shared_ptr<platform::Button> recordBtn_;
    std::shared_ptr<platform::ImageView> recordPlayView_;
    std::shared_ptr<platform::Button> voteBtn_;
    std::vector<std::string> voteArr_;
    int limitVoter_ = 0;
    std::vector<std::shared_ptr<platform::Button>> selectVoteArr_;
    std::shared_ptr<platform::View> dot_;
    std::weak_ptr<MVTTimeSpaceCellDelegate> delegate_;
};
