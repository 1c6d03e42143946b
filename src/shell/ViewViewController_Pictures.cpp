// The base screen's full-screen picture viewer: an overlay on the key window with one
// zoomable page per picture, a page label, a full-size button per page, long press to save
// and short toasts. Pictures come from three caches in the download folder, the account's
// file server and the service, in that order.

#include "shell/ViewViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/UrlRequest.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/SavedPhotosAlbum.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/Window.h"

#include <cmath>
#include <cstdio>

using namespace platform;

namespace {

constexpr double kLaterStart = 0.2;  // pages behind the one in front start this much later
constexpr double kToastFade = 0.2;
constexpr double kToastHold = 1.0;

std::string cacheFile(const std::string& prefix, const std::string& name) {
    return MVTPublicMethod::getPathByFileName(prefix + name, "png");
}

bool isFresh(const std::string& path) { return MVTPublicMethod::fileExistsAtPath(path) && MVTPublicMethod::isNewmodify(path); }

std::string readAll(const std::string& path) { return readFile(path).value_or(std::string()); }

// The whole body of `url`, or nothing when the exchange failed (the default timeout).
std::string fetchBody(const std::string& url) {
    HttpResponse response = HttpEngine::shared().fetch(UrlRequest(url));
    return response.ok() ? response.body : std::string();
}

// Replaces the cache file with `bytes`.
void writeCache(const std::string& path, const std::string& bytes) {
    if (!writeFileAtomically(path, bytes)) log("picture cache not written: %s", path.c_str());
}

void removeSpinner(View& imageView) {
    for (const auto& subview : imageView.subviews()) {
        if (subview->tag() == ViewViewController::kSpinnerTag) {
            subview->removeFromSuperview();
            return;
        }
    }
}

void startSpinner(View& imageView) {
    auto spinner = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::White);
    spinner->setFrame({0, 0, 20, 20});
    spinner->setCenter({imageView.bounds().width() / 2, imageView.bounds().height() / 2});
    spinner->setTag(ViewViewController::kSpinnerTag);
    spinner->startAnimating();
    imageView.addSubview(spinner);
}

void showPicture(ImageView& imageView, const ImageRef& image) {
    imageView.setImage(image);
    imageView.setContentMode(ContentMode::ScaleAspectFit);
}

// Runs `task` with the image view on the main thread. The view moves into the task, so the
// last reference to it is never dropped on a background thread.
void onMain(std::shared_ptr<ImageView>& imageView, std::function<void(ImageView&)> task) {
    dispatchMain([view = std::move(imageView), task = std::move(task)] { task(*view); });
}

// The service fetch of a large picture (the local copy first), ready to run on any thread.
struct OriginalLoad {
    std::shared_ptr<ImageView> imageView;
    std::string localCopy;  // the file named by "resModuleId" in the documents folder
    std::string url;        // the service's large-picture address with its token
    std::string largeFile;  // the large-picture cache
};

void fetchOriginal(OriginalLoad load) {
    std::string data = MVTPublicMethod::fileExistsAtPath(load.localCopy) ? readAll(load.localCopy) : fetchBody(load.url);
    ImageRef image = data.empty() ? nullptr : Image::imageWithData(data);
    onMain(load.imageView, [image](ImageView& view) {
        if (image) showPicture(view, image);
        removeSpinner(view);
    });
    // Only a picture is cached: anything else would stand in for the picture for a week.
    if (image) writeCache(load.largeFile, data);
}

// The large-picture cache when it is still fresh, else the service fetch on a background
// thread.
void showCachedOriginal(OriginalLoad load) {
    std::string data = isFresh(load.largeFile) ? readAll(load.largeFile) : std::string();
    if (data.empty()) {
        dispatchBackground([load = std::move(load)]() mutable { fetchOriginal(std::move(load)); });
        return;
    }
    ImageRef image = Image::imageWithData(data);
    if (!image) {
        if (!isMainThread()) onMain(load.imageView, [](ImageView&) {});
        return;
    }
    if (isMainThread()) {
        load.imageView->setImage(image);
    } else {
        onMain(load.imageView, [image](ImageView& view) { view.setImage(image); });
    }
}

