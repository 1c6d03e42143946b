#include "platform/ui/SearchBar.h"

#include "platform/ui/Button.h"

namespace platform {

class SearchBar::FieldDelegate : public TextFieldDelegate {
public:
    explicit FieldDelegate(SearchBar* bar) : bar_(bar) {}
    bool textFieldShouldBeginEditing(TextField&) override {
        auto d = bar_->delegate();
        return !d || d->searchBarShouldBeginEditing(*bar_);
    }
    void textFieldDidBeginEditing(TextField&) override {
        if (auto d = bar_->delegate()) d->searchBarTextDidBeginEditing(*bar_);
    }
    void textFieldDidEndEditing(TextField&) override {
        if (auto d = bar_->delegate()) d->searchBarTextDidEndEditing(*bar_);
    }
    bool textFieldShouldReturn(TextField&) override {
        if (auto d = bar_->delegate()) d->searchBarSearchButtonClicked(*bar_);
        return true;
    }
    SearchBar* bar_;
};

SearchBar::SearchBar() : View(Rect(0, 0, 320, 44)) { setBackgroundColor(barTint_); }

SearchBar::SearchBar(const Rect& frame) : View(frame) { setBackgroundColor(barTint_); }

SearchBar::~SearchBar() {
    if (field_) field_->setDelegate({});
}

// The field and button need this bar to be owned by a shared pointer, so they are made
// on first use.
void SearchBar::build() {
    if (field_) return;
    fieldDelegate_ = std::make_shared<FieldDelegate>(this);
    field_ = std::make_shared<TextField>(Rect(8, 7, bounds().width() - 16, 30));
    field_->setBorderStyle(TextBorderStyle::RoundedRect);
    field_->setFont(Font::systemFontOfSize(14));
    field_->setReturnKeyType(ReturnKeyType::Search);
    field_->setClearButtonMode(TextFieldViewMode::WhileEditing);
    field_->setPlaceholder(placeholder_);
    field_->setText(pendingText_);
    field_->setDelegate(fieldDelegate_);
    field_->addTarget(ControlEventEditingChanged, [this](Control&) {
        if (auto d = delegate()) d->searchBarTextDidChange(*this, field_->text());
    });
    addSubview(field_);
    cancel_ = Button::buttonWithType(ButtonType::System);
    cancel_->setTitle("Cancel");
    cancel_->setHidden(!showsCancel_);
    cancel_->addTarget(ControlEventTouchUpInside, [this](Control&) {
        if (auto d = delegate()) d->searchBarCancelButtonClicked(*this);
    });
    addSubview(cancel_);
    setNeedsLayout();
}

std::shared_ptr<TextField> SearchBar::searchField() {
    build();
    return field_;
}

std::shared_ptr<Button> SearchBar::cancelButton() {
    build();
    return cancel_;
}

std::string SearchBar::text() const { return field_ ? field_->text() : pendingText_; }

void SearchBar::setText(const std::string& text) {
    pendingText_ = text;
    if (field_) field_->setText(text);
}

void SearchBar::setPlaceholder(const std::string& placeholder) {
    placeholder_ = placeholder;
    if (field_) field_->setPlaceholder(placeholder);
}

void SearchBar::setShowsCancelButton(bool shows, bool) {
    showsCancel_ = shows;
    if (cancel_) cancel_->setHidden(!shows);
    setNeedsLayout();
}

bool SearchBar::becomeFirstResponder() { return searchField()->becomeFirstResponder(); }

bool SearchBar::resignFirstResponder() { return field_ ? field_->resignFirstResponder() : true; }

void SearchBar::layoutSubviews() {
    build();
    double w = bounds().width(), h = bounds().height();
    double cancelWidth = showsCancel_ ? 60 : 0;
    field_->setFrame({8, (h - 30) / 2, std::max(0.0, w - 16 - cancelWidth), 30});
    cancel_->setFrame({w - cancelWidth - 4, 0, cancelWidth, h});
}

}  // namespace platform
