// The school circle's frame and list: the first page when the home makes the screen,
// pages on from the load-more row, refreshes from the pull-to-refresh header, all from the
// service with the filter "square:school" and nothing from or into the feed cache.

#include "feed/MVTSquareViewController.h"

#include "feed/FeedListParts.h"
#include "feed/MVTHomeViewController.h"
#include "feed/MVTPersonCell.h"
#include "feed/PostRecord.h"

#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <unordered_map>

using namespace platform;

namespace {

const Color kSquareRowGrey = Color::white(0.961);
// Replies of the list above this size fail (a page of posts is a few kB).
constexpr std::size_t kSquareMaxReplyBytes = 8u * 1024 * 1024;

// The posts of a reply that can be listed: dictionaries only; anything but a list is none.
std::vector<std::shared_ptr<Json>> squarePostsOf(const Json& reply) {
    std::vector<std::shared_ptr<Json>> posts;
    if (!reply.is_array()) return posts;
    for (const auto& entry : reply)
        if (entry.is_object()) posts.push_back(std::make_shared<Json>(entry));
    return posts;
}

}  // namespace

MVTSquareViewController::MVTSquareViewController() = default;
MVTSquareViewController::~MVTSquareViewController() = default;

std::string MVTSquareViewController::userId() { return MVTAccount::sharedInstance().userId().value_or(""); }

void MVTSquareViewController::banner(int kind) { MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(kind); }

void MVTSquareViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView("广场");
    oldUserId_ = integerValue(userId());
    if (Screen::systemVersion() >= 7) setEdgesForExtendedLayout(RectEdgeNone);
    removeSquareNoti();
    observeNotifications();
    MVTPublicMethod::showWaitAnimation(view(), true);
    isLoading_ = true;
    squareArray_.clear();
    initSquareTable();
    getData();
}

void MVTSquareViewController::removeSquareNoti() { observers_.clear(); }

void MVTSquareViewController::observeNotifications() {
    auto weak = weakAs<MVTSquareViewController>();
    auto& center = NotificationCenter::defaultCenter();
    auto on = [&](const char* name, std::function<void(MVTSquareViewController&, const Notification&)> handler) {
        observers_.push_back(center.addObserver(name, [weak, handler](const Notification& notification) {
            if (auto self = weak.lock()) handler(*self, notification);
        }));
    };
    on(kToStopSquareAudioPlay, [](MVTSquareViewController& self, const Notification&) { self.toStopSquareAudioPlay(); });
    on(MVTAppDelegate::kToShowSquareProgress,
       [](MVTSquareViewController& self, const Notification& n) { self.toShowSquareProgress(n); });
    on(kShowSquareSelectedWhichWithNotification,
       [](MVTSquareViewController& self, const Notification& n) { self.showSquareSelectedWhichWith(n); });
    on(kSynchronousDeleteFormSquare,
       [](MVTSquareViewController& self, const Notification& n) { self.synchronousDeleteFormSquare(n); });
    on(kCommentFormSquareNotification,
       [](MVTSquareViewController& self, const Notification& n) { self.commentFormSquare(n); });
}

void MVTSquareViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController());
    if (!tabs)
        if (auto home = delegate()) tabs = dynamic_cast<MyTabBarController*>(home->tabBarController());
    if (tabs) {
        tabs->hiddenTabBar(false);
        if (const long index = long(tabs->selectedIndex()); index != 0) {
            StatisticsKit::shared().endLogPageView(index == 1 ? "消息" : index == 2 ? "应用" : "我");
            StatisticsKit::shared().beginLogPageView("广场");
        }
    }
    auto weak = weakAs<MVTSquareViewController>();
    proximityToken_ = NotificationCenter::defaultCenter().addObserver(kProximityStateDidChangeNotification,
                                                                       [weak](const Notification&) {
                                                                           if (auto self = weak.lock()) self->playAgain();
                                                                       });
    const long long currentUser = integerValue(userId());
    if (oldUserId_ != currentUser) {
        if (tabs) tabs->addMyitems();
        squareArray_.clear();
        isLoading_ = true;
        MVTPublicMethod::showWaitAnimation(view(), true);
        initSquareTable();
        getNewData();
        oldUserId_ = currentUser;
    }
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty() && app->nowPlayPage() == MVTAppDelegate::VoicePageDetails &&
        !indexPathsArr_.empty() && isNewPlay_) {
        setVoiceRow(indexPathsArr_.front());
        startCellAudioPlay();
    }
    isNewPlay_ = false;
}

void MVTSquareViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    if (downloading_) MVTAppDelegate::sharedAppDelegate()->stopPlayAudio();
    proximityToken_.reset();
}

// ---- Requests

void MVTSquareViewController::sendJson(UrlRequest request,
                                       std::function<void(MVTSquareViewController&, const Json&)> success,
                                       std::function<void(MVTSquareViewController&)> failure) {
    auto weak = weakAs<MVTSquareViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(request),
        [weak, success](HttpJsonRequestOperation&, const Json& reply) {
            if (auto self = weak.lock()) success(*self, reply);
        },
        [weak, failure](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) failure(*self);
        });
    operation->setMaxResponseBytes(kSquareMaxReplyBytes);
    operation->start();
}

std::optional<UrlRequest> MVTSquareViewController::listRequest(Json parameters) const {
    parameters["limit"] = std::to_string(kPageSize);
    parameters["filter"] = kFilter;
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "feed/" + userId() + "/list/1", parameters);
    if (request) request->setTimeoutInterval(kListTimeout);
    return request;
}

void MVTSquareViewController::changeReloadDynamic(bool armed) {
    auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController());
    if (!tabs)
        if (auto home = delegate()) tabs = dynamic_cast<MyTabBarController*>(home->tabBarController());
    if (tabs) tabs->changeReloadDynamicAndNewsBtnWith(0, armed);
}

