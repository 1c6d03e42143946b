#include "notices/NotiViewController.h"

#include "notices/MVTPriNotViewController.h"
#include "notices/NoticeShared.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/ServiceAddress.h"
#include "feed/PostRecord.h"
#include "shell/AttachmentDownloadOverlay.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/Clock.h"
#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

NotiViewController::NotiViewController() = default;

NotiViewController::~NotiViewController() {
    if (listOperation_) listOperation_->cancel();
}

std::shared_ptr<NotiViewController> NotiViewController::initWithClassDic(const std::optional<Json>& classDic) {
    auto screen = std::make_shared<NotiViewController>();
    const Json dic = classDic && classDic->is_object() ? *classDic : Json::object();
    screen->title_ = dic.contains("name") && !MVTPublicMethod::stringIsClassNull(dic["name"]) ? textOf(dic, "name")
                                                                                             : localized("班级通知");
    screen->classID_ = dic.contains("id") && !MVTPublicMethod::stringIsClassNull(dic["id"]) ? textOf(dic, "id") : "0";
    screen->setTitle(screen->title_);
    screen->view();
    MVTPublicMethod::showWaitAnimation(screen->view(), true);
    screen->currentpage_ = 1;
    screen->isMoring_ = true;
    screen->netGetData();
    return screen;
}

void NotiViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    auto weak = weakAs<NotiViewController>();
    leftBtn_ = MVTPublicMethod::navigationleftBarButton();
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(leftBtn_));
    myArray_ = Json::array();
    initmytableview();
    stopToken_ = NotificationCenter::defaultCenter().addObserver(kToStopNotiAudioPlay, [weak](const Notification&) {
        if (auto self = weak.lock()) self->toStopNotiAudioPlay();
    });
    proximityToken_ =
        NotificationCenter::defaultCenter().addObserver(kProximityStateDidChangeNotification, [weak](const Notification&) {
            auto self = weak.lock();
            if (self && self->playIndexStr_ && !self->downloading_) self->setAudioRoute();
        });
}

void NotiViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    if (playIndexStr_) MVTAppDelegate::sharedAppDelegate()->stopPlayAudio();
}

void NotiViewController::initmytableview() {
    if (!mytableview_) {
        const Rect bounds = view()->bounds();
        const double height = bounds.height() - 44 - SDH;
        mytableview_ = myTableView::make({0, 0, bounds.width(), height}, TableViewStyle::Plain);
        mytableview_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -height, bounds.width(), height});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        mytableview_->addSubview(refreshHeaderView_);
        refreshHeaderView_->refreshLastUpdatedDate();
        view()->addSubview(mytableview_);
    } else {
        mytableview_->reloadData();
        endLoadingSoon();
    }
    MVTPublicMethod::stopWaitAnimation(view());
}

void NotiViewController::endLoadingSoon() {
    std::weak_ptr<NotiViewController> weak = weakAs<NotiViewController>();
    RunLoop::main().performAfter(kEndLoadingDelay, [weak] {
        auto self = weak.lock();
        if (self && self->refreshHeaderView_ && self->mytableview_)
            self->refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*self->mytableview_);
    });
}

void NotiViewController::netGetData() {
    if (isloading_) return;
    isloading_ = true;
    const std::string path =
        notices::isAdmin()
            ? notices::fill("admin/%@/grade/%@/notice/%d", {notices::currentUserId(), classID_, std::to_string(currentpage_)})
            : notices::fill("user/%@/class/%@/notice/%d", {notices::currentUserId(), classID_, std::to_string(currentpage_)});
    auto weak = weakAs<NotiViewController>();
    listOperation_ = notices::requestJson(weakAs<ViewController>(), "GET", notices::serviceUrl(path), Json(),
                                          [weak](notices::LoadOutcome outcome, const Json& reply) {
                                              auto self = weak.lock();
                                              if (!self) return;
                                              self->listOperation_.reset();
                                              if (outcome == notices::LoadOutcome::Reply) {
                                                  // Anything but a list of notices is a failed load.
                                                  if (auto rows = notices::dictionaryList(reply))
                                                      self->pageArrived(*rows);
                                                  else
                                                      self->loadFailed(false);
                                              } else {
                                                  self->loadFailed(outcome == notices::LoadOutcome::Offline);
                                              }
                                          });
}

