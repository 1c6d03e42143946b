// The school circle's answers to its post cells, the action sheet, the detail screen and
// the forward screen, and its voices. Every change reaches the service first and then the
// row's dictionary only (there is no cached copy here). Replies find their post by id,
// since the list may have changed while they were on their way. Screens to show go to the
// home, which presents them.

#include "feed/MVTSquareViewController.h"

#include "feed/FeedListParts.h"
#include "feed/MVTHomeViewController.h"
#include "feed/MVTPersonCell.h"
#include "feed/PostRecord.h"
#include "details/PostReport.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/Pasteboard.h"

using namespace platform;

namespace {

void squareAlert(const std::string& title) { AlertView::make(localized(title), "", {}, localized("知道了"))->show(); }

}  // namespace

// ---- Action sheet

void MVTSquareViewController::deleteDynamicWith(const std::string& postId, int row, int kind) {
    DynamicId_ = postId;
    deleteIndex_ = row;
    showATag_ = kind;
    if (row >= 0 && row < int(squareArray_.size())) {
        const Json& record = *squareArray_[size_t(row)];
        DynamicUid_ = textOf(record, "uid");
        DynamicType_ = textOf(record, "type");
        DynamicName_ = textOf(record, "name");
    }
    if (showAS_) return;
    showAS_ = true;
    NotificationCenter::defaultCenter().postNotification(kShowDynamicActionSheet, std::to_string(kind));
}

void MVTSquareViewController::showSquareSelectedWhichWith(const Notification& notification) {
    const long long n = integerValue(textOf(notification.object));
    if (n == 0) return toPresentViewWith(deleteIndex_);
    switch (showATag_) {
    case 0:
        if (n == 4) reportWithWeb();
        break;
    case 1:
        if (n == 1) toForwardViewController();
        else if (n == 4) reportWithWeb();
        break;
    case 2:
        if (n == 1 || n == 2 || n == 4) confirmDelete();
        break;
    case 3:
        if (n == 1 || n == 2) {
            if (n == 1) confirmDelete();
            else toForwardViewController();
        }
        break;
    default: break;
    }
}

void MVTSquareViewController::confirmDelete() {
    auto alert = AlertView::make(localized("确认删除？"), "", weakAs<AlertViewDelegate>(), "",
                                 {localized("取消"), localized("确定")});
    alert->setTag(kDeleteAlertTag);
    alert->show();
}

void MVTSquareViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kDeleteAlertTag && index == 1) toDeleteDynamicWith(DynamicId_, deleteIndex_);
}

void MVTSquareViewController::toDeleteDynamicWith(const std::string& postId, int row) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (row == voiceRow() && !app->nowPlayPath().empty()) app->stopPlayAudio();
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/feed/" + postId + "/message/delete");
    if (!request) {
        MVTPublicMethod::stopWaitAnimation(view());
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    sendJson(
        std::move(*request),
        [postId](MVTSquareViewController& self, const Json& reply) {
            self.showHUDWithBool(false);
            if (reply.is_null()) return;
            if (integerValue(Json(textOf(reply, "success"))) == 0) return squareAlert("删除失败,请重新删除");
            const int listed = self.postIndexWithId(postId);
            const Json deleted = listed >= 0 ? *self.squareArray_[size_t(listed)] : Json{{"id", postId}};
            NotificationCenter::defaultCenter().postNotification(MVTHomeViewController::kSynchronousDeleteFormHome,
                                                                 deleted);
            self.removeDataFromArr(self.postIndexWithId(postId));
        },
        [](MVTSquareViewController& self) {
            self.showHUDWithBool(false);
            squareAlert("删除失败,请重新删除");
        });
}

void MVTSquareViewController::reportWithWeb() {
    const Json reported = {{"id", DynamicId_}, {"uid", DynamicUid_}, {"name", DynamicName_}, {"type", DynamicType_}};
    if (auto home = delegate()) home->reportWithWebView(postReportAddress(reported, userId()));
}

void MVTSquareViewController::readyToForwardWith(const std::string& row) {
    deleteIndex_ = int(integerValue(row));
    toForwardViewController();
}

void MVTSquareViewController::toForwardViewController() {
    if (deleteIndex_ < 0 || deleteIndex_ >= int(squareArray_.size())) return;
    const Json& record = *squareArray_[size_t(deleteIndex_)];
    auto forward = std::make_shared<MVTForwardViewController>();
    forward->initWithDic(record);
    forward->setModelName("feed");
    forward->setModelID(textOf(record, "id"));
    forward->view()->setTag(1);
    forward->setDelegate(weakAs<MVTForwardDelegate>());
    if (auto home = delegate()) home->toForward(forward);
}

void MVTSquareViewController::showTurnSuccessWith(const std::string& text) {
    feedlist::showTurnToast(showTurnLa_, *view(), squareTable_ ? squareTable_->frame().maxY() : view()->bounds().height(),
                            text);
}

