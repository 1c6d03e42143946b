#include "notices/MVTPriNotViewController.h"

#include "notices/NoticeShared.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceId.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/HttpRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

const Color kPriNameGreen = Color::rgba(0.212, 0.396, 0.208);
const Color kPriSeparator = Color::rgba(0.851, 0.871, 0.847);

double priScreenWidth() { return Screen::mainScreen().bounds().width(); }

bool priIsBlankText(const std::string& text) { return text.empty() || text == "<null>" || text == "(null)"; }

}  // namespace

// ---- Receiver row

std::shared_ptr<MVTPriNotCell> MVTPriNotCell::make(const std::string& reuseIdentifier) {
    auto cell = std::make_shared<MVTPriNotCell>();
    cell->initWithStyle(TableViewCellStyle::Default, reuseIdentifier);
    return cell;
}

void MVTPriNotCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    const double W = priScreenWidth();
    setBackgroundColor(Color::clear());
    bgView_ = std::make_shared<View>(Rect(0, 0, W, 50));
    bgView_->setBackgroundColor(Color::clear());
    contentView()->addSubview(bgView_);

    headImageView_ = std::make_shared<ImageView>(Rect(10, 5, 40, 40));
    headImageView_->setCornerRadius(20);
    headImageView_->setClipsToBounds(true);
    bgView_->addSubview(headImageView_);

    userLabel_ = std::make_shared<Label>(Rect(55, 10, 120, 30));
    userLabel_->setFont(Font::systemFontOfSize(16));
    userLabel_->setTextColor(kPriNameGreen);
    userLabel_->setBackgroundColor(Color::clear());
    bgView_->addSubview(userLabel_);

    rightView_ = std::make_shared<View>(Rect(W - 160, 0, 160, 30));
    rightView_->setBackgroundColor(Color::clear());
    messImageView_ = std::make_shared<ImageView>(Rect(125, 5, 25, 25));
    rightView_->addSubview(messImageView_);
    dataLabel_ = std::make_shared<Label>(Rect(0, 30, 150, 20));
    dataLabel_->setTextAlignment(TextAlignment::Right);
    dataLabel_->setTextColor(Color::lightGray());
    dataLabel_->setFont(Font::systemFontOfSize(13));
    dataLabel_->setBackgroundColor(Color::clear());
    rightView_->addSubview(dataLabel_);
    bgView_->addSubview(rightView_);

    checkBtn_ = Button::buttonWithType(ButtonType::Custom);
    checkBtn_->setFrame({W - 35, 10, 30, 30});
    checkBtn_->setImageEdgeInsets({5, 5, 5, 5});
    checkBtn_->setHidden(true);
    std::weak_ptr<MVTPriNotCell> weak = std::static_pointer_cast<MVTPriNotCell>(shared_from_this());
    checkBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->checkBtnClicked();
    });
    bgView_->addSubview(checkBtn_);

    auto line = MVTPublicMethod::imageViewWithColor(kPriSeparator);
    line->setFrame({10, 49.5, W - 20, 0.5});
    bgView_->addSubview(line);
}

std::string MVTPriNotCell::statusPicture(const Json& receiver, int readType) {
    if (readType == kRead) return "readed";
    const std::string kind = textOf(receiver, "smsType");
    if (kind == "mobile") return "messaged";
    if (kind == "pm") return "lettered";
    return "no_read";
}

void MVTPriNotCell::setCheckPicture(const std::string& name) {
    checkPicture_ = name;
    checkBtn_->setImage(Image::imageNamed(name));
}

void MVTPriNotCell::initViewWithIndex(int position, const Json& receiver, const std::vector<std::string>& choices,
                                      int readType) {
    statusName_ = statusPicture(receiver, readType);
    messImageView_->setImage(Image::imageNamed(statusName_));
    const std::string dateline = textOf(receiver, "dateline");
    dataLabel_->setText(priIsBlankText(dateline) ? ""
                                                 : MVTAppDelegate::sharedAppDelegate()->getDateWith(valueFor(receiver, "dateline")));
    checkBtn_->setTag(position);
    if (position >= 0 && position < int(choices.size()))
        setCheckPicture(choices[std::size_t(position)] == "1" ? "did_more.png" : "un_more.png");
    headImageView_->setImage(Image::imageNamed("default_user"));
    const std::string uid = textOf(receiver, "uid");
    headImageView_->setAccessibilityHint(uid);
    headImageView_->setAccessibilityValue(textOf(receiver, "role"));
    if (isPlainServiceId(uid))
        MVTPublicMethod::setFaceImage(headImageView_, MVTPublicMethod::getPathByFileName(uid, "png"), textOf(receiver, "role"));
    userLabel_->setText(textOf(receiver, "name"));
}

