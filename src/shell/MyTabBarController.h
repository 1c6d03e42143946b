#pragma once

// The window's root while a user is signed in: five navigation stacks behind a bar of the
// app's own (tab buttons with titles, count labels and red dots, and transparent reload
// buttons over the feed and message tabs). The same controller polls the service for new
// items and answers the feed's comment bar and post action sheets.

#include "composer/MVTFacialView.h"
#include "composer/MVTOtherMenuView.h"

#include "platform/NotificationCenter.h"
#include "platform/Timer.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/TabBarController.h"

#include <nlohmann/json.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class Label;
class TextView;
class View;
}  // namespace platform

// Notifications the controller observes.
inline constexpr const char* kShowDynamicActionSheetNotification = "showDynamicActionSheet";
inline constexpr const char* kReloadNewsNotification = "reloadNews";
inline constexpr const char* kReloadTimerNotification = "reloadTimer";
inline constexpr const char* kMarkUpsideNotification = "markUpside";
inline constexpr const char* kBecomeActiveNotification = "becomeActive";
inline constexpr const char* kToCommentDynamicNotification = "toCommentDynamic";
// Notifications the comment bar and the post action sheets post.
inline constexpr const char* kShowSelectedWhichWithNotification = "showSelectedWhichWith";
inline constexpr const char* kShowSquareSelectedWhichWithNotification = "showSquareSelectedWhichWith";
inline constexpr const char* kCommentFormHomeNotification = "commentFormHome";
inline constexpr const char* kCommentFormSquareNotification = "commentFormSquare";

