// The home feed's answers to its post cells and to the detail screen: praise, votes,
// copying, comments, the detail screen, people and links. Each change reaches the service
// first, then the row's dictionary and the user's cached copy. Replies find their post by
// its id, since the list may have changed while they were on their way.

#include "feed/MVTHomeViewController.h"

#include "feed/FeedListParts.h"
#include "feed/MVTPersonCell.h"
#include "feed/PostRecord.h"
#include "account/MVTInterClassViewController.h"
#include "me/MVTTimeSpaceViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/Pasteboard.h"

using namespace platform;

namespace {

void tellWith(const std::string& title) { AlertView::make(title, "", {}, localized("知道了"))->show(); }

}  // namespace

bool MVTHomeViewController::needsClass() {
    if (!MVTPublicMethod::isUnClassId()) return false;
    MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
    return true;
}

void MVTHomeViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kDeleteAlertTag) {
        if (index == 1) toDeleteDynamicWith(DynamicId_, deleteIndex_);
        return;
    }
    MVTInterClassViewController::answerJoinClassAlert(*this, alert, index);
}

// ---- Praise

void MVTHomeViewController::sendPraiseWith(Button& praiseButton) {
    if (needsClass()) return;
    const std::string postId = praiseButton.accessibilityHint();
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/feed/" + postId + "/praise");
    if (!request) {
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    auto button = std::static_pointer_cast<Button>(praiseButton.shared_from_this());
    sendJson(
        std::move(*request),
        [button, postId](MVTHomeViewController& self, const Json& reply) {
            self.showHUDWithBool(false);
            self.praiseReplied(button, postId, reply);
        },
        [](MVTHomeViewController& self) {
            self.showHUDWithBool(false);
            banner(MVTAppDelegate::NetworkMessageFailed);
        });
}

void MVTHomeViewController::praiseReplied(const std::shared_ptr<Button>& button, const std::string& postId,
                                          const Json& reply) {
    const int row = postIndexWithId(postId);
    auto countLabel = std::dynamic_pointer_cast<Label>(button->viewWithTag(MVTPersonCell::kPraiseCountTag));
    auto heart = std::dynamic_pointer_cast<ImageView>(button->viewWithTag(MVTPersonCell::kPraiseIconTag));
    const std::string uid = userId();
    if (integerValue(valueFor(reply, "success")) == 0) {
        const std::string message = textOf(reply, "message");
        if (message == "该内容已被删除") {
            MVTtirraDataBase::deleteDynamicWith(uid, postId);
            removeDataFromArr(row);
        } else if (message == "已经赞过了，不能再赞了") {
            std::string count = row >= 0 ? textOf(*dataArray_[size_t(row)], "likeCount") : std::string("1");
            if (countLabel) {
                if (integerValue(countLabel->text()) == 0) countLabel->setText("1");
                count = countLabel->text();
            } else if (integerValue(count) == 0) {
                count = "1";
            }
            button->setUserInteractionEnabled(false);
            MVTtirraDataBase::updateDynamicDataWithIDWithLikeCount(uid, postId, count);
            if (row >= 0) {
                (*dataArray_[size_t(row)])["likeCount"] = count;
                (*dataArray_[size_t(row)])["love"] = "1";
            }
            if (heart) {
                heart->setImage(Image::imageNamed("liked.png"));
                animateHeart(heart, {});
            }
        } else {
            banner(MVTAppDelegate::NetworkMessageFailed);
        }
        return;
    }
    const std::string count = std::to_string(integerValue(valueFor(reply, "count")));
    const std::string love = std::to_string(integerValue(valueFor(reply, "love")));
    if (countLabel) countLabel->setText(count);
    if (heart) heart->setImage(Image::imageNamed(love == "1" ? "liked.png" : "like.png"));
    if (row < 0) {
        // The post left the list meanwhile: only its cached copy hears of it.
        MVTtirraDataBase::updateDynamicDataWithIDWithLikeCount(uid, postId, count);
        return;
    }
    Json& record = *dataArray_[size_t(row)];
    Json praisers = post::listOf(record, "likeUsers");
    const bool before = !praisers.empty();
    const std::string name = MVTAccount::sharedInstance().name().value_or("");
    if (love == "1") praisers.insert(praisers.begin(), Json{{"name", name}, {"uid", uid}});
    else if (before) praisers = feedlist::withoutOwnPraise(praisers, uid, name);
    record["likeCount"] = count;
    record["love"] = love;
    record["likeUsers"] = praisers;
    MVTtirraDataBase::updateDynamicData(uid, textOf(record, "id"), count, love,
                                        praisers.empty() ? std::string() : praisers.dump());
    const bool strip = before && !praisers.empty();
    // A button of a row rebuilt meanwhile is no longer shown: the row is drawn anew.
    if (!heart || !button->window()) {
        toReloadPraiseCell(row);
        return;
    }
    auto weak = weakAs<MVTHomeViewController>();
    animateHeart(heart, [weak, postId, strip] {
        auto self = weak.lock();
        if (!self) return;
        self->finishPraise(self->postIndexWithId(postId), strip);
    });
}

void MVTHomeViewController::animateHeart(const std::shared_ptr<View>& heart, std::function<void()> done) {
    feedlist::animateHeart(heart, {8, 8, 24, 24}, {12, 12, 16, 16}, std::move(done));
}

void MVTHomeViewController::finishPraise(int row, bool strip) {
    if (row < 0) return;
    if (strip) {
        if (auto cell = cellAtRow(row)) cell->reloadpraiseUsersWith(*dataArray_[size_t(row)]);
        return;
    }
    // The praisers line comes or goes, and with it the row's height.
    auto weak = weakAs<MVTHomeViewController>();
    RunLoop::main().performAfter(0.01, [weak, row] {
        if (auto self = weak.lock()) self->toReloadPraiseCell(row);
    });
}

void MVTHomeViewController::toReloadPraiseCell(int row) {
    if (myTable_ && row >= 0 && row < int(dataArray_.size()))
        myTable_->reloadRowsAtIndexPaths({{kPostSection, row}}, TableViewRowAnimation::Automatic);
}

void MVTHomeViewController::removeDataFromArr(int row) {
    if (row < 0 || row >= int(dataArray_.size())) return;
    dataArray_.erase(dataArray_.begin() + row);
    if (myTable_) myTable_->reloadData();
}

// ---- Votes

void MVTHomeViewController::toSendVoteWith(const std::string& postId, const std::string& voteId,
                                           const std::string& answerIds, int) {
    sendVoteRequest(MVTPublicMethod::requestWithMethod(
                        "POST", ServiceAddress::servicePrefix() + "user/" + userId() + "/save/vote/" + voteId + "/answer",
                        Json{{"answerIds", answerIds}}),
                    postId, false);
}

void MVTHomeViewController::toRefreshVoteWith(const std::string& postId, const std::string& voteId, int) {
    sendVoteRequest(MVTPublicMethod::requestWithMethod(
                        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/refresh/" + voteId + "/vote"),
                    postId, true);
}

void MVTHomeViewController::sendVoteRequest(std::optional<UrlRequest> request, const std::string& postId, bool refresh) {
    if (!request) {
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    sendJson(
        std::move(*request),
        [postId, refresh](MVTHomeViewController& self, const Json& reply) { self.voteReplied(postId, reply, refresh); },
        [refresh](MVTHomeViewController& self) {
            self.showHUDWithBool(false);
            tellWith(refresh ? localized("刷新失败") : std::string("投票上传失败"));
        });
}

void MVTHomeViewController::voteReplied(const std::string& postId, const Json& reply, bool refresh) {
    showHUDWithBool(false);
    const bool empty = reply.is_null() || (reply.is_object() && reply.empty());
    if (empty) {
        if (refresh) tellWith(localized("刷新失败"));
        return;
    }
    const Json& vote = valueFor(reply, "vote");
    if (intValue(Json(textOf(reply, "success"))) == 0 || !vote.is_object()) {
        if (refresh) {
            tellWith(localized("刷新失败"));
        } else {
            const Json& message = valueFor(reply, "message");
            tellWith(MVTPublicMethod::stringIsClassNull(message) ? std::string("投票失败") : textOf(message));
        }
        return;
    }
    const int row = postIndexWithId(postId);
    MVTtirraDataBase::updateDynamicData(userId(), postId, vote);
    if (row < 0) return;
    (*dataArray_[size_t(row)])["vote"] = vote;
    if (myTable_) myTable_->reloadRowsAtIndexPaths({{kPostSection, row}}, TableViewRowAnimation::None);
}

// ---- Copying

void MVTHomeViewController::readyToCopyContentWith(const Rect& rect, int row, const std::string& text) {
    copyContentStr_ = text;
    auto weak = weakAs<MVTHomeViewController>();
    auto& menu = MenuController::shared();
    menu.setMenuItems({{localized("复制"), [weak] {
                            if (auto self = weak.lock()) self->copyContentString();
                        }}});
    auto cell = cellAtRow(row);
    menu.setTargetRect(rect, cell ? cell->contentView() : std::shared_ptr<View>(myTable_));
    menu.setMenuVisible(true, true);
}

void MVTHomeViewController::copyContentString() { Pasteboard::generalPasteboard().setString(copyContentStr_); }

// ---- Comments

void MVTHomeViewController::toCommentDynamicWith(const std::string& postId) {
    NotificationCenter::defaultCenter().postNotification(kToCommentDynamicNotification, postId);
}

void MVTHomeViewController::commentFormHome(const Notification& notification) {
    const Json& payload = notification.object;
    if (!payload.is_array() || payload.size() < 2 || !payload[1].is_object()) return;
    const int row = postIndexWithId(textOf(payload[0]));
    if (row < 0) return;
    Json& record = *dataArray_[size_t(row)];
    std::string count = textOf(record, "commentCount");
    if (!count.empty()) count = std::to_string(integerValue(count) + 1);
    Json comments = post::listOf(record, "comments");
    comments.insert(comments.begin(), payload[1]);
    record["commentCount"] = count;
    record["comments"] = comments;
    MVTtirraDataBase::updateDynamicData(userId(), textOf(record, "id"), comments.dump(), count);
    if (myTable_) myTable_->reloadRowsAtIndexPaths({{kPostSection, row}}, TableViewRowAnimation::None);
}

// ---- The detail screen

void MVTHomeViewController::toPresentViewWith(int row) {
    if (row < 0 || row >= int(dataArray_.size())) return;
    indexPathsArr_ = {row};
    detailRecord_ = dataArray_[size_t(row)];
    MVTAppDelegate::sharedAppDelegate()->setNowPage(MVTAppDelegate::VoicePageDetails);
    auto details = std::make_shared<MVTDetailsViewController>();
    details->setDelegate(weakAs<MVTDetailsViewControllerDelegate>().lock());
    details->setMyDict(detailRecord_);
    details->setModelName("feed");
    details->setModelID(textOf(*detailRecord_, "id"));
    details->setSelfIndexStr(std::to_string(row));
    details->view()->setTag(MVTDetailsViewController::kModalTag);
    details->view()->setAccessibilityHint("feed");
    toPresent(details);
}

void MVTHomeViewController::toPresent(const std::shared_ptr<ViewController>& screen) {
    presentViewController(myNavigationController::withRoot(screen), true);
}

int MVTHomeViewController::detailRow() const {
    for (std::size_t i = 0; i < dataArray_.size(); ++i)
        if (dataArray_[i] == detailRecord_) return int(i);
    return -1;
}

void MVTHomeViewController::reloadOneCell() {
    const int row = detailRow();
    if (myTable_ && row >= 0) myTable_->reloadRowsAtIndexPaths({{kPostSection, row}}, TableViewRowAnimation::None);
}

void MVTHomeViewController::deleteOneCell(int) { removeDataFromArr(detailRow()); }

// ---- People and links

void MVTHomeViewController::chooseNamed(const Json& user) {
    if (textOf(user, "role") == "system") return;
    auto space = std::make_shared<MVTTimeSpaceViewController>();
    space->setUserDict(user);
    toPresent(space);
}

void MVTHomeViewController::sendLinkWith(const std::string& url, const std::string& title) {
    auto page = std::make_shared<MVTWebViewController>();
    page->setIsFromHomeView(true);
    toPresent(page);
    page->reloadUrlWith(url, title);
}
