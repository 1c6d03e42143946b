#pragma once

// A row of the praise-me list: the praiser's avatar, name and time, "赞了你的<module>"
// and a small picture of the praised item (a mood picture for ids 51 to 59). 85 high.

#include "shell/CellDelegate.h"

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class ImageView;
class Label;
}  // namespace platform

class MVTPraseMeCell : public platform::TableViewCell {
public:
    std::string className() const override { return "MVTPraseMeCell"; }
    static constexpr double kHeight = 85;

    // initWithtDict:reuseIdentifier:
    static std::shared_ptr<MVTPraseMeCell> initWithtDict(const platform::Json& record, const std::string& identifier);
    // reuseCellWithDic: lays the row out again for another record.
    void reuseCellWithDic(const platform::Json& record);
    void setDelegate(std::weak_ptr<CellDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<CellDelegate> delegate() const { return delegate_.lock(); }
    // clickHeadBtn: the praiser's space, through the list.
    void clickHeadBtn();

    // The action text of a module code: "赞了你的" with the module's name in lower case;
    // empty without a code.
    static std::string actionTextFor(const std::string& module);

    const platform::Json& dataDic() const { return dataDic_; }
    std::shared_ptr<platform::Label> actionLabel() const { return actionLabel_; }
    std::shared_ptr<platform::ImageView> picture() const { return picture_; }

private:
    void layoutRecord();

    platform::Json dataDic_ = platform::Json::object();
    std::weak_ptr<CellDelegate> delegate_;
    std::shared_ptr<platform::Label> actionLabel_;
    std::shared_ptr<platform::ImageView> picture_;
};
