// The profile page: its buttons by relationship and opener, the removal with its
// notifications and the contacts cache, the feed row, and the honor wall and privacy
// screens it leads to.

#include "SpaceFixture.h"

#include "me/MVTHonorWallViewController.h"
#include "me/MVTPathView.h"
#include "me/MVTPrivacySettingViewController.h"

#include "chat/MVTChatViewController.h"
#include "contacts/ContactsCacheStore.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;
using testing_support::SpaceTest;

namespace {

class ProfileTest : public SpaceTest {
protected:
    // The title of the right bar button, or "" when there is none.
    static std::string rightTitle(MVTPersonDetailViewController& page) {
        auto item = page.navigationItem().rightBarButtonItem();
        if (!item) return "";
        // The bar's text buttons carry their title in a label.
        for (const auto& sub : item->customView()->subviews())
            if (auto label = std::dynamic_pointer_cast<Label>(sub)) return label->text();
        return "?";
    }
    static std::string footerTitle(MVTPersonDetailViewController& page) {
        auto button = page.footerButton();
        return button ? button->titleForState(ControlStateNormal) : std::string();
    }
    void answerInfo(const std::string& owner, Json friendStatus, const std::string& role) {
        service().route("GET", "services/norvo/user/%@/space/" + owner + "/info",
                        [owner, friendStatus, role](const RecordedRequest&) {
                            Json reply = {{"success", 1}, {"id", owner}, {"name", "某人"}, {"role", role},
                                          {"classNames", "三年级一班"}, {"feed", "最近的动态"}};
                            if (!friendStatus.is_discarded()) reply["friendStatus"] = friendStatus;
                            return Reply::json(reply);
                        });
    }
};

TEST_F(ProfileTest, ButtonsFollowTheOpenerAndTheRelationship) {
    const Json absent = Json(Json::value_t::discarded);
    struct Case {
        const char* signedIn;
        const char* shown;
        const char* role;
        const char* from;
        Json status;
        const char* footer;
        const char* right;
    } cases[] = {
        {"1001", "2001", "student", "linkMan", absent, "发消息", "添加好友"},
        {"1001", "2001", "student", "linkMan", 0, "发消息", ""},
        {"1001", "2001", "student", "linkMan", 5, "发消息", "更多"},
        {"3001", "2001", "student", "linkMan", absent, "发消息", ""},
        {"2001", "1001", "teacher", "", nullptr, "添加好友", ""},
        {"2001", "1001", "teacher", "", "", "添加好友", ""},
        {"2001", "1001", "teacher", "", 0, "等待验证", ""},
        {"2001", "1001", "teacher", "", 1, "发消息", "更多"},
        {"2001", "3001", "parent", "searchFriend", absent, "", ""},
        {"2001", "2001", "student", "linkMan", 1, "", ""},
    };
    for (const auto& c : cases) {
        signIn(c.signedIn);
        answerInfo(c.shown, c.status, c.role);
        auto page = openProfile(c.shown, c.from);
        EXPECT_EQ(footerTitle(*page), c.footer) << c.signedIn << "→" << c.shown << " " << c.from << " " << c.status.dump();
        EXPECT_EQ(rightTitle(*page), c.right) << c.signedIn << "→" << c.shown << " " << c.from << " " << c.status.dump();
    }
}

TEST_F(ProfileTest, ApplicationFromTheFriendSearchMarksTheResultWaiting) {
    signIn("2001");
    answerInfo("1001", nullptr, "teacher");
    service().setReply("POST", "services/norvo/2001/friend/1001/apply", Reply::json({{"success", 1}}));
    std::vector<std::string> marked;
    auto token = NotificationCenter::defaultCenter().addObserver(
        MVTPersonDetailViewController::kChageFriendStatusNotification,
        [&](const Notification& n) { marked.push_back(textOf(n.object)); });
    auto page = openProfile("1001", "searchFriend");
    page->addFriend();
    auto alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    alert->clickButtonAtIndex(1);
    ASSERT_TRUE(pumpUntil([&] { return countTo("2001/friend/1001/apply") == 1 && !hudShowing(page->view()); }));
    driver->pump();
    EXPECT_EQ(marked, std::vector<std::string>{"1001"});
    EXPECT_EQ(footerTitle(*page), "等待验证");
}

TEST_F(ProfileTest, SendingAMessageOpensTheChatWithThePerson) {
    signIn("2001");
    answerInfo("1001", 5, "teacher");
    auto page = openProfile("1001", "linkMan");
    page->sendMessage();
    driver->pump();
    auto navigation = std::dynamic_pointer_cast<NavigationController>(page->presentedViewController());
    ASSERT_TRUE(navigation);
    auto chat = std::dynamic_pointer_cast<MVTChatViewController>(navigation->viewControllers().front());
    ASSERT_TRUE(chat);
    EXPECT_EQ(textOf(chat->myDict(), "uid"), textOf(page->userDict(), "uid"));
    EXPECT_EQ(chat->msgType(), "person");
    EXPECT_EQ(chat->title(), textOf(page->userDict(), "name"));
    EXPECT_EQ(navigation->modalTransitionStyle(), ModalTransitionStyle::CrossDissolve);
}

TEST_F(ProfileTest, RemovalPostsBothNotificationsAndDropsOnlyAnEqualCacheEntry) {
    signIn("2001");
    ASSERT_TRUE(ContactsCacheStore::writeObject(
        "2001", {{"friend", {{{"name", "王老师"}, {"role", "teacher"}, {"userId", "1001"}},
                             {{"name", "王老师"}, {"role", "teacher"}, {"userId", 1001}},
                             {{"name", "赵小红"}, {"role", "student"}, {"userId", "2003"}}}},
                 {"class", Json::array()}}));
    std::vector<std::string> heard;
    auto first = NotificationCenter::defaultCenter().addObserver(
        MVTPersonDetailViewController::kNativeReceiversChangedNotification,
        [&](const Notification& n) { heard.push_back("contacts " + n.object.dump()); });
    auto second = NotificationCenter::defaultCenter().addObserver(
        MVTPersonDetailViewController::kNativeReceiversChangedHdNotification,
        [&](const Notification& n) { heard.push_back("messages " + n.object.dump()); });
    auto page = openProfile("1001", "");
    ASSERT_EQ(rightTitle(*page), "更多");
    page->moreAction();
    auto sheet = ActionSheet::topSheet();
    ASSERT_TRUE(sheet);
    sheet->clickButtonAtIndex(sheet->firstOtherButtonIndex());
    auto alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), 205);
    alert->clickButtonAtIndex(1);
    ASSERT_TRUE(pumpUntil([&] { return heard.size() == 2; }));
    const std::string entry = R"({"name":"王老师","role":"teacher","userId":"1001"})";
    EXPECT_EQ(heard, (std::vector<std::string>{"contacts " + entry, "messages " + entry}));
    EXPECT_EQ(footerTitle(*page), "添加好友");
    EXPECT_EQ(rightTitle(*page), "");
    ASSERT_TRUE(pumpUntil([&] { return ContactsCacheStore::readObject("2001")->at("friend").size() == 2; }));
    const Json left = ContactsCacheStore::readObject("2001").value();
    EXPECT_EQ(left["friend"][0]["userId"], 1001) << "a number never equals a text";
    EXPECT_TRUE(left.contains("class"));
}

