// The lesson detail screen against the sample service: the three ways it opens, the 相关
// strip by lesson kind, the linked page's frame, the comments (list, send, reply, delete)
// and the player screen's start and turns.
#include "homework/HomeworkFixture.h"

#include "microlessons/MVTCustomMoviePlayerViewController.h"
#include "microlessons/MVTLessionMovieDetailViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/myTableView.h"

#include "platform/DeviceOrientation.h"
#include "platform/media/MoviePlayerController.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"

#include <numbers>

using namespace testing_support;
using platform::Json;

namespace {

using Detail = MVTLessionMovieDetailViewController;

Json lesson(const std::string& id, const std::string& resource, const std::string& title) {
    return {{"id", id}, {"resourceId", resource}, {"resourceName", title}, {"suffix", "mp4"},
            {"name", "张老师"}, {"description", title + "的说明"}};
}

class LessonDetailTest : public HomeworkTest {
protected:
    void SetUp() override {
        HomeworkTest::SetUp();
        platform::Device::current().reset();
        // No stream in these tests: the player starts and waits.
        service().setReply("GET", "/micro/play", sample_service::Reply::silent(30));
    }
    void TearDown() override {
        if (auto detail = std::dynamic_pointer_cast<Detail>(top()); detail && detail->player())
            detail->player()->stopWhenBack();
        platform::Device::current().reset();
        HomeworkTest::TearDown();
    }
    std::string user() const { return MVTAccount::sharedInstance().userId().value_or(""); }
    void serveComments(const std::string& lessonId, Json comments) {
        service().route("GET", "services/norvo/courseMicroComment/" + lessonId + "/list",
                        [comments](const sample_service::RecordedRequest&) {
                            return sample_service::Reply::json(comments);
                        });
    }
    void serveRecommendations(Json reply) {
        service().route("GET", "services/norvo/global/micro/%@/recommed/%@/list",
                        [reply](const sample_service::RecordedRequest&) { return sample_service::Reply::json(reply); });
    }
    std::shared_ptr<Detail> openWith(const Json& record, const Json& about, const std::string& kind) {
        auto detail = std::make_shared<Detail>();
        detail->setMovieDic(record);
        if (!about.is_null()) detail->setAboutArray(about);
        if (!kind.empty()) detail->setModuleType(kind);
        showPushed(detail);
        return detail;
    }
    void pressTab(Detail& detail, int tag) {
        ASSERT_TRUE(detail.tabButton(tag));
        detail.ChangeDetailViewShow(tag);
        driver->pump();
    }
    std::vector<std::string> stripCaptions(Detail& detail) {
        std::vector<std::string> captions;
        if (!detail.aboutView()) return captions;
        auto strip = detail.aboutView()->viewWithTag(Detail::kStripTag);
        if (!strip || !strip->superview()) return captions;
        for (const auto& view : strip->subviews())
            if (auto label = std::dynamic_pointer_cast<platform::Label>(view)) captions.push_back(label->text());
        return captions;
    }
    bool messageShows(Detail& detail, const std::string& text) {
        return detail.movieInfoLabel() && detail.movieInfoLabel()->superview() &&
               detail.movieInfoLabel()->text() == text;
    }
};

TEST_F(LessonDetailTest, NewsCentreLessonLoadsByIdOnEveryAppearanceAndPlaysItsStream) {
    signIn("student");
    const Json record = lesson("501", "881001", "认识分数");
    service().route("GET", "services/norvo/coursemicro/info/%@/%@", [record](const sample_service::RecordedRequest&) {
        auto reply = sample_service::Reply::json(record);
        reply.delay = 0.5;
        return reply;
    });
    auto detail = std::make_shared<Detail>();
    detail->setMovieId("501");
    detail->setIsNewShow(true);
    showPushed(detail);
    // Nothing shows until the record comes.
    EXPECT_EQ(detail->title(), "");
    EXPECT_FALSE(detail->player());
    ASSERT_TRUE(waitForRequests("coursemicro/info/" + user() + "/501", 1, detail->view()));
    EXPECT_EQ(detail->title(), "认识分数");
    ASSERT_TRUE(detail->player());
    EXPECT_NE(detail->player()->movieURL().find("micro/play?id=881001&token="), std::string::npos);
    ASSERT_TRUE(pumpUntil([&] { return !requestsTo("coursemicro/viewlog/" + user() + "/501").empty(); }));
    EXPECT_FALSE(requestsTo("coursemicro/viewlog/" + user() + "/501").front().queryValue("moduleType"));
    EXPECT_TRUE(detail->tabButton(Detail::kDescriptionTab));

    // Back from a screen above it: loaded again.
    navigation->pushViewController(std::make_shared<ViewViewController>(), false);
    driver->pump();
    navigation->popViewController(false);
    driver->pump();
    EXPECT_TRUE(waitForRequests("coursemicro/info/" + user() + "/501", 2, detail->view()));
}

TEST_F(LessonDetailTest, ByIdReplyThatIsNoRecordShowsNothing) {
    signIn("student");
    const Json replies[] = {Json::array({1, 2}), Json(nullptr), Json("text")};
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply.dump());
        service().route("GET", "services/norvo/coursemicro/info/%@/%@",
                        [reply](const sample_service::RecordedRequest&) { return sample_service::Reply::json(reply); });
        const std::size_t before = requestsTo("coursemicro/info/" + user() + "/7").size();
        auto detail = std::make_shared<Detail>();
        detail->setMovieId("7");
        detail->setIsNewShow(true);
        showPushed(detail);
        ASSERT_TRUE(waitForRequests("coursemicro/info/" + user() + "/7", before + 1, detail->view()));
        EXPECT_FALSE(detail->player());
        EXPECT_FALSE(detail->movieDetailView());
        EXPECT_EQ(detail->title(), "");
    }
}

