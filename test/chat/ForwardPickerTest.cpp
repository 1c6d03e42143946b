// The forward picker: pages after the handed-over rows while pages come full, the search
// through contacts and groups with its one "not found" alert, the kind of each row and the
// chat it opens, and the header rows.

#include "ChatFixture.h"

#include "chat/MVTChatViewController.h"
#include "chat/MVTForwardMsgViewController.h"
#include "contacts/ContactsCacheStore.h"
#include "contacts/MVTGroupListViewController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"

using Json = nlohmann::json;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

Json recentRow(long long id) {
    return {{"id", id}, {"type", "person"}, {"uid", 5000 + id}, {"name", "用户" + std::to_string(id)},
            {"role", "student"}};
}

Json recentRows(int first, int count) {
    Json rows = Json::array();
    for (int i = first; i < first + count; ++i) rows.push_back(recentRow(i));
    return rows;
}

Json contactsReply() {
    return {{"friend", {{{"userId", 1002}, {"name", "王芳"}, {"role", "teacher"}}}},
            {"teacher", {{{"userId", 1003}, {"name", "赵老师"}, {"role", "teacher"}}}}};
}

Json groupsCache() {
    return {{"group", {{{"id", 31}, {"name", "王老师的读书小组"}, {"fieldId", 3}},
                       {{"id", 32}, {"name", "数学组"}, {"fieldId", 3}}}}};
}

class ForwardPickerTest : public testing_support::ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        signIn("1001", "teacher", "11,12");
        // The chat a confirmed pick opens loads quietly.
        service().route("GET", "services/norvo/pm/%@/conversation/%@",
                        [](const RecordedRequest&) { return Reply::json(Json::array()); });
    }
    std::shared_ptr<MVTForwardMsgViewController> open(const Json& recent) {
        picker = std::make_shared<MVTForwardMsgViewController>();
        picker->setForwardDictionary({{"id", "81"}, {"msg", "转给你看"}, {"issuccess", "1"}});
        picker->setRecelentArray(recent);
        return showRoot(picker);
    }
    void showRow(int row) {
        picker->mytableView()->scrollToRowAtIndexPath({0, row}, platform::TableViewScrollPosition::Bottom, false);
        driver->pump();
    }
    std::vector<RecordedRequest> pages() const { return requestsTo("pm/1001/classify/list"); }
    void search(const std::string& text) {
        picker->searchBarTextDidBeginEditing(*picker->searchBar());
        picker->searchBar()->setText(text);
        picker->searchBarSearchButtonClicked(*picker->searchBar());
    }
    // Confirms the row at `index` and returns the chat it pushed.
    std::shared_ptr<MVTChatViewController> choose(int index) {
        picker->didSelectRowAtIndexPath(*picker->mytableView(), {0, index});
        auto alert = platform::AlertView::topAlert();
        EXPECT_TRUE(alert);
        if (!alert) return nullptr;
        EXPECT_EQ(alert->title(), "转发给:");
        alert->clickButtonAtIndex(1);
        driver->settle();
        return std::dynamic_pointer_cast<MVTChatViewController>(navigation->viewControllers().back());
    }
    std::shared_ptr<MVTForwardMsgViewController> picker;
};

TEST_F(ForwardPickerTest, PagesFollowTheLastRowShownWhileThePagesAreFull) {
    service().route("GET", "services/norvo/pm/%@/classify/list", [](const RecordedRequest& request) {
        int after = std::stoi(request.queryValue("maxIdNotIncludeSelf").value_or("0"));
        return Reply::json(recentRows(after + 1, after < 20 ? 10 : 4));
    });
    open(recentRows(1, 10));
    EXPECT_TRUE(pages().empty());
    showRow(9);
    ASSERT_TRUE(waitFor([&] { return picker->recelentArray().size() == 20; }));
    ASSERT_EQ(pages().size(), 1u);
    EXPECT_EQ(pages()[0].queryValue("limit"), "10");
    EXPECT_EQ(pages()[0].queryValue("maxIdNotIncludeSelf"), "10");
    EXPECT_TRUE(picker->isLoad());
    showRow(19);
    ASSERT_TRUE(waitFor([&] { return picker->recelentArray().size() == 24; }));
    EXPECT_EQ(pages()[1].queryValue("maxIdNotIncludeSelf"), "20");
    EXPECT_FALSE(picker->isLoad());
    showRow(23);
    driver->settle();
    EXPECT_EQ(pages().size(), 2u);
}

TEST_F(ForwardPickerTest, NoPageIsAskedWithoutRowsNorWhileSearching) {
    open(Json::array());
    driver->settle();
    EXPECT_TRUE(pages().empty());

    open(recentRows(1, 10));
    picker->searchBarTextDidBeginEditing(*picker->searchBar());
    EXPECT_EQ(picker->mytableView()->tableHeaderView(), nullptr);
    platform::TableViewCell cell;
    picker->willDisplayCell(*picker->mytableView(), cell, {0, 9});
    // The header rows do nothing while searching.
    picker->creatANewChat();
    picker->selectAGroup();
    driver->settle();
    EXPECT_TRUE(pages().empty());
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
}