TEST_F(ProfileTest, FeedRowOpensTheSpaceOrPopsBackAndIsShutByFeedError) {
    signIn("2001");
    auto page = openProfile("1001", "linkMan");
    ASSERT_EQ(page->tableView()->numberOfRowsInSection(0), 3);
    EXPECT_DOUBLE_EQ(page->heightForRowAtIndexPath(*page->tableView(), {0, 1}), 0) << "the honor wall entry";
    page->didSelectRowAtIndexPath(*page->tableView(), {0, 2});
    driver->pump();
    auto space = std::dynamic_pointer_cast<MVTTimeSpaceViewController>(navigation->topViewController());
    ASSERT_TRUE(space);
    EXPECT_EQ(space->userDict()["id"], "1001");
    EXPECT_EQ(space->view()->accessibilityHint(), "personalDetail");
    ASSERT_TRUE(pumpUntil([&] { return !space->isLoading(); }));
    // From that space the avatar pops back to this profile instead of stacking another.
    space->goToPersonDetail();
    driver->pump();
    EXPECT_EQ(navigation->topViewController(), page);

    signIn("1001");
    auto parentPage = openProfile("3001", "linkMan");
    const std::size_t depth = navigation->viewControllers().size();
    auto cell = parentPage->cellForRowAtIndexPath(*parentPage->tableView(), {0, 1});
    EXPECT_TRUE(parentPage->feedError());
    bool saysNoAccess = false;
    for (const auto& sub : cell->contentView()->subviews()) saysNoAccess |= sub->displayedText() == "无访问权限";
    EXPECT_TRUE(saysNoAccess);
    parentPage->didSelectRowAtIndexPath(*parentPage->tableView(), {0, 1});
    driver->pump();
    EXPECT_EQ(navigation->viewControllers().size(), depth);
}

