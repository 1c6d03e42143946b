// The message centre: pages of ten, the unread count kept with the tab bar, removal by
// swipe, a deleted friend, the rows, and what a tap opens.

#include "ChatFixture.h"

#include "chat/MVTChatViewController.h"
#include "chat/MVTInteractionViewController.h"
#include "contacts/ContactsCacheStore.h"
#include "core/MVTtirraDataBase.h"
#include "notices/MVTNewsCenterViewController.h"
#include "shell/MyTabBarController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/UrlEncoding.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

Json personRow(long long id, long long uid, const Json& unread = 0) {
    return {{"id", id},         {"type", "person"}, {"uid", uid},  {"name", "用户" + std::to_string(uid)},
            {"role", "student"}, {"msg", "你好"},    {"sendTime", 1767650000 - id}, {"unreadCount", unread}};
}

Json rows(int first, int count) {
    Json list = Json::array();
    for (int i = first; i < first + count; ++i) list.push_back(personRow(i, 5000 + i));
    return list;
}

class MessageCentreTest : public testing_support::ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        signIn("1001", "teacher", "11,12");
        tabs = std::make_shared<MyTabBarController>();
    }
    // The centre inside a tab bar, as the application builds it.
    std::shared_ptr<MVTInteractionViewController> open() {
        centre = std::make_shared<MVTInteractionViewController>();
        auto stack = myNavigationController::withRoot(centre);
        tabs->setViewControllers({std::make_shared<ViewViewController>(), stack});
        tabs->setSelectedIndex(1);
        driver->show(tabs);
        driver->pump();
        return centre;
    }
    std::string newPm() { return platform::textOf(tabs->unreadDic(), "newPm"); }
    std::shared_ptr<MyTabBarController> tabs;
    std::shared_ptr<MVTInteractionViewController> centre;
};

TEST_F(MessageCentreTest, TwentyFiveConversationsComeInPagesOfTenTenAndFive) {
    service().route("GET", "services/norvo/pm/%@/classify/list", [](const sample_service::RecordedRequest& request) {
        auto after = request.queryValue("maxIdNotIncludeSelf");
        int first = after ? std::stoi(*after) + 1 : 1;
        return Reply::json(rows(first, std::min(10, 26 - first)));
    });
    open();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 10; }));
    EXPECT_TRUE(centre->isLoad());
    auto table = centre->mytableview();
    table->scrollToRowAtIndexPath({1, 9}, platform::TableViewScrollPosition::Bottom, false);
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 20; }));
    table->scrollToRowAtIndexPath({1, 19}, platform::TableViewScrollPosition::Bottom, false);
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 25; }));
    EXPECT_FALSE(centre->isLoad());
    table->scrollToRowAtIndexPath({1, 24}, platform::TableViewScrollPosition::Bottom, false);
    driver->pump();
    auto pages = requestsTo("pm/1001/classify/list");
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].queryValue("limit"), "10");
    EXPECT_FALSE(pages[0].queryValue("maxIdNotIncludeSelf"));
    EXPECT_FALSE(pages[0].queryValue("minIdNotIncludeSelf"));
    EXPECT_EQ(pages[1].queryValue("maxIdNotIncludeSelf"), "10");
    EXPECT_EQ(pages[2].queryValue("maxIdNotIncludeSelf"), "20");
}

TEST_F(MessageCentreTest, TheUnreadCountNeverFallsBelowTheRowsSum) {
    Json list = Json::array({personRow(1, 21, 2), personRow(2, 22, 0), personRow(3, 23, "<null>"),
                             personRow(4, 24, 5), personRow(5, 25, nullptr)});
    list[4].erase("unreadCount");
    service().setReply("GET", "/services/norvo/pm/1001/classify/list", Reply::json(list));
    struct Case {
        const char* before;
        const char* after;
    };
    for (const Case& c : {Case{"3", "7"}, Case{"9", "9"}}) {
        tabs->unreadDic()["newPm"] = c.before;
        open();
        ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 5; }));
        EXPECT_EQ(centre->unReadNum(), 7);
        EXPECT_EQ(newPm(), c.after) << c.before;
    }
}

TEST_F(MessageCentreTest, BadRepliesLeaveTheListAsItWas) {
    service().setReply("GET", "/services/norvo/pm/1001/classify/list", Reply::json(rows(1, 3)));
    open();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 3; }));
    for (Reply bad : {Reply::json({{"success", 0}}), Reply::text("not json"), Reply::text("[]", "application/json", 500),
                      Reply::json(Json::array())}) {
        service().setReply("GET", "/services/norvo/pm/1001/classify/list", bad);
        centre->reloadTableViewDataSource();
        ASSERT_TRUE(waitFor([&] { return !centre->loading(); }));
        EXPECT_EQ(centre->dataArray().size(), 3u);
    }
}

