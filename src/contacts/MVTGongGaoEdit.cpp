#include "contacts/MVTGongGaoEdit.h"

#include "contacts/ContactsShared.h"
#include "contacts/MVTGongGaoViewController.h"

#include "composer/ComposerText.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myimagePickerViewController.h"

#include "platform/BackgroundQueue.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/HttpMultipartForm.h"
#include "platform/HttpRequestOperation.h"
#include "platform/Paths.h"
#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/UrlEncoding.h"
#include "platform/Values.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace platform;

namespace {

// Seconds from 1970 to 2001, the epoch of the picture stamps.
constexpr double kGongGaoSince1970To2001 = 978307200;
constexpr int kGongGaoPictureSheetTag = 1;
constexpr double kGongGaoBarHeight = 40;
const Color kGongGaoFormGrey = Color::rgba(0.961, 0.961, 0.961);

std::string gongGaoStamp(double secondsSince1970) {
    char text[40];
    std::snprintf(text, sizeof text, "%.0f", secondsSince1970 - kGongGaoSince1970To2001);
    return text;
}

void gongGaoBorder(View& view) {
    view.setBackgroundColor(Color::whiteColor());
    view.setBorderWidth(1);
    view.setBorderColor(Color::lightGray());
    view.setCornerRadius(2);
}

// The text view answers to its own delegate object, so the screen does not inherit the
// scroll view delegate a second time.
class GongGaoTextDelegate : public TextViewDelegate {
public:
    explicit GongGaoTextDelegate(std::weak_ptr<MVTEditGongGaoViewController> owner) : owner_(std::move(owner)) {}
    void textViewDidBeginEditing(TextView&) override {
        if (auto owner = owner_.lock()) owner->textViewDidBeginEditing();
    }
    void textViewDidEndEditing(TextView&) override {
        if (auto owner = owner_.lock()) owner->textViewDidEndEditing();
    }
    bool textViewShouldChangeText(TextView&, Range range, const std::string& replacement) override {
        auto owner = owner_.lock();
        return owner ? owner->textViewShouldChangeText(range, replacement) : true;
    }
    void textViewDidChange(TextView&) override {
        if (auto owner = owner_.lock()) owner->textViewDidChange();
    }

private:
    std::weak_ptr<MVTEditGongGaoViewController> owner_;
};

struct GongGaoPicture {
    ImageRef display;
    bool written = false;
};

// A camera photo: redrawn at twice the screen width when it is wider, shown reduced when
// its JPEG is large, stored as upload JPEG.
GongGaoPicture makeGongGaoCameraPicture(const ImageRef& photo, const std::string& path, double screenWidth) {
    GongGaoPicture made;
    if (!photo) return made;
    const double limit = 2 * screenWidth;
    const Size size = photo->size();
    const ImageRef scaled =
        size.width > limit ? MVTPublicMethod::scale(photo, {limit, std::round(size.height * limit / size.width)}) : photo;
    made.display = MVTPublicMethod::ScaleImage(scaled);
    made.written = fileExists(path) || writeFileAtomically(path, MVTPublicMethod::imageData(scaled));
    return made;
}

// An album picture: the thumbnail is shown, the full-screen image stored for upload.
GongGaoPicture makeGongGaoAlbumPicture(const PickedAsset& asset, const std::string& path) {
    GongGaoPicture made;
    const ImageRef full = asset.fullScreenImage();
    if (!full) return made;
    made.display = asset.thumbnail();
    made.written = fileExists(path) || writeFileAtomically(path, MVTPublicMethod::imageData(full));
    return made;
}

}  // namespace

MVTEditGongGaoViewController::MVTEditGongGaoViewController() = default;

MVTEditGongGaoViewController::~MVTEditGongGaoViewController() {
    if (saving_) saving_->cancel();
}

std::string MVTEditGongGaoViewController::cameraFileName(double secondsSince1970) {
    return "dyna" + gongGaoStamp(secondsSince1970);
}

