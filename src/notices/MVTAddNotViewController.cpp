#include "notices/MVTAddNotViewController.h"

#include "notices/MVTPersonListViewController.h"
#include "notices/NoticeShared.h"

#include "contacts/MVTSelectMemberViewController.h"
#include "core/MVTAudioRecordAndTransCoding.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/HttpClient.h"
#include "platform/HttpMultipartForm.h"
#include "platform/HttpRequestOperation.h"
#include "platform/StatisticsKit.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
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
#include "platform/ui/Window.h"

using namespace platform;

namespace {

constexpr double kNoticeKeyboardHeight = 216;
constexpr const char* kNoticeOctetStream = "application/octet-stream";

double noticeComposerWidth() { return Screen::mainScreen().bounds().width(); }
double noticeComposerHeight() { return Screen::mainScreen().bounds().height(); }

class NoticeComposerBodyDelegate : public TextViewDelegate {
public:
    explicit NoticeComposerBodyDelegate(std::weak_ptr<MVTAddNotViewController> owner) : owner_(std::move(owner)) {}
    bool textViewShouldBeginEditing(TextView&) override {
        auto owner = owner_.lock();
        return owner ? owner->textViewShouldBeginEditing() : true;
    }
    void textViewDidBeginEditing(TextView& textView) override {
        if (auto placeholder = std::dynamic_pointer_cast<Label>(textView.viewWithTag(MVTAddEssayViewController::kPlaceholderTag)))
            placeholder->setText("");
    }
    void textViewDidEndEditing(TextView&) override {
        if (auto owner = owner_.lock()) owner->textViewDidEndEditing();
    }

private:
    std::weak_ptr<MVTAddNotViewController> owner_;
};

void addNoticeSeparator(View& content, double y) {
    auto line = std::make_shared<ImageView>(Rect(0, y, noticeComposerWidth(), 1));
    line->setImage(Image::imageNamed("line_10"));
    content.addSubview(line);
}

}  // namespace

MVTAddNotViewController::~MVTAddNotViewController() {
    if (sending_) sending_->cancel();
}

bool MVTAddNotViewController::admin() const { return notices::isAdmin(); }

void MVTAddNotViewController::viewDidLoad() {
    MVTAddEssayViewController::viewDidLoad();
    setTitle(localized(kPageName));
    StatisticsKit::shared().beginLogPageView(kPageName);
    isNeedHuizhi_ = false;
    addTableView->setBackgroundColor(Color::whiteColor());
    addTableView->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    bodyDelegate_ = std::make_shared<NoticeComposerBodyDelegate>(weakAs<MVTAddNotViewController>());
    textView()->setDelegate(bodyDelegate_);
    picView();
    vedioView();
    myvedioView->setHidden(true);
}

std::vector<MVTAddNotViewController::Row> MVTAddNotViewController::rows() const {
    std::vector<Row> rows{Row::Title, Row::ReceiverHeader};
    if (!recievedArray_.empty()) rows.push_back(Row::Chips);
    if (admin()) rows.push_back(Row::Sender);
    rows.insert(rows.end(), {Row::Body, Row::Pictures, Row::Voice});
    return rows;
}

int MVTAddNotViewController::numberOfRowsInSection(TableView&, int) {
    numcount = int(rows().size());
    return numcount;
}

double MVTAddNotViewController::normalBodyHeight() {
    return view()->bounds().height() - (admin() ? 271 : 311);
}

double MVTAddNotViewController::bodyRowHeight() {
    const double V = view()->bounds().height();
    if (textHeight != 0 && textHeight > V - 296) return textHeight;
    const double reserve = admin() ? (recievedArray_.empty() ? 100 : 90) : 65;
    return V - 216 - reserve;
}

double MVTAddNotViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const auto all = rows();
    if (indexPath.row < 0 || indexPath.row >= int(all.size())) return 0;
    const std::size_t n = recievedArray_.size();
    switch (all[std::size_t(indexPath.row)]) {
    case Row::Chips: return n <= 3 ? double(n) * 35 + 5 : 130;
    case Row::Body: return bodyRowHeight();
    case Row::Pictures: return 90;
    case Row::Voice: return 70;
    default: return 40;
    }
}

