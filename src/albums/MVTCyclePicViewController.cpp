#include "albums/MVTCyclePicViewController.h"

#include "albums/AlbumCommon.h"
#include "shell/InternationalControl.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/RunLoop.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/SavedPhotosAlbum.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <cmath>

using namespace platform;

namespace {
const Color kPagerGrey = Color::rgb255(242, 242, 242);
}  // namespace

// ---- Page view

std::shared_ptr<MVTAlbumBigPicView> MVTAlbumBigPicView::make(const Rect& frame) {
    auto page = std::make_shared<MVTAlbumBigPicView>();
    page->setFrame(frame);
    page->build();
    return page;
}

void MVTAlbumBigPicView::build() {
    setBackgroundColor(kPagerGrey);
    const Rect box(0, 0, frame().width(), frame().height());
    scrol_ = std::make_shared<ScrollView>(box);
    scrol_->setMinimumZoomScale(1.0);
    scrol_->setMaximumZoomScale(2.0);
    auto self = std::static_pointer_cast<MVTAlbumBigPicView>(shared_from_this());
    scrol_->setDelegate(self);
    imageView_ = std::make_shared<ImageView>(box);
    imageView_->setBackgroundColor(Color::clear());
    imageView_->setContentMode(ContentMode::ScaleAspectFit);
    imageView_->setTag(kImageTag);
    imageView_->setUserInteractionEnabled(true);
    std::weak_ptr<MVTAlbumBigPicView> weak = self;
    auto press = std::make_shared<LongPressGestureRecognizer>([weak](GestureRecognizer& recognizer) {
        if (auto page = weak.lock()) page->handleLong(recognizer);
    });
    press->setMinimumPressDuration(0.3);
    imageView_->addGestureRecognizer(press);
    indicator_ = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::Gray);
    indicator_->setFrame({box.width() / 2 - 10, box.height() / 2 - 10, 20, 20});
    indicator_->setHidden(true);
    imageView_->addSubview(indicator_);
    scrol_->addSubview(imageView_);
    addSubview(scrol_);
}

std::shared_ptr<View> MVTAlbumBigPicView::viewForZoomingInScrollView(ScrollView&) { return imageView_; }

void MVTAlbumBigPicView::toGetBigPicWith(const std::string& thumbnailId, const std::string& moduleId) {
    scrol_->setZoomScale(1.0);
    auto missing = [](const std::string& id) { return id.empty() || id == "<null>" || id == "(null)"; };
    if (!missing(thumbnailId))
        if (auto thumb = albums::cachedPicture(albums::thumbnailFile(thumbnailId))) imageView_->setImage(thumb);
    if (missing(moduleId)) {
        indicator_->stopAnimating();
        indicator_->setHidden(true);
        return;
    }
    imageView_->setAccessibilityHint(moduleId);
    std::weak_ptr<ImageView> weakImage = imageView_;
    std::weak_ptr<ActivityIndicatorView> weakIndicator = indicator_;
    auto show = [weakImage, weakIndicator, moduleId](std::shared_ptr<Image> image) {
        auto view = weakImage.lock();
        if (image && view && view->accessibilityHint() == moduleId) view->setImage(image);
        if (auto spinner = weakIndicator.lock(); spinner && view && view->accessibilityHint() == moduleId) {
            spinner->stopAnimating();
            spinner->setHidden(true);
        }
    };
    const std::string file = albums::fullPictureFile(moduleId);
    if (!file.empty() && fileExists(file)) {
        dispatchBackground([file, show] {
            auto image = albums::cachedPicture(file);
            dispatchMain([show, image] { show(image); });
        });
        return;
    }
    indicator_->setHidden(false);
    indicator_->startAnimating();
    albums::fetchPicture(albums::downloadPath(moduleId), file, show);
}

void MVTAlbumBigPicView::handleLong(GestureRecognizer& press) {
    if (press.state() != GestureState::Began) return;
    auto hit = imageView_->hitTest(press.locationInView(imageView_.get()));
    if (!hit || hit->tag() != kImageTag) return;
    ActionSheet::make("", std::static_pointer_cast<MVTAlbumBigPicView>(shared_from_this()), localized("取消"), "",
                      {localized("存入相册")})
        ->showInView(this);
}

void MVTAlbumBigPicView::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (index != sheet.firstOtherButtonIndex() || !imageView_->image()) return;
    showMind(SavedPhotosAlbum::writeImage(imageView_->image()));
}