TEST_F(LessonDetailTest, RelatedStripFollowsTheLessonKind) {
    signIn("student");
    const Json shown = lesson("1", "900", "第一课");
    const Json other = lesson("2", "901", "第二课");
    serveRecommendations({{"description", "推荐后的说明"}, {"about", Json::array({lesson("8", "908", "推荐一"),
                                                                                   lesson("9", "909", "推荐二")})}});
    struct Case {
        const char* name;
        Json about;
        std::string kind;
        Json recommendations;  // null: the default above
        std::vector<std::string> captions;
        const char* message;  // nullptr: none
    };
    const Case cases[] = {
        {"school lesson alone in its course", Json::array({shown}), "micro", nullptr, {}, "暂无相关视频"},
        {"school lesson with a neighbour", Json::array({shown, other}), "micro", nullptr, {"第二课"}, nullptr},
        {"open lesson: the recommendation replaces its list", Json::array({shown}), "global_micro", nullptr,
         {"推荐一", "推荐二"}, nullptr},
        {"open lesson without recommendations", Json::array({shown}), "global_micro",
         Json{{"about", Json::array()}}, {}, "暂无相关视频"},
        {"record alone", nullptr, "", nullptr, {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.recommendations.is_null()) serveRecommendations(c.recommendations);
        auto detail = openWith(shown, c.about, c.kind);
        if (c.kind == "global_micro") {
            ASSERT_TRUE(waitForRequests("global/micro/" + user() + "/recommed/1/list", 1, detail->view()));
        }
        pressTab(*detail, Detail::kAboutTab);
        EXPECT_EQ(stripCaptions(*detail), c.captions);
        if (c.message) {
            EXPECT_TRUE(messageShows(*detail, c.message));
        } else {
            EXPECT_FALSE(detail->movieInfoLabel()->superview());
        }
        detail->player()->stopWhenBack();
        service().clearRequests();
        serveRecommendations({{"description", "推荐后的说明"},
                              {"about", Json::array({lesson("8", "908", "推荐一"), lesson("9", "909", "推荐二")})}});
    }
}

TEST_F(LessonDetailTest, OpenLessonRecommendationRebuildsTheDescription) {
    signIn("student");
    serveRecommendations({{"description", "推荐后的说明"}, {"about", Json::array()}});
    auto detail = openWith(lesson("1", "900", "第一课"), Json::array({lesson("1", "900", "第一课")}), "global_micro");
    ASSERT_TRUE(waitForRequests("global/micro/" + user() + "/recommed/1/list", 1, detail->view()));
    driver->pump();
    EXPECT_TRUE(driver->byTextContaining("推荐后的说明"));
    EXPECT_EQ(detail->movieDic()["description"], "推荐后的说明");
    auto log = requestsTo("coursemicro/viewlog/" + user() + "/1");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().queryValue("moduleType"), "global_micro");
}