void NotiViewController::pageArrived(const Json& rows) {
    isloading_ = false;
    if (!rows.empty()) {
        if (currentpage_ == 1) myArray_ = Json::array();
        for (const auto& row : rows) myArray_.push_back(row);
        isMoring_ = rows.size() >= kFullPage;
    } else {
        isMoring_ = false;
        if (currentpage_ == 1) AlertView::make(localized("提示"), localized("暂时没有本班的通知"), {}, localized("确定"))->show();
    }
    reloading_ = false;
    failed_ = false;
    if (mytableview_) mytableview_->reloadData();
    endLoadingSoon();
    MVTPublicMethod::stopWaitAnimation(view());
}

void NotiViewController::markFooterFailed() {
    if (failed_ || myArray_.empty()) return;
    failed_ = true;
    if (mytableview_) mytableview_->reloadRowsAtIndexPaths({{0, int(myArray_.size())}}, TableViewRowAnimation::None);
}

void NotiViewController::loadFailed(bool offline) {
    isloading_ = false;
    reloading_ = false;
    markFooterFailed();
    MVTPublicMethod::stopWaitAnimation(view());
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
    if (offline)
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(0);
    else if (currentpage_ == 1)
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(1);
}

void NotiViewController::reloadTableViewDataSource() {
    // A refresh asked for while a page is on its way is dropped.
    if (isloading_) {
        doneLoadingTableViewData();
        return;
    }
    currentpage_ = 1;
    reloading_ = true;
    netGetData();
}

void NotiViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

void NotiViewController::againGetListData() {
    reloading_ = true;
    netGetData();
}

void NotiViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    stopToken_.reset();
    if (fromWhere_) {
        if (auto navigation = navigationController()) navigation->popViewController(true);
    } else {
        dismissViewController(true);
    }
}

// ---- Table

int NotiViewController::numberOfRowsInSection(TableView&, int) {
    return myArray_.empty() ? 0 : int(myArray_.size()) + 1;
}

std::shared_ptr<MVTNotiCell> NotiViewController::buildCell(int index) {
    auto cell = MVTNotiCell::make();
    cell->setDelegate(weakAs<MVTNotiCellDelegate>());
    if (index >= 0 && index < int(myArray_.size())) {
        cell->reloadCellWith(myArray_[std::size_t(index)], index);
        if (playIndexStr_ && *playIndexStr_ == std::to_string(index)) cell->toChangeAudio(true, downloading_);
    } else {
        cell->reloadMoreWith(isMoring_, failed_);
    }
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(Color::clear());
    return cell;
}

std::shared_ptr<TableViewCell> NotiViewController::cellForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    return buildCell(indexPath.row);
}

double NotiViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.row >= int(myArray_.size())) return MVTNotiCell::kFooterHeight;
    return buildCell(indexPath.row)->frame().height();
}

void NotiViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (indexPath.row != int(myArray_.size())) return;
    if (isMoring_ && !reloading_ && !failed_ && !isloading_) {
        ++currentpage_;
        reloading_ = true;
        netGetData();
    }
}

void NotiViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) {
        showIMagePageWith(scrollView);
        return;
    }
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void NotiViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (scrollView.tag() == kPagingViewTag) return;
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void NotiViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool NotiViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) { return reloading_; }

double NotiViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}

// ---- What the cards ask for

void NotiViewController::showImage(const Json& pictures, int index) { ViewViewController::showImage(pictures, index); }

void NotiViewController::sendLinkWith(const std::string& url, const std::string& text) {
    auto page = std::make_shared<MVTWebViewController>();
    presentViewController(myNavigationController::withRoot(page), true);
    page->reloadUrlWith(url, text);
}

std::shared_ptr<AttachmentDownloadOverlay> NotiViewController::downloadOverlay() {
    if (!overlay_)
        overlay_ = AttachmentDownloadOverlay::make(weakAs<ViewController>(), AttachmentDownloadOverlay::noticeListOptions());
    return overlay_;
}