TEST_F(ProfileTest, HonorWallCountsRowsAndOpensDescriptions) {
    signIn("2001");
    auto wall = std::make_shared<MVTHonorWallViewController>();
    wall->setUserDict({{"id", ""}, {"uid", "1001"}});
    auto root = std::make_shared<ViewViewController>();
    navigation = myNavigationController::withRoot(root);
    driver->show(navigation);
    navigation->pushViewController(wall, false);
    ASSERT_TRUE(pumpUntil([&] { return wall->getHonorArray().size() == 5; }));
    EXPECT_EQ(countTo("user/2001/space/1001/decoration"), 1u) << "an empty id falls back to the uid";
    EXPECT_EQ(wall->getHonorCount(), 2);
    EXPECT_EQ(wall->notGetHonorCount(), 1);
    auto& table = *wall->myTable();
    EXPECT_DOUBLE_EQ(wall->heightForHeaderInSection(table, 0), 130);
    EXPECT_DOUBLE_EQ(wall->heightForHeaderInSection(table, 1), 100);
    EXPECT_DOUBLE_EQ(wall->heightForHeaderInSection(table, 2), 30) << "nothing missing: a bare 未获得 title";
    wall->honorImageClick(1, 0);
    EXPECT_EQ(wall->descriptionSting(), "一学期没有缺勤");
    EXPECT_EQ(wall->numberOfRowsInSection(table, 1), 1);
    wall->honorImageClick(1, 0);
    EXPECT_EQ(wall->selectedCell(), -1);
    EXPECT_EQ(wall->numberOfRowsInSection(table, 1), 0);
}

TEST_F(ProfileTest, PrivacySavesTheCodeAndAStudentsMessagePrivacyIsAlways3) {
    for (const char* who : {"1001", "2001"}) {
        signIn(who);
        const std::string me = who;
        service().setReply("GET", "services/norvo/user/" + me + "/privacy",
                           Reply::json({{"spacePrivacy", 2}, {"messagePrivacy", 1}}));
        auto privacy = std::make_shared<MVTPrivacySettingViewController>();
        navigation = myNavigationController::withRoot(privacy);
        driver->show(navigation);
        ASSERT_TRUE(pumpUntil([&] { return privacy->myDict().has_value() && !hudShowing(privacy->view()); }));
        EXPECT_EQ(privacy->tickedRow(), 1);
        privacy->didSelectRowAtIndexPath(*privacy->myTable(), {0, 1});
        driver->pump();
        EXPECT_EQ(countTo("user/" + me + "/privacy/update"), 0u) << "the ticked row sends nothing";
        privacy->didSelectRowAtIndexPath(*privacy->myTable(), {0, 3});
        ASSERT_TRUE(pumpUntil([&] { return privacy->tickedRow() == 3; }));
        const auto save = requestsTo("user/" + me + "/privacy/update").back();
        EXPECT_EQ(save.formValue("spacePrivacy"), "0");
        EXPECT_EQ(save.formValue("messagePrivacy"), me == "2001" ? "3" : "1") << me;
    }
    // A refusal without a message says the privacy could not be had; the tick stays.
    service().setReply("POST", "services/norvo/user/2001/privacy/update", Reply::json({{"success", false}}));
    auto privacy = std::make_shared<MVTPrivacySettingViewController>();
    navigation = myNavigationController::withRoot(privacy);
    driver->show(navigation);
    ASSERT_TRUE(pumpUntil([&] { return privacy->myDict().has_value(); }));
    privacy->didSelectRowAtIndexPath(*privacy->myTable(), {0, 0});
    ASSERT_TRUE(pumpUntil([&] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->message(), "隐私权限获取失败");
    EXPECT_EQ(privacy->tickedRow(), 1);
}

}  // namespace