class MyTabBarController : public platform::TabBarController,
                           public platform::AlertViewDelegate,
                           public platform::ActionSheetDelegate,
                           public MVTFacialViewDelegate,
                           public MVTOtherMenuViewDelegate,
                           public platform::ImagePickerControllerDelegate,
                           public platform::AssetsPickerControllerDelegate {
public:
    // Tags of the marks on the bar.
    static constexpr long kFeedCountTag = 666;
    static constexpr long kMessageCountTag = 777;
    static constexpr long kRelevantMeCountTag = 999;
    static constexpr long kMessageDotTag = 121212;
    static constexpr long kAppsDotTag = 222;
    // Accessibility hint of the two reload buttons.
    static constexpr const char* kReloadHint = "reload";

    MyTabBarController();
    ~MyTabBarController() override;
    std::string className() const override { return "MyTabBarController"; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    // ---- The bar ----------------------------------------------------------------------
    // Builds the bar once and starts the poll timer when none runs.
    void addMyitems();
    // itemCliced: selects the tab of the button's tag.
    void itemCliced(platform::Button& button);
    // Does nothing: the bar is part of this controller's own view.
    void hiddenTabBar(bool hidden);
    // NewMarks: draws the count labels 666 and 777, or clears the selected tab's count.
    void NewMarks(bool draw);
    // cleanNewMarks: 0 posts read, 1 messages and relevant-me, 2 the Apps grid read.
    void cleanNewMarks(int type);
    // Shows or removes the relevant-me label 999.
    void myMarks();
    // Redraws the marks that follow the account's flags and tells the tab roots.
    void markUpside();
    // changeReloadDynamicAndNewsBtnWith:and: arms or disarms the reload button of tab 0 or 1.
    void changeReloadDynamicAndNewsBtnWith(int tab, bool armed);
    // reloadDynamicAndNews: reloads the feed (tag 0) or the conversation list (tag 1).
    void reloadDynamicAndNews(platform::Button& button);
    // Redraws the conversation list of tab 1.
    void refreshDataForInteraction();
    // Selects tab 0 and refreshes the mention-picker list.
    void changeToDynamic();
    // Stops observing the controller's notifications and stops the poll timer.
    void clearNotif();
    // Clears zero counts when the application becomes active.
    void cleanMarkWhenBecomeAction();

    // ---- New-item polling ---------------------------------------------------------------
    // One poll; the timer's action.
    void refreshDatas();
    // Re-reads the reminder settings, restarts the timer and polls once.
    void reloadTimer();
    // localNotiDic = a copy of the user's reminder settings row.
    void reloadNews();
    // systemNoti:num:key: announces a counted or flagged kind.
    void systemNoti(const std::string& text, int count, const std::string& key);
    // showSystemNo: announces a kind without a switch.
    void showSystemNo(const std::string& text);
    // Forgets the counts announced so far.
    void cleanSys();
    // Reloads level, points and status when the Me tab is selected.
    void reloadUserLvl();
    // getpostMessage: refreshes the mention-picker list file.
    void getpostMessage(bool force);
    // Applies one poll reply: counters, marks, badge and announcements.
    void handlePollReply(const nlohmann::json& reply);

    // ---- Comment bar and post action sheets ---------------------------------------------
    // Builds the comment bar once, hidden.
    void initButtomView();
    // toCommentDynamic: opens the comment bar for the post id.
    void toCommentDynamic(const platform::Notification& notification);
    // keyboardWillShow: moves the comment bar above the keyboard.
    void keyboardWillShow(const platform::Notification& notification);
    void toSendCommentData();
    void closeComment();
    // showHUDWithBool: shows a new progress overlay or hides the current one.
    void showHUDWithBool(bool show);
    // showDynamicActionSheet: shows the post action sheet of the code.
    void showDynamicActionSheet(const platform::Notification& notification);
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    // faceBtClick: swaps the keyboard for the emoticon panel.
    void faceBtClick();
    void selectedFacialView(const std::string& token) override;
    void sendMessage() override;
    // The join-a-class alert (tag 10010) for the account's role.
    void showJoinClassAlert();
    static constexpr long kJoinClassAlertTag = 10010;
    // Tag of the alert that tells the user a comment was not stored.
    static constexpr long kCommentFailedAlertTag = 10011;
    // The buttons (top to bottom, cancel aside) and tag of the post action sheet of a code;
    // no buttons for an unknown code.
    static std::vector<std::string> dynamicSheetButtons(const std::string& code);
    static long dynamicSheetTag(const std::string& code);
    // The answer code of a sheet's button, or nothing (cancel, unknown sheet).
    static std::string dynamicSheetAnswer(long sheetTag, long index);
    std::shared_ptr<platform::TextView> commentTextView() const { return commentTextView_; }
    std::shared_ptr<platform::Button> commentBgBtn() const { return commentBgBtn_; }
    std::shared_ptr<platform::Button> faceBtn() const { return faceBtn_; }
    std::shared_ptr<MVTFacialView> myFaceView() const { return myFaceView_; }
    const std::string& commentDynamicId() const { return commentDynamicId_; }
    double keyBoardH() const { return keyBoardH_; }

    // ---- Publish menu: its "+" floats over the bar while the home feed is in front --------
    void initPublishMenu();
    // Shows the "+" while the home feed is in front (and while the menu is open).
    void updatePublishBox();
    // toShowOtherBtn: opens or closes the menu.
    void toShowOtherBtn(platform::Button& button);
    void btnClickedWith(int index) override;
    void blankSpaceClicked() override;
    // whichMenuClickedWith: 0 text post, 1 camera, 2 album, 3 mood.
    void whichMenuClickedWith(const std::string& index);
    // newVC: presents the screen in a navigation stack.
    void newVC(const std::shared_ptr<platform::ViewController>& screen);
    // The camera's picture opens the text and picture composer with it.
    void imagePickerControllerDidFinishPickingMedia(platform::ImagePickerController& picker,
                                                    const platform::PickedMediaInfo& info) override;
    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;
    // The album's pictures open the text and picture composer with them.
    void assetsPickerControllerDidFinishPickingAssets(platform::AssetsPickerController& picker,
                                                      const std::vector<platform::PickedAsset>& assets) override;
    // toCreatAddPicWith: the composer with the chosen pictures.
    void toCreatAddPicWith(const std::vector<platform::PickedAsset>& assets);
    std::shared_ptr<MVTOtherMenuView> otherMenuView() const { return otherMenuView_; }
    std::shared_ptr<platform::Button> middleAddBtn() const { return middleAddBtn_; }
    std::shared_ptr<platform::View> addMenuBgView() const { return addMenuBgView_; }

    // ---- Public state -------------------------------------------------------------------
    platform::TimerRef refreshTimer() const { return refreshTimer_; }
    void setRefreshTimer(const platform::TimerRef& timer) { refreshTimer_ = timer; }
    // "newFeed" and "newPm": counts shown on the bar, as decimal text.
    nlohmann::json& unreadDic() { return unreadDic_; }
    void setUnreadDic(const nlohmann::json& dic) { unreadDic_ = dic; }
    // The "users" list of the last poll reply.
    nlohmann::json& relevantMeUsersArr() { return relevantMeUsersArr_; }
    void setRelevantMeUsersArr(const nlohmann::json& users) { relevantMeUsersArr_ = users; }

    // The bar and its buttons (nothing before addMyitems).
    std::shared_ptr<platform::View> mytabbarView() const { return mytabbarView_; }
    std::shared_ptr<platform::Button> dynamicBtn() const { return dynamicBtn_; }
    std::shared_ptr<platform::Button> newsBtn() const { return newsBtn_; }
    std::shared_ptr<platform::Button> discoveryBtn() const { return discoveryBtn_; }
    std::shared_ptr<platform::Button> mineBtn() const { return mineBtn_; }
    std::shared_ptr<platform::Button> contactBtn() const { return contactBtn_; }
    std::shared_ptr<platform::Button> reloadDynamicBtn() const { return reloadDynamicBtn_; }
    std::shared_ptr<platform::Button> reloadNewsBtn() const { return reloadNewsBtn_; }
    const nlohmann::json& localNotiDic() const { return localNotiDic_; }
    std::shared_ptr<platform::View> commentBgView() const { return commentBgView_; }

    // The tab button for a tab index (nothing for another index).
    std::shared_ptr<platform::Button> buttonForTab(long tab) const;

private:
    // btnFrame:tag:image: a tab button.
    std::shared_ptr<platform::Button> btnFrame(const platform::Rect& frame, long tag, const std::string& image);
    // labelFrame:with:tag: a tab title.
    std::shared_ptr<platform::Label> labelFrame(const platform::Rect& frame, const std::string& title, long tag);
    void addReloadDynamicBtnWith(const platform::Rect& frame);
    void addReloadNewsBtnWith(const platform::Rect& frame);
    // A red count label of the bar, "99+" on the wide frame above two digits.
    std::shared_ptr<platform::Label> countLabel(long tag, double x, const std::string& text);
    void setCount(platform::Label& label, double x, const std::string& text);
    void removeMarks(long tag);
    std::shared_ptr<platform::View> mark(long tag) const;
    void addDot(long tag, const platform::Rect& frame, double radius);
    void startTimer(double seconds);
    double pollPeriod() const;
    template <class T>
    std::shared_ptr<T> rootOfTab(size_t tab) const;

    std::shared_ptr<platform::View> mytabbarView_;
    std::shared_ptr<platform::Button> dynamicBtn_, newsBtn_, discoveryBtn_, mineBtn_, contactBtn_;
    std::shared_ptr<platform::Button> reloadDynamicBtn_, reloadNewsBtn_;
    nlohmann::json unreadDic_ = nlohmann::json::object();
    nlohmann::json relevantMeUsersArr_ = nlohmann::json::array();
    platform::TimerRef refreshTimer_;
    nlohmann::json localNotiDic_ = nlohmann::json::object();
    long long pmid_ = 0;
    int sysPM_ = 0, sysFeed_ = 0, sysRelevantMe_ = 0;
    bool sysNoti_ = false, sysHM_ = false;
    bool userLvlReload_ = false;

    // Comment bar.
    std::shared_ptr<platform::View> commentBgView_;
    std::shared_ptr<platform::Button> commentBgBtn_;
    std::shared_ptr<platform::TextView> commentTextView_;
    std::shared_ptr<platform::Button> faceBtn_;
    std::string commentDynamicId_;
    // Text typed for a post and not yet accepted by the service, by post id.
    std::map<std::string, std::string> commentDrafts_;
    double keyBoardH_ = 0;
    std::shared_ptr<platform::View> HUD_;
    std::shared_ptr<MVTFacialView> myFaceView_;
    std::shared_ptr<MVTOtherMenuView> otherMenuView_;
    // The box of the publish menu's "+".
    std::shared_ptr<platform::View> addMenuBgView_;
    std::shared_ptr<platform::Button> middleAddBtn_;

    std::vector<platform::ObserverToken> observers_;
    platform::ObserverToken keyboardToken_;
    platform::TimerRef reloadTimerDelay_;
};
