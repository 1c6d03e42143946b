// The home feed's navigation bar and views: the page container (class circle, school
// circle), the title with its view menu, the "+" with its composer menu, switching views
// and the filtered view of the user's own posts.

#include "feed/MVTHomeViewController.h"

#include "composer/AddFeedViewController.h"
#include "composer/AddRecordViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"

#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"

#include <cmath>

using namespace platform;

namespace {

constexpr double kPageHeightChrome = 20 + 49 + 44;
constexpr double kMenuChrome = 20 + 44;

bool schoolCircleShown() { return MVTAccount::sharedInstance().hideSquare().value_or("") == "n"; }

}  // namespace

void MVTHomeViewController::initshowView() {
    const double W = Screen::mainScreen().bounds().width();
    const double H = Screen::mainScreen().bounds().height() - kPageHeightChrome;
    if (!showAttachmentScrollView_) {
        showAttachmentScrollView_ = std::make_shared<ScrollView>(Rect(0, 0, view()->bounds().width(), H));
        showAttachmentScrollView_->setBackgroundColor(Color::clear());
        showAttachmentScrollView_->setPagingEnabled(false);
        showAttachmentScrollView_->setScrollEnabled(false);
        showAttachmentScrollView_->setBounces(false);
        showAttachmentScrollView_->setShowsHorizontalScrollIndicator(false);
        showAttachmentScrollView_->setDelegate(weakAs<ScrollViewDelegate>().lock());
        view()->addSubview(showAttachmentScrollView_);
    }
    showAttachmentScrollView_->setContentSize({schoolCircleShown() ? 2 * W : W, H});
}

void MVTHomeViewController::initSquare() {
    const double W = Screen::mainScreen().bounds().width();
    const double H = Screen::mainScreen().bounds().height() - kPageHeightChrome;
    squareViewController_->setDelegate(me());
    auto page = squareViewController_->view();
    page->setFrame({W, 0, view()->bounds().width(), H});
    showAttachmentScrollView_->addSubview(page);
}

void MVTHomeViewController::initTitleView() {
    const double W = Screen::mainScreen().bounds().width();
    titleView_ = std::make_shared<View>(Rect(0, 0, W - 20, 44));
    auto title = std::make_shared<Label>(Rect(0, 12, W - 20, 20));
    title->setBackgroundColor(Color::clear());
    title->setFont(Font::boldSystemFontOfSize(18));
    title->setTextAlignment(TextAlignment::Center);
    title->setTextColor(Color::whiteColor());
    title->setText(localized("动态"));
    titleView_->addSubview(title);

    const Font helvetica = Font::fontWithName("Helvetica", 14);
    const double width = TextMeasure::sizeWithFont(dynamicSelectStr_, helvetica).width;
    selectLa_ = std::make_shared<Label>(Rect(0, 11, width, 22));
    selectLa_->setBackgroundColor(Color::clear());
    selectLa_->setFont(helvetica);
    selectLa_->setTextAlignment(TextAlignment::Left);
    selectLa_->setTextColor(titleColor_);
    selectLa_->setNumberOfLines(0);
    selectLa_->setText(dynamicSelectStr_);
    titleView_->addSubview(selectLa_);

    auto weak = weakAs<MVTHomeViewController>();
    dynamicTypeBtn_ = Button::buttonWithType(ButtonType::Custom);
    dynamicTypeBtn_->setFrame({width - 5, 2, 40, 40});
    dynamicTypeBtn_->setBackgroundColor(Color::clear());
    dynamicTypeBtn_->setImage(Image::imageNamed("qx_arrow_down.png"));
    dynamicTypeBtn_->imageView()->setContentMode(ContentMode::BottomLeft);
    dynamicTypeBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSelectWhich();
    });
    titleView_->addSubview(dynamicTypeBtn_);

    auto holder = std::make_shared<View>(Rect(0, 0, 44, 44));
    holder->setBackgroundColor(Color::clear());
    selectBtn_ = Button::buttonWithType(ButtonType::Custom);
    selectBtn_->setFrame({8, 0, 44, 44});
    selectBtn_->setBackgroundColor(Color::clear());
    selectBtn_->setImage(Image::imageNamed("add_nor_org"));
    selectBtn_->setImageEdgeInsets({10, 10, 10, 10});
    selectBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toAddFeed();
    });
    holder->addSubview(selectBtn_);
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(holder));
}

