#include "notices/NoticeScreens.h"

#include "notices/AllClassViewController.h"
#include "notices/MVTNewsCenterViewController.h"
#include "notices/NoticeShared.h"
#include "notices/NotiViewController.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"

using namespace platform;

namespace notices {

namespace {

// Answers the join-a-class alert raised by the launcher for the screen that raised it.
class NoticeJoinAnswer : public AlertViewDelegate {
public:
    explicit NoticeJoinAnswer(std::weak_ptr<ViewController> from) : from_(std::move(from)) {}
    void alertViewClickedButtonAtIndex(AlertView& alert, long index) override {
        if (auto from = from_.lock()) MVTInterClassViewController::answerJoinClassAlert(*from, alert, index);
    }

private:
    std::weak_ptr<ViewController> from_;
};

void presentList(ViewController& from, const std::optional<Json>& classDic) {
    auto list = NotiViewController::initWithClassDic(classDic);
    list->setFromWhere(false);
    from.presentViewController(myNavigationController::withRoot(list), true);
}

void presentPicker(ViewController& from) {
    from.presentViewController(myNavigationController::withRoot(std::make_shared<AllClassViewController>()), true);
}

}  // namespace

void presentNoticesFromApps(ViewController& from) {
    if (MVTPublicMethod::isUnClassId()) {
        // The alert holds its delegate weakly: the latest answer object lives until the next.
        static std::shared_ptr<NoticeJoinAnswer> answer;
        answer = std::make_shared<NoticeJoinAnswer>(from.weak_from_this());
        MVTInterClassViewController::showJoinClassAlert(answer);
        return;
    }
    const std::string role = currentRole();
    if (role == "student" || role == "parent") {
        MVTAccount::sharedInstance().setNewNoti(false);
        presentList(from, std::nullopt);
        NotificationCenter::defaultCenter().postNotification(AllClassViewController::kMarkUpside);
        return;
    }
    presentPicker(from);
}

void presentNoticesFromMessages(ViewController& from, bool list, const std::string& classId) {
    if (list) {
        presentList(from, Json{{"id", classId.empty() ? "0" : classId}, {"name", localized("班级通知")}});
        return;
    }
    presentPicker(from);
}

void presentCourseCentre(ViewController& from) {
    from.presentViewController(myNavigationController::withRoot(std::make_shared<MVTNewsCenterViewController>()), true);
}

}  // namespace notices
