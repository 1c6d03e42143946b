#include "account/ClassCodeJoin.h"

#include "account/MVTAddToClassBySelectViewController.h"
#include "account/MVTZXingViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/SavedUser.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"

#include "platform/HttpClient.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/UrlEncoding.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextMeasure.h"

#include <sstream>

using namespace platform;

namespace class_code_join {

namespace {

constexpr double kMargin = 10;
constexpr double kBoxHeight = 44;
constexpr double kLinkHeight = 30;
// The links sit this far below the top edge of the field's box.
constexpr double kLinksBelowBox = 54;

const Color kHintColor = Color::white(0.45);
const Color kLinkColor = Color::rgb255(65, 166, 219);

std::shared_ptr<Button> makeLink(const std::string& title, double x, double y, Control::Handler action) {
    const Font font = Font::systemFontOfSize(14);
    const double width = TextMeasure::sizeWithFont(title, font).width + 4;
    auto link = Button::buttonWithType(ButtonType::Custom);
    link->setFrame({x, y, width, kLinkHeight});
    link->setTitle(title);
    link->setTitleColor(kLinkColor);
    link->setTitleColor(kHintColor, ControlStateHighlighted);
    link->titleLabel()->setFont(font);
    if (action) link->addTarget(ControlEventTouchUpInside, std::move(action));
    return link;
}

// The "%@" text of an account field: "(null)" when it was never set.
std::string formatted(const MVTAccount::Text& text) { return platform::textOfOptional(text); }

}  // namespace

Form buildForm(const std::shared_ptr<View>& root, const std::string& hintText,
               std::weak_ptr<TextFieldDelegate> fieldDelegate, FormActions actions) {
    Form form;
    const double width = Screen::mainScreen().bounds().width();
    const Font hintFont = Font::systemFontOfSize(14);
    const double hintWidth = width - 2 * kMargin;
    const double hintHeight =
        TextMeasure::sizeWithFont(hintText, hintFont, {hintWidth, 1000}, LineBreakMode::WordWrap).height;

    form.hint = std::make_shared<Label>(Rect(kMargin, 15, hintWidth, hintHeight));
    form.hint->setText(hintText);
    form.hint->setFont(hintFont);
    form.hint->setTextColor(kHintColor);
    form.hint->setTextAlignment(TextAlignment::Center);
    form.hint->setNumberOfLines(0);
    form.hint->setBackgroundColor(Color::clear());
    root->addSubview(form.hint);

    form.box = std::make_shared<View>(Rect(kMargin, form.hint->frame().maxY() + 15, width - 2 * kMargin, kBoxHeight));
    form.box->setBackgroundColor(Color::whiteColor());
    form.box->setCornerRadius(2);
    root->addSubview(form.box);

    form.codeField = std::make_shared<TextField>(Rect(kMargin, 0, form.box->frame().width() - 2 * kMargin, kBoxHeight));
    form.codeField->setFont(Font::systemFontOfSize(16));
    form.codeField->setTextAlignment(TextAlignment::Center);
    form.codeField->setPlaceholder("输入班级编号");
    form.codeField->setClearButtonMode(TextFieldViewMode::WhileEditing);
    form.codeField->setBorderStyle(TextBorderStyle::None);
    form.codeField->setKeyboardType(KeyboardType::Default);
    form.codeField->setReturnKeyType(ReturnKeyType::Done);
    form.codeField->setAutocorrection(false);
    form.codeField->setTag(kCodeFieldTag);
    form.codeField->setDelegate(std::move(fieldDelegate));
    form.box->addSubview(form.codeField);

    const double linksY = form.box->frame().minY() + kLinksBelowBox;
    form.scanButton = makeLink(localized("扫描二维码"), kMargin, linksY, std::move(actions.scan));
    root->addSubview(form.scanButton);

    form.getClassIdBtn = makeLink(localized("无法获取班级编号,经审核加入"), 0, linksY, std::move(actions.getClassId));
    Rect right = form.getClassIdBtn->frame();
    right.origin.x = width - kMargin - right.width();
    form.getClassIdBtn->setFrame(right);
    form.getClassIdBtn->setHidden(true);
    root->addSubview(form.getClassIdBtn);

    if (actions.schoolOnly) {
        form.schoolOnlyButton = makeLink(kSchoolOnly, kMargin, linksY + kLinkHeight, std::move(actions.schoolOnly));
        root->addSubview(form.schoolOnlyButton);
    }
    return form;
}

bool accountHasSchool() {
    const std::string school = MVTAccount::sharedInstance().schoolId().value_or("");
    return !school.empty() && school != "0" && school != "-1";
}

bool isEmptyCode(const std::string& code) { return MVTPublicMethod::stringIsClassNull(Json(code)); }

void showEmptyCodeAlert() { showNotice("请输入班级编号"); }

void showNotice(const std::string& message) {
    AlertView::make(localized("提示"), message, {}, localized("确定"))->show();
}

std::string classCodeFromScan(const std::string& text) {
    static const std::string marker = "param=";
    const auto at = text.rfind(marker);
    return at == std::string::npos ? text : text.substr(at + marker.size());
}

std::string classQueryUrl(const std::string& code) {
    return ServiceAddress::servicePrefix() + formatted(MVTAccount::sharedInstance().schoolId()) + "/classcode/" +
           percentEscape(code) + "/info";
}

std::string joinUrl(const std::string& code) {
    return ServiceAddress::servicePrefix() + formatted(MVTAccount::sharedInstance().userId()) +
           "/json/join/classcode/" + percentEscape(code);
}

bool sendJsonGet(const std::string& url, std::function<void(const Json& reply)> success,
                 std::function<void()> failure, const std::function<void()>& beforeSend) {
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return false;
    }
    UrlRequest request = client->requestWithMethod("GET", url);
    request.setTimeoutInterval(kRequestTimeout);
    if (beforeSend) beforeSend();
    auto operation = client->JSONRequestOperationWithRequest(
        std::move(request),
        [success = std::move(success)](HttpJsonRequestOperation&, const Json& reply) { success(reply); },
        [failure = std::move(failure)](HttpRequestOperation&, const HttpError&) { failure(); });
    operation->start();
    return true;
}

