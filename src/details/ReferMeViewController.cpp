#include "details/ReferMeViewController.h"

#include "details/ReferMeCell.h"
#include "feed/FeedListParts.h"
#include "feed/PostRecord.h"
#include "me/MVTTimeSpaceViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

#include "platform/AudioPlayer.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

using namespace platform;

namespace {

// Replies of the lists above this size fail (a page of items is a few kB).
constexpr std::size_t kReferMaxReplyBytes = 8u * 1024 * 1024;

}  // namespace

ReferMeViewController::ReferMeViewController() = default;

ReferMeViewController::~ReferMeViewController() {
    if (playerTimer_) playerTimer_->invalidate();
}

std::string ReferMeViewController::moduleNameFor(const std::string& module) {
    static const std::pair<const char*, const char*> names[] = {
        {"feed", "动态"},           {"course", "课程"},          {"course_doc", "课程文档"},
        {"course_image", "课程图片"}, {"course_audio", "课程音频"}, {"course_video", "课程视频"},
        {"course_media", "课程音视频"}, {"pm", "私信"},            {"post_message", "话题"},
        {"class_notice", "班级通知"}, {"course_homework", "课程作业"}, {"course_forum", "课程讨论区"},
        {"course_quiz", "课程习题"}};
    for (const auto& [code, name] : names)
        if (module == code) return localized(name);
    return "";
}

std::string ReferMeViewController::userId() { return MVTAccount::sharedInstance().userId().value_or(""); }

std::optional<UrlRequest> ReferMeViewController::serviceRequest(const std::string& path, std::optional<double> timeout) {
    auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + path);
    if (request && timeout) request->setTimeoutInterval(*timeout);
    return request;
}

void ReferMeViewController::sendJson(UrlRequest request, std::function<void(ReferMeViewController&, const Json&)> reply,
                                     std::function<void(ReferMeViewController&)> failure) {
    auto weak = weakAs<ReferMeViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(request),
        [weak, reply](HttpJsonRequestOperation&, const Json& body) {
            if (auto self = weak.lock()) reply(*self, body);
        },
        [weak, failure](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) failure(*self);
        });
    operation->setMaxResponseBytes(kReferMaxReplyBytes);
    operation->start();
}

// ---- Lifecycle

void ReferMeViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(navigationItem().title());
    makeBackButton();
    dataArray_.clear();
    selectdict_ = std::make_shared<Json>(Json::object());
    MVTPublicMethod::showWaitAnimation(view(), true);
    currentpage_ = 1;
    isMoring_ = true;
    getData();
    initmytable();
}

void ReferMeViewController::makeBackButton() {
    tempbt_ = MVTPublicMethod::navigationleftBarButton();
    auto weak = weakAs<ReferMeViewController>();
    tempbt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->back();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(tempbt_));
}

void ReferMeViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (!tempbt_) makeBackButton();
    tempbt_->setHidden(false);
}

void ReferMeViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    tostop();
    if (tempbt_) tempbt_->setHidden(true);
}

void ReferMeViewController::back() {
    StatisticsKit::shared().endLogPageView(navigationItem().title());
    dismissViewController(true);
}

// ---- Pages

void ReferMeViewController::getData() {
    if (isloading_) return;
    isloading_ = true;
    auto request = serviceRequest("relative/" + userId() + "/message/" + std::to_string(currentpage_));
    if (!request) return pageFailed(true);
    sendJson(
        std::move(*request),
        [](ReferMeViewController& self, const Json& reply) {
            self.isloading_ = false;
            // A reply that is no list is no page: the rows stay, the more row offers a retry.
            if (!reply.is_array()) return self.pageFailed(false);
            self.pageArrived(reply, localized("暂时没有提到我的"));
        },
        [](ReferMeViewController& self) { self.pageFailed(false); });
}

