// The composer screen: creation, appearing, layout and fitting of the text, leaving and
// the picture waiting overlay. Sending, visibility, pictures and text input are in the
// MVTPostComposer_*.cpp files beside this one.
#include "composer/MVTPostComposerViewController.h"
#include "composer/ComposerScreen.h"

#include "composer/ComposerText.h"
#include "composer/EmojView.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"

#include <algorithm>

using namespace platform;

namespace {

const Color kGrey = Color::rgba(0.961, 0.961, 0.961);
const Color kHairline = Color::rgba(0.851, 0.871, 0.847);
constexpr double kHairlineHeight = 0.6;



std::shared_ptr<View> hairlineAt(double y) {
    auto line = std::make_shared<View>(Rect(0, y, composer_screen::width(), kHairlineHeight));
    line->setBackgroundColor(kHairline);
    return line;
}

}  // namespace

MVTPostComposerViewController::MVTPostComposerViewController() = default;

MVTPostComposerViewController::~MVTPostComposerViewController() {
    if (firstImageTimer_) firstImageTimer_->invalidate();
}

std::string MVTPostComposerViewController::pageName() const { return isImage ? "发布图片图说" : "发布文本图说"; }

// ---- Creation -----------------------------------------------------------------------------

void MVTPostComposerViewController::initWithImage(ImageRef image, bool isTaShowImage) {
    picNum = 0;
    isImage = image || isTaShowImage;
    initMyView();
    makeBottomBar();
    StatisticsKit::shared().beginLogPageView(pageName());
    if (!image) return;
    showHUDWithBool(true);
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    firstImageTimer_ = RunLoop::main().performAfter(0.1, [weak, image] {
        if (auto self = weak.lock()) self->putFirstImage(image);
    });
}

void MVTPostComposerViewController::initWithMutableImages(const std::vector<PickedAsset>& assets) {
    picNum = 0;
    isImage = !assets.empty();
    initMyView();
    makeBottomBar();
    StatisticsKit::shared().beginLogPageView(pageName());
    if (!assets.empty()) putFirstImageArr(assets);
}

// ---- Loading, appearing, disappearing -----------------------------------------------------

void MVTPostComposerViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    view()->setBackgroundColor(kind() == Kind::Record ? Color::clear() : kGrey);

    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    tempBtn = MVTPublicMethod::navigationleftBarButton();
    tempBtn->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(tempBtn));
    setTitle(localized(kind() == Kind::Record ? "发表声音动态" : "发表图文动态"));

    if (kind() == Kind::Pic) {
        sendButton_ = Button::buttonWithType(ButtonType::Custom);
        sendButton_->setFrame({0, 0, 44, 44});
        sendButton_->setBackgroundColor(Color::clear());
        sendButton_->setTitle(localized("发送"));
        sendButton_->setTitleColor(Color::whiteColor());
        sendButton_->setTitleColor(Color::lightGray(), ControlStateHighlighted);
        sendButton_->titleLabel()->setFont(Font::systemFontOfSize(14));
        sendButton_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->sendBtnClicked(static_cast<Button*>(&control));
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(sendButton_));
    }

    postListArray = nlohmann::json::array();
    permissionNum = kind() != Kind::Pic && composer_screen::role() != "teacher" ? 0 : -1;
    picPathArr->clear();
}

void MVTPostComposerViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    if (myFaceView && !myFaceView->isHidden()) myFaceView->setHidden(true);
    observers_ = composer_text::observeKeyboard(*this);
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    proximityObserver_ = NotificationCenter::defaultCenter().addObserver(
        kProximityStateDidChangeNotification, [weak](const Notification&) {
            if (auto self = weak.lock()) self->playAgain();
        });
}

void MVTPostComposerViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    stopPlay();
    stopLevelTimer();
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    observers_.clear();
    proximityObserver_.reset();
}

// ---- Layout -------------------------------------------------------------------------------

