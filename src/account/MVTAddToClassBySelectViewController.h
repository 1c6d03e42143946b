#pragma once

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/PickerView.h"

#include <memory>
#include <string>

namespace platform {
class Label;
class ProgressHUD;
}  // namespace platform

// Asks to join a class of the user's school by choosing its stage, grade and class from
// the service's lists. The request waits for the class administrator's approval, so
// nothing of the account changes here. Pushed by the join screens (made with init, no
// arguments); it closes by back or after the answer to the join request.
class MVTAddToClassBySelectViewController : public ViewViewController,
                                            public platform::PickerViewDelegate,
                                            public platform::AlertViewDelegate {
public:
    MVTAddToClassBySelectViewController();
    ~MVTAddToClassBySelectViewController() override;
    std::string className() const override { return "MVTAddToClassBySelectViewController"; }

    // Alert tag whose answer pops the screen.
    static constexpr long kCloseAlertTag = 888;
    // Plain-text reply of the join request when the application was filed.
    static constexpr const char* kJoinFiledReply = "true";
    static constexpr double kJoinTimeout = 30.0;

    void viewDidLoad() override;
    void initTitleView();
    void initMainView();
    // Back, and the answer to the alert tagged 888.
    void goback();

    // Row taps: the stage, grade and class lists.
    void getLvlData();
    void getLevelData();
    void getGradeData();
    void getClassData();
    // Reloads the picker and takes its first row.
    void pickerReloadAllComponents();
    // "确定": the join request.
    void addToClass();
    void showHUDWithBool(bool show);

    // Picker data source and delegate.
    int numberOfComponentsInPickerView(platform::PickerView& picker) override;
    int numberOfRowsInComponent(platform::PickerView& picker, int component) override;
    std::string titleForRow(platform::PickerView& picker, int row, int component) override;
    void didSelectRow(platform::PickerView& picker, int row, int component) override;

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // State, readable by tests and the join screens.
    const std::string& levelId() const { return levelId_; }
    const std::string& gradeId() const { return gradeId_; }
    const std::string& classId() const { return classId_; }
    // "level", "grade" or "class": the kind of rows in the picker.
    const std::string& currentSelect() const { return currentSelect_; }
    const platform::Json& levelArray() const { return levelArray_; }
    const platform::Json& dataArray() const { return dataArray_; }
    std::shared_ptr<platform::Label> lvlLabel() const { return lvlLabel_; }
    std::shared_ptr<platform::Label> gradeLabel() const { return gradeLabel_; }
    std::shared_ptr<platform::Label> classLabel() const { return classLabel_; }
    std::shared_ptr<platform::PickerView> typePicker() const { return typePicker_; }

    // True when `classId` is one of the comma-separated ids of `classIds` (whole ids
    // compared, surrounding blanks ignored): "12" is not in "123,7".
    static bool classListContains(const std::string& classIds, const std::string& classId);

private:
    void takeRow(int row);
    void showPicker();
    void loadList(const std::string& path, const std::string& kind);
    void alert(const std::string& message, long tag = 0);
    std::shared_ptr<platform::Label> makeRow(double top, double height, const std::string& caption,
                                             const std::string& placeholder, void (MVTAddToClassBySelectViewController::*tap)());

    std::shared_ptr<platform::Label> lvlLabel_;
    std::shared_ptr<platform::Label> gradeLabel_;
    std::shared_ptr<platform::Label> classLabel_;
    std::string levelId_;
    std::string gradeId_;
    std::string classId_;
    std::string currentSelect_;
    // The kind of the rows dataArray_ holds now (currentSelect_ names the kind asked for).
    std::string rowsKind_;
    platform::Json levelArray_ = platform::Json::array();
    platform::Json dataArray_ = platform::Json::array();
    std::shared_ptr<platform::PickerView> typePicker_;
    std::shared_ptr<platform::ProgressHUD> hud_;
};