// A full-size fetch: shown and cached when it decodes, else the failure toast and the
// button again.
void fetchFullSize(std::shared_ptr<ImageView> imageView, std::shared_ptr<Button> button, std::string url,
                   std::string fullSizeFile, std::weak_ptr<ViewViewController> screen) {
    dispatchBackground([imageView = std::move(imageView), button = std::move(button), url = std::move(url),
                        fullSizeFile = std::move(fullSizeFile), screen = std::move(screen)]() mutable {
        std::string data = fetchBody(url);
        ImageRef image = data.empty() ? nullptr : Image::imageWithData(data);
        if (image) {
            dispatchMain([view = std::move(imageView), button = std::move(button), image] {
                showPicture(*view, image);
                removeSpinner(*view);
            });
            writeCache(fullSizeFile, data);
            return;
        }
        dispatchMain([view = std::move(imageView), button = std::move(button), screen] {
            if (auto self = screen.lock()) self->showYunTuDownloadFail();
            button->setHidden(false);
            removeSpinner(*view);
        });
    });
}

bool hasValue(const Json& entry, const std::string& key) { return entry.is_object() && entry.contains(key); }

// The thumbnail when it is cached and fresh (unchanged when it does not decode), else the
// placeholder; then the spinner.
void showThumbnailAndSpinner(ImageView& imageView, const Json& entry) {
    std::string thumbnail = cacheFile("account_", textOf(entry, "id"));
    if (isFresh(thumbnail)) {
        if (auto image = Image::imageWithData(readAll(thumbnail))) imageView.setImage(image);
    } else {
        imageView.setImage(Image::imageNamed("imageholder.png"));
    }
    startSpinner(imageView);
}

std::string vfsUrl() { return MVTAccount::sharedInstance().vfsUrl().value_or(""); }

std::string format(const char* pattern, int a, double b) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

}  // namespace

// ---- A. Opening

