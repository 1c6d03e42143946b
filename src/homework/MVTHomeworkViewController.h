#pragma once

#include "homework/HomeworkScreen.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class Label;
class ScrollView;
}  // namespace platform

// The entry of the course-based homework chain: one square button per subject that has
// homework, three to a row, sorted by id, a red dot on subjects with new homework. A
// subject opens its course homework list; teachers also open the subject-based composer,
// and the grid loads again once that composer has published. Shown as the root of a
// presented navigation controller; its back button dismisses the presentation.
class MVTHomeworkViewController : public HomeworkScreen, public platform::AlertViewDelegate {
public:
    MVTHomeworkViewController();
    ~MVTHomeworkViewController() override;
    std::string className() const override { return "MVTHomeworkViewController"; }

    static constexpr const char* kPageName = "查看作业";
    static constexpr int kDotTag = 222;
    static constexpr int kNoDataTag = 666;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // getHomeworkData: builds the request off the main thread, then loads.
    void getHomeworkData();
    // refreshList: on "publishNewHM".
    void refreshList();
    void reloadIconView();
    void toShowSelectedHomework(platform::Button& button);
    void addNewHM();
    void goback();
    void showNODataLabel(bool show);
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    const platform::Json& subjectsArr() const { return subjectsArr_; }
    int unreadC() const { return unreadC_; }
    std::shared_ptr<platform::ScrollView> scrollView() const { return scrollView_; }
    // The subject buttons, in grid order.
    std::vector<std::shared_ptr<platform::Button>> subjectButtons() const;

private:
    void subjectsArrived(const platform::Json& reply);

    platform::Json subjectsArr_ = platform::Json::array();
    int unreadC_ = 0;
    std::shared_ptr<platform::ScrollView> scrollView_;
    std::shared_ptr<platform::Label> noDataLabel_;
    platform::ObserverToken publishObserver_;
};
