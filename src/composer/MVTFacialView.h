#pragma once

// The emoticon panel: pages of faces, a page control and a "完成" button.

#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class PageControl;
class ScrollView;
}  // namespace platform

class MVTFacialViewDelegate {
public:
    virtual ~MVTFacialViewDelegate() = default;
    // selectedFacialView: the token text of the tapped face ("[em:7:]").
    virtual void selectedFacialView(const std::string& token) = 0;
    // The "完成" button.
    virtual void sendMessage() = 0;
};

class MVTFacialView : public platform::View {
public:
    static constexpr int kFaceCount = 30;
    static constexpr int kFacesPerPage = 20;

    MVTFacialView() = default;
    std::string className() const override { return "MVTFacialView"; }

    void initWithFrame(const platform::Rect& frame);
    void setDelegate(std::weak_ptr<MVTFacialViewDelegate> delegate) { delegate_ = std::move(delegate); }

    // "[em:%d:]" for the face number (1-based).
    static std::string tokenFor(int face);
    int numberOfPages() const;
    std::shared_ptr<platform::Button> doneButton() const { return doneButton_; }

private:
    std::weak_ptr<MVTFacialViewDelegate> delegate_;
    std::shared_ptr<platform::ScrollView> pages_;
    std::shared_ptr<platform::PageControl> pageControl_;
    std::shared_ptr<platform::Button> doneButton_;
};
