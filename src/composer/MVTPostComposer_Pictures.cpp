// The pictures of a post: the strip of cells with its add button, the camera and album
// pickers, the picture files made on the background queue, and the preview.
#include "composer/MVTPostComposerViewController.h"
#include "composer/ComposerScreen.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/myimagePickerViewController.h"

#include "platform/BackgroundQueue.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace platform;

namespace {

// Seconds from 1970 to 2001, the epoch of the picture stamps.
constexpr double kSince1970To2001 = 978307200;


std::string stampOf(double seconds) {
    char text[40];
    std::snprintf(text, sizeof text, "%.0f", seconds);
    return text;
}

std::string documents() { return Paths::documentsPath(); }

void removeQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

struct MadePicture {
    ImageRef display;
    bool written = false;
};

// The camera picture's file: redrawn to at most twice the screen width, shrunk for
// display when its JPEG is large, written with the quality stepped down for large ones.
// The full-quality encoding is made once and serves both decisions.
MadePicture makeCameraFile(const ImageRef& picture, const std::string& path, double screenPoints) {
    MadePicture made;
    if (!picture) return made;
    const double limit = 2 * screenPoints;
    const Size size = picture->size();
    const ImageRef stored =
        size.width > limit ? MVTPublicMethod::scale(picture, {limit, std::round(size.height * limit / size.width)})
                           : picture;
    const std::string full = stored->jpegData(1.0);
    if (auto factor = MVTPublicMethod::scaleFactorForLength(full.size()))
        made.display = MVTPublicMethod::scale(stored, {stored->size().width * *factor, stored->size().height * *factor});
    else
        made.display = stored;
    const auto quality = MVTPublicMethod::jpegQualityForLength(full.size());
    const std::string data = quality ? stored->jpegData(*quality) : full;
    made.written = fileExists(path) || writeFileAtomically(path, data);
    return made;
}

// An album picture's file from the library's full-screen rendition.
MadePicture makeAlbumFile(const PickedAsset& asset, const std::string& path) {
    MadePicture made;
    const ImageRef full = asset.fullScreenImage();
    if (!full) return made;
    made.display = asset.thumbnail();
    made.written = fileExists(path) || writeFileAtomically(path, MVTPublicMethod::imageData(full));
    return made;
}

}  // namespace

void MVTPostComposerViewController::deliverPicture(const std::weak_ptr<MVTPostComposerViewController>& weak,
                                                   const std::string& path, const ImageRef& display, bool written) {
    dispatchMain([weak, path, display, written] {
        if (auto self = weak.lock())
            self->pictureMade(path, display, written);
        else if (written)
            removeQuietly(path);
    });
}

// ---- Free file names ----------------------------------------------------------------------

bool MVTPostComposerViewController::pathTaken(const std::string& path) const {
    return fileExists(path) || std::find(picPathArr->begin(), picPathArr->end(), path) != picPathArr->end() ||
           loadingPaths_.count(path) > 0;
}

std::string MVTPostComposerViewController::cameraPicturePath(double now) const {
    for (double stamp = std::round(now - kSince1970To2001);; stamp += 1) {
        const std::string path = documents() + "/dyna" + stampOf(stamp);
        if (!pathTaken(path)) return path;
    }
}

std::vector<std::string> MVTPostComposerViewController::albumPicturePaths(double now, int count) const {
    for (double stamp = std::round(now - kSince1970To2001);; stamp += 1) {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i)
            paths.push_back(documents() + "/dyna" + stampOf(stamp) + "_" + std::to_string(picNum + i + 1));
        if (std::none_of(paths.begin(), paths.end(), [this](const std::string& p) { return pathTaken(p); }))
            return paths;
    }
}

// ---- The strip ----------------------------------------------------------------------------

void MVTPostComposerViewController::picView() {
    if (allPicView) return;
    const double W = composer_screen::width();
    pwh = static_cast<float>((W - 45) / 4);
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    addButton_ = Button::buttonWithType(ButtonType::Custom);
    addButton_->setBackgroundImage(Image::imageNamed("addPic.png"));
    addButton_->setTag(kAddButtonTag);
    addButton_->setAccessibilityLabel(localized("添加图片"));
    addButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->addnewPic();
    });
    if (kind() == Kind::Feed) {
        allPicView = std::make_shared<View>(Rect(5, 0, W - 10, pwh + 10));
        allPicView->setBackgroundColor(Color::clear());
        addButton_->setFrame({10, pwh / 4 - 5, pwh / 2, pwh / 2});
        addPiclb = std::make_shared<Label>(Rect(11, pwh / 2 + 15, pwh / 2, 10));
        addPiclb->setText(localized("添加图片"));
        addPiclb->setFont(Font::systemFontOfSize(8));
        addPiclb->setTextColor(Color::rgba(0.6, 0.6, 0.6));
        addPiclb->setTextAlignment(TextAlignment::Center);
        addPiclb->setBackgroundColor(Color::clear());
        allPicView->addSubview(addButton_);
        allPicView->addSubview(addPiclb);
    } else {
        allPicView = std::make_shared<View>(Rect(10, 0, W - 20, pwh + 10));
        allPicView->setBackgroundColor(Color::rgba(0.961, 0.961, 0.961));
        addButton_->setFrame({5, 5, pwh, pwh});
        allPicView->addSubview(addButton_);
    }
}

