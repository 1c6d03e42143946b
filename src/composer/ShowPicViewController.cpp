#include "composer/ShowPicViewController.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace platform;

namespace {

Size screenSize() { return Screen::mainScreen().bounds().size; }

std::string counterText(int current, int count) {
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d", current, count);
    return text;
}

}  // namespace

void ShowPicViewController::initWith(const std::vector<ImageRef>& images,
                                     const std::shared_ptr<std::vector<std::string>>& paths, int tag) {
    const Size screen = screenSize();
    auto root = view();
    pictures_ = images;
    showImagePathArr_ = paths ? paths : std::make_shared<std::vector<std::string>>();
    showArray = Json::array();
    for (size_t i = 0; i < pictures_.size(); ++i)
        showArray.push_back(i < showImagePathArr_->size() ? (*showImagePathArr_)[i] : std::string());

    backView = std::make_shared<View>(Rect(0, 0, screen.width, screen.height));
    backView->setBackgroundColor(Color::black());
    std::weak_ptr<ShowPicViewController> weak = weakAs<ShowPicViewController>();
    backView->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
        if (auto self = weak.lock()) self->showBar();
    }));
    root->addSubview(backView);

    allScroll_ = std::make_shared<ScrollView>(Rect(0, 0, screen.width, screen.height));
    allScroll_->setTag(kPagingViewTag);
    allScroll_->setShowsVerticalScrollIndicator(false);
    allScroll_->setDelegate(std::dynamic_pointer_cast<ScrollViewDelegate>(shared_from_this()));
    allScroll_->setPagingEnabled(true);
    allScroll_->setDecelerationRate(1.0);
    allScroll_->setBounces(false);
    backView->addSubview(allScroll_);

    currentNum = tag;
    buildPages(true);
    showPage(currentNum);

    const int count = static_cast<int>(pictures_.size());
    if (count > 1) {
        pageLabel = std::make_shared<Label>(Rect(110, screen.height - 45, 100, 35));
        pageLabel->setBackgroundColor(Color::clear());
        pageLabel->setTextColor(Color::whiteColor());
        pageLabel->setFont(Font::systemFontOfSize(18));
        pageLabel->setTextAlignment(TextAlignment::Center);
        pageLabel->setText(counterText(currentNum + 1, count));
        backView->addSubview(pageLabel);
    }

    barView_ = std::make_shared<View>(Rect(0, 0, screen.width, 64));
    barView_->setBackgroundColor(Color::white(0.8, 0.2));
    auto backButton = MVTPublicMethod::navigationleftBarButton();
    backButton->setFrame({12, 20, 44, 44});
    backButton->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->back();
    });
    barView_->addSubview(backButton);
    deleteButton_ = Button::buttonWithType(ButtonType::Custom);
    deleteButton_->setFrame({screen.width - 44, 20, 44, 44});
    deleteButton_->setBackgroundColor(Color::clear());
    deleteButton_->setImage(Image::imageNamed("cleaned.png"));
    deleteButton_->setImage(Image::imageNamed("uncleaned.png"), ControlStateSelected);
    deleteButton_->setImageEdgeInsets({11, 10, 11, 12});
    deleteButton_->setAccessibilityLabel("删除");
    deleteButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->deleteImage();
    });
    barView_->addSubview(deleteButton_);
    backView->addSubview(barView_);
    barView_->setHidden(false);
}

void ShowPicViewController::buildPages(bool fromFiles) {
    const Size screen = screenSize();
    const int count = static_cast<int>(pictures_.size());
    allScroll_->setContentSize({screen.width * count, screen.height});
    for (auto& page : std::vector<std::shared_ptr<View>>(allScroll_->subviews()))
        if (dynamic_cast<ScrollView*>(page.get())) page->removeFromSuperview();
    for (int i = 0; i < count; ++i) {
        auto imageView = std::make_shared<ImageView>(Rect(0, 0, view()->bounds().width(), screen.height));
        imageView->setBackgroundColor(Color::clear());
        imageView->setContentMode(ContentMode::ScaleAspectFit);
        imageView->setTag(kPictureViewTag);
        if (fromFiles) {
            const std::string path = i < static_cast<int>(showImagePathArr_->size()) ? (*showImagePathArr_)[i] : "";
            std::error_code error;
            if (!path.empty() && std::filesystem::exists(path, error)) imageView->setImage(Image::imageWithContentsOfFile(path));
            // A picture whose file is still being made shows what the opener has of it.
            if (!imageView->image()) imageView->setImage(pictures_[i]);
        } else {
            imageView->setImage(pictures_[i]);
        }
        auto zoom = std::make_shared<ScrollView>(Rect(screen.width * i, 0, screen.width, screen.height));
        zoom->setDelegate(std::dynamic_pointer_cast<ScrollViewDelegate>(shared_from_this()));
        zoom->setTag(i + 1);
        zoom->setMinimumZoomScale(1.0);
        zoom->setMaximumZoomScale(3.0);
        allScroll_->addSubview(zoom);
        zoom->addSubview(imageView);
    }
}

void ShowPicViewController::showPage(int page) {
    allScroll_->setContentOffset({screenSize().width * page, 0}, false);
}

void ShowPicViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    setStatusBarState(true);
    setNeedsStatusBarAppearanceUpdate();
}

void ShowPicViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    setStatusBarState(false);
    setNeedsStatusBarAppearanceUpdate();
}

void ShowPicViewController::scrollViewDidScroll(ScrollView& scrollView) { showIMagePageWith(scrollView); }

void ShowPicViewController::showBar() {
    barView_->setHidden(!barView_->isHidden());
    setStatusBarState(barView_->isHidden());
    setNeedsStatusBarAppearanceUpdate();
}

void ShowPicViewController::deleteImage() {
    if (currentNum < 0 || currentNum >= static_cast<int>(pictures_.size())) return;
    if (currentNum < static_cast<int>(showImagePathArr_->size())) {
        const std::string path = (*showImagePathArr_)[currentNum];
        if (MVTPublicMethod::fileExistsAtPath(path)) MVTPublicMethod::deleteFileAtPath(path);
        showImagePathArr_->erase(showImagePathArr_->begin() + currentNum);
    }
    pictures_.erase(pictures_.begin() + currentNum);
    showArray.erase(static_cast<size_t>(currentNum));
    if (!pictures_.empty())
        reloadView();
    else
        back();
}

void ShowPicViewController::reloadView() {
    buildPages(false);
    const int count = static_cast<int>(pictures_.size());
    if (currentNum >= count) currentNum = count - 1;
    showPage(currentNum);
    if (!pageLabel) return;
    if (count < 2) {
        pageLabel->setHidden(true);
    } else {
        pageLabel->setHidden(false);
        pageLabel->setText(counterText(currentNum + 1, count));
    }
}

void ShowPicViewController::back() {
    auto self = shared_from_this();
    if (delegate_) delegate_->reloadViewWithImageArray(pictures_);
    dismissViewController(false);
}
