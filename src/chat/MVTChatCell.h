#pragma once

// One message of the chat: the sender's avatar, a time line when the message comes more
// than two minutes after the one above, the sender's name in group chats, and a bubble
// with the text, a grid of pictures or a voice clip, with a mark for a message on its
// way or failed. Filling lays the cell out and leaves its height in its frame. Taps,
// long presses and the resend mark go to the chat screen through chatCellDelegate.

#include "chat/MsgShowImageDelegate.h"

#include "platform/Values.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/TableViewCell.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class Button;
class ImageView;
class Label;
}  // namespace platform

class chatCellDelegate : public MsgShowImageDelegate {
public:
    virtual void chooseNamed(const platform::Json& person) { (void)person; }
    virtual void enterEssay(const platform::Json& uid) { (void)uid; }
    virtual void reSendMessage(platform::Button& mark) { (void)mark; }
};

class MVTChatCell : public platform::TableViewCell, public platform::HtmlTextViewDelegate {
public:
    static constexpr int kFailedMarkTagBase = 100000;
    static constexpr double kLongPressSeconds = 0.6;
    // Pictures are cached as Downloads/account_<id>.png; only plain ids name a file.
    static constexpr const char* kThumbnailPrefix = "account_";

    std::string className() const override { return "MVTChatCell"; }

    // Fetches the thumbnail of attachment `id` on the background queue; a picture goes to
    // the view (if it still exists) on the main queue, and its data to `keep`, still on the
    // background queue.
    static void fetchThumbnail(const std::string& id, std::weak_ptr<platform::ImageView> view,
                               std::function<void(const std::string&)> keep);

    // initWith:friendId:friendRole: fills the cell and sets its frame.
    void initWith(const platform::Json& message, const std::string& friendId, const std::string& friendRole);

    bool isForum() const { return isForum_; }
    void setIsForum(bool forum) { isForum_ = forum; }
    int index() const { return index_; }
    void setIndex(int index) { index_ = index; }
    const platform::Json& timeString() const { return timeString_; }
    void setTimeString(const platform::Json& time) { timeString_ = time; }
    void setDelegate(std::weak_ptr<chatCellDelegate> delegate) { delegate_ = std::move(delegate); }
    bool isMy() const { return isMy_; }
    std::shared_ptr<platform::ImageView> imageView() const { return bubble_; }
    const platform::Json& myDict() const { return myDict_; }
    const platform::Json& dictoryForInfo() const { return dictoryForInfo_; }
    std::shared_ptr<platform::HtmlTextView> textView() const { return textView_; }
    std::shared_ptr<platform::Label> timeLabel() const { return timeLabel_; }
    std::shared_ptr<platform::Label> nameLabel() const { return nameLabel_; }
    std::shared_ptr<platform::ImageView> avatar() const { return avatar_; }
    std::shared_ptr<platform::View> sendMark() const { return sendMark_; }
    std::shared_ptr<platform::Button> voiceButton() const { return voiceButton_; }

    // Measures of the picture or voice content.
    double heightOfMessage(const platform::Json& message) const;
    double widthOfMessage(const platform::Json& message) const;
    // widthOfStrings:width: the text's width in the bubble.
    double widthOfStrings(const std::string& text, int maximum) const;

    // The renderer's questions: faces and pictures of the text ("honor_meyo" for a face
    // without a picture), and links opened through the system.
    std::shared_ptr<platform::View> viewForAttachment(platform::HtmlTextView& textView,
                                                      const platform::HtmlAttachment& attachment,
                                                      const platform::Rect& frame) override;
    std::shared_ptr<platform::View> viewForLink(platform::HtmlTextView& textView, const platform::HtmlLink& link,
                                                const platform::Rect& frame) override;

    // Touch handlers.
    void clickHeadBtn();
    void enterEssay();
    void selfplayVedio(platform::Button& button);
    void tapImage(int index);

private:
    void initTimeLabel();
    void initNameLabel();
    void initNewFriendTextView(const std::string& text);
    void initMessageTextView(const std::string& text);
    void initImage(const platform::Json& attachments);
    void initAudio(const platform::Json& attachments);
    void finishFrame();
    std::shared_ptr<chatCellDelegate> delegate() const { return delegate_.lock(); }

    platform::Json dictoryForInfo_;
    platform::Json myDict_;
    platform::Json timeString_;
    double timeTitleLabelY_ = 5;
    double timeTitleLabelHeight_ = 0;
    double nameLabelHeight_ = 0;
    bool isMy_ = false;
    bool isForum_ = false;
    int index_ = 0;
    std::weak_ptr<chatCellDelegate> delegate_;
    std::shared_ptr<platform::HtmlTextView> textView_;
    std::shared_ptr<platform::ImageView> bubble_;
    std::shared_ptr<platform::ImageView> avatar_;
    std::shared_ptr<platform::Label> timeLabel_;
    std::shared_ptr<platform::Label> nameLabel_;
    std::shared_ptr<platform::View> sendMark_;
    std::shared_ptr<platform::Button> voiceButton_;
};