std::string MVTEditGongGaoViewController::albumFileName(double secondsSince1970, int cellNumber) {
    return "dyna" + gongGaoStamp(secondsSince1970) + "_" + std::to_string(cellNumber);
}

std::string MVTEditGongGaoViewController::uploadFileName(const std::string& model, int number, int count) {
    return count == 1 ? "来自" + model + "的图片.png" : "来自" + model + "的图片" + std::to_string(number) + ".png";
}

// ---- Set-up

void MVTEditGongGaoViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    view()->setBackgroundColor(kGongGaoFormGrey);
    auto weak = weakAs<MVTEditGongGaoViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    setTitle(localized("编辑公告"));
    sendButton_ = Button::buttonWithType(ButtonType::Custom);
    sendButton_->setFrame({0, 0, 44, 44});
    sendButton_->setTitle(localized("发布"));
    sendButton_->titleLabel()->setFont(Font::systemFontOfSize(14));
    sendButton_->setTitleColor(Color::whiteColor());
    sendButton_->setTitleColor(Color::lightGray(), ControlStateHighlighted);
    sendButton_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->sendBtnClicked(static_cast<Button*>(&control));
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(sendButton_));
    picPathArr_->clear();
    picView();
    initMyView();
}

void MVTEditGongGaoViewController::initMyView() {
    const double W = Screen::mainScreen().bounds().width();
    if (!myView_) {
        myView_ = std::make_shared<ScrollView>(Rect(0, 0, view()->bounds().width(), view()->bounds().height() - 88 - SDH));
        myView_->setBackgroundColor(Color::clear());
        myView_->setContentSize({0, 0});
        view()->addSubview(myView_);
    }
    if (!myTextField_) {
        myTextField_ = std::make_shared<TextField>(Rect(10, 5, W - 20, 30));
        auto margin = std::make_shared<View>(Rect(0, 0, 7, 30));
        margin->setBackgroundColor(Color::clear());
        myTextField_->setLeftView(margin);
        myTextField_->setLeftViewMode(TextFieldViewMode::Always);
        myTextField_->setPlaceholder(localized(" 标题(20字)"));
        myTextField_->setFont(Font::systemFontOfSize(14));
        gongGaoBorder(*myTextField_);
    }
    if (!mytextView_) {
        mytextView_ = std::make_shared<TextView>(Rect(10, 40, W - 20, 135));
        mytextView_->setFont(Font::systemFontOfSize(14));
        mytextView_->setTextColor(Color::black());
        mytextView_->setScrollEnabled(true);
        gongGaoBorder(*mytextView_);
        textDelegate_ = std::make_shared<GongGaoTextDelegate>(weakAs<MVTEditGongGaoViewController>());
        mytextView_->setDelegate(textDelegate_);
        tipsLabel_ = std::make_shared<Label>(Rect(0, 5, 100, 20));
        tipsLabel_->setBackgroundColor(Color::clear());
        tipsLabel_->setTextColor(Color::lightGray());
        tipsLabel_->setFont(Font::systemFontOfSize(14));
        tipsLabel_->setText(localized("  内容"));
        mytextView_->addSubview(tipsLabel_);
    }
    for (auto& sub : std::vector<std::shared_ptr<View>>(myView_->subviews())) sub->removeFromSuperview();
    const Rect grid = allPicView_->frame();
    allPicView_->setFrame({10, kGridTop, W - 20, grid.height()});
    myView_->addSubview(allPicView_);
    myView_->addSubview(myTextField_);
    myView_->addSubview(mytextView_);
    mytextView_->setFrame({10, 40, mytextView_->frame().width(), 135});
    const double bottom = kGridTop + allPicView_->frame().height();
    const double screenHeight = Screen::mainScreen().bounds().height();
    if (std::abs(bottom + 65 - screenHeight) < 90) myView_->setContentSize({myView_->contentSize().width, bottom + 100});
}

