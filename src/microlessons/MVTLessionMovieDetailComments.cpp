// The comment side of the lesson detail screen: the list in the 评论 tab, the input bar on
// the keyboard, replies, deleting one's own comment and the join-a-class guard.
#include "microlessons/MVTLessionMovieDetailViewController.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "details/MVTCommentCell.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/HttpClient.h"
#include "platform/HttpMultipartForm.h"
#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

Size commentScreenSize() { return Screen::mainScreen().bounds().size; }

constexpr double kDoneLoadingDelay = 0.05;
constexpr double kBarAnimation = 0.3;
constexpr int kCatcherTag = 222;
constexpr int kWhomLabelTag = 111;

// The row's dictionary for the comment cell.
Json commentCellDictionary(const Json& record) {
    Json row = {{"attachmentList", valueFor(record, "attachmentList")},
                {"content", valueFor(record, "message")},
                {"id", valueFor(record, "id")},
                {"module", valueFor(record, "moduleType")},
                {"moduleId", valueFor(record, "moduleTypeId")},
                {"showTime", valueFor(record, "showTime")},
                {"uid", valueFor(record, "uid")},
                {"name", valueFor(record, "name")},
                {"role", valueFor(record, "role")}};
    for (auto it = row.begin(); it != row.end();)
        it = it.value().is_discarded() ? row.erase(it) : std::next(it);
    const Json& author = valueFor(record, "author");
    if (!author.is_null() && !author.is_discarded()) row["replyName"] = author;
    return row;
}

// The input field's delegate, kept apart from the screen so that the screen has one
// scroll-view delegate (its comment list's).
class LessonCommentFieldDelegate : public TextViewDelegate {
public:
    explicit LessonCommentFieldDelegate(std::weak_ptr<MVTLessionMovieDetailViewController> screen)
        : screen_(std::move(screen)) {}
    bool textViewShouldChangeText(TextView& view, Range, const std::string& replacement) override {
        auto screen = screen_.lock();
        return !screen || screen->textViewShouldChangeText(view, replacement);
    }

private:
    std::weak_ptr<MVTLessionMovieDetailViewController> screen_;
};

bool succeeded(const Json& reply) { return integerValue(valueFor(reply, "success")) != 0; }

}  // namespace

void MVTLessionMovieDetailViewController::initPointArray() {
    micResourceId_ = integerValue(valueFor(movieDic_, "resourceId"));
    Json parameters = nullptr;
    if (isOpenLesson()) parameters = {{"moduleType", "global_micro"}};
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    auto sent = sendRequest(
        "GET", "courseMicroComment/" + textOf(movieDic_, "id") + "/list", parameters,
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->pointArray_ = Json::array();
            if (reply.is_array())
                for (const auto& comment : reply)
                    if (comment.is_object()) self->pointArray_.push_back(comment);
            if (!self->pointArray_.empty()) {
                self->movieInfoLabel_->removeFromSuperview();
                self->initPointTableView();
            } else {
                self->movieInfoLabel_->setText(localized("暂无评论"));
                self->initPointTableView();
                self->pointTableView_->addSubview(self->movieInfoLabel_);
            }
        },
        [weak] {
            if (auto self = weak.lock()) self->initPointTableView();
        },
        true, kRequestTimeout);
    if (!sent) {
        reloading_ = false;
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
    }
}

