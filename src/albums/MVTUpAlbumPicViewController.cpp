#include "albums/MVTUpAlbumPicViewController.h"

#include "albums/AlbumCommon.h"
#include "albums/MVTClassAlbumViewController.h"
#include "albums/MVTAlbumDetalsViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"

#include <cmath>

using namespace platform;

namespace {

// Hands the caption's editing to the screen, which holds it.
class UploadCaptionDelegate : public TextViewDelegate {
public:
    explicit UploadCaptionDelegate(std::weak_ptr<MVTUpAlbumPicViewController> screen) : screen_(std::move(screen)) {}
    void textViewDidBeginEditing(TextView&) override {
        if (auto screen = screen_.lock()) screen->captionEditing(true);
    }
    void textViewDidEndEditing(TextView&) override {
        if (auto screen = screen_.lock()) screen->captionEditing(false);
    }

private:
    std::weak_ptr<MVTUpAlbumPicViewController> screen_;
};

constexpr int kUploadSuccessTag = 77;
constexpr int kUploadLeaveTag = 78;
constexpr double kUploadTimeout = 30;
constexpr double kUploadGridTop = 174;
}  // namespace

bool MVTUpAlbumPicViewController::isGroupMode() const { return !MVTPublicMethod::stringIsClassNull(forumId_); }

double MVTUpAlbumPicViewController::gridHeightFor(std::size_t count) {
    if (count <= 3) return 81;
    return count <= 7 ? 154 : 227;
}

Rect MVTUpAlbumPicViewController::slotFrame(int index) {
    const double g = (Screen::mainScreen().bounds().width() - 280) / 5;
    return {std::trunc(g + (g + 65) * (index % 4)), double(index / 4) * 73 + 8, 65, 65};
}

std::size_t MVTUpAlbumPicViewController::pendingPictures() const {
    return std::size_t(std::count_if(pictures_.begin(), pictures_.end(), [](const Entry& e) { return !e.image; }));
}

void MVTUpAlbumPicViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    setTitle(localized("上传照片"));
    auto weak = weakAs<MVTUpAlbumPicViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->toGoBack();
    });
    const double width = Screen::mainScreen().bounds().width();
    const double height = Screen::mainScreen().bounds().height();
    scroll_ = std::make_shared<ScrollView>(view()->bounds());
    view()->addSubview(scroll_);
    textView_ = std::make_shared<TextView>(Rect(0, 0, width, 130));
    textView_->setBackgroundColor(Color::whiteColor());
    textView_->setTextColor(Color::white(0.2));
    textView_->setFont(Font::systemFontOfSize(16));
    captionDelegate_ = std::make_shared<UploadCaptionDelegate>(weak);
    textView_->setDelegate(captionDelegate_);
    scroll_->addSubview(textView_);
    placeholder_ = std::make_shared<Label>(Rect(15, 15, 150, 20));
    placeholder_->setText(localized("图片说明"));
    placeholder_->setTextColor(Color::white(0.467));
    placeholder_->setFont(Font::systemFontOfSize(16));
    placeholder_->setUserInteractionEnabled(false);
    textView_->addSubview(placeholder_);

    // The album row.
    auto row = Button::buttonWithType(ButtonType::Custom);
    row->setFrame({0, 130, width, 44});
    row->setBackgroundColor(Color::clear());
    row->setBackgroundImage(Image::imageWithColor(Color::white(0.898)), ControlStateHighlighted);
    const std::string heading = localized("上传到");
    auto to = std::make_shared<Label>(Rect(15, 7, TextMeasure::sizeWithFont(heading, Font::systemFontOfSize(16)).width + 4, 30));
    to->setText(heading);
    to->setFont(Font::systemFontOfSize(15));
    to->setTextColor(Color::white(0.2));
    row->addSubview(to);
    albumLabel_ = std::make_shared<Label>(Rect(100, 7, width - 125, 30));
    albumLabel_->setFont(Font::systemFontOfSize(12));
    albumLabel_->setTextColor(Color::white(0.6));
    albumLabel_->setTextAlignment(TextAlignment::Right);
    albumLabel_->setText(nameStr_.empty() ? localized("选择班级相册") : nameStr_);
    row->addSubview(albumLabel_);
    for (double y : {0.0, 43.6}) {
        auto line = std::make_shared<View>(Rect(0, y, width, 0.5));
        line->setBackgroundColor(Color::rgb255(217, 222, 216));
        row->addSubview(line);
    }
    if (!albumId_.empty()) {
        row->setUserInteractionEnabled(false);
    } else {
        row->setImage(Image::imageNamed("rightArrow.png"));
        row->setImageEdgeInsets({2, width - 30, 2, 4});
        row->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toSelectAlbum();
        });
    }
    scroll_->addSubview(row);

    picView_ = std::make_shared<View>(Rect(0, kUploadGridTop, width, 81));
    picView_->setClipsToBounds(true);
    addBtn_ = Button::buttonWithType(ButtonType::Custom);
    addBtn_->setFrame({0, 0, 60, 60});
    addBtn_->setImage(Image::imageNamed("addPic.png"));
    addBtn_->setTag(kAddButtonTag);
    addBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toAddPic();
    });
    picView_->addSubview(addBtn_);
    addLabel_ = std::make_shared<Label>(Rect(-10, 20, 80, 60));
    addLabel_->setText(localized("添加图片"));
    addLabel_->setFont(Font::systemFontOfSize(8));
    addLabel_->setTextColor(Color::white(0.6));
    addLabel_->setTextAlignment(TextAlignment::Center);
    addLabel_->setTag(kAddButtonTag);
    addLabel_->setUserInteractionEnabled(false);
    picView_->addSubview(addLabel_);
    scroll_->addSubview(picView_);
    layoutGrid();

    auto bar = std::make_shared<View>(Rect(0, view()->bounds().height() - 55 - SDH - 44, width, 55));
    bar->setBackgroundColor(Color::white(0.918));
    auto confirm = Button::buttonWithType(ButtonType::Custom);
    confirm->setFrame({50, 14.5, width - 100, 25});
    confirm->setBackgroundImage(Image::imageNamed("publish"));
    confirm->setBackgroundImage(Image::imageNamed("publish_press"), ControlStateHighlighted);
    confirm->setTitle(localized("确认上传"));
    confirm->setTitleColor(Color::whiteColor());
    confirm->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
    confirm->setCornerRadius(2);
    confirm->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toUpData();
    });
    bar->addSubview(confirm);
    view()->addSubview(bar);
    (void)height;

    newAlbumObserver_ = NotificationCenter::defaultCenter().addObserver(kNewAlbumNotification, [weak](const Notification& note) {
        if (auto self = weak.lock()) self->whichSelectdWith(albums::text(note.object, "name"), albums::text(note.object, "id"));
    });
}

void MVTUpAlbumPicViewController::layoutGrid() {
    const double width = Screen::mainScreen().bounds().width();
    const std::size_t count = pictures_.size();
    picView_->setFrame({pictures_.empty() ? 0.0 : 10.0, kUploadGridTop, pictures_.empty() ? width : width - 20, gridHeightFor(count)});
    for (std::size_t i = 0; i < count; ++i) {
        pictures_[i].view->setTag(int(i));
        pictures_[i].view->setFrame(slotFrame(int(i)));
    }
    const bool full = count >= std::size_t(kMaxPictures);
    addBtn_->setHidden(full);
    addLabel_->setHidden(full);
    if (!full && count > 0) {
        const Rect slot = slotFrame(int(count));
        addBtn_->setFrame(slot);
        addLabel_->setFrame({slot.x() - 10, slot.y() + 20, 80, 60});
    }
    const double bottom = picView_->frame().maxY() + 20;
    const double screenHeight = Screen::mainScreen().bounds().height();
    scroll_->setContentSize({width, bottom < scroll_->bounds().height() ? screenHeight - 64 : bottom});
}

