// Shared view helpers of MVTPublicMethod: avatars with their week-long file cache, the
// waiting animation, the toast banner and the standard navigation bar buttons.

#include "core/MVTPublicMethod.h"

#include "core/ServiceAddress.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "platform/Values.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <atomic>

using platform::Rect;

namespace {

std::atomic<double> avatarTimeoutSeconds{MVTPublicMethod::kDefaultAvatarTimeout};

// Avatars are small; a reply or cache file beyond this is not one.
constexpr std::size_t kAvatarByteLimit = 8u * 1024 * 1024;

constexpr int kWaitPictureTag = 1;

// A button shows the avatar as its picture for the normal state, an image view as its picture.
void showFace(const std::shared_ptr<platform::View>& view, const platform::ImageRef& image) {
    if (auto button = std::dynamic_pointer_cast<platform::Button>(view)) {
        button->setImage(image, platform::ControlStateNormal);
    } else if (auto imageView = std::dynamic_pointer_cast<platform::ImageView>(view)) {
        imageView->setImage(image);
    }
}

// Fetches and caches the avatar of `userId`; the view, held weakly, gets it on the main thread.
void downloadFace(const std::weak_ptr<platform::View>& view, const std::string& userId) {
    if (userId.empty()) return;
    platform::UrlRequest request(ServiceAddress::baseUrl() + "account/" + userId + "/avatar?default=false");
    request.setTimeoutInterval(MVTPublicMethod::avatarTimeout());
    platform::HttpResponse response = platform::HttpEngine::shared().fetch(request, kAvatarByteLimit);
    if (!response.ok()) return;
    auto image = platform::Image::imageWithData(response.body);
    if (!image) return;

    // The rename replaces the old file in one step: a failed write keeps the old avatar.
    std::string data = image->jpegData(1.0);
    if (!data.empty()) platform::writeFileAtomically(MVTPublicMethod::getPathByFileName(userId, "png"), data);

    platform::dispatchMain([view, image] {
        if (auto alive = view.lock()) showFace(alive, image);
    });
}

}  // namespace

double MVTPublicMethod::avatarTimeout() { return avatarTimeoutSeconds.load(); }

void MVTPublicMethod::setAvatarTimeout(double seconds) { avatarTimeoutSeconds.store(seconds); }

std::string MVTPublicMethod::defaultFaceImageName(const std::string& role) {
    if (role == "teacher" || role == "system" || role == "admin") return "default_teacher";
    if (role == "parent") return "default_parent";
    if (role == "group") return "avatar-group";
    return "default_student";
}

void MVTPublicMethod::setFaceImage(const std::shared_ptr<platform::View>& view, const std::string& path,
                                   const std::string& role) {
    if (!view) return;
    if (fileExistsAtPath(path) && isNewmodify(path)) {
        auto data = platform::readFile(path, kAvatarByteLimit);
        // An empty or unreadable file counts as missing.
        if (data && !data->empty()) {
            if (auto image = platform::Image::imageWithData(*data)) {
                showFace(view, image);
                return;
            }
        }
    }

    view->setClipsToBounds(true);
    view->setCornerRadius(view->frame().width() / 2);
    showFace(view, platform::Image::imageNamed(defaultFaceImageName(role)));

    std::weak_ptr<platform::View> weakView = view;
    std::string userId = view->accessibilityHint();
    platform::dispatchBackground([weakView, userId] { downloadFace(weakView, userId); });
}

void MVTPublicMethod::getFaceImage(const std::weak_ptr<platform::View>& view) {
    std::string userId;
    if (auto alive = view.lock()) userId = alive->accessibilityHint();
    else return;
    downloadFace(view, userId);
}

void MVTPublicMethod::showWaitAnimation(const std::shared_ptr<platform::View>& view, bool text) {
    if (!view) return;
    double width = platform::Screen::mainScreen().bounds().width();
    double height = view->frame().height();

    auto container = std::make_shared<platform::View>(Rect{0, (height - 40) / 2, width, 40});
    container->setTag(kWaitAnimationTag);
    container->setBackgroundColor(platform::Color::clear());
    view->addSubview(container);

    auto picture = std::make_shared<platform::ImageView>(Rect{width / 2 - 60, 5, 30, 30});
    picture->setTag(kWaitPictureTag);
    picture->setImage(platform::Image::imageNamed("load_1"));
    std::vector<platform::ImageRef> frames;
    for (const char* name : {"load_2", "load_3", "load_4", "load_5", "load_6", "load_7", "load_8", "load_1"}) {
        if (auto frame = platform::Image::imageNamed(name)) frames.push_back(frame);
    }
    picture->setAnimationImages(std::move(frames));
    picture->setAnimationDuration(0.8);
    container->addSubview(picture);
    picture->startAnimating();

    if (text) {
        auto label = std::make_shared<platform::Label>(Rect{width / 2 - 20, 5, 80, 35});
        label->setText(localizedText("加载中"));
        label->setTextColor(platform::Color::rgb255(60, 60, 60));
        label->setBackgroundColor(platform::Color::clear());
        container->addSubview(label);
    } else {
        container->setFrame({0, 0, width, 40});
        if (view->accessibilityHint() == "homework") {
            picture->setFrame({width / 2 - 60, 10, 20, 20});
        } else {
            picture->setFrame({width / 2 - 60, 5, 20, 20});
        }
    }
}

