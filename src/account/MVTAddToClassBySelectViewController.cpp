#include "account/MVTAddToClassBySelectViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/HttpClient.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/StatisticsKit.h"
#include "platform/Values.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

#include <string_view>

using namespace platform;

namespace {

constexpr const char* kPageName = "加入班级";
constexpr const char* kLevelPlaceholder = "点击选择学段";
constexpr const char* kGradePlaceholder = "点击选择年级";
constexpr const char* kClassPlaceholder = "点击选择班级";
constexpr const char* kJoinFailed = "加入班级失败,请重试";

constexpr double kRowHeight = 45;
constexpr double kCaptionWidth = 70;
constexpr double kNoteTop = 150;
constexpr double kPickerTop = 200;
constexpr double kPickerHeight = 218;

// A list reply that is not a list (an error dictionary, null) reads as an empty list.
Json listOf(const Json& reply) { return reply.is_array() ? reply : Json::array(); }

}  // namespace

MVTAddToClassBySelectViewController::MVTAddToClassBySelectViewController() = default;
MVTAddToClassBySelectViewController::~MVTAddToClassBySelectViewController() = default;

void MVTAddToClassBySelectViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    dataArray_ = Json::array();
    initTitleView();
    initMainView();
    if (!typePicker_) {
        const double width = Screen::mainScreen().bounds().width();
        typePicker_ = std::make_shared<PickerView>(Rect(0, kPickerTop, width, kPickerHeight));
        typePicker_->setDelegate(weakAs<PickerViewDelegate>());
        typePicker_->setShowsSelectionIndicator(true);
    }
}

void MVTAddToClassBySelectViewController::initTitleView() {
    setTitle(localized(kPageName));
    auto weak = weakAs<MVTAddToClassBySelectViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    auto confirm = MVTPublicMethod::navigationrightBarButton(localized("确定"));
    confirm->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->addToClass();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(confirm));
}

std::shared_ptr<Label> MVTAddToClassBySelectViewController::makeRow(double top, double height,
                                                                   const std::string& caption,
                                                                   const std::string& placeholder,
                                                                   void (MVTAddToClassBySelectViewController::*tap)()) {
    const double width = Screen::mainScreen().bounds().width();
    auto root = view();

    auto row = std::make_shared<View>(Rect(0, top, width, height));
    row->setBackgroundColor(Color::whiteColor());
    root->addSubview(row);

    auto captionLabel = std::make_shared<Label>(Rect(0, 0, kCaptionWidth, height));
    captionLabel->setBackgroundColor(Color::clear());
    captionLabel->setTextAlignment(TextAlignment::Right);
    captionLabel->setFont(Font::systemFontOfSize(15));
    captionLabel->setTextColor(Color::darkGray());
    captionLabel->setText(localized(caption));
    row->addSubview(captionLabel);

    auto value = std::make_shared<Label>(Rect(kCaptionWidth + 10, 0, width - kCaptionWidth - 20, height));
    value->setBackgroundColor(Color::clear());
    value->setTextAlignment(TextAlignment::Center);
    value->setFont(Font::systemFontOfSize(15));
    value->setTextColor(Color::lightGray());
    value->setText(localized(placeholder));
    row->addSubview(value);

    auto weak = weakAs<MVTAddToClassBySelectViewController>();
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({0, 0, width, height});
    button->setBackgroundColor(Color::clear());
    button->addTarget(ControlEventTouchUpInside, [weak, tap](Control&) {
        if (auto self = weak.lock()) ((*self).*tap)();
    });
    row->addSubview(button);

    auto line = std::make_shared<ImageView>(Rect(0, height - 1, width, 1));
    line->setImage(Image::imageNamed("line_10"));
    row->addSubview(line);
    return value;
}