void MVTPriNotCell::checkBtnClicked() {
    auto delegate = delegate_.lock();
    if (!delegate) return;
    delegate->changedChoseArray(checkBtn_->tag());
}

// ---- Screen

MVTPriNotViewController::MVTPriNotViewController() = default;

MVTPriNotViewController::~MVTPriNotViewController() {
    if (listOperation_) listOperation_->cancel();
    if (remindOperation_) remindOperation_->cancel();
}

void MVTPriNotViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("班级通知"));
    StatisticsKit::shared().beginLogPageView(kPageName);
    isLeak_ = false;
    auto weak = weakAs<MVTPriNotViewController>();
    leftBtn_ = MVTPublicMethod::navigationleftBarButton();
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(leftBtn_));
    // Only the teacher who wrote the notice may remind its readers.
    if (notices::currentRole() == "teacher" &&
        integerValue(valueFor(itemDic_, "uid")) == integerValue(notices::currentUserId())) {
        leakBtn_ = addButtonWithTitle(localized("查漏"), [weak](Control&) {
            if (auto self = weak.lock()) self->leakBtnClicked();
        });
    }
    addHeadView();
    cellArray_.clear();
    choseArray_.clear();
    uidDict_.clear();
    read_ = Json::array();
    unread_ = Json::array();
    MVTPublicMethod::showWaitAnimation(view(), true);
    netGetData();
}

void MVTPriNotViewController::addHeadView() {
    const double W = priScreenWidth();
    headView_ = std::make_shared<View>(Rect(0, -50, W, 50));
    headView_->setBackgroundColor(Color::whiteColor());
    auto weak = weakAs<MVTPriNotViewController>();
    const std::pair<const char*, const char*> buttons[] = {{"私信通知", "letter"}, {"短信通知", "message1"}};
    for (int i = 0; i < 2; ++i) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({W / 2 * i, 0, W / 2, 50});
        button->setTag(kLetterTag + i);
        button->setTitle(localized(buttons[i].first));
        button->setTitleColor(Color::black());
        button->titleLabel()->setFont(Font::systemFontOfSize(16));
        button->titleLabel()->setNumberOfLines(2);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->NotiBtClicked(static_cast<Button&>(control));
        });
        headView_->addSubview(button);
        auto icon = std::make_shared<ImageView>(Rect(W / 2 * i + 20, 13, 24, 24));
        icon->setImage(Image::imageNamed(buttons[i].second));
        icon->setUserInteractionEnabled(false);
        headView_->addSubview(icon);
    }
    auto divider = MVTPublicMethod::imageViewWithColor(Color::lightGray());
    divider->setFrame({W / 2, 15, 1, 20});
    headView_->addSubview(divider);
    view()->addSubview(headView_);
}

void MVTPriNotViewController::netGetData() {
    if (isloading_) return;
    isloading_ = true;
    auto weak = weakAs<MVTPriNotViewController>();
    const std::string url = notices::serviceUrl("class/notice/" + textOf(itemDic_, "id") + "/read/user/list");
    listOperation_ = notices::requestJson(weakAs<ViewController>(), "GET", url, Json(),
                                          [weak](notices::LoadOutcome outcome, const Json& reply) {
        auto self = weak.lock();
        if (!self) return;
        self->isloading_ = false;
        self->listOperation_.reset();
        if (outcome == notices::LoadOutcome::Offline) {
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(0);
            return;
        }
        if (outcome == notices::LoadOutcome::Failed) {
            // Nothing to show: the waiting animation gives way to the failure banner.
            MVTPublicMethod::stopWaitAnimation(self->view());
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(2);
            return;
        }
        if (reply.is_object() && !reply.empty()) {
            // Only receivers that are dictionaries are listed.
            auto receivers = [&reply](const char* key) {
                Json list = Json::array();
                if (reply.contains(key) && reply[key].is_array())
                    for (const auto& entry : reply[key])
                        if (entry.is_object()) list.push_back(entry);
                return list;
            };
            self->read_ = receivers("read");
            self->unread_ = receivers("unread");
        }
        self->initPritableview();
    });
}

