#pragma once

// The publish menu: over a dimmed background its item buttons fan out from the bottom
// centre, a text post, a camera photo, album pictures and, for most schools, a mood. It
// only shows the items and says what was tapped; its delegate opens what an item stands
// for and decides when the menu closes.

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class ImageView;
class Label;
class TapGestureRecognizer;
}  // namespace platform

class MVTOtherMenuViewDelegate {
public:
    virtual ~MVTOtherMenuViewDelegate() = default;
    // btnClickedWith: the tag of the tapped item, 0 to 3.
    virtual void btnClickedWith(int index) = 0;
    // blankSpaceClicked: a tap beside the items while the menu stands open.
    virtual void blankSpaceClicked() = 0;
};

class MVTOtherMenuView : public platform::View {
public:
    static constexpr int kMenuTag = 1111;
    static constexpr double kButtonSide = 60;
    static constexpr double kAnimationSeconds = 0.4;
    // The school whose menu has three items, the first of them homework.
    static constexpr const char* kThreeItemSchool = "114922";

    std::string className() const override { return "MVTOtherMenuView"; }

    void initWithFrame(const platform::Rect& frame);
    void setDelegate(std::weak_ptr<MVTOtherMenuViewDelegate> delegate) { delegate_ = std::move(delegate); }
    // showAlphAndMenu: YES opens the menu, NO closes it, both animated.
    void showAlphAndMenu(bool open);
    // whichBtnClicked: an item button was tapped.
    void whichBtnClicked(platform::Button& button);
    // tapSelect: a tap on the menu.
    void tapSelect(platform::GestureRecognizer& tap);

    // Whether the menu has a fourth item (every school but one).
    static bool hasFourItems();
    // The open position of item `tag` on a menu `height` high, for three or four items.
    static platform::Point openPosition(int tag, bool four, double height);
    std::vector<std::shared_ptr<platform::Button>> buttons() const;
    std::vector<std::shared_ptr<platform::Label>> labels() const;
    std::shared_ptr<platform::TapGestureRecognizer> tap() const { return tap_; }
    std::shared_ptr<platform::ImageView> bgImageView() const { return bgImageView_; }

private:
    std::shared_ptr<platform::Button> createBtnWith(const std::string& picture, int tag);
    std::shared_ptr<platform::Label> createLaWithFrame(const platform::Rect& frame, const std::string& text);
    platform::Point restingPosition() const;

    std::shared_ptr<platform::TapGestureRecognizer> tap_;
    std::shared_ptr<platform::ImageView> bgImageView_;
    std::shared_ptr<platform::Button> btn1_, btn2_, btn3_, btn4_;
    std::shared_ptr<platform::Label> la1_, la2_, la3_, la4_;
    std::weak_ptr<MVTOtherMenuViewDelegate> delegate_;
};