double MVTPostComposerViewController::minimumTextHeight() const {
    return kind() != Kind::Feed && isImage ? 40 : 150;
}

std::string MVTPostComposerViewController::text() const { return mytextView ? mytextView->text() : ""; }

void MVTPostComposerViewController::initMyView() {
    auto root = view();
    const double V = root->bounds().width(), H = root->bounds().height();
    const double W = composer_screen::width();
    if (!myView) {
        myView = std::make_shared<ScrollView>(Rect(0, 0, V, H - 55 - SDH - 44));
        myView->setBackgroundColor(kind() == Kind::Record ? kGrey : Color::clear());
        root->insertSubview(myView, 0);
    }
    for (auto& sub : std::vector<std::shared_ptr<View>>(myView->subviews())) sub->removeFromSuperview();
    if (!hairline_) {
        hairline_ = hairlineAt(0);
        hairline_->setTag(kHairlineTag);
    }

    switch (kind()) {
        case Kind::Feed: {
            textHeight = 150;
            textView();
            myView->addSubview(mytextView);
            picView();
            const double stripTop = mytextView->frame().maxY();
            allPicView->setFrame({0, stripTop, W, allPicView->frame().height()});
            myView->addSubview(allPicView);
            const double stripBottom = allPicView->frame().maxY();
            hairline_->setFrame({0, stripBottom - kHairlineHeight, W, kHairlineHeight});
            myView->addSubview(hairline_);
            myPermissionView(stripBottom);
            permissionView->setFrame({0, stripBottom, V, permissionView->frame().height()});
            myView->addSubview(permissionView);
            break;
        }
        case Kind::Record: {
            vedioView();
            myvedioView->setFrame({10, 10, 170, 30});
            myvedioView->setHidden(vedioPath.empty());
            myView->addSubview(myvedioView);
            const double stripTop = myvedioView->frame().maxY() + 20;
            myView->addSubview(hairlineAt(stripTop - kHairlineHeight));
            bgView->setFrame({0, stripTop, W, 55});
            root->addSubview(bgView);
            const double rowTop = bgView->frame().maxY();
            myView->addSubview(hairlineAt(rowTop - kHairlineHeight));
            myPermissionView(rowTop);
            myView->addSubview(permissionView);
            myView->addSubview(hairlineAt(rowTop + 40 - kHairlineHeight));
            break;
        }
        case Kind::Pic: {
            const bool teacher = composer_screen::role() == "teacher";
            double y = 5;
            if (isImage) {
                picView();
                allPicView->setFrame({allPicView->frame().minX(), y, W - 20, allPicView->frame().height()});
                myView->addSubview(allPicView);
                y = allPicView->frame().maxY() + 5;
                if (teacher) {
                    myPermissionView();
                    permissionView->setFrame({permissionView->frame().minX(), y, W - 20, 40});
                    myView->addSubview(permissionView);
                    y = permissionView->frame().maxY() + 5;
                }
                textView();
                mytextView->setFrame({10, y, W - 20, mytextView->frame().height()});
                myView->addSubview(mytextView);
                y = mytextView->frame().maxY() + 5;
            } else {
                textHeight = 150;
                textView();
                mytextView->setFrame({10, y, W - 20, mytextView->frame().height()});
                myView->addSubview(mytextView);
                y = mytextView->frame().maxY() + 5;
                if (teacher) {
                    myPermissionView();
                    permissionView->setFrame({permissionView->frame().minX(), y, W - 20, 40});
                    myView->addSubview(permissionView);
                    y = permissionView->frame().maxY() + 5;
                }
            }
            vedioView();
            myvedioView->setFrame({10, y, 170, 30});
            myView->addSubview(myvedioView);
            backgroundVedioView();
            bgVedioScroll->setFrame({0, myvedioView->frame().maxY() + 5, V, 108});
            myView->addSubview(bgVedioScroll);
            myvedioView->setHidden(vedioPath.empty());
            bgVedioScroll->setHidden(vedioPath.empty());
            break;
        }
    }
    fitTheView(false);
}