void ReferMeViewController::pageArrived(const Json& reply, const std::string& emptyMessage) {
    isloading_ = false;
    std::vector<std::shared_ptr<Json>> items;
    for (const auto& entry : reply)
        if (entry.is_object()) items.push_back(std::make_shared<Json>(entry));
    if (!items.empty()) {
        if (currentpage_ == 1) dataArray_.clear();
        for (auto& item : items) dataArray_.push_back(std::move(item));
        isMoring_ = int(reply.size()) > kLastPageSize;
        // Items came: the empty-state label of an earlier empty page goes.
        if (auto label = view()->viewWithTag(kNoDataLabelTag)) label->removeFromSuperview();
    } else {
        isMoring_ = false;
        if (currentpage_ == 1) {
            dataArray_.clear();
            MVTPublicMethod::stopWaitAnimation(view());
            showNoDataLabel();
            AlertView::make(localized("提示"), emptyMessage, weakAs<AlertViewDelegate>(), localized("确定"))->show();
        }
    }
    initmytable();
    reloading_ = false;
    failed_ = false;
}

void ReferMeViewController::showNoDataLabel() {
    // One label at most, however often an empty first page comes.
    if (view()->viewWithTag(kNoDataLabelTag)) return;
    auto label = std::make_shared<Label>(Rect(0, 100, Screen::mainScreen().bounds().width(), 50));
    label->setTag(kNoDataLabelTag);
    label->setText(localized("暂无数据"));
    label->setTextAlignment(TextAlignment::Center);
    label->setBackgroundColor(Color::clear());
    view()->addSubview(label);
}

void ReferMeViewController::pageFailed(bool offline) {
    isloading_ = false;
    reloading_ = false;
    if (!failed_ && !dataArray_.empty()) {
        failed_ = true;
        redrawMoreRow();
    }
    MVTPublicMethod::stopWaitAnimation(view());
    if (offline) MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
    else if (currentpage_ == 1) MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageBusy);
}

void ReferMeViewController::redrawMoreRow() {
    if (mytableview_) mytableview_->reloadRowsAtIndexPaths({{0, int(dataArray_.size())}}, TableViewRowAnimation::None);
}

void ReferMeViewController::alertViewClickedButtonAtIndex(AlertView&, long) {}

// ---- Table

void ReferMeViewController::initmytable() {
    if (!mytableview_) {
        const double W = Screen::mainScreen().bounds().width();
        mytableview_ = myTableView::make({0, 0, W, view()->bounds().height() - 44 - SDH}, TableViewStyle::Plain);
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(mytableview_);
        const double H = mytableview_->frame().height();
        refreshHeaderView_ = std::make_shared<EGORefreshTableHeaderView>();
        refreshHeaderView_->initWithFrame({0, -H, W, H});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        mytableview_->addSubview(refreshHeaderView_);
        refreshHeaderView_->refreshLastUpdatedDate();
    } else {
        mytableview_->reloadData();
        MVTPublicMethod::stopWaitAnimation(view());
    }
    auto weak = weakAs<ReferMeViewController>();
    RunLoop::main().performAfter(0.05, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

int ReferMeViewController::numberOfSectionsInTableView(TableView&) { return 1; }

int ReferMeViewController::numberOfRowsInSection(TableView&, int) {
    return dataArray_.empty() ? 0 : int(dataArray_.size()) + 1;
}

std::shared_ptr<TableViewCell> ReferMeViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                           const IndexPath& indexPath) {
    const int row = indexPath.row;
    if (row >= int(dataArray_.size())) return moreCell(tableView);
    auto me = std::dynamic_pointer_cast<CellDelegate>(shared_from_this());
    auto cell = std::dynamic_pointer_cast<ReferMeCell>(tableView.dequeueReusableCellWithIdentifier(kItemIdentifier));
    if (cell) {
        cell->setNowIndex(row);
        cell->reuseCellWithDic(*dataArray_[size_t(row)]);
    } else {
        cell = ReferMeCell::initWithtDict(*dataArray_[size_t(row)], kItemIdentifier, me, row);
    }
    // The marked row shows what its voice does now: a stopped voice shows stopped.
    int state = 0;
    if (row == markedRow()) state = playerTimer_ ? ReferMeCell::kVoicePlaying : downloading_ ? ReferMeCell::kVoiceLoading : 0;
    cell->changeState(state);
    return cell;
}

std::shared_ptr<TableViewCell> ReferMeViewController::moreCell(TableView& tableView) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kMoreIdentifier);
    if (!cell) {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, kMoreIdentifier);
        cell->setBackgroundColor(Color::clear());
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    } else if (auto old = cell->contentView()->viewWithTag(kMoreViewTag)) {
        old->removeFromSuperview();
    }
    cell->contentView()->addSubview(moreView());
    return cell;
}

