#pragma once

// The comment and chat emoticon panel: a shorter grid of faces and a button at the lower
// right, "完成" or, in chat mode, "发送" (the mode is read once, when the panel is built).

#include "composer/MVTFacePanel.h"

class MVTFacialView : public MVTFacePanel {
public:
    // The label inside the button.
    static constexpr int kButtonLabelTag = 1;

    std::string className() const override { return "MVTFacialView"; }

    bool isFromChatView() const { return isFromChatView_; }
    void setIsFromChatView(bool chat) { isFromChatView_ = chat; }
    // sendBtBtClick: the button tells the delegate sendMessage.
    void sendBtBtClick();
    std::shared_ptr<platform::Button> doneButton() const { return doneButton_; }

protected:
    platform::Rect scrollFrame() const override;
    platform::Rect dotsFrame() const override;
    void buildExtras() override;

private:
    bool isFromChatView_ = false;
    std::shared_ptr<platform::Button> doneButton_;
};
