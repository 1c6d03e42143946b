#include "tests/MVTCourseListViewController.h"

#include "shell/AttachmentDownloadOverlay.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

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

const Color kSheetGrey = Color::rgb255(221, 221, 221);

Rect sheetScreen() { return Screen::mainScreen().bounds(); }

}  // namespace

void MVTCourseListViewController::viewDidLoad() {
    TestsScreen::viewDidLoad();
    view()->setBackgroundColor(kSheetGrey);
    setTitle(homework::fill("%@%@", {localized("测验"), localized("答题")}));
    auto weak = weakAs<MVTCourseListViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    if (homework::currentRole() == "student") {
        sendButton_ = setRightTextButton(localized("发送"), [weak] {
            if (auto self = weak.lock()) self->toSubmit();
        });
    }
    dataArr_ = Json::array();
    allAnswersDic_.clear();
    unDidSubmit_ = 0;
    initmytableview();
    createDoneBtn();
    getCourseData();
    observeKeyboard();
}

void MVTCourseListViewController::viewWillAppear(bool animated) {
    TestsScreen::viewWillAppear(animated);
    // Back from the attachment page: the keyboard is followed again.
    observeKeyboard();
}

void MVTCourseListViewController::viewWillDisappear(bool animated) {
    TestsScreen::viewWillDisappear(animated);
    keyboardShowToken_.reset();
    keyboardHideToken_.reset();
}

void MVTCourseListViewController::observeKeyboard() {
    if (keyboardShowToken_) return;
    auto weak = weakAs<MVTCourseListViewController>();
    auto& center = NotificationCenter::defaultCenter();
    keyboardShowToken_ = center.addObserver(kKeyboardWillShowNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardWillShow(n);
    });
    keyboardHideToken_ = center.addObserver(kKeyboardWillHideNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardWillHidden(n);
    });
}

void MVTCourseListViewController::initmytableview() {
    if (mytableview_) mytableview_->removeFromSuperview();
    cells_.clear();
    const Rect screen = sheetScreen();
    mytableview_ = homework::makeListTable({0, 0, view()->bounds().width(), screen.height() - 64});
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    if (myheadView_) mytableview_->setTableHeaderView(myheadView_);
    if (myFooterView_) mytableview_->setTableFooterView(myFooterView_);
    view()->addSubview(mytableview_);
    if (doneBtn_) view()->bringSubviewToFront(doneBtn_);
}

void MVTCourseListViewController::createHeadView() {
    const double width = sheetScreen().width();
    myheadView_ = std::make_shared<View>(Rect(0, 0, width, 30));
    myheadView_->setBackgroundColor(kSheetGrey);
    auto label = std::make_shared<Label>(Rect(10, 10, width - 20, 20));
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::boldSystemFontOfSize(16));
    label->setTextColor(homework::kTextGrey);
    label->setTextAlignment(TextAlignment::Center);
    label->setNumberOfLines(0);
    label->setText(titleStr_);
    const double needed =
        TextMeasure::sizeWithFont(titleStr_, label->font(), {width - 20, 200}, LineBreakMode::CharWrap).height;
    if (needed > 20) {
        label->setFrame({10, 10, width - 20, needed});
        myheadView_->setFrame({0, 0, width, needed + 10});
    }
    myheadView_->addSubview(label);
}

void MVTCourseListViewController::createFooterView() {
    const double width = sheetScreen().width();
    myFooterView_ = std::make_shared<View>(Rect(0, 0, width, 30));
    myFooterView_->setBackgroundColor(kSheetGrey);
    auto label = std::make_shared<Label>(Rect(5, 5, width - 10, 20));
    label->setBackgroundColor(Color::whiteColor());
    label->setFont(Font::systemFontOfSize(14));
    label->setTextColor(Color::lightGray());
    label->setTextAlignment(TextAlignment::Center);
    label->setText(localized("已显示全部题目"));
    myFooterView_->addSubview(label);
}

void MVTCourseListViewController::createDoneBtn() {
    const double width = sheetScreen().width();
    doneBtn_ = Button::buttonWithType(ButtonType::Custom);
    doneBtn_->setFrame({width - 44, 0, 44, 40});
    doneBtn_->setBackgroundColor(Color::rgb255(216, 218, 222));
    doneBtn_->setTitle(localized("完成"));
    doneBtn_->setTitleColor(homework::kTextGrey);
    doneBtn_->titleLabel()->setFont(Font::systemFontOfSize(14));
    doneBtn_->setCornerRadius(2);
    doneBtn_->setHidden(true);
    auto weak = weakAs<MVTCourseListViewController>();
    doneBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toDoneKeyboard();
    });
    view()->addSubview(doneBtn_);
}

void MVTCourseListViewController::removeSendButton() {
    navigationItem().setRightBarButtonItem(nullptr);
    sendButton_.reset();
}

