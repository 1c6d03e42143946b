// The recipients picker against the sample classes: tabs and their selection texts,
// whole classes and single pupils, search hits, and what "完成" hands back.
#include "HomeworkFixture.h"

#include "homework/MVTNHWGetStudentsViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/SearchBar.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;
using Picker = MVTNHWGetStudentsViewController;

namespace {

class SpyRecipients : public MVTNHWGetStudentsViewDelegate {
public:
    struct Result {
        std::string classIds, studentIds;
        int count;
        Json whole, single;
    };
    void didSelectStudentsWith(const std::string& classIds, const std::string& studentIds, int count,
                               const Json& whole, const Json& single) override {
        results.push_back({classIds, studentIds, count, whole, single});
    }
    std::vector<Result> results;
};

std::vector<std::string> recipientIds(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) items.push_back(item);
    std::sort(items.begin(), items.end());
    return items;
}

class HomeworkRecipientsTest : public testing_support::HomeworkTest {
protected:
    std::shared_ptr<Picker> open(const Json& whole = Json::object(), const Json& single = Json::object()) {
        signIn("teacher");
        spy = std::make_shared<SpyRecipients>();
        picker = std::make_shared<Picker>();
        picker->setSelectClassArr(Json::array());
        picker->setSelectClassDic(whole);
        picker->setSelectStudentsDic(single);
        picker->setDelegate(spy);
        showPushed(picker);
        return picker;
    }
    bool waitForClass(const std::string& classId) {
        return pumpUntil([&] { return picker->allStudentsDic().contains(classId); });
    }
    void showClass(const std::string& classId) {
        ASSERT_TRUE(driver->tap(picker->tabOfClass(classId)));
        ASSERT_TRUE(waitForClass(classId));
        driver->settle();
    }
    void tapStudent(const std::string& uid) {
        auto button = picker->buttonOfStudent(uid);
        ASSERT_NE(button, nullptr) << uid;
        picker->studentsBtnClicked(*button);
    }

    std::shared_ptr<SpyRecipients> spy;
    std::shared_ptr<Picker> picker;
};

TEST_F(HomeworkRecipientsTest, DoneWithoutAnySelectionAsksForPupilsAndTellsNobody) {
    open();
    ASSERT_TRUE(waitForClass("11"));
    EXPECT_EQ(picker->title(), "作业接收人");
    EXPECT_EQ(picker->classArr().size(), 2u);
    EXPECT_EQ(picker->selectClassId(), "11");
    EXPECT_EQ(picker->selectionTextOf("11"), "未选择");
    EXPECT_FALSE(picker->selectAllBtn()->isHidden());
    picker->toDone();
    auto alert = AlertView::topAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), "请选择学生");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "知道了");
    EXPECT_TRUE(spy->results.empty());
    EXPECT_EQ(top(), picker);
}

TEST_F(HomeworkRecipientsTest, TwoWholeClassesAndThreePupilsCountFiftyEight) {
    // Class 11 (30 pupils) as the sample service has it, and two classes made up here.
    service().route("GET", "services/norvo/homework/1001/clazz/list", [](const RecordedRequest&) {
        return Reply::json(Json::array({{{"id", 11}, {"name", "三年级一班"}},
                                        {{"id", "31"}, {"name", "五年级一班"}},
                                        {{"id", "32"}, {"name", "五年级二班"}}}));
    });
    auto roster = [](int size, int first) {
        Json list = Json::array();
        for (int i = 0; i < size; ++i) list.push_back({{"uid", first + i}, {"name", "学生" + std::to_string(first + i)}});
        return list;
    };
    service().setReply("GET", "/services/norvo/homework/clazz/31/stds", Reply::json(roster(25, 3100)));
    service().setReply("GET", "/services/norvo/homework/clazz/32/stds", Reply::json(roster(40, 3200)));
    open();
    ASSERT_TRUE(waitForClass("11"));
    driver->settle();
    ASSERT_TRUE(driver->tap(picker->selectAllBtn()));
    EXPECT_EQ(picker->selectionTextOf("11"), "已全选");
    showClass("31");
    picker->toSelectAllOrClear(*picker->selectAllBtn());
    showClass("32");
    for (const char* uid : {"3200", "3207", "3239"}) tapStudent(uid);
    EXPECT_EQ(picker->selectionTextOf("32"), "已选择 3 人");

    picker->toDone();
    ASSERT_EQ(spy->results.size(), 1u);
    const auto& result = spy->results[0];
    EXPECT_EQ(result.count, 58);
    EXPECT_EQ(recipientIds(result.classIds), (std::vector<std::string>{"11", "31"}));
    EXPECT_EQ(recipientIds(result.studentIds), (std::vector<std::string>{"3200", "3207", "3239"}));
    EXPECT_EQ(result.whole, Json({{"11", "30"}, {"31", "25"}}));
    EXPECT_EQ(result.single["32"], Json::array({"3200", "3207", "3239"}));
}