TEST_F(LessonDetailTest, RelatedTapSwitchesInPlaceAndTheCommentsFollowTheNewLesson) {
    signIn("student");
    serveComments("1", Json::array());
    serveComments("2", Json::array({{{"id", "c1"}, {"uid", "77"}, {"name", "小红"}, {"role", "student"},
                                      {"message", "第二课真好"}, {"showTime", "1分钟前"}, {"author", nullptr}}}));
    const Json first = lesson("1", "900", "第一课");
    auto detail = openWith(first, Json::array({first, lesson("2", "901", "第二课")}), "micro");
    pressTab(*detail, Detail::kCommentTab);
    ASSERT_TRUE(waitForRequests("courseMicroComment/1/list", 1, detail->view()));
    EXPECT_TRUE(messageShows(*detail, "暂无评论"));

    pressTab(*detail, Detail::kAboutTab);
    detail->showMovie(0);
    driver->pump();
    EXPECT_TRUE(detail->movieChanged());
    EXPECT_EQ(detail->title(), "第二课");
    EXPECT_EQ(stripCaptions(*detail), std::vector<std::string>{"第一课"});
    EXPECT_NE(detail->player()->movieURL().find("id=901"), std::string::npos);
    EXPECT_TRUE(pumpUntil([&] { return !requestsTo("coursemicro/viewlog/" + user() + "/2").empty(); }));

    pressTab(*detail, Detail::kCommentTab);
    ASSERT_TRUE(waitForRequests("courseMicroComment/2/list", 1, detail->view()));
    ASSERT_EQ(detail->pointArray().size(), 1u);
    EXPECT_EQ(detail->micResourceId(), 901);
    pressTab(*detail, Detail::kDescriptionTab);
    EXPECT_TRUE(driver->byTextContaining("第二课的说明"));
}

TEST_F(LessonDetailTest, LinkLessonFramesItsPageAndTurningDoesNothing) {
    EXPECT_EQ(Detail::iframeHtml("http://example.org/p", 320),
              "<iframe src='http://example.org/p' allowtransparency='true' scrolling='no' border='0' "
              "frameborder='0' style='width:310.000000px;height:200px;'></iframe>");
    signIn("student");
    Json link = lesson("3", "903", "网页课");
    link["suffix"] = "link";
    link["filepath"] = baseUrl() + "page";
    auto detail = openWith(link, nullptr, "");
    ASSERT_TRUE(detail->registerWeb());
    EXPECT_FALSE(detail->player());
    platform::Device::current().setOrientation(platform::DeviceOrientation::LandscapeLeft);
    driver->pump();
    EXPECT_FALSE(detail->isShow());
    EXPECT_FALSE(detail->presentedViewController());
}

TEST_F(LessonDetailTest, PlayerTurnsByHandAndPortraitDismissesIt) {
    signIn("student");
    auto detail = openWith(lesson("1", "900", "第一课"), nullptr, "");
    auto player = detail->player();
    ASSERT_TRUE(player);
    using platform::DeviceOrientation;
    struct Case {
        DeviceOrientation orientation;
        double angle;
        bool presented;
    };
    const Case cases[] = {
        {DeviceOrientation::LandscapeLeft, std::numbers::pi / 2, true},
        {DeviceOrientation::FaceUp, std::numbers::pi / 2, true},
        {DeviceOrientation::LandscapeRight, 3 * std::numbers::pi / 2, true},
        {DeviceOrientation::Portrait, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.orientation));
        platform::Device::current().setOrientation(c.orientation);
        driver->pump();
        const auto t = player->view()->transform();
        EXPECT_NEAR(std::atan2(t.b, t.a), std::remainder(c.angle, 2 * std::numbers::pi), 1e-6);
        EXPECT_EQ(detail->presentedViewController() != nullptr, c.presented);
        EXPECT_EQ(player->statusBarState(), c.presented);
    }
    EXPECT_EQ(player->view()->bounds(), (platform::Rect{0, 0, 320, 200}));
    EXPECT_EQ(player->view()->superview().get(), detail->view().get());
}

