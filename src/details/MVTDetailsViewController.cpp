// The detail screen's frame, its loading (the item's counts, then its comments page by
// page), the comment table, the alerts, the toast and leaving. The header, the input bar
// and the tool bar have files of their own.

#include "details/MVTDetailsViewController.h"

#include "details/MVTDetailsKindRenderer.h"

#include "feed/PostRecord.h"
#include "composer/MVTFacialView.h"
#include "account/MVTInterClassViewController.h"
#include "me/MVTTimeSpaceViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

// Replies of the screen's requests above this size fail (a page of comments is a few kB).
constexpr std::size_t kDetailsMaxReplyBytes = 4u * 1024 * 1024;

}  // namespace

MVTDetailsViewController::MVTDetailsViewController() = default;

MVTDetailsViewController::~MVTDetailsViewController() {
    if (timer_) timer_->invalidate();
}

std::string MVTDetailsViewController::userId() { return MVTAccount::sharedInstance().userId().value_or(""); }

void MVTDetailsViewController::banner(int kind) { MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(kind); }

Json& MVTDetailsViewController::item() {
    if (!myDict_) myDict_ = std::make_shared<Json>(Json::object());
    if (!myDict_->is_object()) *myDict_ = Json::object();
    return *myDict_;
}

double MVTDetailsViewController::screenHeight() const { return Screen::mainScreen().bounds().height(); }

// ---- Opening

void MVTDetailsViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("详情"));
    auto weak = weakAs<MVTDetailsViewController>();
    leftBtn_ = MVTPublicMethod::navigationleftBarButton();
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(leftBtn_));
    MVTAppDelegate::sharedAppDelegate()->setNowPage(MVTAppDelegate::VoicePageDetails);
    messageType_ = 1;
    vedioStart_ = false;
    vedioing_ = false;
    HCStr_.clear();
    dataArray_.clear();
    stateArr_.clear();
    item();
    renderer_ = std::make_shared<DetailKindRenderer>(*this);
    renderer_->setSelf(renderer_);
    initmytableview();
    initButtomView();
    createButtomToolView();
    getLikeAndCommentCount();

    auto& centre = NotificationCenter::defaultCenter();
    observers_.push_back(centre.addObserver(kToStopDetailsRecord, [weak](const Notification&) {
        if (auto self = weak.lock()) self->toStopDetailsRecord();
    }));
    observers_.push_back(centre.addObserver(kToStopDetailsAudio, [weak](const Notification&) {
        if (auto self = weak.lock()) self->toStopDetailsAudio();
    }));
    observers_.push_back(
        centre.addObserver(MVTAppDelegate::kToShowDetailsProgress, [weak](const Notification& notification) {
            if (auto self = weak.lock()) self->toShowDetailsProgress(notification);
        }));
}

void MVTDetailsViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    hideKeyboard();
    if (myFaceView_) myFaceView_->setHidden(true);
    if (messageTextView_) messageTextView_->resignFirstResponder();
}

void MVTDetailsViewController::viewDidAppear(bool animated) {
    ViewViewController::viewDidAppear(animated);
    auto weak = weakAs<MVTDetailsViewController>();
    keyboardToken_ = NotificationCenter::defaultCenter().addObserver(
        kKeyboardWillShowNotification, [weak](const Notification& notification) {
            if (auto self = weak.lock()) self->keyboardWillShow(notification);
        });
}

void MVTDetailsViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    closeInput();
    keyboardToken_ = ObserverToken();
    stopLevelTimer();
}

void MVTDetailsViewController::sendJson(UrlRequest request,
                                        std::function<void(MVTDetailsViewController&, const Json&)> done,
                                        std::function<void(MVTDetailsViewController&)> failed) {
    auto weak = weakAs<MVTDetailsViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(request),
        [weak, done](HttpJsonRequestOperation&, const Json& reply) {
            if (auto self = weak.lock()) done(*self, reply);
        },
        [weak, failed](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) failed(*self);
        });
    operation->setMaxResponseBytes(kDetailsMaxReplyBytes);
    operation->start();
}