// ---- List changes

void MVTSquareViewController::removeDataFromArr(int row) {
    if (row < 0 || row >= int(squareArray_.size())) return;
    squareArray_.erase(squareArray_.begin() + row);
    initSquareTable();
}

void MVTSquareViewController::deleteOneCell(int) { removeDataFromArr(detailRow()); }

void MVTSquareViewController::synchronousDeleteFormSquare(const Notification& notification) {
    removeDataFromArr(postIndexWithId(textOf(notification.object, "id")));
}

void MVTSquareViewController::commentFormSquare(const Notification& notification) {
    const Json& payload = notification.object;
    if (!payload.is_array() || payload.size() < 2 || !payload[1].is_object()) return;
    const int row = postIndexWithId(textOf(payload[0]));
    if (row < 0) return;
    Json& record = *squareArray_[size_t(row)];
    std::string count = textOf(record, "commentCount");
    if (!count.empty()) count = std::to_string(integerValue(count) + 1);
    Json comments = post::listOf(record, "comments");
    comments.insert(comments.begin(), payload[1]);
    record["commentCount"] = count;
    record["comments"] = comments;
    if (squareTable_) squareTable_->reloadRowsAtIndexPaths({{0, row}}, TableViewRowAnimation::None);
}

void MVTSquareViewController::toCommentDynamicWith(const std::string& postId) {
    NotificationCenter::defaultCenter().postNotification(kToCommentDynamicNotification, postId);
}

// ---- Praise

void MVTSquareViewController::sendPraiseWith(Button& praiseButton) {
    const std::string postId = praiseButton.accessibilityHint();
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/feed/" + postId + "/praise");
    if (!request) return banner(MVTAppDelegate::NetworkMessageNoNetwork);
    showHUDWithBool(true);
    auto button = std::static_pointer_cast<Button>(praiseButton.shared_from_this());
    sendJson(
        std::move(*request),
        [button, postId](MVTSquareViewController& self, const Json& reply) {
            self.showHUDWithBool(false);
            self.praiseReplied(button, postId, reply);
        },
        [](MVTSquareViewController& self) {
            self.showHUDWithBool(false);
            banner(MVTAppDelegate::NetworkMessageFailed);
        });
}