std::shared_ptr<Label> MVTAddNotViewController::labelNamed(const std::string& text, const Rect& rect) {
    auto label = std::make_shared<Label>(rect);
    label->setText(text);
    label->setFont(Font::boldSystemFontOfSize(14));
    label->setTextColor(notices::kLabelGrey);
    label->setBackgroundColor(Color::clear());
    return label;
}

std::shared_ptr<TableViewCell> MVTAddNotViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                              const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "cell");
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    }
    auto content = cell->contentView();
    for (const auto& sub : std::vector<std::shared_ptr<View>>(content->subviews())) sub->removeFromSuperview();
    cell->setBackgroundColor(Color::clear());
    const double W = noticeComposerWidth();
    const auto all = rows();
    if (indexPath.row < 0 || indexPath.row >= int(all.size())) return cell;
    auto rowLabel = [&](const std::string& text) {
        const Size size = TextMeasure::sizeWithFont(text, Font::boldSystemFontOfSize(14));
        content->addSubview(labelNamed(text, {15, (40 - size.height) / 2, size.width, size.height}));
        return 15 + size.width;
    };
    auto weak = weakAs<MVTAddNotViewController>();
    switch (all[std::size_t(indexPath.row)]) {
    case Row::Title: {
        const double end = rowLabel(notices::fill("%@ ", {localized("标题")}));
        if (!mytextField_) {
            mytextField_ = std::make_shared<TextField>(Rect(end, 5, W - end - 10, 30));
            mytextField_->setFont(Font::systemFontOfSize(14));
            mytextField_->setDelegate(weakAs<TextFieldDelegate>());
        }
        content->addSubview(mytextField_);
        addNoticeSeparator(*content, 39);
        break;
    }
    case Row::ReceiverHeader: {
        rowLabel(notices::fill("%@ ", {localized("接收人")}));
        auto add = Button::buttonWithType(ButtonType::Custom);
        add->setFrame({W - 35, 5, 30, 30});
        add->setImage(Image::imageNamed("add"));
        add->setImageEdgeInsets({5, 5, 5, 5});
        add->setAccessibilityLabel("添加接收人");
        add->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->addList();
        });
        content->addSubview(add);
        addNoticeSeparator(*content, 39);
        break;
    }
    case Row::Chips: {
        loadRecipientScrollView();
        if (recipientScrollView_) content->addSubview(recipientScrollView_);
        const std::size_t n = recievedArray_.size();
        addNoticeSeparator(*content, n <= 3 ? double(n) * 35 + 4 : 129);
        break;
    }
    case Row::Sender: {
        cell->setBackgroundColor(notices::kBandGreen);
        const double end = rowLabel(notices::fill("%@:", {localized("发送人")}));
        if (!nameTextField_) {
            nameTextField_ = std::make_shared<TextField>(Rect(end + 5, 5, W - end - 15, 30));
            nameTextField_->setFont(Font::systemFontOfSize(14));
            nameTextField_->setPlaceholder(localized("选填"));
            nameTextField_->setDelegate(weakAs<TextFieldDelegate>());
        }
        content->addSubview(nameTextField_);
        addNoticeSeparator(*content, 39);
        break;
    }
    case Row::Body: {
        auto text = textView();
        text->setFont(Font::systemFontOfSize(14));
        if (auto placeholder = text->viewWithTag(kPlaceholderTag)) {
            const Rect frame = placeholder->frame();
            placeholder->setFrame({10, frame.y(), frame.width(), frame.height()});
        }
        const double top = admin() ? 5 : 45;
        if (textHeight == 0) text->setFrame({5, top, W - 10, normalBodyHeight()});
        if (!admin()) {
            auto band = std::make_shared<View>(Rect(0, 0, W, 40));
            band->setBackgroundColor(notices::kBandGreen);
            const std::string word = notices::fill("%@:", {localized("是否需要回执")});
            const Size size = TextMeasure::sizeWithFont(word, Font::boldSystemFontOfSize(14));
            band->addSubview(labelNamed(word, {15, (40 - size.height) / 2, size.width, size.height}));
            receiptSwitch_ = std::make_shared<ImageView>(Rect(W - 6 - 39, 11, 39, 18));
            receiptSwitch_->setTag(kReceiptSwitchTag);
            receiptSwitch_->setImage(Image::imageNamed(isNeedHuizhi_ ? "member_select" : "member_normal"));
            band->addSubview(receiptSwitch_);
            auto toggle = Button::buttonWithType(ButtonType::Custom);
            toggle->setFrame({0, 0, W, 40});
            toggle->setAccessibilityLabel("是否需要回执");
            toggle->addTarget(ControlEventTouchUpInside, [weak](Control&) {
                if (auto self = weak.lock()) self->huizhi();
            });
            band->addSubview(toggle);
            content->addSubview(band);
        }
        content->addSubview(text);
        break;
    }
    case Row::Pictures:
        if (picScrollView) {
            picScrollView->setFrame({5, 5, view()->bounds().width() - 5, 80});
            content->addSubview(picScrollView);
        }
        break;
    case Row::Voice:
        if (myvedioView) {
            myvedioView->setFrame({15, 10, 170, 30});
            myvedioView->setHidden(vedioPath.empty());
            content->addSubview(myvedioView);
        }
        break;
    }
    return cell;
}

