#include "tests/MVTItemChangeView.h"

#include "platform/ui/PanGestureRecognizer.h"

#include <cmath>

using namespace platform;

namespace {

const Color kItemCardGrey = Color::white(0.949);
const Color kItemShadowGrey = Color::white(0.333);

void setItemShadowOpacity(View& holder, double opacity) {
    Shadow shadow = holder.shadow();
    shadow.opacity = opacity;
    holder.setShadow(shadow);
}

}  // namespace

MVTItemChangeView::MVTItemChangeView(const Rect& frame) : View(frame) {}

std::shared_ptr<MVTItemChangeView> MVTItemChangeView::make(const Rect& frame) {
    auto view = std::make_shared<MVTItemChangeView>(frame);
    view->initWithFrame();
    return view;
}

void MVTItemChangeView::initWithFrame() {
    setBackgroundColor(Color::clear());
    dataList_ = Json::array();
    isDone_ = false;
    itemH_ = 0;
    std::weak_ptr<MVTItemChangeView> weak = std::static_pointer_cast<MVTItemChangeView>(shared_from_this());
    pan_ = std::make_shared<PanGestureRecognizer>([weak](GestureRecognizer& recognizer) {
        if (auto self = weak.lock()) self->panHandle(recognizer);
    });
    pan_->setMinimumNumberOfTouches(1);
    pan_->setMaximumNumberOfTouches(1);
    pan_->setShouldBegin([weak](GestureRecognizer& recognizer) {
        auto self = weak.lock();
        return self && self->gestureRecognizerShouldBegin(recognizer);
    });
    // The table's own scrolling is never blocked by the list.
    pan_->setShouldRecognizeSimultaneously([](GestureRecognizer&, GestureRecognizer&) { return true; });
    addGestureRecognizer(pan_);
}

void MVTItemChangeView::reloadDataWith(const Json& entries, int, bool submitted,
                                       const std::vector<std::shared_ptr<View>>& views) {
    const std::size_t count = entries.is_array() ? entries.size() : 0;
    for (std::size_t i = 0; i < count; ++i) dataList_.push_back(entries[submitted ? i : count - 1 - i]);
    itemH_ = tag();
    const double width = bounds().width();
    for (std::size_t b = 0; b < dataList_.size(); ++b) {
        auto holder = std::make_shared<View>(Rect(5, double(b) * (itemH_ + kGap) + 5, width - 10, itemH_));
        holder->setBackgroundColor(Color::clear());
        Shadow shadow;
        shadow.color = kItemShadowGrey;
        shadow.offset = {0.3, 0.3};
        shadow.opacity = 0;
        holder->setShadow(shadow);
        holder->setTag(kHolderTag + int(b));
        auto card = std::make_shared<View>(Rect(0, 0, width - 10, itemH_));
        card->setBackgroundColor(kItemCardGrey);
        card->setCornerRadius(2);
        card->setBorderWidth(0.6);
        card->setBorderColor(Color::lightGray());
        card->setClipsToBounds(true);
        card->setTag(kCardTag);
        card->setUserInteractionEnabled(false);
        const std::size_t from = submitted ? b : dataList_.size() - 1 - b;
        if (from < views.size() && views[from]) {
            auto content = views[from];
            const Size size = content->frame().size;
            content->setFrame({5, (itemH_ - size.height) / 2, size.width, size.height});
            card->addSubview(content);
        }
        holder->addSubview(card);
        addSubview(holder);
        holders_.push_back(holder);
    }
    setUserInteractionEnabled(!submitted);
}

std::shared_ptr<View> MVTItemChangeView::holderWithTag(int wanted) const {
    for (const auto& holder : holders_)
        if (holder->tag() == wanted) return holder;
    return nullptr;
}

std::shared_ptr<View> MVTItemChangeView::getStartSelectedItem(Point point) const {
    const Rect box = bounds();
    if (point.x < 0 || point.x > box.width() || point.y < 0 || point.y > box.height()) return nullptr;
    const double step = itemH_ + kGap;
    if (!(step > 0)) return nullptr;
    // b * step < y < (b + 1) * step; on a border the item above it.
    long index = point.y <= 0 ? 0 : long(std::ceil(point.y / step)) - 1;
    if (index < 0 || std::size_t(index) >= holders_.size()) return nullptr;
    return holderWithTag(kHolderTag + int(index));
}

bool MVTItemChangeView::gestureRecognizerShouldBegin(GestureRecognizer& recognizer) {
    const Point p = recognizer.locationInView(this);
    selectedItem_ = getStartSelectedItem(p);
    if (selectedItem_) {
        bringSubviewToFront(selectedItem_);
        setItemShadowOpacity(*selectedItem_, 0.6);
        startPoint_ = selectedItem_->center();
        pc_x_ = p.x - startPoint_.x;
        pc_y_ = p.y - startPoint_.y;
        isEdit_ = true;
    } else {
        isEdit_ = false;
    }
    if (auto delegate = selectDelegate()) delegate->toSetCourseListScrol(!isEdit_);
    return isEdit_;
}

void MVTItemChangeView::panHandle(GestureRecognizer& recognizer) {
    if (!isEdit_ || !selectedItem_) return;
    switch (recognizer.state()) {
    case GestureState::Began:
        if (auto delegate = selectDelegate()) delegate->toSetCourseListScrol(false);
        break;
    case GestureState::Changed: {
        const Point p = recognizer.locationInView(this);
        selectedItem_->setCenter({p.x - pc_x_, p.y - pc_y_});
        break;
    }
    case GestureState::Ended:
        endDrag(true);
        break;
    case GestureState::Cancelled:
    case GestureState::Failed:
        endDrag(false);
        break;
    default:
        break;
    }
}

void MVTItemChangeView::endDrag(bool dropped) {
    auto dragged = selectedItem_;
    auto target = dropped ? getStartSelectedItem(dragged->center()) : nullptr;
    // The item under the dragged one's centre may be the dragged one itself.
    if (target == dragged) target = nullptr;
    bool swapped = false;
    if (target && target->tag() != dragged->tag()) {
        const int from = dragged->tag() - kHolderTag, to = target->tag() - kHolderTag;
        if (from >= 0 && to >= 0 && std::size_t(from) < dataList_.size() && std::size_t(to) < dataList_.size()) {
            std::swap(dataList_[std::size_t(from)], dataList_[std::size_t(to)]);
            const int draggedTag = dragged->tag();
            const Point targetCenter = target->center();
            target->setTag(draggedTag);
            target->setCenter(startPoint_);
            dragged->setTag(kHolderTag + to);
            dragged->setCenter(targetCenter);
            isDone_ = true;
            swapped = true;
        }
    }
    if (!swapped) dragged->setCenter(startPoint_);
    isEdit_ = false;
    setItemShadowOpacity(*dragged, 0);
    selectedItem_.reset();
    auto delegate = selectDelegate();
    if (swapped && delegate) delegate->toCheckDoneAndGetAnswer();
    if (delegate) delegate->toSetCourseListScrol(true);
}
