// Sending: the temporary row, the multipart send and its reply, resend, the forward on
// load; and the held message's menu: forward, delete, copy.

#include "chat/MVTChatViewController.h"
#include "chat/MVTForwardMsgViewController.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"
#include "core/ServiceId.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/HttpMultipartForm.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ProgressHUD.h"

#include <cmath>

using namespace platform;

namespace {

constexpr std::size_t kChatLargestUpload = 32u * 1024 * 1024;
// A temporary row whose id is taken moves on to the next id, a bounded number of times.
constexpr int kTemporaryIdTries = 1000;

std::string chatUploadName(const char* format) {
    std::string name = format;
    auto at = name.find("%@");
    if (at != std::string::npos) name.replace(at, 2, MVTPublicMethod::currentDevicemodel());
    return percentEscape(name);
}

std::string withoutPngEnding(const std::string& name) {
    const std::string ending = ".png";
    if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
        return name.substr(0, name.size() - ending.size());
    return name;
}

}  // namespace

std::int64_t MVTChatViewController::temporaryId() const {
    if (dataArray_.empty()) return static_cast<std::int64_t>(std::floor(Clock::current()->now()));
    return integerValue(dataArray_.row(dataArray_.size() - 1).sendTime) + 1;
}

Json MVTChatViewController::temporaryRow(std::int64_t id, const std::string& text, const Json& attachments) const {
    std::string time = std::to_string(id);
    Json row = {{"id", time}, {"sendTime", time}, {"uid", conversationKey()}, {"status", "1"}, {"msg", text},
                {"isReaded", "1"}, {"issuccess", "2"}};
    if (attachments.is_array() && !attachments.empty()) row["attachments"] = attachments;
    if (msgType_ == "forum") {
        row["fieldId"] = fieldid_;
        row["forumId"] = forumid_.value_or("");
    }
    return row;
}

std::int64_t MVTChatViewController::storeTemporaryRow(Json& row) {
    for (int attempt = 0; attempt < kTemporaryIdTries; ++attempt) {
        std::int64_t rowId = MVTtirraDataBase::insertMSGtablewith(Json::array({row}), userId());
        if (rowId != -1) return rowId;
        // The id is taken (a message of the service, or another send of the same second):
        // the row takes the next one rather than being lost.
        std::string next = std::to_string(integerValue(textOf(row, "id")) + 1);
        row["id"] = next;
        row["sendTime"] = next;
    }
    return -1;
}

void MVTChatViewController::markFailed(std::int64_t rowId) { MVTtirraDataBase::updateMSGList(rowId, "", ""); }

std::string MVTChatViewController::sendUrl() const {
    return ServiceAddress::servicePrefix() + "pm/" + userId() + "/send/" + (forumid_ ? *forumid_ : conversationKey());
}

void MVTChatViewController::sendButton() {
    stopPlay();
    if (messageType_ == kVoiceMessage && MVTPublicMethod::getVedioLength(vedioPath_) == 0) {
        messageTextView_->setText("");
        auto alert = AlertView::make(localized("提示"), localized("录音时间过短,请重新录制"),
                                     weakAs<AlertViewDelegate>(), localized("知道了"));
        alert->show();
        return;
    }
    Json attachment = nullptr;
    std::string duration;
    if (messageType_ == kVoiceMessage) {
        duration = std::to_string(MVTPublicMethod::getVedioLength(vedioPath_));
        attachment = {{"id", vedioPath_}, {"resModuleId", vedioPath_}, {"type", "audio"}, {"duration", duration}};
    } else if (messageType_ == kPictureMessage) {
        std::string name = withoutPngEnding(imagePath_);
        attachment = {{"id", name}, {"resModuleId", name}, {"type", "image"}};
    }
    std::string text = messageType_ == kTextMessage ? messageTextView_->text() : "";
    bool hasAttachment = attachment.is_object() && !textOf(attachment, "id").empty();
    if (!hasAttachment && text.empty()) return;

    Json row = temporaryRow(temporaryId(), text, hasAttachment ? Json::array({attachment}) : Json::array());
    PendingSend pending;
    pending.rowId = storeTemporaryRow(row);
    pending.temporaryTime = textOf(row, "sendTime");
    pending.attachmentType = hasAttachment ? textOf(attachment, "type") : "";
    pending.duration = duration;
    pending.recording = messageType_ == kVoiceMessage ? vedioPath_ : "";
    refillFromTable();
    initmytableview();
    scrollViewToEnd();

    std::string bytes = sendData_;
    if (messageType_ == kTextMessage) {
        messageTextView_->setText("");
        changeButtomViewFrame();
    }
    if (messageType_ == kPictureMessage) messageType_ = kTextMessage;
    startSend(pending, text, attachment, bytes);
}