std::shared_ptr<View> ReferMeViewController::moreView() {
    const double W = Screen::mainScreen().bounds().width();
    auto box = std::make_shared<View>(Rect(5, 5, W - 10, 30));
    box->setTag(kMoreViewTag);
    box->setBackgroundColor(Color::whiteColor());
    box->setBorderWidth(0.5);
    box->setBorderColor(Color::rgb255(225, 225, 225));
    box->setCornerRadius(2);
    box->setClipsToBounds(true);
    auto label = std::make_shared<Label>(Rect(0, 0, 150, 30));
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::boldSystemFontOfSize(14));
    label->setTextColor(Color::gray());
    if (failed_) {
        label->setText(localized("加载失败,点击重新加载"));
        label->setFrame({W / 2 - 85, 0, 150, 30});
        auto weak = weakAs<ReferMeViewController>();
        box->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
            if (auto self = weak.lock()) self->getData();
        }));
    } else if (isMoring_) {
        label->setText(localized("更多..."));
        label->setFrame({W / 2 - 20, 0, 150, 30});
        MVTPublicMethod::showWaitAnimation(box, false);
    } else {
        label->setText(localized("没有更多了"));
        label->setFrame({W / 2 - 40, 0, 150, 30});
    }
    box->addSubview(label);
    return box;
}

double ReferMeViewController::builtRowHeight(TableView& tableView, const IndexPath& indexPath) {
    if (indexPath.row >= int(dataArray_.size())) return kMoreRowHeight;
    return cellForRowAtIndexPath(tableView, indexPath)->frame().height();
}

double ReferMeViewController::heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    return builtRowHeight(tableView, indexPath);
}

void ReferMeViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (indexPath.row != int(dataArray_.size()) || !isMoring_ || reloading_ || failed_) return;
    ++currentpage_;
    reloading_ = true;
    getData();
}

void ReferMeViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row >= int(dataArray_.size())) return;
    selectedRow_ = indexPath.row;
    getDetailFor(indexPath.row);
}

void ReferMeViewController::scrollViewDidScroll(ScrollView& scrollView) {
    ViewViewController::scrollViewDidScroll(scrollView);
    if (refreshHeaderView_ && &scrollView == mytableview_.get()) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void ReferMeViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_ && &scrollView == mytableview_.get())
        refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void ReferMeViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    currentpage_ = 1;
    reloadTableViewDataSource();
}

bool ReferMeViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) { return reloading_; }

void ReferMeViewController::reloadTableViewDataSource() {
    getData();
    reloading_ = true;
}

void ReferMeViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_)
        refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

// ---- Details

void ReferMeViewController::getDetailFor(int row) {
    if (row < 0 || row >= int(dataArray_.size())) return;
    const Json& item = *dataArray_[size_t(row)];
    openDetail(textOf(item, "commentModule"), textOf(item, "id"), kDetailTimeout, true);
}