void MVTSquareViewController::scheduleDone(double delay) {
    auto weak = weakAs<MVTSquareViewController>();
    RunLoop::main().performAfter(delay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTSquareViewController::listImpossible() {
    isLoading_ = false;
    isFalse_ = true;
    initSquareTable();
    MVTPublicMethod::stopWaitAnimation(view());
    banner(MVTAppDelegate::NetworkMessageNoNetwork);
}

// ---- Pages

void MVTSquareViewController::getData() {
    changeReloadDynamic(false);
    if (isLoading_) squareTableGetData();
}

void MVTSquareViewController::squareTableGetData() {
    Json parameters = Json::object();
    if (!squareArray_.empty()) parameters["maxIdNotIncludeSelf"] = textOf(*squareArray_.back(), "id");
    auto request = listRequest(parameters);
    if (!request) return listImpossible();
    sendJson(
        std::move(*request),
        [](MVTSquareViewController& self, const Json& reply) {
            auto posts = squarePostsOf(reply);
            if (!posts.empty()) {
                self.isLoading_ = true;
                for (auto& record : posts) self.squareArray_.push_back(std::move(record));
            } else {
                if (self.squareArray_.empty()) banner(MVTAppDelegate::NetworkMessageNoData);
                self.isLoading_ = false;
            }
            self.isFalse_ = false;
            self.scheduleDone(0);
            self.initSquareTable();
        },
        [](MVTSquareViewController& self) {
            self.isLoading_ = false;
            self.isFalse_ = true;
            banner(MVTAppDelegate::NetworkMessageFailed);
            self.initSquareTable();
            self.scheduleDone(0.5);
        });
}

void MVTSquareViewController::againGetListData() {
    isLoading_ = true;
    isMoring_ = true;
    isFalse_ = false;
    getData();
}

// ---- Refresh

void MVTSquareViewController::reloadTableViewDataSource() {
    if (squareArray_.empty()) {
        isLoading_ = true;
        getData();
    } else {
        reloadNewData();
    }
    reloading_ = true;
}

void MVTSquareViewController::reloadNewData() {
    changeReloadDynamic(false);
    squareReloadNewData();
}

void MVTSquareViewController::squareReloadNewData() {
    if (squareArray_.empty()) return;
    auto request = listRequest({{"minIdNotIncludeSelf", textOf(*squareArray_.front(), "id")}});
    if (!request) return listImpossible();
    sendJson(
        std::move(*request),
        [](MVTSquareViewController& self, const Json& reply) {
            auto posts = squarePostsOf(reply);
            if (!posts.empty()) {
                const std::string text = localized("发现") + " " + std::to_string(posts.size()) + " " +
                                         localized("条") + localized("动态");
                // A post already listed (by id) takes its new counts in place; the others
                // go to the top in the reply's order. The listed posts are looked up by id
                // once, not walked for every post of the reply; the first with an id counts.
                std::unordered_map<std::string, std::shared_ptr<Json>> listed;
                for (const auto& record : self.squareArray_)
                    if (const Json& id = valueFor(*record, "id"); !id.is_discarded()) listed.emplace(textOf(id), record);
                for (auto it = posts.rbegin(); it != posts.rend(); ++it) {
                    const Json& id = valueFor(**it, "id");
                    auto found = id.is_discarded() ? listed.end() : listed.find(textOf(id));
                    if (found != listed.end()) {
                        *found->second = **it;
                        continue;
                    }
                    self.squareArray_.insert(self.squareArray_.begin(), *it);
                    if (!id.is_discarded()) listed[textOf(id)] = *it;
                }
                self.isLoading_ = !self.squareArray_.empty();
                self.showReloadNews(text);
            }
            if (auto* tabs = dynamic_cast<MyTabBarController*>(self.tabBarController())) tabs->cleanNewMarks(0);
            else if (auto home = self.delegate())
                if (auto* homeTabs = dynamic_cast<MyTabBarController*>(home->tabBarController()))
                    homeTabs->cleanNewMarks(0);
            self.scheduleDone(0);
            if (!posts.empty()) self.initSquareTable();
            else self.reloadNullTableView();
        },
        [](MVTSquareViewController& self) {
            self.isLoading_ = false;
            self.isFalse_ = true;
            banner(MVTAppDelegate::NetworkMessageFailed);
            self.scheduleDone(0);
            self.initSquareTable();
        });
}

void MVTSquareViewController::getNewData() {
    if (!squareTable_) return;
    squareTable_->setContentOffset({0, -60}, true);
    if (squareHeaderView_) {
        squareHeaderView_->egoRefreshScrollViewFirst(*squareTable_);
        egoRefreshTableHeaderDidTriggerRefresh(*squareHeaderView_);
    } else {
        reloadTableViewDataSource();
    }
}

void MVTSquareViewController::toGetNewData() {
    auto weak = weakAs<MVTSquareViewController>();
    RunLoop::main().performAfter(1.0, [weak] {
        if (auto self = weak.lock()) self->getNewData();
    });
}

void MVTSquareViewController::willToReload() {
    auto weak = weakAs<MVTSquareViewController>();
    RunLoop::main().performAfter(1.0, [weak] {
        if (auto self = weak.lock()) self->ToReload();
    });
}

void MVTSquareViewController::ToReload() {
    isLoading_ = true;
    if (!squareArray_.empty()) reloadNewData();
    else getData();
}

void MVTSquareViewController::showReloadNews(const std::string& text) {
    feedlist::showReloadNews(showCountLa_, *view(), text);
}

void MVTSquareViewController::initSquareTable() {
    if (squareTable_) {
        squareTable_->reloadData();
        auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController());
        if (!tabs)
            if (auto home = delegate()) tabs = dynamic_cast<MyTabBarController*>(home->tabBarController());
        if (tabs && integerValue(valueFor(tabs->unreadDic(), "newFeed")) != 0) tabs->NewMarks(false);
    } else {
        const double W = view()->bounds().width();
        const double H = Screen::mainScreen().bounds().height() - kTableChrome;
        squareTable_ = myTableView::make({0, 0, W, H}, TableViewStyle::Plain);
        squareTable_->setBackgroundColor(Color::clear());
        squareTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        squareTable_->setBackgroundView(nullptr);
        squareTable_->setDataSource(weakAs<TableViewDataSource>().lock());
        squareTable_->setDelegate(weakAs<TableViewDelegate>().lock());
        squareTable_->setAccessibilityValue("学校圈");
        view()->addSubview(squareTable_);
        squareHeaderView_ = std::make_shared<EGORefreshTableHeaderView>();
        squareHeaderView_->initWithFrame({0, -H, W, H});
        squareHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        squareTable_->addSubview(squareHeaderView_);
        squareHeaderView_->refreshLastUpdatedDate();
    }
    isMoring_ = false;
    scheduleDone(1.0);
    MVTPublicMethod::stopWaitAnimation(view());
}

void MVTSquareViewController::reloadNullTableView() {
    isMoring_ = false;
    scheduleDone(0.4);
    MVTPublicMethod::stopWaitAnimation(view());
}

void MVTSquareViewController::doneLoadingTableViewData() {
    auto weak = weakAs<MVTSquareViewController>();
    feedlist::fadeReloadNews(showCountLa_, [weak] {
        if (auto self = weak.lock()) {
            self->changeReloadDynamic(true);
            self->reloading_ = false;
        }
    });
    if (squareHeaderView_ && squareTable_)
        squareHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*squareTable_);
}

