// The announcements of a group: pages and the footer's states, what each member type may
// do, deleting, reloading, offline and failed loads, voices and files.

#include "ContactsFixture.h"

#include "contacts/MVTGongGaoEdit.h"
#include "contacts/MVTGongGaoTableViewCell.h"
#include "contacts/MVTGongGaoViewController.h"

#include "core/MVTPublicMethod.h"
#include "feed/PostRecord.h"
#include "shell/AttachmentDownloadOverlay.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/ViewViewController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/ProximitySensor.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"

using Json = nlohmann::json;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

constexpr const char* kListPath = "services/norvo/forum/1001/601/3/notice/list";
constexpr const char* kRemovePath = "services/norvo/forum/1001/601/3/notice/remove";

Json gongGaoRows(int count, int firstId = 100) {
    Json rows = Json::array();
    for (int i = 0; i < count; ++i)
        rows.push_back({{"id", firstId + i}, {"rescourseId", 5000 + firstId + i}, {"title", "公告" + std::to_string(i)},
                        {"name", "王老师"}, {"dateline", 1765000000}, {"content", "内容"}});
    return rows;
}

Json voiceRow(int id, const std::string& resource) {
    return {{"id", id}, {"rescourseId", id}, {"title", "语音"}, {"name", "王老师"}, {"dateline", 1765000000},
            {"content", "听"}, {"attachmentList", Json::array({Json{{"type", "audio"}, {"resModuleId", resource}, {"duration", 3}}})}};
}

class GongGaoListTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
        platform::ProximitySensor::shared().reset();
    }
    void TearDown() override {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->stopPlayAudio();
        platform::ProximitySensor::shared().reset();
        ContactsTest::TearDown();
    }
    void replyRows(const Json& rows) { service().setReply("GET", kListPath, Reply::json({{"list", rows}})); }
    // The list pushed over a base screen, as the group profile pushes it; waits for the
    // first page.
    std::shared_ptr<MVTGongGaoViewController> open(const std::string& userType = "2") {
        base = std::make_shared<ViewViewController>();
        showRoot(base);
        list = std::make_shared<MVTGongGaoViewController>();
        list->setUserType(userType);
        list->setForumId("601");
        list->setFieldId("3");
        navigation->pushViewController(list, false);
        driver->pump();
        EXPECT_TRUE(waitFor([&] { return !list->refreshing(); }));
        return list;
    }
    std::vector<RecordedRequest> listRequests() const { return requestsTo("forum/1001/601/3/notice/list"); }
    std::string footer() const { return list->moreBtn()->titleForState(platform::ControlStateNormal); }
    bool waitForAlert(const std::string& title) {
        return waitFor([&] {
            auto alert = platform::AlertView::topAlert();
            return alert && alert->title() == title;
        });
    }

    std::shared_ptr<ViewViewController> base;
    std::shared_ptr<MVTGongGaoViewController> list;
};

TEST_F(GongGaoListTest, TheFooterTellsWhetherMoreMayFollow) {
    struct Case {
        int rows;
        const char* footer;
        bool tappable;
    };
    for (const Case& c : {Case{15, "点击加载更多", true}, Case{14, "已经加载全部", false}, Case{0, "暂无相关内容", false}}) {
        SCOPED_TRACE(c.rows);
        replyRows(gongGaoRows(c.rows));
        service().clearRequests();
        open();
        EXPECT_EQ(int(list->dataArray().size()), c.rows);
        EXPECT_EQ(list->mytableview()->numberOfRowsInSection(0), c.rows);
        EXPECT_EQ(footer(), c.footer);
        EXPECT_EQ(list->moreBtn()->isEnabled(), c.tappable);
        const auto sent = listRequests();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].queryValue("limit"), "15");
        EXPECT_FALSE(sent[0].queryValue("maxIdNotIncludeSelf"));
    }
}

