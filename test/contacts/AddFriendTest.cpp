// The add-friend search: what is sent, which rows are listed and what each offers, the
// verification text's limit, the application's outcomes and the status change told by a
// profile page.

#include "ContactsFixture.h"

#include "chat/MVTChatViewController.h"
#include "contacts/MVTSearchFriendViewController.h"
#include "me/MVTPersonDetailViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TextField.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

const char* const kSearchPath = "/services/norvo/1001/search/users";

const Json kFound = Json::array({
    {{"uid", 2301}, {"name", "张小明"}, {"role", "student"}, {"className", "三年级一班"}, {"friend_status", nullptr}},
    {{"uid", 3201}, {"name", "张三妈妈"}, {"role", "parent"}, {"friend_status", nullptr}},
    {{"uid", 2201}, {"name", "张三"}, {"role", "student"}, {"friend_status", true}},
    {{"uid", 9002}, {"name", "张老师"}, {"role", "teacher"}},
    {{"uid", "1001"}, {"name", "王老师"}, {"role", "teacher"}, {"friend_status", nullptr}},
});

class AddFriendTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
    }
    std::shared_ptr<MVTSearchFriendViewController> open() {
        screen = std::make_shared<MVTSearchFriendViewController>();
        screen->setWhereFrom("addressList");
        showRoot(screen);
        return screen;
    }
    void search(const std::string& text, const Json& found = kFound) {
        service().setReply("POST", kSearchPath, Reply::json(found));
        screen->searchFiled()->setText(text);
        const std::size_t before = service().requestCount();
        screen->searchFriend();
        ASSERT_TRUE(waitFor([&] { return service().requestCount() > before && screen->mytableview() != nullptr; }));
        ASSERT_TRUE(waitFor([&] { return !(screen->HUD() && screen->HUD()->isShowing()); }));
    }
    // The texts of the labels and buttons at the right of row `row`.
    std::vector<std::string> rightSide(int row) {
        auto cell = screen->mytableview()->cellForRowAtIndexPath({0, row});
        std::vector<std::string> texts;
        for (const auto& sub : cell->contentView()->subviews()) {
            if (sub->frame().x() < 200) continue;
            if (auto button = std::dynamic_pointer_cast<platform::Button>(sub)) texts.push_back(button->titleForState(0));
            else if (auto label = std::dynamic_pointer_cast<platform::Label>(sub)) texts.push_back(label->text());
        }
        return texts;
    }
    void tapAdd(int row) {
        auto button = std::make_shared<platform::Button>();
        button->setTag(row);
        screen->addFriend(*button);
    }
    // Types `text` into the shown prompt and taps "确定".
    void confirmPrompt(const std::string& text) {
        auto prompt = platform::AlertView::topAlert();
        ASSERT_TRUE(prompt);
        ASSERT_EQ(prompt->tag(), MVTSearchFriendViewController::kVerifyAlertTag);
        prompt->textFieldAtIndex(0)->setText(text);
        prompt->clickButtonAtIndex(1);
    }
    std::shared_ptr<MVTSearchFriendViewController> screen;
};

TEST_F(AddFriendTest, TheTextIsSentTrimmedAndAnEmptyFieldIsRefused) {
    open();
    search("  张  ");
    auto sent = service().lastRequest(kSearchPath);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->formValue("search"), "张");
    search("   ");
    EXPECT_EQ(service().lastRequest(kSearchPath)->formValue("search"), "");

    platform::AlertView::clearVisible();
    const std::size_t before = service().requestCount();
    screen->searchFiled()->setText("");
    screen->searchFriend();
    ASSERT_TRUE(platform::AlertView::topAlert());
    EXPECT_EQ(platform::AlertView::topAlert()->message(), "输入内容不能为空");
    EXPECT_EQ(service().requestCount(), before);
    EXPECT_FALSE(screen->HUD() && screen->HUD()->isShowing());
}

TEST_F(AddFriendTest, ParentsAreDroppedAndEachRowOffersWhatItsStatusAllows) {
    open();
    search("张");
    const Json& rows = screen->searchedFriendArray();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0]["name"], "张小明");
    EXPECT_EQ(rows[1]["name"], "张三");
    EXPECT_EQ(rightSide(0), std::vector<std::string>{"加为好友"});
    EXPECT_EQ(rightSide(1), std::vector<std::string>{"发送消息"});
    // No status at all: an application waits.
    EXPECT_EQ(rightSide(2), std::vector<std::string>{"等待验证"});
    // The user's own row offers nothing.
    EXPECT_TRUE(rightSide(3).empty());
}

TEST_F(AddFriendTest, NoHitsOrOnlyParents) {
    open();
    search("无", Json::array());
    EXPECT_TRUE(screen->searchedFriendArray().empty());
    ASSERT_TRUE(platform::AlertView::topAlert());
    EXPECT_EQ(platform::AlertView::topAlert()->message(), "查无此人，请确定您的输入正确");
    platform::AlertView::clearVisible();
    search("妈妈", Json::array({kFound[1]}));
    EXPECT_TRUE(screen->searchedFriendArray().empty());
    EXPECT_FALSE(platform::AlertView::topAlert());
}

TEST_F(AddFriendTest, MisshapenSearchRepliesListNobodyAndEndTheWait) {
    open();
    struct Case {
        const char* name;
        Reply reply;
        bool noHitAlert;
    };
    for (const Case& c : {Case{"object", Reply::json({{"uid", 2301}, {"name", "张小明"}}), true},
                          Case{"text", Reply::json("张小明"), true},
                          Case{"not json", Reply::text("<html>", "text/html"), false},
                          Case{"refused", Reply::text("busy", "text/plain", 503), false}}) {
        platform::AlertView::clearVisible();
        service().setReply("POST", kSearchPath, c.reply);
        screen->searchFiled()->setText("张");
        const std::size_t before = service().requestCount();
        screen->searchFriend();
        ASSERT_TRUE(waitFor([&] {
            return service().requestCount() > before && !(screen->HUD() && screen->HUD()->isShowing());
        })) << c.name;
        driver->pump();
        EXPECT_TRUE(screen->searchedFriendArray().empty()) << c.name;
        EXPECT_EQ(platform::AlertView::topAlert() != nullptr, c.noHitAlert) << c.name;
    }
}