void MVTLessionMovieDetailViewController::initPointTableView() {
    if (!movieDetailView_) return;
    movieInfoLabel_->removeFromSuperview();
    const double W = commentScreenSize().width;
    if (pointTableView_) {
        pointTableView_->reloadData();
    } else {
        pointTableView_ =
            myTableView::make({0, 40, W, movieDetailView_->bounds().height() - 40}, TableViewStyle::Plain);
        pointTableView_->setDataSource(weakAs<TableViewDataSource>().lock());
        pointTableView_->setDelegate(weakAs<TableViewDelegate>().lock());
        auto spacer = std::make_shared<View>(Rect{0, 0, W, commentBut_->frame().height() + 10});
        spacer->setHidden(true);
        pointTableView_->setTableHeaderView(spacer);
        pointTableView_->addSubview(commentBut_);
        pointTableView_->setBackgroundColor(Color::clear());
        pointTableView_->setSeparatorColor(Color::clear());
        pointTableView_->reloadData();
        pointTableView_->setContentOffset({0, 45});
    }
    movieDetailView_->addSubview(pointTableView_);
    if (!refreshHeaderView_) {
        const Rect frame = pointTableView_->frame();
        refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -frame.height(), frame.width(), frame.height()});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        pointTableView_->addSubview(refreshHeaderView_);
    }
    refreshHeaderView_->refreshLastUpdatedDate();
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    RunLoop::main().performAfter(kDoneLoadingDelay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTLessionMovieDetailViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && pointTableView_)
        refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*pointTableView_);
}

void MVTLessionMovieDetailViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTLessionMovieDetailViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTLessionMovieDetailViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloading_ = true;
    initPointArray();
}

bool MVTLessionMovieDetailViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTLessionMovieDetailViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return now();
}

int MVTLessionMovieDetailViewController::numberOfSectionsInTableView(TableView&) { return 1; }

int MVTLessionMovieDetailViewController::numberOfRowsInSection(TableView&, int) { return int(pointArray_.size()); }

std::shared_ptr<TableViewCell> MVTLessionMovieDetailViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                         const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTCommentCell>(
        tableView.dequeueReusableCellWithIdentifier(MVTCommentCell::kReuseIdentifier));
    if (!cell) {
        cell = MVTCommentCell::make();
        cell->initWithStyle(TableViewCellStyle::Default, MVTCommentCell::kReuseIdentifier);
    }
    cell->setBackgroundColor(Color::clear());
    cell->setTag(indexPath.row);
    cell->setSelected(false);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->reloadDataWithDic(commentCellDictionary(pointArray_.at(std::size_t(indexPath.row))), "");
    return cell;
}

double MVTLessionMovieDetailViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    auto cell = MVTCommentCell::make();
    cell->initWithStyle(TableViewCellStyle::Default, MVTCommentCell::kReuseIdentifier);
    cell->reloadDataWithDic(commentCellDictionary(pointArray_.at(std::size_t(indexPath.row))), "");
    return cell->frame().height();
}

bool MVTLessionMovieDetailViewController::isOwnComment(int row) const {
    if (row < 0 || std::size_t(row) >= pointArray_.size()) return false;
    // Ids are compared as 64-bit numbers: a 32-bit reading would cut large ids and could
    // take someone else's comment for one's own.
    return integerValue(valueFor(pointArray_[std::size_t(row)], "uid")) ==
           integerValue(MVTAccount::sharedInstance().userId().value_or(""));
}

void MVTLessionMovieDetailViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (std::size_t(indexPath.row) >= pointArray_.size()) return;
    const Json& comment = pointArray_[std::size_t(indexPath.row)];
    commentName_ = textOf(comment, "name");
    replyId_ = textOf(comment, "id");
    didSelectRow_ = indexPath.row;
    selectWhichCell(indexPath.row);
}

void MVTLessionMovieDetailViewController::selectWhichCell(int row) {
    std::vector<std::string> buttons = {localized("回 复"), localized("评 论")};
    if (isOwnComment(row)) buttons.push_back(localized("删 除"));
    auto sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取 消"), "", buttons);
    sheet->showInView(view().get());
}

void MVTLessionMovieDetailViewController::actionSheetClickedButtonAtIndex(ActionSheet&, long index) {
    if (index == 0) {
        isRe_ = true;
        commentString_.clear();
        showCommentMessageTextView();
    } else if (index == 1) {
        isRe_ = false;
        showCommentMessageTextView();
    } else if (index == 2 && isOwnComment(didSelectRow_)) {
        alert("", localized("确认删除？"), kDeleteAlertTag, localized("取消"), {localized("确定")});
    }
}

void MVTLessionMovieDetailViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kDeleteAlertTag) {
        if (index == 1) toSendDeleteCellWith(replyId_);
        return;
    }
    MVTInterClassViewController::answerJoinClassAlert(*this, alert, index);
}

void MVTLessionMovieDetailViewController::showCommentMessageTextView() {
    if (MVTPublicMethod::isUnClassId()) {
        lastAlert_ = MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    const Size screen = commentScreenSize();
    if (buttomView_) buttomView_->removeFromSuperview();
    buttomView_ = std::make_shared<ImageView>(Image::imageNamed("toolsbarbg"));
    buttomView_->setFrame({0, screen.height - 100, screen.width, 54});
    buttomView_->setUserInteractionEnabled(true);
    buttomView_->setBackgroundColor(Color::clear());
    messageTextView_ = std::make_shared<TextView>(Rect{5, 13, screen.width - 10, 32});
    messageTextView_->setReturnKeyType(ReturnKeyType::Send);
    if (!fieldDelegate_)
        fieldDelegate_ = std::make_shared<LessonCommentFieldDelegate>(weakAs<MVTLessionMovieDetailViewController>());
    messageTextView_->setDelegate(fieldDelegate_);
    messageTextView_->setBorderWidth(0.5);
    messageTextView_->setBorderColor(Color::gray());
    messageTextView_->setCornerRadius(15);
    messageTextView_->setClipsToBounds(true);
    messageTextView_->setFont(Font::systemFontOfSize(16));
    messageTextView_->setTextAlignment(TextAlignment::Left);
    buttomView_->addSubview(messageTextView_);
    view()->addSubview(buttomView_);
    messageTextView_->becomeFirstResponder();
}

void MVTLessionMovieDetailViewController::keyboardWillShow(const Notification& notification) {
    if (!buttomView_ || !messageTextView_) return;
    const Size screen = commentScreenSize();
    if (!touchDownView_) {
        auto catcher = std::make_shared<Button>(Rect{0, 0, screen.width, screen.height - 330});
        catcher->setBackgroundColor(Color::clear());
        catcher->setTag(kCatcherTag);
        auto weak = weakAs<MVTLessionMovieDetailViewController>();
        catcher->addTarget(ControlEventTouchDown, [weak](Control&) {
            auto self = weak.lock();
            if (!self) return;
            if (self->messageTextView_) self->messageTextView_->resignFirstResponder();
            self->hideKeyboard();
        });
        touchDownView_ = catcher;
    }
    view()->addSubview(touchDownView_);
    touchDownView_->setHidden(false);
    messageTextView_->setText(commentString_);
    const double y = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).y();
    auto bar = buttomView_;
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    animate(kBarAnimation, [bar, y, screen] { bar->setFrame({0, y - 118, screen.width, 54}); },
            [weak](bool) {
                if (auto self = weak.lock(); self && self->isRe_) self->toWhom();
            });
}

void MVTLessionMovieDetailViewController::toWhom() {
    if (whomView_) whomView_->removeFromSuperview();
    const double W = commentScreenSize().width;
    whomView_ = std::make_shared<View>(Rect{0, buttomView_->frame().y() - 25, W, 30});
    whomView_->setBackgroundColor(Color::rgb255(220, 223, 226));
    auto label = std::make_shared<Label>(Rect{15, 2, 150, 25});
    label->setTag(kWhomLabelTag);
    label->setBackgroundColor(Color::clear());
    label->setText(localized("回复") + commentName_ + ":");
    whomView_->addSubview(label);
    auto cancel = std::make_shared<Button>(Rect{275, 0, 40, 30});
    cancel->setTitle(" X ");
    cancel->setCornerRadius(2);
    cancel->setClipsToBounds(true);
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    cancel->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSender();
    });
    whomView_->addSubview(cancel);
    view()->addSubview(whomView_);
    // While the strip shows, a touch on it must not close the bar.
    if (touchDownView_) touchDownView_->setFrame({0, 0, W, commentScreenSize().height - 357});
}