void MVTAlbumBigPicView::showMind(bool saved) {
    const Rect screen = Screen::mainScreen().bounds();
    if (!mindLa_) {
        mindLa_ = std::make_shared<Label>(Rect(0, screen.height() - 20, screen.width(), 20));
        mindLa_->setBackgroundColor(Color::rgb255(58, 145, 32));
        mindLa_->setTextColor(Color::whiteColor());
        mindLa_->setTextAlignment(TextAlignment::Center);
        mindLa_->setFont(Font::boldSystemFontOfSize(14));
        addSubview(mindLa_);
    }
    mindLa_->setText(localized(saved ? "图片保存成功" : "图片保存失败"));
    mindLa_->setAlpha(0);
    auto label = mindLa_;
    animate(0.2, [label] { label->setAlpha(1); }, [label](bool) {
        RunLoop::main().performAfter(1.0, [label] { animate(0.2, [label] { label->setAlpha(0); }); });
    });
}

// ---- Pager view

std::shared_ptr<XLCycleScrollView> XLCycleScrollView::make(const Rect& frame) {
    auto pager = std::make_shared<XLCycleScrollView>();
    pager->setFrame(frame);
    pager->build();
    return pager;
}

void XLCycleScrollView::build() {
    const double w = frame().width(), h = frame().height();
    scrollView_ = std::make_shared<ScrollView>(Rect(0, 0, w, h));
    scrollView_->setDelegate(std::static_pointer_cast<XLCycleScrollView>(shared_from_this()));
    scrollView_->setContentSize({w * 3, h});
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setPagingEnabled(true);
    scrollView_->setContentOffset({w, 0});
    addSubview(scrollView_);
    const double screenWidth = Screen::mainScreen().bounds().width();
    pageLa_ = std::make_shared<Label>(Rect((screenWidth - 90) / 2, h - 40, 90, 26));
    pageLa_->setBackgroundColor(Color::black().withAlpha(0.4));
    pageLa_->setTextColor(Color::whiteColor());
    pageLa_->setTextAlignment(TextAlignment::Center);
    pageLa_->setFont(Font::systemFontOfSize(16));
    pageLa_->setCornerRadius(4);
    pageLa_->setClipsToBounds(true);
    addSubview(pageLa_);
    currentPage_ = 0;
}

void XLCycleScrollView::setDataource(std::weak_ptr<XLCycleScrollViewDatasource> datasource) {
    datasource_ = std::move(datasource);
    reloadData();
}

int XLCycleScrollView::validPageValue(int value) const {
    if (value == -1) return totalPages_ - 1;
    if (value == totalPages_) return 0;
    return value;
}

void XLCycleScrollView::reloadData() {
    auto source = datasource_.lock();
    totalPages_ = source ? source->numberOfPages() : 0;
    if (totalPages_ == 0) return;
    currentPage_ = std::clamp(currentPage_, 0, totalPages_ - 1);
    loadData();
}

void XLCycleScrollView::loadData() {
    pageLa_->setText(std::to_string(currentPage_ + 1) + " / " + std::to_string(totalPages_));
    for (const auto& sub : std::vector<std::shared_ptr<View>>(scrollView_->subviews()))
        if (std::dynamic_pointer_cast<MVTAlbumBigPicView>(sub)) sub->removeFromSuperview();
    getDisplayImagesWithCurpage(currentPage_);
    std::weak_ptr<XLCycleScrollView> weak = std::static_pointer_cast<XLCycleScrollView>(shared_from_this());
    for (std::size_t i = 0; i < curViews_.size(); ++i) {
        auto& page = curViews_[i];
        page->setUserInteractionEnabled(true);
        if (page->gestureRecognizers().empty())
            page->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
                if (auto self = weak.lock()) self->handleTap();
            }));
        Rect frame = page->frame();
        page->setFrame({frame.width() * double(i), 0, frame.width(), frame.height()});
        scrollView_->addSubview(page);
    }
    scrollView_->setContentOffset({frame().width(), 0});
}

void XLCycleScrollView::loadRecordInto(MVTAlbumBigPicView& page, int index, bool fallback) const {
    if (index < 0 || std::size_t(index) >= sourseArr_.size()) return;
    const Json& record = sourseArr_[std::size_t(index)];
    const std::string thumbnail =
        fallback ? MVTCyclePicViewController::thumbnailIdOf(record) : albums::text(record, "resourceId");
    page.toGetBigPicWith(thumbnail, albums::text(record, "resourceModuleId"));
}