void MVTChatViewController::startSend(const PendingSend& pending, const std::string& text, const Json& attachment,
                                      const std::string& fileBytes) {
    const std::string url = sendUrl();
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        markFailed(pending.rowId);
        refillFromTable();
        initmytableview();
        scrollViewToEnd();
        messageTextView_->setText("");
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    const std::string kind = pending.attachmentType;
    const std::string forum = msgType_ == "forum" ? fieldid_ : "";
    const bool group = msgType_ == "forum";
    auto request = client->multipartFormRequestWithMethod("POST", url, nullptr, [&](HttpMultipartForm& form) {
        if (group) form.appendPart("fieldId", forum);
        if (kind == "audio") {
            form.appendPart("audio", chatUploadName("来自%@的音频.amr"), "application/octet-stream", fileBytes);
            form.appendPart("duration", textOf(attachment, "duration"));
        } else if (kind == "image") {
            form.appendPart("image", chatUploadName("来自%@的图片.png"), "application/octet-stream", fileBytes);
        }
        if (!text.empty()) form.appendPart("msg", text);
    });
    request.setTimeoutInterval(kSendTimeout);
    auto weak = weakAs<MVTChatViewController>();
    auto operation = client->JSONRequestOperationWithRequest(
        std::move(request),
        [weak, pending](HttpJsonRequestOperation&, const Json& reply) {
            if (auto self = weak.lock()) self->sendFinished(pending, reply);
        },
        [weak, pending](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->sendFailed(pending);
        });
    operation->start();
}

void MVTChatViewController::sendFinished(const PendingSend& pending, const Json& reply) {
    const Json& idValue = reply.is_object() ? valueFor(reply, "id") : Json();
    std::string id = textOf(idValue);
    std::string resId = reply.is_object() ? textOf(reply, "resId") : "";
    std::string time = reply.is_object() ? textOf(reply, "time") : "";
    // Only this send's recording is forgotten: the user may have recorded again since.
    if (!pending.recording.empty() && vedioPath_ == pending.recording) vedioPath_.clear();
    if (MVTPublicMethod::stringIsClassNull(idValue) || integerValue(id) <= 0) {
        markFailed(pending.rowId);
        refillFromTable();
        initmytableview();
        return;
    }
    if (MVTtirraDataBase::isExitMSGList(id)) {
        // A poll stored the confirmed message first: the temporary row goes.
        MVTtirraDataBase::deleteMSGRow(pending.rowId);
    } else if (!pending.resend && messageType_ == kVoiceMessage && pending.attachmentType == "audio") {
        MVTtirraDataBase::deleteMSGRow(pending.rowId);
        Json attachment = {{"id", id}, {"type", "audio"}, {"resModuleId", resId}};
        if (!pending.duration.empty()) attachment["duration"] = pending.duration;
        Json row = {{"id", id}, {"uid", conversationKey()}, {"status", "1"}, {"msg", ""}, {"sendTime", time},
                    {"attachments", Json::array({attachment})}, {"isReaded", "1"}, {"issuccess", "1"}};
        if (msgType_ == "forum") {
            row["fieldId"] = fieldid_;
            row["forumId"] = forumid_.value_or("");
        }
        MVTtirraDataBase::insertMSGtablewith(Json::array({row}), userId());
        refillFromTable();
    } else {
        MVTtirraDataBase::updateMSGList(pending.rowId, time, id);
        refillFromTable();
    }
    initmytableview();
    scrollViewToEnd();
    if (!pending.resend) fetchNewerLater();
}