void ViewViewController::showImage(const Json& pictures, int index) {
    auto self = std::static_pointer_cast<ViewViewController>(shared_from_this());
    std::weak_ptr<ViewViewController> weak = self;
    const Rect screen = Screen::mainScreen().bounds();
    const double W = screen.width(), H = screen.height();

    view()->setUserInteractionEnabled(false);

    backView = std::make_shared<View>(Rect(0, 0, W, H));
    backView->setBackgroundColor(Color::black());
    auto closeTap = std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
        if (auto screen = weak.lock()) screen->closeImage();
    });
    closeTap->setEnabled(false);
    backView->addGestureRecognizer(closeTap);
    if (auto window = Window::keyWindowRef()) window->addSubview(backView);

    auto paging = std::make_shared<ScrollView>(Rect(0, 0, W, H));
    currentNum = index;
    showArray = pictures.is_array() ? pictures : Json::array();
    const int n = static_cast<int>(showArray.size());
    paging->setContentSize({n * W, H});
    paging->setTag(kPagingViewTag);
    paging->setPagingEnabled(true);
    paging->setShowsVerticalScrollIndicator(false);
    paging->setDecelerationRate(1.0);
    paging->setBounces(false);
    paging->setDelegate(self);
    backView->addSubview(paging);

    for (int i = 0; i < n; ++i) {
        const Json& entry = showArray[i];
        auto imageView = std::make_shared<ImageView>(Rect(0, 0, view()->frame().width(), H));
        imageView->setBackgroundColor(Color::clear());
        imageView->setContentMode(ContentMode::ScaleAspectFit);
        imageView->setAccessibilityValue(std::to_string(i));
        imageView->setTag(kPictureViewTag);
        imageView->setUserInteractionEnabled(true);
        auto press = std::make_shared<LongPressGestureRecognizer>([weak](GestureRecognizer& recognizer) {
            if (auto screen = weak.lock()) screen->handleLong(recognizer);
        });
        press->setMinimumPressDuration(0.3);
        imageView->addGestureRecognizer(press);

        // B. What the page shows first, and where its large picture comes from.
        long long id = integerValue(valueFor(entry, "id"));
        if (id >= 51 && id <= 59) {
            imageView->setImage(Image::imageNamed("feeling_" + std::to_string(id - 50)));
        } else if (!vfsUrl().empty() && !MVTPublicMethod::stringIsClassNull(valueFor(entry, "resPath")) &&
                   hasValue(entry, "resName")) {
            if (i == index) {
                toGetvfsUrlOrigImageWith(imageView);
            } else {
                RunLoop::main().performAfter(kLaterStart, [self, imageView] { self->toGetvfsUrlOrigImageWith(imageView); });
            }
        } else {
            toShowAllImageWith(imageView, entry, i);
        }

        auto zoom = std::make_shared<ScrollView>(Rect(i * W, 0, W, H));
        zoom->setTag(i + kZoomViewTagBase);
        zoom->setMinimumZoomScale(1.0);
        zoom->setMaximumZoomScale(3.0);
        zoom->setDelegate(self);
        zoom->addSubview(imageView);
        paging->addSubview(zoom);

        if (!hasValue(entry, "isCover")) {
            auto button = Button::buttonWithType(ButtonType::Custom);
            button->setFrame({i * W, H - 44, 44, 44});
            button->setBackgroundColor(Color::rgba(0, 0, 0, 0.4));
            button->setTitle("原图");
            button->setTitleColor(Color::whiteColor());
            button->titleLabel()->setFont(Font::systemFontOfSize(16));
            button->setTag(i + kFullSizeButtonBase);
            button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
                if (auto screen = weak.lock()) screen->toshowYuantu(static_cast<Button&>(control));
            });
            paging->addSubview(button);
        }
    }
    paging->setContentOffset({index * W, 0}, false);

    if (n > 1) {
        pageLabel = std::make_shared<Label>(Rect((W - 64) / 2, H - 34, 64, 24));
        pageLabel->setBackgroundColor(Color::rgba(0, 0, 0, 0.4));
        pageLabel->setFont(Font::fontWithName("Helvetica", 16));
        pageLabel->setTextColor(Color::whiteColor());
        pageLabel->setTextAlignment(TextAlignment::Center);
        pageLabel->setCornerRadius(4);
        pageLabel->setClipsToBounds(true);
        pageLabel->setText(std::to_string(index + 1) + " / " + std::to_string(n));
        backView->addSubview(pageLabel);
    } else {
        pageLabel.reset();
    }

    setStatusBarState(true);
    setAnimationsEnabled(true);
    auto overlay = backView;
    overlay->setTransform(AffineTransform::scale(0.2, 0.2));
    animate(
        0.4, [overlay] { overlay->setTransform(AffineTransform()); },
        [weak, closeTap](bool) {
            closeTap->setEnabled(true);
            auto screen = weak.lock();
            if (!screen) return;
            if (Screen::systemVersion() >= 7.0) {
                screen->setNeedsStatusBarAppearanceUpdate();
            } else {
                StatusBar::shared().setHidden(true);
            }
        });
}

// ---- C. The file-server route for the large picture

void ViewViewController::toGetvfsUrlOrigImageWith(const std::shared_ptr<ImageView>& imageView) {
    long long page = integerValue(imageView->accessibilityValue());
    if (page < 0 || page >= static_cast<long long>(showArray.size())) return;
    const Json& entry = showArray[page];
    std::string largeFile = cacheFile("og_", textOf(entry, "resModuleId"));
    if (isFresh(largeFile)) {
        std::string data = readAll(largeFile);
        if (!data.empty()) {
            if (auto image = Image::imageWithData(data)) imageView->setImage(image);
        }
        return;
    }
    showThumbnailAndSpinner(*imageView, entry);
    vfsUrlOrigImageWith(imageView);
}

