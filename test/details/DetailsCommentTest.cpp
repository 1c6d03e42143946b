// Commenting from the detail screen: text with faces, answers, voice, other modules, and
// replies of the wrong shape; the input bar's sizing and the return key.

#include "details/DetailsFixture.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/UrlEncoding.h"

#include <filesystem>

using namespace platform;
using testing_support::DetailsTest;

namespace {

const std::string kCommentPath = "/services/norvo/user/1001/42/feedcomment";

class DetailsCommentTest : public DetailsTest {
protected:
    void openSample() {
        Json post42 = samplePost(42);
        MVTtirraDataBase::insertDynamicWithArr(Json::array({post42}), "1001");
        open(post42);
    }
    void send(const std::string& text) {
        details->messageTextView()->setText(text);
        details->sendButton();
        settle();
    }
};

TEST_F(DetailsCommentTest, ATextCommentWithAFaceGoesFirstEverywhere) {
    openSample();
    ASSERT_EQ(details->adjustlb()->text(), "40");
    const int reloads = opener->reloads;
    send("好[em:3:]");
    auto request = service().lastRequest(kCommentPath);
    ASSERT_TRUE(request);
    EXPECT_EQ(partNames(*request), std::vector<std::string>{"msg"});
    EXPECT_EQ(partOf(*request, "msg"), "好[em:3:]");

    ASSERT_EQ(details->dataArray().size(), 16u);
    EXPECT_EQ(details->dataArray()[0]["content"], "好[em:3:]");
    EXPECT_EQ(details->dataArray()[0]["role"], "teacher");
    EXPECT_EQ(details->stateArr().size(), 16u);
    EXPECT_EQ(details->adjustlb()->text(), "41");
    EXPECT_EQ(textOf(*item, "commentCount"), "41");
    ASSERT_EQ((*item)["comments"].size(), 3u);
    EXPECT_EQ((*item)["comments"][0]["content"], "好[em:3:]");
    EXPECT_EQ(cachedPost(42)["comments"], (*item)["comments"]);
    EXPECT_EQ(textOf(cachedPost(42), "commentCount"), "41");
    EXPECT_EQ(opener->reloads, reloads + 1);
    EXPECT_EQ(details->messageTextView()->text(), "");
    EXPECT_FALSE(details->buttomToolView()->isHidden());

    // The shown count is the label's number plus one, whatever the service counts.
    send("再来一条");
    EXPECT_EQ(details->adjustlb()->text(), "42");
}

TEST_F(DetailsCommentTest, AnAnswerCarriesItsReplyIdAndACommentDoesNot) {
    openSample();
    const Json answered = details->dataArray()[1];
    details->toSendCommentOtherPersonWith(answered);
    EXPECT_EQ(details->replyId(), textOf(answered, "id"));
    send("回复你");
    auto request = service().lastRequest(kCommentPath);
    ASSERT_TRUE(request);
    EXPECT_EQ(partOf(*request, "replyId"), textOf(answered, "id"));
    EXPECT_EQ(details->dataArray()[0]["replyName"], answered["name"]);
    EXPECT_EQ(details->replyId(), "");

    details->toSendCommentForDynamic();
    send("评论本身");
    EXPECT_EQ(partOf(*service().lastRequest(kCommentPath), "replyId"), "<none>");
}

TEST_F(DetailsCommentTest, AVoiceCommentIsRecordedSentAndKeptUnderItsNewName) {
    openSample();
    details->toSendCommentForDynamic();
    EXPECT_TRUE(details->buttomToolView()->isHidden());
    EXPECT_EQ(details->messageType(), 1);
    details->vedioClick();
    ASSERT_EQ(details->messageType(), 2);
    EXPECT_TRUE(UserDefaults::standard().boolForKey(MVTDetailsViewController::kIsTextKey));
    const Point button = driver->centerOf(*details->vedioImageView());
    const int finger = driver->beginTouch(button);
    ASSERT_TRUE(details->levelTimer());
    EXPECT_FALSE(details->recordingView()->isHidden());
    driver->advance(2.2);
    driver->endTouch(finger);
    // The level timer ends with the recording.
    EXPECT_FALSE(details->levelTimer());
    EXPECT_TRUE(details->recordingView()->isHidden());
    ASSERT_TRUE(pumpUntil([&] { return details->dataArray().size() == 16u; }));
    settle();

    auto request = service().lastRequest(kCommentPath);
    ASSERT_TRUE(request);
    EXPECT_EQ(partNames(*request), (std::vector<std::string>{"audio", "duration"}));
    const auto& audio = request->parts[0];
    EXPECT_EQ(audio.fileName, "来自" + percentEscape(MVTPublicMethod::currentDevicemodel()) + "的音频.amr");
    EXPECT_EQ(audio.contentType, "application/octet-stream");
    EXPECT_EQ(audio.bytes.substr(0, 6), "#!AMR\n");
    EXPECT_EQ(partOf(*request, "duration"), "2");

    const Json& row = details->dataArray()[0];
    const std::string resource = textOf(row["attachmentList"][0], "resModuleId");
    ASSERT_FALSE(resource.empty());
    EXPECT_TRUE(std::filesystem::exists(MVTDetailsViewController::returnAudioPath(resource)));
    EXPECT_FALSE(std::filesystem::exists(MVTPublicMethod::getPathByFileName(details->vedioPath(), "wav")));
    EXPECT_TRUE(details->buttomView()->isUserInteractionEnabled());

    // The recording was moved: sending again reports it too short.
    details->sendButton();
    auto alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "录音时间过短,请重新录制");
}

