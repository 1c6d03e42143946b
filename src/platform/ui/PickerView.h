#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class PickerView;

// Rows and titles of a picker, and what it tells when the user picks a row.
class PickerViewDelegate {
public:
    virtual ~PickerViewDelegate() = default;
    virtual int numberOfComponentsInPickerView(PickerView& picker) { (void)picker; return 1; }
    virtual int numberOfRowsInComponent(PickerView& picker, int component) = 0;
    virtual std::string titleForRow(PickerView& picker, int row, int component) = 0;
    virtual void didSelectRow(PickerView& picker, int row, int component) {
        (void)picker;
        (void)row;
        (void)component;
    }
};

// A spinning list of choices (216 points high). The row in the middle is the selected
// one; a tap on another visible row turns it to the middle and tells the delegate.
class PickerView : public View {
public:
    static constexpr double kRowHeight = 36;

    PickerView();
    explicit PickerView(const Rect& frame);
    std::string className() const override { return "PickerView"; }

    void setDelegate(std::weak_ptr<PickerViewDelegate> delegate);
    std::shared_ptr<PickerViewDelegate> delegate() const { return delegate_.lock(); }
    int numberOfComponents() const;
    int numberOfRowsInComponent(int component) const;
    // selectRow:inComponent:animated: (tells nobody).
    void selectRow(int row, int component, bool animated = false);
    int selectedRowInComponent(int component) const;
    void reloadAllComponents();
    void reloadComponent(int component);
    bool showsSelectionIndicator() const { return showsIndicator_; }
    void setShowsSelectionIndicator(bool shows) { showsIndicator_ = shows; }

    // The user picks `row` (a tap on it): it turns to the middle and the delegate hears it.
    void userSelectRow(int row, int component = 0);

    void layoutSubviews() override;

private:
    void rebuild();
    std::weak_ptr<PickerViewDelegate> delegate_;
    std::vector<int> selected_;
    std::vector<std::shared_ptr<View>> rowViews_;
    bool showsIndicator_ = true;
};

}  // namespace platform