// ---- Receivers

void MVTAddNotViewController::addList() {
    view()->endEditing(true);
    if (admin()) {
        auto picker = MVTPersonListViewController::initWithArray(recievedArray_, roleMArray_);
        picker->setDelegate(weakAs<AllListDelegate>());
        if (auto navigation = navigationController()) navigation->pushViewController(picker, true);
        return;
    }
    auto picker = std::make_shared<MVTSelectMemberViewController>();
    picker->setWhereFrom("notic");
    picker->setIspresent(true);
    picker->setNoticSelectedArray(recievedArray_);
    auto weak = weakAs<MVTAddNotViewController>();
    receiversToken_.reset();
    receiversToken_ = NotificationCenter::defaultCenter().addObserver(
        MVTSelectMemberViewController::kReloadDataForReceivers, [weak](const Notification& note) {
            if (auto self = weak.lock()) self->reloadDataForReceivers(note.object);
        });
    if (auto navigation = navigationController()) navigation->pushViewController(picker, true);
}

void MVTAddNotViewController::reloadDataForReceivers(const Json& receivers) {
    recievedArray_ = Json::array();
    receiversToken_.reset();
    if (receivers.is_array())
        for (const auto& entry : receivers)
            if (entry.is_object()) recievedArray_.push_back(entry);
    addTableView->reloadData();
}

void MVTAddNotViewController::returnList(const Json& list, const Json& roleList) {
    if (roleList.is_array() && !roleList.empty()) roleMArray_ = roleList;
    recievedArray_ = Json::array();
    if (list.is_array())
        for (const auto& entry : list)
            if (entry.is_object()) recievedArray_.push_back(entry);
    addTableView->reloadData();
}

std::string MVTAddNotViewController::dealSelectedRole() const {
    std::string joined;
    for (const auto& role : roleMArray_) joined += (joined.empty() ? "" : "、") + textOf(role);
    return "(" + joined + ")";
}

std::string MVTAddNotViewController::dealSelectedRoleParam() const {
    std::string joined;
    for (const auto& role : roleMArray_) {
        const std::string label = textOf(role);
        const std::string name = label == localized("教师") ? "teacher" : label == localized("学生") ? "student" : "parent";
        joined += (joined.empty() ? "" : ",") + name;
    }
    return joined;
}

