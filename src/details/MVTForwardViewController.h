#pragma once

// The forward screen: re-shares one post of the feed as a new post of the signed-in user,
// with an optional comment and, for teachers, a choice of who may see it. The post shows
// read-only at the top. On success it tells its opener once and closes itself.

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TextView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/NotificationCenter.h"

namespace platform {
class ImageView;
class Label;
class ProgressHUD;
class ScrollView;
}  // namespace platform

class PostKindRenderer;

// The text view delegate of the detail and forward screens: an object of its own (the
// screens are scroll view delegates already), handing each change to its owner.
class DetailsTextDelegate : public platform::TextViewDelegate {
public:
    using Check = std::function<bool(platform::Range range, const std::string& replacement)>;
    explicit DetailsTextDelegate(Check check) : check_(std::move(check)) {}
    bool textViewShouldChangeText(platform::TextView&, platform::Range range, const std::string& replacement) override {
        return check_ ? check_(range, replacement) : true;
    }

private:
    Check check_;
};

class MVTForwardDelegate {
public:
    virtual ~MVTForwardDelegate() = default;
    // showTurnSuccessWith: called once after a successful forward, with "转发成功".
    virtual void showTurnSuccessWith(const std::string& text) = 0;
};

class MVTForwardViewController : public ViewViewController,
                                 public platform::AlertViewDelegate {
public:
    static constexpr double kForwardTimeout = 30;
    static constexpr int kPermissionSheetTag = 100;
    static constexpr int kLeaveAlertTag = 1;
    static constexpr int kPermissionLabelTag = 1;
    static constexpr int kTouchDownTag = 222;
    static constexpr int kModalTag = 1;

    std::string className() const override { return "MVTForwardViewController"; }

    // initWithDic: the screen with a copy of the post.
    void initWithDic(const platform::Json& post);
    std::shared_ptr<MVTForwardDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTForwardDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::string& modelName() const { return modelName_; }
    void setModelName(const std::string& name) { modelName_ = name; }
    const std::string& modelID() const { return modelID_; }
    void setModelID(const std::string& id) { modelID_ = id; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void initScroll();
    void initButtomView();
    void myPermissionView();
    void createHeadView();
    void choosePermission();
    void sendButton();
    void toback();
    void goback();
    void keyboardWillShow(const platform::Notification& notification);
    void keyboardChange(const platform::Notification& notification);
    void hideKeyboard();
    void showHUDWithBool(bool show);
    void touchesBegan(const platform::Touches& touches) override;
    // textView:shouldChangeTextInRange:replacementText: of the comment field.
    bool textViewShouldChangeText(platform::Range range, const std::string& replacement);
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // The visibility code sent for a position of the teacher's sheet (0 to 4).
    static int permissionCodeFor(long position);
    // The label of one's own post's visibility, or empty when none shows.
    static std::string visibilityLabelFor(const platform::Json& post, const std::string& viewerId,
                                          const std::string& viewerRole);

    // ---- State (tests)
    const platform::Json& myDict() const { return myDict_; }
    int permissionNum() const { return permissionNum_; }
    bool issending() const { return issending_; }
    bool isShare() const { return isShare_; }
    const platform::Json& imageArray() const { return imageArray_; }
    std::shared_ptr<platform::ScrollView> myView() const { return myView_; }
    std::shared_ptr<platform::View> headView() const { return headView_; }
    std::shared_ptr<platform::View> permissionView() const { return permissionView_; }
    std::shared_ptr<platform::ImageView> buttomView() const { return buttomView_; }
    std::shared_ptr<platform::TextView> messageTextView() const { return messageTextView_; }
    std::shared_ptr<platform::Button> sendBtn() const { return sendBtn_; }

private:
    double topInset() const;
    void sendFinished();
    void showForwardAlert(const std::string& title);
    double addVoiceRow(platform::View& parent, const platform::Json& voice, double x, double y);
    std::shared_ptr<platform::View> rowButton(const platform::Json& entry, bool link, const platform::Rect& frame);

    platform::Json myDict_ = platform::Json::object();
    std::weak_ptr<MVTForwardDelegate> delegate_;
    std::string modelName_;
    std::string modelID_;
    int permissionNum_ = -1;
    bool issending_ = false;
    bool isShare_ = false;
    platform::Json imageArray_ = platform::Json::array();
    std::shared_ptr<platform::ScrollView> myView_;
    std::shared_ptr<platform::View> headView_;
    std::shared_ptr<platform::View> permissionView_;
    std::shared_ptr<platform::ImageView> buttomView_;
    std::shared_ptr<platform::TextView> messageTextView_;
    std::shared_ptr<platform::Button> sendBtn_;
    std::shared_ptr<platform::View> touchDownView_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    std::shared_ptr<platform::Button> leftBtn_;
    std::vector<platform::ObserverToken> keyboardTokens_;
    // Draws the forwarded box and the file and link rows and loads the thumbnails.
    std::shared_ptr<PostKindRenderer> postRenderer_;
    std::shared_ptr<DetailsTextDelegate> textDelegate_;
};