void ViewViewController::vfsUrlOrigImageWith(const std::shared_ptr<ImageView>& imageView) {
    long long page = integerValue(imageView->accessibilityValue());
    if (page < 0 || page >= static_cast<long long>(showArray.size())) return;
    const Json& entry = showArray[page];
    std::string url = vfsUrl() + textOf(entry, "resPath") + "transpic/" + textOf(entry, "resName") + ".big" +
                      textOf(entry, "thumbSuffix");
    std::string largeFile = cacheFile("og_", textOf(entry, "resModuleId"));
    // The service fetch to fall back on is prepared here, on the main thread.
    std::string resModuleId = textOf(entry, "resModuleId"), resourceId = textOf(entry, "id");
    OriginalLoad fallback{imageView, Paths::documentsPath() + "/" + resModuleId,
                          ServiceAddress::baseUrl() + "resource/view/img_thumb/" + resourceId +
                              "?size=big&token=" + MVTAppDelegate::sharedAppDelegate()->getTokenWith(resourceId),
                          largeFile};
    auto view = imageView;
    dispatchBackground([view, url, largeFile, fallback = std::move(fallback)]() mutable {
        std::string data = fetchBody(url);
        ImageRef image = data.empty() ? nullptr : Image::imageWithData(data);
        if (!image) {
            view.reset();
            fetchOriginal(std::move(fallback));
            return;
        }
        fallback.imageView.reset();
        onMain(view, [image](ImageView& shown) {
            showPicture(shown, image);
            removeSpinner(shown);
        });
        writeCache(largeFile, data);
    });
}

// ---- D and E. The service route

void ViewViewController::toShowAllImageWith(const std::shared_ptr<ImageView>& imageView, const Json& entry, int page) {
    std::string resModuleId = textOf(entry, "resModuleId"), resourceId = textOf(entry, "id");
    if (isFresh(cacheFile("og_", resModuleId))) {
        if (page == currentNum) {
            toShowOriginalImage(imageView, resModuleId, resourceId);
        } else {
            auto self = std::static_pointer_cast<ViewViewController>(shared_from_this());
            RunLoop::main().performAfter(kLaterStart, [self, imageView, resModuleId, resourceId] {
                self->toShowtoShowOriginalImageLater(imageView, resModuleId, resourceId);
            });
        }
        return;
    }
    showThumbnailAndSpinner(*imageView, entry);
    toGetOriginalImage(imageView, resModuleId, resourceId);
}

namespace {
OriginalLoad originalLoad(const std::shared_ptr<ImageView>& imageView, const std::string& resModuleId,
                          const std::string& resourceId) {
    return OriginalLoad{imageView, Paths::documentsPath() + "/" + resModuleId,
                        ServiceAddress::baseUrl() + "resource/view/img_thumb/" + resourceId +
                            "?size=big&token=" + MVTAppDelegate::sharedAppDelegate()->getTokenWith(resourceId),
                        cacheFile("og_", resModuleId)};
}
}  // namespace

void ViewViewController::toShowOriginalImage(const std::shared_ptr<ImageView>& imageView, const std::string& resModuleId,
                                             const std::string& resourceId) {
    showCachedOriginal(originalLoad(imageView, resModuleId, resourceId));
}

void ViewViewController::toShowtoShowOriginalImageLater(const std::shared_ptr<ImageView>& imageView,
                                                         const std::string& resModuleId, const std::string& resourceId) {
    dispatchBackground([load = originalLoad(imageView, resModuleId, resourceId)]() mutable {
        showCachedOriginal(std::move(load));
    });
}

void ViewViewController::toGetOriginalImage(const std::shared_ptr<ImageView>& imageView, const std::string& resModuleId,
                                            const std::string& resourceId) {
    dispatchBackground([load = originalLoad(imageView, resModuleId, resourceId)]() mutable {
        fetchOriginal(std::move(load));
    });
}

// ---- F. The full-size button

