#include "platform/ui/ActionSheet.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalOverlay.h"
#include "platform/ui/Touch.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace platform {

namespace {
constexpr double kRowHeight = 44;
}  // namespace

ActionSheet::ActionSheet() : View(Window::controllerFrame()) { setBackgroundColor(Color::white(0, 0.4)); }

// Subviews need the sheet to be owned by a shared pointer already.
void ActionSheet::build() {
    if (panel_) return;
    panel_ = std::make_shared<View>(Rect(0, 0, bounds().width(), 100));
    panel_->setBackgroundColor(Color::white(0.8));
    addSubview(panel_);
    titleLabel_ = std::make_shared<Label>(Rect(8, 0, bounds().width() - 16, 0));
    titleLabel_->setFont(Font::systemFontOfSize(13));
    titleLabel_->setTextColor(Color::gray());
    titleLabel_->setTextAlignment(TextAlignment::Center);
    titleLabel_->setNumberOfLines(0);
    panel_->addSubview(titleLabel_);
}

ActionSheet::~ActionSheet() = default;

void ActionSheet::initWithTitle(const std::string& title, std::weak_ptr<ActionSheetDelegate> delegate,
                                const std::string& cancelButtonTitle, const std::string& destructiveButtonTitle,
                                const std::vector<std::string>& otherButtonTitles) {
    build();
    setTitle(title);
    delegate_ = std::move(delegate);
    if (!destructiveButtonTitle.empty()) destructiveIndex_ = addButtonWithTitle(destructiveButtonTitle);
    for (auto& t : otherButtonTitles) addButtonWithTitle(t);
    if (!cancelButtonTitle.empty()) cancelIndex_ = addButtonWithTitle(cancelButtonTitle);
    if (destructiveIndex_ >= 0) buttons_[static_cast<size_t>(destructiveIndex_)]->setTitleColor(Color::red());
}

std::shared_ptr<ActionSheet> ActionSheet::make(const std::string& title, std::weak_ptr<ActionSheetDelegate> delegate,
                                               const std::string& cancelButtonTitle,
                                               const std::string& destructiveButtonTitle,
                                               const std::vector<std::string>& otherButtonTitles) {
    auto sheet = std::make_shared<ActionSheet>();
    sheet->initWithTitle(title, std::move(delegate), cancelButtonTitle, destructiveButtonTitle, otherButtonTitles);
    return sheet;
}

void ActionSheet::setTitle(const std::string& title) {
    build();
    title_ = title;
    titleLabel_->setText(title);
    setNeedsLayout();
}

long ActionSheet::addButtonWithTitle(const std::string& title) {
    build();
    auto button = modal_overlay::rowButton(title);
    const long index = modal_overlay::appendButton(buttons_, button, [this](long i) { clickButtonAtIndex(i); });
    panel_->addSubview(button);
    setNeedsLayout();
    return index;
}

std::string ActionSheet::buttonTitleAtIndex(long index) const { return modal_overlay::titleAt(buttons_, index); }

long ActionSheet::firstOtherButtonIndex() const {
    for (long i = 0; i < numberOfButtons(); ++i)
        if (i != cancelIndex_ && i != destructiveIndex_) return i;
    return -1;
}

void ActionSheet::showInView(View* view) {
    build();
    if (visible_) return;
    auto self = std::static_pointer_cast<ActionSheet>(shared_from_this());
    visible_ = true;
    Window* window = view ? view->window() : nullptr;
    modal_overlay::show(self, window ? std::static_pointer_cast<Window>(window->shared_from_this()) : nullptr);
}

void ActionSheet::clickButtonAtIndex(long index) {
    if (!visible_) return;
    auto self = std::static_pointer_cast<ActionSheet>(shared_from_this());
    if (auto d = delegate()) d->actionSheetClickedButtonAtIndex(*this, index);
    dismissWithClickedButtonIndex(index, true);
}

void ActionSheet::dismissWithClickedButtonIndex(long index, bool) {
    if (!visible_) return;
    auto self = std::static_pointer_cast<ActionSheet>(shared_from_this());
    if (auto d = delegate()) d->actionSheetWillDismiss(*this, index);
    visible_ = false;
    modal_overlay::hide(self);
    if (auto d = delegate()) d->actionSheetDidDismiss(*this, index);
}

std::vector<std::shared_ptr<ActionSheet>> ActionSheet::visibleSheets() {
    return modal_overlay::visibleList<ActionSheet>();
}

std::shared_ptr<ActionSheet> ActionSheet::topSheet() { return modal_overlay::front<ActionSheet>(); }

void ActionSheet::clearVisible() {
    modal_overlay::clear<ActionSheet>([](ActionSheet& sheet) { sheet.visible_ = false; });
}

void ActionSheet::touchesEnded(const Touches& touches) {
    if (touches.empty() || cancelIndex_ < 0) return;
    Point p = touches.front()->locationInView(this);
    if (panel_ && !panel_->frame().contains(p)) clickButtonAtIndex(cancelIndex_);
}

void ActionSheet::layoutSubviews() {
    if (!panel_) return;
    double w = bounds().width();
    double y = 0;
    if (!title_.empty()) {
        Size s = titleLabel_->sizeThatFits({w - 16, 1000});
        titleLabel_->setFrame({8, 12, w - 16, s.height});
        y = 24 + s.height;
    }
    for (long i = 0; i < numberOfButtons(); ++i) {
        if (i == cancelIndex_) continue;
        buttons_[static_cast<size_t>(i)]->setFrame({0, y + 0.5, w, kRowHeight});
        y += kRowHeight + 0.5;
    }
    if (cancelIndex_ >= 0 && cancelIndex_ < numberOfButtons()) {
        y += 6;
        buttons_[static_cast<size_t>(cancelIndex_)]->setFrame({0, y, w, kRowHeight});
        y += kRowHeight;
    }
    panel_->setFrame({0, bounds().height() - y, w, y});
}

}  // namespace platform
