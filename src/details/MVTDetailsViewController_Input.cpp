// The detail screen's input bar: text with emoticons for every module and, for posts, a
// voice comment recorded by holding a button. The bar keeps above the keyboard and the
// emoticon panel and grows with the text; a sent comment goes to the top of the table,
// into the item, into the user's cached post and to the opener's row.

#include "details/MVTDetailsViewController.h"

#include "feed/PostRecord.h"

#include "composer/MVTFacialView.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

#include "platform/AudioRecorder.h"
#include "platform/Files.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Touch.h"

#include <algorithm>
#include <filesystem>

using namespace platform;

namespace {

constexpr double kOtherCommentTimeout = 15;
constexpr double kLevelInterval = 0.1;
constexpr std::size_t kLargestVoice = 16u * 1024 * 1024;
const Color kInputBorder = Color::rgba(217 / 255.0, 222 / 255.0, 216 / 255.0);

double inputWidth() { return Screen::mainScreen().bounds().width(); }

void storeVoiceChoice(bool voice) {
    auto& defaults = UserDefaults::standard();
    defaults.setBool(MVTDetailsViewController::kIsTextKey, voice);
    defaults.synchronize();
}

}  // namespace

void MVTDetailsViewController::initButtomView() {
    const double W = inputWidth(), H = screenHeight();
    auto weak = weakAs<MVTDetailsViewController>();
    if (!touchDownView_) {
        touchDownView_ = std::make_shared<View>(Rect(0, 0, W, H - 216));
        touchDownView_->setBackgroundColor(Color::clear());
        touchDownView_->setTag(kTouchDownTag);
        touchDownView_->setUserInteractionEnabled(false);
        touchDownView_->setHidden(true);
        view()->addSubview(touchDownView_);
    }
    buttomView_ = std::make_shared<ImageView>(Rect(0, mytableview_->frame().height(), W, 54));
    buttomView_->setBackgroundColor(Color::clear());
    buttomView_->setImage(Image::imageNamed("toolsbarbg"));
    buttomView_->setUserInteractionEnabled(true);
    view()->addSubview(buttomView_);

    faceBt_ = std::make_shared<Button>(isFeed() ? Rect(30, 7, 44, 44) : Rect(5, 9, 40, 40));
    faceBt_->setImage(Image::imageNamed("emoji"));
    faceBt_->setImage(Image::imageNamed("emoji_h"), ControlStateHighlighted);
    faceBt_->setAccessibilityLabel("emoji");
    faceBt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->faceBtClick();
    });
    auto send = std::make_shared<Button>(Rect(W - 60, 14, 50, 30));
    send->setTitle(localized("发送"));
    send->titleLabel()->setFont(Font::systemFontOfSize(14));
    send->setTitleColor(Color::white(0.333));
    send->setTitleColor(Color::whiteColor(), ControlStateHighlighted);
    send->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::rgba(0.988, 1.0, 0.984))->image());
    send->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::rgba(0.255, 0.651, 0.859))->image(),
                             ControlStateHighlighted);
    send->setClipsToBounds(true);
    send->setBorderWidth(0);
    send->setCornerRadius(6);
    send->setBorderColor(Color::rgba(0.937, 0.937, 0.937));
    send->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->sendButton();
    });
    messageTextView_ = std::make_shared<TextView>(isFeed() ? Rect(70, 13, W - 137, 32) : Rect(50, 13, W - 90, 32));
    messageTextView_->setReturnKeyType(ReturnKeyType::Done);
    std::weak_ptr<MVTDetailsViewController> owner = weakAs<MVTDetailsViewController>();
    textDelegate_ = std::make_shared<DetailsTextDelegate>([owner](Range range, const std::string& replacement) {
        auto self = owner.lock();
        return self ? self->textViewShouldChangeText(range, replacement) : true;
    });
    messageTextView_->setDelegate(textDelegate_);
    messageTextView_->setBorderColor(kInputBorder);
    messageTextView_->setBorderWidth(0.6);
    if (isFeed()) messageTextView_->setCornerRadius(15);
    messageTextView_->setClipsToBounds(true);
    messageTextView_->setFont(Font::systemFontOfSize(16));
    messageTextView_->setTextAlignment(TextAlignment::Left);

    if (isFeed()) {
        vedioBt_ = std::make_shared<Button>(Rect(0, 8.5, 40, 40));
        vedioBt_->setImage(Image::imageNamed("icon_17"));
        vedioBt_->setImage(Image::imageNamed("icon_09"), ControlStateHighlighted);
        vedioBt_->setImageEdgeInsets({7.5, 7.5, 7.5, 7.5});
        vedioBt_->setAccessibilityLabel("voice");
        vedioBt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->vedioClick();
        });
        buttomView_->addSubview(vedioBt_);
    }
    buttomView_->addSubview(faceBt_);
    buttomView_->addSubview(send);
    buttomView_->addSubview(messageTextView_);
    if (UserDefaults::standard().boolForKey(kIsTextKey)) vedioClick();
}