void MVTDetailsViewController::openedOffline() {
    // The header and footer come from the item as the opener passed it.
    showHUDWithBool(false);
    initmytableview();
    banner(MVTAppDelegate::NetworkMessageNoNetwork);
}

void MVTDetailsViewController::getLikeAndCommentCount() {
    showHUDWithBool(true);
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/feed/" + moduleId_ + "/stateCount",
        Json::object());
    if (!request) {
        openedOffline();
        return;
    }
    sendJson(
        std::move(*request), [](MVTDetailsViewController& self, const Json& reply) { self.stateReplied(reply); },
        [](MVTDetailsViewController& self) { self.initData(); });
}

void MVTDetailsViewController::stateReplied(const Json& reply) {
    // A reply that is no dictionary, or one without "success", says nothing about the
    // item: the comments load and nothing is deleted.
    if (!reply.is_object() || !reply.contains("success")) {
        initData();
        return;
    }
    Json& record = item();
    const std::string uid = userId();
    const std::string id = textOf(record, "id");
    if (integerValue(Json(textOf(reply, "success"))) == 0) {
        if (isFeed()) MVTtirraDataBase::deleteDynamicWith(uid, id);
        if (!selfIndexStr_.empty())
            if (auto opener = delegate()) opener->deleteOneCell(int(integerValue(Json(selfIndexStr_))));
        auto alert = AlertView::make("该动态已被删除", "", weakAs<AlertViewDelegate>(), "知道了");
        alert->setTag(kDeletedAlertTag);
        alert->show();
        showHUDWithBool(false);
        return;
    }
    const std::string commentCount = textOf(reply, "commentCount");
    const std::string likeCount = textOf(reply, "likeCount");
    const std::string love = textOf(reply, "love");
    HCStr_ = reply.contains("content") ? textOf(reply, "content") : std::string();
    SHStr_ = reply.contains("shareContent") ? textOf(reply, "shareContent") : std::string();
    if (buttomLa_) buttomLa_->setText(love == "0" ? "赞" : "已赞");

    std::optional<std::string> praisers;
    const Json& likeUser = valueFor(reply, "likeUser");
    if (!MVTPublicMethod::stringIsClassNull(likeUser)) {
        nameString_ = textOf(likeUser);
        Json names = Json::array();
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = nameString_.find(',', start);
            names.push_back(Json{{"name", nameString_.substr(start, comma - start)}, {"uid", ""}});
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        record["likeUsers"] = names;
        praisers = names.dump();
    }
    const std::string oldLike = textOf(record, "likeCount"), oldComment = textOf(record, "commentCount"),
                      oldLove = textOf(record, "love");
    record["commentCount"] = commentCount;
    record["likeCount"] = likeCount;
    record["love"] = love;
    if (isFeed()) {
        // A reply without praisers leaves the cached ones as they are.
        const std::string cachedPraisers =
            praisers ? *praisers : (post::listOf(record, "likeUsers").empty() ? "" : post::listOf(record, "likeUsers").dump());
        MVTtirraDataBase::updateDynamicData(uid, id, likeCount, love, cachedPraisers);
    }
    if (oldLike != likeCount || oldComment != commentCount || oldLove != love) {
        if (oldComment != commentCount && isFeed())
            MVTtirraDataBase::updateDynamicDataWithIDWithcommentCount(uid, id, commentCount);
        if (auto opener = delegate()) opener->reloadOneCell();
    }
    initData();
}

