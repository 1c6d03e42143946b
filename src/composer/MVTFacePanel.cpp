#include "composer/MVTFacePanel.h"

#include "composer/EmojView.h"
#include "composer/MVTFacialView.h"
#include "shell/InternationalControl.h"

#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/Screen.h"

#include <cmath>

using namespace platform;

namespace {

const Color kPanelGrey = Color::rgb255(235, 235, 235);

// The face number inside a token, "" when the token is not "[em:N:]".
std::string faceNumberOf(const std::string& token) {
    const std::string prefix = "[em:", suffix = ":]";
    if (token.size() <= prefix.size() + suffix.size() || token.rfind(prefix, 0) != 0 ||
        token.compare(token.size() - suffix.size(), suffix.size(), suffix) != 0)
        return "";
    return token.substr(prefix.size(), token.size() - prefix.size() - suffix.size());
}

}  // namespace

const std::vector<std::string>& MVTFacePanel::faces() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> tokens;
        for (int face = 1; face <= kFaceCount; ++face) tokens.push_back("[em:" + std::to_string(face) + ":]");
        return tokens;
    }();
    return list;
}

void MVTFacePanel::initWithFrame(const Rect& frame) {
    setFrame(frame);
    setBackgroundColor(kPanelGrey);
    setNeedsLayout();
}

void MVTFacePanel::layoutSubviews() {
    View::layoutSubviews();
    if (built_) return;
    built_ = true;
    buildExtras();
    loadFacialView(0);
}

void MVTFacePanel::loadFacialView(int set) {
    const std::vector<std::string> none;
    const auto& tokens = set == 0 ? faces() : none;
    const double width = bounds().width();
    const int perPage = kFacesPerRow * kRowsPerPage;
    const int pages = static_cast<int>((tokens.size() + perPage - 1) / perPage);

    if (myscrollView_) myscrollView_->removeFromSuperview();
    const Rect frame = scrollFrame();
    myscrollView_ = std::make_shared<ScrollView>(frame);
    myscrollView_->setBackgroundColor(Color::whiteColor());
    myscrollView_->setDelegate(std::dynamic_pointer_cast<ScrollViewDelegate>(shared_from_this()));
    myscrollView_->setShowsHorizontalScrollIndicator(false);
    myscrollView_->setShowsVerticalScrollIndicator(false);
    myscrollView_->setPagingEnabled(true);
    myscrollView_->setContentSize({width * pages, frame.height()});
    addSubview(myscrollView_);

    // Seven faces of 24 points share the screen's width with eight equal gaps.
    const double gap = (Screen::mainScreen().bounds().width() - kFacesPerRow * kFaceSide) / 8;
    std::weak_ptr<MVTFacePanel> weak = std::dynamic_pointer_cast<MVTFacePanel>(shared_from_this());
    for (int p = 0; p < pages; ++p) {
        for (int r = 0; r < kRowsPerPage; ++r) {
            for (int c = 0; c < kFacesPerRow; ++c) {
                const size_t index = static_cast<size_t>(p * perPage + r * kFacesPerRow + c);
                if (index >= tokens.size()) break;
                const std::string& token = tokens[index];
                const std::string number = faceNumberOf(token);
                if (number.empty()) continue;
                auto button = Button::buttonWithType(ButtonType::Custom);
                button->setFrame({gap + c * (gap + kFaceSide) + p * width, 16 + r * 40.0, kFaceSide, kFaceSide});
                button->setBackgroundColor(Color::clear());
                button->setImage(Image::imageNamed(number + ".png"));
                // The title carries the token; it is not shown.
                button->setTitle(token);
                button->titleLabel()->setHidden(true);
                button->setAccessibilityLabel(token);
                button->setAccessibilityValue(token);
                button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
                    if (auto self = weak.lock()) self->selected(static_cast<Button&>(control));
                });
                myscrollView_->addSubview(button);
            }
        }
    }

    if (pageControl_) pageControl_->removeFromSuperview();
    pageControl_ = std::make_shared<PageControl>(dotsFrame());
    pageControl_->setBackgroundColor(Color::clear());
    pageControl_->setNumberOfPages(pages);
    pageControl_->setCurrentPage(0);
    pageControl_->setPageIndicatorTintColor(Color::rgb255(192, 192, 192));
    pageControl_->setCurrentPageIndicatorTintColor(Color::rgb255(128, 138, 135));
    pageControl_->addTarget(ControlEventValueChanged, [weak](Control&) {
        if (auto self = weak.lock()) self->changePage();
    });
    addSubview(pageControl_);
}

void MVTFacePanel::selected(Button& button) {
    if (auto d = delegate()) d->selectedFacialView(button.titleForState(ControlStateNormal));
}

void MVTFacePanel::changePage() {
    if (myscrollView_ && pageControl_)
        myscrollView_->setContentOffset({bounds().width() * pageControl_->currentPage(), 0}, false);
}

void MVTFacePanel::scrollViewDidScroll(ScrollView& scrollView) {
    const double width = bounds().width();
    if (pageControl_ && width > 0) pageControl_->setCurrentPage(static_cast<int>(scrollView.contentOffset().x / width));
}

// ---- The two panels ---------------------------------------------------------------------

Rect EmojView::scrollFrame() const { return {0, 0, bounds().width(), 216}; }
Rect EmojView::dotsFrame() const { return {0, 175, bounds().width(), 20}; }

Rect MVTFacialView::scrollFrame() const { return {0, 0, bounds().width(), 177}; }
Rect MVTFacialView::dotsFrame() const { return {0, 165, bounds().width(), 10}; }

void MVTFacialView::buildExtras() {
    doneButton_ = Button::buttonWithType(ButtonType::Custom);
    doneButton_->setFrame({bounds().width() - 60, 183, 50, 25});
    doneButton_->setImage(Image::imageNamed("btbg_black"));
    std::weak_ptr<MVTFacialView> weak = std::dynamic_pointer_cast<MVTFacialView>(shared_from_this());
    doneButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->sendBtBtClick();
    });
    addSubview(doneButton_);

    auto label = std::make_shared<Label>(Rect(0, 0, 50, 25));
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(18));
    label->setTextAlignment(TextAlignment::Center);
    label->setText(localized(isFromChatView_ ? "发送" : "完成"));
    label->setTextColor(isFromChatView_ ? Color::rgba(0.38, 0.78, 0.976) : Color::whiteColor());
    label->setUserInteractionEnabled(false);
    label->setTag(kButtonLabelTag);
    doneButton_->addSubview(label);
}

void MVTFacialView::sendBtBtClick() {
    if (auto d = delegate()) d->sendMessage();
}