void MVTPriNotViewController::initPritableview() {
    if (!priTableView_) {
        priTableView_ = myTableView::make(view()->bounds(), TableViewStyle::Plain);
        priTableView_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        priTableView_->setDataSource(weakAs<TableViewDataSource>().lock());
        priTableView_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->insertSubview(priTableView_, 0);
    }
    MVTPublicMethod::stopWaitAnimation(view());
    choseArray_.clear();
    uidDict_.clear();
    for (std::size_t i = 0; i < unread_.size(); ++i) {
        choseArray_.push_back("1");
        uidDict_[std::to_string(i)] = textOf(unread_[i], "uid");
    }
    priTableView_->reloadData();
}

bool MVTPriNotViewController::showsUnreadIn(int section) const { return section == 0 && !unread_.empty(); }

std::string MVTPriNotViewController::sectionTitle(int section) const {
    return localized(showsUnreadIn(section) ? "未读" : "已读");
}

int MVTPriNotViewController::numberOfSectionsInTableView(TableView&) {
    return !read_.empty() && !unread_.empty() ? 2 : 1;
}

int MVTPriNotViewController::numberOfRowsInSection(TableView&, int section) {
    return int(showsUnreadIn(section) ? unread_.size() : read_.size());
}

std::shared_ptr<View> MVTPriNotViewController::viewForHeaderInSection(TableView&, int section) {
    auto label = std::make_shared<Label>(Rect(0, 0, priScreenWidth(), 25));
    label->setBackgroundColor(notices::kBackgroundGrey);
    label->setTextColor(Color::gray());
    label->setFont(Font::systemFontOfSize(16));
    label->setText("  " + sectionTitle(section));
    return label;
}

double MVTPriNotViewController::heightForHeaderInSection(TableView&, int) { return 25; }

double MVTPriNotViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 50; }

std::shared_ptr<TableViewCell> MVTPriNotViewController::cellForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const bool unread = showsUnreadIn(indexPath.section);
    const Json& list = unread ? unread_ : read_;
    auto cell = MVTPriNotCell::make(unread || indexPath.section == 0 ? "PriCell" : "PriCell1");
    cell->setDelegate(weakAs<MVTPriNotCellDelegate>());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    const std::size_t row = std::size_t(indexPath.row);
    if (row < list.size())
        cell->initViewWithIndex(indexPath.row, list[row], choseArray_, unread ? MVTPriNotCell::kUnread : MVTPriNotCell::kRead);
    const double W = priScreenWidth();
    if (unread) {
        cellArray_.push_back(cell);
        cell->rightView()->setFrame({isEdit_ ? W - 195 : W - 160, 0, 160, 30});
        cell->checkBtn()->setHidden(!isEdit_);
    }
    return cell;
}

void MVTPriNotViewController::changedChoseArray(int position) {
    if (position < 0 || position >= int(choseArray_.size())) return;
    auto& entry = choseArray_[std::size_t(position)];
    entry = entry == "1" ? "0" : "1";
    // The box shows the entry as it is now.
    for (const auto& weak : cellArray_)
        if (auto cell = weak.lock(); cell && cell->checkBtn()->tag() == position && cell->superview())
            cell->setCheckPicture(entry == "1" ? "did_more.png" : "un_more.png");
}

