#pragma once

// What the two join-by-class-code screens (the join-a-class-first screen and the in-app
// join screen) share: the form, the two requests, reading their replies and recording
// the joined class in the account and the saved user.

#include "platform/Values.h"
#include "platform/ui/Control.h"

#include <functional>
#include <memory>
#include <string>

class MVTZXingViewControllerDelegate;

namespace platform {
class AlertViewDelegate;
class Button;
class Label;
class TextField;
class TextFieldDelegate;
class View;
class ViewController;
}  // namespace platform

namespace class_code_join {

inline constexpr double kRequestTimeout = 20.0;
// The code field takes the keyboard this long after the screen loads.
inline constexpr double kFocusDelay = 0.24;
// The sign-out after the approval-pending alert is answered.
inline constexpr double kSignOutDelay = 0.6;
inline constexpr long kConfirmAlertTag = 1122;
inline constexpr long kApprovalAlertTag = 5337;
inline constexpr int kCodeFieldTag = 11;

// Hints above the field (shown as they stand in every language).
inline constexpr const char* kHintWithSchool = "请先加入班级或学校，可以查看和分享更多精彩。";
inline constexpr const char* kHint = "请先加入班级，可以查看和分享更多精彩。";
inline constexpr const char* kSchoolOnly = "不知道班级编号，仅加入学校";

// The views of the form, top to bottom.
struct Form {
    std::shared_ptr<platform::Label> hint;
    std::shared_ptr<platform::View> box;
    std::shared_ptr<platform::TextField> codeField;
    std::shared_ptr<platform::Button> scanButton;
    std::shared_ptr<platform::Button> getClassIdBtn;  // hidden until the account shows a school
    std::shared_ptr<platform::Button> schoolOnlyButton;  // only when asked for
};

struct FormActions {
    platform::Control::Handler scan;
    platform::Control::Handler getClassId;
    platform::Control::Handler schoolOnly;  // empty: no school-only link
};

// Builds the form into `root`.
Form buildForm(const std::shared_ptr<platform::View>& root, const std::string& hintText,
               std::weak_ptr<platform::TextFieldDelegate> fieldDelegate, FormActions actions);

// A school id that is none of "", "0" and "-1" (a missing one counts as none).
bool accountHasSchool();

// The code is empty or reads "(null)" or "<null>".
bool isEmptyCode(const std::string& code);
// "提示" / "请输入班级编号" / "确定".
void showEmptyCodeAlert();
// "提示" with `message` and "确定", without a delegate.
void showNotice(const std::string& message);

// The class code in a scanned text: what follows the last "param=", or the whole text
// when there is none.
std::string classCodeFromScan(const std::string& text);

// "%@%@/classcode/%@/info": the account's school id (an empty one leaves "//") and the
// code as typed, escaped as one path segment.
std::string classQueryUrl(const std::string& code);
// "%@%@/json/join/classcode/%@": the account's user id and the code.
std::string joinUrl(const std::string& code);

// A GET of `url` as a JSON request operation with the 20-second timeout; `beforeSend`
// runs once the request is sure to go. Offline: the network banner (kind 0), nothing
// sent, false.
bool sendJsonGet(const std::string& url, std::function<void(const platform::Json& reply)> success,
                 std::function<void()> failure, const std::function<void()>& beforeSend = {});

// A reply that is no answer at all (an empty body).
bool isNoReply(const platform::Json& reply);
// "success" whose text reads as the integer 1.
bool isSuccess(const platform::Json& reply);
// "approve" whose text is "1" or "true".
bool needsApproval(const platform::Json& reply);
// The reply's text under `key`, or `fallback` when it has none to show.
std::string reasonOr(const platform::Json& reply, const char* key, const std::string& fallback);

enum class Recorded {
    Joined,         // the account and the saved user carry the class now
    AlreadyJoined,  // the class was in the account: nothing changed
    NoClassId,      // the reply named no class: nothing changed
};
// Puts the joined class (the reply's "classId") first in the account's class list, takes
// the reply's "schoolId" and rewrites the saved user. Tells nobody.
Recorded recordJoinedClass(const platform::Json& reply);
// Rewrites the saved-user row from the account record (the sixteen saved fields).
void rewriteSavedUser();

// ---- Steps both screens take the same way ----------------------------------------------------

// The title "加入班级", the back arrow (running `back`) and "完成" (running `done`) in the
// navigation bar of `screen`.
void setUpNavigationBar(platform::ViewController& screen, platform::Control::Handler back,
                        platform::Control::Handler done);
// The "扫描二维码" and "无法获取班级编号,经审核加入" actions of `screen`'s form: each runs its
// member of the screen while the screen is there.
template <class Screen>
FormActions scanAndChoiceActions(const std::weak_ptr<Screen>& screen) {
    FormActions actions;
    actions.scan = [screen](platform::Control&) {
        if (auto self = screen.lock()) self->toZXing();
    };
    actions.getClassId = [screen](platform::Control&) {
        if (auto self = screen.lock()) self->doNotKnowTheClassCode();
    };
    return actions;
}
// An empty code closes the keyboard in `root` and shows the empty-code alert: true. Any
// other code: false, nothing done.
bool refuseEmptyCode(const std::string& code, platform::View& root);
// Looks the class with `code` up. A class found is offered in the confirm alert (tag 1122:
// "取消" 0, "确定" 1) answered by `delegate`; a refusal or a failed request shows its notice.
// Nothing happens when the delegate is gone by the reply or the reply is empty.
void offerClassWithCode(const std::string& code, std::weak_ptr<platform::AlertViewDelegate> delegate);
// "提示" with the reply's "msg" (or "加入班级失败,请重试") and "确定", answered by `delegate`.
void showJoinFailed(const platform::Json& reply, std::weak_ptr<platform::AlertViewDelegate> delegate);
// recordJoinedClass, with the notice for a class already joined or for a reply naming no
// class. True when the class was joined.
bool recordJoinedClassOrTell(const platform::Json& reply);
// Presents the scan screen from `screen`, inside a navigation controller, reporting to
// `delegate`.
void presentScanScreen(platform::ViewController& screen, std::weak_ptr<MVTZXingViewControllerDelegate> delegate);
// Pushes the join-by-choice screen onto the navigation controller of `screen`.
void pushJoinByChoice(platform::ViewController& screen);

}  // namespace class_code_join
