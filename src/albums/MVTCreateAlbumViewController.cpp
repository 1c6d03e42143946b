#include "albums/MVTCreateAlbumViewController.h"

#include "albums/AlbumCommon.h"
#include "albums/MVTUpAlbumPicViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/HttpClient.h"
#include "platform/Log.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

// Hands the two fields' editing to the screen.
class CreateAlbumFieldDelegate : public TextViewDelegate {
public:
    explicit CreateAlbumFieldDelegate(std::weak_ptr<MVTCreateAlbumViewController> screen) : screen_(std::move(screen)) {}
    void textViewDidChange(TextView& view) override {
        if (auto screen = screen_.lock()) screen->textViewDidChange(view);
    }
    bool textViewShouldBeginEditing(TextView& view) override {
        if (auto screen = screen_.lock()) return screen->textViewShouldBeginEditing(view);
        return true;
    }
    bool textViewShouldEndEditing(TextView& view) override {
        if (auto screen = screen_.lock()) return screen->textViewShouldEndEditing(view);
        return true;
    }

private:
    std::weak_ptr<MVTCreateAlbumViewController> screen_;
};

constexpr double kCreateAlbumGroupTimeout = 30;
constexpr double kCreateAlbumSlide = 0.25;
const Color kCreateAlbumText = Color::white(0.333);

std::shared_ptr<Label> createAlbumLabel(const Rect& frame, const std::string& text, double size, const Color& color,
                                        TextAlignment alignment) {
    auto label = std::make_shared<Label>(frame);
    label->setText(text);
    label->setFont(Font::systemFontOfSize(size));
    label->setTextColor(color);
    label->setTextAlignment(alignment);
    label->setBackgroundColor(Color::clear());
    return label;
}

std::shared_ptr<TextView> createAlbumField(const Rect& frame, int tag) {
    auto field = std::make_shared<TextView>(frame);
    field->setBackgroundColor(Color::whiteColor());
    field->setFont(Font::systemFontOfSize(15));
    field->setTextColor(kCreateAlbumText);
    field->setTag(tag);
    return field;
}

}  // namespace

bool MVTCreateAlbumViewController::isGroupAlbum() const { return !MVTPublicMethod::stringIsClassNull(forumId_); }

void MVTCreateAlbumViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    setTitle(localized("新建相册"));
    auto weak = weakAs<MVTCreateAlbumViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    rightBtn_ = Button::buttonWithType(ButtonType::Custom);
    rightBtn_->setFrame({0, 0, 44, 44});
    rightBtn_->setBackgroundColor(Color::clear());
    rightBtn_->setTitle(localized("完成"));
    rightBtn_->setTitleColor(Color::whiteColor());
    rightBtn_->titleLabel()->setFont(Font::systemFontOfSize(14));
    rightBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->doneCreateAlbum();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(rightBtn_));
    if (homework::currentRole() != "teacher") classId_ = "-1";
    fieldDelegate_ = std::make_shared<CreateAlbumFieldDelegate>(weak);
    createAllView();
    createDoneBtn();
    auto& center = NotificationCenter::defaultCenter();
    showObserver_ = center.addObserver(kKeyboardWillShowNotification, [weak](const Notification& note) {
        if (auto self = weak.lock()) self->keyboardWillShow(note);
    });
    hideObserver_ = center.addObserver(kKeyboardWillHideNotification, [weak](const Notification&) {
        if (auto self = weak.lock()) self->keyboardWillHidden();
    });
}