void MVTSquareViewController::praiseReplied(const std::shared_ptr<Button>& button, const std::string& postId,
                                            const Json& reply) {
    const int row = postIndexWithId(postId);
    auto countLabel = std::dynamic_pointer_cast<Label>(button->viewWithTag(MVTPersonCell::kPraiseCountTag));
    auto heart = std::dynamic_pointer_cast<ImageView>(button->viewWithTag(MVTPersonCell::kPraiseIconTag));
    if (!reply.is_object() || integerValue(valueFor(reply, "success")) == 0) {
        const std::string message = textOf(reply, "message");
        if (message == "该内容已被删除") {
            removeDataFromArr(row);
        } else if (message == "已经赞过了，不能再赞了") {
            if (countLabel && integerValue(countLabel->text()) == 0) countLabel->setText("1");
            button->setUserInteractionEnabled(false);
            if (row >= 0) {
                (*squareArray_[size_t(row)])["likeCount"] = countLabel ? countLabel->text() : std::string("1");
                (*squareArray_[size_t(row)])["love"] = "1";
            }
            if (heart) {
                heart->setImage(Image::imageNamed("liked.png"));
                feedlist::animateHeart(heart, {6, 8, 24, 24}, {10, 12, 16, 16});
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
    if (row < 0) return;
    Json& record = *squareArray_[size_t(row)];
    Json praisers = post::listOf(record, "likeUsers");
    const bool before = !praisers.empty();
    const std::string uid = userId();
    const std::string name = MVTAccount::sharedInstance().name().value_or("");
    if (love == "1") praisers.insert(praisers.begin(), Json{{"name", name}, {"uid", uid}});
    else if (before) praisers = feedlist::withoutOwnPraise(praisers, uid, name);
    record["likeCount"] = count;
    record["love"] = love;
    record["likeUsers"] = praisers;
    const bool strip = before && !praisers.empty();
    if (!heart || !button->window()) return toReloadPraiseCell(row);
    auto weak = weakAs<MVTSquareViewController>();
    feedlist::animateHeart(heart, {8, 8, 24, 24}, {12, 12, 16, 16}, [weak, postId, strip] {
        auto self = weak.lock();
        if (!self) return;
        const int at = self->postIndexWithId(postId);
        if (at < 0) return;
        if (strip) {
            if (auto cell = self->cellAtRow(at)) cell->reloadpraiseUsersWith(*self->squareArray_[size_t(at)]);
            return;
        }
        RunLoop::main().performAfter(0.01, [weak, at] {
            if (auto alive = weak.lock()) alive->toReloadPraiseCell(at);
        });
    });
}

void MVTSquareViewController::toReloadPraiseCell(int row) {
    if (squareTable_ && row >= 0 && row < int(squareArray_.size()))
        squareTable_->reloadRowsAtIndexPaths({{0, row}}, TableViewRowAnimation::Automatic);
}

// ---- Votes

void MVTSquareViewController::toSendVoteWith(const std::string& postId, const std::string& voteId,
                                             const std::string& answerIds, int) {
    sendVoteRequest(MVTPublicMethod::requestWithMethod(
                        "POST", ServiceAddress::servicePrefix() + "user/" + userId() + "/save/vote/" + voteId + "/answer",
                        Json{{"answerIds", answerIds}}),
                    postId, false);
}

void MVTSquareViewController::toRefreshVoteWith(const std::string& postId, const std::string& voteId, int) {
    sendVoteRequest(MVTPublicMethod::requestWithMethod(
                        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/refresh/" + voteId + "/vote"),
                    postId, true);
}

void MVTSquareViewController::sendVoteRequest(std::optional<UrlRequest> request, const std::string& postId,
                                              bool refresh) {
    if (!request) return banner(MVTAppDelegate::NetworkMessageNoNetwork);
    showHUDWithBool(true);
    const char* failedTitle = refresh ? "刷新失败" : "投票失败";
    sendJson(
        std::move(*request),
        [postId, failedTitle](MVTSquareViewController& self, const Json& reply) {
            self.showHUDWithBool(false);
            const Json& vote = valueFor(reply, "vote");
            if (!reply.is_object() || integerValue(Json(textOf(reply, "success"))) == 0 || !vote.is_object())
                return squareAlert(failedTitle);
            const int row = self.postIndexWithId(postId);
            if (row < 0) return;
            (*self.squareArray_[size_t(row)])["vote"] = vote;
            if (self.squareTable_) self.squareTable_->reloadRowsAtIndexPaths({{0, row}}, TableViewRowAnimation::None);
        },
        [failedTitle](MVTSquareViewController& self) {
            self.showHUDWithBool(false);
            squareAlert(failedTitle);
        });
}

// ---- Copying, files, links, people

void MVTSquareViewController::readyToCopyContentWith(const Rect& rect, int row, const std::string& text) {
    copyContentStr_ = text;
    auto weak = weakAs<MVTSquareViewController>();
    auto& menu = MenuController::shared();
    menu.setMenuItems({{localized("复制"), [weak] {
                            if (auto self = weak.lock()) self->copyContentString();
                        }}});
    auto cell = cellAtRow(row);
    menu.setTargetRect(rect, cell ? cell->contentView() : std::shared_ptr<View>(squareTable_));
    menu.setMenuVisible(true, true);
}

void MVTSquareViewController::copyContentString() { Pasteboard::generalPasteboard().setString(copyContentStr_); }

void MVTSquareViewController::toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                                   const std::string& type) {
    // The home's files and overlay: one cache of attachments, one download at a time.
    if (auto home = delegate()) home->toDownLoadAttachWith(resourceId, name, type);
}

void MVTSquareViewController::sendLinkWith(const std::string& url, const std::string& title) {
    if (auto home = delegate()) home->sendLinkWith(url, title);
}

void MVTSquareViewController::chooseNamed(const Json& user) {
    if (auto home = delegate()) home->chooseNamed(user);
}

// ---- The detail screen

void MVTSquareViewController::toPresentViewWith(int row) {
    if (row < 0 || row >= int(squareArray_.size())) return;
    indexPathsArr_ = {row};
    detailRecord_ = squareArray_[size_t(row)];
    MVTAppDelegate::sharedAppDelegate()->setNowPage(MVTAppDelegate::VoicePageDetails);
    auto details = std::make_shared<MVTDetailsViewController>();
    details->setDelegate(weakAs<MVTDetailsViewControllerDelegate>().lock());
    details->setMyDict(detailRecord_);
    details->setModelName("feed");
    details->setModelID(textOf(*detailRecord_, "id"));
    details->setSelfIndexStr(std::to_string(row));
    details->view()->setTag(MVTDetailsViewController::kModalTag);
    details->view()->setAccessibilityHint("feed");
    if (auto home = delegate()) home->toPresent(details);
}

void MVTSquareViewController::toPresentNowAudioPlayView() { toPresentViewWith(voiceRow()); }

int MVTSquareViewController::detailRow() const {
    for (std::size_t i = 0; i < squareArray_.size(); ++i)
        if (squareArray_[i] == detailRecord_) return int(i);
    return -1;
}

void MVTSquareViewController::reloadOneCell() {
    const int row = detailRow();
    if (squareTable_ && row >= 0) squareTable_->reloadRowsAtIndexPaths({{0, row}}, TableViewRowAnimation::None);
}

void MVTSquareViewController::toStartHomeAudio() { isNewPlay_ = true; }

void MVTSquareViewController::toStopHomeAudio() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty() || downloading_) app->stopPlayAudio();
}

void MVTSquareViewController::toPlayOrStopAudio(bool playing) {
    if (indexPathsArr_.empty()) return;
    if (auto cell = cellAtRow(indexPathsArr_.front())) cell->showPlayOrPause(playing);
}

void MVTSquareViewController::detalsStopAudio() {
    if (indexPathsArr_.empty()) return;
    if (auto cell = cellAtRow(indexPathsArr_.front())) cell->changeState(PostKindRenderer::VoiceEnded);
}

// ---- Voice

void MVTSquareViewController::setVoiceRow(int row) {
    if (squareTable_) squareTable_->setTag(row);
}

int MVTSquareViewController::voiceRow() const { return squareTable_ ? squareTable_->tag() : 0; }

void MVTSquareViewController::toDownLoadAudioWith(const std::string& resourceId, int row) {
    // The id names the voice's files, so only a plain name is fetched.
    if (!post::isPlainName(resourceId)) return reloadCell();
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    downloading_ = true;
    setVoiceRow(row);
    const std::string url =
        ServiceAddress::baseUrl() + "resource/" + resourceId + "/download?token=" + app->getTokenWith(resourceId);
    auto weak = weakAs<MVTSquareViewController>();
    audioTokens_.erase(resourceId);
    audioTokens_[resourceId] =
        NotificationCenter::defaultCenter().addObserver(resourceId, [weak, resourceId](const Notification& notification) {
            if (auto self = weak.lock()) self->didDownloadAudio(resourceId, textOf(notification.object));
        });
    MVTAppDelegate::downloadVoice(url, post::voiceFile(resourceId), resourceId);
}

void MVTSquareViewController::didDownloadAudio(const std::string& resourceId, const std::string& outcome) {
    if (outcome == "downloadSuccess") {
        downloading_ = false;
        if (!feedlist::ensureWav(resourceId)) {
            MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
            return reloadCell();
        }
        playRecord(resourceId, voiceRow());
        startCellAudioPlay();
    } else if (outcome == "downloadFailed") {
        MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
        downloading_ = false;
        reloadCell();
    }
}

void MVTSquareViewController::reloadCell() {
    const int row = voiceRow();
    if (squareTable_ && row >= 0 && row < int(squareArray_.size()))
        squareTable_->reloadRowsAtIndexPaths({{0, row}}, TableViewRowAnimation::None);
}

void MVTSquareViewController::playRecord(const std::optional<std::string>& resourceId, int row) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    app->setNowPlayPage(MVTAppDelegate::VoicePageSquare);
    const bool listed = row >= 0 && row < int(squareArray_.size());
    if (!app->nowPlayPath().empty() || downloading_) {
        if (row == voiceRow()) {
            if (resourceId) app->playsound();
            else app->pauseSound();
            return;
        }
        app->stopPlayAudio();
    }
    if (!resourceId || !listed) return;
    if (!post::isPlainName(*resourceId) || !feedlist::ensureWav(*resourceId)) {
        setVoiceRow(row);
        return reloadCell();
    }
    vedioStr_ = *resourceId;
    ProximitySensor::shared().setMonitoringEnabled(true);
    app->setNowPlayId(textOf(*squareArray_[size_t(row)], "id"));
    app->toSetAudio(post::wavFile(*resourceId), feedlist::backgroundTrackOf(*squareArray_[size_t(row)]));
    feedlist::setAudioRoute();
    setVoiceRow(row);
}

void MVTSquareViewController::playAgain() {
    if (!MVTAppDelegate::sharedAppDelegate()->nowPlayPath().empty()) playRecord(vedioStr_, voiceRow());
}

void MVTSquareViewController::toStopSquareAudioPlay() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app->nowPlayPage() == MVTAppDelegate::VoicePageSquare && app->nowPage() == MVTAppDelegate::VoicePageDetails)
        NotificationCenter::defaultCenter().postNotification(MVTHomeViewController::kToStopDetailsAudio);
    downloading_ = false;
    ProximitySensor::shared().setMonitoringEnabled(false);
    stopCellAudioPlay();
}

void MVTSquareViewController::toShowSquareProgress(const Notification& notification) {
    if (auto cell = cellAtRow(voiceRow())) cell->showAudioProgress(float(doubleValue(textOf(notification.object))));
}

void MVTSquareViewController::startCellAudioPlay() {
    if (auto cell = cellAtRow(voiceRow())) cell->changeState(PostKindRenderer::VoicePlaying);
}

void MVTSquareViewController::stopCellAudioPlay() {
    if (auto cell = cellAtRow(voiceRow())) cell->showAudioProgress(1.1f);
}
