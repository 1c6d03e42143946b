#include "platform/ui/IndexBar.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace platform {

IndexBar::IndexBar(const Rect& frame) : View(frame) {
    for (const auto& letter : letters()) {
        auto label = std::make_shared<Label>();
        label->setText(letter);
        label->setFont(Font::boldSystemFontOfSize(11));
        label->setTextColor(Color::rgb255(100, 100, 100));
        label->setTextAlignment(TextAlignment::Center);
        label->setUserInteractionEnabled(false);
        addSubview(label);
        labels_.push_back(label);
    }
    setNeedsLayout();
}

const std::vector<std::string>& IndexBar::letters() {
    static const std::vector<std::string> kLetters = [] {
        std::vector<std::string> all{"#"};
        for (char c = 'A'; c <= 'Z'; ++c) all.emplace_back(1, c);
        return all;
    }();
    return kLetters;
}

void IndexBar::layoutSubviews() {
    const double step = bounds().height() / static_cast<double>(labels_.size());
    for (std::size_t i = 0; i < labels_.size(); ++i)
        labels_[i]->setFrame({0, step * static_cast<double>(i), bounds().width(), step});
}

int IndexBar::letterIndexAt(double y) const {
    const int count = static_cast<int>(letters().size());
    if (bounds().height() <= 0) return 0;
    const int row = static_cast<int>(y / (bounds().height() / count));
    return std::clamp(row, 0, count - 1);
}

int IndexBar::sectionForLetter(int letterIndex) const {
    if (letterIndex < 0 || static_cast<std::size_t>(letterIndex) >= letters().size()) return -1;
    const auto found = std::find(titles_.begin(), titles_.end(), letters()[static_cast<std::size_t>(letterIndex)]);
    return found == titles_.end() ? -1 : static_cast<int>(found - titles_.begin());
}

void IndexBar::report(const Touches& touches) {
    if (touches.empty()) return;
    const int section = sectionForLetter(letterIndexAt(touches.front()->locationInView(this).y));
    if (section < 0 || section == lastSection_) return;
    lastSection_ = section;
    if (auto delegate = delegate_.lock()) delegate->indexBarDidSelectSection(*this, section);
}

void IndexBar::touchesBegan(const Touches& touches) {
    lastSection_ = -1;
    report(touches);
}

void IndexBar::touchesMoved(const Touches& touches) { report(touches); }

void IndexBar::touchesEnded(const Touches& touches) {
    report(touches);
    lastSection_ = -1;
    if (auto delegate = delegate_.lock()) delegate->indexBarTouchesEnded(*this);
}

void IndexBar::touchesCancelled(const Touches&) {
    lastSection_ = -1;
    if (auto delegate = delegate_.lock()) delegate->indexBarTouchesEnded(*this);
}

}  // namespace platform
