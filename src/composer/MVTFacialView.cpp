#include "composer/MVTFacialView.h"

#include "shell/InternationalControl.h"

#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/ScrollView.h"

using namespace platform;

std::string MVTFacialView::tokenFor(int face) { return "[em:" + std::to_string(face) + ":]"; }

int MVTFacialView::numberOfPages() const { return (kFaceCount + kFacesPerPage - 1) / kFacesPerPage; }

void MVTFacialView::initWithFrame(const Rect& frame) {
    setFrame(frame);
    setBackgroundColor(Color::rgb255(246, 248, 245));
    const double width = frame.width();
    const double pageHeight = frame.height() - 40;
    pages_ = std::make_shared<ScrollView>(Rect(0, 0, width, pageHeight));
    pages_->setPagingEnabled(true);
    pages_->setShowsHorizontalScrollIndicator(false);
    pages_->setContentSize(Size(width * numberOfPages(), pageHeight));
    addSubview(pages_);

    // Seven faces a row, three rows a page.
    const int columns = 7;
    const double cell = width / columns;
    for (int face = 1; face <= kFaceCount; ++face) {
        const int index = face - 1;
        const int page = index / kFacesPerPage;
        const int slot = index % kFacesPerPage;
        auto button = std::make_shared<Button>(
            Rect(page * width + (slot % columns) * cell, 8 + (slot / columns) * 52, cell, 44));
        button->setImage(Image::imageNamed("em_" + std::to_string(face)));
        button->setTag(face);
        button->setAccessibilityValue(tokenFor(face));
        std::weak_ptr<MVTFacialView> weak = std::static_pointer_cast<MVTFacialView>(shared_from_this());
        button->addTarget(ControlEventTouchUpInside, [weak, face](Control&) {
            if (auto self = weak.lock())
                if (auto delegate = self->delegate_.lock()) delegate->selectedFacialView(tokenFor(face));
        });
        pages_->addSubview(button);
    }

    pageControl_ = std::make_shared<PageControl>(Rect(0, pageHeight, width - 70, 30));
    pageControl_->setNumberOfPages(numberOfPages());
    pageControl_->setCurrentPage(0);
    addSubview(pageControl_);

    doneButton_ = std::make_shared<Button>(Rect(width - 65, pageHeight + 2, 55, 30));
    doneButton_->setTitle(localized("完成"));
    doneButton_->setTitleColor(Color::rgb255(85, 85, 85));
    std::weak_ptr<MVTFacialView> weak = std::static_pointer_cast<MVTFacialView>(shared_from_this());
    doneButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock())
            if (auto delegate = self->delegate_.lock()) delegate->sendMessage();
    });
    addSubview(doneButton_);
}
