#include "homework/MVTNHWSubmitStudentsListViewController.h"

#include "core/MVTPublicMethod.h"
#include "homework/MVTNHWAnswerInfoViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

// A hand-in time or count that is really there.
bool hasHandInValue(const Json& row, const char* key) {
    return row.contains(key) && !row[key].is_null() && !MVTPublicMethod::stringIsClassNull(row[key]);
}

}  // namespace

void MVTNHWSubmitStudentsListViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    if (isNewsCenter_)
        setTitle(!subCount_ || MVTPublicMethod::stringIsClassNull(*subCount_) ? "" : *subCount_);
    else
        setTitle(homework::fill("%@(%d)", {localized("提交统计"), std::to_string(intValue(subCount_.value_or("")))}));
    auto weak = weakAs<MVTNHWSubmitStudentsListViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    dataArray_ = Json::array();
    faceImageDic_.clear();
    initTable();
    getSubmitStudentsData();
}

void MVTNHWSubmitStudentsListViewController::initTable() {
    if (myTable_) {
        myTable_->reloadData();
        return;
    }
    const Rect screen = Screen::mainScreen().bounds();
    myTable_ = homework::makeListTable({0, 0, screen.width(), screen.height() - 64});
    creatTableFooter();
    myTable_->setDelegate(weakAs<TableViewDelegate>().lock());
    myTable_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(myTable_);
}

void MVTNHWSubmitStudentsListViewController::creatTableFooter() {
    if (moreBtn_) return;
    auto weak = weakAs<MVTNHWSubmitStudentsListViewController>();
    moreBtn_ = homework::setLoadMoreFooter(*myTable_, [weak] {
        if (auto self = weak.lock()) self->getSubmitStudentsData();
    });
}

void MVTNHWSubmitStudentsListViewController::getSubmitStudentsData() {
    // One page at a time, so that a page is never asked (and shown) twice.
    if (loading_) return;
    // The page follows the rows received: in the notification centre's mode rows without
    // attachments are not kept, and counting only the kept ones would ask a page again.
    const std::size_t page = receivedRows_ / homework::kPageSize + 1;
    const Json parameters = {{"page", std::to_string(page)}, {"limit", std::to_string(homework::kPageSize)}};
    auto weak = weakAs<MVTNHWSubmitStudentsListViewController>();
    auto failed = [weak] {
        auto self = weak.lock();
        self->loading_ = false;
        self->moreBtn_->setTitle(localized("点击加载更多"));
        self->moreBtn_->setUserInteractionEnabled(true);
    };
    auto operation = sendRequest(
        "GET", "homework/" + homework::currentUserId() + "/answers/" + hwId_ + "/get", parameters,
        [weak, failed](const Json& reply) {
            auto self = weak.lock();
            if (!reply.is_null() && !reply.is_array()) {
                failed();
                return;
            }
            self->loading_ = false;
            const Json rows = reply.is_array() ? reply : Json::array();
            for (const auto& row : rows) {
                if (!row.is_object()) continue;
                const Json& answers = row.contains("answers") ? row["answers"] : Json();
                if (self->isNewsCenter_ && !(answers.is_array() && !answers.empty())) continue;
                self->dataArray_.push_back(row);
            }
            self->receivedRows_ += rows.size();
            if (rows.size() > 19) {
                self->moreBtn_->setTitle(localized("点击加载更多"));
                self->moreBtn_->setUserInteractionEnabled(true);
            } else {
                const bool any = !rows.empty() || !self->dataArray_.empty();
                self->moreBtn_->setTitle(localized(any ? "已加载全部" : "没有相关内容"));
                self->moreBtn_->setUserInteractionEnabled(false);
            }
            self->initTable();
        },
        failed);
    loading_ = operation != nullptr;
}

void MVTNHWSubmitStudentsListViewController::toGetFaceImageWith(const std::shared_ptr<ImageView>& avatar) {
    const std::string uid = avatar->accessibilityValue();
    std::weak_ptr<ImageView> weakAvatar = avatar;
    auto weak = weakAs<MVTNHWSubmitStudentsListViewController>();
    homework::loadPictureInBackground("account/" + uid + "/avatar?default=false",
                                      [weak, weakAvatar, uid](std::shared_ptr<Image> image) {
                                          auto self = weak.lock();
                                          if (!self) return;
                                          if (image) {
                                              if (auto view = weakAvatar.lock()) view->setImage(image);
                                              self->faceImageDic_[uid] = image;
                                          } else {
                                              // Not tried again for this screen.
                                              self->faceImageDic_[uid] = Image::imageNamed("default_user");
                                          }
                                      });
}

int MVTNHWSubmitStudentsListViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(dataArray_.size());
}

double MVTNHWSubmitStudentsListViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 50; }

std::shared_ptr<TableViewCell> MVTNHWSubmitStudentsListViewController::cellForRowAtIndexPath(
    TableView& tableView, const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellId);
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, kCellId);
        homework::addSubmissionViews(*cell->contentView());
        auto arrow = std::make_shared<ImageView>(Rect(Screen::mainScreen().bounds().width() - 17, 10, 6.5, 10));
        arrow->setTag(kArrowTag);
        arrow->setImage(Image::imageNamed("nhw_jian.png"));
        cell->contentView()->addSubview(arrow);
    }
    auto content = cell->contentView();
    const Json& row = dataArray_.at(indexPath.row);
    auto avatar = std::static_pointer_cast<ImageView>(content->viewWithTag(kAvatarTag));
    const std::string uid = textOf(row, "uid");
    if (auto cached = faceImageDic_.find(uid); cached != faceImageDic_.end()) {
        avatar->setImage(cached->second);
    } else {
        avatar->setImage(Image::imageNamed("default_user"));
        avatar->setAccessibilityValue(uid);
        toGetFaceImageWith(avatar);
    }
    avatar->setAlpha(0.6);
    content->viewWithTag(kArrowTag)->setHidden(true);
    std::static_pointer_cast<Label>(content->viewWithTag(kNameTag))->setText(textOf(row, "name"));
    homework::setSubmissionClass(*content, textOf(row, "className"));
    auto time = std::static_pointer_cast<Label>(content->viewWithTag(kTimeTag));
    time->setText("");
    if (hasHandInValue(row, "dateline")) {
        time->setText(MVTAppDelegate::sharedAppDelegate()->getDateWith(textOf(row, "dateline")));
        avatar->setAlpha(1.0);
        content->viewWithTag(kArrowTag)->setHidden(false);
    }
    auto count = std::static_pointer_cast<Label>(content->viewWithTag(kCountTag));
    count->setText(localized("未提交"));
    if (hasHandInValue(row, "count")) {
        count->setText(homework::fill("%d %@", {std::to_string(intValue(textOf(row, "count"))), localized("附件")}));
        avatar->setAlpha(1.0);
        content->viewWithTag(kArrowTag)->setHidden(false);
    }
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

void MVTNHWSubmitStudentsListViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(dataArray_.size())) return;
    const Json& row = dataArray_[indexPath.row];
    if (!row.contains("answers") || !row["answers"].is_array() || row["answers"].empty()) return;
    auto answer = std::make_shared<MVTNHWAnswerInfoViewController>();
    answer->setInfoDic(row);
    auto cached = faceImageDic_.find(textOf(row, "uid"));
    answer->setFaceImage(cached != faceImageDic_.end() ? cached->second : nullptr);
    if (auto stack = navigationController()) stack->pushViewController(answer, true);
}

void MVTNHWSubmitStudentsListViewController::goback() {
    if (auto stack = navigationController()) stack->popViewController(true);
}
