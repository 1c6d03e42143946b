#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/Image.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ImageView;
}  // namespace platform

// Told when the school's advert overlay closes: by its close button, or by a tap on the
// picture with the page the picture opens.
class MVTActivitiesViewControllerDelegate {
public:
    virtual ~MVTActivitiesViewControllerDelegate() = default;
    virtual void activitiesViewControllerWillDismiss() {}
    virtual void activitiesViewControllerWillDismissWith(const std::string& url, const std::string& title) {
        (void)url;
        (void)title;
    }
};

// The school's advert as a full-screen overlay: its picture framed on the feed (which
// stays visible around it) with a close button on the picture's top right corner. The
// home puts the view above everything in the application window once the picture is on
// the handset, and takes it away when the delegate hears of the closing.
class MVTActivitiesViewController : public ViewViewController {
public:
    MVTActivitiesViewController();
    ~MVTActivitiesViewController() override;
    std::string className() const override { return "MVTActivitiesViewController"; }

    static constexpr double kPictureTimeout = 20.0;
    // An advert picture above this size is no advert picture.
    static constexpr std::size_t kLargestPicture = 8u * 1024 * 1024;

    // ---- Advert pictures, "adImage_<id>.png" in the downloads folder, shared by the overlay
    // and the banner. A file once written is kept; one that no longer decodes counts as
    // missing. An id that is no plain name names no file: such an advert shows nothing.
    static std::string pictureFile(const std::string& resourceId);
    static platform::ImageRef storedPicture(const std::string& resourceId);
    // Downloads the picture (blocking: background threads only) and stores it unless a
    // readable file is there already; nullptr when the reply is no picture.
    static platform::ImageRef downloadPicture(const std::string& resourceId);

    const std::string& activitiesURL() const { return activitiesURL_; }
    void setActivitiesURL(const std::string& url) { activitiesURL_ = url; }
    const std::string& imageResourceId() const { return imageResourceId_; }
    void setImageResourceId(const std::string& id) { imageResourceId_ = id; }
    const std::string& titleString() const { return titleString_; }
    void setTitleString(const std::string& title) { titleString_ = title; }
    std::shared_ptr<MVTActivitiesViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::weak_ptr<MVTActivitiesViewControllerDelegate>& delegate) { delegate_ = delegate; }

    void viewDidLoad() override;
    // Shows the stored picture, or fetches it in the background; the placeholder stays
    // until a picture comes.
    void toGetAdImage();
    void didSelected();
    void dismissFormSuperView();

    std::shared_ptr<platform::ImageView> pictureView() const { return imageView_; }
    std::shared_ptr<platform::Button> closeButton() const { return closeButton_; }

private:
    // Shows the picture and fits the picture view and the close button to it.
    void layoutPicture(const platform::ImageRef& picture);

    std::string activitiesURL_;
    std::string imageResourceId_;
    std::string titleString_;
    std::weak_ptr<MVTActivitiesViewControllerDelegate> delegate_;
    std::shared_ptr<platform::ImageView> imageView_;
    std::shared_ptr<platform::Button> closeButton_;
};
