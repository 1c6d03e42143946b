#pragma once

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ImageView;
class Label;
}  // namespace platform

class MVTNewHomeworkCellDelegate {
public:
    virtual ~MVTNewHomeworkCellDelegate() = default;
    // The star button of a row: its tag is the row index, its accessibility value the
    // homework id.
    virtual void newHomeworkCellStarClick(platform::Button& button) = 0;
};

// One row of the homework list: the text, the time, the recipient and hand-in counts, a
// red dot while unread and, for students, a star button. Filling the cell also sets its
// height, which the list reads as the row height.
class MVTNewHomeworkCell : public platform::TableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "newHomeworkCell";

    MVTNewHomeworkCell();
    std::string className() const override { return "MVTNewHomeworkCell"; }

    // initWithStyle:reuseIdentifier: builds the views.
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);
    static std::shared_ptr<MVTNewHomeworkCell> make();

    // reloadDataWith:with: fills the views from the row and sets the cell's frame.
    void reloadDataWith(const platform::Json& row, int index);
    // The star button's action.
    void toMarkStarWith(platform::Button& button);

    std::shared_ptr<MVTNewHomeworkCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTNewHomeworkCellDelegate> delegate) { delegate_ = std::move(delegate); }

    std::shared_ptr<platform::View> dianView() const { return dianView_; }
    std::shared_ptr<platform::Label> contentLa() const { return contentLa_; }
    std::shared_ptr<platform::Label> timeLa() const { return timeLa_; }
    std::shared_ptr<platform::Label> subCountLa() const { return subCountLa_; }
    std::shared_ptr<platform::Button> starBtn() const { return starBtn_; }
    std::shared_ptr<platform::ImageView> arrow() const { return arrow_; }
    std::shared_ptr<platform::ImageView> line() const { return line_; }

private:
    std::weak_ptr<MVTNewHomeworkCellDelegate> delegate_;
    std::shared_ptr<platform::View> dianView_;
    std::shared_ptr<platform::Label> contentLa_;
    std::shared_ptr<platform::Label> timeLa_;
    std::shared_ptr<platform::Label> subCountLa_;
    std::shared_ptr<platform::Button> starBtn_;
    std::shared_ptr<platform::ImageView> arrow_;
    std::shared_ptr<platform::ImageView> line_;
};
