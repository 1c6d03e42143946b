// The home feed's frame: construction, the table of four sections and its rows, the
// relevant-to-me bar, the publishing row, short messages and the notices it answers.

#include "feed/MVTHomeViewController.h"

#include "feed/FeedListParts.h"
#include "feed/MVTPersonCell.h"
#include "feed/PostRecord.h"
#include "details/MVTRelevantMeViewController.h"

#include "shell/AttachmentDownloadOverlay.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"

#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

#include <functional>

using namespace platform;

namespace {

constexpr double kTableChrome = 20 + 49 + 44;  // status bar, tab bar and navigation bar
const Color kRowGrey = Color::white(0.961);

}  // namespace

MVTHomeViewController::MVTHomeViewController() : squareViewController_(std::make_shared<MVTSquareViewController>()) {}

MVTHomeViewController::~MVTHomeViewController() = default;

std::shared_ptr<MVTHomeViewController> MVTHomeViewController::me() {
    return std::static_pointer_cast<MVTHomeViewController>(shared_from_this());
}

std::string MVTHomeViewController::userId() { return MVTAccount::sharedInstance().userId().value_or(""); }

void MVTHomeViewController::banner(int kind) { MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(kind); }

void MVTHomeViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView("动态");
    const bool squareShown = MVTAccount::sharedInstance().hideSquare().value_or("") == "n";
    titleColor_ = squareShown ? Color::whiteColor() : Color::black();
    if (Screen::systemVersion() >= 7) setEdgesForExtendedLayout(RectEdgeNone);
    initshowView();

    isSeleted_ = false;
    dynamicSelectStr_ = localized("班级圈");
    static const std::pair<const char*, const char*> filters[] = {
        {"由我产生", "user:me"},     {"由学生", "user:student"},  {"由教师", "user:teacher"},
        {"图说", "type:essay"},      {"图说转发", "type:share"},  {"投票", "type:vote"},
        {"勋章", "type:decoration"}, {"活动", "type:activity"},   {"相册", "type:class_album"}};
    for (const auto& [label, value] : filters) selectedDic_[localized(label)] = value;
    initTitleView();
    navigationItem().setTitleView(titleView_);

    dataArray_.clear();
    newDynamicArray_.clear();
    adArray_ = Json::array();
    isLoading_ = true;
    initTable();
    getAdvertisementData();

    if (listFirstCachePage()) {
        toGetNewData();
    } else {
        Rect frame = view()->frame();
        view()->setFrame({frame.x(), frame.y(), frame.width(), Screen::mainScreen().bounds().height() - 114});
        MVTPublicMethod::showWaitAnimation(view(), true);
        UserDefaults::standard().setString(refreshTimeKey(userId()), getNowRefreshTime());
        getData();
    }
    if (squareShown) initSquare();
    clearHomeNoti();
    observeNotifications();
}

void MVTHomeViewController::clearHomeNoti() { observers_.clear(); }

void MVTHomeViewController::observeNotifications() {
    auto weak = weakAs<MVTHomeViewController>();
    auto& center = NotificationCenter::defaultCenter();
    auto on = [&](const char* name, std::function<void(MVTHomeViewController&, const Notification&)> handler) {
        observers_.push_back(center.addObserver(name, [weak, handler](const Notification& notification) {
            if (auto self = weak.lock()) handler(*self, notification);
        }));
    };
    on(kToGetNewData, [](MVTHomeViewController& self, const Notification&) { self.toGetNewData(); });
    on(kSynchronousDeleteFormHome,
       [](MVTHomeViewController& self, const Notification& n) { self.synchronousDeleteFormHome(n); });
    on(kShowDidSelectItemNotification, [](MVTHomeViewController& self, const Notification& n) { self.showDidSelectItem(n); });
    on(kToStopHomeAudioPlay, [](MVTHomeViewController& self, const Notification&) { self.toStopHomeAudioPlay(); });
    on(MVTAppDelegate::kToShowHomeProgress,
       [](MVTHomeViewController& self, const Notification& n) { self.toShowHomeProgress(n); });
    on(kCommentFormHomeNotification, [](MVTHomeViewController& self, const Notification& n) { self.commentFormHome(n); });
    on(kShowSelectedWhichWithNotification,
       [](MVTHomeViewController& self, const Notification& n) { self.showSelectedWhichWith(n); });
}

void MVTHomeViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    auto app = MVTAppDelegate::sharedAppDelegate();
    app->setNowPage(MVTAppDelegate::VoicePageHome);
    if (auto* tabs = tabBarController(); tabs && tabs->selectedIndex() != 0) {
        const long index = long(tabs->selectedIndex());
        StatisticsKit::shared().endLogPageView(index == 1 ? "消息" : index == 2 ? "应用" : "我");
        StatisticsKit::shared().beginLogPageView("动态");
    }
    auto weak = weakAs<MVTHomeViewController>();
    proximityToken_ = NotificationCenter::defaultCenter().addObserver(kProximityStateDidChangeNotification,
                                                                       [weak](const Notification&) {
                                                                           if (auto self = weak.lock()) self->playAgain();
                                                                       });
    if (!app->nowPlayPath().empty() && app->nowPlayPage() == MVTAppDelegate::VoicePageDetails &&
        !indexPathsArr_.empty() && isNewPlay_) {
        setVoiceRow(indexPathsArr_.front());
        startCellAudioPlay();
    }
    isNewPlay_ = false;
    if (squareShown_ && squareViewController_) squareViewController_->viewWillAppear(animated);
}

void MVTHomeViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    if (squareShown_ && squareViewController_) squareViewController_->viewWillDisappear(animated);
    if (downloading_) MVTAppDelegate::sharedAppDelegate()->stopPlayAudio();
    proximityToken_.reset();
}

// ---- Table

void MVTHomeViewController::initTable() {
    if (!myTable_) {
        const double W = view()->bounds().width();
        const double H = Screen::mainScreen().bounds().height() - kTableChrome;
        myTable_ = myTableView::make({0, 0, W, H}, TableViewStyle::Plain);
        myTable_->setBackgroundColor(Color::clear());
        myTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        myTable_->setBackgroundView(nullptr);
        myTable_->setDataSource(weakAs<TableViewDataSource>().lock());
        myTable_->setDelegate(weakAs<TableViewDelegate>().lock());
        myTable_->setAccessibilityValue("动态");
        showAttachmentScrollView_->addSubview(myTable_);
        refreshHeaderView_ = std::make_shared<EGORefreshTableHeaderView>();
        refreshHeaderView_->initWithFrame({0, -H, W, H});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        myTable_->addSubview(refreshHeaderView_);
        refreshHeaderView_->refreshLastUpdatedDate();
        isMytable_ = true;
        isMoring_ = false;
        auto weak = weakAs<MVTHomeViewController>();
        RunLoop::main().performAfter(1.0, [weak] {
            if (auto self = weak.lock()) self->doneLoadingTableViewData();
        });
        MVTPublicMethod::stopWaitAnimation(view());
        return;
    }
    // The redisplay after a load.
    isMytable_ = true;
    myTable_->reloadData();
    if (auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController());
        tabs && integerValue(valueFor(tabs->unreadDic(), "newFeed")) != 0)
        tabs->NewMarks(false);
    isMoring_ = false;
    auto weak = weakAs<MVTHomeViewController>();
    RunLoop::main().performAfter(1.0, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
    MVTPublicMethod::stopWaitAnimation(view());
}

int MVTHomeViewController::numberOfSectionsInTableView(TableView&) { return 4; }

int MVTHomeViewController::numberOfRowsInSection(TableView&, int section) {
    switch (section) {
    case 0: return int(adArray_.size());
    case 1: return relevantMeShow_;
    case 2: return int(newDynamicArray_.size());
    default:
        heightKeys_.startLoad();
        return dataArray_.empty() ? 0 : int(dataArray_.size()) + 1;
    }
}

double MVTHomeViewController::heightForHeaderInSection(TableView&, int) { return 0; }