void MVTSquareViewController::showHUDWithBool(bool show) { feedlist::showHUD(HUD_, view(), show); }

// ---- Table

int MVTSquareViewController::numberOfSectionsInTableView(TableView&) { return 1; }

int MVTSquareViewController::numberOfRowsInSection(TableView&, int) {
    heightKeys_.startLoad();
    return squareArray_.empty() ? 0 : int(squareArray_.size()) + 1;
}

std::shared_ptr<TableViewCell> MVTSquareViewController::cellForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const int row = indexPath.row;
    auto self = std::static_pointer_cast<MVTSquareViewController>(shared_from_this());
    std::shared_ptr<MVTPersonCell> cell;
    if (row < int(squareArray_.size()))
        cell = MVTPersonCell::initWithtData(*squareArray_[size_t(row)], kListTag, row, self);
    else
        cell = MVTPersonCell::initWithStyle(TableViewCellStyle::Default, "aCell", isLoading_, isFalse_, self);
    cell->contentView()->setBackgroundColor(kSquareRowGrey);
    cell->contentView()->setTag(row);
    if (row == voiceRow()) {
        auto app = MVTAppDelegate::sharedAppDelegate();
        cell->changeState(!app->nowPlayPath().empty() ? PostKindRenderer::VoicePlaying
                          : downloading_             ? PostKindRenderer::VoiceLoading
                                                     : PostKindRenderer::VoiceStopped);
    } else {
        cell->changeState(PostKindRenderer::VoiceStopped);
    }
    return cell;
}

double MVTSquareViewController::heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (indexPath.row >= int(squareArray_.size())) return 40;
    return cellForRowAtIndexPath(tableView, indexPath)->frame().height();
}

std::string MVTSquareViewController::heightKeyForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.row >= int(squareArray_.size())) return "more";
    return heightKeys_.keyFor(*squareArray_[size_t(indexPath.row)]);
}

void MVTSquareViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (indexPath.row != int(squareArray_.size()) || !isLoading_ || isMoring_) return;
    isMoring_ = true;
    auto weak = weakAs<MVTSquareViewController>();
    RunLoop::main().performAfter(0.01, [weak] {
        if (auto self = weak.lock()) self->getData();
    });
}

void MVTSquareViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row < int(squareArray_.size())) toPresentViewWith(indexPath.row);
}

std::shared_ptr<MVTPersonCell> MVTSquareViewController::cellAtRow(int row) const {
    if (!squareTable_ || row < 0) return nullptr;
    return std::dynamic_pointer_cast<MVTPersonCell>(squareTable_->cellForRowAtIndexPath({0, row}));
}

int MVTSquareViewController::postIndexWithId(const std::string& postId) const {
    for (std::size_t i = 0; i < squareArray_.size(); ++i)
        if (post::hasId(*squareArray_[i], postId)) return int(i);
    return -1;
}

void MVTSquareViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) {
        showIMagePageWith(scrollView);
        return;
    }
    if (squareHeaderView_ && &scrollView == squareTable_.get() && scrollView.contentOffset().y != 0)
        squareHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTSquareViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (scrollView.tag() == kPagingViewTag) return;
    if (squareHeaderView_ && &scrollView == squareTable_.get())
        squareHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTSquareViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTSquareViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}
