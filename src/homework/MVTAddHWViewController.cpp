#include "homework/MVTAddHWViewController.h"

#include "core/MVTAudioRecordAndTransCoding.h"
#include "core/MVTPublicMethod.h"
#include "homework/HomeworkScreen.h"
#include "homework/MVTClassListViewcontroller.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/HttpClient.h"
#include "platform/HttpMultipartForm.h"
#include "platform/HttpRequestOperation.h"
#include "platform/NotificationCenter.h"
#include "platform/StatisticsKit.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

constexpr const char* kCourseComposerOctetStream = "application/octet-stream";
constexpr double kCourseComposerRowHeight = 40;
constexpr double kChipPitch = 35;
const Color kChipColour = Color::rgba(0.173, 0.588, 0.961);

double composerScreenWidth() { return Screen::mainScreen().bounds().width(); }
double composerScreenHeight() { return Screen::mainScreen().bounds().height(); }

class CourseComposerBodyDelegate : public TextViewDelegate {
public:
    explicit CourseComposerBodyDelegate(std::weak_ptr<MVTAddHWViewController> owner) : owner_(std::move(owner)) {}
    bool textViewShouldBeginEditing(TextView&) override {
        auto owner = owner_.lock();
        return owner ? owner->textViewShouldBeginEditing() : true;
    }
    void textViewDidBeginEditing(TextView&) override {
        if (auto owner = owner_.lock()) owner->textViewDidBeginEditing();
    }
    void textViewDidEndEditing(TextView&) override {
        if (auto owner = owner_.lock()) owner->textViewDidEndEditing();
    }

private:
    std::weak_ptr<MVTAddHWViewController> owner_;
};

}  // namespace

void MVTAddHWViewController::viewDidLoad() {
    MVTAddEssayViewController::viewDidLoad();
    setTitle(localized(kPageName));
    StatisticsKit::shared().beginLogPageView(kPageName);
    subjectArray_ = Json::array();
    courseArray_ = Json::array();
    classArray_ = Json::array();
    bodyDelegate_ = std::make_shared<CourseComposerBodyDelegate>(weakAs<MVTAddHWViewController>());
    textView()->setDelegate(bodyDelegate_);
    picView();
    vedioView();
    myvedioView->setHidden(true);
}

// ---- Rows

int MVTAddHWViewController::numberOfRowsInSection(TableView&, int) {
    numcount = 7;
    return numcount;
}

double MVTAddHWViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const double V = view()->bounds().height();
    switch (indexPath.row) {
    case 3:
        if (classArray_.size() <= 1) return kCourseComposerRowHeight;
        if (classArray_.size() == 2) return 80;
        return std::max(classHeight_, 80.0);
    case 4:
        return textHeight != 0 && textHeight > V - 326 ? textHeight : V - 350;
    case 5:
        return 90;
    case 6:
        return 55;
    default:
        return kCourseComposerRowHeight;
    }
}

std::shared_ptr<Label> MVTAddHWViewController::labelNamed(const std::string& text, const Rect& rect) {
    auto label = std::make_shared<Label>(rect);
    label->setTextColor(Color::black());
    label->setFont(Font::boldSystemFontOfSize(16));
    label->setBackgroundColor(Color::clear());
    label->setText(text);
    return label;
}

std::shared_ptr<Button> MVTAddHWViewController::addBtnWithTag(int tag) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({composerScreenWidth() - 60, 0, 60, 40});
    button->setImage(Image::imageNamed("add_nor_org"));
    button->setImageEdgeInsets({5, 15, 5, 15});
    button->setTag(tag);
    auto weak = weakAs<MVTAddHWViewController>();
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->showLists(control.tag());
    });
    return button;
}

void MVTAddHWViewController::addSeparator(View& content, double y) {
    auto line = std::make_shared<ImageView>(Rect(0, y, composerScreenWidth(), 1));
    line->setImage(Image::imageNamed("line_10"));
    content.addSubview(line);
}

void MVTAddHWViewController::addNameStrip(View& content, const std::string& name, double labelWidth) {
    const double width = TextMeasure::sizeWithFont(name, Font::boldSystemFontOfSize(16)).width;
    if (width <= 200) {
        content.addSubview(labelNamed(name, {labelWidth + 10, 5, 200, 35}));
        return;
    }
    auto strip = std::make_shared<ScrollView>(Rect(60, 5, 200, 30));
    strip->setShowsHorizontalScrollIndicator(false);
    strip->setContentSize({width + 10, 30});
    strip->addSubview(labelNamed(name, {0, 0, width, 35}));
    content.addSubview(strip);
}

