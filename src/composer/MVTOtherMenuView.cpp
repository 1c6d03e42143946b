#include "composer/MVTOtherMenuView.h"

#include "shell/InternationalControl.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"

using namespace platform;

void MVTOtherMenuView::initWithFrame(const Rect& frame) {
    setFrame(frame);
    setBackgroundColor(Color::rgba(0, 0, 0, 0));
    std::weak_ptr<MVTOtherMenuView> weak = std::static_pointer_cast<MVTOtherMenuView>(shared_from_this());

    blank_ = std::make_shared<Button>(Rect(0, 0, frame.width(), frame.height()));
    blank_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock())
            if (auto delegate = self->delegate_.lock()) delegate->blankSpaceClicked();
    });
    addSubview(blank_);

    const char* titles[] = {"文字", "拍照", "相册", "心情"};
    const double width = frame.width() / 4;
    for (int k = 0; k < 4; ++k) {
        auto item = std::make_shared<Button>(Rect(k * width, frame.height() - 110, width, 90));
        item->setTitle(localized(titles[k]));
        item->setTitleColor(Color::whiteColor());
        item->setTag(k);
        item->setAlpha(0);
        item->addTarget(ControlEventTouchUpInside, [weak, k](Control&) {
            if (auto self = weak.lock())
                if (auto delegate = self->delegate_.lock()) delegate->btnClickedWith(k);
        });
        addSubview(item);
        items_.push_back(item);
    }
}

void MVTOtherMenuView::showAlphAndMenu(bool open) {
    open_ = open;
    if (open) setHidden(false);
    std::weak_ptr<MVTOtherMenuView> weak = std::static_pointer_cast<MVTOtherMenuView>(shared_from_this());
    animate(
        0.4,
        [this, open] {
            setBackgroundColor(Color::rgba(0, 0, 0, open ? 0.6 : 0));
            for (auto& item : items_) item->setAlpha(open ? 1 : 0);
        },
        [weak](bool) {
            if (auto self = weak.lock())
                if (!self->open_) self->setHidden(true);
        });
}