namespace {
std::shared_ptr<ScrollView> zoomViewOfPage(const std::shared_ptr<View>& backView, int page) {
    if (!backView) return nullptr;
    for (const auto& child : backView->subviews()) {
        if (child->tag() != ViewViewController::kPagingViewTag) continue;
        for (const auto& zoom : child->subviews()) {
            if (zoom->tag() == page + ViewViewController::kZoomViewTagBase) return std::dynamic_pointer_cast<ScrollView>(zoom);
        }
    }
    return nullptr;
}

std::shared_ptr<ImageView> imageViewOfPage(const std::shared_ptr<View>& backView, int page) {
    auto zoom = zoomViewOfPage(backView, page);
    if (!zoom) return nullptr;
    for (const auto& child : zoom->subviews()) {
        if (child->tag() == ViewViewController::kPictureViewTag) return std::dynamic_pointer_cast<ImageView>(child);
    }
    return nullptr;
}
}  // namespace

void ViewViewController::toshowYuantu(Button& button) {
    int page = button.tag() - kFullSizeButtonBase;
    auto imageView = imageViewOfPage(backView, page);
    if (!imageView || page < 0 || page >= static_cast<int>(showArray.size())) return;
    auto buttonRef = std::static_pointer_cast<Button>(button.shared_from_this());
    const Json& entry = showArray[page];
    std::string fullSizeFile = cacheFile("yuantu_", textOf(entry, "resModuleId"));
    if (isFresh(fullSizeFile)) {
        if (auto image = Image::imageWithData(readAll(fullSizeFile))) imageView->setImage(image);
        button.setHidden(true);
        return;
    }
    button.setHidden(true);
    startSpinner(*imageView);
    if (!vfsUrl().empty() && hasValue(entry, "resName")) {
        vfsUrlYuantuImageWith(imageView, buttonRef);
    } else {
        oldYuantuImageWith(imageView, buttonRef);
    }
}

void ViewViewController::vfsUrlYuantuImageWith(const std::shared_ptr<ImageView>& imageView,
                                               const std::shared_ptr<Button>& button) {
    int page = button->tag() - kFullSizeButtonBase;
    if (page < 0 || page >= static_cast<int>(showArray.size())) return;
    const Json& entry = showArray[page];
    std::string url = vfsUrl() + textOf(entry, "resPath") + textOf(entry, "resName") + textOf(entry, "resSuffix");
    fetchFullSize(imageView, button, url, cacheFile("yuantu_", textOf(entry, "resModuleId")),
                  std::static_pointer_cast<ViewViewController>(shared_from_this()));
}

void ViewViewController::oldYuantuImageWith(const std::shared_ptr<ImageView>& imageView,
                                            const std::shared_ptr<Button>& button) {
    int page = button->tag() - kFullSizeButtonBase;
    if (page < 0 || page >= static_cast<int>(showArray.size())) return;
    std::string resModuleId = textOf(showArray[page], "resModuleId");
    std::string url = ServiceAddress::baseUrl() + "resource/" + resModuleId +
                      "/download?token=" + MVTAppDelegate::sharedAppDelegate()->getTokenWith(resModuleId);
    fetchFullSize(imageView, button, url, cacheFile("yuantu_", resModuleId),
                  std::static_pointer_cast<ViewViewController>(shared_from_this()));
}

// ---- G. Toasts

namespace {
void showToast(ViewViewController& screen, const std::string& text) {
    const Rect bounds = Screen::mainScreen().bounds();
    if (!screen.miLa) {
        screen.miLa = std::make_shared<Label>(Rect(0, bounds.height() - 20, bounds.width(), 20));
        screen.miLa->setBackgroundColor(Color::rgba(0.227, 0.569, 0.125, 1));
        screen.miLa->setTextAlignment(TextAlignment::Center);
        screen.miLa->setTextColor(Color::whiteColor());
        screen.miLa->setFont(Font::boldSystemFontOfSize(14));
    }
    auto toast = screen.miLa;
    toast->setText(text);
    toast->removeFromSuperview();
    if (screen.backView) screen.backView->addSubview(toast);
    toast->setAlpha(0);
    setAnimationsEnabled(true);
    std::weak_ptr<ViewViewController> weak = std::static_pointer_cast<ViewViewController>(screen.shared_from_this());
    animate(
        kToastFade, [toast] { toast->setAlpha(1); },
        [weak](bool) {
            RunLoop::main().performAfter(kToastHold, [weak] {
                if (auto self = weak.lock()) self->toClearMind();
            });
        });
}
}  // namespace