std::shared_ptr<TableViewCell> MVTAddHWViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                             const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "cell");
    }
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    auto content = cell->contentView();
    const std::vector<std::shared_ptr<View>> old = content->subviews();
    for (const auto& view : old) view->removeFromSuperview();

    const int row = indexPath.row;
    static const char* const kWords[] = {"标题", "科目", "课程", "班级"};
    double L = 0;
    if (row <= 3) {
        const std::string word = homework::fill("%@:", {localized(kWords[row])});
        L = TextMeasure::sizeWithFont(word, Font::boldSystemFontOfSize(16)).width;
        content->addSubview(labelNamed(word, {5, 5, L, 35}));
    }
    switch (row) {
    case 0:
        if (!titletField_) {
            titletField_ = std::make_shared<TextField>(Rect(L + 15, 7, 200, 30));
            titletField_->setDelegate(weakAs<TextFieldDelegate>());
        }
        titletField_->setFrame({L + 15, 7, 200, 30});
        content->addSubview(titletField_);
        addSeparator(*content, 39);
        break;
    case 1:
        content->addSubview(addBtnWithTag(kSubjectButtonTag));
        if (!subjectArray_.empty()) content->addSubview(labelNamed(textOf(subjectArray_[0], "name"), {L + 10, 5, 200, 35}));
        addSeparator(*content, 39);
        break;
    case 2:
        content->addSubview(addBtnWithTag(kCourseButtonTag));
        if (!courseArray_.empty()) addNameStrip(*content, textOf(courseArray_[0], "name"), L);
        addSeparator(*content, 39);
        break;
    case 3:
        content->addSubview(addBtnWithTag(kClassButtonTag));
        putRecivedView();
        if (classesView_) content->addSubview(classesView_);
        if (upDownBt_) content->addSubview(upDownBt_);
        addSeparator(*content, classHeight_ - 1);
        break;
    case 4: {
        auto text = textView();
        if (textHeight == 0) text->setFrame({5, 2, view()->bounds().width() - 10, view()->bounds().height() - 348});
        content->addSubview(text);
        break;
    }
    case 5:
        content->addSubview(picScrollView);
        break;
    case 6:
        content->addSubview(myvedioView);
        myvedioView->setHidden(vedioPath.empty());
        break;
    default:
        break;
    }
    return cell;
}

// ---- Choosing subject, course and classes

void MVTAddHWViewController::showLists(int tag) {
    std::shared_ptr<MVTClassListViewcontroller> chooser;
    if (tag == kSubjectButtonTag) {
        rowNum_ = 1;
        chooser = MVTClassListViewcontroller::initWithArray(subjectArray_, 1, "");
        chooser->setTitle(localized("选择科目"));
    } else if (tag == kCourseButtonTag) {
        if (subjectArray_.empty() || !subjectArray_[0].contains("id")) {
            showAlert(localized("选择科目"), localized("知道了"));
            return;
        }
        rowNum_ = 2;
        chooser = MVTClassListViewcontroller::initWithArray(courseArray_, 2, textOf(subjectArray_[0], "id"));
        chooser->setTitle(localized("选择课程"));
    } else if (tag == kClassButtonTag) {
        if (courseArray_.empty() || !courseArray_[0].contains("id")) {
            showAlert(localized("选择课程"), localized("知道了"));
            return;
        }
        rowNum_ = 3;
        chooser = MVTClassListViewcontroller::initWithArray(classArray_, 3, textOf(courseArray_[0], "id"));
        chooser->setTitle(localized("选择班级"));
    } else {
        return;
    }
    chooser->setDelegate(weakAs<AllListDelegate>());
    if (navigationController()) navigationController()->pushViewController(chooser, true);
}

void MVTAddHWViewController::returnList(const Json& list, const Json&) {
    const Json chosen = list.is_array() ? list : Json::array();
    switch (rowNum_) {
    case 3:
        if (chosen == classArray_) return;
        classArray_ = chosen;
        if (classHeight_ > 80) classHeight_ = 80;
        show_ = false;
        break;
    case 2:
        if (chosen == courseArray_) return;
        courseArray_ = chosen;
        classArray_ = Json::array();
        break;
    case 1:
        if (chosen == subjectArray_) return;
        subjectArray_ = chosen;
        courseArray_ = Json::array();
        classArray_ = Json::array();
        break;
    default:
        return;
    }
    addTableView->reloadData();
}

