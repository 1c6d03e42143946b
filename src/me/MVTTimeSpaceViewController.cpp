#include "me/MVTTimeSpaceViewController.h"

#include "me/MVTChageBgImageViewController.h"
#include "me/MVTPersonDetailViewController.h"
#include "me/MVTPrivacySettingViewController.h"
#include "me/SpaceShared.h"

#include "feed/PostRecord.h"

#include "account/MVTInterClassViewController.h"
#include "details/MVTDetailsViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/CMOpenALSoundManager.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/HttpEngine.h"
#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/UrlRequest.h"
#include "platform/UserDefaults.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

#include <cstdio>

using namespace platform;

namespace {

constexpr std::size_t kCoverByteLimit = 8u * 1024 * 1024;

std::string pageText(int page) { return std::to_string(page); }

// The posts of a page: its dictionaries. Anything else in the list is no post, and a list
// without any counts as a page that brought nothing.
std::vector<Json> postsOf(const Json& list) {
    std::vector<Json> posts;
    if (!list.is_array()) return posts;
    for (const auto& entry : list)
        if (entry.is_object()) posts.push_back(entry);
    return posts;
}

}  // namespace

MVTTimeSpaceViewController::MVTTimeSpaceViewController() = default;
MVTTimeSpaceViewController::~MVTTimeSpaceViewController() = default;

std::string MVTTimeSpaceViewController::coverVersionKey(const std::string& ownerId) { return ownerId + "_spaceBGDateLine"; }

std::string MVTTimeSpaceViewController::coverFile(const std::string& ownerId) {
    return MVTPublicMethod::getPathByFileName(ownerId + "_backGround", "png");
}

std::string MVTTimeSpaceViewController::ownerId() const { return textOf(userDict_, "id"); }

bool MVTTimeSpaceViewController::isOwnSpace() const {
    const std::string owner = userDict_.contains("uid") ? textOf(userDict_, "uid") : ownerId();
    return owner == space::currentUserId();
}

// ---- Loading and appearance

void MVTTimeSpaceViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    view()->setBackgroundColor(Color::white(0.961));
    StatisticsKit::shared().beginLogPageView(kPageName);
    const Rect screen = Screen::mainScreen().bounds();
    const double W = screen.width();
    tableView_ = myTableView::make({0, 0, W, screen.height() - 44 - 20}, TableViewStyle::Plain);
    tableView_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    tableView_->setShowsVerticalScrollIndicator(false);
    tableView_->setBackgroundColor(Color::clear());
    auto self = std::static_pointer_cast<MVTTimeSpaceViewController>(shared_from_this());
    tableView_->setDataSource(self);
    tableView_->setDelegate(self);
    view()->addSubview(tableView_);

    headView_ = MVTPathView::make(ownerId(), false);
    headView_->setDelegate(self);
    tableView_->setTableHeaderView(headView_);
    headView_->setAvatorName(textOf(userDict_, "name"));
    headView_->setAvatorImage(ownerId(), textOf(userDict_, "role"));
    // The cover kept for this owner shows until the service says it changed.
    if (auto bytes = readFile(coverFile(ownerId())); bytes && !bytes->empty()) headView_->setBgImage(*bytes);

    footerView_ = std::make_shared<View>(Rect(0, 0, W, 60));
    footerView_->setBackgroundColor(Color::clear());
    loadMoreButton_ = Button::buttonWithType(ButtonType::Custom);
    loadMoreButton_->setFrame({5, 5, W - 10, 50});
    loadMoreButton_->setBackgroundColor(Color::clear());
    loadMoreButton_->setTitleColor(Color::darkGray());
    loadMoreButton_->titleLabel()->setFont(Font::systemFontOfSize(16));
    std::weak_ptr<MVTTimeSpaceViewController> weak = self;
    loadMoreButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto screen = weak.lock()) screen->loadMore();
    });
    auto spinner = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::Gray);
    spinner->setFrame({210, 0, 50, 50});
    spinner->setTag(kFooterSpinnerTag);
    loadMoreButton_->addSubview(spinner);
    footerView_->addSubview(loadMoreButton_);
    auto rule = std::make_shared<View>(Rect(5, 0, W - 10, 0.5));
    rule->setBackgroundColor(Color::white(0.882));
    footerView_->addSubview(rule);
    tableView_->setTableFooterView(footerView_);
    setFooterState(FooterState::Active);
    loadMoreButton_->setHidden(true);

    currentPage_ = 1;
    refreshTimeline();
    stopToken_ = NotificationCenter::defaultCenter().addObserver(kToStopHomeAudioPlay, [weak](const Notification&) {
        if (auto screen = weak.lock()) screen->toStopHomeAudioPlay();
    });
}

void MVTTimeSpaceViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (isScanBackGround_) {
        setTitle(localized("背景预览"));
        headView_->setBgImage(imageData_);
    } else {
        headView_->setBackgroundColor(Color::rgb255(24, 33, 43));
        setTitle(localized("个人动态"));
    }
    rebuildNavigationBar();
    // The first appearance also stops the first load's spinner; the request runs on.
    headView_->stopAnimate();
    showConfirmBar(isScanBackGround_);
}

void MVTTimeSpaceViewController::viewDidAppear(bool animated) {
    ViewViewController::viewDidAppear(animated);
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->setNowPage(MVTAppDelegate::VoicePageTimeLine);
    std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
    proximityToken_ =
        NotificationCenter::defaultCenter().addObserver(kProximityStateDidChangeNotification, [weak](const Notification&) {
            if (auto screen = weak.lock()) screen->playAgain();
        });
}

void MVTTimeSpaceViewController::viewDidDisappear(bool animated) {
    ViewViewController::viewDidDisappear(animated);
    if (downloading_)
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->stopPlayAudio();
    proximityToken_ = {};
}

void MVTTimeSpaceViewController::rebuildNavigationBar() {
    auto back = MVTPublicMethod::navigationleftBarButton();
    std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto screen = weak.lock()) screen->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    if (isScanBackGround_) {
        navigationItem().setRightBarButtonItem(nullptr);
    } else if (isOwnSpace() && space::currentRole() != "parent") {
        auto settings = MVTPublicMethod::navigationrightBarButtonWithImage("person_setting");
        settings->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto screen = weak.lock()) screen->gotoSetting();
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(settings));
    }
}

void MVTTimeSpaceViewController::showConfirmBar(bool show) {
    if (!show) {
        if (confirmBar_) confirmBar_->removeFromSuperview();
        return;
    }
    if (!confirmBar_) {
        const Rect screen = Screen::mainScreen().bounds();
        confirmBar_ = std::make_shared<View>(Rect(0, screen.height() - 104, screen.width(), 40));
        confirmBar_->setBackgroundColor(Color::white(0.961));
        const Color rule = Color::rgb255(217, 222, 216);
        auto top = std::make_shared<View>(Rect(0, 0, screen.width(), 1));
        top->setBackgroundColor(rule);
        confirmBar_->addSubview(top);
        auto middle = std::make_shared<View>(Rect(159.5, 0, 1, 40));
        middle->setBackgroundColor(rule);
        confirmBar_->addSubview(middle);
        std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
        auto button = [&](const char* title, const Rect& frame, bool confirm) {
            auto b = Button::buttonWithType(ButtonType::Custom);
            b->setFrame(frame);
            b->setTitle(localized(title));
            b->setTitleColor(Color::black());
            b->addTarget(ControlEventTouchUpInside, [weak, confirm](Control&) {
                auto screen = weak.lock();
                if (!screen) return;
                if (confirm) screen->confirmCoverChange();
                else screen->cancelCoverChange();
            });
            confirmBar_->addSubview(b);
        };
        button("取消", {0, 1, 159, 39}, false);
        button("确定", {160, 1, 161, 39}, true);
    }
    view()->addSubview(confirmBar_);
}

void MVTTimeSpaceViewController::showHUD(bool show) { space::showOverlay(HUD_, view(), show); }

// ---- The timeline

