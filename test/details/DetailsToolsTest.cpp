// The detail screen's tool bar (share link, report page, forward), its voice player and
// praisers strip, the comment cell, and the forward screen.

#include "details/DetailsFixture.h"
#include "details/MVTCommentCell.h"
#include "details/PostReport.h"

#include "shell/MVTReportViewController.h"

#include "platform/ShareKit.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Slider.h"

using namespace platform;
using testing_support::DetailsTest;

namespace {

class DetailsToolsTest : public DetailsTest {
protected:
    void openPlain(long long id, const Json& record) {
        answerFor(id, {{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}}, Json::array());
        open(record);
    }
    std::shared_ptr<Button> toolButton(const std::string& title) {
        for (const auto& view : details->buttomToolView()->subviews())
            if (auto button = std::dynamic_pointer_cast<Button>(view); button && button->accessibilityValue() == title)
                return button;
        return nullptr;
    }
    std::shared_ptr<MVTForwardViewController> openForward(const Json& record) {
        auto forward = std::make_shared<MVTForwardViewController>();
        forward->initWithDic(record);
        forward->setModelName("feed");
        forward->setModelID(textOf(record, "id"));
        forward->setDelegate(opener);
        driver->show(myNavigationController::withRoot(forward));
        settle();
        return forward;
    }
};

TEST_F(DetailsToolsTest, TheShareLinkDependsOnTheIdAlone) {
    EXPECT_EQ(MVTDetailsViewController::shareKeyFor("42"), "29ED0A7B1C7229461C882E83A0249F92");
    Json record = post(42, "今天<b>很好</b>");
    record["title"] = nullptr;
    Json share = MVTDetailsViewController::shareDictionaryFor(record, "今天很好");
    EXPECT_EQ(share["title"], "岚溪校讯动态");
    EXPECT_EQ(share["content"], "今天很好");
    EXPECT_EQ(share["whereFrom"], "feed");
    EXPECT_EQ(share["url"], baseUrl() + "feed/share/42?key=29ED0A7B1C7229461C882E83A0249F92");
    record["title"] = "运动会";
    record["content"] = "";
    share = MVTDetailsViewController::shareDictionaryFor(record, "");
    EXPECT_EQ(share["title"], "运动会");
    EXPECT_EQ(share["content"], "来自岚溪校讯的分享");
    EXPECT_EQ(MVTDetailsViewController::shareDictionaryFor(post(42, "[em:1:]"), "")["content"], "来自岚溪校讯的分享");
}

TEST_F(DetailsToolsTest, AFailedShareShowsAsAToast) {
    openPlain(701, post(701, "分享我"));
    ASSERT_TRUE(driver->tap(toolButton("分享")));
    settle();
    ASSERT_TRUE(details->lastShareDictionary());
    EXPECT_FALSE(textOf(*details->lastShareDictionary(), "image").empty());
    auto& kit = ShareKit::shared();
    if (kit.hasWaitingShare()) kit.choosePlatform(kit.platforms().front());
    settle();
    EXPECT_EQ(toast().rfind("分享失败 ", 0), 0u) << toast();
}

TEST_F(DetailsToolsTest, TheReportAddressKeepsEachValueWhole) {
    Json record = post(42, "x", "2001");
    record["name"] = "A&B=C 李";
    const std::string address = postReportAddress(record, "1001");
    EXPECT_EQ(address.rfind(baseUrl() + "report/42?targetUid=2001&uid=1001&name=", 0), 0u) << address;
    EXPECT_NE(address.find("&name=A%26B%3DC%20%E6%9D%8E&type=essay&token="), std::string::npos) << address;
    EXPECT_NE(address.find("&mobile=1"), std::string::npos);

    openPlain(702, post(702, "x", "2001"));
    ASSERT_TRUE(driver->tap(toolButton("举报")));
    settle();
    auto report = std::dynamic_pointer_cast<MVTReportViewController>(details->presentedViewController());
    ASSERT_TRUE(report);
    auto request = service().lastRequest("/report/702");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->queryValue("name"), "李明");
}