void MVTAddToClassBySelectViewController::initMainView() {
    lvlLabel_ = makeRow(0, kRowHeight, "学段", kLevelPlaceholder, &MVTAddToClassBySelectViewController::getLvlData);
    gradeLabel_ = makeRow(kRowHeight, kRowHeight, "年级", kGradePlaceholder,
                          &MVTAddToClassBySelectViewController::getGradeData);
    classLabel_ = makeRow(2 * kRowHeight, kRowHeight, "班级", kClassPlaceholder,
                          &MVTAddToClassBySelectViewController::getClassData);

    const double width = Screen::mainScreen().bounds().width();
    auto note = std::make_shared<Label>(Rect(10, kNoteTop, width - 20, 20));
    note->setBackgroundColor(Color::clear());
    note->setFont(Font::systemFontOfSize(14));
    note->setTextColor(Color::gray());
    note->setText(localized("注:需班级管理员审核通过才能加入"));
    view()->addSubview(note);
}

void MVTAddToClassBySelectViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

void MVTAddToClassBySelectViewController::showPicker() {
    if (typePicker_ && typePicker_->superview() != view()) view()->addSubview(typePicker_);
}

void MVTAddToClassBySelectViewController::getLvlData() {
    currentSelect_ = "level";
    if (!levelArray_.empty()) {
        dataArray_ = levelArray_;
        rowsKind_ = "level";
        showPicker();
        pickerReloadAllComponents();
        return;
    }
    getLevelData();
}

void MVTAddToClassBySelectViewController::getLevelData() {
    const std::string schoolId = MVTAccount::sharedInstance().schoolId().value_or("");
    showHUDWithBool(true);
    levelArray_ = Json::array();
    loadList(ServiceAddress::servicePrefix() + schoolId + "/level/list", "level");
}

void MVTAddToClassBySelectViewController::getGradeData() {
    if (lvlLabel_->text() == localized(kLevelPlaceholder)) {
        alert(kLevelPlaceholder);
        return;
    }
    const std::string schoolId = MVTAccount::sharedInstance().schoolId().value_or("");
    showHUDWithBool(true);
    loadList(ServiceAddress::servicePrefix() + schoolId + "/" + levelId_ + "/grade/list", "grade");
}

void MVTAddToClassBySelectViewController::getClassData() {
    if (lvlLabel_->text() == localized(kLevelPlaceholder)) {
        alert(kLevelPlaceholder);
        return;
    }
    if (gradeLabel_->text() == localized(kGradePlaceholder)) {
        alert(kGradePlaceholder);
        return;
    }
    showHUDWithBool(true);
    loadList(ServiceAddress::servicePrefix() + levelId_ + "/" + gradeId_ + "/class/list", "class");
}

void MVTAddToClassBySelectViewController::loadList(const std::string& path, const std::string& kind) {
    auto request = MVTPublicMethod::requestWithMethod("GET", path);
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        showHUDWithBool(false);
        // The picker still holds the rows it had; read them as what they are.
        currentSelect_ = rowsKind_;
        return;
    }
    auto weak = weakAs<MVTAddToClassBySelectViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, kind](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->currentSelect_ = kind;
            self->rowsKind_ = kind;
            if (kind == "level") {
                for (const auto& stage : listOf(reply)) self->levelArray_.push_back(stage);
                self->dataArray_ = self->levelArray_;
                self->showPicker();
                self->pickerReloadAllComponents();
                self->showHUDWithBool(false);
            } else {
                self->showHUDWithBool(false);
                self->dataArray_ = listOf(reply);
                self->pickerReloadAllComponents();
            }
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            // The picker keeps the rows of the kind shown before; the kind follows them, so
            // a later pick reads those rows under their own keys.
            self->currentSelect_ = self->rowsKind_;
            self->alert("数据请求失败,请重试");
        });
    operation->start();
}

void MVTAddToClassBySelectViewController::pickerReloadAllComponents() {
    if (typePicker_) typePicker_->reloadAllComponents();
    takeRow(0);
}

