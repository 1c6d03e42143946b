#pragma once

#include "microlessons/MVTChooseCourse.h"
#include "tests/TestsScreen.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class Button;
class ImageView;
class Label;
class TextView;
}  // namespace platform

// "上传微课": the picked video's thumbnail, a free description and the course the lesson
// belongs to. "上传" hands all three to the application's upload queue and goes on to the
// status screen; a course must be chosen first. The form clears the queue's course on
// opening, so the course picker shows no earlier choice.
class MVTUpMicroInfoViewController : public TestsScreen,
                                     public MVTTeacherCourseViewDelegate,
                                     public platform::AlertViewDelegate {
public:
    std::string className() const override { return "MVTUpMicroInfoViewController"; }
    static constexpr int kLeaveAlertTag = 11;

    // The picked video (the photo library's file). Builds the view first.
    void setMicroAssetWith(const std::string& assetPath);
    void viewDidLoad() override;

    void whichCourseSelectdWith(const std::string& courseId, const std::string& courseName) override;
    void goBack();
    void toSubmitMicroView();
    void toSelectClass();
    void toDoneKeyboard();
    void keyboardWillShow(const platform::Notification& notification);
    void keyboardWillHidden(const platform::Notification& notification);
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void tureToGoBack();

    const std::string& nowAsset() const { return nowAsset_; }
    const std::optional<std::string>& nowCourseId() const { return nowCourseId_; }
    std::shared_ptr<platform::TextView> detailsTextView() const { return detailsTextView_; }
    std::shared_ptr<platform::Label> detailsLa() const { return detailsLa_; }
    std::shared_ptr<platform::Label> classLa() const { return classLa_; }
    std::shared_ptr<platform::Button> doneBtn() const { return doneBtn_; }
    std::shared_ptr<platform::AlertView> lastAlert() const { return lastAlert_; }

private:
    void initAllView();
    void createDoneBtn();
    void stopObservingKeyboard();

    std::string nowAsset_;
    std::optional<std::string> nowCourseId_;
    std::shared_ptr<platform::TextView> detailsTextView_;
    std::shared_ptr<platform::Label> detailsLa_;
    std::shared_ptr<platform::Button> classBtn_;
    std::shared_ptr<platform::Label> classLa_;
    std::shared_ptr<platform::Button> doneBtn_;
    std::shared_ptr<platform::AlertView> lastAlert_;
    platform::ObserverToken keyboardShowToken_;
    platform::ObserverToken keyboardHideToken_;
};