TEST_F(DetailsToolsTest, AForwardReportsOnceAndTheToastFollows) {
    openPlain(42, samplePost(42));
    ASSERT_TRUE(driver->tap(toolButton("转发")));
    settle();
    auto stack = details->presentedViewController();
    ASSERT_TRUE(stack && stack->asNavigationController());
    auto forward = std::dynamic_pointer_cast<MVTForwardViewController>(stack->asNavigationController()->viewControllers().front());
    ASSERT_TRUE(forward);
    EXPECT_EQ(forward->view()->tag(), 1);
    forward->messageTextView()->setText("转给大家");
    forward->sendButton();
    forward->sendButton();
    settle();
    EXPECT_EQ(requestsTo("/services/norvo/user/1001/share/42").size(), 1u);
    EXPECT_FALSE(details->presentedViewController());
    EXPECT_EQ(opener->turns.size(), 0u);
    EXPECT_EQ(toast(), "转发成功");
    // The toast comes 0.4 s after the forward screen's report.
    details->showTurnSuccessWith("再次成功");
    advance(0.3);
    EXPECT_EQ(toast(), "转发成功");
    advance(0.2);
    driver->pump();
    EXPECT_EQ(toast(), "再次成功");
    // The service's feed has the forward now.
    Json list = get("feed/1001/list/1", {{"limit", "1"}});
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["type"], "share");
    EXPECT_EQ(list[0]["content"], "转给大家");
}

TEST_F(DetailsToolsTest, TheForwardSendsItsPartsAndTheTeachersChoice) {
    auto forward = openForward(samplePost(41));
    ASSERT_TRUE(forward->permissionView());
    EXPECT_EQ(forward->permissionNum(), -1);
    forward->choosePermission();
    auto sheet = driver->sheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->tag(), MVTForwardViewController::kPermissionSheetTag);
    ASSERT_TRUE(driver->pressSheetButton(3));
    EXPECT_EQ(forward->permissionNum(), 3);
    EXPECT_EQ(MVTtirraDataBase::selectSaveVisibleWith("1001"), "3");
    forward->choosePermission();
    ASSERT_TRUE(driver->pressSheetButton(0));
    EXPECT_EQ(forward->permissionNum(), -1);
    EXPECT_EQ(MVTtirraDataBase::selectSaveVisibleWith("1001"), "0");
    forward->choosePermission();
    ASSERT_TRUE(driver->pressSheetButton(2));
    forward->sendButton();
    settle();
    auto request = service().lastRequest("/services/norvo/user/1001/share/41");
    ASSERT_TRUE(request);
    EXPECT_EQ(partNames(*request), (std::vector<std::string>{"message", "permission"}));
    EXPECT_EQ(partOf(*request, "message"), "");
    EXPECT_EQ(partOf(*request, "permission"), "2");
    EXPECT_EQ(opener->turns, std::vector<std::string>{"转发成功"});
}

TEST_F(DetailsToolsTest, AStudentForwardsWithoutAChoiceAndRefusalsKeepTheScreen) {
    signIn("2001", "李明", "student", "11");
    auto forward = openForward(samplePost(41));
    EXPECT_FALSE(forward->permissionView());
    struct Case {
        sample_service::Reply reply;
        const char* alert;
    };
    const Case cases[] = {
        {sample_service::Reply::json({{"success", 0}, {"message", "不能转发"}}), "不能转发"},
        {sample_service::Reply::json(Json::array()), "转发失败，请重试"},
        {sample_service::Reply::text("", "text/plain", 500), "转发失败，请重试"},
    };
    forward->messageTextView()->setText("看看");
    for (const auto& c : cases) {
        AlertView::clearVisible();
        service().setReply("POST", "/services/norvo/user/2001/share/41", c.reply);
        forward->sendButton();
        settle();
        ASSERT_TRUE(AlertView::topAlert());
        EXPECT_EQ(AlertView::topAlert()->title(), c.alert);
        EXPECT_FALSE(forward->issending());
        EXPECT_EQ(forward->messageTextView()->text(), "看看");
        EXPECT_EQ(partOf(*service().lastRequest("/services/norvo/user/2001/share/41"), "permission"), "-1");
    }
    EXPECT_TRUE(opener->turns.empty());

    AlertView::clearVisible();
    forward->toback();
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->message(), "放弃此次编辑？");
    ASSERT_TRUE(driver->pressAlertButton(0));
    EXPECT_EQ(forward->messageTextView()->text(), "看看");
}

