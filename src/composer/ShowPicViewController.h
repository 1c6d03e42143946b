#pragma once

// The picture preview: the picked pictures full screen, one a page, each zoomable, the one
// in front deletable. It shares the opener's list of file paths: deleting a picture
// deletes its file and its path from that list at once. On leaving it hands the remaining
// pictures back to its delegate.

#include "shell/ViewViewController.h"

#include "platform/ui/Image.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class ScrollView;
class View;
}  // namespace platform

class showPicDelegate {
public:
    virtual ~showPicDelegate() = default;
    // reloadViewWithImageArray: the pictures that remain (possibly none).
    virtual void reloadViewWithImageArray(const std::vector<platform::ImageRef>& images) = 0;
};

class ShowPicViewController : public ViewViewController {
public:
    std::string className() const override { return "ShowPicViewController"; }

    // initWith:path:tag: the pictures (a missing one is read from its file), the opener's
    // own path list, and the picture shown first.
    void initWith(const std::vector<platform::ImageRef>& images,
                  const std::shared_ptr<std::vector<std::string>>& paths, int tag);
    void setDelegate(const std::shared_ptr<showPicDelegate>& delegate) { delegate_ = delegate; }
    std::shared_ptr<showPicDelegate> delegate() const { return delegate_; }

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;

    // showBar: the backdrop tap hides or shows the top bar (and the status bar with it).
    void showBar();
    // deleteImage: deletes the picture in front, its file and its path.
    void deleteImage();
    // reloadView: the pages again after a deletion.
    void reloadView();
    // back: the delegate gets the remaining pictures, then the preview goes.
    void back();

    const std::vector<platform::ImageRef>& pictures() const { return pictures_; }
    std::shared_ptr<platform::ScrollView> allScroll() const { return allScroll_; }
    std::shared_ptr<platform::View> barView() const { return barView_; }
    std::shared_ptr<platform::Button> deleteButton() const { return deleteButton_; }

private:
    void buildPages(bool fromFiles);
    void showPage(int page);

    std::shared_ptr<std::vector<std::string>> showImagePathArr_;
    std::shared_ptr<platform::ScrollView> allScroll_;
    std::shared_ptr<platform::View> barView_;
    std::shared_ptr<platform::Button> deleteButton_;
    std::shared_ptr<showPicDelegate> delegate_;
    // The pictures shown (the viewer's showArray holds picture entries, not pictures).
    std::vector<platform::ImageRef> pictures_;
};