void MVTChatViewController::sendFailed(const PendingSend& pending) {
    markFailed(pending.rowId);
    refillFromTable();
    initmytableview();
    auto alert = AlertView::make(localized("发送失败,请重新发送"), "", weakAs<AlertViewDelegate>(), localized("确定"));
    alert->show();
}

// ---- Resend

void MVTChatViewController::reSendMessage(Button& mark) {
    int row = mark.tag() - MVTChatCell::kFailedMarkTagBase;
    if (row < 0 || row >= static_cast<int>(dataArray_.size())) return;
    reSendDict_ = dataArray_[static_cast<std::size_t>(row)];
    auto alert =
        AlertView::make(localized("提示"), "", weakAs<AlertViewDelegate>(), localized("取消"), {localized("重发")});
    alert->setTag(kResendAlertTag);
    alert->show();
}

void MVTChatViewController::reSend() {
    if (integerValue(textOf(reSendDict_, "issuccess")) != 0) return;
    const Json& attachments = valueFor(reSendDict_, "attachments");
    std::string kind = attachments.is_array() && !attachments.empty() ? textOf(attachments[0], "type") : "";
    std::string resource = kind.empty() ? "" : textOf(attachments[0], "resModuleId");
    std::string fileBytes;
    if (kind == "image" || kind == "audio") {
        // The stored picture or recording is what goes out again; without it the message
        // stays as it is, failed, rather than going out empty.
        if (!isPlainServiceId(resource)) return;
        std::string path = kind == "image"
                               ? MVTPublicMethod::getPathByFileName(MVTChatCell::kThumbnailPrefix + resource, "png")
                               : MVTPublicMethod::getPathByFileName(resource + "wavToAmr", "amr");
        auto bytes = readFile(path, kChatLargestUpload);
        if (!bytes || bytes->empty()) return;
        fileBytes = std::move(*bytes);
    }
    std::string text = textOf(valueFor(reSendDict_, "msg"));
    if (MVTPublicMethod::stringIsClassNull(valueFor(reSendDict_, "msg"))) text.clear();
    Json row = temporaryRow(temporaryId(), text, attachments.is_array() ? attachments : Json::array());
    MVTtirraDataBase::deleteMSGRow(integerValue(textOf(reSendDict_, "nid")));
    PendingSend pending;
    pending.rowId = storeTemporaryRow(row);
    pending.temporaryTime = textOf(row, "sendTime");
    pending.attachmentType = kind;
    pending.resend = true;
    refillFromTable();
    initmytableview();
    scrollViewToEnd();
    Json attachment = kind.empty() ? Json(nullptr) : attachments[0];
    if (kind == "audio") attachment["duration"] = std::to_string(MVTPublicMethod::getVedioLength(resource));
    startSend(pending, text, attachment, fileBytes);
}

// ---- The held message

void MVTChatViewController::longPressGestureWith(const std::string& messageId, const Json& message, int index) {
    hideKeyboard();
    selectChatId_ = messageId;
    selectChatDic_ = message;
    selectIndex_ = index;
    auto weak = weakAs<MVTChatViewController>();
    auto action = [weak](void (MVTChatViewController::*operation)()) {
        return [weak, operation] {
            if (auto self = weak.lock()) ((*self).*operation)();
        };
    };
    std::vector<MenuItem> items;
    const Json& attachments = valueFor(message, "attachments");
    bool text = !message.is_object() || !message.contains("attachments");
    bool picture = attachments.is_array() && !attachments.empty() && textOf(attachments[0], "type") == "image";
    if (text || picture) items.push_back({localized("转发"), action(&MVTChatViewController::forwardMsg)});
    items.push_back({localized("删除"), action(&MVTChatViewController::deleteMsg)});
    if (text) items.push_back({localized("复制"), action(&MVTChatViewController::pasteString)});
    auto& menu = MenuController::shared();
    menu.setMenuItems(std::move(items));
    auto cell = std::dynamic_pointer_cast<MVTChatCell>(mytableview_->cellForRowAtIndexPath({0, index}));
    if (cell && cell->imageView()) {
        cell->becomeFirstResponder();
        menu.setTargetRect(cell->imageView()->frame(), cell);
    } else {
        menu.setTargetRect({0, 0, 1, 1}, view());
    }
    menu.setMenuVisible(true, true);
}

