#include "albums/AlbumCommon.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "core/ServiceId.h"
#include "shell/MVTAppDelegate.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

using namespace platform;

namespace albums {

namespace {
// Pictures larger than this are refused: a full picture of the service stays well below.
constexpr std::size_t kAlbumLargestPicture = 16u * 1024 * 1024;
constexpr double kAlbumPictureTimeout = 30;

std::string documentsFile(const std::string& name) { return (Paths::documentsDirectory() / name).string(); }
}  // namespace

std::string text(const Json& record, const std::string& key) { return textOf(valueFor(record, key)); }

bool isMissing(const Json& record, const std::string& key) {
    const std::string value = text(record, key);
    return value.empty() || value == "<null>" || value == "(null)";
}

std::string pictureIdOf(const Json& record) {
    if (!isMissing(record, "resourceId")) return text(record, "resourceId");
    if (!isMissing(record, "rId")) return text(record, "rId");
    return "";
}

std::string thumbnailFile(const std::string& resourceId) {
    return isPlainServiceId(resourceId) ? documentsFile("album" + resourceId) : std::string();
}

std::string fullPictureFile(const std::string& moduleId) {
    return isPlainServiceId(moduleId) ? documentsFile(moduleId) : std::string();
}

std::shared_ptr<Image> cachedPicture(const std::string& file) {
    if (file.empty() || !fileExists(file)) return nullptr;
    auto bytes = readFile(file, kAlbumLargestPicture);
    return bytes ? Image::imageWithData(*bytes) : nullptr;
}

std::string thumbnailPath(const std::string& resourceId, const std::string& size) {
    const std::string token = MVTAppDelegate::sharedAppDelegate()->getTokenWith(resourceId);
    return "resource/view/img_thumb/" + resourceId + "?size=" + size + "&token=" + token;
}

std::string downloadPath(const std::string& moduleId) {
    const std::string token = MVTAppDelegate::sharedAppDelegate()->getTokenWith(moduleId);
    return "resource/" + moduleId + "/download?token=" + token;
}

void fetchPicture(const std::string& path, const std::string& cacheFile,
                  std::function<void(std::shared_ptr<Image>)> done) {
    const std::string url = ServiceAddress::baseUrl() + path;
    dispatchBackground([url, cacheFile, done = std::move(done)] {
        UrlRequest request(url);
        request.setTimeoutInterval(kAlbumPictureTimeout);
        HttpResponse response = HttpEngine::shared().fetch(request, kAlbumLargestPicture);
        std::shared_ptr<Image> image;
        if (response.ok() && Image::isPicture(response.body)) image = Image::imageWithData(response.body);
        if (image && !cacheFile.empty() && !fileExists(cacheFile)) writeFileAtomically(cacheFile, response.body);
        dispatchMain([done, image] { done(image); });
    });
}

void showThumbnail(const std::shared_ptr<ImageView>& view, const std::string& resourceId) {
    view->setAccessibilityHint(resourceId);
    if (resourceId.empty()) return;
    const std::string file = thumbnailFile(resourceId);
    if (auto cached = cachedPicture(file)) {
        view->setImage(cached);
        return;
    }
    // An id that names no file is still shown, only never cached.
    std::weak_ptr<ImageView> weak = view;
    fetchPicture(thumbnailPath(resourceId, "m"), file, [weak, resourceId](std::shared_ptr<Image> image) {
        auto target = weak.lock();
        if (image && target && target->accessibilityHint() == resourceId) target->setImage(image);
    });
}

std::shared_ptr<platform::Button> setAddBarButton(platform::NavigationItem& item, std::function<void()> action) {
    using namespace platform;
    auto container = std::make_shared<View>(Rect(0, 0, 44, 44));
    container->setBackgroundColor(Color::clear());
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({8, 0, 44, 44});
    button->setBackgroundColor(Color::clear());
    button->setImage(Image::imageNamed("add_nor_org"));
    button->setImageEdgeInsets({10, 10, 10, 10});
    button->addTarget(ControlEventTouchUpInside, [action = std::move(action)](Control&) { action(); });
    container->addSubview(button);
    item.setRightBarButtonItem(BarButtonItem::withCustomView(container));
    return button;
}

}  // namespace albums