void MVTTimeSpaceViewController::setFooterState(FooterState state) {
    auto spinner = std::dynamic_pointer_cast<ActivityIndicatorView>(loadMoreButton_->viewWithTag(kFooterSpinnerTag));
    const bool loading = state == FooterState::Loading;
    if (spinner) {
        if (loading) spinner->startAnimating();
        else spinner->stopAnimating();
        spinner->setHidden(!loading);
    }
    loadMoreButton_->setTitle(localized(state == FooterState::Active      ? "点击加载更多"
                                        : state == FooterState::AllLoaded ? "已经加载全部"
                                                                          : "加载中..."));
    loadMoreButton_->setEnabled(state == FooterState::Active);
}

void MVTTimeSpaceViewController::refreshTimeline() {
    if (isLoading_ || isScanBackGround_) {
        headView_->stopAnimate();
        return;
    }
    isLoading_ = true;
    headView_->startAnimate();
    std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
    const bool sent = space::sendJson(
        "GET", "user/" + space::currentUserId() + "/space/" + ownerId() + "/feed/list",
        Json{{"limit", std::to_string(kPageSize)}, {"page", pageText(currentPage_)}},
        [weak](const Json& reply) {
            if (auto screen = weak.lock()) screen->handleRefreshReply(reply);
        },
        [weak] {
            auto screen = weak.lock();
            if (!screen) return;
            screen->headView_->stopAnimate();
            MVTPublicMethod::showMessage(localized("刷新失败，请重试"), screen->view());
            screen->isLoading_ = false;
        });
    if (!sent) {
        headView_->stopAnimate();
        isLoading_ = false;
    }
}

void MVTTimeSpaceViewController::handleRefreshReply(const Json& reply) {
    headView_->stopAnimate();
    // Anything but a dictionary is a reply the service did not mean: the posts stay.
    if (!reply.is_object()) {
        MVTPublicMethod::showMessage(localized("刷新失败，请重试"), view());
        isLoading_ = false;
        return;
    }
    const bool hasInfo = reply.contains("spaceInfo");
    if (hasInfo && reply.contains("feedError")) {
        dataArray_.clear();
        tableView_->reloadData();
        headView_->setHiddenOrShow(false);
        MVTPublicMethod::showMessage(localized("无权限访问该用户信息"), view());
        return;  // isLoading_ stays set: this space sends nothing more
    }
    if (hasInfo) {
        const Json& info = reply["spaceInfo"];
        compareCoverVersion(valueFor(info, "dateline"));
        essayCount_ = std::to_string(intValue(Json(textOf(info, "essayCount"))));
        viewCount_ = std::to_string(intValue(Json(textOf(info, "viewCount"))));
        status_ = valueFor(info, "status");
        headView_->setDetail(status_.is_string() ? status_ : Json(), essayCount_, viewCount_);
        const Json& friendStatus = valueFor(info, "friendStatus");
        if (!isOwnSpace() && space::currentRole() != "parent" && textOf(info, "role") != "parent" &&
            friendStatus.is_null() && info.is_object() && info.contains("friendStatus")) {
            auto holder = std::make_shared<View>(Rect(0, 0, 44, 44));
            holder->setBackgroundColor(Color::clear());
            addFriendButton_ = Button::buttonWithType(ButtonType::Custom);
            addFriendButton_->setFrame({8, 0, 44, 44});
            addFriendButton_->setImage(Image::imageNamed("add_nor_org"));
            addFriendButton_->setImageEdgeInsets({10, 10, 10, 10});
            std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
            addFriendButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
                if (auto screen = weak.lock()) screen->addFriend();
            });
            holder->addSubview(addFriendButton_);
            navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(holder));
        }
    }
    const Json& list = valueFor(reply, "list");
    std::vector<Json> page = postsOf(list);
    if (!page.empty()) {
        isHaveMore_ = list.size() >= std::size_t(kPageSize);
        setFooterState(isHaveMore_ ? FooterState::Active : FooterState::AllLoaded);
        dataArray_ = std::move(page);
        currentPage_ += 1;
        tableView_->reloadData();
    } else if (space::succeeded(reply)) {
        MVTPublicMethod::showMessage(localized("没有新的动态了"), view());
    } else {
        MVTPublicMethod::showMessage(textOf(reply, "message"), view());
    }
    isLoading_ = false;
}