void MVTEditGongGaoViewController::picView() {
    if (allPicView_) return;
    const double W = Screen::mainScreen().bounds().width();
    pwh_ = (W - 45) / 4;
    allPicView_ = std::make_shared<View>(Rect(10, kGridTop, W - 20, pwh_ + 10));
    allPicView_->setBackgroundColor(Color::whiteColor());
    auto weak = weakAs<MVTEditGongGaoViewController>();
    addTile_ = Button::buttonWithType(ButtonType::Custom);
    addTile_->setBackgroundImage(Image::imageNamed("addPic.png"));
    addTile_->setTag(kAddTileTag);
    addTile_->setAccessibilityLabel(localized("添加图片"));
    addTile_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->addnewPic();
    });
    addCaption_ = std::make_shared<Label>(Rect(0, 0, pwh_ / 2, 10));
    addCaption_->setTag(kAddCaptionTag);
    addCaption_->setText(localized("添加图片"));
    addCaption_->setFont(Font::systemFontOfSize(8));
    addCaption_->setTextColor(Color::white(0.6));
    addCaption_->setTextAlignment(TextAlignment::Center);
    addCaption_->setBackgroundColor(Color::clear());
    allPicView_->addSubview(addTile_);
    allPicView_->addSubview(addCaption_);
    putImageViews();
}

std::vector<std::shared_ptr<ImageView>> MVTEditGongGaoViewController::cells() const {
    std::vector<std::shared_ptr<ImageView>> list;
    if (!allPicView_) return list;
    for (auto& sub : allPicView_->subviews())
        if (auto cell = std::dynamic_pointer_cast<ImageView>(sub)) list.push_back(cell);
    return list;
}

std::shared_ptr<ImageView> MVTEditGongGaoViewController::makeCell(int slot) {
    auto cell = std::make_shared<ImageView>(Rect(5 + (pwh_ + 5) * (slot % 4), 5 + (pwh_ + 5) * (slot / 4), pwh_, pwh_));
    cell->setTag(slot);
    cell->setContentMode(ContentMode::ScaleAspectFill);
    cell->setClipsToBounds(true);
    cell->setUserInteractionEnabled(true);
    auto weak = weakAs<MVTEditGongGaoViewController>();
    cell->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer& tap) {
        if (auto self = weak.lock())
            if (tap.view()) self->showBigImage(tap.view()->tag());
    }));
    allPicView_->addSubview(cell);
    return cell;
}

void MVTEditGongGaoViewController::putImageViews() {
    if (!allPicView_) return;
    const auto list = cells();
    for (std::size_t i = 0; i < list.size(); ++i)
        list[i]->setFrame({5 + (pwh_ + 5) * double(i % 4), 5 + (pwh_ + 5) * double(i / 4), pwh_, pwh_});
    const bool tileShown = imageArray_.size() <= 8;
    addTile_->setHidden(!tileShown);
    addCaption_->setHidden(!tileShown);
    const int n = int(list.size()) + (tileShown ? 1 : 0);
    if (tileShown) {
        const int slot = int(list.size());
        const double cellX = 5 + (pwh_ + 5) * (slot % 4), cellY = 5 + (pwh_ + 5) * (slot / 4);
        const double x = list.empty() ? 10 : cellX + pwh_ / 4;
        addTile_->setFrame({x, cellY + pwh_ / 4 - 5, pwh_ / 2, pwh_ / 2});
        addCaption_->setFrame({x, cellY + pwh_ * 3 / 4, pwh_ / 2, 10});
    }
    const Rect grid = allPicView_->frame();
    allPicView_->setFrame({grid.x(), grid.y(), grid.width(), pwh_ + 10 + (pwh_ + 5) * std::floor((n - 1) / 4)});
    initMyView();
}

void MVTEditGongGaoViewController::showHUDWithBool(bool show) { contacts::showProgress(hud_, view(), show); }

// ---- Keyboard and text

void MVTEditGongGaoViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (hidKeyBoardView_) {
        hidKeyBoardView_->setFrame({0, view()->bounds().height() - kGongGaoBarHeight,
                                    Screen::mainScreen().bounds().width(), kGongGaoBarHeight});
        hidKeyBoardView_->setHidden(true);
    }
    keyboardTokens_ = composer_text::observeKeyboard(*this);
}

void MVTEditGongGaoViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    stopPlay();
    if (hidKeyBoardView_) hidKeyBoardView_->setHidden(true);
    keyboardTokens_.clear();
}

void MVTEditGongGaoViewController::stopPlay() {
    MVTAppDelegate::sharedAppDelegate()->stopPlayAudio();
    ProximitySensor::shared().setMonitoringEnabled(false);
}

void MVTEditGongGaoViewController::keyboardWillShow(const Notification& notification) {
    if (hidKeyBoardView_) {
        hidKeyBoardView_->setHidden(false);
        view()->bringSubviewToFront(hidKeyBoardView_);
        return;
    }
    const double W = Screen::mainScreen().bounds().width();
    hidKeyBoardView_ = std::make_shared<View>(Rect(0, view()->bounds().height() - composer_text::keyboardHeight(notification) -
                                                          kGongGaoBarHeight,
                                                   W, kGongGaoBarHeight));
    hidKeyBoardView_->setBackgroundColor(Color::clear());
    auto done = Button::buttonWithType(ButtonType::Custom);
    done->setFrame({W - 44, 0, 44, 40});
    done->setTitle(localized("完成"));
    done->titleLabel()->setFont(Font::systemFontOfSize(14));
    done->setTitleColor(Color::darkGray());
    done->setBackgroundColor(Color::lightGray());
    done->setCornerRadius(2);
    auto weak = weakAs<MVTEditGongGaoViewController>();
    done->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->removeKeyBoard();
    });
    hidKeyBoardView_->addSubview(done);
    view()->addSubview(hidKeyBoardView_);
    view()->bringSubviewToFront(hidKeyBoardView_);
}

void MVTEditGongGaoViewController::keyboardChange(const Notification& notification) {
    if (!hidKeyBoardView_) return;
    const Rect bar = hidKeyBoardView_->frame();
    hidKeyBoardView_->setFrame(
        {bar.x(), view()->bounds().height() - composer_text::keyboardHeight(notification) - kGongGaoBarHeight, bar.width(),
         bar.height()});
    hidKeyBoardView_->setHidden(false);
    view()->bringSubviewToFront(hidKeyBoardView_);
}

void MVTEditGongGaoViewController::removeKeyBoard() {
    if (mytextView_ && mytextView_->isEditing()) mytextView_->resignFirstResponder();
    if (myTextField_ && myTextField_->isEditing()) myTextField_->resignFirstResponder();
    if (hidKeyBoardView_) hidKeyBoardView_->setHidden(true);
}

void MVTEditGongGaoViewController::textViewDidBeginEditing() {
    if (tipsLabel_) tipsLabel_->removeFromSuperview();
}

void MVTEditGongGaoViewController::textViewDidEndEditing() {
    if (mytextView_ && tipsLabel_ && mytextView_->text().empty()) mytextView_->addSubview(tipsLabel_);
}

bool MVTEditGongGaoViewController::textViewShouldChangeText(Range range, const std::string& replacement) {
    if (!replacement.empty() || !mytextView_) return true;
    composer_text::deleteRange(*mytextView_, range);
    return false;
}

void MVTEditGongGaoViewController::textViewDidChange() {
    if (!mytextView_) return;
    // Keeps the caret line in sight as the text grows.
    const Rect caret = mytextView_->caretRectForPosition(mytextView_->selectedRange().location);
    const Point offset = mytextView_->contentOffset();
    const double overflow = caret.y() + caret.height() - (offset.y + mytextView_->bounds().height());
    if (overflow > 0) mytextView_->setContentOffset({offset.x, offset.y + overflow + 7}, true);
}

// ---- Pictures

void MVTEditGongGaoViewController::addnewPic() {
    removeKeyBoard();
    auto sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取消"), "",
                                   {localized("拍 照"), localized("相 册")});
    sheet->setTag(kGongGaoPictureSheetTag);
    sheet->showInView(view().get());
}

void MVTEditGongGaoViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() != kGongGaoPictureSheetTag) {
        ViewViewController::actionSheetClickedButtonAtIndex(sheet, index);
        return;
    }
    if (index == 0)
        takePhoto();
    else if (index == 1)
        getPhotoLibrary();
}

void MVTEditGongGaoViewController::takePhoto() {
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

void MVTEditGongGaoViewController::getPhotoLibrary() {
    auto picker = std::make_shared<AssetsPickerController>();
    picker->setMaximumNumberOfSelection(std::size_t(std::max(0, kMaxPictures - int(imageArray_.size()))));
    picker->setDelegate(weakAs<AssetsPickerControllerDelegate>());
    presentViewController(picker, true);
}

void MVTEditGongGaoViewController::imagePickerControllerDidFinishPickingMedia(ImagePickerController& picker,
                                                                              const PickedMediaInfo& info) {
    if (info.mediaType != "public.image") return;
    const ImageRef photo = info.originalImage;
    auto weak = weakAs<MVTEditGongGaoViewController>();
    picker.dismissViewController(true, [weak, photo] {
        auto self = weak.lock();
        if (!self) return;
        self->showHUDWithBool(true);
        RunLoop::main().performAfter(0.01, [weak, photo] {
            if (auto self = weak.lock()) self->toAddCamImageWith(photo);
        });
    });
}

void MVTEditGongGaoViewController::imagePickerControllerDidCancel(ImagePickerController& picker) {
    picker.dismissViewController(true);
}

void MVTEditGongGaoViewController::assetsPickerControllerDidFinishPickingAssets(AssetsPickerController&,
                                                                                const std::vector<PickedAsset>& assets) {
    if (assets.empty()) return;
    addAlbumPictures(assets);
}

bool MVTEditGongGaoViewController::pathTaken(const std::string& path) const {
    return fileExists(path) || std::find(picPathArr_->begin(), picPathArr_->end(), path) != picPathArr_->end();
}

void MVTEditGongGaoViewController::toAddCamImageWith(const ImageRef& photo) {
    if (!photo || int(imageArray_.size()) >= kMaxPictures) {
        showHUDWithBool(!preparing_.empty());
        return;
    }
    // A second photo of the same second takes the next free stamp rather than the first's file.
    double now = platform::now();
    std::string path = Paths::documentsPath() + "/" + cameraFileName(now);
    while (pathTaken(path)) path = Paths::documentsPath() + "/" + cameraFileName(now += 1);
    imageArray_.push_back(nullptr);
    picPathArr_->push_back(path);
    preparing_.insert(path);
    makeCell(picNum_);
    ++picNum_;
    putImageViews();
    if (hidKeyBoardView_) hidKeyBoardView_->setHidden(true);
    showHUDWithBool(true);
    auto weak = weakAs<MVTEditGongGaoViewController>();
    const double width = Screen::mainScreen().bounds().width();
    dispatchBackground([weak, photo, path, width] {
        const GongGaoPicture made = makeGongGaoCameraPicture(photo, path, width);
        dispatchMain([weak, path, made] {
            if (auto self = weak.lock()) self->pictureMade(path, made.display, made.written);
        });
    });
}

void MVTEditGongGaoViewController::addAlbumPictures(const std::vector<PickedAsset>& assets) {
    const std::size_t room = std::size_t(std::max(0, kMaxPictures - int(imageArray_.size())));
    const std::size_t count = std::min(room, assets.size());
    if (count == 0) return;
    showHUDWithBool(true);
    double now = platform::now();
    auto pathsAt = [&](double stamp) {
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < count; ++i)
            paths.push_back(Paths::documentsPath() + "/" + albumFileName(stamp, picNum_ + int(i) + 1));
        return paths;
    };
    auto paths = pathsAt(now);
    while (std::any_of(paths.begin(), paths.end(), [this](const std::string& p) { return pathTaken(p); }))
        paths = pathsAt(now += 1);
    auto weak = weakAs<MVTEditGongGaoViewController>();
    for (std::size_t i = 0; i < count; ++i) {
        imageArray_.push_back(nullptr);
        picPathArr_->push_back(paths[i]);
        preparing_.insert(paths[i]);
        makeCell(picNum_);
        ++picNum_;
        const PickedAsset asset = assets[i];
        const std::string path = paths[i];
        dispatchBackground([weak, asset, path] {
            const GongGaoPicture made = makeGongGaoAlbumPicture(asset, path);
            dispatchMain([weak, path, made] {
                if (auto self = weak.lock()) self->pictureMade(path, made.display, made.written);
            });
        });
    }
    putImageViews();
    if (hidKeyBoardView_) hidKeyBoardView_->setHidden(true);
}

