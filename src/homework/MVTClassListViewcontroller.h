#pragma once

#include "homework/CourseCheckListScreen.h"
#include "shell/AllListDelegate.h"

#include <memory>
#include <string>

// Picks the subject (kind 1), the course of a subject (kind 2) or the classes of a course
// (kind 3) of a new course homework. Subjects and courses are single choice, classes any
// number, in the order they were ticked. The choice goes back to the opener, once, when
// the back button leaves the screen.
class MVTClassListViewcontroller : public CourseCheckListScreen {
public:
    std::string className() const override { return "MVTClassListViewcontroller"; }
    static constexpr double kWideNameLimit = 270;

    // initWithArray:tag:courseStr: the records chosen so far (null for none), the kind and,
    // for kinds 2 and 3, the subject or course id.
    static std::shared_ptr<MVTClassListViewcontroller> initWithArray(const platform::Json& chosen, int kind,
                                                                     const std::string& idStr);

    std::shared_ptr<AllListDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<AllListDelegate> delegate) { delegate_ = std::move(delegate); }

    void viewDidLoad() override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    // goback: pops, then hands the choice back.
    void goback();
    void sendList();

    int kindnum() const { return kindnum_; }
    const platform::Json& sendArray() const { return sendArray_; }

protected:
    std::string listPath() const override;
    platform::Json listParameters() const override;
    std::string emptyMessage() const override;
    bool isChosen(int row) const override;
    void addName(platform::View& content, const std::string& name) override;

private:
    int kindnum_ = 1;
    std::string idStr_;
    platform::Json sendArray_ = platform::Json::array();
    std::weak_ptr<AllListDelegate> delegate_;
};
