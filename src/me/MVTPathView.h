#pragma once

#include "platform/Values.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace platform {
class ImageView;
class Label;
}  // namespace platform

// What the header tells the screen that hosts it.
class MVTPersonDetailDelegate {
public:
    virtual ~MVTPersonDetailDelegate() = default;
    // The avatar was tapped.
    virtual void goToPersonDetail() = 0;
    // The cover was tapped.
    virtual void goToChageBgImage() = 0;
};

// The header of a personal space and of a profile page: a 77-point strip showing the
// middle band of the square cover behind the avatar, the name and the signature. A space's
// header also shows the post and view counts and carries the space's own pull-to-refresh
// spinner; a profile's header (isPersonDetail) has neither.
//
// The cover tap goes to the delegate. The avatar button has no target: its tap climbs the
// responder chain as the action "goToPersonDetail" to the first screen that answers it
// (a space does; a profile page does not, so there the tap does nothing).
class MVTPathView : public platform::View {
public:
    static constexpr const char* kAvatarAction = "goToPersonDetail";
    static constexpr double kHeight = 77;
    static constexpr double kArmOffset = -44;

    std::string className() const override { return "MVTPathView"; }

    // initWithUserID:isPersonDetail:
    void initWithUserID(const std::string& userId, bool personDetail);
    static std::shared_ptr<MVTPathView> make(const std::string& userId, bool personDetail);

    void setAvatorName(const std::string& name);
    // The signature's text (setUserSignLabel: sets the text, not the label).
    void setUserSignLabel(const std::string& text);
    // The avatar of the user: the cached one when fresh, else the role's default picture
    // and a background download.
    void setAvatorImage(const std::string& userId, const std::string& role);
    // A signature that is JSON null or empty leaves the present one; the counts are shown
    // as given.
    void setDetail(const platform::Json& status, const std::string& essayCount, const std::string& viewCount);
    // NO hides, YES shows the signature and the four count labels.
    void setHiddenOrShow(bool show);
    // The cover shows the picture in `bytes` (nothing when they are no picture).
    void setBgImage(const std::string& bytes);
    void setBgImage(const platform::ImageRef& image);

    // The host's vertical content offset on every scroll: arms the refresh below -44,
    // disarms it when the finger moves back, and lets the spinner follow a released table.
    void setOffsetY(double y);
    void scrollViewWillBeginDragging() { touching_ = true; }
    void scrollViewDidEndDragging() { touching_ = false; }
    void startAnimate();
    void stopAnimate();
    void goToChageBgImage();

    double offsetY() const { return offsetY_; }
    bool refresh() const { return refresh_; }
    void setRefresh(bool on) { refresh_ = on; }
    bool isLoading() const { return isLoading_; }
    void setIsLoading(bool on) { isLoading_ = on; }
    bool touching() const { return touching_; }
    bool isPersonDetail() const { return isPersonDetail_; }
    std::shared_ptr<MVTPersonDetailDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTPersonDetailDelegate> delegate) { delegate_ = std::move(delegate); }

    std::shared_ptr<platform::ImageView> img_banner() const { return img_banner_; }
    std::shared_ptr<platform::View> showView() const { return showView_; }
    std::shared_ptr<platform::ImageView> bt_avatar() const { return bt_avatar_; }
    std::shared_ptr<platform::View> avatarButton() const { return avatarButton_; }
    std::shared_ptr<platform::Label> userNameLabel() const { return userNameLabel_; }
    std::shared_ptr<platform::Label> userSignLabel() const { return userSignLabel_; }
    std::shared_ptr<platform::Label> tuShuoCountLabel() const { return tuShuoCountLabel_; }
    std::shared_ptr<platform::Label> scanCountLabel() const { return scanCountLabel_; }
    std::shared_ptr<platform::ImageView> activityIndicator() const { return activityIndicator_; }

private:
    bool isPersonDetail_ = false;
    double offsetY_ = 0;
    bool isLoading_ = false;
    bool refresh_ = false;
    bool touching_ = false;
    std::weak_ptr<MVTPersonDetailDelegate> delegate_;
    std::shared_ptr<platform::ImageView> img_banner_;
    std::shared_ptr<platform::View> showView_;
    std::shared_ptr<platform::ImageView> bt_avatar_;
    std::shared_ptr<platform::View> avatarButton_;
    std::shared_ptr<platform::Label> userNameLabel_;
    std::shared_ptr<platform::Label> userSignLabel_;
    std::shared_ptr<platform::Label> tushuoLabel_, tuShuoCountLabel_, scanLabel_, scanCountLabel_;
    std::shared_ptr<platform::ImageView> activityIndicator_;
};