void NotiViewController::toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                              const std::string& lowerType) {
    downloadOverlay()->toDownLoadAttachsWith(resourceId, lowerType, name);
}

void NotiViewController::gotoPrivateNotificationViewControllerWithDic(const Json& notice, int) {
    auto screen = std::make_shared<MVTPriNotViewController>();
    screen->setItemDic(notice);
    if (auto navigation = navigationController()) navigation->pushViewController(screen, true);
}

// ---- Voices

void NotiViewController::toOpenOrDownLoadAudio(const std::string& path, const std::string& resourceId, int index,
                                               bool exists) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    playIndexStr_ = std::to_string(index);
    if (exists) {
        downloading_ = false;
        playRecord(resourceId, "");
        return;
    }
    downloading_ = true;
    const std::string url = ServiceAddress::baseUrl() + "resource/" + resourceId + "/download?token=" +
                            app->getTokenWith(resourceId);
    auto weak = weakAs<NotiViewController>();
    audioTokens_.erase(resourceId);
    audioTokens_[resourceId] =
        NotificationCenter::defaultCenter().addObserver(resourceId, [weak, resourceId](const Notification& note) {
            if (auto self = weak.lock()) self->didDownloadAudio(resourceId, textOf(note.object));
        });
    MVTAppDelegate::downloadVoice(url, path, resourceId);
}

void NotiViewController::didDownloadAudio(const std::string& resourceId, const std::string& outcome) {
    downloading_ = false;
    audioTokens_.erase(resourceId);
    const int row = playIndexStr_ ? int(integerValue(*playIndexStr_)) : -1;
    auto cell = row >= 0 && mytableview_
                    ? std::dynamic_pointer_cast<MVTNotiCell>(mytableview_->cellForRowAtIndexPath({0, row}))
                    : nullptr;
    if (outcome == "downloadSuccess") {
        playRecord(resourceId, "");
        if (playIndexStr_ && cell) cell->toChangeAudio(true, false);
    } else {
        if (cell) cell->toChangeAudio(false, false);
        playIndexStr_.reset();
    }
}

void NotiViewController::playRecord(const std::optional<std::string>& resourceId, const std::string& track) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!resourceId) {
        app->stopPlayAudio();
        return;
    }
    const std::string wav = post::wavFile(*resourceId);
    if (!MVTPublicMethod::fileExistsAtPath(wav) &&
        (MVTVoiceJoiner::amrToWav(post::voiceFile(*resourceId), wav) <= 0 || !MVTPublicMethod::fileExistsAtPath(wav))) {
        // A download that decodes to no voice is not kept, and its row goes back to idle.
        MVTPublicMethod::deleteFileAtPath(post::voiceFile(*resourceId));
        MVTPublicMethod::deleteFileAtPath(wav);
        toStopNotiAudioPlay();
        return;
    }
    app->setNowPlayPage(MVTAppDelegate::VoicePageNotice);
    ProximitySensor::shared().setMonitoringEnabled(true);
    app->setNowPlayId(*resourceId);
    app->toSetAudio(wav, track);
    setAudioRoute();
}

void NotiViewController::setAudioRoute() {
    if (ProximitySensor::shared().proximityState()) {
        AudioSession::shared().setCategory(AudioSessionCategory::PlayAndRecord);
        AudioRoute::shared().overrideOutputAudioPort(AudioRouteOverride::None);
    } else {
        AudioSession::shared().setCategory(AudioSessionCategory::MediaPlayback);
        AudioRoute::shared().overrideOutputAudioPort(AudioRouteOverride::Speaker);
    }
}

void NotiViewController::toStopNotiAudioPlay() {
    if (!playIndexStr_) return;
    const int row = int(integerValue(*playIndexStr_));
    if (mytableview_)
        if (auto cell = std::dynamic_pointer_cast<MVTNotiCell>(mytableview_->cellForRowAtIndexPath({0, row})))
            cell->toChangeAudio(false, false);
    playIndexStr_.reset();
    downloading_ = false;
}
