#include "me/MVTPathView.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

using namespace platform;

namespace {

const Color kPathOrange = Color::rgb255(252, 174, 28);

std::shared_ptr<Label> pathLabel(View& parent, const Rect& frame, const std::string& text, double size,
                                 const Color& color) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setText(text);
    label->setFont(Font::systemFontOfSize(size));
    label->setTextColor(color);
    parent.addSubview(label);
    return label;
}

}  // namespace

std::shared_ptr<MVTPathView> MVTPathView::make(const std::string& userId, bool personDetail) {
    auto view = std::make_shared<MVTPathView>();
    view->initWithUserID(userId, personDetail);
    return view;
}

void MVTPathView::initWithUserID(const std::string& userId, bool personDetail) {
    (void)userId;  // covers are shown by the host, which knows whose file to read
    isPersonDetail_ = personDetail;
    const double W = Screen::mainScreen().bounds().width();
    setFrame({0, 0, W, kHeight});
    setBackgroundColor(Color::clear());

    auto container = std::make_shared<View>(Rect(0, 0, W, kHeight));
    container->setBackgroundColor(Color::clear());
    container->setClipsToBounds(true);
    addSubview(container);
    // The square cover is centred on the strip's middle, so its middle band shows.
    img_banner_ = std::make_shared<ImageView>(Rect(0, -115, W, W));
    img_banner_->setFrame({0, kHeight / 2 - W / 2, W, W});
    img_banner_->setContentMode(ContentMode::ScaleToFill);
    img_banner_->setBackgroundColor(Color::rgb255(24, 33, 43));
    img_banner_->setUserInteractionEnabled(true);
    std::weak_ptr<MVTPathView> weak = std::static_pointer_cast<MVTPathView>(shared_from_this());
    img_banner_->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
        if (auto self = weak.lock()) self->goToChageBgImage();
    }));
    container->addSubview(img_banner_);

    showView_ = std::make_shared<View>(Rect(0, 0, W, kHeight));
    showView_->setBackgroundColor(Color::clear());
    addSubview(showView_);
    auto backing = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    backing->setFrame({8, 8, 61, 61});
    backing->setCornerRadius(30.5);
    backing->setClipsToBounds(true);
    showView_->addSubview(backing);
    bt_avatar_ = std::make_shared<ImageView>(Rect(10, 10, 57, 57));
    bt_avatar_->setImage(Image::imageNamed("default_user"));
    bt_avatar_->setCornerRadius(28.5);
    bt_avatar_->setClipsToBounds(true);
    bt_avatar_->setUserInteractionEnabled(true);
    showView_->addSubview(bt_avatar_);
    auto avatarButton = Button::buttonWithType(ButtonType::Custom);
    avatarButton->setFrame({0, 0, 57, 57});
    avatarButton->setBackgroundColor(Color::clear());
    avatarButton->addResponderChainAction(ControlEventTouchUpInside, kAvatarAction);
    bt_avatar_->addSubview(avatarButton);
    avatarButton_ = avatarButton;

    userNameLabel_ = pathLabel(*showView_, {77, 10, 150, 23}, "", 16, Color::whiteColor());
    userSignLabel_ = pathLabel(*showView_, {77, 27, 150, 23}, localized("这家伙太懒了，什么都没有留下"), 14,
                               Color::white(170.0 / 255));
    userSignLabel_->setNumberOfLines(0);
    if (isPersonDetail_) return;
    tushuoLabel_ = pathLabel(*showView_, {77, 34, 60, 20}, localized("发布动态"), 12, Color::whiteColor());
    tuShuoCountLabel_ = pathLabel(*showView_, {137, 34, 60, 20}, "", 11, kPathOrange);
    scanLabel_ = pathLabel(*showView_, {77, 47, 60, 20}, localized("浏览次数"), 12, Color::whiteColor());
    scanCountLabel_ = pathLabel(*showView_, {137, 47, 45, 20}, "", 11, kPathOrange);

    activityIndicator_ = std::make_shared<ImageView>(Rect(W - 40, 20, 20, 20));
    activityIndicator_->setImage(Image::imageNamed("load_1"));
    std::vector<ImageRef> frames;
    for (const char* name : {"load_2", "load_3", "load_4", "load_5", "load_6", "load_7", "load_8", "load_1"})
        if (auto image = Image::imageNamed(name)) frames.push_back(image);
    activityIndicator_->setAnimationImages(frames);
    activityIndicator_->setAnimationDuration(0.8);
    activityIndicator_->startAnimating();
    addSubview(activityIndicator_);
}

void MVTPathView::setAvatorName(const std::string& name) { userNameLabel_->setText(name); }

void MVTPathView::setUserSignLabel(const std::string& text) { userSignLabel_->setText(text); }

void MVTPathView::setAvatorImage(const std::string& userId, const std::string& role) {
    bt_avatar_->setAccessibilityHint(userId);
    bt_avatar_->setAccessibilityValue(role);
    MVTPublicMethod::setFaceImage(bt_avatar_, MVTPublicMethod::getPathByFileName(userId, "png"), role);
}

void MVTPathView::setDetail(const Json& status, const std::string& essayCount, const std::string& viewCount) {
    if (!status.is_null() && !status.is_discarded() && !textOf(status).empty()) userSignLabel_->setText(textOf(status));
    if (tuShuoCountLabel_) tuShuoCountLabel_->setText(essayCount);
    if (scanCountLabel_) scanCountLabel_->setText(viewCount);
}

void MVTPathView::setHiddenOrShow(bool show) {
    for (const auto& label : {userSignLabel_, tushuoLabel_, tuShuoCountLabel_, scanLabel_, scanCountLabel_})
        if (label) label->setHidden(!show);
}

void MVTPathView::setBgImage(const std::string& bytes) {
    if (auto image = Image::imageWithData(bytes)) setBgImage(image);
}

void MVTPathView::setBgImage(const ImageRef& image) {
    if (image) img_banner_->setImage(image);
}

void MVTPathView::setOffsetY(double y) {
    offsetY_ = y;
    if (!isLoading_ && y < kArmOffset)
        refresh_ = true;
    else if (touching_ && y >= kArmOffset)
        refresh_ = false;
    if (refresh_ && !touching_ && !isLoading_ && y > -40 && y <= 0 && activityIndicator_) {
        Rect frame = activityIndicator_->frame();
        activityIndicator_->setFrame({frame.x(), y + 15, frame.width(), frame.height()});
    }
}

void MVTPathView::startAnimate() {
    isLoading_ = true;
    if (activityIndicator_) activityIndicator_->startAnimating();
}

void MVTPathView::stopAnimate() {
    isLoading_ = false;
    refresh_ = false;
    if (!activityIndicator_) return;
    activityIndicator_->stopAnimating();
    auto spinner = activityIndicator_;
    animate(0.5, [spinner] {
        Rect frame = spinner->frame();
        spinner->setFrame({frame.x(), -20, frame.width(), frame.height()});
    });
}

void MVTPathView::goToChageBgImage() {
    if (auto delegate = delegate_.lock()) delegate->goToChageBgImage();
}
