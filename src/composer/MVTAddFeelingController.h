#pragma once

// The mood composer: one of nine moods, whose phrase (by the user's role) fills the text,
// sent by the screen itself with the mood code. One mood a day: the day (universal time)
// the service last accepted one, or said one was already there, is kept under
// "<user id>FeelingTime", and the tab bar checks the same day before opening the screen.

#include "composer/MVTFacePanel.h"
#include "composer/MVTPostListViewController.h"
#include "shell/ViewViewController.h"

#include "platform/HttpRequestOperation.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class ImageView;
class Label;
class ProgressHUD;
class ScrollView;
class TextView;
class TextViewDelegate;
class View;
}  // namespace platform
class EmojView;

// Posted when a mood was accepted: the home feed fetches its newest posts.
inline constexpr const char* kToGetNewDataNotification = "toGetNewData";

class MVTAddFeelingController : public ViewViewController,
                                public platform::AlertViewDelegate,
                                public MVTFacialViewDelegate,
                                public MVTPostListDelegate {
public:
    static constexpr int kMoodCount = 9;
    static constexpr int kLeaveAlertTag = 888;
    static constexpr double kMinimumTextHeight = 80;

    MVTAddFeelingController();
    ~MVTAddFeelingController() override;
    std::string className() const override { return "MVTAddFeelingController"; }

    void init() {}
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // ---- The one-a-day rule, shared with the tab bar -------------------------------------
    // The defaults key of the user's last mood day.
    static std::string feelingTimeKey(const std::string& userId);
    // Today in universal time, "yyyy-MM-dd".
    static std::string today();
    // True when the stored day of the user is today.
    static bool sentToday(const std::string& userId);
    // Stores today as the user's mood day, written at once.
    static void recordToday(const std::string& userId);
    // The nine moods for a role: "image" ("%d.png"), "text" (the phrase), "num" and
    // "feeling" (the name).
    static nlohmann::json moodRecords(const std::string& role);

    // ---- Screen -----------------------------------------------------------------------------
    void initMyView();
    void textView();
    void picView();
    // selectFeeling: mood `tag` (1 to 9) is chosen and its phrase replaces the text.
    void selectFeeling(int tag);
    void fitTheText();
    void fitTheView(bool withPanel);
    void keyboardWillShow(const platform::Notification& notification);
    void keyboardChange(const platform::Notification& notification);
    void removeKeyBoard();
    void initFaceView(platform::Button& button);
    void selectedFacialView(const std::string& token) override;
    void sendMessage() override;
    void postOther();
    void returnList(const nlohmann::json& entry) override;
    void textViewDidBeginEditing();
    bool textViewShouldChangeText(platform::Range range, const std::string& replacement);
    void textViewDidEndEditing();
    // sendBtnClicked: the "发送" button.
    void sendBtnClicked();
    void goback();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    std::shared_ptr<platform::Button> sendButton() const { return sendButton_; }
    std::shared_ptr<platform::ImageView> moodPicture(int tag) const;

    // ---- Fields -------------------------------------------------------------------------------
    std::shared_ptr<platform::Button> tempBtn;
    nlohmann::json postListArray = nlohmann::json::array();
    nlohmann::json imageArray = nlohmann::json::array();
    std::shared_ptr<platform::ScrollView> myView;
    std::shared_ptr<platform::View> hidKeyBoardView;
    std::shared_ptr<EmojView> myFaceView;
    std::shared_ptr<platform::TextView> mytextView;
    std::shared_ptr<platform::View> allPicView;
    int feelingNum = 0;
    float textHeight = 0;
    bool issending = false;

private:
    void finishSending();
    void scrollToCaret();
    void refitBoxAndGrid();
    double moodSide() const;

    std::shared_ptr<platform::Button> sendButton_;
    std::shared_ptr<platform::Label> placeholder_;
    std::shared_ptr<platform::TextViewDelegate> textDelegate_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    std::shared_ptr<platform::HttpRequestOperation> operation_;
    std::vector<platform::ObserverToken> observers_;
};
