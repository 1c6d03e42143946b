#pragma once

// The emoticon panels: 30 faces, seven by four a page, each standing for the token
// "[em:N:]". The panel only hands the tapped face's token to its delegate; where the
// token goes is the delegate's business. The faces are laid out the first time the panel
// lays itself out, so its owner sets the delegate (and the chat mode) before showing it.

#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class PageControl;
}  // namespace platform

class MVTFacialViewDelegate {
public:
    virtual ~MVTFacialViewDelegate() = default;
    // selectedFacialView: the token of the tapped face ("[em:7:]").
    virtual void selectedFacialView(const std::string& token) = 0;
    // sendMessage: the button of the panel ("完成" or "发送").
    virtual void sendMessage() = 0;
};

class MVTFacePanel : public platform::View, public platform::ScrollViewDelegate {
public:
    static constexpr int kFaceCount = 30;
    static constexpr int kFacesPerRow = 7;
    static constexpr int kRowsPerPage = 4;
    static constexpr double kFaceSide = 24;

    // initWithFrame: the light grey panel, still without faces.
    void initWithFrame(const platform::Rect& frame);
    std::shared_ptr<MVTFacialViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTFacialViewDelegate> delegate) { delegate_ = std::move(delegate); }

    // The fixed face list, "[em:1:]" to "[em:30:]".
    static const std::vector<std::string>& faces();
    // loadFacialView: builds the grid of face set 0; any other set gives an empty grid.
    void loadFacialView(int set);
    // selected: a face button was tapped.
    void selected(platform::Button& button);
    // changePage: the dots were changed.
    void changePage();
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;

    std::shared_ptr<platform::ScrollView> myscrollView() const { return myscrollView_; }
    std::shared_ptr<platform::PageControl> pageControl() const { return pageControl_; }
    // Whether the faces were laid out.
    bool isBuilt() const { return built_; }

    void layoutSubviews() override;

protected:
    virtual platform::Rect scrollFrame() const = 0;
    virtual platform::Rect dotsFrame() const = 0;
    // What is built before the grid (the button of the chat panel).
    virtual void buildExtras() {}

private:
    std::weak_ptr<MVTFacialViewDelegate> delegate_;
    std::shared_ptr<platform::ScrollView> myscrollView_;
    std::shared_ptr<platform::PageControl> pageControl_;
    bool built_ = false;
};
