// The publish menu: the green box with its "+" floats over the bar while the home feed is
// in front; the menu it opens offers a text post, a camera photo, album pictures and the
// mood of the day, each opening its composer.
#include "shell/MyTabBarController.h"

#include "composer/AddPicViewController.h"
#include "composer/MVTAddFeelingController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"
#include "shell/myimagePickerViewController.h"

#include "platform/RunLoop.h"
#include "platform/Values.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

#include <cmath>

using namespace platform;

namespace {

constexpr double kMenuBarHeight = 49;
const Color kBoxGreen = Color::rgb255(58, 155, 33);

double publishScreenWidth() { return Screen::mainScreen().bounds().width(); }

}  // namespace

void MyTabBarController::initPublishMenu() {
    if (otherMenuView_) return;
    auto root = view();
    const double width = publishScreenWidth();
    otherMenuView_ = std::make_shared<MVTOtherMenuView>();
    otherMenuView_->initWithFrame(Rect(0, 0, width, Screen::mainScreen().bounds().height() - kMenuBarHeight));
    otherMenuView_->setDelegate(std::static_pointer_cast<MyTabBarController>(shared_from_this()));
    root->addSubview(otherMenuView_);
    otherMenuView_->setHidden(true);

    // Centred, its bottom 4 points above the bar, over the menu so it can close it again.
    const double barTop = root->bounds().height() - kMenuBarHeight;
    addMenuBgView_ = std::make_shared<View>(Rect((width - 46) / 2, barTop - 4 - 40, 46, 40));
    addMenuBgView_->setBackgroundColor(kBoxGreen);
    addMenuBgView_->setCornerRadius(4.8);
    middleAddBtn_ = Button::buttonWithType(ButtonType::Custom);
    middleAddBtn_->setFrame({3, 0, 40, 40});
    middleAddBtn_->setBackgroundColor(Color::clear());
    middleAddBtn_->setImage(Image::imageNamed("add_un"));
    middleAddBtn_->setImage(Image::imageNamed("add_did"), ControlStateSelected);
    middleAddBtn_->setImageEdgeInsets(EdgeInsets(9.5, 9.5, 9.5, 9.5));
    middleAddBtn_->setAccessibilityLabel("+");
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    middleAddBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toShowOtherBtn(static_cast<Button&>(control));
    });
    middleAddBtn_->setSelected(false);
    addMenuBgView_->addSubview(middleAddBtn_);
    if (commentBgBtn_ && commentBgBtn_->superview() == root)
        root->insertSubviewBelow(addMenuBgView_, commentBgBtn_);
    else
        root->addSubview(addMenuBgView_);
    updatePublishBox();
}

void MyTabBarController::updatePublishBox() {
    if (!addMenuBgView_) return;
    bool homeInFront = selectedIndex() == 0;
    const auto& stacks = viewControllers();
    if (homeInFront && !stacks.empty() && stacks[0])
        if (auto stack = stacks[0]->asNavigationController()) homeInFront = stack->viewControllers().size() <= 1;
    // An open menu keeps its button, which closes it.
    addMenuBgView_->setHidden(!homeInFront && !middleAddBtn_->isSelected());
}

void MyTabBarController::toShowOtherBtn(Button& button) {
    const bool open = !button.isSelected();
    button.setSelected(open);
    button.setUserInteractionEnabled(false);
    if (mytabbarView_) mytabbarView_->setUserInteractionEnabled(false);
    otherMenuView_->showAlphAndMenu(open);
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    animate(
        MVTOtherMenuView::kAnimationSeconds,
        [this, &button, open] {
            button.setTransform(open ? AffineTransform::rotation(-M_PI / 4) : AffineTransform::identity());
            if (mytabbarView_) mytabbarView_->setAlpha(open ? 0 : 1);
            addMenuBgView_->setBackgroundColor(Color::rgb255(58, 155, 33, open ? 0 : 1));
        },
        [weak](bool) {
            if (auto self = weak.lock()) {
                self->middleAddBtn_->setUserInteractionEnabled(true);
                if (self->mytabbarView_) self->mytabbarView_->setUserInteractionEnabled(true);
                self->updatePublishBox();
            }
        });
}

void MyTabBarController::blankSpaceClicked() { toShowOtherBtn(*middleAddBtn_); }

void MyTabBarController::btnClickedWith(int index) {
    toShowOtherBtn(*middleAddBtn_);
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    RunLoop::main().performAfter(0.3, [weak, index] {
        if (auto self = weak.lock()) self->whichMenuClickedWith(std::to_string(index));
    });
}

void MyTabBarController::whichMenuClickedWith(const std::string& index) {
    const long long k = integerValue(index);
    if (k >= 0 && k <= 4 && MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    switch (k) {
        case 0: {
            auto composer = std::make_shared<AddPicViewController>();
            composer->initWithImage(nullptr, false);
            newVC(composer);
            break;
        }
        case 1:
            if (!ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)) {
                AlertView::make(localized("提示"), localized("设备没有照相功能"), weak, localized("确定"))->show();
            } else {
                auto picker = std::make_shared<myimagePickerViewController>();
                picker->setSourceType(ImagePickerSourceType::Camera);
                picker->setAllowsEditing(true);
                picker->setDelegate(weak);
                presentViewController(picker, false);
            }
            break;
        case 2: {
            auto picker = std::make_shared<AssetsPickerController>();
            picker->setMaximumNumberOfSelection(9);
            picker->setDelegate(weak);
            presentViewController(picker, true);
            break;
        }
        case 3: {
            const std::string user = MVTAccount::sharedInstance().userId().value_or("");
            if (MVTAddFeelingController::sentToday(user)) {
                AlertView::make(localized("提示"), localized("一天之内只可以发送一次心情哦"), weak, "好的")->show();
            } else {
                auto mood = std::make_shared<MVTAddFeelingController>();
                mood->init();
                newVC(mood);
            }
            break;
        }
        default: break;
    }
}

void MyTabBarController::imagePickerControllerDidFinishPickingMedia(ImagePickerController& picker,
                                                                    const PickedMediaInfo& info) {
    ImageRef image = info.mediaType == "public.image" ? info.originalImage : nullptr;
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    picker.dismissViewController(true, [weak, image] {
        auto self = weak.lock();
        if (!self || !image) return;
        self->view()->setUserInteractionEnabled(false);
        RunLoop::main().performAfter(0, [weak, image] {
            if (auto self = weak.lock()) {
                auto composer = std::make_shared<AddPicViewController>();
                composer->initWithImage(image, true);
                self->newVC(composer);
            }
        });
    });
}

void MyTabBarController::imagePickerControllerDidCancel(ImagePickerController& picker) {
    picker.dismissViewController(true);
}

void MyTabBarController::assetsPickerControllerDidFinishPickingAssets(AssetsPickerController&,
                                                                      const std::vector<PickedAsset>& assets) {
    if (assets.empty()) return;
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    RunLoop::main().performAfter(0.1, [weak, assets] {
        if (auto self = weak.lock()) self->toCreatAddPicWith(assets);
    });
}

void MyTabBarController::toCreatAddPicWith(const std::vector<PickedAsset>& assets) {
    // The assets go as they are: the composer reads their pictures off the main thread.
    auto composer = std::make_shared<AddPicViewController>();
    composer->initWithMutableImages(assets);
    presentViewController(myNavigationController::withRoot(composer), true);
}

void MyTabBarController::newVC(const std::shared_ptr<ViewController>& screen) {
    presentViewController(myNavigationController::withRoot(screen), true);
    view()->setUserInteractionEnabled(true);
}