void ReferMeViewController::openDetail(const std::string& module, const std::string& itemId,
                                       std::optional<double> timeout, bool withDelegate) {
    // Both name a path segment of the request: only plain names are asked for.
    if (!post::isPlainName(module) || !post::isPlainName(itemId)) return;
    auto request = serviceRequest("user/" + userId() + "/" + module + "/" + itemId + "/message", timeout);
    if (!request) {
        MVTPublicMethod::stopWaitAnimation(view());
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    view()->setUserInteractionEnabled(false);
    sendJson(
        std::move(*request),
        [module, itemId, withDelegate](ReferMeViewController& self, const Json& reply) {
            self.view()->setUserInteractionEnabled(true);
            if (!reply.is_object() || reply.empty()) return;
            self.selectdict_ = std::make_shared<Json>(reply);
            auto details = std::make_shared<MVTDetailsViewController>();
            details->setMyDict(self.selectdict_);
            details->setModelName(module);
            details->setModelID(itemId);
            if (withDelegate) details->setDelegate(self.weakAs<MVTDetailsViewControllerDelegate>().lock());
            if (auto* navigation = self.navigationController()) navigation->pushViewController(details, true);
        },
        [](ReferMeViewController& self) {
            self.view()->setUserInteractionEnabled(true);
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageBusy);
        });
}

void ReferMeViewController::reloadOneCell() {
    if (!selectdict_ || selectedRow_ < 0 || selectedRow_ >= int(dataArray_.size())) return;
    Json& item = *dataArray_[size_t(selectedRow_)];
    bool changed = false;
    for (const char* key : {"likeCount", "commentCount"}) {
        const std::string value = textOf(*selectdict_, key);
        if (textOf(item, key) != value) {
            item[key] = value;
            changed = true;
        }
    }
    if (changed && mytableview_) mytableview_->reloadRowsAtIndexPaths({{0, selectedRow_}}, TableViewRowAnimation::None);
}

void ReferMeViewController::deleteOneCell(int) {}

// ---- Praise

void ReferMeViewController::sendPraiseWith(Button& praiseButton) {
    const int row = praiseButton.tag();
    if (row < 0 || row >= int(dataArray_.size())) return;
    const std::string itemId = praiseButton.accessibilityHint();
    const std::string module = textOf(*dataArray_[size_t(row)], "commentModule");
    if (!post::isPlainName(module) || !post::isPlainName(itemId)) return;
    auto request = serviceRequest("user/" + userId() + "/" + module + "/" + itemId + "/praise");
    if (!request) return MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
    auto button = std::static_pointer_cast<Button>(praiseButton.shared_from_this());
    sendJson(
        std::move(*request),
        [button, itemId, module](ReferMeViewController& self, const Json& reply) {
            auto countLabel = std::dynamic_pointer_cast<Label>(button->viewWithTag(ReferMeCell::kPraiseCountTag));
            std::string text;
            if (reply.is_object() && integerValue(valueFor(reply, "success")) != 0) {
                text = std::to_string(integerValue(valueFor(reply, "count")));
            } else if (reply.is_object() && textOf(reply, "message") == localized("已经赞过了，不能再赞了")) {
                if (countLabel && integerValue(countLabel->text()) == 0) countLabel->setText("1");
                text = countLabel ? countLabel->text() : std::string("1");
            } else {
                return MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
            }
            if (countLabel) countLabel->setText(text);
            button->setUserInteractionEnabled(false);
            // Only a post has a cached copy in the feed table.
            if (module == "feed") MVTtirraDataBase::updateDynamicDataWithIDWithLikeCount(userId(), itemId, text);
            for (auto& item : self.dataArray_)
                if (post::hasId(*item, itemId) && textOf(*item, "commentModule") == module) {
                    (*item)["likeCount"] = text;
                    (*item)["love"] = "1";
                }
            if (auto icon = std::dynamic_pointer_cast<ImageView>(button->viewWithTag(ReferMeCell::kPraiseIconTag))) {
                icon->setImage(Image::imageNamed("liked.png"));
                feedlist::animateHeart(icon, {6, 8, 24, 24}, {10, 12, 16, 16});
            }
        },
        [](ReferMeViewController&) {
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
        });
}

