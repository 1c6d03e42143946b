#pragma once

#include "tests/MVTStudentCourseCell.h"
#include "tests/TestsScreen.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <map>
#include <memory>
#include <set>
#include <string>

class myTableView;
class AttachmentDownloadOverlay;

namespace platform {
class Button;
class Label;
}  // namespace platform

class MVTCourseListViewDelegate {
public:
    virtual ~MVTCourseListViewDelegate() = default;
    // The test's new completion count, as decimal text.
    virtual void updateCompletePerson(const std::string& count) = 0;
};

// The answer sheet: one test's questions, one cell per row. In "homeView" the signed-in
// user's own sheet (a student answers and sends); in "teacherToLook" one student's sheet,
// shown as that student sees it. The cells hand their judged answers to the sheet, which
// keeps the latest per row, sends them together, merges the results into its questions
// and rebuilds the list so every sent question shows as submitted.
//
// The opener sets the properties, then the tag of the sheet's view (1: from a list row,
// 0: from a search; only tag 1 reports a completed test), and pushes it.
class MVTCourseListViewController : public TestsScreen,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate,
                                    public platform::AlertViewDelegate,
                                    public MVTStudentCourseCellDelegate {
public:
    std::string className() const override { return "MVTCourseListViewController"; }

    static constexpr const char* kHomeView = "homeView";
    static constexpr const char* kTeacherToLook = "teacherToLook";
    static constexpr int kSendAlertTag = 11;
    static constexpr int kLeaveAlertTag = 12;

    void setWhereShow(const std::string& mode) { whereShow_ = mode; }
    const std::string& whereShow() const { return whereShow_; }
    void setExamId(const std::string& id) { examId_ = id; }
    const std::string& examId() const { return examId_; }
    void setTitleStr(const std::string& title) { titleStr_ = title; }
    const std::string& titleStr() const { return titleStr_; }
    void setStdId(const std::string& id) { stdId_ = id; }
    const std::string& stdId() const { return stdId_; }
    void setCompleteCount(int count) { completeCount_ = count; }
    int completeCount() const { return completeCount_; }
    void setDelegate(std::weak_ptr<MVTCourseListViewDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<MVTCourseListViewDelegate> delegate() const { return delegate_.lock(); }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void goback();
    void toSubmit();
    void submitData();
    void getCourseData();
    void changeDataToReload(const std::map<std::string, platform::Json>& sent);
    void initmytableview();
    void showNone();
    void showSubmitFailed();
    void toDoneKeyboard();
    void keyboardWillShow(const platform::Notification& notification);
    void keyboardWillHidden(const platform::Notification& notification);

    // ---- The cells' reports.
    void toSetCourseTableViewScrol(bool on) override;
    void showDoneBtn(platform::TextView* input) override;
    void toSendAnswer(const platform::Json& record, int row) override;
    void moreAnswerAt(int row) override;
    void toShowFileImageWith(const std::string& resourceId, const std::string& fileName) override;

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    // ---- State, readable by tests and the benchmark.
    const platform::Json& dataArr() const { return dataArr_; }
    const std::map<std::string, platform::Json>& allAnswersDic() const { return allAnswersDic_; }
    int unDidSubmit() const { return unDidSubmit_; }
    const std::string& userRole() const { return userRole_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::Button> doneBtn() const { return doneBtn_; }
    std::shared_ptr<platform::Button> sendButton() const { return sendButton_; }
    std::shared_ptr<MVTStudentCourseCell> cellAtRow(int row);
    std::shared_ptr<AttachmentDownloadOverlay> downloadOverlay() const { return overlay_; }

private:
    void buildTable();
    void createHeadView();
    void createFooterView();
    void createDoneBtn();
    void removeSendButton();
    void observeKeyboard();
    void showAlert(const std::string& title, int tag, const std::string& cancel,
                   const std::vector<std::string>& others);

    std::string whereShow_;
    std::string examId_;
    std::string titleStr_;
    std::string stdId_;
    int completeCount_ = 0;
    std::weak_ptr<MVTCourseListViewDelegate> delegate_;

    platform::Json dataArr_ = platform::Json::array();
    std::map<std::string, platform::Json> allAnswersDic_;
    int unDidSubmit_ = 0;
    bool completionReported_ = false;
    bool sending_ = false;
    std::string userRole_;
    std::weak_ptr<platform::TextView> nowTextView_;
    std::map<int, std::shared_ptr<MVTStudentCourseCell>> cells_;

    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::View> myheadView_;
    std::shared_ptr<platform::View> myFooterView_;
    std::shared_ptr<platform::Label> noneLabel_;
    std::shared_ptr<platform::Button> doneBtn_;
    std::shared_ptr<platform::Button> sendButton_;
    std::shared_ptr<AttachmentDownloadOverlay> overlay_;
    platform::ObserverToken keyboardShowToken_;
    platform::ObserverToken keyboardHideToken_;
};