void MVTDetailsViewController::initData() {
    Json parameters = nullptr;
    if (!dataArray_.empty())
        parameters = Json{{"limit", std::to_string(kPageSize)}, {"maxIdNotIncludeSelf", textOf(dataArray_.back(), "id")}};
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + module_ + "/" + moduleId_ + "/comments/1", parameters);
    if (!request) {
        openedOffline();
        return;
    }
    sendJson(
        std::move(*request), [](MVTDetailsViewController& self, const Json& reply) { self.pageReplied(reply); },
        [](MVTDetailsViewController& self) {
            self.showHUDWithBool(false);
            self.initmytableview();
        });
}

void MVTDetailsViewController::pageReplied(const Json& reply) {
    showHUDWithBool(false);
    // Only dictionaries with an id make rows; anything else the service sent is left out.
    Json page = Json::array();
    if (reply.is_array())
        for (const auto& entry : reply)
            if (entry.is_object() && entry.contains("id")) page.push_back(entry);
    if (!reply.is_array()) {
        initmytableview();
        return;
    }
    if (page.empty()) {
        initmytableview();
        showClickMore(false);
        return;
    }
    if (dataArray_.empty()) {
        Json newest = Json::array();
        for (std::size_t i = 0; i < page.size() && i < 3; ++i) newest.push_back(page[i]);
        item()["comments"] = newest;
        if (isFeed()) MVTtirraDataBase::updateDynamicDataWithIDWithComments(userId(), textOf(item(), "id"), newest.dump());
        if (auto opener = delegate()) opener->reloadOneCell();
    }
    for (const auto& comment : page) {
        dataArray_.push_back(comment);
        stateArr_.push_back("0");
    }
    initmytableview();
    showClickMore(reply.size() >= std::size_t(kPageSize));
}

void MVTDetailsViewController::initmytableview() {
    replyId_.clear();
    module_ = modelName_;
    moduleId_ = modelID_;
    if (!mytableview_) {
        const double W = view()->bounds().width();
        mytableview_ = myTableView::make({0, 0, W, screenHeight() - 118}, TableViewStyle::Plain);
        mytableview_->setBackgroundColor(Color::clear());
        mytableview_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        mytableview_->setBackgroundView(nullptr);
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(mytableview_);
        return;
    }
    if (!headView_) {
        createHeadView();
        creatFooterView();
    }
    mytableview_->setTableFooterView(footerBtn_);
    mytableview_->setTableHeaderView(headView_);
    mytableview_->reloadData();
}

void MVTDetailsViewController::showClickMore(bool more) {
    if (!footerBtn_) creatFooterView();
    footerBtn_->setEnabled(more);
    footerBtn_->setTitle(more ? localized("点击加载更多") : localized("已加载全部"));
}

void MVTDetailsViewController::showHUDWithBool(bool show) {
    if (!show) {
        if (HUD_) HUD_->hide(true);
        return;
    }
    if (HUD_) HUD_->removeFromSuperview();
    HUD_ = ProgressHUD::showHUDAddedTo(view(), true);
}

void MVTDetailsViewController::shareResult(const std::string& text) {
    const double W = Screen::mainScreen().bounds().width();
    auto label = std::make_shared<Label>(Rect(5, 5, W - 10, 26));
    label->setBackgroundColor(Color::rgb255(58, 145, 32));
    label->setTextAlignment(TextAlignment::Center);
    label->setTextColor(Color::whiteColor());
    label->setFont(Font::boldSystemFontOfSize(14));
    label->setCornerRadius(4);
    label->setClipsToBounds(true);
    label->setText(text);
    view()->addSubview(label);
    toastLabel_ = label;
    animate(
        1.0,
        [label, W] {
            label->setAlpha(0);
            label->setFrame({5, -30, W - 10, 26});
        },
        [label](bool) { label->removeFromSuperview(); });
}

bool MVTDetailsViewController::needsClass() {
    if (!MVTPublicMethod::isUnClassId()) return false;
    MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
    return true;
}

void MVTDetailsViewController::chooseNamed(const Json& user) {
    if (textOf(user, "role") == "system") return;
    auto space = std::make_shared<MVTTimeSpaceViewController>();
    space->setUserDict(user);
    space->view()->setAccessibilityValue("push");
    if (auto* navigation = navigationController()) navigation->pushViewController(space, true);
}

void MVTDetailsViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kDeletedAlertTag && index == 0) {
        goback();
        return;
    }
    if (alert.tag() == kDeleteAlertTag && index == 0) {
        toDeleteInfo();
        return;
    }
    if (alert.tag() == kDeleteCommentAlertTag && index == 1) {
        const std::size_t row = std::size_t(selectIndex_);
        if (row < dataArray_.size()) toSendDeleteCellWith(textOf(dataArray_[row], "id"));
        return;
    }
    if (alert.tag() == kDeletedPostAlertTag && index == 0) {
        goback();
        return;
    }
    if (alert.tag() == kJoinClassAlertTag) MVTInterClassViewController::answerJoinClassAlert(*this, alert, index);
}

void MVTDetailsViewController::goback() {
    observers_.clear();
    auto app = MVTAppDelegate::sharedAppDelegate();
    const bool ownVoicePlays = recordBtn_ && recordBtn_->isSelected();
    if (view()->accessibilityHint() == "feed") {
        // The list shows the item's own voice in its row: that one keeps playing.
        if (!app->nowPlayPath().empty() && !ownVoicePlays && isCommentVedio_) app->stopPlayAudio();
    } else if (ownVoicePlays || isCommentVedio_) {
        app->stopPlayAudio();
    }
    if (view()->tag() == kModalTag) {
        dismissViewController(true);
        return;
    }
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

// ---- Comment table

int MVTDetailsViewController::numberOfRowsInSection(TableView&, int) { return int(dataArray_.size()); }

std::shared_ptr<TableViewCell> MVTDetailsViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTCommentCell>(tableView.dequeueReusableCellWithIdentifier(MVTCommentCell::kReuseIdentifier));
    if (!cell) cell = MVTCommentCell::make();
    cell->setDelegate(weakAs<MVTCommentCellDelegate>());
    cell->setTag(indexPath.row);
    const std::size_t row = std::size_t(indexPath.row);
    if (row < dataArray_.size()) cell->reloadDataWithDic(dataArray_[row], row < stateArr_.size() ? stateArr_[row] : "0");
    return cell;
}

double MVTDetailsViewController::heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    return cellForRowAtIndexPath(tableView, indexPath)->frame().height();
}

void MVTDetailsViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (needsClass()) return;
    closeInput();
    selectWhichCell(indexPath.row);
}

// ---- Comment and reply actions

void MVTDetailsViewController::toSendCommentForDynamic() {
    if (needsClass()) return;
    buttomToolView_->setHidden(true);
    messageTextView_->setText("");
    commentName_.clear();
    replyId_.clear();
    module_ = modelName_;
    moduleId_ = modelID_;
    const bool voice = UserDefaults::standard().boolForKey(kIsTextKey);
    if (isFeed()) {
        if (!voice) {
            vedioBt_->setSelected(true);
            vedioClick();
        }
    } else if (!voice) {
        messageTextView_->becomeFirstResponder();
    }
    toSender();
}

void MVTDetailsViewController::toSendCommentOtherPersonWith(const Json& comment) {
    messageTextView_->setText("");
    commentName_ = textOf(comment, "name");
    replyId_ = textOf(comment, "id");
    if (comment.contains("module")) module_ = textOf(comment, "module");
    if (comment.contains("moduleId")) moduleId_ = textOf(comment, "moduleId");
    if (!UserDefaults::standard().boolForKey(kIsTextKey)) {
        if (isFeed()) {
            vedioBt_->setSelected(true);
            vedioClick();
        } else {
            messageTextView_->becomeFirstResponder();
        }
    } else {
        toWhom();
        const double W = view()->bounds().width();
        const double top = screenHeight() - 64 - 54 - 30;
        mytableview_->setFrame({0, 0, W, top});
        whomView_->setFrame({0, top + 2, W, 30});
        buttomView_->setFrame({0, top + 30 - 2, W, 54});
    }
    buttomToolView_->setHidden(true);
}