void MVTTimeSpaceViewController::loadMore() {
    if (isScanBackGround_ || isMoring_) return;
    isMoring_ = true;
    setFooterState(FooterState::Loading);
    std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
    const bool sent = space::sendJson(
        "GET", "user/" + space::currentUserId() + "/space/" + ownerId() + "/feed/list",
        Json{{"limit", std::to_string(kPageSize)}, {"page", pageText(currentPage_)}},
        [weak](const Json& reply) {
            if (auto screen = weak.lock()) screen->handleMoreReply(reply);
        },
        [weak] {
            auto screen = weak.lock();
            if (!screen) return;
            screen->isMoring_ = false;
            screen->setFooterState(FooterState::Active);
            MVTPublicMethod::showMessage(localized("加载失败，请重试"), screen->view());
        });
    if (!sent) {
        isMoring_ = false;
        setFooterState(FooterState::Active);
    }
}

void MVTTimeSpaceViewController::handleMoreReply(const Json& reply) {
    isMoring_ = false;
    const Json& list = valueFor(reply, "list");
    std::vector<Json> page = postsOf(list);
    if (!page.empty()) {
        currentPage_ += 1;
        isHaveMore_ = list.size() >= std::size_t(kPageSize);
        setFooterState(isHaveMore_ ? FooterState::Active : FooterState::AllLoaded);
        for (auto& entry : page) dataArray_.push_back(std::move(entry));
        tableView_->reloadData();
    } else {
        isHaveMore_ = false;
        setFooterState(FooterState::AllLoaded);
        MVTPublicMethod::showMessage(localized("没有更多了"), view());
    }
}

// ---- Cover

void MVTTimeSpaceViewController::compareCoverVersion(const Json& dateline) {
    if (dateline.is_discarded() || dateline.is_null()) return;
    char text[32];
    std::snprintf(text, sizeof text, "%lld", integerValue(textOf(dateline)));
    const std::string version = text;
    const Json stored = UserDefaults::standard().objectForKey(coverVersionKey(ownerId()));
    // A cover kept for this version needs no fetch; the header already shows it.
    if (!MVTPublicMethod::stringIsClassNull(stored) && textOf(stored) == version &&
        MVTPublicMethod::fileExistsAtPath(coverFile(ownerId())))
        return;
    fetchCover(version);
}

// The cover is fetched off the main thread; the file is written whole, and only then is
// the version stored, so a version never names a cover that is not kept.
void MVTTimeSpaceViewController::fetchCover(const std::string& version) {
    const std::string owner = ownerId();
    // The owner id names the cover file: anything but a plain name is not fetched.
    if (!post::isPlainName(owner)) return;
    const std::string url = ServiceAddress::baseUrl() + "space/" + owner + "/frontcover";
    const std::string file = coverFile(owner);
    std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
    dispatchBackground([weak, url, file, owner, version] {
        HttpResponse response = HttpEngine::shared().fetch(UrlRequest(url), kCoverByteLimit);
        ImageRef image = response.ok() ? Image::imageWithData(response.body) : nullptr;
        if (!image || !writeFileAtomically(file, response.body)) return;
        dispatchMain([weak, image, owner, version] {
            UserDefaults::standard().setString(coverVersionKey(owner), version);
            UserDefaults::standard().synchronize();
            if (auto screen = weak.lock())
                if (!screen->isScanBackGround_) screen->headView_->setBgImage(image);
        });
    });
}

void MVTTimeSpaceViewController::goToChageBgImage() {
    if (isScanBackGround_ || !isOwnSpace()) return;
    auto sheet = ActionSheet::make("", weakAs<MVTTimeSpaceViewController>(), localized("取消"), "",
                                   {localized("更换背景")});
    sheet->setTag(kCoverSheetTag);
    sheet->showInView(view().get());
}

void MVTTimeSpaceViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() != kCoverSheetTag) return ViewViewController::actionSheetClickedButtonAtIndex(sheet, index);
    if (index != sheet.firstOtherButtonIndex()) return;
    if (!chooser_) chooser_ = std::make_shared<MVTChageBgImageViewController>();
    if (auto* navigation = navigationController()) navigation->pushViewController(chooser_, true);
}