TEST_F(LessonDetailTest, PlayerShowsLoadingThenFadesInAfterThreeTenths) {
    signIn("student");
    auto detail = openWith(lesson("1", "900", "第一课"), nullptr, "");
    auto player = detail->player();
    ASSERT_TRUE(player && player->moviePlayer());
    EXPECT_EQ(player->label()->text(), "加载中...");
    EXPECT_EQ(player->moviePlayer()->view()->alpha(), 0);
    advance(0.29);
    driver->pump();
    EXPECT_EQ(player->moviePlayer()->view()->alpha(), 0);
    advance(0.02);
    driver->pump();
    // The fade begins with the player in its 200-point frame.
    EXPECT_EQ(player->moviePlayer()->view()->frame(), (platform::Rect{0, 0, 320, 200}));
    advance(0.3);
    driver->pump();
    EXPECT_EQ(player->moviePlayer()->view()->alpha(), 1);

    // The end lays the cover over the video; playing again takes it away.
    player->movieDidEnd();
    EXPECT_EQ(player->showImageView()->superview().get(), player->moviePlayer()->view().get());
    player->moviePlayer()->play();
    player->moviePlayStatueChange();
    EXPECT_FALSE(player->showImageView()->superview());
}

class LessonCommentTest : public LessonDetailTest {
protected:
    Json comment(const std::string& id, const std::string& uid, const std::string& text) {
        return {{"id", id}, {"uid", uid}, {"name", "评论人" + id}, {"role", "student"}, {"message", text},
                {"showTime", "1分钟前"}, {"author", nullptr}, {"moduleType", "micro"}, {"moduleTypeId", "1"}};
    }
    std::shared_ptr<Detail> openComments(const std::string& kind) {
        auto detail = openWith(lesson("1", "900", "第一课"), Json::array({lesson("1", "900", "第一课")}), kind);
        pressTab(*detail, Detail::kCommentTab);
        EXPECT_TRUE(waitForRequests("courseMicroComment/1/list", 1, detail->view()));
        return detail;
    }
    std::vector<std::string> sheetButtons() {
        std::vector<std::string> titles;
        auto sheet = platform::ActionSheet::topSheet();
        if (!sheet) return titles;
        for (long i = 0; i < sheet->numberOfButtons(); ++i) titles.push_back(sheet->buttonTitleAtIndex(i));
        return titles;
    }
    void type(Detail& detail, const std::string& text) {
        detail.messageTextView()->setText(text);
        detail.textViewShouldChangeText(*detail.messageTextView(), "\n");
        driver->pump();
    }
};