TEST_F(AddFriendTest, TheVerificationTextTakesTwentyCharactersAndKeepsALongerOne) {
    open();
    search("张");
    service().setReply("POST", "/services/norvo/1001/friend/2301/apply", Reply::json({{"success", true}}));
    const std::string twenty = "我是三年级一班的王老师想加你为好友谢谢啦";  // 20 characters
    tapAdd(0);
    confirmPrompt(twenty + "!");
    auto again = platform::AlertView::topAlert();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->message(), "你所添加的申请信息超出20字符限定,请删除多余的字符");
    EXPECT_EQ(again->textFieldAtIndex(0)->text(), twenty + "!");
    EXPECT_TRUE(requestsTo("1001/friend/2301/apply").empty());

    confirmPrompt(twenty);
    ASSERT_TRUE(waitFor([&] { return rightSide(0) == std::vector<std::string>{"等待验证"}; }));
    auto sent = requestsTo("1001/friend/2301/apply");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].formValue("script"), twenty);
    EXPECT_EQ(screen->searchedFriendArray()[0]["friend_status"], false);
}

TEST_F(AddFriendTest, AFailedApplicationKeepsTheButton) {
    open();
    search("张");
    struct Case {
        const char* name;
        Reply reply;
    };
    for (const Case& c : {Case{"refused", Reply::json({{"success", false}})},
                          Case{"transport", Reply::text("busy", "text/plain", 503)}}) {
        service().setReply("POST", "/services/norvo/1001/friend/2301/apply", c.reply);
        platform::AlertView::clearVisible();
        tapAdd(0);
        confirmPrompt("");
        ASSERT_TRUE(waitFor([&] {
            auto alert = platform::AlertView::topAlert();
            return alert && alert->message() == "请求添加好友失败";
        })) << c.name;
        EXPECT_EQ(rightSide(0), std::vector<std::string>{"加为好友"}) << c.name;
    }
    setOffline();
    platform::AlertView::clearVisible();
    tapAdd(0);
    confirmPrompt("");
    EXPECT_EQ(bannerText(), "没有网络,请检查网络连接");
    EXPECT_EQ(rightSide(0), std::vector<std::string>{"加为好友"});
}

TEST_F(AddFriendTest, AnApplicationFromTheProfileMarksItsRowWaiting) {
    open();
    search("张");
    auto avatar = std::make_shared<platform::Button>();
    avatar->setTag(0);
    screen->chooseNamed(*avatar);
    auto page = std::dynamic_pointer_cast<MVTPersonDetailViewController>(navigation->topViewController());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->fromWhere(), "searchFriend");
    // Only the person's own uid marks a row, and only the first notification counts.
    platform::NotificationCenter::defaultCenter().postNotification(
        MVTPersonDetailViewController::kChageFriendStatusNotification, Json("2301"));
    platform::NotificationCenter::defaultCenter().postNotification(
        MVTPersonDetailViewController::kChageFriendStatusNotification, Json(2201));
    EXPECT_EQ(screen->searchedFriendArray()[0]["friend_status"], false);
    EXPECT_EQ(screen->searchedFriendArray()[1]["friend_status"], true);
}

TEST_F(AddFriendTest, SendingAMessageNeedsAClass) {
    open();
    search("张");
    auto send = std::make_shared<platform::Button>();
    send->setTag(1);
    screen->sendMessage(*send);
    auto shown = std::dynamic_pointer_cast<platform::NavigationController>(navigation->presentedViewController());
    ASSERT_TRUE(shown);
    auto chat = std::dynamic_pointer_cast<MVTChatViewController>(shown->topViewController());
    ASSERT_TRUE(chat);
    EXPECT_EQ(chat->myDict(), (Json{{"name", "张三"}, {"uid", 2201}}));
    navigation->dismissViewController(false);
    driver->pump();

    signIn("3001", "parent", "");
    platform::AlertView::clearVisible();
    screen->sendMessage(*send);
    ASSERT_TRUE(platform::AlertView::topAlert());
    EXPECT_EQ(platform::AlertView::topAlert()->message(), "您的孩子没有加入班级，请让孩子加入班级");
    platform::AlertView::topAlert()->clickButtonAtIndex(0);
    EXPECT_FALSE(navigation->presentedViewController());
}

}  // namespace

namespace {

TEST_F(AddFriendTest, BackLeavesTheWayTheScreenCame) {
    // Opened from a contact screen: the root of a presented stack, which back dismisses.
    auto opener = std::make_shared<platform::ViewController>();
    showRoot(opener);
    auto search = std::make_shared<MVTSearchFriendViewController>();
    search->setWhereFrom("addressList");
    opener->presentViewController(myNavigationController::withRoot(search), false);
    driver->pump();
    search->goback();
    advance(1);
    ASSERT_TRUE(waitFor([&] { return navigation->presentedViewController() == nullptr; }));

    // Pushed by the friend requests: back pops it.
    auto pushed = std::make_shared<MVTSearchFriendViewController>();
    pushed->setWhereFrom("newFriend");
    navigation->pushViewController(pushed, false);
    driver->pump();
    pushed->goback();
    advance(1);
    ASSERT_TRUE(waitFor([&] { return navigation->topViewController() == opener; }));
}

}  // namespace
