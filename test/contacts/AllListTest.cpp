// The receiver list with letter index: sections by pinyin key, the two cache files, the
// fetch guard after a reply, the case-sensitive search and the index bar.

#include "ContactsFixture.h"

#include "contacts/MVTAllListViewController.h"
#include "contacts/MVTSearchViewController.h"

#include "platform/Files.h"
#include "platform/ui/Touch.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

constexpr const char* kClassifyPath = "/services/norvo/pm/1001/receivers/classify";

Json person(long long id, const std::string& name) { return {{"userId", id}, {"name", name}, {"role", "student"}}; }

class AllListTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
    }
    std::shared_ptr<MVTAllListViewController> open() {
        list = std::make_shared<MVTAllListViewController>();
        showRoot(list);
        return list;
    }
    Json cache(const std::string& type) {
        auto text = platform::readFile(MVTAllListViewController::cachePath("1001", type), 1u << 20);
        return text ? Json::parse(*text, nullptr, false) : Json();
    }
    std::vector<std::string> titles() {
        std::vector<std::string> found;
        for (const auto& section : list->titleArray()) found.push_back(platform::textOf(section, "title"));
        return found;
    }
    std::shared_ptr<MVTAllListViewController> list;
};

TEST_F(AllListTest, TheFirstOpeningFetchesOnceWritesBothFilesAndShowsLetterSections) {
    service().setReply("GET", kClassifyPath,
                       Reply::json({{"clazz", Json::array({person(1, "张三"), person(2, "安娜"), person(3, "Tom"),
                                                           person(4, "3班"), person(5, "tina")})},
                                    {"friend", Json::array({person(6, "周老师")})}}));
    open();
    ASSERT_TRUE(waitFor([&] { return !list->titleArray().empty(); }));
    EXPECT_EQ(requestsTo("pm/1001/receivers/classify").size(), 1u);
    EXPECT_EQ(titles(), (std::vector<std::string>{"#", "A", "T", "Z"}));
    // Case is ignored: Tom and tina lie together under T.
    std::vector<std::string> names;
    for (const auto& p : list->myClassArray()) names.push_back(platform::textOf(p, "name"));
    EXPECT_EQ(names, (std::vector<std::string>{"3班", "安娜", "tina", "Tom", "张三"}));
    EXPECT_EQ(cache("classType"), list->myClassArray());
    EXPECT_EQ(cache("friendType")[0]["firstName"], "zls");
    EXPECT_EQ(list->personAt({2, 1})["name"], "Tom");
    EXPECT_TRUE(list->view()->isUserInteractionEnabled());
}

TEST_F(AllListTest, AnUnchangedListIsNotWrittenAgain) {
    service().setReply("GET", kClassifyPath,
                       Reply::json({{"clazz", Json::array({person(1, "张三")})}, {"friend", Json::array({person(6, "周老师")})}}));
    open();
    ASSERT_TRUE(waitFor([&] { return !list->titleArray().empty(); }));
    const auto path = MVTAllListViewController::cachePath("1001", "classType");
    ASSERT_TRUE(platform::writeFileAtomically(path, cache("classType").dump()));  // the same list, written differently
    const auto written = std::filesystem::last_write_time(path);
    const auto size = std::filesystem::file_size(path);
    list->netGetData();
    ASSERT_TRUE(waitFor([&] { return requestsTo("pm/1001/receivers/classify").size() == 2 && list->view()->isUserInteractionEnabled(); }));
    driver->pump();
    EXPECT_EQ(std::filesystem::last_write_time(path), written);
    EXPECT_EQ(std::filesystem::file_size(path), size);
}

TEST_F(AllListTest, AnEmptyClassListAfterAReplyAsksNoSecondFetch) {
    // The friends bring people, the class-mates none: the class file holds an empty list.
    service().setReply("GET", kClassifyPath,
                       Reply::json({{"clazz", Json::array()}, {"friend", Json::array({person(6, "周老师")})}}));
    open();
    ASSERT_TRUE(waitFor([&] { return !list->fistGetData(); }));
    for (int i = 0; i < 5; ++i) driver->pump();
    EXPECT_EQ(requestsTo("pm/1001/receivers/classify").size(), 1u);
    EXPECT_TRUE(list->titleArray().empty());
    ASSERT_TRUE(list->warringLabel());
    EXPECT_TRUE(list->warringLabel()->superview());
}

