#include "contacts/MVTGongGaoViewController.h"

#include "contacts/ContactsShared.h"
#include "contacts/MVTGongGaoEdit.h"

#include "feed/FeedListParts.h"
#include "feed/PostRecord.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/AttachmentDownloadOverlay.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/ProximitySensor.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

#include <filesystem>

using namespace platform;

MVTGongGaoViewController::MVTGongGaoViewController() = default;

MVTGongGaoViewController::~MVTGongGaoViewController() {
    if (listOperation_) listOperation_->cancel();
    if (deleteOperation_) deleteOperation_->cancel();
}

void MVTGongGaoViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized(kPageName));
    StatisticsKit::shared().beginLogPageView(kPageName);
    auto weak = weakAs<MVTGongGaoViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    dataArray_ = Json::array();
    if (integerValue(Json(userType_)) >= 1) {
        auto add = Button::buttonWithType(ButtonType::Custom);
        add->setFrame({0, 0, 44, 44});
        add->setImage(Image::imageNamed("add_nor_org"));
        add->setImageEdgeInsets({10, 10, 10, 10});
        add->setAccessibilityLabel(localized("添加公告"));
        add->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->addNewGongGao();
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(add));
    }
    initmytableview();
    getDataObjects(std::nullopt);
    auto& center = NotificationCenter::defaultCenter();
    reloadToken_ = center.addObserver(kToReloadCurrentGongGaoData, [weak](const Notification&) {
        if (auto self = weak.lock()) self->reloadCurrentData();
    });
    stopToken_.reset();
    stopToken_ = center.addObserver(kToStopHomeAudioPlay, [weak](const Notification&) {
        if (auto self = weak.lock()) self->toStopHomeAudioPlay();
    });
}

void MVTGongGaoViewController::viewDidAppear(bool animated) {
    ViewViewController::viewDidAppear(animated);
    MVTAppDelegate::sharedAppDelegate()->setNowPage(MVTAppDelegate::VoicePageTimeLine);
    auto weak = weakAs<MVTGongGaoViewController>();
    proximityToken_ =
        NotificationCenter::defaultCenter().addObserver(kProximityStateDidChangeNotification, [weak](const Notification&) {
            if (auto self = weak.lock()) self->playAgain();
        });
}

void MVTGongGaoViewController::viewDidDisappear(bool animated) {
    ViewViewController::viewDidDisappear(animated);
    if (downloading_) MVTAppDelegate::sharedAppDelegate()->stopPlayAudio();
    proximityToken_.reset();
}

void MVTGongGaoViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

void MVTGongGaoViewController::showHUDWithBool(bool show) { contacts::showProgress(HUD_, view(), show); }

void MVTGongGaoViewController::initmytableview() {
    if (mytableview_) {
        mytableview_->reloadData();
        return;
    }
    const Rect bounds = view()->bounds();
    const double height = Screen::mainScreen().bounds().height() - 64;
    mytableview_ = myTableView::make({0, 0, bounds.width(), height}, TableViewStyle::Plain);
    mytableview_->setBackgroundColor(Color::clear());
    mytableview_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -height, bounds.width(), height});
    refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    mytableview_->addSubview(refreshHeaderView_);
    refreshHeaderView_->refreshLastUpdatedDate();
    createFooterView();
    view()->addSubview(mytableview_);
}

void MVTGongGaoViewController::createFooterView() {
    const double width = view()->bounds().width();
    auto footer = std::make_shared<View>(Rect(0, 0, width, 60));
    footer->setBackgroundColor(Color::clear());
    moreBtn_ = Button::buttonWithType(ButtonType::Custom);
    moreBtn_->setFrame({5, 5, width - 10, 50});
    moreBtn_->setTitleColor(Color::darkGray());
    moreBtn_->titleLabel()->setFont(Font::systemFontOfSize(16));
    auto weak = weakAs<MVTGongGaoViewController>();
    moreBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toGetMoreCourseData();
    });
    setFooter("点击加载更多", true);
    footer->addSubview(moreBtn_);
    mytableview_->setTableFooterView(footer);
}

void MVTGongGaoViewController::setFooter(const std::string& title, bool enabled) {
    if (!moreBtn_) return;
    moreBtn_->setTitle(localized(title));
    moreBtn_->setEnabled(enabled);
}

// ---- Pages

void MVTGongGaoViewController::getDataObjects(const std::optional<std::string>& pagingKey) {
    if (refreshing_) return;
    refreshing_ = true;
    showHUDWithBool(true);
    Json parameters{{"limit", kPageSize}};
    if (pagingKey) parameters[*pagingKey] = maxIdNotIncludeSelf_;
    const std::string url = ServiceAddress::servicePrefix() + "forum/" + contacts::accountUserId() + "/" + forumId_ +
                            "/" + fieldId_ + "/notice/list";
    auto request = MVTPublicMethod::requestWithMethod("GET", url, parameters);
    if (!request) {
        refreshing_ = false;
        contacts::showBanner(0);
        showHUDWithBool(false);
        doneLoadingTableViewData();
        return;
    }
    const bool firstPage = !pagingKey;
    auto weak = weakAs<MVTGongGaoViewController>();
    listOperation_ = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, firstPage](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->listOperation_.reset();
            // Only dictionaries are rows: anything else in the reply is left out.
            Json rows = Json::array();
            for (const auto& row : post::listOf(reply, "list"))
                if (row.is_object()) rows.push_back(row);
            self->pageArrived(rows, firstPage);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->listOperation_.reset();
            self->refreshing_ = false;
            self->doneLoadingTableViewData();
            if (self->mytableview_) self->mytableview_->reloadData();
            self->setFooter("点击加载更多", true);
            self->showHUDWithBool(false);
        });
    listOperation_->start();
}