void MVTPostComposerViewController::makeBottomBar() {
    auto root = view();
    const double V = root->bounds().width(), H = root->bounds().height();
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    if (kind() == Kind::Pic) {
        if (bgView) return;
        const double W = composer_screen::width();
        bgView = std::make_shared<View>(Rect(0, H - 44 - SDH - 44, W, 44));
        bgView->setBackgroundColor(kGrey);
        vedioImageView = std::make_shared<ImageView>(Rect((W - 245) / 2, 4.5, 245, 35));
        vedioImageView->setImage(Image::imageNamed("recordbegin.png"));
        vedioImageView->setContentMode(ContentMode::Center);
        vedioImageView->setAccessibilityLabel("recordButton");
        vedioImageView->setUserInteractionEnabled(true);
        bgView->addSubview(vedioImageView);
        root->addSubview(bgView);
        return;
    }
    if (sendButton_) return;
    auto bar = std::make_shared<View>(Rect(0, H - 55 - SDH - 44, V, 55));
    bar->setBackgroundColor(Color::rgba(0.918, 0.918, 0.918));
    sendButton_ = Button::buttonWithType(ButtonType::Custom);
    sendButton_->setFrame({50, 14.5, V - 100, 25});
    sendButton_->setBackgroundImage(Image::imageNamed("publish"));
    sendButton_->setBackgroundImage(Image::imageNamed("publish_press"), ControlStateHighlighted);
    sendButton_->setTitle(localized("发布"));
    sendButton_->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
    sendButton_->setTitleColor(Color::whiteColor());
    sendButton_->setCornerRadius(2);
    sendButton_->setClipsToBounds(true);
    sendButton_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->sendBtnClicked(static_cast<Button*>(&control));
    });
    bar->addSubview(sendButton_);
    root->addSubview(bar);
}

void MVTPostComposerViewController::textView() {
    // The voice post composer has no text.
    if (kind() == Kind::Record) return;
    const double W = composer_screen::width();
    if (!mytextView) {
        mytextView = std::make_shared<TextView>(Rect(0, 0, W, minimumTextHeight()));
        placeholder_ = std::make_shared<Label>(Rect(10, 0, 100, 35));
        placeholder_->setText(localized("文字内容"));
        placeholder_->setTextColor(Color::lightGray());
        placeholder_->setFont(Font::systemFontOfSize(14));
        placeholder_->setBackgroundColor(Color::clear());
        placeholder_->setTag(kPlaceholderTag);
        placeholder_->setUserInteractionEnabled(false);
        mytextView->addSubview(placeholder_);
        mytextView->setBackgroundColor(Color::whiteColor());
        mytextView->setTextColor(Color::black());
        mytextView->setFont(Font::systemFontOfSize(14));
        mytextView->setScrollEnabled(false);
        mytextView->setClipsToBounds(true);
        // Found by the placeholder's name also once the placeholder is emptied.
        mytextView->setAccessibilityLabel(localized("文字内容"));
        textDelegate_ = std::make_shared<composer_text::TextDelegateOf<MVTPostComposerViewController>>(
            weakAs<MVTPostComposerViewController>());
        mytextView->setDelegate(textDelegate_);
    }
    const double minimum = minimumTextHeight();
    mytextView->setFrame({0, 0, W, textHeight > minimum ? textHeight : minimum});
}

