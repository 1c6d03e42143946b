#pragma once

// One comment row: the author's avatar and name, the comment's text (with emoticon
// pictures) or a voice bubble with the recording's length, the name of the user it
// answers, the time and a separator. The cell sizes itself to its comment; hosts read the
// row height from its frame. Cells are reused, so every fill sets every frame, text and
// visibility it depends on.

#include "platform/Values.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class Button;
class ImageView;
class Label;
}  // namespace platform

class MVTCommentCellDelegate {
public:
    virtual ~MVTCommentCellDelegate() = default;
    // The avatar was tapped: {"id": author's "uid", "name", "role"}.
    virtual void chooseNamed(const platform::Json& user) = 0;
    // The voice bubble was tapped: the voice file's id asks the host to play it (it
    // downloads it first when its file is missing); nothing asks it to stop.
    virtual void toSendVedio(const std::optional<std::string>& resourceId, int row) = 0;
};

class MVTCommentCell : public platform::TableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "commentCell";
    static constexpr double kVoiceHeight = 50;

    std::string className() const override { return "MVTCommentCell"; }

    // initWithStyle:reuseIdentifier: the cell with all its subviews.
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);
    static std::shared_ptr<MVTCommentCell> make();

    // reloadDataWithDic:with: shows the comment; `playing` is "1" while the row's voice
    // plays. Sets the cell's frame to (0, 0, W, height).
    void reloadDataWithDic(const platform::Json& comment, const std::string& playing);

    void clickHeadBtn();
    void toPlayVideo(platform::Button& button);

    // Not owned; without one, avatar and voice taps do nothing.
    std::shared_ptr<MVTCommentCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTCommentCellDelegate> delegate) { delegate_ = std::move(delegate); }

    // The comment's text as the HTML view gets it: emoticon codes and the service's face
    // pictures become the local emoticon pictures. The text view has no delegate, so its
    // pictures show in lazy image views and embedded frames and objects get no view.
    static std::string commentHtml(const std::string& content, const std::string& baseUrl);
    // The localized length text of a voice: "%d秒" or "%d分%d秒".
    static std::string durationText(int seconds);

    // ---- Views and state (tests).
    std::shared_ptr<platform::ImageView> faceImageView() const { return faceImageView_; }
    std::shared_ptr<platform::Label> namelb() const { return namelb_; }
    std::shared_ptr<platform::Button> videoBtn() const { return videoBtn_; }
    std::shared_ptr<platform::ImageView> vedioColorView() const { return vedioColorView_; }
    std::shared_ptr<platform::ImageView> videoBgView() const { return videoBgView_; }
    std::shared_ptr<platform::Label> duraLa() const { return duraLa_; }
    std::shared_ptr<platform::HtmlTextView> commentTextView() const { return commentTextView_; }
    std::shared_ptr<platform::Label> whoLabel() const { return whoLabel_; }
    std::shared_ptr<platform::Label> timelb() const { return timelb_; }
    std::shared_ptr<platform::View> downLine() const { return downLine_; }
    bool isPlay() const { return isPlay_; }
    const platform::Json& myDic() const { return myDic_; }

private:

    std::shared_ptr<platform::ImageView> faceImageView_;
    std::shared_ptr<platform::Button> faceButton_;
    std::shared_ptr<platform::Label> namelb_;
    std::shared_ptr<platform::Button> videoBtn_;
    std::shared_ptr<platform::ImageView> vedioColorView_;
    std::shared_ptr<platform::ImageView> videoBgView_;
    std::shared_ptr<platform::Label> duraLa_;
    std::shared_ptr<platform::HtmlTextView> commentTextView_;
    std::shared_ptr<platform::Label> whoLabel_;
    std::shared_ptr<platform::Label> timelb_;
    std::shared_ptr<platform::View> downLine_;
    bool isPlay_ = false;
    platform::Json myDic_ = platform::Json::object();
    std::weak_ptr<MVTCommentCellDelegate> delegate_;
};