std::shared_ptr<TableViewCell> MVTHomeViewController::fixedCell(TableView& tableView, int section) {
    const double W = Screen::mainScreen().bounds().width();
    const char* identifier = section == 0 ? "adCell" : section == 1 ? "reMeCell" : "newDyCell";
    auto cell = tableView.dequeueReusableCellWithIdentifier(identifier);
    const bool made = !cell;
    if (made) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, identifier);
    auto content = cell->contentView();
    if (section != 0) content->setBackgroundColor(kRowGrey);
    if (section == 0) {
        if (made) fillAdvertCell(*content);
    } else if (section == 1) {
        if (made) {
            auto button = Button::buttonWithType(ButtonType::Custom);
            button->setFrame({0, 6, W, 44});
            button->setBackgroundColor(kRowGrey);
            button->setImage(Image::imageNamed("nhw_jian.png"));
            button->setImageEdgeInsets({17, W - 24, 17, 17});
            auto weak = weakAs<MVTHomeViewController>();
            button->addTarget(ControlEventTouchUpInside, [weak](Control&) {
                if (auto self = weak.lock()) self->toGoRelevantMeView();
            });
            content->addSubview(button);
        }
        if (relevantMeView_) {
            relevantMeView_->removeFromSuperview();
            relevantMeView_->setCenter({W / 2 + 4, 28});
            content->addSubview(relevantMeView_);
        }
    } else if (section == 2) {
        if (made) {
            auto& account = MVTAccount::sharedInstance();
            auto avatar = Button::buttonWithType(ButtonType::Custom);
            avatar->setFrame({10, 10, 40, 40});
            avatar->setBackgroundColor(Color::clear());
            avatar->setCornerRadius(20);
            avatar->setClipsToBounds(true);
            avatar->setImage(Image::imageNamed("default_user"));
            avatar->setAccessibilityHint(userId());
            avatar->setAccessibilityValue(account.role().value_or(""));
            avatar->setUserInteractionEnabled(false);
            MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(userId(), "png"),
                                          account.role().value_or(""));
            content->addSubview(avatar);
            auto name = std::make_shared<Label>(Rect(55, 10, W - 60, 20));
            name->setBackgroundColor(Color::clear());
            name->setTextColor(Color::rgb255(54, 101, 53));
            name->setFont(Font::systemFontOfSize(16));
            name->setText(account.name().value_or(""));
            content->addSubview(name);
            auto line = std::make_shared<View>(Rect(10, 59.4, W - 20, 0.6));
            line->setBackgroundColor(Color::rgb255(217, 222, 216));
            content->addSubview(line);
        }
        if (!stateLa_) {
            stateLa_ = std::make_shared<Label>(Rect(55, 30, W - 60, 20));
            stateLa_->setBackgroundColor(Color::clear());
            stateLa_->setTextColor(Color::white(0.333));
            stateLa_->setFont(Font::boldSystemFontOfSize(14));
        }
        stateLa_->removeFromSuperview();
        stateLa_->setText(isFailState_ ? kPublishFailedText : kPublishingText);
        content->addSubview(stateLa_);
    }
    return cell;
}

std::shared_ptr<TableViewCell> MVTHomeViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                           const IndexPath& indexPath) {
    if (indexPath.section != kPostSection) return fixedCell(tableView, indexPath.section);
    const int row = indexPath.row;
    std::shared_ptr<MVTPersonCell> cell;
    if (row < int(dataArray_.size()))
        cell = MVTPersonCell::initWithtData(*dataArray_[size_t(row)], kListTag, row, me());
    else
        cell = MVTPersonCell::initWithStyle(TableViewCellStyle::Default, "aCell", isLoading_, isFalse_, me());
    cell->contentView()->setBackgroundColor(kRowGrey);
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

double MVTHomeViewController::heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    switch (indexPath.section) {
    case 0: return adH_;
    case 1: return 56;
    case 2: return 60;
    default:
        if (indexPath.row >= int(dataArray_.size())) return 40;
        // The row is as high as the cell built for it says.
        return cellForRowAtIndexPath(tableView, indexPath)->frame().height();
    }
}

std::string MVTHomeViewController::heightKeyForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.section != kPostSection || indexPath.row >= int(dataArray_.size()))
        return "fixed:" + std::to_string(indexPath.section) + ":" + std::to_string(adH_);
    return heightKeys_.keyFor(*dataArray_[size_t(indexPath.row)]);
}

void MVTHomeViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (indexPath.section != kPostSection || indexPath.row != int(dataArray_.size())) return;
    if (!isLoading_ || isMoring_) return;
    isMoring_ = true;
    auto weak = weakAs<MVTHomeViewController>();
    RunLoop::main().performAfter(0.01, [weak] {
        if (auto self = weak.lock()) self->getData();
    });
}

void MVTHomeViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.section == kPostSection && indexPath.row < int(dataArray_.size())) toPresentViewWith(indexPath.row);
}