void MVTPostComposerViewController::fitTheText() {
    if (!mytextView) return;
    const double minimum = minimumTextHeight();
    const double needed = mytextView->textHeight();
    textHeight = static_cast<float>(needed > minimum ? needed + 10 : minimum);
    Rect frame = mytextView->frame();
    mytextView->setFrame({frame.minX(), frame.minY(), frame.width(), textHeight});

    const double W = composer_screen::width();
    const double bottom = frame.minY() + textHeight;
    if (kind() == Kind::Feed) {
        if (allPicView) {
            allPicView->setFrame({0, bottom, W, allPicView->frame().height()});
            const double stripBottom = allPicView->frame().maxY();
            hairline_->setFrame({0, stripBottom - kHairlineHeight, W, kHairlineHeight});
            if (permissionView) permissionView->setFrame({0, stripBottom, permissionView->frame().width(), 40});
        }
    } else {
        if (!isImage && permissionView && permissionView->superview())
            permissionView->setFrame(
                {permissionView->frame().minX(), bottom + 5, W - 20, permissionView->frame().height()});
        if (!vedioPath.empty()) placeVoiceBar();
    }
    fitTheView((myFaceView && !myFaceView->isHidden()) || mytextView->isEditing());
    scrollToCaret();
}

void MVTPostComposerViewController::fitTheView(bool withPanel) {
    if (!myView) return;
    double height = (mytextView ? mytextView->frame().height() : 0) + 20 +
                    (myvedioView ? myvedioView->frame().height() : 0) + 160;
    if (withPanel) height += kFacePanelHeight;
    if (isImage && allPicView) height += allPicView->frame().height();
    myView->setContentSize({myView->contentSize().width, height});
}

void MVTPostComposerViewController::scrollToCaret() {
    if (!mytextView || !myView) return;
    const double p =
        mytextView->frame().minY() + mytextView->caretRectForPosition(mytextView->selectedRange().location).minY();
    myView->setContentOffset({0, composer_text::caretScrollOffset(p, view()->bounds().height())}, true);
}

// ---- Leaving ------------------------------------------------------------------------------

void MVTPostComposerViewController::placeVoiceBar() {
    if (!myvedioView || !mytextView || kind() == Kind::Record) return;
    double f = mytextView->frame().maxY() + 5;
    if (!isImage) {
        // A missing row counts no height but keeps its gap.
        if (permissionView && permissionView->superview()) f += permissionView->frame().height();
        f += 5;
    }
    myvedioView->setFrame({10, f, 170, myvedioView->frame().height()});
    if (bgVedioScroll)
        bgVedioScroll->setFrame({bgVedioScroll->frame().minX(), myvedioView->frame().maxY() + 5,
                                 bgVedioScroll->frame().width(), bgVedioScroll->frame().height()});
}

void MVTPostComposerViewController::goback() {
    if (text().empty() && picNum == 0 && vedioPath.empty()) {
        close();
        return;
    }
    auto alert = AlertView::make(localized("提示"), localized("放弃此次编辑?"), weakAs<AlertViewDelegate>(),
                                 localized("取消"), {localized("确定")});
    alert->setTag(kLeaveAlertTag);
    alert->show();
}

void MVTPostComposerViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kLeaveAlertTag || index != 1) return;
    endTakeForLeaving();
    if (!vedioPath.empty()) deleteVedioNamed(vedioPath);
    if (!lastVedio.empty() && lastVedio != vedioPath) deleteVedioNamed(lastVedio);
    for (const auto& path : *picPathArr)
        if (MVTPublicMethod::fileExistsAtPath(path)) MVTPublicMethod::deleteFileAtPath(path);
    // A picture whose file is still being made finds its path gone and removes the file.
    picPathArr->clear();
    close();
}

void MVTPostComposerViewController::close() {
    if (closed_) return;
    closed_ = true;
    endTakeForLeaving();
    StatisticsKit::shared().endLogPageView(pageName());
    dismissViewController(true);
}

void MVTPostComposerViewController::showHUDWithBool(bool show) {
    if (show) {
        if (hud) hud->removeFromSuperview();
        hud = std::make_shared<ProgressHUD>();
        hud->initWithView(view());
        view()->addSubview(hud);
        hud->show(true);
    } else if (hud) {
        hud->hide(true);
    }
}

void MVTPostComposerViewController::showAlert(const std::string& message, const std::string& button) {
    AlertView::make(localized("提示"), localized(message), weakAs<AlertViewDelegate>(), localized(button))->show();
}