void MVTDetailsViewController::toWhom() {
    const double W = view()->bounds().width();
    if (!whomView_) {
        whomView_ = std::make_shared<View>(Rect(0, 0, W, 30));
        whomView_->setBackgroundColor(Color::white(0.961));
        auto label = std::make_shared<Label>(Rect(10, 5, W - 60, 20));
        label->setBackgroundColor(Color::clear());
        label->setFont(Font::systemFontOfSize(13));
        label->setTextColor(Color::white(0.333));
        label->setTag(1);
        whomView_->addSubview(label);
        auto close = std::make_shared<Button>(Rect(W - 40, 0, 40, 30));
        close->setTitle(" X ");
        close->setTitleColor(Color::white(0.333));
        auto weak = weakAs<MVTDetailsViewController>();
        close->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toSender();
        });
        whomView_->addSubview(close);
        view()->addSubview(whomView_);
    }
    if (auto label = std::dynamic_pointer_cast<Label>(whomView_->viewWithTag(1)))
        label->setText(post::fill(localized("回复%@:"), {commentName_}));
    whomView_->setHidden(false);
}

void MVTDetailsViewController::toSender() {
    commentName_.clear();
    replyId_.clear();
    if (whomView_ && !whomView_->isHidden()) {
        Rect frame = mytableview_->frame();
        frame.size.height += 30;
        mytableview_->setFrame(frame);
        whomView_->setHidden(true);
    }
}

// ---- Comment voices

void MVTDetailsViewController::toSendVedio(const std::optional<std::string>& resourceId, int row) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!resourceId) {
        app->stopPlayAudio();
        isCommentVedio_ = false;
        if (row >= 0 && std::size_t(row) < stateArr_.size()) stateArr_[std::size_t(row)] = "0";
        return;
    }
    const std::string id = *resourceId;
    if (!post::isPlainName(id)) return;
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    stopCommentRow();
    isCommentVedio_ = true;
    CommentVedioTag_ = row;
    auto play = [id, row](MVTDetailsViewController& self) {
        auto delegateApp = MVTAppDelegate::sharedAppDelegate();
        self.nowPlay_ = 2;
        if (self.recordBtn_) self.recordBtn_->setSelected(false);
        if (self.loadView_) self.loadView_->setHidden(true);
        delegateApp->setNowPlayPage(MVTAppDelegate::VoicePageDetails);
        delegateApp->toSetAudio(returnAudioPath(id), "");
        delegateApp->setNowPlayId(id);
        if (row >= 0 && std::size_t(row) < self.stateArr_.size()) {
            self.stateArr_[std::size_t(row)] = "1";
            if (self.mytableview_)
                self.mytableview_->reloadRowsAtIndexPaths({{0, row}}, TableViewRowAnimation::None);
        }
    };
    if (MVTPublicMethod::fileExistsAtPath(returnAudioPath(id))) {
        play(*this);
        return;
    }
    downloadVoice(id, play);
}

void MVTDetailsViewController::stopCommentRow() {
    for (std::size_t i = 0; i < stateArr_.size(); ++i) {
        if (stateArr_[i] != "1") continue;
        stateArr_[i] = "0";
        if (mytableview_) mytableview_->reloadRowsAtIndexPaths({{0, int(i)}}, TableViewRowAnimation::None);
    }
}

void MVTDetailsViewController::toStopDetailsRecord() {
    isCommentVedio_ = false;
    stopCommentRow();
    nowPlay_ = 0;
    if (recordBtn_) {
        recordBtn_->setSelected(false);
        setRecordBtnWith(false);
    }
    if (loadView_) {
        loadView_->stopAnimating();
        loadView_->setHidden(true);
    }
}

void MVTDetailsViewController::toStopDetailsAudio() { toStopDetailsRecord(); }