void MVTDetailsViewController::vedioClick() {
    if (!vedioBt_) {
        // Items of other modules take text only: the stored voice choice goes back to text.
        storeVoiceChoice(false);
        return;
    }
    vedioBt_->setSelected(!vedioBt_->isSelected());
    if (vedioBt_->isSelected()) {
        vedioBt_->setImage(Image::imageNamed("key_1"));
        vedioBt_->setImage(Image::imageNamed("key_2"), ControlStateHighlighted);
        messageTextView_->resignFirstResponder();
        hideKeyboard();
        messageTextView_->setHidden(true);
        faceBt_->setEnabled(false);
        if (myFaceView_) myFaceView_->setHidden(true);
        vedioStart_ = true;
        if (!vedioImageView_) {
            vedioImageView_ = std::make_shared<ImageView>(Rect(inputWidth() / 2 - 90, 10.5, 185, 37));
            vedioImageView_->setImage(Image::imageNamed("vedio_start"));
            vedioImageView_->setAccessibilityLabel("hold to record");
            buttomView_->addSubview(vedioImageView_);
        }
        vedioImageView_->setHidden(false);
        messageType_ = 2;
        storeVoiceChoice(true);
        return;
    }
    vedioBt_->setImage(Image::imageNamed("icon_17"));
    vedioBt_->setImage(Image::imageNamed("icon_09"), ControlStateHighlighted);
    if (vedioImageView_) vedioImageView_->setHidden(true);
    vedioStart_ = false;
    messageTextView_->setHidden(false);
    faceBt_->setEnabled(true);
    messageTextView_->becomeFirstResponder();
    messageType_ = 1;
    storeVoiceChoice(false);
}

bool MVTDetailsViewController::textViewShouldChangeText(Range, const std::string& replacement) {
    if (replacement == "\n") {
        closeInput();
        return false;
    }
    // Sized on the text as it stands before the change.
    changeButtomViewFrame();
    return true;
}

void MVTDetailsViewController::closeInput() {
    hideKeyboard();
    if (myFaceView_) myFaceView_->setHidden(true);
    if (messageTextView_) messageTextView_->resignFirstResponder();
}

void MVTDetailsViewController::changeButtomViewFrame() {
    if (!messageTextView_ || !buttomView_) return;
    const double h = messageTextView_->textHeight();
    const double H = std::clamp(h, 32.0, 76.0);
    Rect text = messageTextView_->frame();
    text.size.height = H;
    messageTextView_->setFrame(text);
    Rect bar = buttomView_->frame();
    buttomView_->setFrame({bar.x(), screenHeight() - 86 - H - keyBoardH_, bar.width(), H + 22});
    if (whomView_ && !whomView_->isHidden()) whomView_->setFrame({0, buttomView_->frame().y() - 32, inputWidth(), 30});
}

void MVTDetailsViewController::keyboardWillShow(const Notification& notification) {
    touchDownView_->setHidden(false);
    keyBoardH_ = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    auto weak = weakAs<MVTDetailsViewController>();
    animate(0.25, [weak] {
        auto self = weak.lock();
        if (!self) return;
        const double W = inputWidth();
        self->changeButtomViewFrame();
        double s = 0;
        if (!self->replyId_.empty()) {
            self->toWhom();
            s = 30;
        }
        const double tableHeight = self->screenHeight() - 64 - self->keyBoardH_ - self->buttomView_->frame().height() - s;
        self->mytableview_->setFrame({0, 0, W, tableHeight});
        if (!self->replyId_.empty()) self->whomView_->setFrame({0, tableHeight + 2, W, 30});
    });
}

void MVTDetailsViewController::hideKeyboard() {
    if (!buttomView_ || !mytableview_) return;
    touchDownView_->setHidden(true);
    keyBoardH_ = 0;
    const double W = inputWidth(), H = screenHeight();
    const bool strip = whomView_ && !whomView_->isHidden();
    auto table = mytableview_;
    auto bar = buttomView_;
    auto whom = whomView_;
    auto text = messageTextView_;
    animate(0.25, [=] {
        if (!strip) {
            table->setFrame({0, 0, W, H - 64 - 54});
            bar->setFrame({0, table->frame().height(), W, 54});
        } else {
            table->setFrame({0, 0, W, H - 64 - 54 - 30});
            whom->setFrame({0, table->frame().height() + 2, W, 30});
            bar->setFrame({0, table->frame().height() + whom->frame().height() - 2, W, 54});
        }
        Rect frame = text->frame();
        frame.size.height = 32;
        text->setFrame(frame);
    });
}