TEST_F(DetailsToolsTest, TheForwardedPostViewShowsUpToNinePicturesAndOwnVisibility) {
    Json record = post(800, "九张", "1001");
    record["perm"] = 2;
    Json pictures = Json::array();
    for (int i = 0; i < 12; ++i) pictures.push_back({{"id", 881001 + i % 6}, {"type", "image"}});
    record["attachments"] = pictures;
    auto forward = openForward(record);
    const double side = (Screen::mainScreen().bounds().width() - 71) / 4;
    int shown = 0;
    for (const auto& view : forward->headView()->subviews())
        if (auto picture = std::dynamic_pointer_cast<ImageView>(view); picture && picture->frame().width() == side) ++shown;
    EXPECT_EQ(shown, 9);
    EXPECT_TRUE(driver->byText("全校老师可见"));
    EXPECT_EQ(MVTForwardViewController::visibilityLabelFor(record, "1001", "parent"), "");
    record["perm"] = -1;
    EXPECT_EQ(MVTForwardViewController::visibilityLabelFor(record, "1001", "teacher"), "");
    record["perm"] = 0;
    EXPECT_EQ(MVTForwardViewController::visibilityLabelFor(record, "1001", "student"), "班级可见");
    EXPECT_EQ(MVTForwardViewController::visibilityLabelFor(record, "1001", "teacher"), "我的关系可见");
    record["perm"] = 7;
    EXPECT_EQ(MVTForwardViewController::visibilityLabelFor(record, "1001", "teacher"), "");
}

TEST_F(DetailsToolsTest, CommentCellSizes) {
    struct Case {
        Json comment;
        const char* duration;
        double bubble;
        double height;
    };
    auto voice = [](const Json& duration) {
        return Json{{"id", 1}, {"uid", "2001"}, {"name", "李明"}, {"content", ""},
                    {"attachmentList", Json::array({{{"resModuleId", "880001"}, {"duration", duration}}})},
                    {"createDate", 1767500000}};
    };
    const Case cases[] = {
        {voice(5), "5秒", 80, 50},
        {voice(75), "1分15秒", -1, 50},
        {voice(nullptr), "0秒", 80, 50},
    };
    auto cell = MVTCommentCell::make();
    for (const auto& c : cases) {
        cell->reloadDataWithDic(c.comment, "0");
        EXPECT_EQ(cell->duraLa()->text(), c.duration);
        EXPECT_FALSE(cell->videoBtn()->isHidden());
        EXPECT_TRUE(cell->commentTextView()->isHidden());
        if (c.bubble > 0) EXPECT_DOUBLE_EQ(cell->videoBtn()->frame().width(), c.bubble);
        else EXPECT_GT(cell->videoBtn()->frame().width(), 80);
        EXPECT_DOUBLE_EQ(cell->frame().height(), c.height);
    }
    // The same cell then shows texts: nothing of the voice stays.
    for (const char* empty : {"", "<null>"}) {
        cell->reloadDataWithDic({{"id", 2}, {"name", "李明"}, {"content", empty}, {"showTime", "01-02 08:00"}}, "0");
        EXPECT_TRUE(cell->videoBtn()->isHidden());
        EXPECT_TRUE(cell->commentTextView()->isHidden());
        EXPECT_DOUBLE_EQ(cell->frame().height(), 50);
        EXPECT_EQ(cell->timelb()->text(), "01-02 08:00");
    }
    cell->reloadDataWithDic({{"id", 3}, {"name", "李明"}, {"content", "好"}, {"replyName", "王老师"}}, "0");
    EXPECT_FALSE(cell->commentTextView()->isHidden());
    EXPECT_GE(cell->frame().height(), 65);
    EXPECT_EQ(cell->whoLabel()->text(), "回复 王老师 ");
    EXPECT_DOUBLE_EQ(cell->downLine()->frame().y(), cell->frame().height() - 0.6);

    const std::string base = "http://127.0.0.1:1/";
    EXPECT_EQ(MVTCommentCell::commentHtml("[em:12:]", base),
              MVTCommentCell::commentHtml("<img src=\"" + base + "static/images/face/12.gif\" class=\"face\">", base));
    EXPECT_EQ(MVTCommentCell::commentHtml("<img src=\"http://elsewhere/static/images/face/12.gif\" class=\"face\">", base)
                  .find("12.png"),
              std::string::npos);
}