bool isNoReply(const Json& reply) { return reply.is_null(); }

bool isSuccess(const Json& reply) { return integerValue(textOf(valueFor(reply, "success"))) == 1; }

bool needsApproval(const Json& reply) {
    if (!reply.is_object() || !reply.contains("approve")) return false;
    const std::string approve = textOf(reply, "approve");
    return approve == "1" || approve == "true";
}

std::string reasonOr(const Json& reply, const char* key, const std::string& fallback) {
    const Json& value = valueFor(reply, key);
    return MVTPublicMethod::stringIsClassNull(value) ? fallback : textOf(value);
}

Recorded recordJoinedClass(const Json& reply) {
    const Json& classValue = valueFor(reply, "classId");
    if (MVTPublicMethod::stringIsClassNull(classValue)) return Recorded::NoClassId;
    const std::string newId = textOf(classValue);

    MVTAccount& account = MVTAccount::sharedInstance();
    const std::string old = formatted(account.classId());
    if (MVTPublicMethod::stringIsClassNull(Json(old))) {
        account.setClassId(newId);
    } else {
        std::stringstream items(old);
        for (std::string item; std::getline(items, item, ',');)
            if (item == newId) return Recorded::AlreadyJoined;
        account.setClassId(newId + "," + old);
    }
    // A reply without a school keeps the school the account had.
    const Json& schoolValue = valueFor(reply, "schoolId");
    if (!MVTPublicMethod::stringIsClassNull(schoolValue)) account.setSchoolId(textOf(schoolValue));
    rewriteSavedUser();
    return Recorded::Joined;
}

void rewriteSavedUser() { rewriteSavedUserFromAccount(); }

void setUpNavigationBar(ViewController& screen, Control::Handler back, Control::Handler done) {
    screen.setTitle(localized("加入班级"));
    auto backButton = MVTPublicMethod::navigationleftBarButton();
    backButton->addTarget(ControlEventTouchUpInside, std::move(back));
    screen.navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(backButton));
    auto doneButton = MVTPublicMethod::navigationrightBarButton(localized("完成"));
    doneButton->addTarget(ControlEventTouchUpInside, std::move(done));
    screen.navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(doneButton));
}

bool refuseEmptyCode(const std::string& code, View& root) {
    if (!isEmptyCode(code)) return false;
    root.endEditing(true);
    showEmptyCodeAlert();
    return true;
}

void offerClassWithCode(const std::string& code, std::weak_ptr<AlertViewDelegate> delegate) {
    sendJsonGet(
        classQueryUrl(code),
        [delegate](const Json& reply) {
            if (delegate.expired() || isNoReply(reply)) return;
            if (isSuccess(reply)) {
                auto confirm = AlertView::make(localized("确定加入该班级？"), reasonOr(reply, "message", ""), delegate,
                                               localized("取消"), {localized("确定")});
                confirm->setTag(static_cast<int>(kConfirmAlertTag));
                confirm->show();
                return;
            }
            // A refusal without a reason still says that the class was not found.
            showNotice(reasonOr(reply, "message", localized("查询班级信息失败")));
        },
        [] { showNotice(localized("查询班级信息失败")); });
}

void showJoinFailed(const Json& reply, std::weak_ptr<AlertViewDelegate> delegate) {
    AlertView::make(localized("提示"), reasonOr(reply, "msg", localized("加入班级失败,请重试")), std::move(delegate),
                    localized("确定"))
        ->show();
}

bool recordJoinedClassOrTell(const Json& reply) {
    switch (recordJoinedClass(reply)) {
        case Recorded::AlreadyJoined:
            showNotice("已加入该班级，重复操作。");
            return false;
        case Recorded::NoClassId:
            showNotice(localized("加入班级失败,请重试"));
            return false;
        case Recorded::Joined:
            break;
    }
    return true;
}

void presentScanScreen(ViewController& screen, std::weak_ptr<MVTZXingViewControllerDelegate> delegate) {
    auto scan = std::make_shared<MVTZXingViewController>();
    scan->setDelegate(std::move(delegate));
    screen.presentViewController(myNavigationController::withRoot(scan), true);
}

void pushJoinByChoice(ViewController& screen) {
    if (auto* navigation = screen.navigationController())
        navigation->pushViewController(std::make_shared<MVTAddToClassBySelectViewController>(), true);
}

}  // namespace class_code_join
