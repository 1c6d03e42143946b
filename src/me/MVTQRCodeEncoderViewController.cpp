#include "me/MVTQRCodeEncoderViewController.h"

#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"

#include "platform/RunLoop.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/QrEncoder.h"
#include "platform/ui/SavedPhotosAlbum.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextView.h"

#include <cmath>

using namespace platform;

namespace {
constexpr double kSaveLaFade = 0.2;
constexpr double kSaveLaHold = 1.0;
}  // namespace

MVTQRCodeEncoderViewController::MVTQRCodeEncoderViewController() = default;
MVTQRCodeEncoderViewController::~MVTQRCodeEncoderViewController() = default;

void MVTQRCodeEncoderViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("生成二维码"));
    std::weak_ptr<MVTQRCodeEncoderViewController> weak = weakAs<MVTQRCodeEncoderViewController>();
    space::installBackButton(*this, [weak] {
        if (auto self = weak.lock()) self->goback();
    });
    auto done = Button::buttonWithType(ButtonType::Custom);
    done->setFrame({0, 0, 44, 44});
    done->setBackgroundColor(Color::clear());
    done->setTitle(localized("完成"));
    done->setTitleColor(Color::rgb255(97, 199, 249));
    done->titleLabel()->setFont(Font::systemFontOfSize(14));
    done->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->getQRCodeImage();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(done));

    const double W = Screen::mainScreen().bounds().width();
    textView_ = std::make_shared<TextView>(Rect(10, 10, W - 20, 80));
    textView_->setBackgroundColor(Color::whiteColor());
    textView_->setFont(Font::systemFontOfSize(16));
    textView_->setTextColor(Color::white(0.333));
    textView_->setTextAlignment(TextAlignment::Left);
    view()->addSubview(textView_);

    QRCodeImageView_ = std::make_shared<ImageView>(Rect(10, 100, W - 20, W - 20));
    QRCodeImageView_->setBackgroundColor(Color::whiteColor());
    QRCodeImageView_->setClipsToBounds(true);
    QRCodeImageView_->setContentMode(ContentMode::ScaleAspectFill);
    QRCodeImageView_->setUserInteractionEnabled(true);
    QRCodeImageView_->setTag(kQRCodeViewTag);
    auto press = std::make_shared<LongPressGestureRecognizer>([weak](GestureRecognizer& recognizer) {
        if (auto self = weak.lock()) self->handleLong(recognizer);
    });
    press->setMinimumPressDuration(kPressDuration);
    QRCodeImageView_->addGestureRecognizer(press);
    view()->addSubview(QRCodeImageView_);
}

void MVTQRCodeEncoderViewController::getQRCodeImage() {
    view()->endEditing(true);
    auto matrix = QrEncoder::encode(textView_->text(), QrEncoder::H, 0);
    if (!matrix) return;
    auto picture = QrEncoder::render(*matrix, kPictureSize);
    if (!picture) return;
    QRCodeImageView_->setImage(addSubImage(picture, Image::imageNamed("dynamic_change_u@2x")));
}

ImageRef MVTQRCodeEncoderViewController::addSubImage(const ImageRef& image, const ImageRef& sub) {
    if (!image) return nullptr;
    const Size size = image->size();
    auto context = makeImageContext(size, image->scale());
    context->drawImage(*image, {0, 0, size.width, size.height});
    if (sub) {
        const Size inner = sub->size();
        const double x = std::trunc((size.width - inner.width) / 2);
        const double y = std::trunc((size.height - inner.height) / 2);
        context->drawImage(*sub, {x, y, inner.width, inner.height});
    }
    return context->image();
}

void MVTQRCodeEncoderViewController::handleLong(GestureRecognizer& recognizer) {
    if (recognizer.state() != GestureState::Began) return;
    View* pressed = recognizer.view();
    if (!pressed) return;
    auto hit = pressed->hitTest(recognizer.locationInView(pressed));
    if (!hit || hit->tag() != kQRCodeViewTag || !QRCodeImageView_->image()) return;
    copyImage = QRCodeImageView_->image();
    auto sheet = ActionSheet::make("", weakAs<MVTQRCodeEncoderViewController>(), localized("取消"), "",
                                   {localized("存入相册")});
    sheet->showInView(pressed);
}

void MVTQRCodeEncoderViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (index != sheet.firstOtherButtonIndex() || !copyImage) return;
    // The toast tells the truth: saved only when the album took the picture.
    if (SavedPhotosAlbum::writeImage(copyImage)) toShowSaveLa();
    else showSaveFail();
}

void MVTQRCodeEncoderViewController::toShowSaveLa() {
    if (!showSaveLa_) {
        const Rect screen = Screen::mainScreen().bounds();
        showSaveLa_ = std::make_shared<Label>(Rect(0, screen.height() - 84, screen.width(), 20));
        showSaveLa_->setBackgroundColor(Color::rgb255(58, 145, 32));
        showSaveLa_->setTextColor(Color::whiteColor());
        showSaveLa_->setFont(Font::boldSystemFontOfSize(14));
        showSaveLa_->setTextAlignment(TextAlignment::Center);
        showSaveLa_->setText(localized("图片保存成功"));
        view()->addSubview(showSaveLa_);
    }
    auto label = showSaveLa_;
    label->setAlpha(0);
    std::weak_ptr<MVTQRCodeEncoderViewController> weak = weakAs<MVTQRCodeEncoderViewController>();
    animate(
        kSaveLaFade, [label] { label->setAlpha(1); },
        [weak](bool) {
            RunLoop::main().performAfter(kSaveLaHold, [weak] {
                if (auto self = weak.lock()) self->toClearSaveLa();
            });
        });
}

void MVTQRCodeEncoderViewController::toClearSaveLa() {
    if (auto label = showSaveLa_) animate(kSaveLaFade, [label] { label->setAlpha(0); });
}

void MVTQRCodeEncoderViewController::goback() { dismissViewController(true); }
