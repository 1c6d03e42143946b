#pragma once

#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class Label;
class Switch;
}  // namespace platform

// Told when the user flips a reminder switch: its new state and the cell's tag.
class NewsSettingDelegate {
public:
    virtual ~NewsSettingDelegate() = default;
    virtual void openOrCloseWith(bool on, int tag) = 0;
};

// A row of the reminder settings: a switch row (title and switch) or, for kind 3, a detail
// row (title and a right-aligned detail text).
class MVTNewSettingCell : public platform::TableViewCell {
public:
    static constexpr int kDetailKind = 3;

    MVTNewSettingCell(platform::TableViewCellStyle style, const std::string& reuseIdentifier);

    void reloadDetalsDataWith(bool on, int kind, const std::string& title, const std::string& detail);
    // The switch's value changed: the delegate hears its state and the cell's tag.
    void toChangeWith();

    void setDelegate(std::weak_ptr<NewsSettingDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<platform::Label> titleLa() const { return titleLa_; }
    std::shared_ptr<platform::Label> detalsLa() const { return detalsLa_; }
    std::shared_ptr<platform::Switch> switchBtn() const { return switchBtn_; }

private:
    std::shared_ptr<platform::Label> titleLa_;
    std::shared_ptr<platform::Label> detalsLa_;
    std::shared_ptr<platform::Switch> switchBtn_;
    std::weak_ptr<NewsSettingDelegate> delegate_;
};