std::string MVTAddNotViewController::receiverIds(const Json& receivers) {
    std::string ids;
    for (const auto& receiver : receivers) {
        std::string id = textOf(receiver, "id");
        if (id.empty() || id == "<null>" || id == "(null)") id = textOf(receiver, "uid");
        ids += (ids.empty() ? "" : ",") + id;
    }
    return ids;
}

void MVTAddNotViewController::loadRecipientScrollView() {
    if (recipientScrollView_) recipientScrollView_->removeFromSuperview();
    recipientScrollView_.reset();
    const std::size_t n = recievedArray_.size();
    if (n == 0) return;
    const double W = noticeComposerWidth();
    recipientScrollView_ = std::make_shared<ScrollView>(Rect(15, 5, W - 23, n < 4 ? double(n) * 35 - 5 : 120));
    recipientScrollView_->setScrollEnabled(n > 3);
    recipientScrollView_->setContentSize({W - 23, double(n) * 35 - 5});
    const std::string roles = admin() && !roleMArray_.empty() ? dealSelectedRole() : "";
    auto weak = weakAs<MVTAddNotViewController>();
    for (std::size_t i = 0; i < n; ++i) {
        auto chip = std::make_shared<View>(Rect(0, double(i) * 35, W - 30, 30));
        chip->setTag(int(i));
        chip->setBackgroundColor(notices::kBandGreen);
        chip->setBorderWidth(1);
        chip->setBorderColor(notices::kChipBorder);
        chip->setClipsToBounds(true);
        const std::string text = textOf(recievedArray_[i], "name") + roles;
        const double textWidth = TextMeasure::sizeWithFont(text, Font::boldSystemFontOfSize(14)).width;
        auto label = labelNamed(text, {1, 1, W - 32, 28});
        label->setTextAlignment(TextAlignment::Center);
        if (textWidth > W - 32) {
            auto strip = std::make_shared<ScrollView>(Rect(1, 1, W - 32, 28));
            strip->setShowsHorizontalScrollIndicator(false);
            strip->setContentSize({textWidth + 10, 28});
            label->setFrame({0, 0, textWidth + 10, 28});
            strip->addSubview(label);
            chip->addSubview(strip);
        } else {
            chip->addSubview(label);
        }
        const int tag = int(i);
        chip->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
            if (auto self = weak.lock()) self->tapToremoveDelete();
        }));
        chip->addGestureRecognizer(std::make_shared<LongPressGestureRecognizer>([weak, tag](GestureRecognizer& g) {
            if (g.state() != GestureState::Began) return;
            if (auto self = weak.lock()) self->deleteReceiver(tag);
        }));
        recipientScrollView_->addSubview(chip);
    }
}

void MVTAddNotViewController::deleteReceiver(int chipTag) {
    if (!recipientScrollView_) return;
    std::shared_ptr<View> pressed;
    for (const auto& chip : recipientScrollView_->subviews())
        if (chip->tag() == chipTag) pressed = chip;
    if (!pressed || pressed->viewWithTag(kDeleteButtonTag)) return;
    tapToremoveDelete();
    auto remove = Button::buttonWithType(ButtonType::Custom);
    remove->setFrame({0.5, 2.5, 25, 25});
    remove->setImage(Image::imageNamed("icon_57.png"));
    remove->setTag(kDeleteButtonTag);
    auto weak = weakAs<MVTAddNotViewController>();
    remove->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->cancelBtnClick();
    });
    pressed->addSubview(remove);
    selectTag_ = chipTag + kChipTagBase;
}

void MVTAddNotViewController::tapToremoveDelete() {
    if (!recipientScrollView_) return;
    for (const auto& chip : recipientScrollView_->subviews())
        if (auto button = chip->viewWithTag(kDeleteButtonTag)) button->removeFromSuperview();
}

void MVTAddNotViewController::cancelBtnClick() {
    if (!recipientScrollView_) return;
    for (const auto& chip : recipientScrollView_->subviews()) {
        if (chip->tag() + kChipTagBase != selectTag_) continue;
        const std::size_t index = std::size_t(chip->tag());
        if (index < recievedArray_.size()) recievedArray_.erase(recievedArray_.begin() + long(index));
        break;
    }
    addTableView->reloadData();
}