TEST_F(GongGaoListTest, TheSampleGroupPagesOnFromTheLastRowsPagingValue) {
    open();
    ASSERT_EQ(list->dataArray().size(), 15u);
    const std::string last = platform::textOf(list->dataArray().back(), "rescourseId");
    list->moreBtn()->sendActionsForControlEvents(platform::ControlEventTouchUpInside);
    ASSERT_TRUE(waitFor([&] { return listRequests().size() == 2 && !list->refreshing(); }));
    EXPECT_EQ(listRequests()[1].queryValue("maxIdNotIncludeSelf"), last);
    EXPECT_EQ(list->dataArray().size(), 17u);
    EXPECT_EQ(footer(), "已经加载全部");
    EXPECT_FALSE(list->moreBtn()->isEnabled());
}

TEST_F(GongGaoListTest, AnEmptyNextPageEndsTheListAndAnEmptyRefreshKeepsIt) {
    replyRows(gongGaoRows(15));
    open();
    replyRows(Json::array());
    list->toGetMoreCourseData();
    ASSERT_TRUE(waitFor([&] { return listRequests().size() == 2 && !list->refreshing(); }));
    EXPECT_EQ(list->dataArray().size(), 15u);
    EXPECT_EQ(footer(), "已经加载全部");
    // A pull whose reply holds no rows changes nothing shown.
    list->reloadTableViewDataSource();
    ASSERT_TRUE(waitFor([&] { return listRequests().size() == 3 && !list->refreshing(); }));
    EXPECT_FALSE(listRequests()[2].queryValue("maxIdNotIncludeSelf"));
    EXPECT_EQ(list->dataArray().size(), 15u);
    EXPECT_EQ(footer(), "已经加载全部");
}

TEST_F(GongGaoListTest, MemberTypesDecideTheAddAndDeleteButtons) {
    struct Case {
        const char* type;
        bool add;
        bool remove;
    };
    for (const Case& c : {Case{"0", false, false}, Case{"1", true, true}, Case{"2", true, true}, Case{"-1", false, true}}) {
        SCOPED_TRACE(c.type);
        replyRows(gongGaoRows(2));
        open(c.type);
        EXPECT_EQ(list->navigationItem().rightBarButtonItem() != nullptr, c.add);
        EXPECT_EQ(list->buildCell(0)->deleteBtn() != nullptr, c.remove);
        EXPECT_EQ(bool(driver->byAccessibilityLabel("删除")), c.remove);
    }
}

TEST_F(GongGaoListTest, TheAddButtonPushesTheComposerWithTheGroup) {
    replyRows(gongGaoRows(1));
    open("1");
    list->addNewGongGao();
    driver->settle();
    auto composer = std::dynamic_pointer_cast<MVTEditGongGaoViewController>(navigation->topViewController());
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->forumId(), "601");
    EXPECT_EQ(composer->fieldId(), "3");
}

TEST_F(GongGaoListTest, CancellingTheDeleteQuestionSendsNothing) {
    replyRows(gongGaoRows(3));
    open();
    driver->tap(driver->byAccessibilityLabel("删除"));
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "确定删除?");
    driver->pressAlertButton(0);
    driver->pump();
    EXPECT_TRUE(requestsTo("forum/1001/601/3/notice/remove").empty());
    EXPECT_EQ(list->dataArray().size(), 3u);
}

TEST_F(GongGaoListTest, ADeletionCountsOnlyWhenTheServiceSaysSuccess) {
    struct Case {
        Json reply;
        const char* title;
        std::size_t left;
    };
    const Case cases[] = {{Json{{"success", 1}}, "删除公告成功", 2},
                          {Json{{"success", true}}, "删除公告成功", 2},
                          {Json{{"success", 0}, {"msg", "无权限"}}, "删除公告失败", 3},
                          {Json{{"success", false}}, "删除公告失败", 3},
                          {Json{{"msg", "出错"}}, "删除公告失败", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.dump());
        platform::AlertView::clearVisible();
        replyRows(gongGaoRows(3));
        open();
        service().setReply("GET", kRemovePath, Reply::json(c.reply));
        list->deleteGonggao(1);
        driver->pressAlertButton(1);
        ASSERT_TRUE(waitForAlert(c.title));
        const auto sent = requestsTo("forum/1001/601/3/notice/remove");
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back().queryValue("ids"), "101");
        ASSERT_EQ(list->dataArray().size(), c.left);
        if (c.left == 2) {
            EXPECT_EQ(platform::textOf(list->dataArray()[1], "id"), "102");
        }
        EXPECT_FALSE(list->refreshing());
    }
}

