#pragma once

// The panel that takes the keyboard's place under the chat's input bar. In chat mode it
// only holds the emoticon panel (whose button reads "发送"); outside chat mode it also
// shows the buttons "表情" and "图片". Picks and the panel's buttons go to its delegate.

#include "composer/MVTFacialView.h"

#include "platform/ui/View.h"

#include <memory>
#include <string>

class MVTKeyinputViewDelegate {
public:
    virtual ~MVTKeyinputViewDelegate() = default;
    virtual void imageClick() {}
    virtual void selectedFacialView(const std::string& token) { (void)token; }
    virtual void sendMessage() {}
};

class MVTKeyinputView : public platform::View, public MVTFacialViewDelegate {
public:
    std::string className() const override { return "MVTKeyinputView"; }

    // initWithFrame: a clear panel.
    void initWithFrame(const platform::Rect& frame);

    void setDelegate(std::weak_ptr<MVTKeyinputViewDelegate> delegate) { delegate_ = std::move(delegate); }
    int type() const { return type_; }
    void setType(int type) { type_ = type; }
    bool isFromChatView() const { return isFromChatView_; }
    void setIsFromChatView(bool chat) { isFromChatView_ = chat; }
    std::shared_ptr<MVTFacialView> emojiView() const { return emojiView_; }

    // changType: 1 hides the emoticon panel, 2 shows it.
    void changType(int type);
    void emojiBtClick();
    void imageBtClick();

    // MVTFacialViewDelegate
    void selectedFacialView(const std::string& token) override;
    void sendMessage() override;

    void layoutSubviews() override;

private:
    std::weak_ptr<MVTKeyinputViewDelegate> delegate_;
    std::shared_ptr<MVTFacialView> emojiView_;
    int type_ = 1;
    bool isFromChatView_ = false;
    bool built_ = false;
};