TEST_F(MessageCentreTest, RemovingAConversationLowersTheCountFirstAndDropsItsMessages) {
    Json group = {{"id", 7}, {"type", "forum"}, {"name", "三年级一班"}, {"forumId", 501}, {"fieldId", 1}, {"unreadCount", 4}};
    Json person = personRow(8, 31, 4);
    service().setReply("GET", "/services/norvo/pm/1001/classify/list", Reply::json(Json::array({group, person})));
    MVTtirraDataBase::insertMSGtable(Json::array({{{"id", 1}, {"uid", "31"}, {"status", "0"}, {"msg", "a"}, {"sendTime", "1"}},
                                                   {{"id", 2}, {"uid", "5"}, {"forumId", 501}, {"fieldId", 1}, {"status", "0"}, {"msg", "b"}, {"sendTime", "2"}}}),
                                     "1001");
    open();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 2; }));
    // 3 - 4 would be negative: unchanged, even though the removal then fails.
    tabs->unreadDic()["newPm"] = "3";
    service().setReply("GET", "/services/norvo/pm/1001/removeSession/501", Reply::text("false"));
    centre->deleteChat(0);
    EXPECT_EQ(newPm(), "3");
    ASSERT_TRUE(waitFor([] { return platform::AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(platform::AlertView::topAlert()->message(), "删除失败,请重新删除");
    EXPECT_EQ(centre->dataArray().size(), 2u);
    auto removal = service().lastRequest("/services/norvo/pm/1001/removeSession/501");
    ASSERT_TRUE(removal);
    EXPECT_EQ(removal->queryValue("fieldId"), "1");
    platform::AlertView::clearVisible();

    tabs->unreadDic()["newPm"] = "10";
    service().setReply("GET", "/services/norvo/pm/1001/removeSession/31", Reply::text("true"));
    centre->deleteChat(1);
    EXPECT_EQ(newPm(), "6");
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 1; }));
    EXPECT_EQ(platform::textOf(centre->dataArray()[0], "type"), "forum");
    EXPECT_TRUE(MVTtirraDataBase::selectMSGListwith("1001", "31", std::nullopt, "").empty());
    EXPECT_EQ(MVTtirraDataBase::selectMSGListwith("1001", "5", std::string("501"), "1").size(), 1u);
}

TEST_F(MessageCentreTest, ARemovalConcernsTheSwipedConversationEvenAfterAReload) {
    service().setReply("GET", "/services/norvo/pm/1001/classify/list", Reply::json(rows(1, 3)));
    open();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 3; }));
    Reply held = Reply::text("true");
    held.delay = 0.3;
    service().setReply("GET", "/services/norvo/pm/1001/removeSession/5002", held);
    centre->deleteChat(1);  // uid 5002
    // A reload puts a new conversation first while the removal runs.
    Json reloaded = rows(1, 3);
    reloaded.insert(reloaded.begin(), personRow(99, 5099));
    service().setReply("GET", "/services/norvo/pm/1001/classify/list", Reply::json(reloaded));
    centre->reloadTableViewDataSource();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 4; }));
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 3; }));
    for (const auto& row : centre->dataArray()) EXPECT_NE(platform::textOf(row, "uid"), "5002");
}

TEST_F(MessageCentreTest, ADeletedFriendTakesOnlyTheRowOfThatId) {
    service().setReply("GET", "/services/norvo/pm/1001/classify/list",
                       Reply::json(Json::array({personRow(1, 123), personRow(2, 12), personRow(3, 12)})));
    open();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 3; }));
    platform::NotificationCenter::defaultCenter().postNotification(
        "nativeReceiversHaveChanged_hd", {{"name", "x"}, {"role", "student"}, {"userId", "12"}});
    ASSERT_EQ(centre->dataArray().size(), 2u);
    EXPECT_EQ(platform::textOf(centre->dataArray()[0], "uid"), "123");
    EXPECT_EQ(platform::textOf(centre->dataArray()[1], "uid"), "12");
}

TEST_F(MessageCentreTest, RowsShowBadgesAttachmentsAndCourseLines) {
    Json picture = personRow(1, 41, 100);
    picture["msg"] = "";
    picture["attachments"] = Json::array({{{"type", "image"}}});
    Json voice = personRow(2, 42, 7);
    voice["msg"] = nullptr;
    voice["attachments"] = Json::array({{{"type", "audio"}}});
    Json course = {{"id", 3}, {"type", "message"}, {"ntype", "course_quiz"}, {"name", "李明"}, {"dateline", 1767640000}};
    service().setReply("GET", "/services/norvo/pm/1001/classify/list", Reply::json(Json::array({picture, voice, course})));
    open();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 3; }));
    driver->pump();
    EXPECT_TRUE(driver->byText("99"));
    EXPECT_TRUE(driver->byText("7"));
    EXPECT_TRUE(driver->byAccessibilityLabel("图片"));
    EXPECT_TRUE(driver->byAccessibilityLabel("语音"));
    EXPECT_TRUE(driver->byAccessibilityLabel("有学生提交了测验"));
}

