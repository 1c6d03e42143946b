#include "platform/ui/ImagePickerController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace platform {

namespace {
struct Feeds {
    std::mutex mutex;
    std::map<ImagePickerSourceType, std::vector<std::filesystem::path>> files;
    std::map<ImagePickerSourceType, bool> fed;
};
Feeds& feeds() {
    static Feeds f;
    return f;
}
}  // namespace

ImagePickerController::ImagePickerController() = default;

bool ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType type) {
    auto& f = feeds();
    std::lock_guard guard(f.mutex);
    if (!f.fed[type]) return type != ImagePickerSourceType::Camera;
    return !f.files[type].empty();
}

void ImagePickerController::setSourceFiles(ImagePickerSourceType type, std::vector<std::filesystem::path> files) {
    auto& f = feeds();
    std::lock_guard guard(f.mutex);
    f.fed[type] = true;
    f.files[type] = std::move(files);
}

std::vector<std::filesystem::path> ImagePickerController::sourceFiles(ImagePickerSourceType type) {
    auto& f = feeds();
    std::lock_guard guard(f.mutex);
    return f.files[type];
}

void ImagePickerController::resetSources() {
    auto& f = feeds();
    std::lock_guard guard(f.mutex);
    f.files.clear();
    f.fed.clear();
}

bool ImagePickerController::pickFileAtIndex(size_t index) {
    auto files = sourceFiles(sourceType_);
    if (index >= files.size()) return false;
    return pickFile(files[index]);
}

bool ImagePickerController::pickFile(const std::filesystem::path& file) {
    auto image = Image::imageWithContentsOfFile(file);
    if (!image) return false;
    auto self = shared_from_this();
    PickedMediaInfo info;
    info.originalImage = image;
    info.fileUrl = file;
    if (allowsEditing_) {
        // The kept part: the largest centred square, as the editing frame starts.
        Size s = image->size();
        double side = std::min(s.width, s.height);
        info.editedImage = side > 0 && s.width != s.height ? image->redrawnToSize({side, side}, image->scale()) : image;
    }
    if (auto d = delegate()) d->imagePickerControllerDidFinishPickingMedia(*this, info);
    return true;
}

void ImagePickerController::cancel() {
    auto self = shared_from_this();
    if (auto d = delegate()) d->imagePickerControllerDidCancel(*this);
    else dismissViewController(true);
}

void ImagePickerController::loadView() {
    auto v = std::make_shared<View>(Window::controllerFrame());
    v->setBackgroundColor(Color::black());
    setView(v);
    double y = 64;
    auto files = sourceFiles(sourceType_);
    for (size_t i = 0; i < files.size(); ++i) {
        auto b = Button::buttonWithType(ButtonType::System);
        b->setTitle(files[i].filename().string());
        b->setTitleColor(Color::whiteColor());
        b->setFrame({10, y, v->bounds().width() - 20, 44});
        b->setTag(static_cast<int>(i) + 1);
        b->addTarget(ControlEventTouchUpInside, [this, i](Control&) { pickFileAtIndex(i); });
        v->addSubview(b);
        y += 44;
    }
    auto cancelButton = Button::buttonWithType(ButtonType::System);
    cancelButton->setTitle("Cancel");
    cancelButton->setTitleColor(Color::whiteColor());
    cancelButton->setFrame({v->bounds().width() - 80, 20, 80, 44});
    cancelButton->addTarget(ControlEventTouchUpInside, [this](Control&) { cancel(); });
    v->addSubview(cancelButton);
}

}  // namespace platform
