#include "platform/ui/ProgressHUD.h"

#include "platform/RunLoop.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/TextMeasure.h"

namespace platform {

namespace {
constexpr double kFade = 0.3;
}

ProgressHUD::ProgressHUD() {
    setBackgroundColor(Color::clear());
    setAlpha(0);
}

ProgressHUD::~ProgressHUD() = default;

// The parts need the overlay to be owned by a shared pointer already.
void ProgressHUD::build() {
    if (box_) return;
    box_ = std::make_shared<View>(Rect(0, 0, 120, 100));
    box_->setBackgroundColor(Color::white(0, 0.8));
    box_->setCornerRadius(10);
    addSubview(box_);
    spinner_ = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::WhiteLarge);
    box_->addSubview(spinner_);
    bar_ = std::make_shared<ProgressView>();
    box_->addSubview(bar_);
    label_ = std::make_shared<Label>();
    label_->setFont(Font::boldSystemFontOfSize(16));
    label_->setTextColor(Color::whiteColor());
    label_->setTextAlignment(TextAlignment::Center);
    box_->addSubview(label_);
    details_ = std::make_shared<Label>();
    details_->setFont(Font::boldSystemFontOfSize(12));
    details_->setTextColor(Color::whiteColor());
    details_->setTextAlignment(TextAlignment::Center);
    details_->setNumberOfLines(0);
    box_->addSubview(details_);
    setMode(mode_);
}

void ProgressHUD::initWithView(const std::shared_ptr<View>& view) {
    if (view) setFrame(view->bounds());
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    build();
}

std::shared_ptr<ProgressHUD> ProgressHUD::showHUDAddedTo(const std::shared_ptr<View>& view, bool animated) {
    auto hud = std::make_shared<ProgressHUD>();
    hud->initWithView(view);
    if (view) view->addSubview(hud);
    hud->show(animated);
    return hud;
}

std::shared_ptr<ProgressHUD> ProgressHUD::HUDForView(const std::shared_ptr<View>& view) {
    if (!view) return nullptr;
    auto& subs = view->subviews();
    for (auto it = subs.rbegin(); it != subs.rend(); ++it)
        if (auto hud = std::dynamic_pointer_cast<ProgressHUD>(*it)) return hud;
    return nullptr;
}

bool ProgressHUD::hideHUDForView(const std::shared_ptr<View>& view, bool animated) {
    auto hud = HUDForView(view);
    if (!hud) return false;
    hud->setRemoveFromSuperViewOnHide(true);
    hud->hide(animated);
    return true;
}

void ProgressHUD::setLabelText(const std::string& text) {
    labelText_ = text;
    if (label_) label_->setText(text);
    setNeedsLayout();
}

void ProgressHUD::setDetailsLabelText(const std::string& text) {
    detailsText_ = text;
    if (details_) details_->setText(text);
    setNeedsLayout();
}

void ProgressHUD::setMode(ProgressHUDMode mode) {
    mode_ = mode;
    if (!box_) return;
    spinner_->setHidden(mode != ProgressHUDMode::Indeterminate);
    if (mode == ProgressHUDMode::Indeterminate) spinner_->startAnimating();
    else spinner_->stopAnimating();
    bar_->setHidden(mode != ProgressHUDMode::Determinate);
    if (customView_) customView_->setHidden(mode != ProgressHUDMode::CustomView);
    setNeedsLayout();
}

void ProgressHUD::setProgress(double progress) {
    progress_ = std::clamp(progress, 0.0, 1.0);
    if (bar_) bar_->setProgress(progress_);
}

void ProgressHUD::setCustomView(const std::shared_ptr<View>& view) {
    build();
    if (customView_) customView_->removeFromSuperview();
    customView_ = view;
    if (view) box_->addSubview(view);
    setMode(mode_);
}

void ProgressHUD::setDimBackground(bool dim) {
    dim_ = dim;
    setBackgroundColor(dim ? Color::white(0, 0.3) : Color::clear());
}

void ProgressHUD::show(bool animated) {
    build();
    showing_ = true;
    ++hideGeneration_;
    if (animated) animate(kFade, [this] { setAlpha(1); });
    else setAlpha(1);
}

void ProgressHUD::hide(bool animated) {
    if (!showing_) return;
    showing_ = false;
    unsigned long generation = ++hideGeneration_;
    auto self = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    if (animated) {
        animate(kFade, [self] { self->setAlpha(0); },
                [self, generation](bool) {
                    if (self->hideGeneration_ == generation) self->done();
                });
    } else {
        setAlpha(0);
        done();
    }
}

void ProgressHUD::hide(bool animated, double afterDelay) {
    auto self = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    unsigned long generation = hideGeneration_;
    RunLoop::main().performAfter(afterDelay, [self, animated, generation] {
        // A show in between cancels the delayed hide.
        if (self->hideGeneration_ == generation) self->hide(animated);
    });
}

void ProgressHUD::done() {
    if (spinner_) spinner_->stopAnimating();
    if (removeOnHide_) removeFromSuperview();
    if (auto completion = std::move(completion_)) {
        completion_ = nullptr;
        completion();
    }
}

void ProgressHUD::layoutSubviews() {
    if (!box_) return;
    double w = 120, y = 20;
    Size ls = TextMeasure::size(labelText_, label_->font());
    Size ds = TextMeasure::size(detailsText_, details_->font(), std::max(0.0, bounds().width() - 80));
    w = std::max({w, ls.width + 40, ds.width + 40});
    w = std::min(w, std::max(120.0, bounds().width() - 40));
    if (mode_ == ProgressHUDMode::Indeterminate) {
        spinner_->setFrame({(w - 37) / 2, y, 37, 37});
        y += 37 + 10;
    } else if (mode_ == ProgressHUDMode::Determinate) {
        bar_->setFrame({20, y + 10, w - 40, 2});
        y += 30;
    } else if (mode_ == ProgressHUDMode::CustomView && customView_) {
        Rect f = customView_->frame();
        customView_->setFrame({(w - f.width()) / 2, y, f.width(), f.height()});
        y += f.height() + 10;
    }
    label_->setFrame({10, y, w - 20, labelText_.empty() ? 0 : ls.height});
    if (!labelText_.empty()) y += ls.height + 4;
    details_->setFrame({10, y, w - 20, detailsText_.empty() ? 0 : ds.height});
    if (!detailsText_.empty()) y += ds.height + 4;
    y += 16;
    box_->setFrame({(bounds().width() - w) / 2, (bounds().height() - y) / 2, w, y});
}

}  // namespace platform
