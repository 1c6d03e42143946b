#include "shell/EGORefreshTableHeaderView.h"

#include "shell/InternationalControl.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Image.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {
constexpr double kFlipDuration = 0.18;
}

EGORefreshTableHeaderView::EGORefreshTableHeaderView() = default;

EGORefreshTableHeaderView::~EGORefreshTableHeaderView() {
    _delegate.reset();
    _statusLabel.reset();
    _arrowImage.reset();
    _waitView.reset();
}

std::shared_ptr<EGORefreshTableHeaderView> EGORefreshTableHeaderView::make(const Rect& frame) {
    auto header = std::make_shared<EGORefreshTableHeaderView>();
    header->initWithFrame(frame);
    return header;
}

void EGORefreshTableHeaderView::initWithFrame(const Rect& frame) {
    setFrame(frame);
    double w = frame.width(), h = frame.height();
    setAutoresizingMask(AutoresizingFlexibleWidth);
    setBackgroundColor(Color::clear());

    _statusLabel = std::make_shared<Label>(Rect(0, h - 48, w, 20));
    _statusLabel->setAutoresizingMask(AutoresizingFlexibleWidth);
    _statusLabel->setFont(Font::boldSystemFontOfSize(13));
    _statusLabel->setTextColor(Color::rgb255(87, 108, 137));
    _statusLabel->setShadowColor(Color::white(0.9));
    _statusLabel->setShadowOffset({0, 1});
    _statusLabel->setBackgroundColor(Color::clear());
    _statusLabel->setTextAlignment(TextAlignment::Center);
    addSubview(_statusLabel);

    _arrowImage = std::make_shared<ImageView>(Rect(25, h - 65, 30, 55));
    _arrowImage->setContentMode(ContentMode::ScaleAspectFit);
    _arrowImage->setImage(Image::imageNamed("blueArrow.png"));
    addSubview(_arrowImage);

    _waitView = std::make_shared<ImageView>(Rect(25, h - 48, 20, 20));
    _waitView->setTag(1);
    _waitView->setImage(Image::imageNamed("load_1"));
    std::vector<ImageRef> frames;
    for (const char* name : {"load_2", "load_3", "load_4", "load_5", "load_6", "load_7", "load_8", "load_1"})
        if (auto image = Image::imageNamed(name)) frames.push_back(image);
    _waitView->setAnimationImages(frames);
    _waitView->setAnimationDuration(0.8);
    addSubview(_waitView);

    setState(EGOOPullRefreshNormal);
}

void EGORefreshTableHeaderView::setState(int state) {
    switch (state) {
        case EGOOPullRefreshPulling: {
            _statusLabel->setText(localized("释放立即刷新..."));
            auto arrow = _arrowImage;
            animate(kFlipDuration, [arrow] { arrow->setTransform(AffineTransform::rotation(M_PI)); });
            break;
        }
        case EGOOPullRefreshNormal: {
            if (_state == EGOOPullRefreshPulling) {
                auto arrow = _arrowImage;
                animate(kFlipDuration, [arrow] { arrow->setTransform(AffineTransform::identity()); });
            }
            _statusLabel->setText(localized("下拉刷新..."));
            _waitView->stopAnimating();
            _waitView->setHidden(true);
            _arrowImage->setHidden(false);
            _arrowImage->setTransform(AffineTransform::identity());
            break;
        }
        case EGOOPullRefreshLoading:
            _statusLabel->setText(localized("正在刷新..."));
            _waitView->setHidden(false);
            _waitView->startAnimating();
            _arrowImage->setHidden(true);
            break;
        default:
            return;
    }
    _state = state;
}

bool EGORefreshTableHeaderView::delegateIsLoading() {
    auto d = delegate();
    return d && d->egoRefreshTableHeaderDataSourceIsLoading(*this);
}

void EGORefreshTableHeaderView::egoRefreshScrollViewDidScroll(ScrollView& scrollView) {
    double y = scrollView.contentOffset().y;
    if (_state == EGOOPullRefreshLoading) {
        double top = std::min(std::max(-y, 0.0), kLoadingInset);
        scrollView.setContentInset({top, 0, 0, 0});
        return;
    }
    if (!scrollView.isDragging()) return;
    bool loading = delegateIsLoading();
    if (_state == EGOOPullRefreshNormal && y < -kTriggerOffset && !loading) {
        setState(EGOOPullRefreshPulling);
    } else if (_state == EGOOPullRefreshPulling && y > -kTriggerOffset && y < 0 && !loading) {
        setState(EGOOPullRefreshNormal);
    }
    if (scrollView.contentInset().top != 0) scrollView.setContentInset({});
}

void EGORefreshTableHeaderView::egoRefreshScrollViewDidEndDragging(ScrollView& scrollView) {
    bool loading = delegateIsLoading();
    if (scrollView.contentOffset().y > -kTriggerOffset || loading) return;
    auto self = std::static_pointer_cast<EGORefreshTableHeaderView>(shared_from_this());
    if (auto d = delegate()) d->egoRefreshTableHeaderDidTriggerRefresh(*this);
    _pagingEnabled = scrollView.isPagingEnabled();
    _pagingSaved = true;
    scrollView.setPagingEnabled(false);
    setState(EGOOPullRefreshLoading);
    auto table = std::static_pointer_cast<ScrollView>(scrollView.shared_from_this());
    animate(0.2, [table] { table->setContentInset({kLoadingInset, 0, 0, 0}); });
}

void EGORefreshTableHeaderView::egoRefreshScrollViewDataSourceDidFinishedLoading(ScrollView& scrollView) {
    auto table = std::static_pointer_cast<ScrollView>(scrollView.shared_from_this());
    animate(0.3, [table] { table->setContentInset({}); });
    // Only a setting that a drag saved is given back: a reload the screen started itself
    // never touched paging, and a finish without any reload must not switch it off.
    if (_pagingSaved) {
        scrollView.setPagingEnabled(_pagingEnabled);
        _pagingSaved = false;
    }
    setState(EGOOPullRefreshNormal);
}

void EGORefreshTableHeaderView::egoRefreshScrollViewFirst(ScrollView& scrollView) {
    setState(EGOOPullRefreshLoading);
    if (scrollView.contentInset().top != 0) scrollView.setContentInset({});
}