void MVTCreateAlbumViewController::createAllView() {
    const Rect screen = Screen::mainScreen().bounds();
    const double w = screen.width();
    bgView_ = std::make_shared<View>(Rect(0, 0, w, screen.height() - 64));
    bgView_->setBackgroundColor(Color::clear());
    view()->addSubview(bgView_);

    const Font caption = Font::systemFontOfSize(15);
    const std::string nameCaption = localized("相册名称");
    bgView_->addSubview(createAlbumLabel({10, 10, TextMeasure::sizeWithFont(nameCaption, caption).width, 20}, nameCaption,
                                         15, kCreateAlbumText, TextAlignment::Left));
    nameLimitLa_ = createAlbumLabel({100, 12, w - 110, 20}, localized("最多15字"), 13, Color::lightGray(),
                                    TextAlignment::Right);
    bgView_->addSubview(nameLimitLa_);
    nameTextView_ = createAlbumField({10, 35, w - 20, 50}, kNameTag);
    nameTextView_->setDelegate(fieldDelegate_);
    bgView_->addSubview(nameTextView_);

    const std::string detailCaption = localized("相册描述");
    bgView_->addSubview(createAlbumLabel({10, 95, TextMeasure::sizeWithFont(detailCaption, caption).width, 20},
                                         detailCaption, 15, kCreateAlbumText, TextAlignment::Left));
    detailLimitLa_ = createAlbumLabel({50, 97, w - 60, 20}, localized("选填 最多30字"), 13, Color::lightGray(),
                                      TextAlignment::Right);
    bgView_->addSubview(detailLimitLa_);
    detailsTextView_ = createAlbumField({10, 120, w - 20, 110}, kDetailTag);
    detailsTextView_->setDelegate(fieldDelegate_);
    bgView_->addSubview(detailsTextView_);

    const bool editing = albumDic_ != nullptr;
    if (editing) {
        setTitle(localized("编辑相册"));
        nameTextView_->setText(albums::text(*albumDic_, "name"));
        detailsTextView_->setText(albums::text(*albumDic_, "description"));
        if (!nameTextView_->text().empty()) showCount(*nameTextView_);
        if (!detailsTextView_->text().empty()) showCount(*detailsTextView_);
    }
    // The class row: class albums of teachers only; others go to class "-1".
    if (isGroupAlbum() || homework::currentRole() != "teacher") return;
    classBtn_ = Button::buttonWithType(ButtonType::Custom);
    classBtn_->setFrame({10, 240, w - 20, 40});
    classBtn_->setBackgroundImage(Image::imageWithColor(Color::whiteColor()), ControlStateNormal);
    classBtn_->setBackgroundImage(Image::imageWithColor(Color::white(0.898)), ControlStateHighlighted);
    classLa_ = createAlbumLabel({5, 0, editing ? w - 40 : w - 51, 40}, "", 15, kCreateAlbumText, TextAlignment::Center);
    classBtn_->addSubview(classLa_);
    if (editing) {
        className_ = albums::text(*albumDic_, "classFullName");
        classId_ = albums::text(*albumDic_, "classId");
        classLa_->setText(className_);
        classBtn_->setUserInteractionEnabled(false);
    } else {
        classLa_->setText(localized("请选择班级"));
        classBtn_->setImage(Image::imageNamed("rightArrow.png"));
        classBtn_->setImageEdgeInsets({15, w - 30, 15, 4});
        auto weak = weakAs<MVTCreateAlbumViewController>();
        classBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toselectClass();
        });
    }
    bgView_->addSubview(classBtn_);
}

void MVTCreateAlbumViewController::createDoneBtn() {
    if (doneBtn_) return;
    doneBtn_ = MVTPublicMethod::navigationrightBarButton(localized("完成"));
    doneBtn_->setCornerRadius(2);
    doneBtn_->setClipsToBounds(true);
    auto weak = weakAs<MVTCreateAlbumViewController>();
    doneBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toDoneKeyboard();
    });
    view()->addSubview(doneBtn_);
    doneBtn_->setHidden(true);
}

void MVTCreateAlbumViewController::keyboardWillShow(const Notification& note) {
    const Rect screen = Screen::mainScreen().bounds();
    const double keyboard = keyboardFrameFromUserInfo(note.userInfo, kKeyboardFrameEndUserInfoKey).height();
    view()->bringSubviewToFront(doneBtn_);
    doneBtn_->setFrame({screen.width() - 44, screen.height() - 102 - keyboard, 44, 40});
    doneBtn_->setHidden(false);
}

void MVTCreateAlbumViewController::keyboardWillHidden() { doneBtn_->setHidden(true); }

void MVTCreateAlbumViewController::endEditingBoth() {
    nameTextView_->resignFirstResponder();
    detailsTextView_->resignFirstResponder();
}

void MVTCreateAlbumViewController::toDoneKeyboard() {
    endEditingBoth();
    doneBtn_->setHidden(true);
}

void MVTCreateAlbumViewController::goback() {
    showObserver_.reset();
    hideObserver_.reset();
    if (auto stack = navigationController()) stack->popViewController(true);
}

// ---- Fields

void MVTCreateAlbumViewController::showCount(TextView& field) {
    const bool name = field.tag() == kNameTag;
    const std::string limit = localized(name ? "最多15字" : "选填 最多30字");
    auto& counter = name ? nameLimitLa_ : detailLimitLa_;
    if (field.text().empty()) {
        counter->setText(limit);
        return;
    }
    counter->setText(limit + " " + localized("已输入") + std::to_string(utf16Length(field.text())) + localized("字"));
}

void MVTCreateAlbumViewController::textViewDidChange(TextView& field) {
    if (field.tag() == kNameTag || field.tag() == kDetailTag) showCount(field);
}

bool MVTCreateAlbumViewController::textViewShouldBeginEditing(TextView& field) {
    if (field.tag() == kDetailTag) {
        auto bg = bgView_;
        animate(kCreateAlbumSlide, [bg] { bg->setFrame({0, -90, bg->frame().width(), bg->frame().height()}); });
    }
    return true;
}