std::shared_ptr<MVTPersonCell> MVTHomeViewController::cellAtRow(int row) const {
    if (!myTable_ || row < 0) return nullptr;
    return std::dynamic_pointer_cast<MVTPersonCell>(myTable_->cellForRowAtIndexPath({kPostSection, row}));
}

void MVTHomeViewController::scrollViewDidScroll(ScrollView& scrollView) {
    ViewViewController::scrollViewDidScroll(scrollView);
    if (refreshHeaderView_ && &scrollView == myTable_.get()) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTHomeViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_ && &scrollView == myTable_.get())
        refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTHomeViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTHomeViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) { return reloading_; }

// ---- Relevant-to-me bar

void MVTHomeViewController::initTheRelevantMeView() {
    ++relevantMeViewCount_;
    if (!relevantMeView_) {
        relevantMeView_ = std::make_shared<View>(Rect(0, 0, 92, 36));
        relevantMeView_->setBackgroundColor(Color::clear());
        relevantMeView_->setUserInteractionEnabled(false);
        auto text = std::make_shared<View>(Rect(0, 0, 92, 36));
        text->setTag(12);
        text->setUserInteractionEnabled(false);
        auto title = std::make_shared<Label>(Rect(0, 8, 56, 20));
        title->setBackgroundColor(Color::clear());
        title->setFont(Font::systemFontOfSize(14));
        title->setTextAlignment(TextAlignment::Right);
        title->setTextColor(Color::rgb255(119, 119, 119));
        title->setText(localized("与我相关"));
        text->addSubview(title);
        relevantMeLa_ = std::make_shared<Label>(Rect(57.5, 7.5, 21, 21));
        relevantMeLa_->setBackgroundColor(Color::clear());
        relevantMeLa_->setFont(Font::systemFontOfSize(14));
        relevantMeLa_->setTextAlignment(TextAlignment::Center);
        relevantMeLa_->setTextColor(Color::red());
        relevantMeLa_->setText("0");
        text->addSubview(relevantMeLa_);
        relevantMeView_->addSubview(text);
    }
    if (!relevantMeUsers_.is_array()) relevantMeUsers_ = Json::array();
    const int count = MVTAccount::sharedInstance().newRelevantMe();
    if (count > 0) {
        if (relevantMeShow_ == 0) {
            relevantMeShow_ = 1;
            if (myTable_) myTable_->insertRowsAtIndexPaths({{1, 0}}, TableViewRowAnimation::Bottom);
        }
        if (auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController())) {
            const Json& users = tabs->relevantMeUsersArr();
            if (users.is_array() && !users.empty() && users.size() != relevantMeUsers_.size()) relevantMeUsers_ = users;
        }
        if (integerValue(relevantMeLa_->text()) != count) toChangeRelevantMeView();
        relevantMeLa_->setText(std::to_string(count));
    } else {
        if (relevantMeShow_ == 1) {
            relevantMeShow_ = 0;
            if (myTable_) myTable_->deleteRowsAtIndexPaths({{1, 0}}, TableViewRowAnimation::None);
        }
        relevantMeUsers_ = Json::array();
        relevantMeLa_->setText("0");
    }
}

void MVTHomeViewController::toChangeRelevantMeView() {
    for (auto& view : std::vector<std::shared_ptr<View>>(relevantMeView_->subviews()))
        if (view->tag() == 100) view->removeFromSuperview();
    const double W = Screen::mainScreen().bounds().width();
    const int k = int(std::min<std::size_t>(relevantMeUsers_.size(), 3));
    relevantMeView_->setFrame({0, 0, 30.0 * k + 96, 36});
    relevantMeView_->setCenter({W / 2 + 4, 28});
    if (auto text = relevantMeView_->viewWithTag(12)) text->setFrame({30.0 * k + 4, 0, 92, 36});
    for (int i = 0; i < k; ++i) {
        const double x = 2 + 30.0 * i;
        auto ring = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
        ring->setFrame({x, 2, 32, 32});
        ring->setCornerRadius(16);
        ring->setClipsToBounds(true);
        ring->setTag(100);
        relevantMeView_->addSubview(ring);
        auto avatar = Button::buttonWithType(ButtonType::Custom);
        avatar->setFrame({x + 2, 4, 30, 30});
        avatar->setCornerRadius(14);
        avatar->setClipsToBounds(true);
        avatar->setBackgroundColor(Color::rgb255(242, 242, 242));
        avatar->setImage(Image::imageNamed("default_user"));
        const std::string id = textOf(relevantMeUsers_[size_t(i)]);
        avatar->setAccessibilityHint(id);
        avatar->setAccessibilityValue("student");
        avatar->setUserInteractionEnabled(false);
        avatar->setTag(100);
        MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(id, "png"), "student");
        relevantMeView_->addSubview(avatar);
    }
}