TEST_F(MessageCentreTest, AFirstMessageRowAddsTheFriendToTheContactsCacheOnce) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", {{"friend", Json::array()}, {"class", Json::array()}}));
    Json row = personRow(1, 2002);
    row["sysflag"] = "friend-first-pm";
    service().setReply("GET", "/services/norvo/pm/1001/classify/list", Reply::json(Json::array({row})));
    open();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 1; }));
    // Drawn twice: the first drawing adds the friend, the second finds it there.
    EXPECT_TRUE(driver->byText("用户2002"));
    centre->mytableview()->reloadData();
    EXPECT_TRUE(driver->byText("用户2002"));
    auto cache = ContactsCacheStore::readObject("1001");
    ASSERT_TRUE(cache) << ContactsCacheStore::readText("1001").value_or("none");
    EXPECT_EQ((*cache)["friend"], Json::array({ContactsCacheStore::friendEntry("用户2002", "student", 2002)}));
}

TEST_F(MessageCentreTest, WithoutAClassOnlyTheServiceAccountOpens) {
    signIn("2002", "student", "");
    service().setReply("GET", "/services/norvo/pm/2002/classify/list",
                       Reply::json(Json::array({personRow(1, 10, 4), personRow(2, 2001)})));
    open();
    platform::AlertView::clearVisible();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 2; }));
    tabs->unreadDic()["newPm"] = "6";
    centre->didSelectRowAtIndexPath(*centre->mytableview(), {1, 1});
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "请先加入班级，可以查看和分享更多精彩");
    EXPECT_EQ(centre->presentedViewController(), nullptr);
    platform::AlertView::clearVisible();

    centre->didSelectRowAtIndexPath(*centre->mytableview(), {1, 0});
    EXPECT_EQ(newPm(), "2");
    auto stack = centre->presentedViewController() ? centre->presentedViewController()->asNavigationController() : nullptr;
    ASSERT_TRUE(stack);
    auto chat = std::dynamic_pointer_cast<MVTChatViewController>(stack->topViewController());
    ASSERT_TRUE(chat);
    EXPECT_EQ(chat->msgType(), "person");
    EXPECT_EQ(platform::textOf(chat->myDict(), "uid"), "10");
}

TEST_F(MessageCentreTest, AGroupRowOpensItsChatWithoutTheCourseAndNoticeRows) {
    Json notice = {{"id", 5}, {"type", "notice"}, {"classId", 11}, {"name", "教务处"}, {"sendTime", 1}};
    Json course = {{"id", 6}, {"type", "message"}, {"ntype", "course_homework"}, {"dateline", 1}};
    Json group = {{"id", 7}, {"type", "forum"}, {"name", "三年级一班"}, {"forumId", 501}, {"fieldId", 1}};
    service().setReply("GET", "/services/norvo/pm/1001/classify/list",
                       Reply::json(Json::array({notice, course, group, personRow(8, 31)})));
    open();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 4; }));
    centre->didSelectRowAtIndexPath(*centre->mytableview(), {1, 2});
    auto stack = centre->presentedViewController()->asNavigationController();
    auto chat = std::dynamic_pointer_cast<MVTChatViewController>(stack->topViewController());
    ASSERT_TRUE(chat);
    EXPECT_EQ(chat->msgType(), "forum");
    EXPECT_EQ(chat->forumid(), "501");
    EXPECT_EQ(chat->fieldid(), "1");
    EXPECT_EQ(platform::textOf(chat->myDict(), "uid"), "7");
    ASSERT_EQ(chat->forwardRecetArray().size(), 2u);
    EXPECT_EQ(platform::textOf(chat->forwardRecetArray()[0], "type"), "forum");
}

TEST_F(MessageCentreTest, TheCourseRowOpensTheCourseNotificationCentre) {
    Json course = {{"id", 6}, {"type", "message"}, {"ntype", "course_homework"}, {"dateline", 1}, {"hasNew", true}};
    service().setReply("GET", "/services/norvo/pm/1001/classify/list", Reply::json(Json::array({course})));
    open();
    ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 1; }));
    centre->didSelectRowAtIndexPath(*centre->mytableview(), {1, 0});
    EXPECT_EQ(platform::textOf(centre->dataArray()[0], "hasNew"), "0");
    auto stack = centre->presentedViewController() ? centre->presentedViewController()->asNavigationController() : nullptr;
    ASSERT_TRUE(stack);
    EXPECT_TRUE(std::dynamic_pointer_cast<MVTNewsCenterViewController>(stack->topViewController()));
}

TEST_F(MessageCentreTest, TheEducationServicesAddressEscapesNameAndPassword) {
    auto& account = MVTAccount::sharedInstance();
    account.setUserName("a&b");
    account.setPassword("p=1 #2");
    std::string url = MVTInteractionViewController::educationServicesUrl();
    EXPECT_NE(url.find("webapp/?wapid=a%26b&userpwd=p%3D1%20%232"), std::string::npos) << url;
}

}  // namespace