void MVTAddNotViewController::huizhi() {
    isNeedHuizhi_ = !isNeedHuizhi_;
    if (receiptSwitch_) receiptSwitch_->setImage(Image::imageNamed(isNeedHuizhi_ ? "member_select" : "member_normal"));
}

// ---- Editing and keyboard

void MVTAddNotViewController::ensureKeyboardBar(double keyboardHeight) {
    const double V = view()->bounds().height();
    const double W = noticeComposerWidth();
    if (hidKeyBoardView) return;
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
    auto weak = weakAs<MVTAddNotViewController>();
    button->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->removeKeyBoard();
    });
    hidKeyBoardView->addSubview(button);
    view()->addSubview(hidKeyBoardView);
}

void MVTAddNotViewController::keyboardWillShow(const Notification& notification) {
    const Rect keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey);
    ensureKeyboardBar(keyboard.height() > 0 ? keyboard.height() : kNoticeKeyboardHeight);
}

void MVTAddNotViewController::keyboardChange(const Notification& notification) {
    if (!hidKeyBoardView) return;
    const Rect keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey);
    const double V = view()->bounds().height();
    hidKeyBoardView->setFrame({0, V - keyboard.height() - 40, noticeComposerWidth(), 40});
    hidKeyBoardView->setHidden(false);
}

bool MVTAddNotViewController::textFieldShouldBeginEditing(TextField&) {
    isFirst_ = true;
    addTableView->setFrame({0, 0, noticeComposerWidth(), view()->bounds().height()});
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    return true;
}

bool MVTAddNotViewController::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    return true;
}

bool MVTAddNotViewController::textViewShouldBeginEditing() {
    const double V = view()->bounds().height();
    if (isFirst_) addTableView->setFrame({0, 0, noticeComposerWidth(), V - kNoticeKeyboardHeight});
    if (hidKeyBoardView) hidKeyBoardView->setHidden(false);
    if (!mytextView->text().empty()) {
        const double y = mytextView->caretRectForPosition(mytextView->selectedRange().location).y() + 40;
        if (y > V - 276) addTableView->setContentOffset({0, y - (V - 276)}, true);
    }
    return true;
}

void MVTAddNotViewController::textViewDidEndEditing() {
    if (mytextView->text().empty())
        if (auto placeholder = std::dynamic_pointer_cast<Label>(mytextView->viewWithTag(kPlaceholderTag)))
            placeholder->setText(localized("请输入正文"));
    const double V = view()->bounds().height();
    const double content = mytextView->contentSize().height;
    if (content > V - 308) {
        const Rect frame = mytextView->frame();
        mytextView->setFrame({frame.x(), frame.y(), frame.width(), content});
        textHeight = float(content + 10);
    } else {
        textHeight = 0;
    }
    addTableView->reloadData();
}

void MVTAddNotViewController::keyboardWillHidden(const Notification&) {
    if (mytextView && mytextView->isFirstResponder()) {
        addTableView->setFrame({0, 0, noticeComposerWidth(), noticeComposerHeight() - 55 - SDH - 44});
        if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    }
    isFirst_ = false;
}

void MVTAddNotViewController::removeKeyBoard() {
    if (mytextField_) mytextField_->resignFirstResponder();
    if (mytextView && mytextView->isFirstResponder()) mytextView->resignFirstResponder();
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
}

// ---- Sending and leaving

void MVTAddNotViewController::showAlert(const std::string& message, const std::string& button) {
    AlertView::make(localized("提示"), message, {}, button)->show();
}

