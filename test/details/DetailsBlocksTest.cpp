// The detail header's votes, file attachments, the post's voice and the forwarded post's
// block with its pictures.

#include "details/DetailsFixture.h"

#include "shell/AttachmentDownloadOverlay.h"
#include "shell/MVTWebViewController.h"

#include "core/MVTAccount.h"

#include "platform/Files.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/ScrollView.h"

#include <functional>

using namespace platform;
using testing_support::DetailsTest;

namespace {

constexpr long long kVotePost = 911;

class DetailsBlocksTest : public DetailsTest {
protected:
    // A vote post of someone else with answers 11 to 15.
    Json votePost(const std::string& limit, int showResult = 0) {
        Json record = post(kVotePost, "投票");
        record["type"] = "vote";
        record["title"] = "选一选";
        Json answers = Json::array();
        for (int id = 11; id <= 15; ++id)
            answers.push_back({{"id", id}, {"title", "答案" + std::to_string(id)}, {"count", 0}});
        record["vote"] = {{"id", 77},          {"title", "问题"},        {"count", 0},
                          {"showResult", showResult}, {"answerLimit", limit}, {"answerList", answers}};
        answerFor(kVotePost, {{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}}, Json::array());
        MVTtirraDataBase::insertDynamicWithArr(Json::array({record}), "1001");
        return record;
    }
    static void collect(const std::shared_ptr<View>& root, const std::function<bool(View&)>& match,
                        std::vector<std::shared_ptr<View>>& found) {
        if (!root) return;
        if (match(*root)) found.push_back(root);
        for (const auto& child : root->subviews()) collect(child, match, found);
    }
    std::vector<std::shared_ptr<View>> inHeader(const std::function<bool(View&)>& match) {
        std::vector<std::shared_ptr<View>> found;
        collect(details->headView(), match, found);
        return found;
    }
    std::shared_ptr<Button> answer(int id) {
        auto found = inHeader([&](View& v) {
            auto* button = dynamic_cast<Button*>(&v);
            return button && button->accessibilityHint() == std::to_string(id) && button->accessibilityLabel().empty();
        });
        return found.empty() ? nullptr : std::static_pointer_cast<Button>(found[0]);
    }
    std::shared_ptr<Button> titled(const std::string& title) {
        auto found = inHeader([&](View& v) {
            auto* button = dynamic_cast<Button*>(&v);
            return button && button->titleForState(ControlStateNormal) == title;
        });
        return found.empty() ? nullptr : std::static_pointer_cast<Button>(found[0]);
    }
    std::vector<int> chosen() {
        std::vector<int> ids;
        for (int id = 11; id <= 15; ++id)
            if (answer(id) && answer(id)->isSelected()) ids.push_back(id);
        return ids;
    }
    std::string alertTitle() {
        auto alert = AlertView::topAlert();
        std::string title = alert ? alert->title() : "";
        AlertView::clearVisible();
        return title;
    }
    std::shared_ptr<ScrollView> pages() {
        auto found = inHeader([](View& v) { return v.tag() == MVTDetailsViewController::kPictureScrollTag && dynamic_cast<ScrollView*>(&v); });
        return found.empty() ? nullptr : std::static_pointer_cast<ScrollView>(found[0]);
    }
    static std::string votePath() { return "/services/norvo/user/1001/save/vote/77/answer"; }
};

TEST_F(DetailsBlocksTest, AnyNumberSingleAndThreeAnswerVotes) {
    open(votePost("-1"));
    ASSERT_TRUE(titled("投票"));
    driver->tap(titled("投票"));
    EXPECT_EQ(alertTitle(), "请先选择，然后投票");
    for (int id : {15, 12, 13}) driver->tap(answer(id));
    EXPECT_EQ(chosen(), (std::vector<int>{12, 13, 15}));
    driver->tap(answer(13));
    EXPECT_EQ(chosen(), (std::vector<int>{12, 15}));

    open(votePost("1"));
    driver->tap(answer(11));
    driver->tap(answer(14));
    EXPECT_EQ(chosen(), std::vector<int>{14});
    driver->tap(answer(14));
    EXPECT_TRUE(chosen().empty());

    open(votePost("3"));
    for (int id : {11, 12, 13}) driver->tap(answer(id));
    driver->tap(answer(14));
    EXPECT_EQ(alertTitle(), "最多选择 3 项");
    EXPECT_EQ(chosen(), (std::vector<int>{11, 12, 13}));
    driver->tap(answer(12));
    driver->tap(titled("投票"));
    EXPECT_EQ(alertTitle(), "需要选择 3 项");
    EXPECT_FALSE(service().lastRequest(votePath()));
}

TEST_F(DetailsBlocksTest, AnswersGoInTheOrderChosenAndTheResultsReplaceTheVoteEverywhere) {
    open(votePost("-1"));
    Json result = (*item)["vote"];
    result["showResult"] = 1;
    result["count"] = 7;
    result["answerList"][1]["count"] = 2;  // answer 12
    result["answerList"][4]["count"] = 5;  // answer 15
    service().setReply("POST", votePath(), sample_service::Reply::json({{"success", 1}, {"vote", result}}));
    const int reloads = opener->reloads;
    driver->tap(answer(15));
    driver->tap(answer(12));
    driver->tap(titled("投票"));
    settle();
    auto request = service().lastRequest(votePath());
    ASSERT_TRUE(request);
    EXPECT_EQ(request->formValue("answerIds").value_or(""), "15,12");
    EXPECT_EQ((*item)["vote"], result);
    EXPECT_EQ(cachedPost(kVotePost)["vote"], result);
    EXPECT_EQ(opener->reloads, reloads + 1);
    // The rebuilt header shows the results: 2 of 7 is 29%, no votes is 0%.
    auto labels = inHeader([](View& v) { auto* l = dynamic_cast<Label*>(&v); return l && l->text().find('%') != std::string::npos; });
    std::vector<std::string> percents;
    for (const auto& l : labels) percents.push_back(std::static_pointer_cast<Label>(l)->text());
    EXPECT_EQ(percents, (std::vector<std::string>{"0%", "29%", "0%", "0%", "71%"}));
    EXPECT_TRUE(titled("刷新"));
}

TEST_F(DetailsBlocksTest, RefusedFailedAndMisshapenVoteRepliesToastAndKeepTheVote) {
    open(votePost("-1"));
    const Json before = *item;
    struct Case {
        sample_service::Reply reply;
        const char* toast;
    };
    const Case cases[] = {
        {sample_service::Reply::json({{"success", 0}, {"message", "投票已结束"}}), "投票已结束"},
        {sample_service::Reply::json({{"success", 0}}), "投票失败"},
        {sample_service::Reply::json({{"success", 1}, {"vote", "结果"}}), "投票失败"},
        {sample_service::Reply::json({{"success", 1}, {"vote", Json::array({1})}}), "投票失败"},
        {sample_service::Reply::text("", "text/plain", 500), "投票上传失败"},
    };
    for (const auto& c : cases) {
        service().setReply("POST", votePath(), c.reply);
        if (chosen().empty()) driver->tap(answer(11));
        driver->tap(titled("投票"));
        settle();
        EXPECT_EQ(toast(), c.toast);
        EXPECT_EQ(*item, before);
        EXPECT_EQ(cachedPost(kVotePost)["vote"], before["vote"]);
    }
    open(votePost("1", 1));
    service().setReply("GET", "/services/norvo/user/1001/refresh/77/vote", sample_service::Reply::json(Json::object()));
    driver->tap(titled("刷新"));
    settle();
    EXPECT_EQ(toast(), "刷新失败");
}

TEST_F(DetailsBlocksTest, AttachmentsAreFetchedOnceAndNothingIsLeftOfAFailure) {
    open(votePost("-1"));
    const std::string cached = AttachmentDownloadOverlay::attachmentPath("66001", "txt");
    writeFileAtomically(cached, "规则");
    details->toDownLoadAttachWith("66001", "班规", "TXT");
    EXPECT_TRUE(std::dynamic_pointer_cast<myNavigationController>(details->presentedViewController()));
    EXPECT_FALSE(service().lastRequest("/resource/66001/download"));
    details->dismissViewController(false);
    settle();

    // Not found: the 18-byte answer and an empty body store nothing.
    for (const auto& body : {std::string("没有找到资源"), std::string()}) {
        service().setReply("GET", "/resource/66002/download", sample_service::Reply::text(body));
        details->toDownLoadAttachWith("66002", "通知", "doc");
        settle();
        EXPECT_EQ(toast(), "没有找到资源");
        EXPECT_FALSE(fileExists(AttachmentDownloadOverlay::attachmentPath("66002", "doc")));
    }

    // Cancelled while it runs: no file, and the next tap starts the bar again from 0.01.
    service().setReply("GET", "/resource/66003/download", sample_service::Reply::silent(2));
    details->toDownLoadAttachWith("66003", "作业", "zip");
    auto overlay = details->attachmentOverlay();
    ASSERT_TRUE(overlay && overlay->downLoadBgView()->superview());
    overlay->toCancelDownLoad();
    settle(3);
    EXPECT_FALSE(overlay->downLoadBgView()->superview());
    EXPECT_FALSE(fileExists(AttachmentDownloadOverlay::attachmentPath("66003", "zip")));
    EXPECT_FALSE(details->presentedViewController());

    // A type that would name another folder is never fetched.
    const std::size_t before = service().requests().size();
    details->toDownLoadAttachWith("66004", "x", "../x");
    settle();
    EXPECT_EQ(toast(), "没有找到资源");
    EXPECT_EQ(service().requests().size(), before);
}

TEST_F(DetailsBlocksTest, ThePostsVoicePausesAndResumesOnlyForItsOwnPost) {
    open(samplePost(7));
    auto app = MVTAppDelegate::sharedAppDelegate();
    details->selfplayrecord(*details->recordBtn());
    settle(0.5);  // the voice lasts a second
    ASSERT_EQ(app->nowPlayPath(), MVTDetailsViewController::returnAudioPath("880001"));
    EXPECT_TRUE(app->isPlaying());
    details->selfplayrecord(*details->recordBtn());
    EXPECT_FALSE(app->isPlaying());
    EXPECT_EQ(app->nowPlayPath(), MVTDetailsViewController::returnAudioPath("880001"));
    details->selfplayrecord(*details->recordBtn());
    EXPECT_TRUE(app->isPlaying());
    EXPECT_EQ(opener->audio, (std::vector<std::string>{"start", "pause", "resume"}));

    // The same file, now playing for another post: this post's voice starts anew.
    details->selfplayrecord(*details->recordBtn());
    app->setNowPlayId("8");
    opener->audio.clear();
    details->selfplayrecord(*details->recordBtn());
    EXPECT_EQ(opener->audio, std::vector<std::string>{"start"});
    EXPECT_EQ(app->nowPlayId(), "7");
    EXPECT_TRUE(app->isPlaying());
}

TEST_F(DetailsBlocksTest, AForwardedPostWithoutContentIsOneLine) {
    Json record = post(921, "转发");
    record["type"] = "share";
    record["share"] = {{"name", "李明"}, {"content", nullptr}, {"none", "原动态已删除"}};
    record["attachments"] = Json::array({{{"id", 881001}, {"type", "image"}}, {{"id", 880001}, {"type", "audio"}}});
    answerFor(921, {{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}}, Json::array());
    open(record);
    EXPECT_TRUE(details->isShare());
    auto lines = inHeader([](View& v) { auto* l = dynamic_cast<Label*>(&v); return l && l->text() == "原动态已删除"; });
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->superview()->frame().height(), 44);
    EXPECT_FALSE(pages());
    EXPECT_FALSE(details->recordBtn());
}

