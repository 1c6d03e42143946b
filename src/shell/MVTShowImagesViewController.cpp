#include "shell/MVTShowImagesViewController.h"

#include "platform/BackgroundQueue.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "platform/UrlRequest.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <cmath>
#include <cstdio>

using namespace platform;

MVTShowImagesViewController::MVTShowImagesViewController() = default;

MVTShowImagesViewController::~MVTShowImagesViewController() {
    if (!connectView_) return;
    auto children = connectView_->subviews();
    for (const auto& child : children) child->removeFromSuperview();
}

void MVTShowImagesViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    if (auto* navigation = navigationController()) navigation->setNavigationBarHidden(true);
    const bool modern = Screen::systemVersion() >= 7.0;
    const double d = modern ? 0 : 20;
    const Rect screen = Screen::mainScreen().bounds();

    connectView_ = std::make_shared<View>(Rect(0, -d, screen.width(), screen.height()));
    connectView_->setBackgroundColor(Color::white(0.333));
    view()->addSubview(connectView_);

    barImageView_ = std::make_shared<ImageView>(Rect(0, 0, screen.width(), 64 - d));
    barImageView_->setBackgroundColor(Color::whiteColor());
    barImageView_->setImage(Image::imageNamed(modern ? "header_bg_7" : "header_bg"));
    barImageView_->setUserInteractionEnabled(true);

    leftBtn_ = Button::buttonWithType(ButtonType::Custom);
    leftBtn_->setFrame(modern ? Rect(12, 20, 40, 40) : Rect(2, 0, 40, 40));
    leftBtn_->setImage(Image::imageNamed("backbt"), ControlStateNormal);
    leftBtn_->setImage(Image::imageNamed("backbt"), ControlStateHighlighted);
    leftBtn_->setImageEdgeInsets({11, 0, 11, 22});
    std::weak_ptr<MVTShowImagesViewController> weak =
        std::static_pointer_cast<MVTShowImagesViewController>(shared_from_this());
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    barImageView_->addSubview(leftBtn_);

    titleLa_ = std::make_shared<Label>(Rect(60, 20 - d, screen.width() - 120, 44));
    titleLa_->setTextColor(Color::black());
    titleLa_->setFont(Font::systemFontOfSize(18));
    titleLa_->setTextAlignment(TextAlignment::Center);
    titleLa_->setText("");
    barImageView_->addSubview(titleLa_);

    toloadImageWith(nowImageUrl_, allImagesArr_);
    // The bar stays above the pages.
    view()->addSubview(barImageView_);
}

void MVTShowImagesViewController::goback() {
    if (auto* navigation = navigationController()) navigation->popToRootViewController(true);
}

namespace {
std::string counter(int position, const std::string& total) {
    char text[32];
    std::snprintf(text, sizeof text, "%d / ", position);
    return text + total;
}
}  // namespace

void MVTShowImagesViewController::toloadImageWith(const std::string& nowImageUrl, const Json& allImagesArr) {
    const Rect screen = Screen::mainScreen().bounds();
    const double W = screen.width(), H = screen.height();
    auto self = std::static_pointer_cast<MVTShowImagesViewController>(shared_from_this());
    std::weak_ptr<MVTShowImagesViewController> weak = self;

    auto pager = std::make_shared<ScrollView>(Rect(0, 0, W, H));
    pager->setBackgroundColor(Color::darkGray());
    pager->setShowsVerticalScrollIndicator(false);
    pager->setDecelerationRate(1.0);
    pager->setBounces(false);
    pager->setPagingEnabled(true);
    pager->setTag(kPagerTag);
    pager->setDelegate(self);
    connectView_->addSubview(pager);
    index_ = 0;

    auto makePage = [&](int i, const std::string& address) {
        auto page = std::make_shared<ScrollView>(Rect(i * W, 0, W, H));
        page->setBackgroundColor(Color::clear());
        page->setMinimumZoomScale(1.0);
        page->setMaximumZoomScale(2.0);
        page->setTag(kPageTagBase + i);
        page->setDelegate(self);
        auto picture = std::make_shared<ImageView>(Rect(0, 0, W, H));
        picture->setBackgroundColor(Color::clear());
        picture->setContentMode(ContentMode::ScaleAspectFit);
        picture->setUserInteractionEnabled(true);
        picture->setTag(kPictureTag);
        picture->setAccessibilityValue(address);
        picture->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
            if (auto viewer = weak.lock()) viewer->showHiddenBar();
        }));
        page->addSubview(picture);
        pager->addSubview(page);
        return picture;
    };

    const Json list = allImagesArr.is_array() ? allImagesArr : Json::array();
    const int n = static_cast<int>(list.size());
    if (n == 0) {
        auto picture = makePage(0, nowImageUrl);
        auto spinner = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::White);
        spinner->setFrame({0, 0, 20, 20});
        spinner->setCenter({W / 2, H / 2});
        spinner->setTag(kSpinnerTag);
        spinner->startAnimating();
        picture->addSubview(spinner);
        toGetLiteImage(picture);
        pager->setContentSize({W, H});
        titleLa_->setText("1 / 1");
        total_ = std::to_string(1);
        return;
    }

    pager->setContentSize({n * W, H});
    // Kept before the pager moves: moving it already shows the counter with the total.
    total_ = std::to_string(n);
    bool matched = false;
    for (int i = 0; i < n; ++i) {
        std::string address = textOf(list[i]);
        auto picture = makePage(i, address);
        toGetLiteImage(picture);
        if (address == nowImageUrl) {
            // The last matching position wins.
            titleLa_->setText(counter(i + 1, std::to_string(n)));
            pager->setContentOffset({i * W, 0}, false);
            index_ = i;
            matched = true;
        }
    }
    if (!matched) titleLa_->setText(counter(1, total_));
}

void MVTShowImagesViewController::toGetLiteImage(const std::shared_ptr<ImageView>& pictureView) {
    std::string address = pictureView->accessibilityValue();
    dispatchBackground([view = pictureView, address]() mutable {
        HttpResponse response = HttpEngine::shared().fetch(UrlRequest(address));
        ImageRef image = response.ok() && !response.body.empty() ? Image::imageWithData(response.body) : nullptr;
        if (!image) {
            // Dropped on the main thread, where views live and die.
            dispatchMain([view = std::move(view)] {});
            return;
        }
        dispatchMain([view = std::move(view), image] {
            view->setImage(image);
            for (const auto& subview : view->subviews()) {
                if (subview->tag() == kSpinnerTag) {
                    subview->removeFromSuperview();
                    break;
                }
            }
        });
    });
}

void MVTShowImagesViewController::showHiddenBar() {
    isHidden_ = !isHidden_;
    if (barImageView_) barImageView_->setHidden(isHidden_);
}

void MVTShowImagesViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() != kPagerTag) return;
    const double W = Screen::mainScreen().bounds().width();
    if (W <= 0) return;
    int page = static_cast<int>(std::lround(scrollView.contentOffset().x / W));
    if (page == index_) return;
    index_ = page;
    if (titleLa_) titleLa_->setText(counter(page + 1, total_));
}

std::shared_ptr<View> MVTShowImagesViewController::viewForZoomingInScrollView(ScrollView& scrollView) {
    (void)scrollView;
    if (!connectView_) return nullptr;
    auto pager = connectView_->viewWithTag(kPagerTag);
    if (!pager) return nullptr;
    for (const auto& page : pager->subviews()) {
        if (page->tag() != kPageTagBase + index_) continue;
        for (const auto& child : page->subviews()) {
            if (child->tag() == kPictureTag) return child;
        }
    }
    return nullptr;
}