std::shared_ptr<ImageView> MVTPostComposerViewController::makeCell(int slot) {
    auto cell = std::make_shared<ImageView>(
        Rect((pwh + 5) * (slot % 4) + 5, (pwh + 5) * (slot / 4) + 5, pwh, pwh));
    cell->setTag(slot);
    cell->setClipsToBounds(true);
    cell->setContentMode(ContentMode::ScaleAspectFill);
    cell->setUserInteractionEnabled(true);
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    cell->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer& tap) {
        if (auto self = weak.lock())
            if (tap.view()) self->showBigImage(tap.view()->tag());
    }));
    allPicView->addSubview(cell);
    return cell;
}

std::vector<std::shared_ptr<ImageView>> MVTPostComposerViewController::cells() const {
    std::vector<std::shared_ptr<ImageView>> list;
    if (!allPicView) return list;
    for (auto& sub : allPicView->subviews())
        if (auto cell = std::dynamic_pointer_cast<ImageView>(sub)) list.push_back(cell);
    return list;
}

void MVTPostComposerViewController::putImageViews() {
    if (!allPicView) return;
    const double W = composer_screen::width();
    const bool feed = kind() == Kind::Feed;
    const auto list = cells();
    auto slotOrigin = [this](int slot) {
        return Point{(pwh + 5) * (slot % 4) + 5.0, (pwh + 5) * (slot / 4) + 5.0};
    };
    if (!list.empty()) {
        for (size_t i = 0; i < list.size(); ++i) {
            const Point origin = slotOrigin(static_cast<int>(i));
            list[i]->setFrame({origin.x, origin.y, pwh, pwh});
        }
        int slots = static_cast<int>(list.size());
        if (imageArray.size() >= static_cast<size_t>(kMaxPictures)) {
            addButton_->setHidden(true);
            if (addPiclb) addPiclb->setHidden(true);
        } else {
            const Point origin = slotOrigin(slots);
            addButton_->setHidden(false);
            if (feed) {
                addButton_->setFrame({origin.x + pwh / 4, origin.y + pwh / 4 - 5, pwh / 2, pwh / 2});
                addPiclb->setHidden(false);
                addPiclb->setFrame({addButton_->frame().minX() + 1, addButton_->frame().minY() + pwh / 4 + 20, pwh / 2, 10});
            } else {
                addButton_->setFrame({origin.x, origin.y, pwh, pwh});
            }
            ++slots;
        }
        const Rect strip = allPicView->frame();
        allPicView->setFrame({strip.minX(), strip.minY(), feed ? W : W - 20, pwh + 10 + ((slots - 1) / 4) * (pwh + 5)});
    } else {
        addButton_->setHidden(false);
        if (feed) {
            addButton_->setFrame({10, pwh / 4 - 5, pwh / 2, pwh / 2});
            addPiclb->setHidden(false);
            addPiclb->setFrame({11, pwh / 2 + 15, pwh / 2, 10});
        } else {
            allPicView->setFrame({10, allPicView->frame().minY(), W - 20, pwh + 10});
            addButton_->setFrame({5, 5, pwh, pwh});
        }
    }
    initMyView();
}

// ---- Sources ------------------------------------------------------------------------------

void MVTPostComposerViewController::addnewPic() {
    auto sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取消"), "",
                                   {localized("拍 照"), localized("相 册")});
    sheet->setTag(kPictureSheetTag);
    sheet->showInView(view().get());
}

void MVTPostComposerViewController::takePhoto() {
    if (!ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)) {
        AlertView::make(localized("提示"), localized("设备没有照相功能"), {}, localized("确定"))->show();
        return;
    }
    auto picker = std::make_shared<myimagePickerViewController>();
    picker->setDelegate(weakAs<ImagePickerControllerDelegate>());
    picker->setSourceType(ImagePickerSourceType::Camera);
    picker->setAllowsEditing(true);
    presentViewController(picker, false);
}

void MVTPostComposerViewController::getPhotoLibrary() {
    auto picker = std::make_shared<AssetsPickerController>();
    picker->setMaximumNumberOfSelection(static_cast<size_t>(std::max(0, kMaxPictures - picNum)));
    picker->setDelegate(weakAs<AssetsPickerControllerDelegate>());
    presentViewController(picker, true);
}

void MVTPostComposerViewController::imagePickerControllerDidFinishPickingMedia(ImagePickerController& picker,
                                                                               const PickedMediaInfo& info) {
    if (info.mediaType != "public.image") return;
    const ImageRef image = info.originalImage;
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    picker.dismissViewController(true, [weak, image] {
        auto self = weak.lock();
        if (!self || !image) return;
        self->showHUDWithBool(true);
        RunLoop::main().performAfter(0.01, [weak, image] {
            if (auto self = weak.lock()) self->toAddCamImageWith(image);
        });
    });
}