TEST_F(LessonCommentTest, ListAndSendCarryTheKindOnlyForOpenLessons) {
    signIn("student");
    service().route("POST", "services/norvo/courseMicro/%@/%@/comment",
                    [](const sample_service::RecordedRequest&) { return sample_service::Reply::json({{"success", 1}}); });
    serveRecommendations({{"about", Json::array()}});
    for (const std::string kind : {"micro", "global_micro"}) {
        SCOPED_TRACE(kind);
        service().clearRequests();
        serveComments("1", Json::array());
        auto detail = openComments(kind);
        auto list = requestsTo("courseMicroComment/1/list").front();
        EXPECT_EQ(list.queryValue("moduleType").has_value(), kind == "global_micro");
        detail->showCommentMessageTextView();
        driver->pump();
        type(*detail, "讲得好");
        ASSERT_TRUE(pumpUntil([&] { return requestsTo("courseMicroComment/1/list").size() == 2; }));
        auto sent = requestsTo("courseMicro/" + user() + "/1/comment").front();
        std::vector<std::pair<std::string, std::string>> parts;
        for (const auto& part : sent.parts) parts.emplace_back(part.name, part.bytes);
        std::vector<std::pair<std::string, std::string>> expected = {{"msg", "讲得好"}};
        if (kind == "global_micro") expected.emplace_back("moduleType", "global_micro");
        expected.emplace_back("message", "");
        std::sort(parts.begin(), parts.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(parts, expected);
        detail->player()->stopWhenBack();
    }
}

TEST_F(LessonCommentTest, ReplyTargetOutlivesSendsUntilTheCrossIsPressed) {
    signIn("student");
    serveComments("1", Json::array({comment("c1", "77", "第一条")}));
    service().route("POST", "services/norvo/courseMicro/%@/%@/comment",
                    [](const sample_service::RecordedRequest&) { return sample_service::Reply::json({{"success", 1}}); });
    auto detail = openComments("micro");
    detail->didSelectRowAtIndexPath(*detail->pointTableView(), platform::IndexPath::forRow(0, 0));
    driver->pump();
    EXPECT_EQ(sheetButtons(), (std::vector<std::string>{"回 复", "评 论", "取 消"}));
    platform::ActionSheet::topSheet()->clickButtonAtIndex(0);
    driver->pump();
    EXPECT_TRUE(detail->isRe());
    type(*detail, "回复一");
    ASSERT_TRUE(pumpUntil([&] { return requestsTo("courseMicro/" + user() + "/1/comment").size() == 1; }));
    detail->showCommentMessageTextView();
    driver->pump();
    type(*detail, "回复二");
    ASSERT_TRUE(pumpUntil([&] { return requestsTo("courseMicro/" + user() + "/1/comment").size() == 2; }));
    detail->toSender();
    detail->showCommentMessageTextView();
    driver->pump();
    type(*detail, "普通评论");
    ASSERT_TRUE(pumpUntil([&] { return requestsTo("courseMicro/" + user() + "/1/comment").size() == 3; }));
    auto sends = requestsTo("courseMicro/" + user() + "/1/comment");
    auto replyIdOf = [](const sample_service::RecordedRequest& r) {
        for (const auto& part : r.parts)
            if (part.name == "replyId") return part.bytes;
        return std::string("none");
    };
    EXPECT_EQ(replyIdOf(sends[0]), "c1");
    EXPECT_EQ(replyIdOf(sends[1]), "c1");
    EXPECT_EQ(replyIdOf(sends[2]), "none");
}

TEST_F(LessonCommentTest, EmptyTextIsRefusedAndRefusalsShowTheirMessage) {
    signIn("student");
    serveComments("1", Json::array());
    auto detail = openComments("micro");
    detail->showCommentMessageTextView();
    driver->pump();
    type(*detail, "");
    ASSERT_TRUE(detail->lastAlert());
    EXPECT_EQ(detail->lastAlert()->title(), "评论内容不能为空");
    EXPECT_TRUE(requestsTo("courseMicro/" + user() + "/1/comment").empty());

    struct Case {
        sample_service::Reply reply;
        const char* alert;
    };
    const Case cases[] = {
        {sample_service::Reply::json({{"success", 0}, {"message", "含有敏感词"}}), "含有敏感词"},
        {sample_service::Reply::json(Json::array()), "发送失败,请重新发送"},
        {sample_service::Reply::text("not json"), "发送失败,请重新发送"},
        {sample_service::Reply::json({{"success", 1}}, 500), "发送失败,请重新发送"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alert);
        service().setReply("POST", "/services/norvo/courseMicro/" + user() + "/1/comment", c.reply);
        detail->showCommentMessageTextView();
        driver->pump();
        type(*detail, "一条评论");
        ASSERT_TRUE(pumpUntil([&] { return detail->lastAlert() && detail->lastAlert()->title() == c.alert; }));
        EXPECT_EQ(detail->commentString(), "");
        detail->lastAlert()->clickButtonAtIndex(0);
    }
}

TEST_F(LessonCommentTest, OnlyOnesOwnCommentIsDeletedAndByItsId) {
    signIn("student");  // user 2001
    serveComments("1", Json::array({comment("c1", "77", "别人的"), comment("c2", "2001", "自己的")}));
    service().route("GET", "services/norvo/courseMicroComment/%@/%@/remove",
                    [](const sample_service::RecordedRequest&) { return sample_service::Reply::json({{"success", 1}}); });
    auto detail = openComments("micro");
    detail->didSelectRowAtIndexPath(*detail->pointTableView(), platform::IndexPath::forRow(1, 0));
    driver->pump();
    EXPECT_EQ(sheetButtons(), (std::vector<std::string>{"回 复", "评 论", "删 除", "取 消"}));
    platform::ActionSheet::topSheet()->clickButtonAtIndex(2);
    driver->pump();
    ASSERT_TRUE(detail->lastAlert());
    EXPECT_EQ(detail->lastAlert()->tag(), Detail::kDeleteAlertTag);
    // Meanwhile the list reloads with a new comment in front: the row number now names
    // someone else's comment.
    serveComments("1", Json::array({comment("c0", "55", "新的"), comment("c1", "77", "别人的"),
                                    comment("c2", "2001", "自己的")}));
    detail->initPointArray();
    ASSERT_TRUE(waitForRequests("courseMicroComment/1/list", 2, detail->view()));
    detail->lastAlert()->clickButtonAtIndex(1);
    ASSERT_TRUE(waitForRequests("courseMicroComment/" + user() + "/c2/remove", 1, detail->view()));
    std::vector<std::string> left;
    for (const auto& c : detail->pointArray()) left.push_back(c["id"]);
    EXPECT_EQ(left, (std::vector<std::string>{"c0", "c1"}));

    // Someone else's comment, whatever the role, offers no delete; a 64-bit uid is not cut.
    signIn("teacher");
    detail->didSelectRowAtIndexPath(*detail->pointTableView(), platform::IndexPath::forRow(1, 0));
    driver->pump();
    EXPECT_EQ(sheetButtons(), (std::vector<std::string>{"回 复", "评 论", "取 消"}));
    platform::ActionSheet::topSheet()->clickButtonAtIndex(2);
    MVTAccount::sharedInstance().setUserId("4294967373");  // 77 + 2^32
    detail->didSelectRowAtIndexPath(*detail->pointTableView(), platform::IndexPath::forRow(1, 0));
    driver->pump();
    EXPECT_EQ(sheetButtons(), (std::vector<std::string>{"回 复", "评 论", "取 消"}));
}

TEST_F(LessonCommentTest, UserWithoutClassIsAskedToJoinFirst) {
    signIn("student");
    serveComments("1", Json::array());
    auto detail = openComments("micro");
    MVTAccount::sharedInstance().setClassId("");
    detail->showCommentMessageTextView();
    driver->pump();
    ASSERT_TRUE(detail->lastAlert());
    EXPECT_EQ(detail->lastAlert()->tag(), 10010);
    EXPECT_FALSE(detail->buttomView());
}

}  // namespace

