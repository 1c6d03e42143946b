#include "notices/AllClassViewController.h"

#include "notices/MVTAddNotViewController.h"
#include "notices/NoticeShared.h"
#include "notices/NotiViewController.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using namespace platform;

// ---- Row

std::shared_ptr<MVTClassCell> MVTClassCell::make() {
    auto cell = std::make_shared<MVTClassCell>();
    cell->initWithStyle(TableViewCellStyle::Default, "Cell");
    cell->loadClassCell();
    return cell;
}

void MVTClassCell::loadClassCell() {
    const double W = Screen::mainScreen().bounds().width();
    auto content = contentView();
    auto ring = std::make_shared<View>(Rect(11, 5.5, 39, 39));
    ring->setBackgroundColor(Color::whiteColor());
    ring->setCornerRadius(19.5);
    content->addSubview(ring);
    auto picture = std::make_shared<ImageView>(Rect(13, 7.5, 35, 35));
    picture->setImage(Image::imageNamed("avatar-group"));
    picture->setCornerRadius(17.5);
    picture->setClipsToBounds(true);
    content->addSubview(picture);
    markView_ = std::make_shared<View>(Rect(22.5, 20, 10, 10));
    markView_->setBackgroundColor(Color::red());
    markView_->setCornerRadius(5);
    markView_->setBorderWidth(0.5);
    markView_->setBorderColor(Color::red());
    markView_->setHidden(true);
    content->addSubview(markView_);
    auto bar = std::make_shared<View>(Rect(0, 3, 3, 44));
    bar->setBackgroundColor(Color::rgba(0.6, 0.678, 0.482));
    content->addSubview(bar);
    contentLbl_ = std::make_shared<Label>(Rect(55, 5, W - 55, 40));
    contentLbl_->setFont(Font::systemFontOfSize(14));
    contentLbl_->setTextColor(notices::kLabelGrey);
    contentLbl_->setBackgroundColor(Color::clear());
    content->addSubview(contentLbl_);
    auto line = std::make_shared<ImageView>(Rect(0, 49, W, 1));
    line->setImage(Image::imageNamed("line_10"));
    content->addSubview(line);
}

std::string MVTClassCell::rowText(const Json& row, bool admin) {
    if (admin) return notices::fill(" %@", {textOf(row, "name")});
    return notices::fill(" %@  %@", {textOf(row, "level"), textOf(row, "name")});
}

void MVTClassCell::refreshClassCell(const Json& row) {
    contentLbl_->setText(rowText(row, notices::isAdmin()));
    markView_->setHidden(!boolValue(textOf(row, "newNotice")));
}

// ---- Screen

AllClassViewController::AllClassViewController() = default;

AllClassViewController::~AllClassViewController() {
    if (listOperation_) listOperation_->cancel();
}

std::string AllClassViewController::pageName() const { return notices::isAdmin() ? "学校通知" : "班级通知"; }

void AllClassViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized(notices::isAdmin() ? "学校通知" : "选择班级"));
    StatisticsKit::shared().beginLogPageView(pageName());
    auto weak = weakAs<AllClassViewController>();
    leftBtn_ = MVTPublicMethod::navigationleftBarButton();
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(leftBtn_));
    const std::string role = notices::currentRole();
    if (role == "teacher" || role == "admin") {
        addBtn_ = MVTPublicMethod::navigationrightBarButtonWithImage("add_nor_org");
        addBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->addNewNoti();
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(addBtn_));
    }
    myArray_ = Json::array();
    MVTPublicMethod::showWaitAnimation(view(), true);
    initmytable();
    netGetData();
    publishToken_ = NotificationCenter::defaultCenter().addObserver(kPublishNewNoti, [weak](const Notification&) {
        if (auto self = weak.lock()) self->refreshClassList();
    });
}

void AllClassViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (mytableview_) mytableview_->reloadData();
}

void AllClassViewController::initmytable() {
    if (mytableview_) {
        unReadNum();
        mytableview_->reloadData();
        return;
    }
    const Rect bounds = view()->bounds();
    mytableview_ = myTableView::make({0, 0, bounds.width(), bounds.height() - 44 - SDH}, TableViewStyle::Plain);
    mytableview_->setBackgroundColor(notices::kBackgroundGrey);
    mytableview_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    view()->insertSubview(mytableview_, 0);
}