void MVTAddToClassBySelectViewController::takeRow(int row) {
    if (row < 0 || row >= static_cast<int>(dataArray_.size())) return;
    const Json& entry = dataArray_.at(static_cast<size_t>(row));
    if (currentSelect_ == "level") {
        const std::string name = textOf(entry, "levelName");
        if (name == lvlLabel_->text()) return;
        gradeLabel_->setText(localized(kGradePlaceholder));
        gradeId_.clear();
        classId_.clear();
        classLabel_->setText(localized(kClassPlaceholder));
        lvlLabel_->setText(name);
        levelId_ = std::to_string(integerValue(valueFor(entry, "id")));
    } else if (currentSelect_ == "grade") {
        const std::string name = textOf(entry, "gradeName");
        if (name == gradeLabel_->text()) return;
        classId_.clear();
        classLabel_->setText(localized(kClassPlaceholder));
        gradeLabel_->setText(name);
        gradeId_ = textOf(entry, "id");
    } else if (currentSelect_ == "class") {
        classLabel_->setText(textOf(entry, "className"));
        classId_ = textOf(entry, "id");
    }
}

bool MVTAddToClassBySelectViewController::classListContains(const std::string& classIds, const std::string& classId) {
    const std::string wanted = trimmed(classId);
    if (wanted.empty()) return false;
    std::string_view rest(classIds);
    while (true) {
        const auto comma = rest.find(',');
        if (trimmed(rest.substr(0, comma)) == wanted) return true;
        if (comma == std::string_view::npos) return false;
        rest.remove_prefix(comma + 1);
    }
}

void MVTAddToClassBySelectViewController::addToClass() {
    if (lvlLabel_->text() == localized(kLevelPlaceholder) || gradeLabel_->text() == localized(kGradePlaceholder) ||
        classLabel_->text() == localized(kClassPlaceholder)) {
        alert("信息不完整,无法提交");
        return;
    }
    // Whole ids are compared: a class "12" is not already joined because of "123".
    if (classListContains(MVTAccount::sharedInstance().classId().value_or(""), classId_)) {
        alert("已经加入该班级，请勿重复申请");
        return;
    }
    const std::string url = ServiceAddress::servicePrefix() +
                            MVTAccount::sharedInstance().userId().value_or("") + "/join/classid/" + classId_;
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    UrlRequest request = client->requestWithMethod("GET", url);
    request.setTimeoutInterval(kJoinTimeout);
    auto weak = weakAs<MVTAddToClassBySelectViewController>();
    // The reply is plain text, so it runs as a plain operation and is read as it came.
    auto operation = client->HTTPRequestOperationWithRequest(
        std::move(request),
        [weak](HttpRequestOperation&, const std::string& body) {
            auto self = weak.lock();
            if (!self) return;
            self->alert(body == kJoinFiledReply ? "加入班级申请发送成功,请等待管理员审批" : kJoinFailed, kCloseAlertTag);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->alert(kJoinFailed);
        });
    operation->start();
}

void MVTAddToClassBySelectViewController::showHUDWithBool(bool show) {
    if (show) {
        if (hud_) hud_->removeFromSuperview();
        hud_ = ProgressHUD::showHUDAddedTo(view(), true);
    } else if (hud_) {
        hud_->hide(true);
    }
}

void MVTAddToClassBySelectViewController::alert(const std::string& message, long tag) {
    auto alertView = AlertView::make(localized("提示"), localized(message),
                                     tag ? weakAs<AlertViewDelegate>() : std::weak_ptr<AlertViewDelegate>(),
                                     localized("确定"));
    alertView->setTag(static_cast<int>(tag));
    alertView->show();
}

int MVTAddToClassBySelectViewController::numberOfComponentsInPickerView(PickerView&) { return 1; }

int MVTAddToClassBySelectViewController::numberOfRowsInComponent(PickerView&, int) {
    return static_cast<int>(dataArray_.size());
}

std::string MVTAddToClassBySelectViewController::titleForRow(PickerView&, int row, int) {
    if (row < 0 || row >= static_cast<int>(dataArray_.size())) return {};
    const Json& entry = dataArray_.at(static_cast<size_t>(row));
    const std::string key = currentSelect_ == "level"   ? "levelName"
                            : currentSelect_ == "grade" ? "gradeName"
                                                        : "className";
    return textOf(entry, key);
}

void MVTAddToClassBySelectViewController::didSelectRow(PickerView&, int row, int) { takeRow(row); }

void MVTAddToClassBySelectViewController::alertViewClickedButtonAtIndex(AlertView& alertView, long) {
    if (alertView.tag() == kCloseAlertTag) goback();
}