void MVTChatViewController::pasteString() { Pasteboard::generalPasteboard().setString(textOf(selectChatDic_, "msg")); }

void MVTChatViewController::showJoinClassAlert() {
    bool parent = MVTAccount::sharedInstance().role().value_or("") == "parent";
    auto alert = parent ? AlertView::make("", "您的孩子没有加入班级，请让孩子加入班级", weakAs<AlertViewDelegate>(),
                                          localized("确定"))
                        : AlertView::make("", localized("请先加入班级，可以查看和分享更多精彩"),
                                          weakAs<AlertViewDelegate>(), localized("确定"), {localized("取消")});
    alert->setTag(kJoinClassAlertTag);
    alert->show();
}

void MVTChatViewController::forwardMsg() {
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    if (integerValue(textOf(selectChatDic_, "issuccess")) != 1) return;
    auto picker = std::make_shared<MVTForwardMsgViewController>();
    picker->setForwardDictionary(selectChatDic_);
    picker->setRecelentArray(forwardRecetArray_);
    if (auto* navigation = navigationController()) navigation->pushViewController(picker, true);
}

void MVTChatViewController::deleteMsg() {
    if (integerValue(textOf(selectChatDic_, "issuccess")) == 0) {
        deleteSuccess();
        return;
    }
    toDeleteSelectChat();
}

void MVTChatViewController::toDeleteSelectChat() {
    hud_ = ProgressHUD::showHUDAddedTo(view(), true);
    const std::string url = ServiceAddress::servicePrefix() + "pm/" + userId() + "/remove/" + selectChatId_;
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        if (hud_) hud_->hide(true);
        return;
    }
    auto request = client->requestWithMethod("GET", url);
    request.setTimeoutInterval(MVTPublicMethod::kRequestTimeout);
    auto weak = weakAs<MVTChatViewController>();
    auto operation = client->HTTPRequestOperationWithRequest(
        std::move(request),
        [weak](HttpRequestOperation&, const std::string& body) {
            auto self = weak.lock();
            if (!self) return;
            if (body == "true")
                self->deleteSuccess();
            else
                self->failToDelete();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->failToDelete();
        });
    operation->start();
}

void MVTChatViewController::deleteSuccess() {
    if (hud_) hud_->hide(true);
    if (integerValue(textOf(selectChatDic_, "issuccess")) == 0 && selectChatDic_.contains("nid"))
        MVTtirraDataBase::deleteMSGRow(integerValue(textOf(selectChatDic_, "nid")));
    else
        MVTtirraDataBase::deleteMSGListwith(selectChatId_);
    // The list may have been refilled while the request ran: the held message goes by
    // its id (and row number), wherever it now stands.
    const std::string nid = textOf(selectChatDic_, "nid");
    for (std::size_t i = 0; i < dataArray_.size(); ++i) {
        const MVTMessageRow& row = dataArray_.row(i);
        if (std::to_string(row.msgid) == selectChatId_ && (nid == "(null)" || std::to_string(row.nid) == nid)) {
            dataArray_.erase(i);
            break;
        }
    }
    if (mytableview_) mytableview_->reloadData();
}

void MVTChatViewController::failToDelete() {
    if (hud_) hud_->hide(true);
    auto alert =
        AlertView::make(localized("删除失败,请重新删除"), "", weakAs<AlertViewDelegate>(), localized("知道了"));
    alert->show();
}

void MVTChatViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kResendAlertTag && index == 1) {
        reSend();
    } else if (alert.tag() == kJoinClassAlertTag && index == 0 &&
               MVTAccount::sharedInstance().role().value_or("") != "parent") {
        auto join = std::make_shared<MVTInterClassViewController>();
        presentViewController(myNavigationController::withRoot(join), true);
    }
}
