// What the user does to the item and its comments on the detail screen: the comment sheet
// (delete one's own comment, answer or report someone else's), praise, deleting the post,
// votes, file attachments and links.

#include "details/MVTDetailsViewController.h"
#include "details/PostReport.h"

#include "feed/PostRecord.h"

#include "shell/AttachmentDownloadOverlay.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTReportViewController.h"
#include "shell/MVTWebViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

#include "platform/Files.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <algorithm>

using namespace platform;

namespace {

bool detailsSucceeded(const Json& reply) {
    return reply.is_object() && integerValue(Json(textOf(reply, "success"))) != 0;
}

// The comma list of praisers' names as a list, and back.
std::vector<std::string> splitNames(const std::string& names) {
    std::vector<std::string> parts;
    if (names.empty()) return parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = names.find(',', start);
        parts.push_back(names.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return parts;
}

std::string joinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const auto& name : names) joined += (joined.empty() ? "" : ",") + name;
    return joined;
}

}  // namespace

// ---- The comment sheet

void MVTDetailsViewController::selectWhichCell(int row) {
    if (row < 0 || std::size_t(row) >= dataArray_.size()) return;
    selectIndex_ = row;
    isSelf_ = integerValue(valueFor(dataArray_[std::size_t(row)], "uid")) == integerValue(Json(userId()));
    const std::vector<std::string> buttons = isSelf_
                                                 ? std::vector<std::string>{localized("删 除")}
                                                 : std::vector<std::string>{localized("回 复"), localized("举 报")};
    auto sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取 消"), "", buttons);
    sheet->showInView(view().get());
}

void MVTDetailsViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() == kSaveSheetTag) {
        ViewViewController::actionSheetClickedButtonAtIndex(sheet, index);
        return;
    }
    if (index < 0 || index == sheet.cancelButtonIndex()) return;
    const std::size_t row = std::size_t(selectIndex_);
    if (row >= dataArray_.size()) return;
    if (isSelf_) {
        if (index != 0) return;
        auto alert = AlertView::make(localized("确认删除？"), "", weakAs<AlertViewDelegate>(), localized("取消"),
                                     {localized("确定")});
        alert->setTag(kDeleteCommentAlertTag);
        alert->show();
        return;
    }
    if (index == 0) toSendCommentOtherPersonWith(dataArray_[row]);
    else if (index == 1) reportWithWeb();
}

