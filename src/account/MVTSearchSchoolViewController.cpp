#include "account/MVTSearchSchoolViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/SavedUser.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

namespace {

constexpr const char* kCellId = "schoolCell";
constexpr double kFocusDelay = 0.6;
constexpr double kSignOutDelay = 0.6;
constexpr double kSearchBarHeight = 44;
constexpr double kTableTop = 56;
constexpr double kTableBottomGap = 64;
constexpr double kRowHeight = 44;

const Color kGreen = Color::rgb255(76, 184, 79);
const Color kNameColor = Color::rgb255(60, 60, 60);
const Color kLineColor = Color::rgb255(216, 217, 222);

// The approval flag of a join reply: "1" or "true".
bool needsApproval(const Json& reply) {
    if (!reply.is_object() || !reply.contains("approve")) return false;
    const std::string approve = textOf(reply, "approve");
    return approve == "1" || approve == "true";
}

}  // namespace

MVTSearchSchoolViewController::MVTSearchSchoolViewController() = default;
MVTSearchSchoolViewController::~MVTSearchSchoolViewController() = default;

void MVTSearchSchoolViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    // Shown as it stands in every language.
    setTitle("加入学校");
    auto weak = weakAs<MVTSearchSchoolViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    initSearchView();
    resultArr_ = Json::array();
    initTable();
    searchTable_->setHidden(true);
    RunLoop::main().performAfter(kFocusDelay, [weak] {
        if (auto self = weak.lock()) self->startSearch();
    });
}

void MVTSearchSchoolViewController::initSearchView() {
    const double width = Screen::mainScreen().bounds().width();
    auto root = view();

    auto bar = std::make_shared<View>(Rect(0, 0, width, kSearchBarHeight));
    bar->setBackgroundColor(Color::clear());
    root->addSubview(bar);

    constexpr double buttonWidth = 52, buttonHeight = 24;
    auto box = std::make_shared<View>(Rect(8, 7, width - 16 - buttonWidth - 8, 30));
    box->setBackgroundColor(Color::whiteColor());
    box->setCornerRadius(4);
    bar->addSubview(box);

    auto icon = std::make_shared<ImageView>(Rect(6, 7, 16, 16));
    icon->setImage(Image::imageNamed("search"));
    box->addSubview(icon);

    searchField_ = std::make_shared<TextField>(Rect(28, 0, box->frame().width() - 32, 30));
    searchField_->setFont(Font::systemFontOfSize(14));
    searchField_->setPlaceholder("输入文字（支持模糊查询）");
    searchField_->setReturnKeyType(ReturnKeyType::Search);
    searchField_->setClearButtonMode(TextFieldViewMode::WhileEditing);
    searchField_->setBorderStyle(TextBorderStyle::None);
    searchField_->setAutocorrection(false);
    searchField_->setDelegate(weakAs<TextFieldDelegate>());
    box->addSubview(searchField_);

    auto separator = std::make_shared<View>(Rect(0, kSearchBarHeight - 0.5, width, 0.5));
    separator->setBackgroundColor(kLineColor);
    bar->addSubview(separator);

    auto weak = weakAs<MVTSearchSchoolViewController>();
    auto cancel = Button::buttonWithType(ButtonType::Custom);
    cancel->setFrame({width - 8 - buttonWidth, (kSearchBarHeight - buttonHeight) / 2, buttonWidth, buttonHeight});
    cancel->setBackgroundColor(kGreen);
    cancel->setCornerRadius(11.6);
    cancel->setTitle("取消");
    cancel->setTitleColor(Color::whiteColor());
    cancel->titleLabel()->setFont(Font::systemFontOfSize(14));
    cancel->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toCancel();
    });
    bar->addSubview(cancel);

    auto note = std::make_shared<Label>(Rect(10, kTableTop, width - 20, 40));
    note->setBackgroundColor(Color::clear());
    note->setFont(Font::systemFontOfSize(14));
    note->setTextColor(Color::lightGray());
    note->setTextAlignment(TextAlignment::Center);
    note->setNumberOfLines(0);
    note->setText(std::string("注:") + "请输入学校名称或首字母支持模糊查询。");
    root->addSubview(note);
}

