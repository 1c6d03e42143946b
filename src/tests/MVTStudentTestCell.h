#pragma once

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class Label;
}  // namespace platform

class MVTTeacherTestDelegate {
public:
    virtual ~MVTTeacherTestDelegate() = default;
    // A row's completion button: it carries the test's id (accessibility hint) and title
    // (accessibility value), or no id and an empty title.
    virtual void showTestCompleteList(platform::Button& button) = 0;
};

// One test as a row: its title, its time of publication and, for students, how many
// completed it; for every other role a button with the completed and published counts
// that leads to the completion list. Filling sets the cell's frame, whose height is the
// row height.
class MVTStudentTestCell : public platform::TableViewCell {
public:
    MVTStudentTestCell();
    std::string className() const override { return "MVTStudentTestCell"; }
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);
    static std::shared_ptr<MVTStudentTestCell> make(const std::string& reuseIdentifier);

    // reloaddataWith:with: the test and whether the row is the last of its section.
    void reloaddataWith(const platform::Json& test, bool last);

    std::shared_ptr<MVTTeacherTestDelegate> delegate() const { return delegate_.lock(); }
    // Held weakly: the list owns the table that owns the cell.
    void setDelegate(std::weak_ptr<MVTTeacherTestDelegate> delegate) { delegate_ = std::move(delegate); }

    std::shared_ptr<platform::Label> titleLa() const { return titleLa_; }
    std::shared_ptr<platform::Label> timeLa() const { return timeLa_; }
    std::shared_ptr<platform::Label> personLa() const { return personLa_; }
    std::shared_ptr<platform::Label> countLa() const { return countLa_; }
    std::shared_ptr<platform::Button> completeButton() const { return completeButton_; }
    std::shared_ptr<platform::View> bgLine() const { return bgLine_; }

private:
    std::weak_ptr<MVTTeacherTestDelegate> delegate_;
    std::shared_ptr<platform::View> bgView_;
    std::shared_ptr<platform::Label> titleLa_;
    std::shared_ptr<platform::Label> timeLa_;
    std::shared_ptr<platform::Label> personLa_;
    std::shared_ptr<platform::Label> countLa_;
    std::shared_ptr<platform::Button> completeButton_;
    std::shared_ptr<platform::View> bgLine_;
};