// ---- People

void ReferMeViewController::chooseNamed(const Json& user) {
    if (textOf(user, "role") == "system") return;
    auto space = std::make_shared<MVTTimeSpaceViewController>();
    space->setUserDict(user);
    space->view()->setAccessibilityValue("push");
    if (auto* navigation = navigationController()) navigation->pushViewController(space, true);
}

// ---- Voice

int ReferMeViewController::markedRow() const { return mytableview_ ? mytableview_->tag() : 0; }

void ReferMeViewController::toDownLoadAudioWith(const std::string& resourceId, int row) {
    if (!post::isPlainName(resourceId)) return;
    if (playerTimer_) tostop();
    if (mytableview_) mytableview_->setTag(row);
    downloading_ = true;
    reloadCell();
    auto app = MVTAppDelegate::sharedAppDelegate();
    const std::string url =
        ServiceAddress::baseUrl() + "resource/" + resourceId + "/download?token=" + app->getTokenWith(resourceId);
    auto weak = weakAs<ReferMeViewController>();
    audioTokens_.push_back(
        NotificationCenter::defaultCenter().addObserver(resourceId, [weak, resourceId](const Notification& notification) {
            if (auto self = weak.lock()) self->didDownloadAudio(resourceId, textOf(notification.object));
        }));
    MVTAppDelegate::downloadVoice(url, post::voiceFile(resourceId), resourceId);
}

void ReferMeViewController::didDownloadAudio(const std::string& resourceId, const std::string& outcome) {
    if (outcome == "downloadSuccess" && downloading_) {
        if (feedlist::ensureWav(resourceId)) return playRecord(resourceId, markedRow());
        MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
    } else if (outcome == "downloadSuccess") {
        return;  // stopped meanwhile: the voice waits on disk for the next tap
    } else {
        MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
    }
    downloading_ = false;
    reloadCell();
}

void ReferMeViewController::playRecord(const std::optional<std::string>& resourceId, int row) {
    bool wasActive = false;
    if (playerTimer_ || downloading_) {
        tostop();
        wasActive = true;
    }
    if (!resourceId) return;
    if (row < 0 || row >= int(dataArray_.size()) || !post::isPlainName(*resourceId) || !feedlist::ensureWav(*resourceId))
        return;
    vedioStr_ = *resourceId;
    const std::string wav = post::wavFile(*resourceId);
    ProximitySensor::shared().setMonitoringEnabled(true);
    MVTAppDelegate::sharedAppDelegate()->toSetAudio(wav, feedlist::backgroundTrackOf(*dataArray_[size_t(row)]));
    auto player = AudioPlayer::open(wav);
    const double duration = player ? player->duration() : 0;
    auto weak = weakAs<ReferMeViewController>();
    playerTimer_ = RunLoop::main().performAfter(duration + 0.1, [weak] {
        if (auto self = weak.lock()) self->tostop();
    });
    feedlist::setAudioRoute();
    if (mytableview_) mytableview_->setTag(row);
    if (wasActive) reloadCell();
}

void ReferMeViewController::tostop() {
    if (playerTimer_ || downloading_) {
        downloading_ = false;
        if (playerTimer_) playerTimer_->invalidate();
        playerTimer_.reset();
    }
    ProximitySensor::shared().setMonitoringEnabled(false);
    MVTAppDelegate::sharedAppDelegate()->stopPlayAudio();
    reloadCell();
}

void ReferMeViewController::reloadCell() {
    const int row = markedRow();
    if (mytableview_ && row >= 0 && row < int(dataArray_.size()))
        mytableview_->reloadRowsAtIndexPaths({{0, row}}, TableViewRowAnimation::None);
}

void ReferMeViewController::playAgain() {
    if (playerTimer_) playRecord(vedioStr_, markedRow());
}