void MVTDetailsViewController::toSendDeleteCellWith(const std::string& commentId) {
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/comment/" + commentId + "/delete");
    if (!request) {
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    sendJson(
        std::move(*request),
        [commentId](MVTDetailsViewController& self, const Json& reply) {
            self.showHUDWithBool(false);
            if (!detailsSucceeded(reply)) {
                self.shareResult(localized("删除失败,请重新删除"));
                return;
            }
            // The comment is found again by its id: rows may have moved since the tap.
            std::size_t at = self.dataArray_.size();
            for (std::size_t i = 0; i < self.dataArray_.size(); ++i)
                if (textOf(self.dataArray_[i], "id") == commentId) at = i;
            if (at < self.dataArray_.size()) {
                self.dataArray_.erase(self.dataArray_.begin() + long(at));
                if (at < self.stateArr_.size()) self.stateArr_.erase(self.stateArr_.begin() + long(at));
            }
            Json& record = self.item();
            const long long left = std::max<long long>(0, integerValue(Json(textOf(record, "commentCount"))) - 1);
            const std::string count = std::to_string(left);
            record["commentCount"] = count;
            self.changeCommentCountFrameWith(count);
            const std::string id = textOf(record, "id");
            if (at <= 2) {
                Json newest = Json::array();
                for (std::size_t i = 0; i < self.dataArray_.size() && i < 3; ++i) newest.push_back(self.dataArray_[i]);
                record["comments"] = newest;
                if (self.isFeed()) MVTtirraDataBase::updateDynamicData(userId(), id, newest.dump(), count);
            } else if (self.isFeed()) {
                MVTtirraDataBase::updateDynamicDataWithIDWithcommentCount(userId(), id, count);
            }
            if (auto opener = self.delegate()) opener->reloadOneCell();
            self.initmytableview();
        },
        [](MVTDetailsViewController& self) {
            self.showHUDWithBool(false);
            self.shareResult(localized("删除失败,请重新删除"));
        });
}

void MVTDetailsViewController::reportWithWeb() {
    const std::size_t row = std::size_t(selectIndex_);
    if (row >= dataArray_.size()) return;
    const Json& comment = dataArray_[row];
    // The report builder's post fields, filled from the comment: the token reads the
    // viewer, the comment's author, the comment's id and "comment".
    const Json target{{"id", textOf(comment, "id")},
                      {"uid", textOf(comment, "uid")},
                      {"name", textOf(comment, "name")},
                      {"type", "comment"}};
    reportUrl_ = postReportAddress(target, userId());
    auto report = std::make_shared<MVTReportViewController>();
    report->setATag(1);
    presentViewController(report, true);
    report->loadRegister(reportUrl_);
    report->setNewTitle(localized("举报"));
}

// ---- Praise

void MVTDetailsViewController::praiseBtnClicked(Button&) {
    if (needsClass()) return;
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/" + modelName_ + "/" + modelID_ + "/praise");
    if (!request) {
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    sendJson(
        std::move(*request), [](MVTDetailsViewController& self, const Json& reply) { self.praiseReplied(reply); },
        [](MVTDetailsViewController& self) {
            self.showHUDWithBool(false);
            banner(MVTAppDelegate::NetworkMessageFailed);
        });
}

void MVTDetailsViewController::praiseReplied(const Json& reply) {
    showHUDWithBool(false);
    if (!detailsSucceeded(reply)) {
        if (reply.is_object() && textOf(reply, "message") == "该内容已被删除") {
            if (isFeed())
                MVTtirraDataBase::deleteDynamicWith(userId(), headPraiseBtn_ ? headPraiseBtn_->accessibilityHint()
                                                                             : textOf(item(), "id"));
            return;
        }
        banner(MVTAppDelegate::NetworkMessageFailed);
        return;
    }
    Json& record = item();
    const std::string uid = userId();
    const std::string name = MVTAccount::sharedInstance().name().value_or("");
    const std::string count = std::to_string(integerValue(Json(textOf(reply, "count"))));
    const bool loved = integerValue(Json(textOf(reply, "love"))) == 1;
    Json users = Json::array();
    for (const auto& entry : post::listOf(record, "likeUsers"))
        if (entry.is_object()) users.push_back(entry);
    std::vector<std::string> names = splitNames(nameString_);
    if (loved) {
        users.insert(users.begin(), Json{{"name", name}, {"uid", uid}});
        names.insert(names.begin(), name);
    } else {
        // The user's own entry is known by its uid; only when no entry carries a uid is it
        // the last one of the user's name. Someone else of the same name stays.
        const bool uids = std::any_of(users.begin(), users.end(), [](const Json& e) { return !textOf(e, "uid").empty(); });
        for (std::size_t i = users.size(); i-- > 0;) {
            const bool own = uids ? textOf(users[i], "uid") == uid : textOf(users[i], "name") == name;
            if (!own) continue;
            users.erase(users.begin() + long(i));
            break;
        }
        auto first = std::find(names.begin(), names.end(), name);
        if (first != names.end()) names.erase(first);
    }
    record["likeCount"] = count;
    record["love"] = loved ? "1" : "0";
    record["likeUsers"] = users;
    if (isFeed())
        MVTtirraDataBase::updateDynamicData(uid, textOf(record, "id"), count, loved ? "1" : "0",
                                            users.empty() ? std::string() : users.dump());
    nameString_ = joinNames(names);
    if (buttomLa_) buttomLa_->setText(loved ? "已赞" : "赞");
    if (headPraiseBtn_) {
        if (auto label = std::dynamic_pointer_cast<Label>(headPraiseBtn_->viewWithTag(1121))) label->setText(count);
        if (auto heart = std::dynamic_pointer_cast<ImageView>(headPraiseBtn_->viewWithTag(102))) {
            heart->setImage(Image::imageNamed(loved ? "liked.png" : "like.png"));
            heart->setFrame({8, 8, 24, 24});
            animate(0.3, [heart] { heart->setFrame({12, 12, 16, 16}); });
        }
    }
    newLike();
    if (auto opener = delegate()) opener->reloadOneCell();
}

// ---- Deleting the post

void MVTDetailsViewController::toDeleteDetailsCell() {
    auto alert = AlertView::make("", localized("确认删除？"), weakAs<AlertViewDelegate>(), localized("确定"),
                                 {localized("取消")});
    alert->setTag(kDeleteAlertTag);
    alert->show();
}

void MVTDetailsViewController::toDeleteInfo() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    const std::string id = textOf(item(), "id");
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/feed/" + id + "/message/delete");
    if (!request) {
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    sendJson(
        std::move(*request),
        [](MVTDetailsViewController& self, const Json& reply) {
            self.showHUDWithBool(false);
            if (!detailsSucceeded(reply)) {
                self.shareResult(localized("删除失败,请重新删除"));
                return;
            }
            // Each list gets its own copy: the home list changes the one it receives.
            auto& centre = NotificationCenter::defaultCenter();
            centre.postNotification("synchronousDeleteFormSquare", Json(self.item()));
            centre.postNotification("synchronousDeleteFormHome", Json(self.item()));
            auto alert = AlertView::make("", "删除成功", self.weakAs<AlertViewDelegate>(), localized("确定"));
            alert->setTag(kDeletedPostAlertTag);
            alert->show();
        },
        [](MVTDetailsViewController& self) {
            self.showHUDWithBool(false);
            self.shareResult(localized("删除失败,请重新删除"));
        });
}

// ---- Votes

void MVTDetailsViewController::toSendVoteWith(const std::string& postId, const std::string& voteId,
                                              const std::string& answerIds, int) {
    auto request = MVTPublicMethod::requestWithMethod(
        "POST", ServiceAddress::servicePrefix() + "user/" + userId() + "/save/vote/" + voteId + "/answer",
        Json{{"answerIds", answerIds}});
    if (!request) {
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    sendJson(
        std::move(*request),
        [postId](MVTDetailsViewController& self, const Json& reply) { self.voteReplied(reply, postId, ""); },
        [](MVTDetailsViewController& self) {
            self.showHUDWithBool(false);
            self.shareResult("投票上传失败");
        });
}

void MVTDetailsViewController::toRefreshVoteWith(const std::string& postId, const std::string& voteId, int) {
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/refresh/" + voteId + "/vote");
    if (!request) {
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    const std::string failure = localized("刷新失败");
    sendJson(
        std::move(*request),
        [postId, failure](MVTDetailsViewController& self, const Json& reply) { self.voteReplied(reply, postId, failure); },
        [failure](MVTDetailsViewController& self) {
            self.showHUDWithBool(false);
            self.shareResult(failure);
        });
}

// `failure` is the refresh's toast; a refused send shows the service's message instead.
void MVTDetailsViewController::voteReplied(const Json& reply, const std::string& postId, const std::string& failure) {
    showHUDWithBool(false);
    const Json& vote = valueFor(reply, "vote");
    if (!detailsSucceeded(reply) || !vote.is_object()) {
        if (!failure.empty()) {
            shareResult(failure);
            return;
        }
        const Json& message = valueFor(reply, "message");
        shareResult(MVTPublicMethod::stringIsClassNull(message) || textOf(message).empty() ? "投票失败" : textOf(message));
        return;
    }
    Json& record = item();
    record["vote"] = vote;
    if (isFeed()) MVTtirraDataBase::updateDynamicData(userId(), postId, vote);
    if (auto opener = delegate()) opener->reloadOneCell();
    reloadHeadView();
}

// ---- Attachments and links

void MVTDetailsViewController::toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                                    const std::string& type) {
    // The id and the type name a file of the download folder: plain names only.
    if (!post::isPlainName(resourceId) || !post::isPlainName(type)) {
        shareResult(localized("没有找到资源"));
        return;
    }
    if (!attachments_) {
        AttachmentDownloadOverlay::Options options;
        options.amrIsVoice = false;
        options.voiceAction = AttachmentDownloadOverlay::VoiceAction::AsFile;
        options.localizedNotFound = false;
        options.overlayFillsHostView = true;
        attachments_ = AttachmentDownloadOverlay::make(weakAs<ViewController>(), options);
        auto weak = weakAs<MVTDetailsViewController>();
        attachments_->setMessageHandler([weak](const std::string& text) {
            if (auto self = weak.lock()) self->shareResult(text);
        });
    }
    attachments_->toDownLoadAttachsWith(resourceId, type, name);
}

void MVTDetailsViewController::sendLinkWith(const std::string& url, const std::string& title) {
    auto page = std::make_shared<MVTWebViewController>();
    page->setIsFromHomeView(true);
    presentViewController(myNavigationController::withRoot(page), true);
    page->reloadUrlWith(url, title);
}

void MVTDetailsViewController::firstPictureForShare() {
    if (!shareImageData_.empty() || imageArray_.empty()) return;
    const std::string id = textOf(imageArray_[0], "id");
    if (!post::isPlainName(id)) return;
    const std::string cache = MVTPublicMethod::getPathByFileName("account_" + id, "png");
    if (auto bytes = readFile(cache, 8u * 1024 * 1024); bytes && !bytes->empty()) shareImageData_ = *bytes;
}