void MVTHomeViewController::toGoRelevantMeView() {
    presentViewController(myNavigationController::withRoot(std::make_shared<MVTRelevantMeViewController>()), true);
}

// ---- Publishing row

void MVTHomeViewController::addNewUpDynamic() {
    ++addNewUpDynamicCount_;
    isFailState_ = false;
    if (stateLa_) stateLa_->setText(kPublishingText);
    if (!newDynamicArray_.empty()) return;
    newDynamicArray_ = {"1"};
    if (myTable_) myTable_->insertRowsAtIndexPaths({{2, 0}}, TableViewRowAnimation::Bottom);
}

void MVTHomeViewController::newDynamicDidUpSucOrErr(bool succeeded) {
    upDynamicResults_.push_back(succeeded);
    auto weak = weakAs<MVTHomeViewController>();
    if (succeeded) {
        const auto& queue = MVTAppDelegate::sharedAppDelegate()->upDynamicArr();
        if (!queue.is_array() || queue.empty()) {
            RunLoop::main().performAfter(1.0, [weak] {
                if (auto self = weak.lock()) self->newFeedReloadData();
            });
        }
        removeNewUpDynamic();
        return;
    }
    isFailState_ = true;
    if (stateLa_) stateLa_->setText(kPublishFailedText);
    RunLoop::main().performAfter(0.4, [weak] {
        if (auto self = weak.lock()) self->removeNewUpDynamic();
    });
}

void MVTHomeViewController::removeNewUpDynamic() {
    isFailState_ = false;
    if (newDynamicArray_.empty()) return;
    newDynamicArray_.clear();
    if (myTable_) myTable_->deleteRowsAtIndexPaths({{2, 0}}, TableViewRowAnimation::Top);
}

// ---- Messages and notices

void MVTHomeViewController::showTurnSuccessWith(const std::string& text) {
    feedlist::showTurnToast(showTurnLa_, *view(), myTable_ ? myTable_->frame().maxY() : view()->bounds().height(), text);
}

void MVTHomeViewController::showHUDWithBool(bool show) { feedlist::showHUD(HUD_, view(), show); }

void MVTHomeViewController::synchronousDeleteFormHome(const Notification& notification) {
    const int row = postIndexWithId(textOf(notification.object, "id"));
    if (row < 0) return;
    const std::string id = textOf(*dataArray_[size_t(row)], "id");
    dataArray_.erase(dataArray_.begin() + row);
    MVTtirraDataBase::deleteDynamicWith(userId(), id);
    if (myTable_) myTable_->reloadData();
}

void MVTHomeViewController::toShowHomeProgress(const Notification& notification) {
    if (auto cell = cellAtRow(voiceRow())) cell->showAudioProgress(float(doubleValue(textOf(notification.object))));
}

bool MVTHomeViewController::listFirstCachePage() {
    const Json rows = MVTtirraDataBase::selectDynamicData(userId(), 0);
    if (!rows.is_array() || rows.empty()) return false;
    for (const auto& row : rows) dataArray_.push_back(std::make_shared<Json>(row));
    initTable();
    return true;
}

int MVTHomeViewController::postIndexWithId(const std::string& postId) const {
    for (std::size_t i = 0; i < dataArray_.size(); ++i)
        if (post::hasId(*dataArray_[i], postId)) return int(i);
    return -1;
}

std::shared_ptr<AttachmentDownloadOverlay> MVTHomeViewController::downloadOverlay() {
    if (!downLoadBgView_) {
        // Files of the feed are only files: an "amr" attachment opens like any other.
        AttachmentDownloadOverlay::Options options;
        options.amrIsVoice = false;
        options.voiceAction = AttachmentDownloadOverlay::VoiceAction::AsFile;
        options.overlayFillsHostView = true;
        downLoadBgView_ = AttachmentDownloadOverlay::make(weakAs<ViewController>(), options, {},
                                                          weakAs<AlertViewDelegate>());
    }
    return downLoadBgView_;
}
