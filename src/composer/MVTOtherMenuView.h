#pragma once

// The publish menu: four items (text post, camera, album, mood) over a dimmed background.

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
}

class MVTOtherMenuViewDelegate {
public:
    virtual ~MVTOtherMenuViewDelegate() = default;
    // btnClickedWith: 0 text post, 1 camera, 2 album, 3 mood.
    virtual void btnClickedWith(int index) = 0;
    // A tap beside the items.
    virtual void blankSpaceClicked() = 0;
};

class MVTOtherMenuView : public platform::View {
public:
    MVTOtherMenuView() = default;
    std::string className() const override { return "MVTOtherMenuView"; }

    void initWithFrame(const platform::Rect& frame);
    void setDelegate(std::weak_ptr<MVTOtherMenuViewDelegate> delegate) { delegate_ = std::move(delegate); }
    // showAlphAndMenu: YES animates the menu open, NO closed.
    void showAlphAndMenu(bool open);
    bool isOpen() const { return open_; }
    const std::vector<std::shared_ptr<platform::Button>>& items() const { return items_; }
    std::shared_ptr<platform::Button> blankButton() const { return blank_; }

private:
    std::weak_ptr<MVTOtherMenuViewDelegate> delegate_;
    std::shared_ptr<platform::Button> blank_;
    std::vector<std::shared_ptr<platform::Button>> items_;
    bool open_ = false;
};
