#pragma once

// One chat message as a view of its own: the text drawn by ChatView at most 230 points
// wide, then a grid of picture thumbnails or a voice button, and the message's time under
// it. Picture taps, voice taps and a long press go to a MsgShowImageDelegate, held weakly.
// Thumbnails come from Documents/<id>, else from the defaults under the id, else from the
// service (stored in the defaults). No screen makes one.

#include "chat/MsgShowImageDelegate.h"

#include "platform/Values.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

class ChatView;

namespace platform {
class Button;
class ImageView;
class Label;
}  // namespace platform

class MVTMsgView : public platform::View {
public:
    static constexpr int kTextWidth = 230;
    static constexpr double kLongPressSeconds = 0.6;

    std::string className() const override { return "MVTMsgView"; }

    // initWithFrame:myDict:chatId:
    void initWithFrame(const platform::Rect& frame, const platform::Json& message, const std::string& chatId);
    void initView();
    // Dark on light: grey text, black duration, the dark voice icon.
    void chageVoiceImage();

    static double heightOfMessage(const platform::Json& message);
    static double widthOfMessage(const platform::Json& message);

    // Touch handlers.
    void handleLongPress();
    void tapImage(int index);
    void selfplayVedio(platform::Button& button);

    // Thumbnails: from the defaults, or fetched on the background queue.
    void toShowAttachmentsImage(platform::ImageView& picture);
    void toGetAttachmentsImage(const std::shared_ptr<platform::ImageView>& picture);

    const platform::Json& myDict() const { return myDict_; }
    void setMyDict(const platform::Json& message) { myDict_ = message; }
    std::shared_ptr<MsgShowImageDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MsgShowImageDelegate> delegate) { delegate_ = std::move(delegate); }

    const std::string& myChatID() const { return myChatID_; }
    const std::vector<std::string>& msgArr() const { return msgArr_; }
    std::shared_ptr<ChatView> chatV() const { return chatV_; }
    std::shared_ptr<platform::ImageView> imageV() const { return imageV_; }
    std::shared_ptr<platform::Label> durationLb() const { return durationLb_; }
    std::shared_ptr<platform::Label> timelb() const { return timelb_; }
    std::shared_ptr<platform::Button> voiceButton() const { return voiceButton_; }
    const std::vector<std::shared_ptr<platform::ImageView>>& thumbnails() const { return thumbnails_; }

private:
    void addThumbnails(const platform::Json& attachments, double top);
    void addVoice(const platform::Json& first, double top);
    void setVoiceIcon(const char* still, std::initializer_list<const char*> frames);

    platform::Json myDict_ = platform::Json::object();
    std::string myChatID_;
    std::vector<std::string> msgArr_;
    std::shared_ptr<ChatView> chatV_;
    std::shared_ptr<platform::ImageView> imageV_;
    std::shared_ptr<platform::Label> durationLb_;
    std::shared_ptr<platform::Label> timelb_;
    std::shared_ptr<platform::Button> voiceButton_;
    std::vector<std::shared_ptr<platform::ImageView>> thumbnails_;
    std::weak_ptr<MsgShowImageDelegate> delegate_;
};
