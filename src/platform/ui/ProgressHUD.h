#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {

class ActivityIndicatorView;
class Label;
class ProgressView;

enum class ProgressHUDMode { Indeterminate, Determinate, CustomView, Text };

// The progress overlay: a dark rounded box with a spinner (or a progress bar, a custom
// view, or text only) and a label, over the whole of the view it is added to. It takes
// the touches of that view while shown.
class ProgressHUD : public View {
public:
    ProgressHUD();
    ~ProgressHUD() override;
    std::string className() const override { return "ProgressHUD"; }
    std::string displayedText() const override { return labelText_; }

    // initWithView: sized to the view (not added to it).
    void initWithView(const std::shared_ptr<View>& view);
    // A new overlay added to `view` and shown.
    static std::shared_ptr<ProgressHUD> showHUDAddedTo(const std::shared_ptr<View>& view, bool animated);
    // Hides the top-most overlay in `view`; false when there is none.
    static bool hideHUDForView(const std::shared_ptr<View>& view, bool animated);
    static std::shared_ptr<ProgressHUD> HUDForView(const std::shared_ptr<View>& view);

    void show(bool animated);
    void hide(bool animated);
    void hide(bool animated, double afterDelay);
    bool isShowing() const { return showing_; }

    const std::string& labelText() const { return labelText_; }
    void setLabelText(const std::string& text);
    const std::string& detailsLabelText() const { return detailsText_; }
    void setDetailsLabelText(const std::string& text);
    ProgressHUDMode mode() const { return mode_; }
    void setMode(ProgressHUDMode mode);
    double progress() const { return progress_; }
    void setProgress(double progress);
    const std::shared_ptr<View>& customView() const { return customView_; }
    void setCustomView(const std::shared_ptr<View>& view);
    bool removeFromSuperViewOnHide() const { return removeOnHide_; }
    void setRemoveFromSuperViewOnHide(bool on) { removeOnHide_ = on; }
    bool dimBackground() const { return dim_; }
    void setDimBackground(bool dim);
    // Runs once the overlay is hidden (after its fade).
    void setCompletion(std::function<void()> completion) { completion_ = std::move(completion); }

    void layoutSubviews() override;

private:
    void build();
    void done();

    std::string labelText_, detailsText_;
    ProgressHUDMode mode_ = ProgressHUDMode::Indeterminate;
    double progress_ = 0;
    bool removeOnHide_ = false;
    bool dim_ = false;
    bool showing_ = false;
    unsigned long hideGeneration_ = 0;
    std::shared_ptr<View> box_;
    std::shared_ptr<ActivityIndicatorView> spinner_;
    std::shared_ptr<ProgressView> bar_;
    std::shared_ptr<Label> label_, details_;
    std::shared_ptr<View> customView_;
    std::function<void()> completion_;
};

using ProgressHUDRef = std::shared_ptr<ProgressHUD>;

}  // namespace platform