TEST_F(HomeworkRecipientsTest, ACarriedOverSelectionShowsItsTextsAndAFullListBecomesAWholeClass) {
    Json everyone = Json::array();
    for (const char* uid : {"2001", "2101", "2102", "2103", "2104", "2105", "2106", "2107", "2108", "2109", "2110",
                            "2111", "2112", "2113", "2114", "2115", "2116", "2117", "2118", "2119", "2120", "2121",
                            "2122", "2123", "2124", "2125", "2126", "2127", "2128", "2129"})
        everyone.push_back(uid);
    open(Json::object(), {{"11", everyone}, {"12", Json::array({"2201", "2202"})}});
    ASSERT_TRUE(waitForClass("11"));
    driver->settle();
    EXPECT_EQ(picker->selectionTextOf("12"), "已选 2 人");
    // Class 11's list held all of its 30 pupils: the class became whole.
    EXPECT_TRUE(picker->selectAllBtn()->isSelected());
    EXPECT_EQ(picker->selectClassDic(), Json({{"11", "30"}}));
    EXPECT_TRUE(picker->selectStudentsDic()["11"].empty());
    EXPECT_TRUE(picker->buttonOfStudent("2105")->isSelected());

    // Unchoosing one of a whole class leaves all the others, one by one.
    tapStudent("2105");
    EXPECT_FALSE(picker->selectClassDic().contains("11"));
    EXPECT_EQ(picker->selectStudentsDic()["11"].size(), 29u);
    EXPECT_EQ(picker->selectionTextOf("11"), "已选择 29 人");
    EXPECT_FALSE(picker->selectAllBtn()->isSelected());
    // Choosing the last one makes it whole again.
    tapStudent("2105");
    EXPECT_EQ(picker->selectClassDic()["11"], "30");
    EXPECT_TRUE(picker->selectStudentsDic()["11"].empty());
    EXPECT_EQ(picker->selectionTextOf("11"), "已全选");

    // A changed class: its text is made with "已选择".
    showClass("12");
    EXPECT_TRUE(picker->buttonOfStudent("2201")->isSelected());
    EXPECT_FALSE(picker->buttonOfStudent("2203")->isSelected());
    tapStudent("2203");
    EXPECT_EQ(picker->selectionTextOf("12"), "已选择 3 人");
    tapStudent("2201");
    tapStudent("2202");
    tapStudent("2203");
    EXPECT_EQ(picker->selectionTextOf("12"), "未选择");
}

TEST_F(HomeworkRecipientsTest, AClassWithoutPupilsCannotBeChosenWhole) {
    service().setReply("GET", "/services/norvo/homework/clazz/12/stds", Reply::json(Json::array()));
    open();
    ASSERT_TRUE(waitForClass("11"));
    showClass("12");
    EXPECT_FALSE(picker->selectAllBtn()->isSelected());
    EXPECT_FALSE(picker->selectAllBtn()->isEnabled());
    // The pupils of a class are asked once per opening.
    showClass("11");
    EXPECT_TRUE(picker->selectAllBtn()->isEnabled());
    EXPECT_EQ(requestsTo("homework/clazz/11/stds").size(), 1u);
}

TEST_F(HomeworkRecipientsTest, SearchHitsAreAddedOnlyToClassesOfTheStrip) {
    open({{"12", "30"}});
    ASSERT_TRUE(waitForClass("11"));
    driver->settle();
    picker->searchBarTextDidBeginEditing(*picker->searchBar());
    driver->settle();
    EXPECT_FALSE(picker->searchBgView()->isHidden());
    EXPECT_TRUE(navigation->isNavigationBarHidden());
    picker->getSearchStudentDataWith("张");
    ASSERT_TRUE(waitForRequests("homework/1001/student/search", 1, picker->view()));
    auto request = requestsTo("homework/1001/student/search").back();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.formValue("name"), "张");
    EXPECT_EQ(request.formValue("limit"), "100");
    ASSERT_FALSE(picker->didSearchArr().empty());
    EXPECT_FALSE(picker->searchTable()->isHidden());

    const Json fromStrip = {{"uid", "2101"}, {"name", "张子涵"}, {"classId", "11"}, {"className", "三年级一班"}};
    const Json fromWhole = {{"uid", "2205"}, {"name", "张某"}, {"classId", "12"}, {"className", "三年级二班"}};
    const Json elsewhere = {{"uid", "4001"}, {"name", "张外"}, {"classId", "99"}, {"className", "外校"}};
    picker->addSearchStudentWith(fromWhole);
    picker->addSearchStudentWith(elsewhere);
    EXPECT_FALSE(picker->selectStudentsDic().contains("99"));
    EXPECT_TRUE(picker->selectStudentsDic()["12"].empty());
    picker->addSearchStudentWith(fromStrip);
    picker->addSearchStudentWith(fromStrip);
    EXPECT_EQ(picker->selectStudentsDic()["11"], Json::array({"2101"}));
    EXPECT_EQ(picker->selectionTextOf("11"), "已选择 1 人");
    EXPECT_TRUE(picker->buttonOfStudent("2101")->isSelected());

    picker->toCancelSearchBar();
    driver->settle();
    EXPECT_TRUE(picker->searchBgView()->isHidden());
    EXPECT_FALSE(navigation->isNavigationBarHidden());
    EXPECT_EQ(picker->searchBar()->text(), "");
}

}  // namespace