void AllClassViewController::netGetData() {
    const std::string path = notices::isAdmin() ? "admin/" + notices::currentUserId() + "/notice/receiver"
                                                : "teacher/" + notices::currentUserId() + "/classes";
    auto weak = weakAs<AllClassViewController>();
    if (listOperation_) listOperation_->cancel();
    listOperation_ = notices::requestJson(weakAs<ViewController>(), "GET", notices::serviceUrl(path), Json(),
                                          [weak](notices::LoadOutcome outcome, const Json& reply) {
        auto self = weak.lock();
        if (!self) return;
        self->listOperation_.reset();
        MVTPublicMethod::stopWaitAnimation(self->view());
        auto app = MVTAppDelegate::sharedAppDelegate();
        if (outcome == notices::LoadOutcome::Offline) {
            app->showNetworkMessage(0);
        } else if (outcome == notices::LoadOutcome::Failed) {
            app->showNetworkMessage(1);
        } else if (auto rows = notices::dictionaryList(reply); !rows) {
            app->showNetworkMessage(1);
        } else if (rows->empty()) {
            self->unreadNum_ = 0;
            app->showNetworkMessage(3);
        } else {
            self->unreadNum_ = 0;
            for (const auto& row : *rows) self->myArray_.push_back(row);
            self->initmytable();
            return;
        }
        // A refresh emptied the rows before it asked: the table shows what is left.
        if (self->mytableview_) self->mytableview_->reloadData();
    });
}

void AllClassViewController::unReadNum() {
    unreadNum_ = 0;
    for (const auto& row : myArray_)
        if (boolValue(textOf(row, "newNotice"))) ++unreadNum_;
}

void AllClassViewController::refreshClassList() {
    myArray_ = Json::array();
    netGetData();
}

void AllClassViewController::addNewNoti() {
    if (MVTPublicMethod::isUnClassId()) {
        auto alert = AlertView::make("", localized("请先加入班级，可以查看和分享更多精彩"), weakAs<AlertViewDelegate>(),
                                     localized("确定"), {localized("取消")});
        alert->setTag(kJoinClassAlertTag);
        alert->show();
        return;
    }
    openComposer();
}

void AllClassViewController::openComposer() {
    presentViewController(myNavigationController::withRoot(std::make_shared<MVTAddNotViewController>()), true);
}

void AllClassViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kJoinClassAlertTag || index != 0) return;
    presentViewController(myNavigationController::withRoot(std::make_shared<MVTInterClassViewController>()), true);
}

void AllClassViewController::goback() {
    StatisticsKit::shared().endLogPageView(pageName());
    publishToken_.reset();
    dismissViewController(true);
}

int AllClassViewController::numberOfRowsInSection(TableView&, int) { return int(myArray_.size()); }

double AllClassViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 50; }

std::shared_ptr<TableViewCell> AllClassViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                             const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTClassCell>(tableView.dequeueReusableCellWithIdentifier("Cell"));
    if (!cell) {
        cell = MVTClassCell::make();
        cell->setBackgroundColor(Color::clear());
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    }
    if (indexPath.row < int(myArray_.size())) cell->refreshClassCell(myArray_[std::size_t(indexPath.row)]);
    return cell;
}

void AllClassViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    // A row still drawn after a refresh emptied the list opens nothing.
    if (indexPath.row < 0 || indexPath.row >= int(myArray_.size())) return;
    const Json row = myArray_[std::size_t(indexPath.row)];
    Json opened = Json::object();
    for (const char* key : {"id", "name", "level"})
        if (row.contains(key)) opened[key] = row[key];
    myArray_[std::size_t(indexPath.row)] = opened;
    auto list = NotiViewController::initWithClassDic(row);
    list->setFromWhere(true);
    if (boolValue(textOf(row, "newNotice"))) {
        --unreadNum_;
        if (unreadNum_ == 0) {
            MVTAccount::sharedInstance().setNewNoti(false);
            NotificationCenter::defaultCenter().postNotification(kMarkUpside);
        }
    }
    if (auto navigation = navigationController()) navigation->pushViewController(list, true);
}