void ViewViewController::showMind() { showToast(*this, localized("图片保存成功")); }

void ViewViewController::showSaveFail() { showToast(*this, localized("图片保存失败")); }

void ViewViewController::showYunTuDownloadFail() { showToast(*this, "原图下载失败"); }

void ViewViewController::toClearMind() {
    auto toast = miLa;
    if (!toast) return;
    animate(
        kToastFade, [toast] { toast->setAlpha(0); }, [toast](bool) { toast->removeFromSuperview(); });
}

// ---- H. Page tracking and zoom

void ViewViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) showIMagePageWith(scrollView);
}

void ViewViewController::showIMagePageWith(ScrollView& scrollView) {
    if (scrollView.tag() != kPagingViewTag) return;
    const double width = std::floor(Screen::mainScreen().bounds().width());
    if (width <= 0) return;
    int page = static_cast<int>(scrollView.contentOffset().x / width);
    if (page == currentNum) return;
    if (currentNum >= 0 && currentNum < static_cast<int>(showArray.size())) {
        if (auto zoom = zoomViewOfPage(backView, currentNum)) zoom->setZoomScale(1.0);
    }
    currentNum = page;
    if (pageLabel) pageLabel->setText(format("%d / %0.f", page + 1, scrollView.contentSize().width / width));
}

std::shared_ptr<View> ViewViewController::viewForZoomingInScrollView(ScrollView& scrollView) {
    (void)scrollView;
    return imageViewOfPage(backView, currentNum);
}

// ---- I. Long press and saving

void ViewViewController::handleLong(GestureRecognizer& recognizer) {
    if (recognizer.state() != GestureState::Began) return;
    View* pressed = recognizer.view();
    if (!pressed) return;
    auto hit = pressed->hitTest(recognizer.locationInView(pressed));
    if (!hit || hit->tag() != kPictureViewTag) return;
    auto picture = std::dynamic_pointer_cast<ImageView>(hit);
    copyImage = picture ? picture->image() : nullptr;
    auto self = std::static_pointer_cast<ViewViewController>(shared_from_this());
    auto sheet = ActionSheet::make("", std::weak_ptr<ActionSheetDelegate>(self), localized("取消"), "",
                                   {localized("存入相册")});
    sheet->setTag(kSaveSheetTag);
    sheet->showInView(backView ? backView.get() : view().get());
}

void ViewViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() == kSaveSheetTag && index == 0) saveCopyImage();
}

bool ViewViewController::saveCopyImage() {
    if (!copyImage) return false;
    // The toast tells the truth: saved only when the album took the file.
    bool saved = SavedPhotosAlbum::writeImage(copyImage);
    if (saved) {
        showMind();
    } else {
        showSaveFail();
    }
    return saved;
}

// ---- J. Closing

void ViewViewController::closeImage() {
    setStatusBarState(false);
    if (Screen::systemVersion() >= 7.0) {
        setNeedsStatusBarAppearanceUpdate();
    } else {
        StatusBar::shared().setHidden(false);
    }
    if (pageLabel) pageLabel->removeFromSuperview();
    auto overlay = backView;
    if (!overlay) {
        view()->setUserInteractionEnabled(true);
        return;
    }
    std::weak_ptr<ViewViewController> weak = std::static_pointer_cast<ViewViewController>(shared_from_this());
    animate(
        0.4, [overlay] { overlay->setTransform(AffineTransform::scale(0.01, 0.01)); },
        [overlay, weak](bool) {
            auto children = overlay->subviews();
            for (const auto& child : children) child->removeFromSuperview();
            overlay->removeFromSuperview();
            if (auto screen = weak.lock()) screen->view()->setUserInteractionEnabled(true);
        },
        0, AnimationCurve::EaseIn);
}