bool MVTCreateAlbumViewController::textViewShouldEndEditing(TextView& field) {
    if (field.tag() == kNameTag) {
        if (utf16Length(field.text()) > kNameLimit) {
            field.setText(utf16Substring(field.text(), 0, kNameLimit));
            nameLimitLa_->setText(localized("最多15字"));
        }
    } else if (field.tag() == kDetailTag) {
        auto bg = bgView_;
        animate(kCreateAlbumSlide, [bg] { bg->setFrame({0, 0, bg->frame().width(), bg->frame().height()}); });
        if (utf16Length(field.text()) > kDetailLimit) {
            field.setText(utf16Substring(field.text(), 0, kDetailLimit));
            detailLimitLa_->setText(localized("选填 最多30字"));
        }
    }
    return true;
}

// ---- Class choice

void MVTCreateAlbumViewController::toselectClass() {
    auto chooser = std::make_shared<MVTSelectClassOrAlbumViewController>();
    chooser->setTypeStr("class");
    chooser->setDelegate(weakAs<MVTSelectClassOrAlbumViewDelegate>());
    if (!classId_.empty()) {
        chooser->setIdStr(classId_);
        chooser->setNameStr(className_);
    }
    if (auto stack = navigationController()) stack->pushViewController(chooser, true);
}

void MVTCreateAlbumViewController::whichSelectdWith(const std::string& name, const std::string& id) {
    className_ = name;
    classId_ = id;
    if (classLa_) classLa_->setText(name);
}

// ---- Saving

void MVTCreateAlbumViewController::doneCreateAlbum() {
    if (!albumDic_)
        isGroupAlbum() ? addNewAlbumForGroup() : addNewAlbum();
    else
        isGroupAlbum() ? editOldAlbumForGroup() : editOldAlbum();
}

void MVTCreateAlbumViewController::showMindWith(const std::string& text) {
    auto alert = AlertView::make(text, "", weakAs<AlertViewDelegate>(), localized("知道了"));
    if (text == localized("编辑相册成功")) alert->setTag(kAddPicturesAlertTag);
    alert->show();
}

void MVTCreateAlbumViewController::addNewAlbum() {
    endEditingBoth();
    if (classId_.empty()) {
        showMindWith(localized("请选择班级"));
        return;
    }
    if (nameTextView_->text().empty()) {
        showMindWith(localized("请填写相册名称"));
        return;
    }
    rightBtn_->setUserInteractionEnabled(false);
    auto weak = weakAs<MVTCreateAlbumViewController>();
    saving_ = sendRequest(
        "POST", "class/" + classId_ + "/" + homework::currentUserId() + "/album/add",
        {{"power", "3"}, {"name", nameTextView_->text()}, {"description", detailsTextView_->text()}},
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->createAnswered(reply, false);
        },
        [weak] {
            if (auto self = weak.lock()) self->createFailed();
        });
    // Offline nothing is sent: the done button works again.
    if (!saving_) rightBtn_->setUserInteractionEnabled(true);
}

void MVTCreateAlbumViewController::sendGroupSave(const std::string& name, const std::string& description,
                                                 const std::string& albumId,
                                                 std::function<void(const Json&)> reply, std::function<void()> failure) {
    const std::string url =
        homework::serviceUrl("forum/" + homework::currentUserId() + "/" + forumId_ + "/" + fieldId_ + "/album/save");
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) return;
    UrlRequest request = client->multipartFormRequestWithMethod("POST", url, nullptr, [&](HttpMultipartForm& form) {
        form.appendPart("name", name);
        form.appendPart("description", description);
        if (!albumId.empty()) form.appendPart("id", albumId);
    });
    request.setTimeoutInterval(kCreateAlbumGroupTimeout);
    saving_ = client->JSONRequestOperationWithRequest(
        request, [reply = std::move(reply)](HttpJsonRequestOperation&, const Json& body) { reply(body); },
        [failure = std::move(failure)](HttpRequestOperation&, const HttpError&) { failure(); });
    saving_->start();
}

void MVTCreateAlbumViewController::addNewAlbumForGroup() {
    endEditingBoth();
    if (nameTextView_->text().empty()) {
        showMindWith(localized("请填写相册名称"));
        return;
    }
    saving_.reset();
    showHUDWithBool(true);
    rightBtn_->setUserInteractionEnabled(false);
    auto weak = weakAs<MVTCreateAlbumViewController>();
    sendGroupSave(
        nameTextView_->text(), detailsTextView_->text(), "",
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->createAnswered(reply, true);
        },
        [weak] {
            if (auto self = weak.lock()) self->createFailed();
        });
    if (!saving_) {
        showHUDWithBool(false);
        rightBtn_->setUserInteractionEnabled(true);
    }
}

