// Picture operations of MVTPublicMethod: re-encoding and scaling before upload, redrawing
// and tinting, cover pictures, uncached resources, and clearing the download cache.

#include "core/MVTPublicMethod.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

#include <cairo.h>

#include <algorithm>
#include <mutex>

namespace fs = std::filesystem;

namespace {

std::mutex lookupMutex;
std::function<std::string(const std::string&)>& textLookup() {
    static std::function<std::string(const std::string&)> lookup;
    return lookup;
}

}  // namespace

void MVTPublicMethod::setTextLookup(std::function<std::string(const std::string&)> lookup) {
    std::lock_guard lock(lookupMutex);
    textLookup() = std::move(lookup);
}

std::string MVTPublicMethod::localizedText(const std::string& chineseKey) {
    std::function<std::string(const std::string&)> lookup;
    {
        std::lock_guard lock(lookupMutex);
        lookup = textLookup();
    }
    return lookup ? lookup(chineseKey) : chineseKey;
}

std::optional<double> MVTPublicMethod::jpegQualityForLength(std::size_t length) {
    if (length > kUploadStep4) return 0.01;
    if (length > kUploadStep3) return 0.1;
    if (length > kUploadStep2) return 0.25;
    if (length > kUploadStep1) return 0.5;
    return std::nullopt;
}

std::string MVTPublicMethod::imageData(const std::shared_ptr<platform::Image>& image) {
    if (!image) return {};
    std::string full = image->jpegData(1.0);
    if (auto quality = jpegQualityForLength(full.size())) return image->jpegData(*quality);
    return full;
}

std::optional<double> MVTPublicMethod::scaleFactorForLength(std::size_t length) {
    if (length <= kScaleLimit) return std::nullopt;
    return static_cast<double>(kScaleLimit) / static_cast<double>(length);
}

std::shared_ptr<platform::Image> MVTPublicMethod::ScaleImage(const std::shared_ptr<platform::Image>& image) {
    if (!image) return nullptr;
    auto factor = scaleFactorForLength(image->jpegData(1.0).size());
    if (!factor) return image;
    platform::Size size = image->size();
    return scale(image, {size.width * *factor, size.height * *factor});
}

std::shared_ptr<platform::Image> MVTPublicMethod::scale(const std::shared_ptr<platform::Image>& image,
                                                        platform::Size size) {
    if (!image) return nullptr;
    return image->redrawnToSize(size, 1);
}

std::shared_ptr<platform::Image> MVTPublicMethod::imageWithTintColor(const std::shared_ptr<platform::Image>& image,
                                                                     const platform::Color& tintColor,
                                                                     platform::Size imageSize) {
    platform::ImageGraphicsContext context(imageSize, platform::Screen::mainScreen().scale(), false);
    platform::Rect bounds{0, 0, imageSize.width, imageSize.height};
    context.fillRect(bounds, tintColor);
    if (image) {
        // Keep the colour only where the picture covers it, by the picture's opacity.
        cairo_set_operator(context.cairo(), CAIRO_OPERATOR_DEST_IN);
        context.drawImage(*image, bounds);
        cairo_set_operator(context.cairo(), CAIRO_OPERATOR_OVER);
    }
    return context.image();
}

std::shared_ptr<platform::ImageView> MVTPublicMethod::imageViewWithColor(const platform::Color& color) {
    return std::make_shared<platform::ImageView>(platform::Image::imageWithColor(color, {1, 1}));
}

bool MVTPublicMethod::saveBackGroudImage(const std::shared_ptr<platform::Image>& image, const std::string& fileName) {
    if (!image) return false;
    std::string data = image->pngData();
    if (data.empty()) data = image->jpegData(1.0);
    if (data.empty()) return false;

    fs::path folder = platform::Paths::documentsDirectory() / "settingImage";
    std::error_code ec;
    fs::create_directories(folder, ec);
    // The name becomes one file inside the folder, whatever it holds.
    std::string file = fileName + ".png";
    std::replace_if(file.begin(), file.end(), [](char c) { return c == '/' || c == '\0'; }, '_');
    // The new data replaces the old file in one rename, so a failed write keeps the old picture.
    return platform::writeFileAtomically(folder / file, data);
}

std::shared_ptr<platform::Image> MVTPublicMethod::newImageNotCached(const std::string& name) {
    fs::path path = platform::Paths::resourcePath(name + ".png");
    if (path.empty()) return nullptr;
    return platform::Image::imageWithContentsOfFile(path);
}

std::shared_ptr<platform::AlertView> MVTPublicMethod::cleanCache() {
    CleanCacheResult result = cleanCacheFiles();
    if (!result.hadFolder) return nullptr;
    std::string message = result.succeeded ? localizedText(result.message) : result.message;
    auto alert = platform::AlertView::make(localizedText("提示"), message, {}, localizedText("确定"));
    alert->show();
    return alert;
}
