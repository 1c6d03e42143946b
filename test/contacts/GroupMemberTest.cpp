// The member list and the administrator removal screen: the two reply shapes, marks by
// rank and mode, the operate queries, replies and reloads, and bad replies.

#include "ContactsFixture.h"

#include "contacts/MVTDeleteGroupManagerViewController.h"
#include "contacts/MVTGroupDetailViewController.h"
#include "contacts/MVTGroupMemberViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "me/MVTPersonDetailViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TableViewCell.h"

using Json = nlohmann::json;
using platform::IndexPath;
using sample_service::Reply;

namespace {

const Json kUserGroup{{"creater", {{"uid", 1001}, {"name", "王老师"}, {"role", "teacher"}}},
                      {"admin", Json::array({{{"uid", 2001}, {"name", "李明"}, {"role", "student"}}})},
                      {"ordinary", Json::array({{{"uid", 2003}, {"name", "陈小雨"}, {"role", "student"}},
                                                {{"uid", 3001}, {"name", "李明家长"}, {"role", "parent"}}})}};

constexpr const char* kMembersPath = "/services/norvo/forum/601/3/member";
constexpr const char* kOperatePath = "forum/601/user/1001/member/operate";

class GroupMemberTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
    }
    std::shared_ptr<MVTGroupMemberViewController> open(const std::string& role, bool userGroup = true,
                                                       const std::string& field = "3") {
        list = std::make_shared<MVTGroupMemberViewController>();
        list->setForumId("601");
        list->setFieldId(field);
        list->setGroupName("读书兴趣小组");
        list->setUserRole(role);
        list->setGroupId("601");
        list->setIsSupportToCommand(!role.empty());
        list->setIsUserGroup(userGroup);
        showRoot(list);
        EXPECT_TRUE(waitFor([&] { return list->mytableview() != nullptr; }));
        return list;
    }
    std::vector<std::string> headers() {
        std::vector<std::string> texts;
        for (const auto& key : list->titleArray()) texts.push_back(list->headerText(key.get<std::string>()));
        return texts;
    }
    void tapRow(int section, int row) { list->didSelectRowAtIndexPath(*list->mytableview(), IndexPath{section, row}); }
    // The mark picture of a row, "" without a mark.
    std::string markOf(int section, int row) {
        auto cell = list->cellForRowAtIndexPath(*list->mytableview(), IndexPath{section, row});
        auto mark = cell->contentView()->viewWithTag(MVTGroupMemberViewController::kMarkTag);
        return mark ? mark->accessibilityValue() : "";
    }
    void chooseInMenu(long index) {
        list->commandMember();
        ASSERT_TRUE(driver->sheet());
        driver->pressSheetButton(index);
        driver->pump();
    }
    std::vector<std::string> operateQueries() {
        std::vector<std::string> queries;
        for (const auto& request : requestsTo(kOperatePath)) queries.push_back(request.rawQuery);
        return queries;
    }
    std::shared_ptr<MVTGroupMemberViewController> list;
};

TEST_F(GroupMemberTest, SectionsFollowTheReplyShape) {
    struct Case {
        bool userGroup;
        Json reply;
        std::vector<std::string> headers;
        std::vector<std::size_t> rows;
    };
    const Case cases[] = {
        {true, kUserGroup, {"  群主", "  群管理员", "  群成员"}, {1, 1, 2}},
        {true, {{"creater", kUserGroup["creater"]}, {"admin", Json::array()}, {"ordinary", Json::array()}}, {"  群主"}, {1}},
        {false,
         {{"teacher", Json::array({kUserGroup["creater"]})}, {"student", Json::array()}, {"parent", kUserGroup["ordinary"]}},
         {"  老师", "  学生", "  家长"},
         {1, 0, 2}},
        {false, {{"parent", Json::array({{{"uid", 3001}, {"name", "李明家长"}}, "no entry", 7})}}, {"  家长"}, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.dump());
        service().setReply("GET", c.userGroup ? kMembersPath : "/services/norvo/forum/601/1/member", Reply::json(c.reply));
        open("", c.userGroup, c.userGroup ? "3" : "1");
        EXPECT_EQ(headers(), c.headers);
        for (std::size_t s = 0; s < c.rows.size(); ++s)
            EXPECT_EQ(list->numberOfRowsInSection(*list->mytableview(), static_cast<int>(s)), static_cast<int>(c.rows[s]));
    }
    // Outside user groups each member's role becomes its section's key.
    EXPECT_EQ(list->sectionArray("parent")[0]["role"], "parent");
}