// ---- Emoticons

void MVTDetailsViewController::faceBtClick() {
    const double W = inputWidth(), H = screenHeight();
    auto table = mytableview_;
    auto bar = buttomView_;
    animate(0.3, [=] {
        const double barHeight = bar->frame().height();
        table->setFrame({0, 0, W, H - 64 - 216 - barHeight});
        bar->setFrame({0, table->frame().height(), W, barHeight});
    });
    messageTextView_->resignFirstResponder();
    if (!myFaceView_) {
        myFaceView_ = std::make_shared<MVTFacialView>();
        myFaceView_->initWithFrame({0, H - 64 - 216, W, 216});
        myFaceView_->setDelegate(weakAs<MVTFacialViewDelegate>());
        view()->addSubview(myFaceView_);
    }
    myFaceView_->setHidden(false);
}

void MVTDetailsViewController::selectedFacialView(const std::string& token) {
    messageTextView_->setText(messageTextView_->text() + token);
    const double fitting = messageTextView_->textHeight();
    const double height = messageTextView_->frame().height();
    if (fitting > height) messageTextView_->setContentOffset({0, fitting - height}, true);
}

void MVTDetailsViewController::sendMessage() {
    hideKeyboard();
    if (myFaceView_) myFaceView_->setHidden(true);
}

// ---- Sending

void MVTDetailsViewController::showToolBar() {
    if (buttomToolView_) buttomToolView_->setHidden(false);
}

void MVTDetailsViewController::showDetailsAlert(const std::string& title, const std::string& message) {
    AlertView::make(title, message, {}, "知道了")->show();
}

void MVTDetailsViewController::endSubmitting() {
    isSubmitting_ = false;
    showHUDWithBool(false);
    buttomView_->setUserInteractionEnabled(true);
}

void MVTDetailsViewController::sendButton() {
    hideKeyboard();
    if (myFaceView_) myFaceView_->setHidden(true);
    if (MVTPublicMethod::isUnClassId()) {
        messageTextView_->resignFirstResponder();
        showToolBar();
        needsClass();
        return;
    }
    const std::string text = messageTextView_->text();
    const std::string url = ServiceAddress::servicePrefix() + "user/" + userId() + "/";
    if (!isFeed()) {
        messageTextView_->resignFirstResponder();
        if (text.empty()) {
            showHUDWithBool(false);
            showToolBar();
            showDetailsAlert("内容不能为空。", "");
            return;
        }
        Json parameters = {{"msg", text}};
        if (!replyId_.empty()) parameters["replyId"] = replyId_;
        auto request = MVTPublicMethod::requestWithMethod("POST", url + module_ + "/" + moduleId_ + "/comment", parameters);
        if (!request) {
            showHUDWithBool(false);
            banner(MVTAppDelegate::NetworkMessageNoNetwork);
            return;
        }
        request->setTimeoutInterval(kOtherCommentTimeout);
        sendJson(
            std::move(*request), [](MVTDetailsViewController& self, const Json& reply) { self.otherCommentReplied(reply); },
            [](MVTDetailsViewController& self) {
                self.showHUDWithBool(false);
                self.showToolBar();
                self.shareResult("评论失败");
            });
        return;
    }

    const bool voice = messageType_ == 2;
    int duration = 0;
    if (voice) {
        duration = vedioPath_.empty() ? 0 : MVTPublicMethod::getVedioLength(vedioPath_);
        if (duration <= 0) {
            endSubmitting();
            showToolBar();
            showDetailsAlert("提示", "录音时间过短,请重新录制");
            return;
        }
    } else {
        messageTextView_->resignFirstResponder();
        if (text.empty()) {
            endSubmitting();
            showToolBar();
            showDetailsAlert("内容不能为空。", "");
            return;
        }
    }
    const std::string address = url + moduleId_ + "/feedcomment";
    auto client = MVTPublicMethod::clientWithUrl(address);
    if (!client) {
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        buttomView_->setUserInteractionEnabled(true);
        return;
    }
    isSubmitting_ = true;
    showHUDWithBool(true);
    const std::string reply = replyId_;
    const std::string data = sendData_;
    UrlRequest request = client->multipartFormRequestWithMethod("POST", address, nullptr, [&](HttpMultipartForm& form) {
        if (voice) {
            const std::string name = "来自" + percentEscape(MVTPublicMethod::currentDevicemodel()) + "的音频.amr";
            form.appendPart("audio", name, "application/octet-stream", data);
            form.appendPart("duration", std::to_string(duration));
        } else {
            form.appendPart("msg", text);
        }
        if (!reply.empty()) form.appendPart("replyId", reply);
    });
    request.setTimeoutInterval(kPostCommentTimeout);
    sendJson(
        std::move(request),
        [voice](MVTDetailsViewController& self, const Json& answer) { self.postCommentReplied(answer, voice); },
        [](MVTDetailsViewController& self) {
            self.endSubmitting();
            self.showToolBar();
            self.shareResult("评论失败");
        });
}