TEST_F(DetailsCommentTest, RepliesOfTheWrongShapeKeepTheTextAndAddNothing) {
    struct Case {
        sample_service::Reply reply;
        const char* toast;
    };
    const Case cases[] = {
        {sample_service::Reply::json(Json::array()), "评论失败"},
        {sample_service::Reply::json({{"success", 0}, {"message", "不许评论"}}), "不许评论"},
        {sample_service::Reply::json({{"success", 1}}), "评论失败"},
        {sample_service::Reply::json({{"success", 1}, {"comment", "文字"}}), "评论失败"},
        {sample_service::Reply::text("", "text/plain", 500), "评论失败"},
    };
    openSample();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.toast);
        service().setReply("POST", kCommentPath, c.reply);
        send("留着我");
        EXPECT_EQ(toast(), c.toast);
        EXPECT_EQ(details->dataArray().size(), 15u);
        EXPECT_EQ(details->adjustlb()->text(), "40");
        EXPECT_EQ(details->messageTextView()->text(), "留着我");
        EXPECT_FALSE(details->isSubmitting());
        EXPECT_TRUE(details->buttomView()->isUserInteractionEnabled());
    }
}

TEST_F(DetailsCommentTest, EmptyTextIsRefusedAndSpacesAreSent) {
    openSample();
    send("");
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->title(), "内容不能为空。");
    EXPECT_FALSE(service().lastRequest(kCommentPath));
    AlertView::clearVisible();
    send("  ");
    EXPECT_TRUE(service().lastRequest(kCommentPath));
}

TEST_F(DetailsCommentTest, AnotherModuleTakesAFormAndLeavesTheFeedCacheAlone) {
    item = std::make_shared<Json>(Json{{"id", 77}, {"commentCount", "2"}, {"type", "lesson"}});
    details = std::make_shared<MVTDetailsViewController>();
    details->setDelegate(opener);
    details->setMyDict(item);
    details->setModelName("micro");
    details->setModelID("77");
    service().setReply("GET", "/services/norvo/user/1001/feed/77/stateCount",
                       sample_service::Reply::json({{"success", 1}, {"commentCount", "2"}, {"likeCount", "0"}, {"love", "0"}}));
    driver->show(myNavigationController::withRoot(details));
    settle();
    EXPECT_FALSE(details->vedioBt());
    EXPECT_TRUE(service().lastRequest("/services/norvo/micro/77/comments/1"));
    details->toSendCommentOtherPersonWith({{"id", 5}, {"name", "张老师"}, {"module", "micro"}, {"moduleId", "77"}});
    send("好课");
    auto request = service().lastRequest("/services/norvo/user/1001/micro/77/comment");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->formValue("msg"), "好课");
    EXPECT_EQ(request->formValue("replyId"), "5");
    ASSERT_EQ(details->dataArray().size(), 1u);
    EXPECT_EQ(details->dataArray()[0]["content"], "好课");
    EXPECT_EQ(details->dataArray()[0]["replyName"], "张老师");
    EXPECT_EQ(details->dataArray()[0]["module"], "micro");
    EXPECT_EQ(textOf(*item, "commentCount"), "3");
    EXPECT_FALSE(item->contains("comments"));
    // The input stays open for the next comment.
    EXPECT_TRUE(details->buttomToolView()->isHidden());
}

TEST_F(DetailsCommentTest, ReturnClosesTheInputAndTheBarGrowsWithTheText) {
    openSample();
    details->toSendCommentForDynamic();
    ASSERT_TRUE(details->messageTextView()->isFirstResponder());
    ASSERT_TRUE(driver->type("一"));
    details->messageTextView()->returnKeyPressed();
    EXPECT_FALSE(details->messageTextView()->isFirstResponder());
    EXPECT_EQ(details->messageTextView()->text(), "一");

    EXPECT_DOUBLE_EQ(details->buttomView()->frame().height(), 54);
    details->messageTextView()->setText(std::string(400, 'x'));
    details->changeButtomViewFrame();
    EXPECT_DOUBLE_EQ(details->messageTextView()->frame().height(), 76);
    EXPECT_DOUBLE_EQ(details->buttomView()->frame().height(), 98);

    details->messageTextView()->setText("你好");
    details->selectedFacialView("[em:7:]");
    EXPECT_EQ(details->messageTextView()->text(), "你好[em:7:]");
}

}  // namespace