TEST_F(GroupMemberTest, MarksShowByModeAndRankButEveryRowSelects) {
    service().setReply("GET", kMembersPath, Reply::json(kUserGroup));
    open("admin");
    EXPECT_EQ(markOf(2, 0), "");
    chooseInMenu(0);
    EXPECT_TRUE(list->isDeleteMember());
    EXPECT_EQ(list->title(), "移除群成员");
    EXPECT_EQ(markOf(0, 0), "");
    EXPECT_EQ(markOf(1, 0), "");
    EXPECT_EQ(markOf(2, 0), "member_normal");
    tapRow(1, 0);  // an administrator: no mark, still chosen
    tapRow(2, 1);
    tapRow(2, 0);
    tapRow(2, 0);  // twice: chosen no more
    EXPECT_EQ(markOf(2, 0), "member_normal");
    EXPECT_EQ(markOf(2, 1), "member_select");
    EXPECT_EQ(list->deleteArray(), (Json::array({{{"name", "李明"}, {"uid", 2001}, {"role", "student"}},
                                                 {{"name", "李明家长"}, {"uid", 3001}, {"role", "parent"}}})));
    service().setReply("GET", "/services/norvo/" + std::string(kOperatePath), Reply::json({{"success", true}}));
    list->deleteMember();
    ASSERT_TRUE(waitFor([&] { return !list->isDeleteMember(); }));
    EXPECT_EQ(operateQueries(), std::vector<std::string>{"cancel=true&admin=false&uids=2001,3001"});
    // The creator's removal marks every row but the creator's.
    open("system");
    chooseInMenu(0);
    EXPECT_EQ(markOf(0, 0), "");
    EXPECT_EQ(markOf(1, 0), "member_normal");
}

TEST_F(GroupMemberTest, ConfirmingWithNothingChosenSendsAnEmptyList) {
    service().setReply("GET", kMembersPath, Reply::json(kUserGroup));
    service().setReply("GET", "/services/norvo/" + std::string(kOperatePath), Reply::json({{"success", true}}));
    open("system");
    chooseInMenu(0);
    list->deleteMember();
    ASSERT_TRUE(waitFor([&] { return !operateQueries().empty(); }));
    EXPECT_EQ(operateQueries()[0], "cancel=true&admin=false&uids=");
}

TEST_F(GroupMemberTest, AddManagerModeSendsOneTapAtOnce) {
    service().setReply("GET", kMembersPath, Reply::json(kUserGroup));
    service().setReply("GET", "/services/norvo/" + std::string(kOperatePath), Reply::json({{"success", true}}));
    open("system");
    chooseInMenu(3);
    EXPECT_TRUE(list->isAddManager());
    EXPECT_EQ(list->title(), "添加管理员");
    EXPECT_EQ(markOf(1, 0), "");
    EXPECT_EQ(markOf(2, 0), "member_normal");
    tapRow(0, 0);  // even the creator's row sends
    ASSERT_TRUE(waitFor([&] { return !list->isAddManager(); }));
    EXPECT_EQ(operateQueries(), std::vector<std::string>{"cancel=false&admin=true&uids=1001"});
}