namespace {

// The sample service's own lesson and comments, as the running app sees them.
TEST_F(LessonCommentTest, SampleLessonCommentsAreSentAndRemovedByTheirAuthor) {
    signIn("parent");  // 3001, the author of the voice comment
    auto detail = std::make_shared<Detail>();
    detail->setMovieId("6001");
    detail->setIsNewShow(true);
    showPushed(detail);
    ASSERT_TRUE(waitForRequests("coursemicro/info/" + user() + "/6001", 1, detail->view()));
    EXPECT_EQ(detail->title(), "分数的初步认识");
    pressTab(*detail, Detail::kCommentTab);
    ASSERT_TRUE(waitForRequests("courseMicroComment/6001/list", 1, detail->view()));
    ASSERT_EQ(detail->pointArray().size(), 3u);
    EXPECT_TRUE(driver->byTextContaining("回复 王小红"));

    detail->showCommentMessageTextView();
    driver->pump();
    type(*detail, "孩子说听懂了");
    ASSERT_TRUE(waitForRequests("courseMicroComment/6001/list", 2, detail->view()));
    ASSERT_EQ(detail->pointArray().size(), 4u);
    EXPECT_EQ(detail->pointArray().back()["message"], "孩子说听懂了");

    // The voice comment (row 2) is the parent's own: removed.
    detail->didSelectRowAtIndexPath(*detail->pointTableView(), platform::IndexPath::forRow(2, 0));
    driver->pump();
    platform::ActionSheet::topSheet()->clickButtonAtIndex(2);
    driver->pump();
    detail->lastAlert()->clickButtonAtIndex(1);
    ASSERT_TRUE(waitForRequests("courseMicroComment/" + user() + "/80003/remove", 1, detail->view()));
    EXPECT_EQ(detail->pointArray().size(), 3u);
}

}  // namespace
