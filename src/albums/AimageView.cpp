#include "albums/AimageView.h"

using namespace platform;

AimageView::AimageView(const Rect& frame) : ImageView(frame) {
    setUserInteractionEnabled(true);
    delegatrue_ = true;
}

void AimageView::touchesBegan(const Touches& touches) {
    if (!delegatrue_) return;
    if (auto delegate = delegate_.lock()) delegate->imageTouch(touches, *this);
}