void MVTPostComposerViewController::imagePickerControllerDidCancel(ImagePickerController& picker) {
    picker.dismissViewController(true);
}

void MVTPostComposerViewController::assetsPickerControllerDidFinishPickingAssets(AssetsPickerController&,
                                                                                 const std::vector<PickedAsset>& assets) {
    if (assets.empty()) return;
    addAlbumBatch(assets);
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
}

// ---- Adding pictures ----------------------------------------------------------------------

void MVTPostComposerViewController::putFirstImage(const ImageRef& image) {
    firstImageTimer_.reset();
    picView();
    toAddCamImageWith(image);
}

void MVTPostComposerViewController::toAddCamImageWith(const ImageRef& image) {
    if (!image) {
        showHUDWithBool(false);
        return;
    }
    imageArray.push_back(nullptr);
    picView();
    // The path is taken now, in slot order, so a later batch cannot come between.
    const std::string path = cameraPicturePath(platform::now());
    picPathArr->push_back(path);
    loadingPaths_.insert(path);
    makeCell(picNum);
    ++picNum;
    putImageViews();
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    showHUDWithBool(true);

    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    const double points = composer_screen::width();
    dispatchBackground([weak, image, path, points] {
        const MadePicture made = makeCameraFile(image, path, points);
        deliverPicture(weak, path, made.display, made.written);
    });
}

void MVTPostComposerViewController::putFirstImageArr(const std::vector<PickedAsset>& assets) {
    if (!assets.empty()) addAlbumBatch(assets);
}

void MVTPostComposerViewController::addAlbumBatch(const std::vector<PickedAsset>& assets) {
    showHUDWithBool(true);
    picView();
    const auto paths = albumPicturePaths(platform::now(), static_cast<int>(assets.size()));
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    for (size_t i = 0; i < assets.size(); ++i) {
        imageArray.push_back(nullptr);
        picPathArr->push_back(paths[i]);
        loadingPaths_.insert(paths[i]);
        makeCell(picNum);
        ++picNum;
        const PickedAsset asset = assets[i];
        const std::string path = paths[i];
        dispatchBackground([weak, asset, path] {
            const MadePicture made = makeAlbumFile(asset, path);
            deliverPicture(weak, path, made.display, made.written);
        });
    }
    putImageViews();
}

void MVTPostComposerViewController::pictureMade(const std::string& path, const ImageRef& display, bool written) {
    auto at = std::find(picPathArr->begin(), picPathArr->end(), path);
    if (at == picPathArr->end()) {
        // Deleted or discarded while its file was being made.
        if (written) removeQuietly(path);
        pictureDone(path);
        return;
    }
    const auto slot = static_cast<size_t>(at - picPathArr->begin());
    if (!written || !display) {
        // The picture could not be read or stored: it leaves the strip rather than be sent
        // as a file that is not there.
        removeQuietly(path);
        picPathArr->erase(at);
        if (slot < imageArray.size()) imageArray.erase(imageArray.begin() + static_cast<long>(slot));
        auto list = cells();
        if (slot < list.size()) list[slot]->removeFromSuperview();
        list = cells();
        for (size_t i = 0; i < list.size(); ++i) list[i]->setTag(static_cast<int>(i));
        picNum = static_cast<int>(list.size());
        pictureDone(path);
        putImageViews();
        return;
    }
    if (slot < imageArray.size()) imageArray[slot] = display;
    auto list = cells();
    if (slot < list.size()) list[slot]->setImage(display);
    pictureDone(path);
}

void MVTPostComposerViewController::pictureDone(const std::string& path) {
    loadingPaths_.erase(path);
    if (!loadingPaths_.empty()) return;
    showHUDWithBool(false);
    if (sendWaiting_ && !closed_) sendBtnClicked(nullptr);
}

// ---- Preview ------------------------------------------------------------------------------

void MVTPostComposerViewController::showBigImage(int tag) {
    auto preview = std::make_shared<ShowPicViewController>();
    preview->initWith(imageArray, picPathArr, tag);
    preview->setDelegate(std::dynamic_pointer_cast<showPicDelegate>(shared_from_this()));
    if (auto stack = navigationController())
        stack->presentViewController(preview, true);
    else
        presentViewController(preview, true);
}

void MVTPostComposerViewController::reloadViewWithImageArray(const std::vector<ImageRef>& images) {
    // Files of pictures deleted while still being made are not waited for.
    for (auto it = loadingPaths_.begin(); it != loadingPaths_.end();)
        it = std::find(picPathArr->begin(), picPathArr->end(), *it) == picPathArr->end() ? loadingPaths_.erase(it)
                                                                                         : std::next(it);
    if (static_cast<int>(images.size()) >= picNum) return;
    for (auto& cell : cells()) cell->removeFromSuperview();
    picNum = 0;
    imageArray = images;
    for (const auto& image : imageArray) {
        auto cell = makeCell(picNum);
        cell->setImage(MVTPublicMethod::ScaleImage(image));
        ++picNum;
    }
    putImageViews();
    if (loadingPaths_.empty()) showHUDWithBool(false);
}