void MVTTimeSpaceViewController::cancelCoverChange() {
    if (!chooser_) chooser_ = std::make_shared<MVTChageBgImageViewController>();
    if (auto* navigation = navigationController()) navigation->pushViewController(chooser_, false);
}

void MVTTimeSpaceViewController::confirmCoverChange() {
    const std::string me = space::currentUserId();
    const std::string url = space::serviceUrl("user/" + me + "/cover/upload");
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    UrlRequest request = client->multipartFormRequestWithMethod("POST", url, Json{{"front", imageId_}}, {});
    request.setTimeoutInterval(kCoverUploadTimeout);
    showHUD(true);
    HUD_->setLabelText(localized("正在更换空间背景"));
    std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
    auto operation = client->HTTPRequestOperationWithRequest(
        std::move(request),
        [weak, me](HttpRequestOperation&, const std::string& body) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->showHUD(false);
            // A JSON answer with a false "success" is a refusal, never a cover version.
            const Json parsed = Json::parse(body, nullptr, false);
            if (parsed.is_object() && parsed.contains("success") && !space::succeeded(parsed)) {
                AlertView::make(localized("提示"), "更换空间背景失败,请重新更改", {}, "确定")->show();
                return;
            }
            UserDefaults::standard().setString(coverVersionKey(me), body);
            UserDefaults::standard().synchronize();
            writeFileAtomically(coverFile(screen->ownerId()), screen->imageData_);
            screen->setTitle(localized("个人空间"));
            screen->isScanBackGround_ = false;
            screen->headView_->setBgImage(screen->imageData_);
            screen->rebuildNavigationBar();
            screen->showConfirmBar(false);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->showHUD(false);
            AlertView::make(localized("提示"), "更换空间背景失败,请重新更改", {}, "确定")->show();
        });
    operation->start();
}

// ---- Friend application

void MVTTimeSpaceViewController::addFriend() {
    if (MVTPublicMethod::isUnClassId()) {
        MVTInterClassViewController::showJoinClassAlert(weakAs<MVTTimeSpaceViewController>());
        return;
    }
    space::showApplyAlert(weakAs<MVTTimeSpaceViewController>(), false, "");
}

void MVTTimeSpaceViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (MVTInterClassViewController::answerJoinClassAlert(*this, alert, index)) return;
    if (alert.tag() != kApplyAlertTag || index != 1) return;
    const std::string text = space::applyAlertText(alert);
    if (!space::applyTextFits(text)) {
        space::showApplyAlert(weakAs<MVTTimeSpaceViewController>(), true, text);
        return;
    }
    sendFriendApplication(text);
}

void MVTTimeSpaceViewController::sendFriendApplication(const std::string& script) {
    showHUD(true);
    std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
    const bool sent = space::sendJson(
        "POST", space::currentUserId() + "/friend/" + ownerId() + "/apply", Json{{"script", script}},
        [weak](const Json& reply) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->showHUD(false);
            // A refusal is not reported as a sent application.
            if (reply.is_object() && reply.contains("success") && !space::succeeded(reply)) {
                AlertView::make(localized("提示"), localized("请求添加好友失败"), {}, localized("确定"))->show();
                return;
            }
            MVTPublicMethod::showMessage(localized("好友申请成功"), screen->view());
            screen->navigationItem().setRightBarButtonItem(nullptr);
            screen->addFriendButton_.reset();
        },
        [weak] {
            auto screen = weak.lock();
            if (!screen) return;
            screen->showHUD(false);
            AlertView::make(localized("提示"), localized("请求添加好友失败"), {}, localized("确定"))->show();
        });
    if (!sent) showHUD(false);
}

// ---- Navigation

bool MVTTimeSpaceViewController::performResponderAction(const std::string& action) {
    if (action != MVTPathView::kAvatarAction) return false;
    goToPersonDetail();
    return true;
}

void MVTTimeSpaceViewController::goToPersonDetail() {
    if (isScanBackGround_) return;
    playRecord(std::nullopt, 0);
    auto* navigation = navigationController();
    if (view()->accessibilityHint() == "personalDetail") {
        if (navigation) navigation->popViewController(true);
        return;
    }
    Json user = userDict_;
    if (!user.contains("uid")) user["uid"] = valueFor(userDict_, "id");
    auto profile = std::make_shared<MVTPersonDetailViewController>();
    profile->setUserDict(user);
    profile->view()->setAccessibilityValue("push");
    profile->view()->setAccessibilityHint("timeSpace");
    if (navigation) navigation->pushViewController(profile, true);
}

