#include "platform/ui/AlertView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalOverlay.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace platform {

namespace {
constexpr double kBoxWidth = 270;
constexpr double kButtonHeight = 44;
}  // namespace

AlertView::AlertView() : View(Window::controllerFrame()) { setBackgroundColor(Color::white(0, 0.4)); }

// Subviews need the alert to be owned by a shared pointer already, so they are made on
// first use rather than in the constructor.
void AlertView::build() {
    if (box_) return;
    box_ = std::make_shared<View>(Rect(0, 0, kBoxWidth, 100));
    box_->setBackgroundColor(Color::white(0.97));
    box_->setCornerRadius(7);
    box_->setClipsToBounds(true);
    addSubview(box_);
    titleLabel_ = std::make_shared<Label>(Rect(16, 20, kBoxWidth - 32, 22));
    titleLabel_->setFont(Font::boldSystemFontOfSize(17));
    titleLabel_->setTextAlignment(TextAlignment::Center);
    titleLabel_->setNumberOfLines(0);
    box_->addSubview(titleLabel_);
    messageLabel_ = std::make_shared<Label>(Rect(16, 44, kBoxWidth - 32, 20));
    messageLabel_->setFont(Font::systemFontOfSize(14));
    messageLabel_->setTextAlignment(TextAlignment::Center);
    messageLabel_->setNumberOfLines(0);
    box_->addSubview(messageLabel_);
}

AlertView::~AlertView() = default;

void AlertView::initWithTitle(const std::string& title, const std::string& message,
                              std::weak_ptr<AlertViewDelegate> delegate, const std::string& cancelButtonTitle,
                              const std::vector<std::string>& otherButtonTitles) {
    build();
    setTitle(title);
    setMessage(message);
    delegate_ = std::move(delegate);
    if (!cancelButtonTitle.empty()) cancelIndex_ = addButtonWithTitle(cancelButtonTitle);
    for (auto& t : otherButtonTitles) addButtonWithTitle(t);
}

std::shared_ptr<AlertView> AlertView::make(const std::string& title, const std::string& message,
                                           std::weak_ptr<AlertViewDelegate> delegate,
                                           const std::string& cancelButtonTitle,
                                           const std::vector<std::string>& otherButtonTitles) {
    auto alert = std::make_shared<AlertView>();
    alert->initWithTitle(title, message, std::move(delegate), cancelButtonTitle, otherButtonTitles);
    return alert;
}

void AlertView::setTitle(const std::string& title) {
    build();
    title_ = title;
    titleLabel_->setText(title);
    setNeedsLayout();
}

void AlertView::setMessage(const std::string& message) {
    build();
    message_ = message;
    messageLabel_->setText(message);
    setNeedsLayout();
}

std::shared_ptr<Button> AlertView::makeButton(const std::string& title) { return modal_overlay::rowButton(title); }

long AlertView::addButtonWithTitle(const std::string& title) {
    build();
    auto button = makeButton(title);
    const long index = modal_overlay::appendButton(buttons_, button, [this](long i) { clickButtonAtIndex(i); });
    box_->addSubview(button);
    setNeedsLayout();
    return index;
}

std::string AlertView::buttonTitleAtIndex(long index) const { return modal_overlay::titleAt(buttons_, index); }

long AlertView::firstOtherButtonIndex() const {
    for (long i = 0; i < numberOfButtons(); ++i)
        if (i != cancelIndex_) return i;
    return -1;
}

void AlertView::setAlertViewStyle(AlertViewStyle style) {
    build();
    style_ = style;
    if (style == AlertViewStyle::Default) {
        if (field_) field_->removeFromSuperview();
        field_.reset();
    } else if (!field_) {
        field_ = std::make_shared<TextField>(Rect(16, 0, kBoxWidth - 32, 28));
        field_->setBorderStyle(TextBorderStyle::Line);
        field_->setFont(Font::systemFontOfSize(14));
        box_->addSubview(field_);
    }
    if (field_) field_->setSecureTextEntry(style == AlertViewStyle::SecureTextInput);
    setNeedsLayout();
}

std::shared_ptr<TextField> AlertView::textFieldAtIndex(long index) const {
    if (index != 0) return nullptr;
    return field_;
}

void AlertView::show() {
    build();
    if (visible_) return;
    auto self = std::static_pointer_cast<AlertView>(shared_from_this());
    visible_ = true;
    modal_overlay::show(self, nullptr);
    if (field_) field_->becomeFirstResponder();
}

void AlertView::clickButtonAtIndex(long index) {
    if (!visible_) return;
    auto self = std::static_pointer_cast<AlertView>(shared_from_this());
    if (auto d = delegate()) d->alertViewClickedButtonAtIndex(*this, index);
    dismissWithClickedButtonIndex(index, true);
}

void AlertView::dismissWithClickedButtonIndex(long index, bool animated) {
    (void)animated;
    if (!visible_) return;
    auto self = std::static_pointer_cast<AlertView>(shared_from_this());
    if (auto d = delegate()) d->alertViewWillDismiss(*this, index);
    visible_ = false;
    if (field_ && field_->isFirstResponder()) field_->resignFirstResponder();
    modal_overlay::hide(self);
    if (auto d = delegate()) d->alertViewDidDismiss(*this, index);
}

std::vector<std::shared_ptr<AlertView>> AlertView::visibleAlerts() { return modal_overlay::visibleList<AlertView>(); }

std::shared_ptr<AlertView> AlertView::topAlert() { return modal_overlay::front<AlertView>(); }

void AlertView::clearVisible() {
    modal_overlay::clear<AlertView>([](AlertView& alert) { alert.visible_ = false; });
}

void AlertView::layoutSubviews() {
    if (!box_) return;
    double inner = kBoxWidth - 32;
    double y = 20;
    Size ts = TextMeasure::size(title_, titleLabel_->font(), inner);
    titleLabel_->setFrame({16, y, inner, ts.height});
    y += ts.height + (message_.empty() ? 0 : 4);
    Size ms = TextMeasure::size(message_, messageLabel_->font(), inner);
    messageLabel_->setFrame({16, y, inner, ms.height});
    y += ms.height + 16;
    if (field_) {
        field_->setFrame({16, y, inner, 28});
        y += 28 + 12;
    }
    // Two buttons side by side (cancel on the left); otherwise one per row, cancel last.
    if (buttons_.size() == 2) {
        buttons_[0]->setFrame({0, y + 0.5, kBoxWidth / 2 - 0.25, kButtonHeight});
        buttons_[1]->setFrame({kBoxWidth / 2 + 0.25, y + 0.5, kBoxWidth / 2 - 0.25, kButtonHeight});
        y += kButtonHeight + 0.5;
    } else {
        for (long i = 0; i < numberOfButtons(); ++i) {
            if (i == cancelIndex_) continue;
            buttons_[static_cast<size_t>(i)]->setFrame({0, y + 0.5, kBoxWidth, kButtonHeight});
            y += kButtonHeight + 0.5;
        }
        if (cancelIndex_ >= 0 && cancelIndex_ < numberOfButtons()) {
            buttons_[static_cast<size_t>(cancelIndex_)]->setFrame({0, y + 0.5, kBoxWidth, kButtonHeight});
            y += kButtonHeight + 0.5;
        }
    }
    box_->setBackgroundColor(Color::white(0.8));
    Rect b = bounds();
    double top = (b.height() - y) / 2;
    if (field_ && field_->isFirstResponder()) top = std::max(20.0, (b.height() - 216 - y) / 2);
    box_->setFrame({(b.width() - kBoxWidth) / 2, top, kBoxWidth, y});
}

}  // namespace platform