void MVTAddNotViewController::sendBtnClicked(Button*) {
    if (issending) return;
    const std::string title = mytextField_ ? mytextField_->text() : std::string();
    const std::string body = mytextView ? mytextView->text() : std::string();
    if (recievedArray_.empty()) return showAlert(localized("请添加接收人后提交"), localized("知道了"));
    if (title.empty()) return showAlert(localized("请输入标题后提交"), localized("知道了"));
    if (utf16Length(title) > kTitleLimit) return showAlert(localized("标题不能多于20个字"), localized("知道了"));
    if (body.empty() && vedioPath.empty()) return showAlert(localized("请添加内容后提交"), localized("知道了"));

    if (!startSend(mytextField_.get())) return;

    const bool isAdmin = admin();
    const std::string url = notices::serviceUrl(isAdmin ? "admin/" + notices::currentUserId() + "/notice/publish"
                                                        : "class/notice/" + notices::currentUserId() + "/publish");
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        finishSend();
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(0);
        return;
    }
    const std::string roles = isAdmin ? dealSelectedRoleParam() : "";
    const std::string sender = isAdmin && nameTextField_ ? nameTextField_->text() : "";
    const std::string receivers = receiverIds(recievedArray_);
    const std::string take = vedioPath;
    const std::string model = MVTPublicMethod::currentDevicemodel();
    const Json parameters{{"receipt", isNeedHuizhi_ && !isAdmin ? "1" : "0"}};
    UrlRequest request = client->multipartFormRequestWithMethod("POST", url, parameters, [&](HttpMultipartForm& form) {
        form.appendPart("uid", notices::currentUserId());
        if (!roles.empty()) form.appendPart("roles", roles);
        if (!sender.empty()) form.appendPart("name", sender);
        form.appendPart(isAdmin ? "receivers" : "permissions", receivers);
        form.appendPart("title", title);
        if (!body.empty()) form.appendPart("content", body);
        if (!take.empty()) {
            form.appendPartWithFile("amr", MVTAudioRecordAndTransCoding::amrPathForName(take),
                                    percentEscape("来自" + model + "的音频.amr"), kNoticeOctetStream);
            form.appendPart("duration", std::to_string(MVTPublicMethod::getVedioLength(take)));
        }
    });
    request.setTimeoutInterval(kSendTimeout);
    auto weak = weakAs<MVTAddNotViewController>();
    sending_ = client->HTTPRequestOperationWithRequest(
        request,
        [weak](HttpRequestOperation&, const std::string& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->sending_.reset();
            // A reply that says it did not save ("success" false or 0), or no reply at
            // all, is no publication.
            const Json parsed = Json::parse(reply, nullptr, false);
            const bool refused = trimmed(reply).empty() || trimmed(reply) == "null" ||
                                 (parsed.is_object() && parsed.contains("success") &&
                                  !boolValue(textOf(parsed, "success")));
            if (refused) {
                self->finishSend();
                self->showAlert(localized("保存失败,请重新发送"), localized("确定"));
                return;
            }
            self->finishSend();
            self->receiversToken_.reset();
            self->dismissViewController(true);
            auto& center = NotificationCenter::defaultCenter();
            center.postNotification(kPublishNewNoti);
            center.postNotification(kReloadTimer);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->sending_.reset();
            self->finishSend();
            self->showAlert(localized("发送失败,请重新发送"), localized("确定"));
        });
    sending_->start();
}

void MVTAddNotViewController::leave() {
    // A member picker still open later never reaches a closed composer.
    receiversToken_.reset();
    dismissViewController(true);
    StatisticsKit::shared().endLogPageView(kPageName);
}

void MVTAddNotViewController::goback() {
    const bool noTitle = !mytextField_ || mytextField_->text().empty();
    const bool noBody = !mytextView || mytextView->text().empty();
    if (noTitle && noBody && vedioPath.empty()) {
        leave();
        return;
    }
    auto alert = AlertView::make(localized("提示"), localized("放弃此次编辑?"), weakAs<AlertViewDelegate>(),
                                 localized("取消"), {localized("确定")});
    alert->setTag(kLeaveAlertTag);
    alert->show();
}

void MVTAddNotViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kLeaveAlertTag && index == 1) leave();
}
