// The friend requests: the flag and the post of every load, the empty label, answers
// that count only as the exact text "true", the accepted friend in the contacts cache and
// the one refresh of the list that opened the screen.

#include "ContactsFixture.h"

#include "contacts/MVTNewFriendViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

const Json kApplications = Json::array(
    {{{"friend_id", 71}, {"uid", 2001}, {"name", "李明"}, {"role", "student"}, {"post_script", "我是李明"}},
     {{"friend_id", 72}, {"uid", 3002}, {"name", "王芳家长"}, {"role", "parent"}, {"post_script", nullptr}}});

const Json kCache = {{"friend", Json::array({{{"name", "赵老师"}, {"role", "teacher"}, {"userId", 1002}}})},
                     {"teacher", Json::array()}};

struct Refreshes : addNewFriendDelegate {
    int count = 0;
    void refreshData() override { ++count; }
};

class FriendRequestsTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
        MVTAccount::sharedInstance().setNewApply(true);
    }
    std::shared_ptr<MVTNewFriendViewController> open(const Json& applications) {
        service().setReply("GET", "/services/norvo/friend/1001/apply/list", Reply::json(applications));
        screen = std::make_shared<MVTNewFriendViewController>();
        screen->setDelegate(refreshes);
        showRoot(screen);
        EXPECT_TRUE(waitFor([&] { return screen->mytableview() != nullptr; }));
        return screen;
    }
    std::shared_ptr<platform::Button> rowButton(int row) {
        auto button = std::make_shared<platform::Button>();
        button->setTag(row);
        return button;
    }
    void answerWith(const std::string& body) {
        service().setReply("GET", "/services/norvo/friend/1001/apply/deel", Reply::text(body));
    }
    std::shared_ptr<MVTNewFriendViewController> screen;
    std::shared_ptr<Refreshes> refreshes = std::make_shared<Refreshes>();
};

TEST_F(FriendRequestsTest, EveryLoadClearsTheFlagAndAnEmptyListSaysSo) {
    auto marks = count(MVTNewFriendViewController::kMarkUpside);
    open(Json::array());
    EXPECT_FALSE(MVTAccount::sharedInstance().newApply());
    EXPECT_EQ(marks->count, 1);
    ASSERT_TRUE(screen->warringLabel());
    EXPECT_EQ(screen->warringLabel()->text(), "暂无好友请求");
    EXPECT_TRUE(screen->warringLabel()->superview());
}

TEST_F(FriendRequestsTest, AcceptingAppendsTheFriendAndClosingRefreshesTheListOnce) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", kCache));
    open(kApplications);
    answerWith("true");
    auto agree = rowButton(0);
    screen->addFriend(*agree);
    ASSERT_TRUE(waitFor([&] { return screen->myApplyArray().size() == 1; }));
    ASSERT_TRUE(screen->resultLabel());
    EXPECT_EQ(screen->resultLabel()->text(), "添加好友成功");
    auto sent = requestsTo("friend/1001/apply/deel");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].queryValue("ids"), "71");
    EXPECT_EQ(sent[0].queryValue("agree"), "true");
    const Json friends = ContactsCacheStore::readObject("1001").value_or(Json())["friend"];
    ASSERT_EQ(friends.size(), 2u);
    EXPECT_EQ(friends[1], (Json{{"name", "李明"}, {"role", "student"}, {"userId", 2001}}));
    EXPECT_FALSE(screen->HUD() && screen->HUD()->isShowing());

    screen->goback();
    EXPECT_EQ(refreshes->count, 1);
}

TEST_F(FriendRequestsTest, IgnoringLeavesTheCacheAndNeedsNoRefresh) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", kCache));
    open(kApplications);
    answerWith("true");
    auto ignore = rowButton(1);
    screen->passThisOne(*ignore);
    ASSERT_TRUE(waitFor([&] { return screen->myApplyArray().size() == 1; }));
    EXPECT_EQ(screen->resultLabel()->text(), "忽略好友请求成功");
    EXPECT_EQ(requestsTo("friend/1001/apply/deel").at(0).queryValue("agree"), "false");
    EXPECT_EQ(ContactsCacheStore::readObject("1001"), kCache);
    screen->goback();
    EXPECT_EQ(refreshes->count, 0);
}

TEST_F(FriendRequestsTest, OnlyTheExactTextTrueIsAnAcceptance) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", kCache));
    open(kApplications);
    for (const std::string& body : {std::string("true\n"), std::string("TRUE"), std::string("{\"success\":true}"),
                                    std::string("false")}) {
        answerWith(body);
        const std::size_t before = requestsTo("friend/1001/apply/deel").size();
        auto agree = rowButton(0);
        screen->addFriend(*agree);
        ASSERT_TRUE(waitFor([&] {
            return requestsTo("friend/1001/apply/deel").size() > before && screen->resultLabel() &&
                   screen->resultLabel()->text() == "添加好友失败" && !(screen->HUD() && screen->HUD()->isShowing());
        })) << body;
        EXPECT_EQ(screen->myApplyArray().size(), 2u) << body;
        EXPECT_EQ(ContactsCacheStore::readObject("1001"), kCache) << body;
    }
}

TEST_F(FriendRequestsTest, OfflineWhileAnsweringHidesTheOverlay) {
    open(kApplications);
    setOffline();
    auto agree = rowButton(0);
    screen->addFriend(*agree);
    driver->pump();
    EXPECT_FALSE(screen->HUD() && screen->HUD()->isShowing());
    EXPECT_EQ(bannerText(), "没有网络,请检查网络连接");
    EXPECT_TRUE(requestsTo("friend/1001/apply/deel").empty());
    EXPECT_EQ(screen->myApplyArray().size(), 2u);
}

}  // namespace