void MVTSearchSchoolViewController::initTable() {
    if (searchTable_) {
        searchTable_->reloadData();
        return;
    }
    const Rect screen = Screen::mainScreen().bounds();
    const double viewHeight = screen.height() - 44 - SDH;
    searchTable_ = std::make_shared<TableView>();
    searchTable_->initWithFrame({0, kTableTop, screen.width(), viewHeight - kTableTop - kTableBottomGap});
    searchTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    searchTable_->setBackgroundColor(Color::clear());
    searchTable_->setRowHeight(kRowHeight);
    searchTable_->setDataSource(weakAs<TableViewDataSource>().lock());
    searchTable_->setDelegate(weakAs<TableViewDelegate>().lock());
    view()->addSubview(searchTable_);
    creatFooter();
}

void MVTSearchSchoolViewController::creatFooter() {
    if (moreBtn_) return;
    auto weak = weakAs<MVTSearchSchoolViewController>();
    moreBtn_ = Button::buttonWithType(ButtonType::Custom);
    moreBtn_->setFrame({0, 0, Screen::mainScreen().bounds().width(), 44});
    moreBtn_->setTitle("");
    moreBtn_->setTitleColor(Color::darkGray());
    moreBtn_->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
    moreBtn_->setEnabled(false);
    moreBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSearchSchool();
    });
    searchTable_->setTableFooterView(moreBtn_);
}

void MVTSearchSchoolViewController::startSearch() {
    if (searchField_) searchField_->becomeFirstResponder();
}

bool MVTSearchSchoolViewController::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    nowPage_ = 1;
    resultArr_ = Json::array();
    toSearchSchool();
    return true;
}

bool MVTSearchSchoolViewController::textFieldShouldClear(TextField&) { return true; }

void MVTSearchSchoolViewController::toCancel() {
    resultArr_ = Json::array();
    searchTable_->reloadData();
    searchTable_->setHidden(true);
    searchField_->setText("");
    searchField_->resignFirstResponder();
}

void MVTSearchSchoolViewController::toSearchSchool() {
    const Json param{{"query", searchField_->text()}, {"pageNum", std::to_string(nowPage_)},
                     {"limit", std::to_string(kPageSize)}};
    auto request = MVTPublicMethod::requestWithMethod("POST", ServiceAddress::servicePrefix() + "school/search", param);
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    request->setTimeoutInterval(kRequestTimeout);
    showHUDWithBool(true);
    auto weak = weakAs<MVTSearchSchoolViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            ++self->nowPage_;
            const Json page = reply.is_array() ? reply : Json::array();
            if (page.size() >= static_cast<size_t>(kPageSize)) {
                self->moreBtn_->setTitle(localized("点击加载更多"));
                self->moreBtn_->setEnabled(true);
            } else {
                const bool nothingAtAll = page.empty() && self->resultArr_.empty();
                self->moreBtn_->setTitle(localized(nothingAtAll ? "没有相关内容" : "已加载全部"));
                self->moreBtn_->setEnabled(false);
            }
            self->searchTable_->setHidden(false);
            for (const auto& school : page) self->resultArr_.push_back(school);
            self->initTable();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            // The page stays where it was, so "点击加载更多" asks for it again.
            if (auto self = weak.lock()) self->showHUDWithBool(false);
        });
    operation->start();
}

int MVTSearchSchoolViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(resultArr_.size());
}

double MVTSearchSchoolViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTSearchSchoolViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                   const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellId);
    if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, kCellId);
    cell->setSelectionStyle(TableViewCellSelectionStyle::Gray);
    cell->setBackgroundColor(Color::whiteColor());
    auto content = cell->contentView();
    for (auto& old : std::vector<std::shared_ptr<View>>(content->subviews())) old->removeFromSuperview();

    const double width = tableView.bounds().width();
    auto bar = std::make_shared<View>(Rect(0, 0, 3, kRowHeight));
    bar->setBackgroundColor(kGreen);
    content->addSubview(bar);

    auto circle = std::make_shared<View>(Rect(12, 5, 34, 34));
    circle->setBackgroundColor(Color::whiteColor());
    circle->setCornerRadius(17);
    circle->setBorderColor(kLineColor);
    circle->setBorderWidth(0.6);
    content->addSubview(circle);
    auto picture = std::make_shared<ImageView>(Rect(7, 7, 20, 20));
    picture->setImage(Image::imageNamed("school"));
    circle->addSubview(picture);

    const Json& school = resultArr_.at(static_cast<size_t>(indexPath.row));
    auto name = std::make_shared<Label>(Rect(56, 0, width - 66, kRowHeight));
    name->setBackgroundColor(Color::clear());
    name->setFont(Font::fontWithName("Helvetica", 16));
    name->setTextColor(kNameColor);
    name->setText(textOf(school, "name"));
    content->addSubview(name);

    auto line = std::make_shared<View>(Rect(56, kRowHeight - 0.6, width - 56, 0.6));
    line->setBackgroundColor(kLineColor);
    content->addSubview(line);
    return cell;
}

void MVTSearchSchoolViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(resultArr_.size())) return;
    chosenRow_ = indexPath.row;
    const Json& school = resultArr_.at(static_cast<size_t>(indexPath.row));
    auto confirm = AlertView::make("", "确定加入【" + textOf(school, "name") + "】？", weakAs<AlertViewDelegate>(),
                                   localized("确定"), {localized("取消")});
    confirm->setTag(static_cast<int>(kConfirmAlertTag));
    confirm->setAccessibilityValue(textOf(school, "id"));
    confirm->show();
}

void MVTSearchSchoolViewController::alertViewClickedButtonAtIndex(AlertView& alertView, long index) {
    if (alertView.tag() == kConfirmAlertTag && index == 0) {
        if (chosenRow_ < 0 || chosenRow_ >= static_cast<int>(resultArr_.size())) return;
        const Json school = resultArr_.at(static_cast<size_t>(chosenRow_));
        if (isRegistering_) {
            if (delegate_) delegate_->didSelectedSchoolWith(school);
            goback();
        } else {
            didSelectWhichSchoolIdWith(alertView.accessibilityValue());
        }
    } else if (alertView.tag() == kApprovalAlertTag && index == 0) {
        auto weak = weakAs<MVTSearchSchoolViewController>();
        RunLoop::main().performAfter(kSignOutDelay, [weak] {
            if (auto self = weak.lock()) self->nowBackToLogin();
        });
    }
}

void MVTSearchSchoolViewController::didSelectWhichSchoolIdWith(const std::string& schoolId) {
    const std::string userId = MVTAccount::sharedInstance().userId().value_or("");
    auto request =
        MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + userId + "/join/school/" + schoolId);
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    request->setTimeoutInterval(kRequestTimeout);
    showHUDWithBool(true);
    auto weak = weakAs<MVTSearchSchoolViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, schoolId](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            self->handleJoinReply(reply, schoolId);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->showHUDWithBool(false);
        });
    operation->start();
}

void MVTSearchSchoolViewController::handleJoinReply(const Json& reply, const std::string& schoolId) {
    if (needsApproval(reply)) {
        auto pending = AlertView::make("加入的学校正在审核", "", weakAs<AlertViewDelegate>(), localized("确定"));
        pending->setTag(static_cast<int>(kApprovalAlertTag));
        pending->show();
        return;
    }
    if (integerValue(textOf(valueFor(reply, "success"))) == 1) {
        MVTAccount& account = MVTAccount::sharedInstance();
        account.setSchoolId(schoolId);
        rewriteSavedUserFromAccount();
        MVTAppDelegate::sharedAppDelegate()->userGetLogin();
        return;
    }
    // Neither approval nor success: say so, with the service's reason when it gave one.
    std::string reason;
    for (const char* key : {"msg", "message"}) {
        const Json& value = valueFor(reply, key);
        if (!MVTPublicMethod::stringIsClassNull(value)) {
            reason = textOf(value);
            break;
        }
    }
    auto failed = AlertView::make(localized("提示"), reason.empty() ? localized(kJoinFailed) : reason,
                                  std::weak_ptr<AlertViewDelegate>(), localized("确定"));
    failed->show();
}

void MVTSearchSchoolViewController::nowBackToLogin() { MVTAppDelegate::sharedAppDelegate()->gotosetview(true); }

void MVTSearchSchoolViewController::goback() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

void MVTSearchSchoolViewController::showHUDWithBool(bool show) {
    if (show) {
        if (HUD_) HUD_->removeFromSuperview();
        HUD_ = ProgressHUD::showHUDAddedTo(view(), true);
    } else if (HUD_) {
        HUD_->hide(true);
    }
}