TEST_F(AllListTest, RepliesWithoutPeopleTellTheUser) {
    const std::pair<Reply, std::string> cases[] = {
        {Reply::json(Json::object()), "暂无私信接收人"},
        {Reply::json(Json::array({1})), "暂无私信接收人"},
        {Reply::json({{"clazz", Json::array()}, {"friend", nullptr}}), "暂无同学和好友"}};
    for (const auto& [reply, message] : cases) {
        platform::AlertView::clearVisible();
        service().setReply("GET", kClassifyPath, reply);
        open();
        ASSERT_TRUE(waitFor([&] { return driver->alert() != nullptr; }));
        EXPECT_EQ(driver->alert()->message(), message);
        EXPECT_TRUE(list->titleArray().empty());
    }
}

TEST_F(AllListTest, SearchMindsCaseAndTheIndexBarReportsOnlyLettersWithSections) {
    service().setReply("GET", kClassifyPath,
                       Reply::json({{"clazz", Json::array({person(1, "张三"), person(3, "Tom")})}, {"friend", Json::array()}}));
    open();
    ASSERT_TRUE(waitFor([&] { return list->titleArray().size() == 2; }));
    list->searchBarTextDidBeginEditing(*list->searchBar());
    list->searchBar()->setText("tom");
    list->searchBarSearchButtonClicked(*list->searchBar());
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "没有找到该联系人");
    platform::AlertView::clearVisible();
    list->searchBar()->setText("To");
    list->searchBarSearchButtonClicked(*list->searchBar());
    ASSERT_TRUE(list->searchListView());
    EXPECT_EQ(list->searchListView()->dataArray().size(), 1u);
    list->cancelSearchBar();
    EXPECT_FALSE(list->searchListView());

    auto bar = list->indexBar();
    ASSERT_TRUE(bar);
    list->numberOfSectionsInTableView(*list->mytableview());
    EXPECT_EQ(bar->sectionForLetter(0), -1);   // "#"
    EXPECT_EQ(bar->sectionForLetter(20), 0);   // "T"
    EXPECT_EQ(bar->sectionForLetter(26), 1);   // "Z"
    list->indexBarDidSelectSection(*bar, 1);
    EXPECT_FALSE(list->showTableIndexView()->isHidden());
    EXPECT_EQ(list->showTableIndexView()->text(), "Z");
    list->indexBarTouchesEnded(*bar);
    driver->advance(0.4);
    EXPECT_FALSE(list->showTableIndexView()->isHidden());
    driver->advance(0.2);
    EXPECT_TRUE(list->showTableIndexView()->isHidden());
}

TEST_F(AllListTest, TheFriendsListWithoutFriendsKeepsTheNewFriendsRow) {
    service().setReply("GET", kClassifyPath,
                       Reply::json({{"clazz", Json::array({person(1, "张三")})}, {"friend", Json::array()}}));
    open();
    ASSERT_TRUE(waitFor([&] { return !list->titleArray().empty(); }));
    list->initTitleView();
    auto friends = std::dynamic_pointer_cast<platform::Button>(list->titleView()->viewWithTag(MVTAllListViewController::kFriendButtonTag));
    ASSERT_TRUE(friends);
    list->recommendButtonClick(*friends);
    EXPECT_EQ(list->typeOfShowList(), "friendType");
    // The empty friends file asks once more; that reply shows the friends held.
    ASSERT_TRUE(waitFor([&] { return list->mytableview() != nullptr; }));
    EXPECT_EQ(list->numberOfSectionsInTableView(*list->mytableview()), 1);
    EXPECT_EQ(list->numberOfRowsInSection(*list->mytableview(), 0), 0);
    EXPECT_EQ(list->heightForHeaderInSection(*list->mytableview(), 0), MVTAllListViewController::kNewFriendHeaderHeight);
}

}  // namespace