void MVTCreateAlbumViewController::createFailed() {
    saving_.reset();
    showHUDWithBool(false);
    showMindWith(localized("创建相册失败"));
    rightBtn_->setUserInteractionEnabled(true);
}

void MVTCreateAlbumViewController::createAnswered(const Json& reply, bool group) {
    saving_.reset();
    showHUDWithBool(false);
    logText("album create reply: " + reply.dump());
    if (!reply.is_object()) {
        createFailed();
        return;
    }
    if (!homework::readsTrue(valueFor(reply, "success"))) {
        showMindWith(reply.contains("message") ? albums::text(reply, "message") : localized("创建相册失败"));
        rightBtn_->setUserInteractionEnabled(true);
        return;
    }
    newAlbumId_ = albums::text(reply, group ? "id" : "albumId");
    // Created once: no done button any more.
    navigationItem().setRightBarButtonItem(nullptr);
    auto& center = NotificationCenter::defaultCenter();
    if (view()->accessibilityValue() == kUpNewAlbumMarker) {
        center.postNotification(MVTUpAlbumPicViewController::kNewAlbumNotification,
                                    Json{{"name", nameTextView_->text()}, {"id", newAlbumId_}});
        showObserver_.reset();
        hideObserver_.reset();
        auto stack = navigationController();
        if (!stack) return;
        const auto& screens = stack->viewControllers();
        if (screens.size() >= 3) stack->popToViewController(screens[screens.size() - 3].get(), true);
        return;
    }
    if (group) center.postNotification(kReloadGroupAlbumsNotification);
    auto alert = AlertView::make(localized("创建成功，是否添加图片？"), "", weakAs<AlertViewDelegate>(), localized("否"),
                                 {localized("是")});
    alert->setTag(kAddPicturesAlertTag);
    alert->show();
}

void MVTCreateAlbumViewController::editFailed() {
    saving_.reset();
    showMindWith(localized("编辑相册失败"));
    rightBtn_->setUserInteractionEnabled(true);
}

void MVTCreateAlbumViewController::editOldAlbum() {
    // The cuts to 15 and 30 apply here too, and an empty name is refused as on create.
    endEditingBoth();
    if (nameTextView_->text().empty()) {
        showMindWith(localized("请填写相册名称"));
        return;
    }
    auto weak = weakAs<MVTCreateAlbumViewController>();
    auto failed = [weak] {
        if (auto self = weak.lock()) self->editFailed();
    };
    saving_ = sendRequest(
        "POST", "class/" + albums::text(*albumDic_, "id") + "/" + homework::currentUserId() + "/album/edit",
        {{"power", "3"}, {"name", nameTextView_->text()}, {"description", detailsTextView_->text()}},
        [weak, failed](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            if (!reply.is_object() || !homework::readsTrue(valueFor(reply, "success"))) {
                failed();
                return;
            }
            self->saving_.reset();
            self->showMindWith(localized("编辑相册成功"));
            self->rightBtn_->setUserInteractionEnabled(true);
        },
        failed, false);
}

void MVTCreateAlbumViewController::editOldAlbumForGroup() {
    const std::string name = nameTextView_->text(), description = detailsTextView_->text();
    if (name == albums::text(*albumDic_, "name") && description == albums::text(*albumDic_, "description")) {
        // Shown as it stands, in every language.
        AlertView::make(localized("提示"), "相册信息未更改", {}, localized("我知道了"))->show();
        return;
    }
    auto weak = weakAs<MVTCreateAlbumViewController>();
    auto failed = [weak] {
        if (auto self = weak.lock()) self->editFailed();
    };
    sendGroupSave(
        name, description, albums::text(*albumDic_, "id"),
        [weak, failed, name, description](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            if (!reply.is_object()) {
                failed();
                return;
            }
            self->saving_.reset();
            self->rightBtn_->setUserInteractionEnabled(true);
            if (!homework::readsTrue(valueFor(reply, "success"))) {
                self->showMindWith(albums::text(reply, "msg"));
                return;
            }
            self->showMindWith(localized("编辑相册成功"));
            (*self->albumDic_)["description"] = description;
            (*self->albumDic_)["name"] = name;
            NotificationCenter::defaultCenter().postNotification(kReloadGroupAlbumsNotification);
        },
        failed);
}

void MVTCreateAlbumViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kAddPicturesAlertTag) return;
    if (index == 0) {
        goback();
        return;
    }
    auto upload = std::make_shared<MVTUpAlbumPicViewController>();
    upload->setNameStr(nameTextView_->text());
    upload->setAlbumId(newAlbumId_);
    if (isGroupAlbum()) {
        upload->setForumId(forumId_);
        upload->setFieldId(fieldId_);
    }
    if (auto stack = navigationController()) stack->pushViewController(upload, true);
}
