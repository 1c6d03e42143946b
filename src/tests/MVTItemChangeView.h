#pragma once

#include "platform/Values.h"
#include "platform/ui/View.h"

#include <memory>
#include <vector>

namespace platform {
class GestureRecognizer;
class PanGestureRecognizer;
}  // namespace platform

class MVTItemChangeViewDelegate {
public:
    virtual ~MVTItemChangeViewDelegate() = default;
    // NO when a drag begins, YES when it ends or is cancelled: the table around the list
    // stops scrolling while an item is dragged.
    virtual void toSetCourseListScrol(bool on) = 0;
    // After every swap.
    virtual void toCheckDoneAndGetAnswer() = 0;
};

// The right column of a matching question: equally high items, one per entry, and an item
// dragged onto another swaps the two. dataList keeps the entries in their shown order; the
// holder at position b always has the tag 1000 + b. The item height is the view's own tag
// when the list is filled. Filled once in its life.
class MVTItemChangeView : public platform::View {
public:
    static constexpr int kHolderTag = 1000;
    static constexpr int kCardTag = 100;
    static constexpr double kGap = 5;

    explicit MVTItemChangeView(const platform::Rect& frame);
    std::string className() const override { return "MVTItemChangeView"; }
    // initWithFrame: the pan recogniser for one touch; call once after making the view.
    void initWithFrame();
    static std::shared_ptr<MVTItemChangeView> make(const platform::Rect& frame);

    // reloadDataWith:withH:and:and: the entries in their order when submitted, else
    // reversed; `views` holds one content view per entry, in the order of `entries`.
    void reloadDataWith(const platform::Json& entries, int height, bool submitted,
                        const std::vector<std::shared_ptr<platform::View>>& views);

    // The holder under a point of the list; nullptr outside the list or past its items. A
    // point on the border between two items picks the upper one.
    std::shared_ptr<platform::View> getStartSelectedItem(platform::Point point) const;

    bool gestureRecognizerShouldBegin(platform::GestureRecognizer& recognizer);
    void panHandle(platform::GestureRecognizer& recognizer);

    const platform::Json& dataList() const { return dataList_; }
    void setDataList(platform::Json list) { dataList_ = std::move(list); }
    bool isDone() const { return isDone_; }
    void setIsDone(bool done) { isDone_ = done; }
    int itemH() const { return itemH_; }
    bool isEdit() const { return isEdit_; }
    std::shared_ptr<MVTItemChangeViewDelegate> selectDelegate() const { return selectDelegate_.lock(); }
    void setSelectDelegate(std::weak_ptr<MVTItemChangeViewDelegate> delegate) { selectDelegate_ = std::move(delegate); }
    std::shared_ptr<platform::PanGestureRecognizer> pan() const { return pan_; }

private:
    std::shared_ptr<platform::View> holderWithTag(int tag) const;
    void endDrag(bool dropped);

    platform::Json dataList_ = platform::Json::array();
    bool isDone_ = false;
    int itemH_ = 0;
    std::shared_ptr<platform::View> selectedItem_;
    platform::Point startPoint_;
    double pc_x_ = 0, pc_y_ = 0;
    bool isEdit_ = false;
    std::weak_ptr<MVTItemChangeViewDelegate> selectDelegate_;
    std::vector<std::shared_ptr<platform::View>> holders_;
    std::shared_ptr<platform::PanGestureRecognizer> pan_;
};