void MVTCourseListViewController::getCourseData() {
    userRole_ = whereShow_ == kTeacherToLook ? std::string("student") : homework::currentRole();
    std::string path;
    if (whereShow_ == kHomeView)
        path = "course/exam/" + homework::currentUserId() + "/" + examId_ + "/new";
    else if (whereShow_ == kTeacherToLook)
        path = "course/exam/" + stdId_ + "/" + examId_ + "/new";
    auto weak = weakAs<MVTCourseListViewController>();
    auto failed = [weak] {
        auto self = weak.lock();
        self->setTitle(localized("加载失败"));
        self->removeSendButton();
    };
    if (path.empty()) {
        failed();
        return;
    }
    auto operation = sendTestRequest(
        "GET", path, Json::object(),
        [weak, failed](const Json& reply) {
            auto self = weak.lock();
            if (reply.is_array() && !reply.empty()) {
                self->dataArr_ = Json::array();
                for (const auto& question : reply) {
                    const Json record = question.is_object() ? question : Json::object();
                    self->dataArr_.push_back(record);
                    if (!record.contains("stdAnswer")) ++self->unDidSubmit_;
                }
                if (!self->myheadView_) {
                    self->createHeadView();
                    self->createFooterView();
                }
                self->mytableview_->setTableHeaderView(self->myheadView_);
                self->mytableview_->setTableFooterView(self->myFooterView_);
                if (self->unDidSubmit_ == 0) self->removeSendButton();
                self->mytableview_->reloadData();
            } else if (reply.is_null() || reply.is_array()) {
                self->showNone();
            } else {
                // Anything but a list of questions is no sheet.
                failed();
            }
        },
        failed);
    if (!operation) quiz::showNetworkBanner(0);
}

void MVTCourseListViewController::showNone() {
    const double width = sheetScreen().width();
    if (!noneLabel_) {
        noneLabel_ = std::make_shared<Label>(Rect(0, 0, width, 22));
        noneLabel_->setFont(Font::boldSystemFontOfSize(18));
        noneLabel_->setTextColor(homework::kTextGrey);
        noneLabel_->setTextAlignment(TextAlignment::Center);
        noneLabel_->setBackgroundColor(Color::clear());
        noneLabel_->setText(localized("暂无习题"));
    }
    noneLabel_->setCenter(mytableview_->center());
    mytableview_->addSubview(noneLabel_);
    removeSendButton();
    mytableview_->reloadData();
}

std::shared_ptr<MVTStudentCourseCell> MVTCourseListViewController::cellAtRow(int row) {
    if (row < 0 || std::size_t(row) >= dataArr_.size()) return nullptr;
    auto& cell = cells_[row];
    if (!cell) {
        // Every row its own cell, which keeps the input typed into it while the list
        // scrolls; made once, for its height and for display.
        cell = MVTStudentCourseCell::make("studentCourseCell0_" + std::to_string(row));
        cell->setDelegate(weakAs<MVTStudentCourseCellDelegate>());
        cell->setUserRole(userRole_);
        cell->reloadWith(dataArr_[std::size_t(row)], row);
        cell->setBackgroundColor(Color::clear());
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    }
    return cell;
}

int MVTCourseListViewController::numberOfRowsInSection(TableView&, int) { return int(dataArr_.size()); }

std::shared_ptr<TableViewCell> MVTCourseListViewController::cellForRowAtIndexPath(TableView&, const IndexPath& path) {
    return cellAtRow(path.row);
}

double MVTCourseListViewController::heightForRowAtIndexPath(TableView&, const IndexPath& path) {
    auto cell = cellAtRow(path.row);
    return cell ? cell->frame().height() : 0;
}

// ---- The cells' reports.

void MVTCourseListViewController::toSendAnswer(const Json& record, int row) {
    allAnswersDic_[std::to_string(row)] = record;
}

void MVTCourseListViewController::moreAnswerAt(int row) { allAnswersDic_.erase(std::to_string(row)); }

void MVTCourseListViewController::showDoneBtn(TextView* input) {
    if (input) {
        nowTextView_ = std::static_pointer_cast<TextView>(input->shared_from_this());
        view()->bringSubviewToFront(doneBtn_);
        doneBtn_->setHidden(false);
    } else {
        doneBtn_->setHidden(true);
    }
}

void MVTCourseListViewController::toSetCourseTableViewScrol(bool on) { mytableview_->setScrollEnabled(on); }

void MVTCourseListViewController::toShowFileImageWith(const std::string& resourceId, const std::string& fileName) {
    if (!overlay_)
        overlay_ = AttachmentDownloadOverlay::make(weakAs<ViewController>(), AttachmentDownloadOverlay::answerSheetOptions());
    overlay_->toShowFileImageWith(resourceId, fileName);
}