TEST_F(DetailsBlocksTest, AForwardedPostShowsThreePagesOfFiveAndMoodsAsSquares) {
    Json record = post(922, "转发");
    record["type"] = "share";
    record["share"] = {{"name", "李明"}, {"content", "看这些"}};
    Json pictures = Json::array();
    for (int i = 1; i <= 5; ++i) pictures.push_back({{"id", 881000 + i}, {"type", "image"}});
    record["attachments"] = pictures;
    answerFor(922, {{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}}, Json::array());
    open(record);
    const double W = Screen::mainScreen().bounds().width();
    ASSERT_TRUE(pages());
    EXPECT_EQ(pages()->contentSize().width, 3 * W);
    ASSERT_TRUE(details->imagePageBgView());
    EXPECT_EQ(details->imagePageBgView()->subviews().size(), 3u);

    record["attachments"] = Json::array({{{"id", 53}, {"type", "image"}}});
    record["id"] = 923;
    answerFor(923, {{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}}, Json::array());
    const std::size_t requests = service().requests().size();
    open(record);
    ASSERT_TRUE(pages());
    EXPECT_EQ(pages()->frame().x(), 10);
    EXPECT_EQ(pages()->frame().width(), 158);
    EXPECT_EQ(pages()->frame().height(), 158);
    for (std::size_t i = requests; i < service().requests().size(); ++i)
        EXPECT_EQ(service().requests()[i].path.find("img_thumb"), std::string::npos);
}

TEST_F(DetailsBlocksTest, OneFileServerPictureFallsBackToTheServicesBigThumbnail) {
    MVTAccount::sharedInstance().setVfsUrl(serviceUrl("vfs/"));
    Json record = post(924, "一张");
    record["attachments"] = Json::array(
        {{{"id", 881009}, {"type", "image"}, {"resPath", "feed/"}, {"resName", "p9"}, {"thumbSuffix", ".png"}}});
    answerFor(924, {{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}}, Json::array());
    open(record);
    settle();
    auto fallback = service().lastRequest("/resource/view/img_thumb/881009");
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->queryValue("size").value_or(""), "big");
}

}  // namespace