void MVTLessionMovieDetailViewController::toSender() {
    commentName_.clear();
    replyId_.clear();
    isRe_ = false;
    if (whomView_) whomView_->setHidden(true);
    if (touchDownView_) touchDownView_->setFrame({0, 0, commentScreenSize().width, commentScreenSize().height - 330});
}

void MVTLessionMovieDetailViewController::hideKeyboard() {
    if (messageTextView_) commentString_ = messageTextView_->text();
    if (touchDownView_) touchDownView_->setHidden(true);
    auto bar = buttomView_;
    auto strip = whomView_;
    const Size screen = commentScreenSize();
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    animate(
        kBarAnimation,
        [bar, strip, screen] {
            if (bar) bar->setFrame({0, screen.height, screen.width, bar->frame().height()});
            if (strip) strip->setFrame({0, screen.height, screen.width, strip->frame().height()});
        },
        [weak, strip](bool) {
            auto self = weak.lock();
            if (!self || !strip) return;
            strip->removeFromSuperview();
            if (self->whomView_ == strip) self->whomView_.reset();
        });
}

bool MVTLessionMovieDetailViewController::textViewShouldChangeText(TextView& textView, const std::string& replacement) {
    if (replacement != "\n") return true;
    sendButton();
    hideKeyboard();
    textView.resignFirstResponder();
    return false;
}

void MVTLessionMovieDetailViewController::sendButton() {
    const std::string message = messageTextView_ ? messageTextView_->text() : std::string();
    if (message.empty()) {
        alert(localized("评论内容不能为空"), "", 0, localized("知道了"));
        return;
    }
    messageTextView_->setText("");
    messageTextView_->resignFirstResponder();
    hideKeyboard();
    showHUDWithBool(true);
    const std::string url = homework::serviceUrl("courseMicro/" + homework::currentUserId() + "/" +
                                                 textOf(movieDic_, "id") + "/comment");
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        showHUDWithBool(false);
        return;
    }
    Json parameters = {{"msg", message}};
    if (isOpenLesson()) parameters["moduleType"] = "global_micro";
    if (isRe_) parameters["replyId"] = replyId_;
    // The field was emptied above, so the "message" part goes out empty.
    const std::string fieldText = messageTextView_->text();
    UrlRequest request = client->multipartFormRequestWithMethod(
        "POST", url, parameters, [fieldText](HttpMultipartForm& form) { form.appendPart("message", fieldText); });
    request.setTimeoutInterval(kSendTimeout);
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    auto failed = [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->showHUDWithBool(false);
        self->alert(localized("发送失败,请重新发送"), "", 0, localized("知道了"));
    };
    auto operation = client->JSONRequestOperationWithRequest(
        std::move(request),
        [weak, failed](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            if (!reply.is_object()) return failed();
            self->showHUDWithBool(false);
            if (succeeded(reply))
                self->initPointArray();
            else
                self->alert(textOf(reply, "message"), "", 0, localized("知道了"));
        },
        [failed](HttpRequestOperation&, const HttpError&) { failed(); });
    operation->start();
}

void MVTLessionMovieDetailViewController::toSendDeleteCellWith(const std::string& commentId) {
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    auto failed = [weak] {
        if (auto self = weak.lock()) self->alert(localized("删除失败,请重新删除"), "", 0, localized("知道了"));
    };
    auto sent = sendRequest(
        "GET", "courseMicroComment/" + homework::currentUserId() + "/" + commentId + "/remove", nullptr,
        [weak, failed, commentId](const Json& reply) {
            auto self = weak.lock();
            if (!self || !reply.is_object()) return;
            if (!succeeded(reply)) return failed();
            // The comment goes by its id: the list may have been reloaded since the row
            // was tapped, and the row number may now name another comment.
            auto& comments = self->pointArray_;
            for (auto it = comments.begin(); it != comments.end(); ++it)
                if (textOf(*it, "id") == commentId) {
                    comments.erase(it);
                    break;
                }
            self->initPointTableView();
        },
        failed, true, kRequestTimeout);
    if (!sent) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
    }
}
