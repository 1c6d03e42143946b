// Sending a post: the checks in their order, the wait for the voice conversion and for the
// picture files, the PendingPost and the hand-over to the upload queue.
#include "composer/MVTPostComposerViewController.h"

#include "composer/ComposerText.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Clock.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextView.h"
#include "platform/ui/View.h"

#include <cstdio>
#include <filesystem>
#include <set>

using namespace platform;

namespace {

// An AMR file of a take holds more than its 6-byte header.
constexpr std::uintmax_t kShortestAmr = 7;

std::string wholeSeconds(double seconds) {
    char text[40];
    std::snprintf(text, sizeof text, "%.0f", seconds);
    return text;
}

}  // namespace

nlohmann::json MVTPostComposerViewController::pendingPost() const {
    const std::string content = text();
    nlohmann::json post = nlohmann::json::object();
    post["content"] = content;
    if (!content.empty()) post["relative"] = composer_text::mentionsText(postListArray);
    post["permission"] = std::to_string(permissionNum);
    post["imagePath"] = *picPathArr;
    post["vedioPath"] = vedioPath;
    post["vedioBg"] = backMusic.empty() ? "" : std::filesystem::path(backMusic).replace_extension().string();
    post["dynamicId"] = nextDynamicId();
    return post;
}

// The present second, or the next one that none of the user's queued or unsent posts uses:
// the id is the key of the unsent row, and two posts of one second would share it.
std::string MVTPostComposerViewController::nextDynamicId() const {
    std::set<std::string> used;
    if (auto app = MVTAppDelegate::sharedAppDelegate())
        for (const auto& queued : app->upDynamicArr()) used.insert(textOf(queued, "dynamicId"));
    const std::string userId = MVTAccount::sharedInstance().userId().value_or("");
    if (!userId.empty())
        for (const auto& unsent : MVTtirraDataBase::selectSaveDynamicData(userId))
            used.insert(textOf(unsent, "dynamicId"));
    double seconds = std::stod(wholeSeconds(platform::now()));
    while (used.count(wholeSeconds(seconds))) seconds += 1;
    return wholeSeconds(seconds);
}

void MVTPostComposerViewController::sendBtnClicked(Button* sender) {
    // A send repeated without a control that stops at a check gives the control back.
    const bool repeat = sender == nullptr;
    auto stopped = [this, repeat] {
        if (!repeat) return;
        sendWaiting_ = false;
        if (sendButton_) sendButton_->setEnabled(true);
    };
    if (closed_) return;
    if (!MVTPublicMethod::connectedToNetwork()) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        stopped();
        return;
    }
    if (issending) return;
    const bool teacher = MVTAccount::sharedInstance().role().value_or("") == "teacher";
    if (vedioing) {
        showAlert("请结束录音后再发送", "知道了");
        stopped();
        return;
    }

    const std::string content = text();
    const bool tooLong = utf16Length(content) > static_cast<size_t>(kMaxLength);
    const bool hasTake = !vedioPath.empty();
    auto endEditing = [this] {
        if (mytextView && mytextView->isEditing()) mytextView->resignFirstResponder();
        if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    };
    auto refuse = [&](const std::string& message, const std::string& button) {
        showAlert(message, button);
        stopped();
    };
    const std::string tooLongButton = teacher ? "知道了" : "我知道了";
    if (kind() == Kind::Pic && !teacher && isImage && picNum == 0) return refuse("你没有添加图片哦", "知道了");
    endEditing();
    if (tooLong) return refuse("内容不能超过1000个字", tooLongButton);
    const bool empty = content.empty() && picNum == 0;
    if (teacher || kind() == Kind::Record) {
        if (empty && !hasTake) return refuse("你还没有添加内容哦", "知道了");
    } else if (kind() == Kind::Feed) {
        if (empty) return refuse("你还没有添加内容哦", "知道了");
    } else if (!isImage && content.empty()) {
        return refuse("你还没有添加内容哦", "知道了");
    }

    issending = true;
    if (sender) sender->setEnabled(false);

    if (hasTake) {
        // The AMR file is judged once its conversion has ended: before, it may still hold
        // only its header, and a good take would be thrown away.
        const bool converted = !audioRecord || audioRecord->isWavToAmrCompleted();
        if (!converted || isSaving) {
            complete = false;
            issending = false;
            sendWaiting_ = true;
            if (sendButton_) sendButton_->setEnabled(false);
            return;
        }
        std::error_code error;
        const auto size =
            std::filesystem::file_size(MVTPublicMethod::getPathByFileName(vedioPath + "wavToAmr", "amr"), error);
        if (error || size < kShortestAmr) {
            issending = false;
            sendWaiting_ = false;
            if (sendButton_) sendButton_->setEnabled(true);
            deleteallVedio();
            AlertView::make(localized("提示"), localized("音频报错，请重新录制"), {}, localized("确定"))->show();
            return;
        }
    }
    complete = true;
    // Every picture's file must be on disk before the queue takes the post.
    if (isLoadingPictures()) {
        issending = false;
        sendWaiting_ = true;
        if (sendButton_) sendButton_->setEnabled(false);
        return;
    }
    sendWaiting_ = false;

    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->getOneDynamicWith(pendingPost());
    close();
}

void MVTPostComposerViewController::wavToAmrComplete() {
    // A late report reaches no closed composer: its take is gone with it.
    if (closed_) return;
    const bool converted = !audioRecord || audioRecord->isWavToAmrCompleted();
    if (!converted) return;
    if (isSaving) {
        // A join of takes waited for this conversion. A send that waited is not repeated,
        // so its control comes back.
        mixAmr();
        if (sendWaiting_) {
            sendWaiting_ = false;
            if (sendButton_) sendButton_->setEnabled(true);
        }
        return;
    }
    if (!complete) sendBtnClicked(nullptr);
}