void MVTGongGaoViewController::pageArrived(const Json& rows, bool firstPage) {
    refreshing_ = false;
    if (!rows.empty()) {
        if (firstPage) dataArray_ = Json::array();
        if (rows.size() >= kFullPage)
            setFooter("点击加载更多", true);
        else
            setFooter("已经加载全部", false);
        for (const auto& row : rows) dataArray_.push_back(row);
    } else if (dataArray_.empty()) {
        setFooter("暂无相关内容", false);
    } else if (!firstPage) {
        setFooter("已经加载全部", false);
    }
    if (mytableview_) mytableview_->reloadData();
    doneLoadingTableViewData();
    showHUDWithBool(false);
}

void MVTGongGaoViewController::toGetMoreCourseData() {
    reloading_ = true;
    if (dataArray_.empty()) {
        getDataObjects(std::nullopt);
        return;
    }
    maxIdNotIncludeSelf_ = post::text(dataArray_.back(), "rescourseId");
    getDataObjects(std::string(kPagingKey));
}

void MVTGongGaoViewController::reloadCurrentData() { getDataObjects(std::nullopt); }

void MVTGongGaoViewController::reloadTableViewDataSource() {
    reloading_ = true;
    getDataObjects(std::nullopt);
}

void MVTGongGaoViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

// ---- Adding and deleting

void MVTGongGaoViewController::addNewGongGao() {
    auto composer = std::make_shared<MVTEditGongGaoViewController>();
    composer->setFieldId(fieldId_);
    composer->setForumId(forumId_);
    if (auto navigation = navigationController()) navigation->pushViewController(composer, true);
}

void MVTGongGaoViewController::deleteGonggao(int row) {
    auto alert = AlertView::make(localized("提示"), localized("确定删除?"), weakAs<AlertViewDelegate>(), localized("取消"),
                                 {localized("确定")});
    alert->setTag(row);
    alert->show();
}

void MVTGongGaoViewController::alertViewClickedButtonAtIndex(AlertView& alertView, long buttonIndex) {
    if (buttonIndex == 1) deleteGongGao(int(alertView.tag()));
}

void MVTGongGaoViewController::deleteGongGao(int row) {
    if (row < 0 || row >= int(dataArray_.size())) return;
    // The row is found again by its id when the answer comes: the list may have been
    // reloaded in between.
    const std::string id = post::text(dataArray_[std::size_t(row)], "id");
    showHUDWithBool(true);
    const std::string url = ServiceAddress::servicePrefix() + "forum/" + contacts::accountUserId() + "/" + forumId_ +
                            "/" + fieldId_ + "/notice/remove";
    auto request = MVTPublicMethod::requestWithMethod("GET", url, Json{{"ids", id}});
    if (!request) {
        refreshing_ = false;
        contacts::showBanner(0);
        showHUDWithBool(false);
        return;
    }
    auto weak = weakAs<MVTGongGaoViewController>();
    deleteOperation_ = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, id](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // A "success" that is false or 0 is a refusal, not a deletion.
            const Json& success = valueFor(reply, "success");
            const bool done = reply.is_object() && reply.contains("success") &&
                              (success.is_boolean() ? success.get<bool>() : integerValue(success) != 0);
            self->deletionAnswered(id, done);
        },
        [weak, id](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->deletionAnswered(id, false);
        });
    deleteOperation_->start();
}

void MVTGongGaoViewController::deletionAnswered(const std::string& id, bool done) {
    deleteOperation_.reset();
    refreshing_ = false;
    AlertView::make(localized(done ? "删除公告成功" : "删除公告失败"), "", {}, localized("我知道了"))->show();
    if (done) {
        for (std::size_t i = 0; i < dataArray_.size(); ++i) {
            if (post::text(dataArray_[i], "id") == id) {
                dataArray_.erase(dataArray_.begin() + long(i));
                break;
            }
        }
    }
    if (mytableview_) mytableview_->reloadData();
    showHUDWithBool(false);
}

// ---- Table

int MVTGongGaoViewController::numberOfRowsInSection(TableView&, int) { return int(dataArray_.size()); }