void MVTUpAlbumPicViewController::toAddPic() {
    if (pictures_.size() >= std::size_t(kMaxPictures)) return;
    auto picker = std::make_shared<AssetsPickerController>();
    picker->setMaximumNumberOfSelection(std::size_t(kMaxPictures) - pictures_.size());
    picker->setDelegate(weakAs<AssetsPickerControllerDelegate>());
    presentViewController(picker, true);
}

void MVTUpAlbumPicViewController::assetsPickerControllerDidFinishPickingAssets(AssetsPickerController&,
                                                                               const std::vector<PickedAsset>& assets) {
    if (assets.empty()) return;
    showHUDWithBool(true);
    auto weak = weakAs<MVTUpAlbumPicViewController>();
    for (const auto& asset : assets) {
        if (pictures_.size() >= std::size_t(kMaxPictures)) break;
        Entry entry;
        entry.serial = nextSerial_++;
        entry.view = std::make_shared<ImageView>(Rect());
        entry.view->setBackgroundColor(Color::clear());
        entry.view->setUserInteractionEnabled(true);
        auto remove = Button::buttonWithType(ButtonType::Custom);
        remove->setFrame({40, -12, 38, 38});
        remove->setImage(Image::imageNamed("removePic.png"));
        remove->setImageEdgeInsets({7, 7, 7, 7});
        std::weak_ptr<ImageView> weakView = entry.view;
        remove->addTarget(ControlEventTouchUpInside, [weak, weakView](Control&) {
            auto self = weak.lock();
            auto picture = weakView.lock();
            if (self && picture) self->toRemovePic(picture->tag());
        });
        entry.view->addSubview(remove);
        picView_->addSubview(entry.view);
        pictures_.push_back(entry);
        const unsigned long serial = entry.serial;
        dispatchBackground([weak, asset, serial] {
            auto image = asset.fullScreenImage();
            dispatchMain([weak, serial, image] {
                if (auto self = weak.lock()) self->pictureMade(serial, image);
            });
        });
    }
    layoutGrid();
}

void MVTUpAlbumPicViewController::pictureMade(unsigned long serial, std::shared_ptr<Image> image) {
    auto found = std::find_if(pictures_.begin(), pictures_.end(), [serial](const Entry& e) { return e.serial == serial; });
    if (found != pictures_.end()) {
        if (image) {
            found->image = image;
            found->view->setImage(image);
        } else {
            // A photo that could not be read leaves the grid rather than being sent as nothing.
            toRemovePic(int(found - pictures_.begin()));
        }
    }
    // The overlay stays until every picture is made, so nothing half-made is ever sent.
    if (pendingPictures() == 0) showHUDWithBool(false);
}

void MVTUpAlbumPicViewController::toRemovePic(int index) {
    if (index < 0 || std::size_t(index) >= pictures_.size()) return;
    pictures_[std::size_t(index)].view->removeFromSuperview();
    pictures_.erase(pictures_.begin() + index);
    layoutGrid();
    if (pendingPictures() == 0) showHUDWithBool(false);
}

void MVTUpAlbumPicViewController::captionEditing(bool editing) {
    if (!editing) textView_->setContentOffset({0, 0});
    placeholder_->setHidden(editing || !textView_->text().empty());
}

void MVTUpAlbumPicViewController::toSelectAlbum() {
    auto chooser = std::make_shared<MVTSelectClassOrAlbumViewController>();
    chooser->setTypeStr("album");
    if (!albumId_.empty()) {
        chooser->setIdStr(albumId_);
        chooser->setNameStr(nameStr_);
    }
    chooser->setDelegate(weakAs<MVTSelectClassOrAlbumViewDelegate>());
    if (auto stack = navigationController()) stack->pushViewController(chooser, true);
}

void MVTUpAlbumPicViewController::whichSelectdWith(const std::string& name, const std::string& id) {
    albumId_ = id;
    nameStr_ = name;
    if (albumLabel_) albumLabel_->setText(name);
}

void MVTUpAlbumPicViewController::showMindWith(const std::string& title, int tag) {
    auto alert = AlertView::make(title, "", weakAs<AlertViewDelegate>(), localized("知道了"));
    alert->setTag(tag);
    alert->show();
}

