#pragma once

#include "platform/ui/ImageView.h"

#include <memory>

class AimageView;

// Told when touches land on an AimageView. The handset passed its event object as well;
// the touches carry all there is of it here.
class ImageTouchDelegate {
public:
    virtual ~ImageTouchDelegate() = default;
    virtual void imageTouch(const platform::Touches& touches, AimageView& whichView) {
        (void)touches;
        (void)whichView;
    }
};

// An image view that takes touches and reports where they begin to its delegate, keeping
// them to itself.
class AimageView : public platform::ImageView {
public:
    explicit AimageView(const platform::Rect& frame);
    std::string className() const override { return "AimageView"; }

    void setDelegate(std::weak_ptr<ImageTouchDelegate> delegate) { delegate_ = std::move(delegate); }
    bool delegatrue() const { return delegatrue_; }

    void touchesBegan(const platform::Touches& touches) override;

private:
    std::weak_ptr<ImageTouchDelegate> delegate_;
    bool delegatrue_ = false;
};
