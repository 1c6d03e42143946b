#pragma once

// The reactions of others that concern the user (mentions, comments, praise, threads the
// user joined), page by page as the service sends them, with a drop-down under the title
// that picks the kind. A row opens the post it concerns in the detail screen; a refresh
// clears the user's new-reaction count and tells the tab bar ("markUpside"). Opened from
// the home feed's relevant bar as the root of its own navigation stack; it leaves by
// dismissing itself.

#include "details/MVTDetailsViewController.h"
#include "details/MVTRelevantMeCell.h"

#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class Label;
class ProgressHUD;
class TapGestureRecognizer;
}  // namespace platform

class AttachmentDownloadOverlay;
class myTableView;

class MVTRelevantMeViewController : public ViewViewController,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate,
                                    public platform::AlertViewDelegate,
                                    public MVTDetailsViewControllerDelegate,
                                    public EGORefreshTableHeaderDelegate,
                                    public MVTRelevantMeCellDelegate {
public:
    ~MVTRelevantMeViewController() override;
    std::string className() const override { return "MVTRelevantMeViewController"; }

    static constexpr int kCoverTag = 9229;
    static constexpr int kKindButtonTag = 100;
    static constexpr int kPageFull = 10;
    static constexpr double kListTimeout = 20;
    static constexpr double kItemTimeout = 10;
    static constexpr const char* kToStopRelevantMeAudioPlay = "toStopRelevantMeAudioPlay";
    // The kinds of the drop-down, in order: title and the request's "type".
    struct Kind {
        const char* title;
        const char* type;
    };
    static const std::vector<Kind>& kinds();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void goback();

    // ---- The drop-down
    void toChangeTitle();
    void closeTapClicked(platform::Point at);
    void didGetSelectedWith(platform::Button& button);

    // ---- Loading
    void toReloadRelevantMeData();
    void initRelevantMeData();
    void againGetListData() override;
    void initTableView();
    void goToDetailWith(int row);
    // The honour block of a "decoration" post rebuilt from its content's markup: the
    // picture after the last "/honor/" (its ending made ".gif") and the last span's text,
    // name before the first "：", description after the last. Nothing without both.
    static platform::Json decorationFromContent(const std::string& content);

    // ---- Detail screen and post cell answers
    void reloadOneCell() override;
    void deleteOneCell(int row) override;
    void sendPraiseWith(platform::Button& praiseButton) override;
    void toDownLoadAudioWith(const std::string& resourceId, int row) override;
    void playRecord(const std::optional<std::string>& resourceId, int row) override;
    void toDownLoadAttachWith(const std::string& resourceId, const std::string& name, const std::string& type) override;
    void sendLinkWith(const std::string& url, const std::string& title) override;

    // ---- Table and refresh header
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool decelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;

    // ---- State (tests and the road)
    const std::vector<platform::Json>& dataArray() const { return dataArray_; }
    int pageIndex() const { return pageIndex_; }
    const std::string& relevantMeType() const { return relevantMeType_; }
    bool isLoading() const { return isLoading_; }
    bool isMoring() const { return isMoring_; }
    bool isFalse() const { return isFalse_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }
    std::shared_ptr<platform::Button> titleBtn() const { return titleBtn_; }
    std::shared_ptr<platform::Label> titleLa() const { return titleLa_; }
    std::shared_ptr<platform::View> titleSelectView() const { return titleSelectView_; }
    std::shared_ptr<platform::View> litebgView() const { return litebgView_; }
    std::shared_ptr<platform::Json> selectdict() const { return selectdict_; }
    std::shared_ptr<AttachmentDownloadOverlay> attachments() const { return attachments_; }

private:
    static std::string userId();
    void showWait(bool show);
    void setArrowInsets();
    void closeDropDown();
    void sendListRequest(int page, std::function<void(MVTRelevantMeViewController&, const platform::Json&)> done,
                         std::function<void(MVTRelevantMeViewController&)> failed);
    static bool isPage(const platform::Json& reply);
    void startVoice(const std::string& resourceId, int row);

    std::shared_ptr<platform::ProgressHUD> HUD_;
    std::shared_ptr<platform::Label> titleLa_;
    std::shared_ptr<platform::Button> titleBtn_;
    std::vector<platform::Json> dataArray_;
    int pageIndex_ = 1;
    std::string relevantMeType_;
    bool isLoading_ = true;
    std::shared_ptr<platform::TapGestureRecognizer> selectTap_;
    std::shared_ptr<platform::View> titleSelectView_;
    std::shared_ptr<platform::View> litebgView_;
    bool isMoring_ = false;
    std::shared_ptr<myTableView> myTable_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    bool isFalse_ = false;
    int selectedRow_ = -1;
    std::shared_ptr<platform::Json> selectdict_;
    bool downloading_ = false;
    std::string audioFeedId_;
    std::string vedioStr_;
    bool stop_ = false;
    std::shared_ptr<AttachmentDownloadOverlay> attachments_;
    bool reloading_ = false;
    // The row of the voice being downloaded or played.
    int voiceRow_ = 0;

    std::vector<platform::ObserverToken> observers_;
    std::map<std::string, platform::ObserverToken> downloadTokens_;
};
