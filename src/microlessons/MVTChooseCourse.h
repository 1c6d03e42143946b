#pragma once

#include "tests/TestsScreen.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
}

class MVTTeacherCourseViewDelegate {
public:
    virtual ~MVTTeacherCourseViewDelegate() = default;
    // The tapped course: its id and name, both as text.
    virtual void whichCourseSelectdWith(const std::string& courseId, const std::string& courseName) = 0;
};

// "选择课程": the teacher's courses for an upload, 15 a page, the course of the pending
// upload checked. A tap reports the course and closes the picker a moment later. While
// the network is down the footer offers to load again, as after a failure.
class MVTTeacherCourseViewController : public TestsScreen,
                                       public platform::TableViewDataSource,
                                       public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTTeacherCourseViewController"; }
    static constexpr int kPageSize = 15;
    static constexpr double kTimeout = 20;
    static constexpr double kRowHeight = 44;
    static constexpr double kCloseDelay = 0.1;

    void setDelegate(std::weak_ptr<MVTTeacherCourseViewDelegate> delegate) { delegate_ = std::move(delegate); }
    void viewDidLoad() override;
    void goback();
    // Loads the page after the courses listed: count / 15 + 1.
    void getSelectData();

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const platform::Json& listArr() const { return listArr_; }
    std::shared_ptr<platform::Button> moreBtn() const { return moreBtn_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }

private:
    void initMoreFooterView();
    void showFooter(const char* title, bool enabled);

    std::weak_ptr<MVTTeacherCourseViewDelegate> delegate_;
    platform::Json listArr_ = platform::Json::array();
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::Button> moreBtn_;
};