void MVTAddHWViewController::putRecivedView() {
    if (classesView_) classesView_->removeFromSuperview();
    classesView_.reset();
    if (upDownBt_) upDownBt_->removeFromSuperview();
    upDownBt_.reset();
    if (classArray_.empty()) return;

    classesView_ = std::make_shared<View>(Rect(0, 0, 265, classHeight_));
    classesView_->setBackgroundColor(Color::clear());
    auto weak = weakAs<MVTAddHWViewController>();
    const std::size_t shown = show_ ? classArray_.size() : std::min<std::size_t>(2, classArray_.size());
    for (std::size_t i = 0; i < shown; ++i) {
        auto chip = std::make_shared<View>(Rect(60, 6 + kChipPitch * static_cast<double>(i), 205, 30));
        chip->setBackgroundColor(kChipColour.withAlpha(0.3));
        chip->setBorderWidth(1);
        chip->setBorderColor(kChipColour.withAlpha(0.7));
        chip->setCornerRadius(8);
        chip->setTag(static_cast<int>(i) + kChipTagBase);
        const std::string shownName = textOf(classArray_[i], "name");
        const Font font = Font::boldSystemFontOfSize(16);
        const double w = TextMeasure::sizeWithFont(shownName, font).width;
        auto label = labelNamed(shownName, {(205 - w) / 2, 2.5, w, 25});
        label->setTextAlignment(TextAlignment::Center);
        label->setUserInteractionEnabled(false);
        if (w > 205) {
            auto strip = std::make_shared<ScrollView>(Rect(0, 0, 200, 30));
            strip->setShowsHorizontalScrollIndicator(false);
            strip->setContentSize({w + 10, 30});
            label->setFrame({0, 2.5, w, 25});
            strip->addSubview(label);
            chip->addSubview(strip);
        } else {
            chip->addSubview(label);
        }
        const int position = static_cast<int>(i);
        chip->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
            if (auto self = weak.lock()) self->tapToremoveDelete();
        }));
        chip->addGestureRecognizer(std::make_shared<LongPressGestureRecognizer>([weak, position](GestureRecognizer& g) {
            if (g.state() != GestureState::Began) return;
            if (auto self = weak.lock()) self->deleteReceiver(position);
        }));
        classesView_->addSubview(chip);
    }

    if (classArray_.size() >= 3) {
        upDownBt_ = Button::buttonWithType(ButtonType::Custom);
        upDownBt_->setFrame({275, classHeight_ - 34, 30, 30});
        upDownBt_->setImage(Image::imageNamed(show_ ? "listup" : "listdown"));
        upDownBt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->upAndDown();
        });
    }
}

void MVTAddHWViewController::upAndDown() {
    show_ = !show_;
    classHeight_ = show_ ? static_cast<double>(classArray_.size()) * kChipPitch + 5 : 80;
    addTableView->reloadData();
}

void MVTAddHWViewController::tapToremoveDelete() {
    if (!classesView_) return;
    for (const auto& chip : classesView_->subviews())
        if (auto button = chip->viewWithTag(1)) button->removeFromSuperview();
}

void MVTAddHWViewController::deleteReceiver(int position) {
    if (!classesView_) return;
    auto chip = classesView_->viewWithTag(position + kChipTagBase);
    if (!chip || chip->viewWithTag(1)) return;
    tapToremoveDelete();
    auto remove = Button::buttonWithType(ButtonType::Custom);
    remove->setFrame({0.5, 5, 20, 20});
    remove->setImage(Image::imageNamed("icon_57.png"));
    remove->setTag(1);
    auto weak = weakAs<MVTAddHWViewController>();
    remove->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->cancelBtnClick();
    });
    chip->addSubview(remove);
    selectTag_ = position + kChipTagBase;
}

void MVTAddHWViewController::cancelBtnClick() {
    const int position = selectTag_ - kChipTagBase;
    if (position < 0 || position >= static_cast<int>(classArray_.size())) return;
    classArray_.erase(classArray_.begin() + position);
    if (classHeight_ > 40) classHeight_ -= kChipPitch;
    addTableView->reloadData();
}

// ---- Keyboard and editing

bool MVTAddHWViewController::bodyEditing() const { return mytextView && mytextView->isFirstResponder(); }