void MVTHomeViewController::setTitleText(const std::string& text) {
    if (!selectLa_) return;
    selectLa_->setText(text);
    double width = TextMeasure::sizeWithFont(text, Font::systemFontOfSize(14)).width;
    if (text == localized("@我的")) width += 3;
    selectLa_->setFrame({0, 11, width, 22});
    if (dynamicTypeBtn_) dynamicTypeBtn_->setFrame({width - 5, 2, 40, 40});
}

// ---- Composer menu

void MVTHomeViewController::toAddFeed() {
    if (dynamicSelectView_) removeDynamicSelectView();
    if (titleSelectView_) {
        removeTitleSelectView();
        return;
    }
    auto button = selectBtn_;
    animate(0.3, [button] { button->setTransform(AffineTransform::rotation(-M_PI / 4)); });
    titleSelectView_ = std::make_shared<MVTFeedTitleDownSelectView>(
        Rect(0, 0, view()->bounds().width(), Screen::mainScreen().bounds().height() - kMenuChrome));
    view()->addSubview(titleSelectView_);
    titleSelectView_->setDelegate(weakAs<MVTFeedTitleDownSelectViewDelegate>().lock());
    titleSelectView_->setSelectViewWith({localized("图文"), localized("声音")});
}

void MVTHomeViewController::removeTitleSelectView() {
    if (auto menu = titleSelectView_) menu->selfremoveFromSuperview();
}

void MVTHomeViewController::setRightButton() {
    auto button = selectBtn_;
    animate(0.3, [button] { button->setTransform(AffineTransform::identity()); });
    titleSelectView_.reset();
}

void MVTHomeViewController::buttonClick(Button& button) {
    const int tag = button.tag();
    removeTitleSelectView();
    std::shared_ptr<MVTPostComposerViewController> composer;
    if (tag == 0) composer = std::make_shared<AddFeedViewController>();
    else if (tag == 1) composer = std::make_shared<AddRecordViewController>();
    else return;
    composer->initWithImage(nullptr, false);
    view()->setUserInteractionEnabled(false);
    auto weak = weakAs<MVTHomeViewController>();
    RunLoop::main().performAfter(0, [weak, composer] {
        if (auto self = weak.lock()) {
            self->newVC(composer);
            self->view()->setUserInteractionEnabled(true);
        }
    });
}

void MVTHomeViewController::newVC(const std::shared_ptr<ViewController>& screen) {
    presentViewController(myNavigationController::withRoot(screen), true);
}

// ---- View menu

void MVTHomeViewController::toSelectWhich() {
    if (titleSelectView_) removeTitleSelectView();
    if (dynamicSelectView_) {
        removeDynamicSelectView();
        return;
    }
    auto button = dynamicTypeBtn_;
    animate(0.3, [button] { button->setTransform(AffineTransform::rotation(-M_PI)); });
    dynamicSelectView_ = std::make_shared<MVTDynamicSelectTitleDownSelectView>(
        Rect(0, 0, view()->bounds().width(), Screen::mainScreen().bounds().height() - kMenuChrome));
    view()->addSubview(dynamicSelectView_);
    dynamicSelectView_->setDelegate(weakAs<MVTDynamicSelectTitleDownSelectViewDelegate>().lock());
    dynamicSelectView_->setSelectViewWith({localized("学校圈"), localized("班级圈"), localized("我的")});
}

void MVTHomeViewController::removeDynamicSelectView() {
    if (auto menu = dynamicSelectView_) menu->selfremoveFromSuperview();
}

void MVTHomeViewController::resetButton() {
    auto button = dynamicTypeBtn_;
    animate(0.3, [button] { button->setTransform(AffineTransform::identity()); });
    dynamicSelectView_.reset();
}

