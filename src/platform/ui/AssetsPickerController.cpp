#include "platform/ui/AssetsPickerController.h"

#include "platform/VideoStill.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace platform {

ImageRef PickedAsset::fullResolutionImage() const { return Image::imageWithContentsOfFile(file); }

ImageRef PickedAsset::fullScreenImage() const {
    auto image = fullResolutionImage();
    if (!image) return nullptr;
    const Screen& screen = Screen::mainScreen();
    const double maxWidth = screen.bounds().width() * screen.scale();
    const double maxHeight = screen.bounds().height() * screen.scale();
    const double fit = std::min(maxWidth / image->pixelWidth(), maxHeight / image->pixelHeight());
    if (fit >= 1) return image;
    return image->redrawnToSize({std::round(image->pixelWidth() * fit), std::round(image->pixelHeight() * fit)}, 1);
}

bool PickedAsset::isVideo() const {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension == ".mov" || extension == ".mp4" || extension == ".m4v" || extension == ".3gp";
}

std::string PickedAsset::filename() const { return file.filename().string(); }

long long PickedAsset::size() const {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    return error ? -1 : static_cast<long long>(bytes);
}

ImageRef PickedAsset::thumbnail(double side) const {
    if (isVideo()) return videoThumbnail(side);
    auto image = fullResolutionImage();
    return image ? image->redrawnToSize({side, side}, image->scale()) : nullptr;
}

ImageRef PickedAsset::videoThumbnail(double side) const {
    const double scale = Screen::mainScreen().scale();
    VideoStill still;
    if (!firstVideoStill(file, static_cast<int>(std::ceil(side * scale)), still)) return nullptr;
    cairo_surface_t* picture =
        cairo_image_surface_create_for_data(still.pixels.data(), CAIRO_FORMAT_ARGB32, still.width, still.height, still.width * 4);
    const int pixels = static_cast<int>(std::ceil(side * scale));
    cairo_surface_t* square = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels);
    cairo_t* cr = cairo_create(square);
    // The picture in the middle of a black square.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_source_surface(cr, picture, (pixels - still.width) / 2.0, (pixels - still.height) / 2.0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(picture);
    auto image = Image::fromSurface(square, scale);
    cairo_surface_destroy(square);
    return image;
}

const std::vector<std::filesystem::path>& AssetsPickerController::offered() {
    if (!loaded_) {
        loaded_ = true;
        // Photos only (a video or a file that does not decode is not offered), or videos only.
        for (auto& file : ImagePickerController::sourceFiles(ImagePickerSourceType::PhotoLibrary)) {
            const bool video = PickedAsset{file}.isVideo();
            if (filter_ == AssetsFilter::Videos ? video : !video && Image::imageWithContentsOfFile(file))
                offered_.push_back(file);
        }
    }
    return offered_;
}

bool AssetsPickerController::toggleAssetAtIndex(size_t index) {
    if (index >= offered().size()) return false;
    auto at = std::find(selected_.begin(), selected_.end(), index);
    if (at != selected_.end()) {
        selected_.erase(at);
    } else {
        if (selected_.size() >= maximum_) return false;
        selected_.push_back(index);
    }
    refreshButtons();
    return true;
}

void AssetsPickerController::finish() {
    auto self = shared_from_this();
    std::vector<PickedAsset> assets;
    for (size_t index : selected_) assets.push_back({offered()[index]});
    if (auto d = delegate_.lock()) d->assetsPickerControllerDidFinishPickingAssets(*this, assets);
    dismissViewController(closesAnimated_);
}

void AssetsPickerController::cancel() {
    auto self = shared_from_this();
    if (auto d = delegate_.lock()) d->assetsPickerControllerDidCancel(*this);
    dismissViewController(true);
}

void AssetsPickerController::loadView() {
    auto v = std::make_shared<View>(Window::controllerFrame());
    v->setBackgroundColor(Color::whiteColor());
    setView(v);
    const double width = v->bounds().width();
    const double side = (width - 5 * 4) / 4;
    const auto& files = offered();
    for (size_t i = 0; i < files.size(); ++i) {
        auto b = Button::buttonWithType(ButtonType::Custom);
        b->setFrame({4 + double(i % 4) * (side + 4), 68 + double(i / 4) * (side + 4), side, side});
        b->setImage(PickedAsset{files[i]}.thumbnail(side));
        b->setTag(static_cast<int>(i) + 1);
        b->addTarget(ControlEventTouchUpInside, [this, i](Control&) { toggleAssetAtIndex(i); });
        v->addSubview(b);
    }
    auto cancelButton = Button::buttonWithType(ButtonType::System);
    cancelButton->setTitle("取消");
    cancelButton->setFrame({0, 20, 80, 44});
    cancelButton->addTarget(ControlEventTouchUpInside, [this](Control&) { cancel(); });
    v->addSubview(cancelButton);
    auto done = Button::buttonWithType(ButtonType::System);
    done->setTitle("完成");
    done->setFrame({width - 80, 20, 80, 44});
    done->addTarget(ControlEventTouchUpInside, [this](Control&) { finish(); });
    v->addSubview(done);
    refreshButtons();
}

void AssetsPickerController::refreshButtons() {
    if (!isViewLoaded()) return;
    for (size_t i = 0; i < offered_.size(); ++i) {
        if (auto b = std::dynamic_pointer_cast<Button>(view()->viewWithTag(static_cast<int>(i) + 1))) {
            const bool chosen = std::find(selected_.begin(), selected_.end(), i) != selected_.end();
            b->setSelected(chosen);
            b->setAlpha(chosen ? 0.6 : 1);
        }
    }
}

}  // namespace platform