bool MVTPublicMethod::isShowingAnimation(const std::shared_ptr<platform::View>& view) {
    return view && view->viewWithTag(kWaitAnimationTag) != nullptr;
}

void MVTPublicMethod::stopWaitAnimation(const std::shared_ptr<platform::View>& view) {
    if (!view) return;
    auto container = view->viewWithTag(kWaitAnimationTag);
    if (!container) return;
    if (auto picture = std::dynamic_pointer_cast<platform::ImageView>(container->viewWithTag(kWaitPictureTag))) {
        picture->stopAnimating();
    }
    container->removeFromSuperview();
}

void MVTPublicMethod::showMessage(const std::string& text, const std::shared_ptr<platform::View>& view) {
    if (!view) return;
    double width = platform::Screen::mainScreen().bounds().width();
    const Rect above{5, -30, width - 10, 26};
    const Rect shown{5, 5, width - 10, 26};

    auto label = std::make_shared<platform::Label>(above);
    label->setBackgroundColor(platform::Color::rgb255(58, 145, 32));
    label->setTextColor(platform::Color::whiteColor());
    label->setFont(platform::Font::boldSystemFontOfSize(14));
    label->setTextAlignment(platform::TextAlignment::Center);
    label->setText(text);
    label->setCornerRadius(4);
    label->setClipsToBounds(true);
    label->setAlpha(0);
    view->addSubview(label);

    platform::animate(
        1.0,
        [label, shown] {
            label->setFrame(shown);
            label->setAlpha(1);
        },
        [label, above](bool finished) {
            // Cut short: the banner stays where it is.
            if (!finished) return;
            platform::animate(
                1.0,
                [label, above] {
                    label->setFrame(above);
                    label->setAlpha(0);
                },
                [label](bool) { label->removeFromSuperview(); });
        });
}

std::shared_ptr<platform::Button> MVTPublicMethod::navigationleftBarButton() {
    auto button = platform::Button::buttonWithType(platform::ButtonType::Custom);
    button->setFrame({0, 0, 40, 40});
    button->setBackgroundColor(platform::Color::clear());
    button->setImage(platform::Image::imageNamed("backbt"), platform::ControlStateNormal);
    button->setImage(platform::Image::imageNamed("backbt-press"), platform::ControlStateHighlighted);
    // The arrow sits at the left edge.
    button->setImageEdgeInsets({0, -10, 0, 20});
    // The arrow shows no text: the label lets the automation (and a screen reader) find it.
    button->setAccessibilityLabel("返回");
    return button;
}

std::shared_ptr<platform::Button> MVTPublicMethod::navigationrightBarButtonWithImage(const std::string& imageName) {
    auto button = platform::Button::buttonWithType(platform::ButtonType::Custom);
    button->setFrame({0, 0, 22, 22});
    button->setBackgroundColor(platform::Color::clear());
    auto image = platform::Image::imageNamed(imageName);
    button->setImage(image, platform::ControlStateNormal);
    button->setImage(image, platform::ControlStateHighlighted);
    return button;
}

std::shared_ptr<platform::Button> MVTPublicMethod::navigationrightBarButton(const std::string& title) {
    const platform::Font font = platform::Font::boldSystemFontOfSize(14);
    double screenWidth = platform::Screen::mainScreen().bounds().width();
    double labelWidth = std::min(platform::TextMeasure::sizeWithFont(title, font).width, screenWidth);
    if (platform::toUtf16(title).size() >= 60) labelWidth = 60;

    auto label = std::make_shared<platform::Label>(Rect{5, 2.5, labelWidth, 20});
    label->setText(title);
    label->setTextColor(platform::Color::whiteColor());
    label->setFont(font);
    label->setTextAlignment(platform::TextAlignment::Center);
    label->setBackgroundColor(platform::Color::clear());

    auto button = platform::Button::buttonWithType(platform::ButtonType::Custom);
    button->setFrame({5, 0, labelWidth + 10, 25});
    button->setClipsToBounds(true);
    button->setCornerRadius(6);
    button->setBackgroundImage(imageViewWithColor(platform::Color::clear())->image(), platform::ControlStateNormal);
    button->setBackgroundImage(imageViewWithColor(platform::Color::rgba(0.243, 0.624, 0.829))->image(),
                               platform::ControlStateHighlighted);
    button->addSubview(label);
    return button;
}