TEST_F(GroupMemberTest, ASuccessReloadsTheListAndTheProfileBelowAndEndsTheMode) {
    // Against the sample groups: 王老师 removes 陈小雨 from 读书兴趣小组.
    auto navigationRoot = std::make_shared<MVTGroupDetailViewController>();
    navigationRoot->setGroupId("601");
    navigationRoot->setGroupType("3");
    showRoot(navigationRoot);
    ASSERT_TRUE(waitFor([&] { return navigationRoot->userType() == "2" && !navigationRoot->isLoadIng(); }));
    navigationRoot->showMembers();
    driver->settle();
    list = std::dynamic_pointer_cast<MVTGroupMemberViewController>(navigation->topViewController());
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitFor([&] { return list->sectionArray("parent").size() == 1; }));
    service().clearRequests();
    chooseInMenu(0);
    tapRow(2, 0);
    list->deleteMember();
    ASSERT_TRUE(waitFor([&] { return list->sectionArray("parent").empty() && list->titleArray().size() == 2; }));
    EXPECT_FALSE(list->isDeleteMember());
    EXPECT_TRUE(list->deleteArray().empty());
    EXPECT_EQ(list->title(), "读书兴趣小组");
    ASSERT_TRUE(waitFor([&] { return requestsTo("1001/forum/601/3/data").size() == 1 && !navigationRoot->isLoadIng(); }));
    EXPECT_EQ(platform::textOf(navigationRoot->dataDictionary(), "total"), "2");
}