TEST_F(ForwardPickerTest, BadPageRepliesKeepTheRowsAndLetTheLastRowAskAgain) {
    const Reply replies[] = {Reply::json({{"id", 1}}), Reply::text("busy"), Reply::text("", "text/plain", 500)};
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply.body);
        service().setReply("GET", "/services/norvo/pm/1001/classify/list", reply);
        service().clearRequests();
        open(recentRows(1, 10));
        showRow(9);
        ASSERT_TRUE(waitFor([&] { return pages().size() == 1 && !picker->loading(); }));
        EXPECT_EQ(picker->recelentArray().size(), 10u);
        EXPECT_TRUE(picker->isLoad());
        EXPECT_EQ(bannerText(), "请求失败,请稍后再试");
    }
}

TEST_F(ForwardPickerTest, ARowsKindDecidesTheChatItOpens) {
    struct Case {
        const char* what;
        Json row;
        std::string type, uid, forumid, fieldid;
    };
    const Case cases[] = {
        {"recent person without uid", {{"id", 7}, {"type", "person"}, {"userId", 2002}, {"name", "张华"}},
         "person", "2002", "", ""},
        {"recent group", {{"id", 8}, {"type", "forum"}, {"forumId", "41"}, {"fieldId", "2"}, {"name", "三年级二班"}},
         "forum", "", "41", "2"},
        {"group found by search", {{"id", 31}, {"name", "读书小组"}, {"fieldId", 3}}, "forum", "", "31", "3"},
        {"contact found by search", {{"userId", 1002}, {"name", "王芳"}, {"whereFrom", "我的好友"}},
         "person", "1002", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        open(Json::array({c.row}));
        auto chat = choose(0);
        ASSERT_TRUE(chat);
        EXPECT_EQ(chat->msgType(), c.type);
        EXPECT_EQ(chat->title(), platform::textOf(c.row, "name"));
        if (c.type == "person") {
            EXPECT_EQ(platform::textOf(chat->myDict(), "uid"), c.uid);
            EXPECT_FALSE(chat->forumid());
        } else {
            EXPECT_EQ(chat->forumid(), c.forumid);
            EXPECT_EQ(chat->fieldid(), c.fieldid);
        }
        // The chat sent the forwarded text as it loaded.
        ASSERT_FALSE(chat->dataArray().empty());
        EXPECT_EQ(platform::textOf(chat->dataArray().back(), "msg"), "转给你看");
        // The picker stays below it.
        EXPECT_EQ(navigation->viewControllers()[0], picker);
    }
}

TEST_F(ForwardPickerTest, CancelInTheConfirmationLeavesThePickerAsItWas) {
    open(recentRows(1, 2));
    picker->didSelectRowAtIndexPath(*picker->mytableView(), {0, 1});
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "用户2");
    alert->clickButtonAtIndex(0);
    driver->settle();
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(platform::textOf(picker->selectDict(), "name"), "用户2");
}

TEST_F(ForwardPickerTest, ASearchListsContactsThenGroupsWhoseNamesHoldTheText) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", contactsReply()));
    ASSERT_TRUE(platform::writeFileAtomically(MVTGroupListViewController::cachePath("1001"), groupsCache().dump()));
    open(recentRows(1, 3));
    search("王");
    ASSERT_TRUE(waitFor([&] { return picker->searchArray().size() == 2; }));
    EXPECT_EQ(platform::textOf(picker->searchArray()[0], "name"), "王芳");
    EXPECT_EQ(platform::textOf(picker->searchArray()[1], "name"), "王老师的读书小组");
    EXPECT_EQ(picker->mytableView()->numberOfRowsInSection(0), 2);
    // A contact shows where it comes from.
    auto cell = picker->mytableView()->cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(cell);
    EXPECT_TRUE(driver->byTextContaining("来自:"));
    EXPECT_FALSE(platform::AlertView::topAlert());

    // Nothing found: the earlier results stay and one alert shows, however often.
    search("没有这个人");
    ASSERT_TRUE(waitFor([&] { return platform::AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(platform::AlertView::topAlert()->message(), "没有找到该联系人");
    search("也没有");
    driver->settle();
    EXPECT_EQ(platform::AlertView::visibleAlerts().size(), 1u);
    EXPECT_EQ(picker->searchArray().size(), 2u);

    picker->cancelSearch();
    EXPECT_FALSE(picker->isSearching());
    EXPECT_TRUE(picker->searchArray().empty());
    EXPECT_EQ(picker->mytableView()->tableHeaderView(), picker->headerView());
    EXPECT_EQ(picker->searchBar()->text(), "");
}

TEST_F(ForwardPickerTest, ASearchEndsWhenNeitherSourceCanLoad) {
    // No cache files and no network: both lists report an empty result and the picker says
    // it found nobody instead of waiting for ever.
    open(recentRows(1, 3));
    platform::Reachability::setOverride(platform::ReachabilityState::offline());
    search("王");
    ASSERT_TRUE(waitFor([&] { return platform::AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(platform::AlertView::topAlert()->message(), "没有找到该联系人");
    EXPECT_TRUE(picker->searchArray().empty());
    EXPECT_EQ(picker->mytableView()->numberOfRowsInSection(0), 0);
}

}  // namespace
