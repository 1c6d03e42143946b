#pragma once

// One lesson: its video (played by the player screen laid into the top 200 points) or, for
// a "link" lesson, a small page framing its address; below, the tabs 详情 (uploader and
// description), 评论 (the comments, a reply or a new comment through an input bar on the
// keyboard, one's own comment deleted) and 相关 (a sideways strip of related lessons; a
// tap switches the screen to that lesson in place). Opened by a list with the record, its
// list and kind, with the record alone, or by the news centre with the lesson id alone, in
// which case the record is loaded on every appearance. Turning the handset to landscape
// presents the player over everything.

#include "homework/HomeworkScreen.h"
#include "microlessons/MVTCustomMoviePlayerViewController.h"
#include "shell/EGORefreshTableHeaderView.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextView.h"
#include "platform/ui/WebView.h"

#include <cstdint>
#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
class ImageView;
class Label;
class ScrollView;
}  // namespace platform

class MVTLessionMovieDetailViewController : public HomeworkScreen,
                                            public platform::WebViewDelegate,
                                            public platform::TableViewDataSource,
                                            public platform::TableViewDelegate,
                                            public platform::AlertViewDelegate,
                                            public EGORefreshTableHeaderDelegate {
public:
    std::string className() const override { return "MVTLessionMovieDetailViewController"; }
    static constexpr double kTopHeight = 200;
    static constexpr int kDescriptionTab = 100;
    static constexpr int kCommentTab = 101;
    static constexpr int kAboutTab = 102;
    static constexpr int kStripTag = 22222;
    static constexpr int kDeleteAlertTag = 1234;
    static constexpr int kPageFailedAlertTag = 11;
    static constexpr double kRequestTimeout = 15;
    static constexpr double kSendTimeout = 30;
    static constexpr const char* kPageVideoEnteredFullscreen = "UIMoviePlayerControllerDidEnterFullscreenNotification";
    static constexpr const char* kPageVideoWillExitFullscreen = "UIMoviePlayerControllerWillExitFullscreenNotification";

    ~MVTLessionMovieDetailViewController() override;

    // ---- Opening contract.
    void setMovieDic(const platform::Json& record) { movieDic_ = record; }
    void setAboutArray(const platform::Json& lessons) { aboutArray_ = lessons.is_array() ? lessons : platform::Json::array(); }
    void setModuleType(const std::string& kind) { moduleType_ = kind; }
    void setIsNewShow(bool on) { isNewShow_ = on; }
    void setMovieId(const std::string& id) { movieId_ = id; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void goback();
    void getDetailInfoOFMicro();
    void getCourseData();
    void initShowView();
    void showMp4video();
    void toSendViewCount();
    void showInternetMovie();
    void hengpingchuli();
    void shupingchuli();
    void initDetailView();
    void ChangeDetailViewShow(int tag);
    void initDescriptionView();
    void initAboutView();
    void showMovie(int index);
    void movieChange();

    // ---- Comments.
    void initPointArray();
    void initPointTableView();
    void selectWhichCell(int row);
    void showCommentMessageTextView();
    void keyboardWillShow(const platform::Notification& notification);
    void toWhom();
    void toSender();
    void hideKeyboard();
    void sendButton();
    void toSendDeleteCellWith(const std::string& commentId);
    void doneLoadingTableViewData();

    // Pushes a new detail screen on the list's stack: the record with its list and kind
    // (the list's way of opening a lesson; a null list and empty kind for the record alone).
    static void openFromList(platform::ViewController& list, const platform::Json& movieDic,
                             const platform::Json& aboutArray, const std::string& moduleType);
    // Pushes a new detail screen that loads lesson `movieId` on every appearance.
    static void openById(platform::NavigationController& navigation, const std::string& movieId);

    // The stream and thumbnail addresses of a resource id.
    static std::string streamUrl(const std::string& resourceId);
    static std::string thumbnailUrl(const std::string& resourceId);
    // The linked page's frame for a screen `width` points wide.
    static std::string iframeHtml(const std::string& address, double width);

    // ---- Views.
    void webViewDidStartLoad(platform::WebView& webView) override;
    void webViewDidFinishLoad(platform::WebView& webView) override;
    void webViewDidFailLoadWithError(platform::WebView& webView, const platform::HttpError& error) override;
    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;
    // The input field's Send key (a typed newline) sends; other text is taken as it is.
    bool textViewShouldChangeText(platform::TextView& view, const std::string& replacement);

    // ---- State, readable by tests.
    const platform::Json& movieDic() const { return movieDic_; }
    const platform::Json& aboutArray() const { return aboutArray_; }
    const std::string& moduleType() const { return moduleType_; }
    const platform::Json& pointArray() const { return pointArray_; }
    std::int64_t micResourceId() const { return micResourceId_; }
    bool movieChanged() const { return movieChanged_; }
    bool isShow() const { return isShow_; }
    bool isRe() const { return isRe_; }
    const std::string& replyId() const { return replyId_; }
    const std::string& commentString() const { return commentString_; }
    std::shared_ptr<MVTCustomMoviePlayerViewController> player() const { return show_; }
    std::shared_ptr<platform::WebView> registerWeb() const { return registerWeb_; }
    std::shared_ptr<platform::View> movieDetailView() const { return movieDetailView_; }
    std::shared_ptr<platform::Label> movieInfoLabel() const { return movieInfoLabel_; }
    std::shared_ptr<platform::View> descriptionView() const { return descriptionView_; }
    std::shared_ptr<platform::View> aboutView() const { return aboutView_; }
    std::shared_ptr<myTableView> pointTableView() const { return pointTableView_; }
    std::shared_ptr<platform::Button> commentBut() const { return commentBut_; }
    std::shared_ptr<platform::TextView> messageTextView() const { return messageTextView_; }
    std::shared_ptr<platform::View> buttomView() const { return buttomView_; }
    std::shared_ptr<platform::View> whomView() const { return whomView_; }
    std::shared_ptr<platform::AlertView> lastAlert() const { return lastAlert_; }
    std::shared_ptr<platform::Button> tabButton(int tag) const;

private:
    void showLessonSteps();
    void setTitleFromRecord();
    bool isOpenLesson() const;
    bool isOwnComment(int row) const;
    std::string text(const char* key) const;
    std::shared_ptr<platform::Label> newLabelForInfo(const platform::Json& value, const platform::Rect& rect,
                                                     const platform::Color& colour) const;
    void alert(const std::string& title, const std::string& message, int tag, const std::string& cancel,
               const std::vector<std::string>& others = {});
    void observePageVideo();

    platform::Json movieDic_ = platform::Json::object();
    platform::Json aboutArray_ = platform::Json::array();
    std::string moduleType_;
    bool isNewShow_ = false;
    std::string movieId_;

    std::shared_ptr<MVTCustomMoviePlayerViewController> show_;
    std::shared_ptr<platform::WebView> registerWeb_;
    std::shared_ptr<platform::View> movieDetailView_;
    std::shared_ptr<platform::Label> movieInfoLabel_;
    std::shared_ptr<platform::View> descriptionView_;
    std::shared_ptr<platform::View> aboutView_;
    bool isShow_ = false;
    bool isAppearWhenMovieDone_ = false;
    bool movieChanged_ = false;
    std::int64_t micResourceId_ = 0;

    platform::Json pointArray_ = platform::Json::array();
    std::shared_ptr<myTableView> pointTableView_;
    std::shared_ptr<platform::Button> commentBut_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    bool reloading_ = false;
    std::shared_ptr<platform::ImageView> buttomView_;
    std::shared_ptr<platform::TextView> messageTextView_;
    std::string commentString_;
    std::shared_ptr<platform::View> touchDownView_;
    std::shared_ptr<platform::View> whomView_;
    bool isRe_ = false;
    std::string commentName_;
    std::string replyId_;
    int didSelectRow_ = -1;
    std::shared_ptr<platform::AlertView> lastAlert_;

    std::shared_ptr<platform::TextViewDelegate> fieldDelegate_;
    platform::ObserverToken orientationToken_, keyboardToken_, enterToken_, exitToken_;
};