TEST_F(DetailsToolsTest, ThePlayerJumpsFifteenSecondsAndTheStripComesAndGoes) {
    Json record = post(810, "听");
    record["attachments"] = Json::array({{{"type", "audio"}, {"resModuleId", "880001"}, {"duration", 60}, {"bg", "7"}}});
    openPlain(810, record);
    ASSERT_TRUE(details->prossSlider());
    EXPECT_EQ(details->allLength(), 60);
    auto rewind = std::make_shared<Button>();
    rewind->setTag(0);
    auto ahead = std::make_shared<Button>();
    ahead->setTag(1);
    struct Jump {
        double at;
        std::shared_ptr<Button> button;
        double value;
        const char* shown;
    };
    const Jump jumps[] = {{10.0 / 60, rewind, 0.005, "00:00"}, {40.0 / 60, rewind, 25.0 / 60, "00:25"},
                          {20.0 / 60, ahead, 35.0 / 60, "00:35"}};
    for (const auto& jump : jumps) {
        details->prossSlider()->setValue(jump.at);
        details->toRewindOrForward(*jump.button);
        EXPECT_NEAR(details->prossSlider()->value(), jump.value, 1e-9);
        EXPECT_EQ(details->currentLa()->text(), jump.shown);
        EXPECT_FALSE(details->changing());
    }
    // Ahead within the last 15 seconds stops playback.
    details->prossSlider()->setValue(50.0 / 60);
    details->toRewindOrForward(*ahead);
    EXPECT_FALSE(details->changing());
    EXPECT_TRUE(MVTAppDelegate::sharedAppDelegate()->nowPlayPath().empty());
    // While the thumb moves, progress is ignored.
    details->changingSliderValue();
    details->setNowPlay(1);
    NotificationCenter::defaultCenter().postNotification(MVTAppDelegate::kToShowDetailsProgress, "0.900000");
    EXPECT_NEAR(details->prossSlider()->value(), 50.0 / 60, 1e-9);
    details->toChangeValueForAudio();
    NotificationCenter::defaultCenter().postNotification(MVTAppDelegate::kToShowDetailsProgress, "0.500000");
    EXPECT_NEAR(details->prossSlider()->value(), 0.5, 1e-9);
    NotificationCenter::defaultCenter().postNotification(MVTAppDelegate::kToShowDetailsProgress, "1.000000");
    EXPECT_NEAR(details->prossSlider()->value(), 0.005, 1e-9);

    const double before = details->headView()->frame().height();
    details->setNameString("王老师");
    details->newLike();
    EXPECT_DOUBLE_EQ(details->headView()->frame().height(), before + 40);
    EXPECT_EQ(details->nameMember()->superview(), details->headView());
    EXPECT_EQ(details->mytableview()->tableHeaderView(), details->headView());
    details->setNameString("");
    details->newLike();
    EXPECT_DOUBLE_EQ(details->headView()->frame().height(), before);
    EXPECT_FALSE(details->nameMember()->superview());
}

}  // namespace