void MVTUpAlbumPicViewController::toUpData() {
    textView_->resignFirstResponder();
    const bool group = isGroupMode();
    if (nameStr_.empty()) {
        showMindWith(localized(group ? "请先选择群组相册" : "请先选择班级相册"));
        return;
    }
    if (pictures_.empty()) {
        showMindWith(localized("请先添加图片"));
        return;
    }
    if (pendingPictures() > 0 || sending_) return;
    const std::string user = homework::currentUserId();
    const std::string url = homework::serviceUrl(group ? "forum/" + user + "/" + forumId_ + "/" + fieldId_ + "/album/save"
                                                       : "class/" + user + "/album/" + albumId_ + "/upload/photo");
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) return;
    showHUDWithBool(true);
    const std::string caption = textView_->text();
    std::vector<std::shared_ptr<Image>> sent;
    for (const auto& entry : pictures_) sent.push_back(entry.image);
    UrlRequest request = client->multipartFormRequestWithMethod("POST", url, nullptr, [&](HttpMultipartForm& form) {
        if (group) form.appendPart("id", albumId_);
        form.appendPart("description", caption);
        for (std::size_t i = 0; i < sent.size(); ++i) {
            const std::string name = (group ? "iphone-群组相片" : "iphone-班级相片") + std::to_string(i + 1) + ".png";
            form.appendPart("image", percentEscape(name), "application/octet-stream", MVTPublicMethod::imageData(sent[i]));
        }
    });
    request.setTimeoutInterval(kUploadTimeout);
    auto weak = weakAs<MVTUpAlbumPicViewController>();
    auto failed = [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->sending_.reset();
        self->showHUDWithBool(false);
        self->showMindWith(localized("上传失败"));
    };
    sending_ = client->JSONRequestOperationWithRequest(
        request,
        [weak, sent, failed](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // Only an object that does not say it failed counts as stored; the form stays otherwise.
            const Json& success = valueFor(reply, "success");
            if (!reply.is_object() || (!success.is_discarded() && !homework::readsTrue(success))) {
                failed();
                return;
            }
            self->sending_.reset();
            self->showHUDWithBool(false);
            self->uploaded(reply, sent);
        },
        [failed](HttpRequestOperation&, const HttpError&) { failed(); });
    sending_->start();
}

void MVTUpAlbumPicViewController::uploaded(const Json& reply, const std::vector<std::shared_ptr<Image>>& sent) {
    const Json& ids = valueFor(reply, "resourceModuleIds");
    if (ids.is_array())
        for (std::size_t i = 0; i < ids.size() && i < sent.size(); ++i) {
            const std::string file = albums::fullPictureFile(textOf(ids[i]));
            if (!file.empty() && !fileExists(file)) writeFileAtomically(file, MVTPublicMethod::imageData(sent[i]));
        }
    showMindWith(localized("上传成功"), kUploadSuccessTag);
}

void MVTUpAlbumPicViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kUploadSuccessTag) {
        newAlbumObserver_.reset();
        auto stack = navigationController();
        if (MVTPublicMethod::stringIsClassNull(fieldId_)) {
            NotificationCenter::defaultCenter().postNotification(MVTClassAlbumViewController::kReloadNotification);
            if (stack) stack->popToRootViewController(true);
        } else {
            NotificationCenter::defaultCenter().postNotification(MVTAlbumDetalsViewController::kReloadGroupNotification);
            if (stack) stack->popViewController(true);
        }
    } else if (alert.tag() == kUploadLeaveTag && index == 1) {
        goback();
    }
}

void MVTUpAlbumPicViewController::toGoBack() {
    auto alert = AlertView::make(localized("放弃此次编辑?"), "", weakAs<AlertViewDelegate>(), localized("否"), {localized("是")});
    alert->setTag(kUploadLeaveTag);
    alert->show();
}

void MVTUpAlbumPicViewController::goback() {
    newAlbumObserver_.reset();
    if (auto stack = navigationController()) stack->popViewController(true);
}