void MVTPriNotViewController::leakBtnClicked() {
    if (isloading_ || !priTableView_) return;
    isLeak_ = !isLeak_;
    const Rect frame = priTableView_->frame();
    auto table = priTableView_;
    auto head = headView_;
    auto weak = weakAs<MVTPriNotViewController>();
    if (isLeak_) {
        table->setFrame({frame.x(), frame.y(), frame.width(), frame.height() - 50});
        animate(kModeAnimation, [table, head] {
            head->setFrame({0, 0, head->frame().width(), 50});
            const Rect now = table->frame();
            table->setFrame({now.x(), now.y() + 50, now.width(), now.height()});
        });
        RunLoop::main().performAfter(0, [weak] {
            if (auto self = weak.lock()) self->moveRight();
        });
    } else {
        table->setFrame({frame.x(), frame.y(), frame.width(), frame.height() + 50});
        animate(kModeAnimation, [table, head] {
            head->setFrame({0, -50, head->frame().width(), 50});
            const Rect now = table->frame();
            table->setFrame({now.x(), now.y() - 50, now.width(), now.height()});
        });
        moveLeft();
    }
}

void MVTPriNotViewController::moveRight() {
    isEdit_ = true;
    const double W = priScreenWidth();
    for (const auto& weak : cellArray_) {
        auto cell = weak.lock();
        if (!cell) continue;
        animate(kModeAnimation, [cell, W] { cell->rightView()->setFrame({W - 195, 0, 160, 30}); });
        cell->checkBtn()->setHidden(false);
    }
}

void MVTPriNotViewController::moveLeft() {
    isEdit_ = false;
    const double W = priScreenWidth();
    for (const auto& weak : cellArray_) {
        auto cell = weak.lock();
        if (!cell) continue;
        animate(kModeAnimation, [cell, W] { cell->rightView()->setFrame({W - 160, 0, 160, 30}); });
        cell->checkBtn()->setHidden(true);
    }
}

void MVTPriNotViewController::NotiBtClicked(Button& button) {
    sendPriOrMessageNotifinationWithType(button.tag() == kLetterTag ? "pm" : "mobile");
}

std::string MVTPriNotViewController::tickedUids() const {
    std::string uids;
    for (std::size_t i = 0; i < choseArray_.size(); ++i) {
        if (choseArray_[i] != "1") continue;
        auto found = uidDict_.find(std::to_string(i));
        uids += "," + (found == uidDict_.end() ? std::string() : found->second);
    }
    return uids.empty() ? uids : uids.substr(1);
}

void MVTPriNotViewController::sendPriOrMessageNotifinationWithType(const std::string& kind) {
    if (remindOperation_) return;
    showHUDWithBool(true);
    if (unread_.empty()) {
        AlertView::make(localized("提示"), localized("没有可以发送的对象"), {}, localized("我知道了"))->show();
        showHUDWithBool(false);
        return;
    }
    const std::string url = notices::serviceUrl("class/notice/" + textOf(itemDic_, "id") + "/" + kind + "/sms");
    auto request = MVTPublicMethod::requestWithMethod("POST", url, Json{{"uids", tickedUids()}});
    if (!request) {
        showHUDWithBool(false);
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(0);
        return;
    }
    auto weak = weakAs<MVTPriNotViewController>();
    remindOperation_ = HttpRequestOperation::operationWithRequest(
        *request,
        [weak, kind](HttpRequestOperation&, const std::string&) {
            auto self = weak.lock();
            if (!self) return;
            self->remindOperation_.reset();
            self->showHUDWithBool(false);
            AlertView::make(localized("提示"), localized("发送成功"), {}, localized("确定"))->show();
            self->reloadPriTableView(kind);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->remindOperation_.reset();
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(2);
            self->showHUDWithBool(false);
        });
    remindOperation_->start();
}

void MVTPriNotViewController::reloadPriTableView(const std::string& kind) {
    if (isLeak_) leakBtnClicked();
    for (std::size_t i = 0; i < choseArray_.size() && i < unread_.size(); ++i)
        if (choseArray_[i] == "1") unread_[i]["smsType"] = kind;
    if (priTableView_) priTableView_->reloadData();
}

void MVTPriNotViewController::showHUDWithBool(bool show) {
    if (show) {
        if (HUD_) HUD_->removeFromSuperview();
        HUD_ = ProgressHUD::showHUDAddedTo(view(), true);
        HUD_->setRemoveFromSuperViewOnHide(true);
    } else if (HUD_) {
        HUD_->hide(true);
    }
}

void MVTPriNotViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    if (auto navigation = navigationController()) navigation->popViewController(true);
}
