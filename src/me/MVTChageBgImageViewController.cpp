#include "me/MVTChageBgImageViewController.h"

#include "me/MVTTimeSpaceViewController.h"
#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "core/MVTPublicMethod.h"

#include "platform/Files.h"
#include "platform/HttpMultipartForm.h"
#include "platform/UrlEncoding.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"

#include <cmath>

using namespace platform;

MVTChageBgImageViewController::MVTChageBgImageViewController() = default;
MVTChageBgImageViewController::~MVTChageBgImageViewController() = default;

const std::vector<std::string>& MVTChageBgImageViewController::tileNames() {
    static const std::vector<std::string> names = {"一线天", "夕阳", "山明水静", "星空", "晶莹",
                                                   "岚溪",   "日月同辉", "秋意", "自定义"};
    return names;
}

void MVTChageBgImageViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    auto back = MVTPublicMethod::navigationleftBarButton();
    std::weak_ptr<MVTChageBgImageViewController> weak = weakAs<MVTChageBgImageViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->backButtonClick();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    setTitle(localized("更换背景"));
    const Rect screen = Screen::mainScreen().bounds();
    const double W = screen.width(), c = (W - 20) / 3;
    backGroundScrollView_ = std::make_shared<ScrollView>(Rect(0, 0, W, screen.height() - 60));
    backGroundScrollView_->setScrollEnabled(true);
    const auto& names = tileNames();
    const int last = int(names.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        auto tile = Button::buttonWithType(ButtonType::Custom);
        tile->setFrame({std::trunc(c * (i % 3)), std::trunc((i / 3) * (c + 10) + 20), 120, c});
        tile->setBackgroundColor(Color::clear());
        tile->setTag(i);
        tile->setAccessibilityValue(i < last ? std::to_string(i + 1) + ".jpg" : std::string("自定义"));
        tile->addTarget(ControlEventTouchUpInside, [weak, i](Control&) {
            if (auto self = weak.lock()) self->imageButtonClick(i);
        });
        auto thumb = std::make_shared<ImageView>(Rect(20, 0, c - 20, c - 20));
        thumb->setImage(Image::imageNamed(i < last ? std::to_string(i + 1) + ".jpg" : std::string("custom_bg")));
        tile->addSubview(thumb);
        auto label = std::make_shared<Label>(Rect(20, c - 20, c - 15, 25));
        label->setText(names[std::size_t(i)]);
        label->setFont(Font::systemFontOfSize(14));
        label->setTextColor(Color::white(60.0 / 255));
        label->setTextAlignment(TextAlignment::Center);
        label->setBackgroundColor(Color::clear());
        label->setNumberOfLines(0);
        tile->addSubview(label);
        backGroundScrollView_->addSubview(tile);
    }
    backGroundScrollView_->setContentSize({W, std::trunc((last / 3) * (c + 10) + 20) + c + 20});
    view()->addSubview(backGroundScrollView_);
}

std::shared_ptr<ViewController> MVTChageBgImageViewController::screenBelow() const {
    auto* navigation = navigationController();
    if (!navigation) return nullptr;
    const auto& stack = navigation->viewControllers();
    if (stack.size() < 2) return nullptr;
    return stack[stack.size() - 2];
}

void MVTChageBgImageViewController::imageButtonClick(int tag) {
    const int last = int(tileNames().size()) - 1;
    if (tag < 0 || tag > last) return;
    if (tag == last) {
        iconBtnClick();
        return;
    }
    auto space = std::dynamic_pointer_cast<MVTTimeSpaceViewController>(screenBelow());
    auto picture = Image::imageNamed(std::to_string(tag + 1) + ".jpg");
    if (!space || !picture) return;
    space->setImageData(picture->pngData());
    space->setIsScanBackGround(true);
    space->setImageId(coverIdOfTile(tag));
    navigationController()->popViewController(false);
}

void MVTChageBgImageViewController::cropImageViewControllerDidFinished(ImageRef image) {
    // A crop that gives no picture sends nothing.
    if (!image) return;
    changeHeadImage(image);
}

void MVTChageBgImageViewController::changeHeadImage(const ImageRef& image) {
    const std::string me = space::currentUserId();
    const std::string bytes = MVTPublicMethod::imageData(MVTPublicMethod::scale(image, image->size()));
    const std::string fileName = "来自" + percentEscape(MVTPublicMethod::currentDevicemodel()) + "的空间背景图.png";
    std::weak_ptr<MVTChageBgImageViewController> weak = weakAs<MVTChageBgImageViewController>();
    const bool sent = space::sendMultipart(
        "user/" + me + "/cover/upload",
        [&](HttpMultipartForm& form) { form.appendPart("image", fileName, "application/octet-stream", bytes); }, HUD_,
        view(),
        [weak, me, image](const std::string& body) {
            auto self = weak.lock();
            if (!self) return;
            UserDefaults::standard().setString(MVTTimeSpaceViewController::coverVersionKey(me), body);
            UserDefaults::standard().synchronize();
            writeFileAtomically(MVTTimeSpaceViewController::coverFile(me), image->jpegData(1.0));
            self->backButtonClick();
        },
        // A JSON answer with a false "success" is a refusal, never a cover version.
        [] { AlertView::make(localized("提示"), localized("更换空间背景失败,请重新更改"), {}, "确定")->show(); });
    if (sent) HUD_->setLabelText(localized("正在更换空间背景"));
}

void MVTChageBgImageViewController::backButtonClick() {
    auto below = screenBelow();
    if (!below) return;
    if (auto space = std::dynamic_pointer_cast<MVTTimeSpaceViewController>(below)) space->setIsScanBackGround(false);
    navigationController()->popViewController(true);
}
