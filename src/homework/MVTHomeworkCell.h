#pragma once

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class Label;
class View;
}  // namespace platform

// What a row of the course homework list reports to the list.
class MVTHomeworkCellDelegate {
public:
    virtual ~MVTHomeworkCellDelegate() = default;
    // The "附件" toggle of row `row`.
    virtual void toSaveShowAttachWith(int row) = 0;
    // An attachment button: resource id in its accessibility hint, lower-case type in its
    // accessibility label, display name as its title.
    virtual void toDownLoadAttachsWith(platform::Button& button) = 0;
    // The reload button of the last row after a failed page.
    virtual void toAgainGetListData() = 0;
    // The action button of row `row` (teachers).
    virtual void showActionSheet(int row) = 0;
};

// One row of the course homework list, or its last "more" row. A homework row shows the
// title, author, text, the assigned classes (teachers), the time and a fold-out list of
// attachment buttons; filling it sets the cell's own frame, whose height is the row height.
// The "more" row shows the paging state and offers a reload after a failed page.
class MVTHomeworkCell : public platform::TableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "MVTHomeworkCell";
    static constexpr int kFrameTag = 11;
    static constexpr int kAttachmentTag = 100000;
    static constexpr const char* kMoreText = "      更多...";

    std::string className() const override { return "MVTHomeworkCell"; }
    // initWithStyle:reuseIdentifier: builds every view once; the action button only when
    // the signed-in user is a teacher at this moment.
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);
    static std::shared_ptr<MVTHomeworkCell> make();

    // reloadDataWith:Index:showAttach:isMore:isLoad:isFalse:
    void reloadDataWith(const platform::Json& row, int index, const std::string& showAttach, bool isMore,
                        bool isLoad, bool isFalse);
    // getAttachButtonWith: one attachment button.
    std::shared_ptr<platform::Button> getAttachButtonWith(const platform::Json& attachment);

    // The icon of an attachment by its suffix; the size text of "size".
    static std::string iconNameForSuffix(const std::string& suffix);
    static std::string sizeText(const platform::Json& size);

    std::shared_ptr<MVTHomeworkCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTHomeworkCellDelegate> delegate) { delegate_ = std::move(delegate); }

    std::shared_ptr<platform::View> bgView() const { return bgView_; }
    std::shared_ptr<platform::Button> sendBtn() const { return sendBtn_; }
    std::shared_ptr<platform::Label> titleLa() const { return titleLa_; }
    std::shared_ptr<platform::Label> nameLa() const { return name_; }
    std::shared_ptr<platform::Label> contentLa() const { return content_; }
    std::shared_ptr<platform::Label> shareTargetLB() const { return shareTargetLB_; }
    std::shared_ptr<platform::Label> datelineLa() const { return datelineLa_; }
    std::shared_ptr<platform::Button> attachBtn() const { return attachBtn_; }
    std::shared_ptr<platform::Label> moreLa() const { return moreLa_; }
    std::shared_ptr<platform::Button> againBtn() const { return againBtn_; }

private:
    void fillHomework(const platform::Json& row, int index, const std::string& showAttach);
    void fillMore(bool isLoad, bool isFalse);

    std::weak_ptr<MVTHomeworkCellDelegate> delegate_;
    std::shared_ptr<platform::View> bgView_;
    std::shared_ptr<platform::Button> sendBtn_;
    std::shared_ptr<platform::Label> titleLa_, name_, content_, shareTargetLB_, datelineLa_;
    std::shared_ptr<platform::Button> attachBtn_;
    std::shared_ptr<platform::Label> moreLa_;
    std::shared_ptr<platform::Button> againBtn_;
};
