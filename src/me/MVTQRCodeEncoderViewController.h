#pragma once

#include "shell/ViewViewController.h"

#include <memory>
#include <string>

namespace platform {
class ImageView;
class Label;
class TextView;
}  // namespace platform

// "生成二维码": the typed text as a QR code (highest error correction, smallest version)
// of 260 points with the logo in its centre; a long press of 0.3 s on the picture offers
// "存入相册". Presented in its own navigation controller; nothing opens it.
class MVTQRCodeEncoderViewController : public ViewViewController {
public:
    MVTQRCodeEncoderViewController();
    ~MVTQRCodeEncoderViewController() override;
    std::string className() const override { return "MVTQRCodeEncoderViewController"; }

    static constexpr int kQRCodeViewTag = 10000;
    static constexpr double kPictureSize = 260;
    static constexpr double kPressDuration = 0.3;

    void viewDidLoad() override;
    // Encodes the text; a picture replaces the one shown, none leaves it.
    void getQRCodeImage();
    // A picture of `image`'s size with `sub` drawn at its own size in the middle (whole
    // points, fractions dropped).
    static platform::ImageRef addSubImage(const platform::ImageRef& image, const platform::ImageRef& sub);
    void handleLong(platform::GestureRecognizer& recognizer);
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    // The green toast "图片保存成功": fades in, stays 1 s, fades out; one label for all.
    void toShowSaveLa();
    void toClearSaveLa();
    void goback();

    std::shared_ptr<platform::TextView> textView() const { return textView_; }
    std::shared_ptr<platform::ImageView> QRCodeImageView() const { return QRCodeImageView_; }
    std::shared_ptr<platform::Label> showSaveLa() const { return showSaveLa_; }

private:
    std::shared_ptr<platform::TextView> textView_;
    std::shared_ptr<platform::ImageView> QRCodeImageView_;
    std::shared_ptr<platform::Label> showSaveLa_;
};