void XLCycleScrollView::getDisplayImagesWithCurpage(int page) {
    const int previous = validPageValue(page - 1), next = validPageValue(page + 1);
    auto source = datasource_.lock();
    if (curViews_.empty()) {
        if (!source) return;
        for (int index : {previous, page, next}) curViews_.push_back(source->pageAtIndex(index));
        return;
    }
    for (auto& view : curViews_) view->setFrame(bounds());
    const int n = totalPages_, o = oldPage_;
    bool forward;
    if (page == 0)
        forward = o == n - 1;
    else if (page == n - 1)
        forward = o != 0;
    else
        forward = o < page;
    if (forward) {
        auto recycled = curViews_.front();
        curViews_.erase(curViews_.begin());
        recycled->imageView()->setImage(nullptr);
        loadRecordInto(*recycled, next, false);
        curViews_.push_back(recycled);
    } else {
        auto recycled = curViews_.back();
        curViews_.pop_back();
        recycled->imageView()->setImage(nullptr);
        loadRecordInto(*recycled, previous, false);
        curViews_.insert(curViews_.begin(), recycled);
    }
}

void XLCycleScrollView::scrollViewDidScroll(ScrollView& scrollView) {
    oldPage_ = currentPage_;
    const double x = std::trunc(scrollView.contentOffset().x);
    const double w = frame().width();
    if (totalPages_ == 0) return;
    if (x >= 2 * w) {
        currentPage_ = validPageValue(currentPage_ + 1);
        loadData();
    } else if (x <= 0) {
        currentPage_ = validPageValue(currentPage_ - 1);
        loadData();
    }
}

void XLCycleScrollView::scrollViewDidEndDecelerating(ScrollView&) {
    scrollView_->setContentOffset({frame().width(), 0}, true);
}

void XLCycleScrollView::handleTap() {
    auto delegate = delegate_.lock();
    if (!delegate) return;
    pageLa_->setHidden(!pageLa_->isHidden());
    delegate->didClickPage(currentPage_);
}

// ---- Screen

std::string MVTCyclePicViewController::thumbnailIdOf(const Json& record) { return albums::pictureIdOf(record); }

void MVTCyclePicViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    view()->setBackgroundColor(kPagerGrey);
    const double width = view()->bounds().width();
    topView_ = std::make_shared<View>(Rect(0, 0, width, 64));
    auto barPicture = std::make_shared<ImageView>(Rect(0, 0, width, 64));
    barPicture->setImage(Image::imageNamed("header_bg_7"));
    topView_->addSubview(barPicture);
    auto back = Button::buttonWithType(ButtonType::Custom);
    back->setFrame({15, 20, 40, 40});
    back->setBackgroundColor(Color::clear());
    back->setImage(Image::imageNamed("backbt"));
    auto weak = weakAs<MVTCyclePicViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    topView_->addSubview(back);
    const double screenWidth = Screen::mainScreen().bounds().width();
    auto title = std::make_shared<Label>(Rect((screenWidth - 220) / 2, 20, 220, 44));
    title->setBackgroundColor(Color::clear());
    title->setTextColor(Color::white(0.333));
    title->setTextAlignment(TextAlignment::Center);
    title->setFont(Font::fontWithName("Helvetica-Bold", 18));
    title->setText(localized("照片详情"));
    topView_->addSubview(title);

    cycleView_ = XLCycleScrollView::make(view()->bounds());
    cycleView_->setSourseArr(picDataArr_);
    cycleView_->setCurrentPage(index_);
    cycleView_->setDelegate(weakAs<XLCycleScrollViewDelegate>());
    cycleView_->setDataource(weakAs<XLCycleScrollViewDatasource>());
    view()->addSubview(cycleView_);
    view()->addSubview(topView_);
}

bool MVTCyclePicViewController::prefersStatusBarHidden() const { return topView_ && topView_->isHidden(); }

void MVTCyclePicViewController::goback() { dismissViewController(false); }

int MVTCyclePicViewController::numberOfPages() { return int(picDataArr_.is_array() ? picDataArr_.size() : 0); }

std::shared_ptr<MVTAlbumBigPicView> MVTCyclePicViewController::pageAtIndex(int index) {
    auto page = MVTAlbumBigPicView::make(view()->bounds());
    if (index >= 0 && std::size_t(index) < picDataArr_.size()) {
        const Json& record = picDataArr_[std::size_t(index)];
        page->toGetBigPicWith(thumbnailIdOf(record), albums::text(record, "resourceModuleId"));
    }
    return page;
}

void MVTCyclePicViewController::didClickPage(int) {
    topView_->setHidden(!topView_->isHidden());
    setNeedsStatusBarAppearanceUpdate();
}