std::shared_ptr<MVTGongGaoTableViewCell> MVTGongGaoViewController::buildCell(int row) {
    const Json empty = Json::object();
    const Json& record = row >= 0 && row < int(dataArray_.size()) ? dataArray_[std::size_t(row)] : empty;
    auto cell = MVTGongGaoTableViewCell::initCellWithDic(record, row, userType_, weakAs<MVTGongGaoCellDelegate>());
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

std::shared_ptr<TableViewCell> MVTGongGaoViewController::cellForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    return buildCell(indexPath.row);
}

double MVTGongGaoViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    return buildCell(indexPath.row)->frame().height();
}

void MVTGongGaoViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) {
        showIMagePageWith(scrollView);
        return;
    }
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTGongGaoViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (scrollView.tag() == kPagingViewTag) return;
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTGongGaoViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTGongGaoViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTGongGaoViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}

// ---- Pictures and files

void MVTGongGaoViewController::showImage(const Json& pictures, int index) {
    ViewViewController::showImage(pictures, index);
}

std::shared_ptr<AttachmentDownloadOverlay> MVTGongGaoViewController::downloadOverlay() {
    if (!overlay_) {
        AttachmentDownloadOverlay::Options options = AttachmentDownloadOverlay::noticeListOptions();
        options.openByPush = true;
        overlay_ = AttachmentDownloadOverlay::make(weakAs<ViewController>(), options);
    }
    return overlay_;
}

void MVTGongGaoViewController::toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                                    const std::string& type) {
    downloadOverlay()->toDownLoadAttachsWith(resourceId, type, name);
}

// ---- Voices

void MVTGongGaoViewController::reloadCell() {
    if (mytableview_ && !dataArray_.empty() && voiceRow_ >= 0 && voiceRow_ < int(dataArray_.size()))
        mytableview_->reloadRowsAtIndexPaths({{0, voiceRow_}}, TableViewRowAnimation::None);
}

void MVTGongGaoViewController::toDownLoadAudioWith(const std::string& resourceId, int row) {
    MVTPublicMethod::showMessage(localized("下载中"), view());
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    // The id names the voice's files: anything but a plain name is not fetched.
    if (!post::isPlainName(resourceId)) return;
    voiceRow_ = row;
    downloading_ = true;
    reloadCell();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(post::voiceFile(resourceId)).parent_path(), ignored);
    auto weak = weakAs<MVTGongGaoViewController>();
    audioTokens_.erase(resourceId);
    audioTokens_[resourceId] =
        NotificationCenter::defaultCenter().addObserver(resourceId, [weak, resourceId](const Notification& note) {
            if (auto self = weak.lock()) self->didDownloadAudio(resourceId, textOf(note.object));
        });
    MVTAppDelegate::downloadVoice(AttachmentDownloadOverlay::downloadUrl(resourceId), post::voiceFile(resourceId),
                                  resourceId);
}

void MVTGongGaoViewController::didDownloadAudio(const std::string& resourceId, const std::string& outcome) {
    if (outcome != "downloadSuccess" && outcome != "downloadFailed") return;
    audioTokens_.erase(resourceId);
    downloading_ = false;
    if (outcome != "downloadSuccess" || !feedlist::ensureWav(resourceId)) {
        // What does not decode is not kept, so the row offers the download again.
        MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
        MVTPublicMethod::showMessage(localized("音频下载失败"), view());
        reloadCell();
        return;
    }
    if (mytableview_)
        if (auto cell = std::dynamic_pointer_cast<MVTGongGaoTableViewCell>(mytableview_->cellForRowAtIndexPath({0, voiceRow_})))
            if (cell->recordPlayView()) cell->recordPlayView()->startAnimating();
    playRecord(resourceId, voiceRow_);
}

void MVTGongGaoViewController::playRecord(const std::optional<std::string>& resourceId, int row) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    app->setNowPlayPage(MVTAppDelegate::VoicePageHome);
    bool stopped = false;
    if (!app->nowPlayPath().empty() || downloading_) {
        app->stopPlayAudio();
        stopped = true;
    }
    if (!resourceId) return;
    if (!post::isPlainName(*resourceId) || row < 0 || row >= int(dataArray_.size())) return;
    vedioStr_ = *resourceId;
    ProximitySensor::shared().setMonitoringEnabled(true);
    app->setNowPlayId(post::text(dataArray_[std::size_t(row)], "id"));
    app->toSetAudio(post::wavFile(*resourceId), "");
    // The stop above announced itself and switched the sensor off: on again for this voice.
    ProximitySensor::shared().setMonitoringEnabled(true);
    feedlist::setAudioRoute();
    if (stopped) reloadCell();
    voiceRow_ = row;
}

void MVTGongGaoViewController::toStopHomeAudioPlay() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app->nowPlayPage() == MVTAppDelegate::VoicePageHome && app->nowPage() == MVTAppDelegate::VoicePageDetails)
        NotificationCenter::defaultCenter().postNotification(kToStopDetailsAudio);
    downloading_ = false;
    ProximitySensor::shared().setMonitoringEnabled(false);
    reloadCell();
}

void MVTGongGaoViewController::playAgain() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app->nowPlayPath().empty() || vedioStr_.empty()) return;
    playRecord(vedioStr_, voiceRow_);
}