void MVTAddHWViewController::ensureKeyboardBar(double keyboardHeight) {
    const double V = view()->bounds().height();
    const double W = composerScreenWidth();
    if (!hidKeyBoardView) {
        hidKeyBoardView = std::make_shared<View>(Rect(0, V - keyboardHeight - 40, W, 40));
        hidKeyBoardView->setBackgroundColor(Color::clear());
        const std::string done = localized("完成");
        const double width = TextMeasure::sizeWithFont(done, Font::systemFontOfSize(14)).width + 10;
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({W - width, 0, width, 40});
        button->setBackgroundColor(Color::rgba(0.863, 0.875, 0.886));
        button->setCornerRadius(2);
        button->setTitle(done);
        button->setTitleColor(Color::black());
        button->titleLabel()->setFont(Font::systemFontOfSize(14));
        auto weak = weakAs<MVTAddHWViewController>();
        button->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->removeKeyBoard();
        });
        hidKeyBoardView->addSubview(button);
        view()->addSubview(hidKeyBoardView);
    }
    hidKeyBoardView->setFrame({0, V - keyboardHeight - 40, W, 40});
    view()->bringSubviewToFront(hidKeyBoardView);
}

void MVTAddHWViewController::keyboardWillShow(const Notification& notification) {
    const Rect keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey);
    ensureKeyboardBar(keyboard.height());
    const double V = view()->bounds().height();
    if (bodyEditing() && !hasKeyBoard_) {
        isFirst_ = false;
        hasKeyBoard_ = true;
        addTableView->setFrame({0, 0, composerScreenWidth(), V - keyboard.height()});
        if (mytextView->text().empty())
            addTableView->scrollToRowAtIndexPath(IndexPath::forRow(2, 0), TableViewScrollPosition::Top, true);
    }
    hidKeyBoardView->setHidden(!bodyEditing());
}

void MVTAddHWViewController::keyboardChange(const Notification& notification) {
    if (!bodyEditing()) return;
    const Rect keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey);
    ensureKeyboardBar(keyboard.height());
    const double V = view()->bounds().height();
    addTableView->setFrame({0, 0, composerScreenWidth(), V - keyboard.height()});
    hidKeyBoardView->setHidden(false);
}

void MVTAddHWViewController::keyboardWillHidden(const Notification&) {
    if (bodyEditing()) {
        addTableView->setFrame({0, 0, composerScreenWidth(), composerScreenHeight() - 55 - SDH - 44});
        if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    }
    isFirst_ = false;
    hasKeyBoard_ = false;
}

void MVTAddHWViewController::removeKeyBoard() {
    if (bodyEditing()) mytextView->resignFirstResponder();
}

bool MVTAddHWViewController::textFieldShouldBeginEditing(TextField&) {
    isFirst_ = true;
    addTableView->setFrame({0, 0, composerScreenWidth(), composerScreenHeight()});
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    return true;
}

bool MVTAddHWViewController::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    return true;
}

bool MVTAddHWViewController::textViewShouldBeginEditing() {
    const double V = view()->bounds().height();
    const double W = composerScreenWidth();
    if (isFirst_) {
        addTableView->setFrame({0, 0, W, V - 216});
        addTableView->setContentSize({W, V - 216});
    }
    if (hidKeyBoardView) hidKeyBoardView->setHidden(false);
    if (!mytextView->text().empty()) {
        const double caretTop = mytextView->caretRectForPosition(mytextView->selectedRange().location).y();
        const double y = caretTop + classHeight_ + 120;
        if (y > V - 276) addTableView->setContentOffset({0, y - (V - 276)}, true);
    }
    return true;
}

void MVTAddHWViewController::textViewDidBeginEditing() {
    if (auto placeholder = mytextView->viewWithTag(kPlaceholderTag)) placeholder->setHidden(true);
}

void MVTAddHWViewController::textViewDidEndEditing() {
    if (auto placeholder = mytextView->viewWithTag(kPlaceholderTag)) placeholder->setHidden(!mytextView->text().empty());
    const double V = view()->bounds().height();
    const double c = mytextView->contentSize().height;
    if (c > V - 348) {
        const Rect frame = mytextView->frame();
        mytextView->setFrame({frame.x(), frame.y(), frame.width(), c});
        textHeight = static_cast<float>(c + 10);
    } else {
        textHeight = 0;
        mytextView->setFrame({5, 2, view()->bounds().width() - 10, V - 348});
    }
    addTableView->reloadData();
}