TEST_F(GongGaoListTest, TheDeletedRowIsFoundByItsIdAfterAReload) {
    replyRows(gongGaoRows(3));
    open();
    Reply held = Reply::json({{"success", 1}});
    held.delay = 0.3;
    service().setReply("GET", kRemovePath, held);
    list->deleteGonggao(1);
    driver->pressAlertButton(1);
    // A reload that puts another row first comes back before the deletion's answer.
    Json reloaded = gongGaoRows(1, 99);
    for (const auto& row : gongGaoRows(3)) reloaded.push_back(row);
    replyRows(reloaded);
    list->reloadCurrentData();
    ASSERT_TRUE(waitFor([&] { return list->dataArray().size() == 4; }));
    ASSERT_TRUE(waitForAlert("删除公告成功"));
    ASSERT_EQ(list->dataArray().size(), 3u);
    for (const auto& row : list->dataArray()) EXPECT_NE(platform::textOf(row, "id"), "101");
}

TEST_F(GongGaoListTest, ASavedAnnouncementReloadsTheFirstPage) {
    replyRows(gongGaoRows(2));
    open();
    replyRows(gongGaoRows(3, 200));
    platform::NotificationCenter::defaultCenter().postNotification(MVTGongGaoViewController::kToReloadCurrentGongGaoData);
    ASSERT_TRUE(waitFor([&] { return list->dataArray().size() == 3; }));
    EXPECT_EQ(platform::textOf(list->dataArray()[0], "id"), "200");
}

TEST_F(GongGaoListTest, ASecondOpeningShowsTheRowsWithoutARequest) {
    replyRows(gongGaoRows(4));
    open();
    navigation->popViewController(false);
    driver->pump();
    navigation->pushViewController(list, false);
    driver->settle();
    EXPECT_EQ(listRequests().size(), 1u);
    EXPECT_EQ(list->mytableview()->numberOfRowsInSection(0), 4);
}

TEST_F(GongGaoListTest, OfflineAndFailedLoadsKeepTheRows) {
    replyRows(gongGaoRows(15));
    open();
    setOffline();
    service().clearRequests();
    list->toGetMoreCourseData();
    driver->pump();
    EXPECT_TRUE(listRequests().empty());
    EXPECT_FALSE(list->refreshing());
    EXPECT_EQ(list->dataArray().size(), 15u);
    EXPECT_TRUE(MVTAppDelegate::sharedAppDelegate()->netWorkLa());
    // A failed page offers the footer again, without a message.
    platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
    service().setReply("GET", kListPath, Reply::text("busy", "text/plain", 500));
    list->toGetMoreCourseData();
    ASSERT_TRUE(waitFor([&] { return listRequests().size() == 1 && !list->refreshing(); }));
    EXPECT_EQ(list->dataArray().size(), 15u);
    EXPECT_EQ(footer(), "点击加载更多");
    EXPECT_TRUE(list->moreBtn()->isEnabled());
    EXPECT_FALSE(platform::AlertView::topAlert());
}

TEST_F(GongGaoListTest, ReplyRowsThatAreNoDictionariesAreLeftOut) {
    service().setReply("GET", kListPath,
                       Reply::json({{"list", Json::array({gongGaoRows(1)[0], 7, "text", nullptr})}}));
    open();
    EXPECT_EQ(list->dataArray().size(), 1u);
    service().setReply("GET", kListPath, Reply::json(Json::array({1, 2})));
    list->reloadCurrentData();
    ASSERT_TRUE(waitFor([&] { return listRequests().size() == 2 && !list->refreshing(); }));
    EXPECT_EQ(list->dataArray().size(), 1u);
}