void MVTTimeSpaceViewController::gotoSetting() {
    playRecord(std::nullopt, 0);
    auto privacy = std::make_shared<MVTPrivacySettingViewController>();
    privacy->view()->setAccessibilityHint("personalSpace");
    if (auto* navigation = navigationController()) navigation->pushViewController(privacy, true);
}

void MVTTimeSpaceViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    if (isScanBackGround_) {
        cancelCoverChange();
        return;
    }
    playRecord(std::nullopt, 0);
    if (view()->accessibilityValue() == "push") {
        if (auto* navigation = navigationController()) navigation->popViewController(true);
        return;
    }
    dismissViewController(false);
}

// ---- Table

std::optional<Json> MVTTimeSpaceViewController::previousDateline(int row) const {
    if (row <= 0 || row > int(dataArray_.size())) return std::nullopt;
    return valueFor(dataArray_[std::size_t(row - 1)], "dateline");
}

int MVTTimeSpaceViewController::numberOfRowsInSection(TableView&, int) {
    loadMoreButton_->setHidden(dataArray_.empty());
    return int(dataArray_.size());
}

std::shared_ptr<TableViewCell> MVTTimeSpaceViewController::cellForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const int row = indexPath.row;
    if (row < 0 || row >= int(dataArray_.size())) return std::make_shared<TableViewCell>();
    return MVTTimeSpaceCell::make(dataArray_[std::size_t(row)], previousDateline(row), row,
                                  weakAs<MVTTimeSpaceViewController>());
}

double MVTTimeSpaceViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const int row = indexPath.row;
    if (row < 0 || row >= int(dataArray_.size())) return 0;
    return MVTTimeSpaceCell::make(dataArray_[std::size_t(row)], previousDateline(row), row)->frame().height();
}

std::string MVTTimeSpaceViewController::heightKeyForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const int row = indexPath.row;
    if (row < 0 || row >= int(dataArray_.size())) return {};
    const auto previous = previousDateline(row);
    return dataArray_[std::size_t(row)].dump() + "|" + (previous ? textOf(*previous) : std::string("-"));
}

void MVTTimeSpaceViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (indexPath.row == int(dataArray_.size()) - 1 && !isMoring_ && isHaveMore_) loadMore();
}

void MVTTimeSpaceViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const int row = indexPath.row;
    if (isScanBackGround_ || row < 0 || row >= int(dataArray_.size())) return;
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->setNowPage(MVTAppDelegate::VoicePageDetails);
    auto record = std::make_shared<Json>(dataArray_[std::size_t(row)]);
    (*record)["uid"] = valueFor(userDict_, "id");
    (*record)["role"] = valueFor(userDict_, "role");
    (*record)["name"] = valueFor(userDict_, "name");
    auto details = std::make_shared<MVTDetailsViewController>();
    details->setMyDict(record);
    details->setModelName("feed");
    details->setModelID(textOf(*record, "id"));
    details->setSelfIndexStr(std::to_string(row));
    details->view()->setTag(kDetailViewTag);
    details->view()->setAccessibilityHint("feed");
    if (auto* navigation = navigationController()) navigation->pushViewController(details, true);
}

void MVTTimeSpaceViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) return ViewViewController::scrollViewDidScroll(scrollView);
    headView_->setOffsetY(scrollView.contentOffset().y);
}

void MVTTimeSpaceViewController::scrollViewWillBeginDragging(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) return;
    headView_->scrollViewWillBeginDragging();
}

void MVTTimeSpaceViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (scrollView.tag() == kPagingViewTag) return;
    headView_->scrollViewDidEndDragging();
}

void MVTTimeSpaceViewController::scrollViewDidEndDecelerating(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) return;
    if (headView_->refresh() && !headView_->isLoading()) {
        currentPage_ = 1;
        refreshTimeline();
    }
}