// ---- Sending and leaving

void MVTAddHWViewController::showAlert(const std::string& message, const std::string& button) {
    AlertView::make(localized("提示"), message, {}, button)->show();
}

void MVTAddHWViewController::sendBtnClicked(Button*) {
    if (issending) return;
    const std::string course = courseArray_.empty() ? std::string() : textOf(courseArray_[0], "id");
    const std::string title = titletField_ ? titletField_->text() : std::string();
    const std::string body = mytextView ? mytextView->text() : std::string();
    if (courseArray_.empty()) return showAlert(localized("请选择课程后提交"), localized("知道了"));
    if (classArray_.empty()) return showAlert(localized("请选择班级后提交"), localized("知道了"));
    if (body.empty() && imageArray.empty() && vedioPath.empty())
        return showAlert(localized("请输入内容后提交"), localized("知道了"));
    if (title.empty()) return showAlert(localized("请输入标题后提交"), localized("知道了"));
    if (utf16Length(title) > kTitleLimit) return showAlert(localized("标题不能超过50个字"), localized("知道了"));

    if (!startSend(titletField_.get())) return;

    const std::string url = homework::serviceUrl("course/homework/" + course + "/publish");
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        finishSend();
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    std::string classes;
    for (const auto& record : classArray_) {
        if (!classes.empty()) classes += ",";
        classes += textOf(record, "id");
    }
    const std::string model = MVTPublicMethod::currentDevicemodel();
    std::vector<std::shared_ptr<Image>> pictures;
    for (const auto& picture : imageArray)
        if (picture.image) pictures.push_back(picture.image);
    const std::string take = vedioPath;
    UrlRequest request = client->multipartFormRequestWithMethod("POST", url, nullptr, [&](HttpMultipartForm& form) {
        if (!title.empty()) form.appendPart("title", title);
        if (!body.empty()) form.appendPart("content", body);
        if (!classes.empty()) form.appendPart("classes", classes);
        if (picNum != 0 && !pictures.empty()) {
            int number = 1;
            for (const auto& picture : pictures) {
                const std::string name = pictures.size() == 1
                                             ? "来自" + model + "的图片.png"
                                             : "来自" + model + "的图片" + std::to_string(number) + ".png";
                form.appendPart("image", percentEscape(name), kCourseComposerOctetStream, MVTPublicMethod::imageData(picture));
                ++number;
            }
        }
        if (!take.empty()) {
            form.appendPartWithFile("amr", MVTAudioRecordAndTransCoding::amrPathForName(take),
                                    percentEscape("来自" + model + "的音频.amr"), kCourseComposerOctetStream);
            form.appendPart("duration", std::to_string(MVTPublicMethod::getVedioLength(take)));
        }
    });
    request.setTimeoutInterval(kSendTimeout);
    auto weak = weakAs<MVTAddHWViewController>();
    sending_ = client->HTTPRequestOperationWithRequest(
        request,
        [weak](HttpRequestOperation&, const std::string& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->finishSend();
            if (integerValue(trimmed(reply)) == 0) {
                self->showAlert(localized("保存失败,请重新发送"), localized("确定"));
                return;
            }
            self->dismissViewController(true);
            auto& center = NotificationCenter::defaultCenter();
            center.postNotification("publishNewHM");
            center.postNotification("reloadTimer");
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->finishSend();
            self->showAlert(localized("发送失败,请重新发送"), localized("确定"));
        });
    sending_->start();
}

bool MVTAddHWViewController::isEmpty() const {
    const bool noTitle = !titletField_ || titletField_->text().empty();
    const bool noBody = !mytextView || mytextView->text().empty();
    return noTitle && noBody && imageArray.empty() && vedioPath.empty() && classArray_.empty() && courseArray_.empty();
}

void MVTAddHWViewController::leave() {
    dismissViewController(true);
    StatisticsKit::shared().endLogPageView(kPageName);
}

void MVTAddHWViewController::goback() {
    if (isEmpty()) {
        leave();
        return;
    }
    AlertView::make(localized("提示"), localized("放弃此次编辑?"), weakAs<AlertViewDelegate>(), localized("取消"),
                    {localized("确定")})
        ->show();
}

void MVTAddHWViewController::alertViewClickedButtonAtIndex(AlertView&, long index) {
    if (index == 1) leave();
}