void MVTEditGongGaoViewController::pictureMade(const std::string& path, const ImageRef& display, bool written) {
    preparing_.erase(path);
    auto at = std::find(picPathArr_->begin(), picPathArr_->end(), path);
    if (closed_ || at == picPathArr_->end()) {
        // Deleted or discarded while it was being made.
        if (written) MVTPublicMethod::deleteFileAtPath(path);
    } else if (!written || !display) {
        // A picture that could not be read or stored leaves the grid rather than go up empty.
        const auto slot = std::size_t(at - picPathArr_->begin());
        MVTPublicMethod::deleteFileAtPath(path);
        picPathArr_->erase(at);
        if (slot < imageArray_.size()) imageArray_.erase(imageArray_.begin() + long(slot));
        auto list = cells();
        if (slot < list.size()) list[slot]->removeFromSuperview();
        list = cells();
        for (std::size_t i = 0; i < list.size(); ++i) list[i]->setTag(int(i));
        picNum_ = int(list.size());
        putImageViews();
    } else {
        const auto slot = std::size_t(at - picPathArr_->begin());
        if (slot < imageArray_.size()) imageArray_[slot] = display;
        auto list = cells();
        if (slot < list.size()) list[slot]->setImage(display);
    }
    if (!preparing_.empty()) return;
    showHUDWithBool(false);
    if (sendWaiting_ && !closed_) {
        sendWaiting_ = false;
        sendButton_->setEnabled(true);
        sendBtnClicked(sendButton_.get());
    }
}

void MVTEditGongGaoViewController::showBigImage(int tag) {
    auto preview = std::make_shared<ShowPicViewController>();
    preview->initWith(imageArray_, picPathArr_, tag);
    preview->setDelegate(std::dynamic_pointer_cast<showPicDelegate>(shared_from_this()));
    if (auto stack = navigationController())
        stack->presentViewController(preview, true);
    else
        presentViewController(preview, true);
}

void MVTEditGongGaoViewController::reloadViewWithImageArray(const std::vector<ImageRef>& images) {
    // Pictures deleted while still being made are not waited for.
    for (auto it = preparing_.begin(); it != preparing_.end();)
        it = std::find(picPathArr_->begin(), picPathArr_->end(), *it) == picPathArr_->end() ? preparing_.erase(it)
                                                                                           : std::next(it);
    if (int(images.size()) >= picNum_) return;
    for (auto& cell : cells()) cell->removeFromSuperview();
    picNum_ = 0;
    imageArray_ = images;
    for (const auto& image : imageArray_) {
        auto cell = makeCell(picNum_);
        cell->setImage(image ? MVTPublicMethod::ScaleImage(image) : nullptr);
        ++picNum_;
    }
    putImageViews();
    if (preparing_.empty()) showHUDWithBool(false);
}

// ---- Leaving

void MVTEditGongGaoViewController::goback() {
    if (mytextView_->text().empty() && picNum_ == 0) {
        StatisticsKit::shared().endLogPageView(kPageName);
        closed_ = true;
        if (auto navigation = navigationController()) navigation->popViewController(true);
        return;
    }
    auto alert = AlertView::make(localized("提示"), localized("放弃此次编辑?"), weakAs<AlertViewDelegate>(), localized("取消"),
                                 {localized("确定")});
    alert->setTag(kDiscardAlertTag);
    alert->show();
}

void MVTEditGongGaoViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kDiscardAlertTag || index != 1) return;
    for (const auto& path : *picPathArr_)
        if (MVTPublicMethod::fileExistsAtPath(path)) MVTPublicMethod::deleteFileAtPath(path);
    StatisticsKit::shared().endLogPageView(kPageName);
    closed_ = true;
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

// ---- Saving

void MVTEditGongGaoViewController::showCheck(const std::string& message) {
    AlertView::make(localized("提示"), localized(message), {}, localized("知道了"))->show();
}

void MVTEditGongGaoViewController::sendBtnClicked(Button* sender) {
    if (closed_) return;
    if (!MVTPublicMethod::connectedToNetwork()) {
        contacts::showBanner(0);
        return;
    }
    if (issending_ || sendWaiting_) return;
    if (mytextView_->isEditing()) {
        mytextView_->resignFirstResponder();
        if (hidKeyBoardView_) hidKeyBoardView_->setHidden(true);
    }
    const std::string title = myTextField_->text(), content = mytextView_->text();
    if (utf16Length(content) > kMaxText) return showCheck("内容不能超过1000个字");
    if (utf16Length(title) > kMaxTitle) return showCheck("标题不能超过20个字");
    if (title.empty()) return showCheck("公告没有标题");
    if (content.empty()) return showCheck("公告没有内容");
    if (!preparing_.empty()) {
        // The save goes once the last picture is ready.
        sendWaiting_ = true;
        if (sender) sender->setEnabled(false);
        return;
    }
    save();
}

void MVTEditGongGaoViewController::save() {
    issending_ = true;
    sendButton_->setEnabled(false);
    sendHud_ = ProgressHUD::showHUDAddedTo(view(), true);
    sendHud_->setLabelText(localized("正在发送"));
    const std::string url = ServiceAddress::servicePrefix() + "forum/" + contacts::accountUserId() + "/" + forumId_ +
                            "/" + fieldId_ + "/notice/save";
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        finishSave();
        contacts::showBanner(0);
        return;
    }
    const std::string title = myTextField_->text(), content = mytextView_->text();
    const std::vector<std::string> paths = *picPathArr_;
    const std::string model = MVTPublicMethod::currentDevicemodel();
    UrlRequest request = client->multipartFormRequestWithMethod("POST", url, nullptr, [&](HttpMultipartForm& form) {
        form.appendPart("title", title);
        form.appendPart("content", content);
        const int count = int(paths.size());
        for (int i = 0; i < count; ++i)
            form.appendPartWithFile("image", paths[std::size_t(i)], percentEscape(uploadFileName(model, i + 1, count)),
                                    "application/octet-stream");
    });
    request.setTimeoutInterval(kSaveTimeout);
    auto weak = weakAs<MVTEditGongGaoViewController>();
    saving_ = client->HTTPRequestOperationWithRequest(
        request,
        [weak](HttpRequestOperation&, const std::string& body) {
            auto self = weak.lock();
            if (!self) return;
            self->finishSave();
            const Json reply = Json::parse(body, nullptr, false);
            const Json& success = valueFor(reply, "success");
            const bool saved = success.is_boolean() ? success.get<bool>() : integerValue(success) != 0;
            if (!saved) {
                AlertView::make(localized("保存失败,请重新发送"), textOf(valueFor(reply, "msg")), {}, localized("确定"))
                    ->show();
                return;
            }
            self->closed_ = true;
            StatisticsKit::shared().endLogPageView(kPageName);
            if (auto navigation = self->navigationController()) navigation->popViewController(true);
            NotificationCenter::defaultCenter().postNotification(MVTGongGaoViewController::kToReloadCurrentGongGaoData);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->finishSave();
            AlertView::make(localized("提示"), localized("发送失败,请重新发送"), {}, localized("确定"))->show();
        });
    saving_->start();
}

void MVTEditGongGaoViewController::finishSave() {
    saving_.reset();
    issending_ = false;
    sendButton_->setEnabled(true);
    if (sendHud_) {
        sendHud_->removeFromSuperview();
        sendHud_.reset();
    }
}