void MVTDetailsViewController::commentStored(const Json& row) {
    dataArray_.insert(dataArray_.begin(), row);
    stateArr_.insert(stateArr_.begin(), "0");
    const std::string n = std::to_string(integerValue(Json(adjustlb_ ? adjustlb_->text() : "0")) + 1);
    Json& record = item();
    record["commentCount"] = n;
    changeCommentCountFrameWith(n);
    if (isFeed()) {
        Json newest = Json::array();
        for (std::size_t i = 0; i < dataArray_.size() && i < 3; ++i) newest.push_back(dataArray_[i]);
        record["comments"] = newest;
        MVTtirraDataBase::updateDynamicData(userId(), textOf(record, "id"), newest.dump(), n);
    }
}

void MVTDetailsViewController::postCommentReplied(const Json& reply, bool voice) {
    endSubmitting();
    if (!reply.is_object()) {
        shareResult("评论失败");
        return;
    }
    if (integerValue(valueFor(reply, "success")) == 0) {
        shareResult(textOf(reply, "message"));
        return;
    }
    const Json& comment = valueFor(reply, "comment");
    if (!comment.is_object()) {
        // Stored, says the service, but without the comment: nothing to show, the text stays.
        shareResult("评论失败");
        return;
    }
    Json row = comment;
    row["role"] = MVTAccount::sharedInstance().role().value_or("");
    commentStored(row);
    if (voice) {
        const Json& attachments = post::listOf(comment, "attachmentList");
        const std::string id = attachments.empty() ? std::string() : textOf(attachments[0], "resModuleId");
        // The id names the voice's file: only a plain name is used.
        if (post::isPlainName(id)) {
            const std::string target = returnAudioPath(id);
            const std::string recording = MVTPublicMethod::getPathByFileName(vedioPath_, "wav");
            if (!MVTPublicMethod::fileExistsAtPath(target)) {
                std::error_code error;
                std::filesystem::rename(recording, target, error);
            }
        }
    } else {
        messageTextView_->setText("");
    }
    toSender();
    if (auto opener = delegate()) opener->reloadOneCell();
    mytableview_->reloadData();
    showToolBar();
}

void MVTDetailsViewController::otherCommentReplied(const Json& reply) {
    showHUDWithBool(false);
    if (!reply.is_object() || integerValue(Json(textOf(reply, "success"))) == 0) {
        shareResult("评论失败");
        return;
    }
    const Json& comment = valueFor(reply, "comment");
    if (comment.is_object()) {
        Json row = {{"content", valueFor(comment, "message")}, {"createDate", valueFor(comment, "dateline")},
                    {"module", valueFor(comment, "moduleType")}, {"moduleId", valueFor(comment, "moduleTypeId")},
                    {"id", valueFor(comment, "id")},           {"name", valueFor(comment, "name")},
                    {"uid", valueFor(comment, "uid")}};
        if (!commentName_.empty()) row["replyName"] = commentName_;
        commentStored(row);
    }
    if (auto opener = delegate()) opener->reloadOneCell();
    mytableview_->reloadData();
    messageTextView_->setText("");
}

// ---- Recording

bool MVTDetailsViewController::recordButtonContains(const Touch& touch) const {
    return vedioImageView_ && vedioImageView_->frame().contains(touch.locationInView(buttomView_.get()));
}