void MVTHomeViewController::selectButtonClick(Button& button) {
    const int tag = button.tag();
    if (dynamicSelectView_) removeDynamicSelectView();
    toChangeSelecet(tag);
}

void MVTHomeViewController::toChangeSelecet(int tag) {
    if (reloading_) return;
    // Without a school circle there is nothing to switch to.
    if (tag == 11 && !schoolCircleShown()) return;
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    const double W = showAttachmentScrollView_->bounds().width();
    const double H = showAttachmentScrollView_->bounds().height();
    auto showPage = [&](int page) { showAttachmentScrollView_->scrollRectToVisible({page * W, 0, W, H}, false); };
    switch (tag) {
    case 10:
        setSquareShown(false);
        app->setNowPage(MVTAppDelegate::VoicePageHome);
        if (selectLa_->text() == localized("班级圈")) getNewData();
        else changeOtherToDynamic();
        setTitleText(dynamicSelectStr_);
        isMytable_ = true;
        isSeleted_ = false;
        showPage(0);
        break;
    case 11:
        app->setNowPage(MVTAppDelegate::VoicePageSquare);
        setTitleText(localized("学校圈"));
        isMytable_ = false;
        isSeleted_ = false;
        squareViewController_->getNewData();
        showPage(1);
        setSquareShown(true);
        break;
    case 12:
        app->setNowPage(MVTAppDelegate::VoicePageSquare);
        setTitleText(localized("@我的"));
        break;
    case 13: {
        app->setNowPage(MVTAppDelegate::VoicePageSquare);
        setTitleText(localized("我的"));
        isSeleted_ = true;
        showPage(0);
        setSquareShown(false);
        auto mine = Button::buttonWithType(ButtonType::Custom);
        mine->setTitle(localized("由我产生"));
        didSelectWhich(*mine);
        break;
    }
    default: break;
    }
}

void MVTHomeViewController::showDidSelectItem(const Notification& notification) {
    std::lock_guard guard(selectLock_);
    const std::string label = textOf(notification.object);
    // The filtered first page is asked for here alone: a refresh started with it would
    // find the list empty and ask for the same page again.
    if (selectLa_ && label != selectLa_->text()) {
        isNoDataNowWith(false, myTable_);
        dataArray_.clear();
        initTable();
        isLoading_ = true;
        if (label == localized("全部")) {
            isSeleted_ = false;
            if (listFirstCachePage()) {
                toGetNewData();
            } else {
                MVTPublicMethod::showWaitAnimation(view(), true);
                getData();
            }
        } else {
            isSeleted_ = true;
            getData();
        }
    }
    StatisticsKit::shared().endLogPageView(label);
}

void MVTHomeViewController::scrollViewDidEndDecelerating(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag || scrollView.accessibilityValue() == "动态" || reloading_) return;
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    if (scrollView.contentOffset().y != 0) return;
    const double width = scrollView.bounds().width();
    const int page = width > 0 ? int(scrollView.contentOffset().x / width) : 0;
    if (page == 1) {
        if (selectLa_) selectLa_->setText(localized("学校圈"));
        app->setNowPage(MVTAppDelegate::VoicePageSquare);
        isMytable_ = false;
        squareViewController_->getNewData();
        setSquareShown(true);
    } else if (page == 0) {
        setSquareShown(false);
        if (selectLa_) selectLa_->setText(dynamicSelectStr_);
        isMytable_ = true;
        app->setNowPage(MVTAppDelegate::VoicePageHome);
    }
}

void MVTHomeViewController::setSquareShown(bool shown) {
    // The school circle is only a page of this screen: it hears of its appearing and
    // disappearing from here.
    if (shown == squareShown_ || !squareViewController_ || !squareViewController_->isViewLoaded()) return;
    squareShown_ = shown;
    if (shown) squareViewController_->viewWillAppear(false);
    else squareViewController_->viewWillDisappear(false);
}