TEST_F(GroupMemberTest, ARefusalOrAFailureKeepsTheMode) {
    service().setReply("GET", kMembersPath, Reply::json(kUserGroup));
    open("system");
    chooseInMenu(0);
    tapRow(2, 0);
    const std::string path = "/services/norvo/" + std::string(kOperatePath);
    service().setReply("GET", path, Reply::json({{"success", false}, {"msg", "不能移除"}}));
    list->deleteMember();
    ASSERT_TRUE(waitFor([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(driver->alert()->title(), "提示");
    EXPECT_EQ(driver->alert()->message(), "不能移除");
    EXPECT_EQ(driver->alert()->buttonTitleAtIndex(0), "确定");
    platform::AlertView::clearVisible();
    for (const Reply& reply : {Reply::text("", "text/plain", 500), Reply::json(Json::array()), Reply::text("true")}) {
        service().clearRequests();
        service().setReply("GET", path, reply);
        list->deleteMember();
        ASSERT_TRUE(waitFor([&] { return !list->HUD(); }));
        ASSERT_EQ(operateQueries().size(), 1u);
        platform::AlertView::clearVisible();
    }
    EXPECT_TRUE(list->isDeleteMember());
    EXPECT_EQ(list->deleteArray().size(), 1u);
}

TEST_F(GroupMemberTest, BadMemberListsChangeNothing) {
    service().setReply("GET", kMembersPath, Reply::json(kUserGroup));
    open("system");
    chooseInMenu(0);
    tapRow(2, 0);
    for (const Reply& reply : {Reply::json(Json::array({1})), Reply::json("text"), Reply::json(Json::object()),
                               Reply::text("{{{", "application/json"), Reply::json({{"admin", "x"}, {"creater", 5}})}) {
        service().setReply("GET", kMembersPath, reply);
        list->netGetData();
        ASSERT_TRUE(waitFor([&] { return !list->HUD(); }));
    }
    // The last one had keys: it is taken, with nothing usable in it.
    EXPECT_TRUE(list->titleArray().empty());
    EXPECT_TRUE(list->isDeleteMember());
    EXPECT_EQ(list->deleteArray().size(), 1u);
}

TEST_F(GroupMemberTest, ARowOutsideTheModesOpensTheProfileWithTheSectionRole) {
    service().setReply("GET", kMembersPath, Reply::json(kUserGroup));
    open("");
    EXPECT_TRUE(navigation->topViewController() == list);
    tapRow(1, 0);
    driver->settle();
    auto page = std::dynamic_pointer_cast<MVTPersonDetailViewController>(navigation->topViewController());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->userDict(), (Json{{"name", "李明"}, {"uid", 2001}, {"role", "student"}}));
    EXPECT_EQ(page->view()->accessibilityValue(), "push");
}

TEST_F(GroupMemberTest, TheMenuOffersByRank) {
    service().setReply("GET", kMembersPath, Reply::json(kUserGroup));
    open("admin");
    list->commandMember();
    ASSERT_TRUE(driver->sheet());
    EXPECT_EQ(driver->sheet()->tag(), MVTGroupMemberViewController::kManagerSheetTag);
    EXPECT_EQ(driver->sheet()->numberOfButtons(), 3);
    EXPECT_EQ(driver->sheet()->buttonTitleAtIndex(2), "取 消");
    driver->pressSheetButton(1);
    driver->settle();
    auto presented = std::dynamic_pointer_cast<platform::NavigationController>(navigation->presentedViewController());
    ASSERT_TRUE(presented);
    auto picker = std::dynamic_pointer_cast<MVTSelectMemberViewController>(presented->topViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->whereFrom(), "groupAdd");
    EXPECT_EQ(picker->memberArray().size(), 4u);
}

TEST_F(GroupMemberTest, CancellingAnAdministratorDropsTheRowAndReloadsTheListBelow) {
    service().setReply("GET", kMembersPath, Reply::json(kUserGroup));
    open("system");
    chooseInMenu(2);
    driver->settle();
    auto removal = std::dynamic_pointer_cast<MVTDeleteGroupManagerViewController>(navigation->topViewController());
    ASSERT_TRUE(removal);
    ASSERT_EQ(removal->managerArray().size(), 1u);
    auto cell = removal->cellForRowAtIndexPath(*removal->mytableview(), IndexPath{0, 0});
    std::shared_ptr<platform::Button> button;
    for (const auto& sub : cell->contentView()->subviews())
        if (auto b = std::dynamic_pointer_cast<platform::Button>(sub)) button = b;
    ASSERT_TRUE(button);
    // "取消" sends nothing.
    removal->deleteGroupManager(*button);
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->title(), "确认取消管理员?");
    driver->pressAlertButton(0);
    driver->pump();
    EXPECT_TRUE(operateQueries().empty());
    auto reloads = count("memberListChaged");
    service().setReply("GET", "/services/norvo/" + std::string(kOperatePath), Reply::json({{"success", 1}}));
    removal->deleteGroupManager(*button);
    driver->pressAlertButton(1);
    ASSERT_TRUE(waitFor([&] { return removal->managerArray().empty(); }));
    EXPECT_EQ(operateQueries(), std::vector<std::string>{"cancel=true&admin=true&uids=2001"});
    EXPECT_EQ(reloads->count, 1);
    ASSERT_TRUE(waitFor([&] { return requestsTo("forum/601/3/member").size() == 2; }));
}

TEST_F(GroupMemberTest, AFailedCancellationKeepsTheRow) {
    auto removal = std::make_shared<MVTDeleteGroupManagerViewController>();
    removal->setGroupId("601");
    removal->setManagerArray(kUserGroup["admin"]);
    showRoot(removal);
    const std::string path = "/services/norvo/" + std::string(kOperatePath);
    const std::pair<Reply, std::string> cases[] = {
        {Reply::json({{"success", false}, {"msg", "不是管理员"}}), "不是管理员"},
        {Reply::text("", "text/plain", 500), "删除失败,请重新删除"}};
    for (const auto& [reply, message] : cases) {
        platform::AlertView::clearVisible();
        service().setReply("GET", path, reply);
        removal->sureToDelete(0);
        ASSERT_TRUE(waitFor([&] { return driver->alert() != nullptr; }));
        EXPECT_EQ(driver->alert()->message(), message);
        EXPECT_EQ(removal->managerArray().size(), 1u);
    }
}

}  // namespace