void MVTCourseListViewController::toDoneKeyboard() {
    if (auto text = nowTextView_.lock()) text->resignFirstResponder();
}

void MVTCourseListViewController::keyboardWillShow(const Notification& notification) {
    const double keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    const Rect screen = sheetScreen();
    view()->bringSubviewToFront(doneBtn_);
    doneBtn_->setFrame({screen.width() - 44, screen.height() - 102 - keyboard, 44, 40});
    auto table = mytableview_;
    animate(0.3, [table, screen, keyboard] { table->setFrame({0, 0, screen.width(), screen.height() - 64 - keyboard}); });
}

void MVTCourseListViewController::keyboardWillHidden(const Notification&) {
    const Rect screen = sheetScreen();
    auto table = mytableview_;
    animate(0.3, [table, screen] { table->setFrame({0, 0, screen.width(), screen.height() - 64}); });
    doneBtn_->setHidden(true);
}

// ---- Sending and leaving.

void MVTCourseListViewController::showAlert(const std::string& title, int tag, const std::string& cancel,
                                            const std::vector<std::string>& others) {
    auto alert = AlertView::make(title, "", weakAs<AlertViewDelegate>(), cancel, others);
    alert->setTag(tag);
    alert->show();
}

void MVTCourseListViewController::toSubmit() {
    const int pending = int(allAnswersDic_.size());
    if (pending == 0 && unDidSubmit_ > 0) {
        showAlert(localized("请先答题"), 0, localized("知道了"), {});
        return;
    }
    std::string title = homework::fill("%@，%@", {localized("已答完所有题目"), localized("是否提交？")});
    if (pending < unDidSubmit_)
        title = homework::fill("%@ %d ，%@ %d ，%@", {localized("已答"), std::to_string(pending), localized("未答"),
                                                    std::to_string(unDidSubmit_ - pending), localized("是否提交？")});
    showAlert(title, kSendAlertTag, localized("否"), {localized("是")});
}

void MVTCourseListViewController::submitData() {
    if (sending_) return;
    // What goes is what is pending now; records handed in while it is on its way stay.
    const std::map<std::string, Json> sent = allAnswersDic_;
    Json answers = Json::array();
    for (const auto& [row, record] : sent) answers.push_back(record);
    const Json parameters = {{"answers", answers.dump()}, {"examId", examId_}};
    auto weak = weakAs<MVTCourseListViewController>();
    auto operation = sendTestRequest(
        "POST", "courseExam/" + homework::currentUserId() + "/anwser", parameters,
        [weak, sent](const Json& reply) {
            auto self = weak.lock();
            self->sending_ = false;
            if (textOf(reply, "result") != "success") {
                self->showSubmitFailed();
                return;
            }
            self->unDidSubmit_ -= int(sent.size());
            if (self->unDidSubmit_ < 0) self->unDidSubmit_ = 0;
            self->changeDataToReload(sent);
            self->initmytableview();
            const bool fromRow = self->view()->tag() == 1;
            if ((fromRow || self->whereShow_ == kHomeView) && self->unDidSubmit_ == 0) {
                self->removeSendButton();
                if (fromRow && !self->completionReported_) {
                    self->completionReported_ = true;
                    ++self->completeCount_;
                    if (auto delegate = self->delegate()) delegate->updateCompletePerson(std::to_string(self->completeCount_));
                }
            }
            self->showAlert(localized("提交成功"), 0, localized("知道了"), {});
        },
        [weak] {
            auto self = weak.lock();
            self->sending_ = false;
            self->showSubmitFailed();
        });
    if (!operation) {
        quiz::showNetworkBanner(0);
        return;
    }
    sending_ = true;
}

void MVTCourseListViewController::changeDataToReload(const std::map<std::string, Json>& sent) {
    for (const auto& [row, record] : sent) {
        const long long index = integerValue(row);
        if (index < 0 || std::size_t(index) >= dataArr_.size()) continue;
        Json& question = dataArr_[std::size_t(index)];
        question["success"] = valueFor(record, "success");
        question["stdAnswer"] = valueFor(record, "answer");
        auto pending = allAnswersDic_.find(row);
        if (pending != allAnswersDic_.end() && pending->second == record) allAnswersDic_.erase(pending);
    }
}

void MVTCourseListViewController::showSubmitFailed() { showAlert(localized("提交失败"), 0, localized("知道了"), {}); }

void MVTCourseListViewController::goback() {
    if (homework::currentRole() != "teacher" && unDidSubmit_ > 0) {
        showAlert(localized("是否放弃答题？"), kLeaveAlertTag, localized("否"), {localized("是")});
        return;
    }
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

void MVTCourseListViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kSendAlertTag && index == 1) submitData();
    if (alert.tag() == kLeaveAlertTag && index == 1) {
        unDidSubmit_ = 0;
        goback();
    }
}