void MVTDetailsViewController::stopLevelTimer() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void MVTDetailsViewController::touchesBegan(const Touches& touches) {
    if (touches.empty()) return;
    const Touch& touch = *touches.front();
    if (touchDownView_ && !touchDownView_->isHidden()) {
        const Point at = touch.locationInView(touchDownView_.get());
        if (Rect(0, 0, inputWidth(), buttomView_->frame().y()).contains(at)) {
            closeInput();
            showToolBar();
            return;
        }
    }
    if (isSubmitting_) return;
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) {
        app->stopPlayAudio();
        ProximitySensor::shared().setMonitoringEnabled(false);
        stopCommentRow();
        isCommentVedio_ = false;
        if (loadView_) loadView_->stopAnimating();
    }
    if (!app->checkRecordPermission() || vedioing_ || !vedioStart_) return;
    vedioing_ = true;
    if (!recordButtonContains(touch)) return;
    showRecoding();
    vedioImageView_->setImage(Image::imageNamed("vedio_end"));
    vedioPath_ = MVTPublicMethod::getCurrentTimeString();
    if (!audioRecord_) {
        audioRecord_ = std::make_shared<MVTAudioRecordAndTransCoding>();
        audioRecord_->setDelegate(weakAs<MVTAudioRecordAndTransCodingDelegate>());
    }
    audioRecord_->beginRecordByFileName(vedioPath_);
    // One level timer at a time: the one of an earlier take is gone before this one runs.
    stopLevelTimer();
    auto weak = weakAs<MVTDetailsViewController>();
    timer_ = RunLoop::main().scheduleTimer(kLevelInterval, true, [weak](Timer&) {
        if (auto self = weak.lock()) self->levelTimerCallBack();
    });
}

void MVTDetailsViewController::touchesMoved(const Touches& touches) {
    if (touches.empty() || !vedioStart_ || !vedioing_) return;
    if (!recordButtonContains(*touches.front())) return;
    showRecoding();
    vedioImageView_->setImage(Image::imageNamed("vedio_end"));
}

void MVTDetailsViewController::touchesEnded(const Touches&) {
    if (!vedioStart_ || !vedioing_) return;
    vedioing_ = false;
    if (audioRecord_ && audioRecord_->recorder() && audioRecord_->recorder()->isRecording()) audioRecord_->endRecord();
    if (vedioImageView_) vedioImageView_->setImage(Image::imageNamed("vedio_start"));
    if (recordingView_) recordingView_->setHidden(true);
    stopLevelTimer();
}

void MVTDetailsViewController::showRecoding() {
    if (!recordingView_) {
        const Rect bounds = view()->bounds();
        recordingView_ = std::make_shared<View>(Rect(0, 0, bounds.width(), bounds.height() - 44));
        recordingView_->setBackgroundColor(Color::clear());
        recordingView_->setUserInteractionEnabled(false);
        const double W = recordingView_->frame().width(), H = recordingView_->frame().height();
        auto column = std::make_shared<View>(Rect((W - 170) / 2 + 60, (H - 150) / 2 + 10, 40, 120));
        column->setBackgroundColor(Color::whiteColor());
        column->setTag(101);
        recordingView_->addSubview(column);
        auto level = std::make_shared<View>(Rect((W - 170) / 2 + 60, (H - 150) / 2 + 40, 40, 60));
        level->setBackgroundColor(Color::rgba(0.255, 0.651, 0.859));
        level->setTag(100);
        recordingView_->addSubview(level);
        auto picture = std::make_shared<ImageView>(Rect((W - 170) / 2, (H - 150) / 2, 170, 150));
        picture->setImage(Image::imageNamed("vedio_ing"));
        picture->setTag(200);
        recordingView_->addSubview(picture);
        view()->addSubview(recordingView_);
    }
    recordingView_->setHidden(false);
}

void MVTDetailsViewController::levelTimerCallBack() {
    if (!audioRecord_ || !audioRecord_->recorder() || !recordingView_) return;
    auto level = recordingView_->viewWithTag(100);
    if (!level) return;
    auto recorder = audioRecord_->recorder();
    recorder->updateMeters();
    const double p = std::clamp(double(recorder->averagePowerForChannel(0)), -100.0, 0.0);
    const double a = -p;
    const double H = recordingView_->frame().height();
    level->setFrame({level->frame().x(), (H - 150) / 2 + 25 + a * 60 / 100, 40, (100 - a) * 60 / 100});
}

void MVTDetailsViewController::wavToAmrComplete() {
    buttomView_->setUserInteractionEnabled(false);
    if (!audioRecord_ || !audioRecord_->isWavToAmrCompleted()) return;
    sendData_ = readFile(MVTPublicMethod::getPathByFileName(vedioPath_ + "wavToAmr", "amr"), kLargestVoice).value_or("");
    messageType_ = 2;
    sendButton();
}