TEST_F(GongGaoListTest, AnotherRowsVoiceStopsTheFirstBeforeItPlays) {
    replyRows(Json::array({voiceRow(301, "880002"), voiceRow(302, "880001")}));
    open();
    auto app = MVTAppDelegate::sharedAppDelegate();
    EXPECT_EQ(app->nowPage(), MVTAppDelegate::VoicePageTimeLine);
    auto first = list->buildCell(0);
    first->selfplayrecord(*first->recordBtn());
    EXPECT_TRUE(list->downloading());
    ASSERT_TRUE(waitFor([&] { return !app->nowPlayPath().empty(); }));
    EXPECT_EQ(app->nowPlayPath(), post::wavFile("880002"));
    EXPECT_EQ(app->nowPlayId(), "301");
    EXPECT_EQ(app->nowPlayPage(), MVTAppDelegate::VoicePageHome);
    EXPECT_EQ(list->voiceRow(), 0);
    auto stops = count(MVTGongGaoViewController::kToStopHomeAudioPlay);
    auto second = list->buildCell(1);
    second->selfplayrecord(*second->recordBtn());
    ASSERT_TRUE(waitFor([&] { return app->nowPlayPath() == post::wavFile("880001"); }));
    EXPECT_GE(stops->count, 1);
    EXPECT_EQ(app->nowPlayId(), "302");
    EXPECT_EQ(list->voiceRow(), 1);
    // The first row is built idle again.
    EXPECT_FALSE(list->buildCell(0)->recordBtn()->isSelected());
    // A change of the proximity state starts the voice again on the earpiece.
    platform::ProximitySensor::shared().setNear(true);
    driver->pump();
    EXPECT_EQ(app->nowPlayPath(), post::wavFile("880001"));
    // The end of playback resets the rows; in front of the post detail it is passed on.
    auto details = count(MVTGongGaoViewController::kToStopDetailsAudio);
    app->setNowPage(MVTAppDelegate::VoicePageDetails);
    app->stopPlayAudio();
    driver->pump();
    EXPECT_EQ(details->count, 1);
    EXPECT_FALSE(platform::ProximitySensor::shared().isMonitoringEnabled());
}

TEST_F(GongGaoListTest, AVoiceThatFailsToDownloadLeavesItsRowIdle) {
    replyRows(Json::array({voiceRow(303, "880003")}));  // a text file, no voice
    open();
    list->toDownLoadAudioWith("880003", 0);
    ASSERT_TRUE(waitFor([&] { return !list->downloading(); }));
    EXPECT_TRUE(MVTAppDelegate::sharedAppDelegate()->nowPlayPath().empty());
    EXPECT_FALSE(MVTPublicMethod::fileExistsAtPath(post::voiceFile("880003")));
}

TEST_F(GongGaoListTest, AFileOnTheDeviceOpensPushedWithoutTheOverlay) {
    replyRows(gongGaoRows(1));
    open();
    const std::string path = AttachmentDownloadOverlay::attachmentPath("880003", "txt");
    ASSERT_TRUE(platform::writeFileAtomically(path, "班级公约"));
    service().clearRequests();
    list->toDownLoadAttachWith("880003", "班级公约", "txt");
    driver->settle();
    auto page = std::dynamic_pointer_cast<MVTWebViewController>(navigation->topViewController());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->view()->accessibilityValue(), "push");
    EXPECT_FALSE(list->presentedViewController());
    EXPECT_TRUE(service().requests().empty());
    // A file fetched first is pushed the same way.
    navigation->popViewController(false);
    list->toDownLoadAttachWith("880004", "假期作业", "zip");
    ASSERT_TRUE(waitFor([&] { return navigation->topViewController() != list; }));
    EXPECT_TRUE(std::dynamic_pointer_cast<MVTWebViewController>(navigation->topViewController()));
    EXPECT_TRUE(MVTPublicMethod::fileExistsAtPath(AttachmentDownloadOverlay::attachmentPath("880004", "zip")));
}

}  // namespace
