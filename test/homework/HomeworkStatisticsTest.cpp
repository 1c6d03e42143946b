// The hand-in statistics and one answer, against the sample service.
#include "HomeworkFixture.h"

#include "homework/HomeworkAttachmentList.h"
#include "homework/MVTNHWAnswerInfoViewController.h"
#include "homework/MVTNHWSubmitStudentsListViewController.h"
#include "shell/myTableView.h"

#include "platform/BackgroundQueue.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;
using Statistics = MVTNHWSubmitStudentsListViewController;

namespace {

// `count` hand-in rows from uid `first`; every `answeredEvery`-th one has an answer.
Json submissionRows(int count, int first, int answeredEvery) {
    Json list = Json::array();
    for (int i = 0; i < count; ++i) {
        const bool answered = answeredEvery > 0 && i % answeredEvery == 0;
        Json row = {{"uid", std::to_string(first + i)}, {"name", "学生" + std::to_string(first + i)},
                    {"className", "三年级一班"}};
        if (answered) {
            row["dateline"] = 1767500000;
            row["count"] = "2";
            row["answers"] = Json::array({{{"id", "880003"}, {"fileType", "file"}, {"suffix", "txt"}}});
        } else {
            row["dateline"] = nullptr;
            row["answers"] = Json::array();
        }
        list.push_back(row);
    }
    return list;
}

class HomeworkStatisticsTest : public testing_support::HomeworkTest {
protected:
    std::shared_ptr<Statistics> open(const std::string& id, const std::string& subCount, bool centre = false) {
        signIn("teacher");
        statistics = std::make_shared<Statistics>();
        statistics->setSubCount(subCount);
        if (centre) statistics->setIsNewsCenter(true);
        statistics->setHwId(id);
        return showPushed(statistics);
    }
    std::string path(const std::string& id) const { return "homework/1001/answers/" + id + "/get"; }
    bool waitForPage(const std::string& id, std::size_t count) {
        return waitForRequests(path(id), count, statistics->view());
    }
    std::shared_ptr<TableViewCell> cellAt(int row) {
        statistics->myTable()->layoutIfNeeded();
        auto table = statistics->myTable();
        table->scrollRectToVisible(table->rectForRowAtIndexPath(IndexPath::forRow(row, 0)), false);
        table->layoutIfNeeded();
        return table->cellForRowAtIndexPath(IndexPath::forRow(row, 0));
    }
    std::string footer() const { return statistics->moreBtn()->currentTitle(); }

    std::shared_ptr<Statistics> statistics;
};

TEST_F(HomeworkStatisticsTest, TitlesFromTheDetailsScreenAndFromTheNotificationCentre) {
    open("5001", "12");
    EXPECT_EQ(statistics->title(), "提交统计(12)");
    open("5001", "(null)", true);
    EXPECT_EQ(statistics->title(), "");
    open("5001", "古诗背诵", true);
    EXPECT_EQ(statistics->title(), "古诗背诵");
}

TEST_F(HomeworkStatisticsTest, PagesOfTwentyEndWithAllLoadedOrNothingAtAll) {
    service().route("GET", "services/norvo/homework/1001/answers/60/get", [](const RecordedRequest& request) {
        return Reply::json(request.queryValue("page") == "1" ? submissionRows(20, 2100, 3) : Json::array());
    });
    open("60", "20");
    ASSERT_TRUE(waitForPage("60", 1));
    EXPECT_EQ(requestsTo(path("60")).back().queryValue("limit"), "20");
    EXPECT_EQ(footer(), "点击加载更多");
    EXPECT_TRUE(statistics->moreBtn()->isUserInteractionEnabled());
    statistics->getSubmitStudentsData();
    ASSERT_TRUE(waitForPage("60", 2));
    EXPECT_EQ(requestsTo(path("60")).back().queryValue("page"), "2");
    EXPECT_EQ(footer(), "已加载全部");
    EXPECT_FALSE(statistics->moreBtn()->isUserInteractionEnabled());
    EXPECT_EQ(statistics->dataArray().size(), 20u);

    service().setReply("GET", "/services/norvo/" + path("61"), Reply::json(Json::array()));
    open("61", "0");
    ASSERT_TRUE(waitForPage("61", 1));
    EXPECT_EQ(footer(), "没有相关内容");

    // A failure offers the same page again; a reply of another kind is a failure too.
    for (const Reply& reply : {Reply::text("x", "text/plain", 503), Reply::json({{"rows", 1}})}) {
        service().setReply("GET", "/services/norvo/" + path("62"), reply);
        open("62", "0");
        ASSERT_TRUE(waitForPage("62", 1));
        EXPECT_EQ(footer(), "点击加载更多");
        EXPECT_TRUE(statistics->moreBtn()->isUserInteractionEnabled());
        EXPECT_TRUE(statistics->dataArray().empty());
        service().clearRequests();
    }
}

TEST_F(HomeworkStatisticsTest, InTheCentresModeOnlyAnswersAreKeptAndTheNextPageFollowsTheRowsReceived) {
    service().route("GET", "services/norvo/homework/1001/answers/70/get", [](const RecordedRequest& request) {
        const int page = std::stoi(request.queryValue("page").value_or("1"));
        return Reply::json(page <= 2 ? submissionRows(20, 2000 + page * 100, 4) : Json::array());
    });
    open("70", "作文", true);
    ASSERT_TRUE(waitForPage("70", 1));
    EXPECT_EQ(statistics->dataArray().size(), 5u);
    EXPECT_EQ(statistics->receivedRows(), 20u);
    statistics->getSubmitStudentsData();
    ASSERT_TRUE(waitForPage("70", 2));
    // Page 2, not page 1 a second time: the rows left out were received all the same.
    EXPECT_EQ(requestsTo(path("70")).back().queryValue("page"), "2");
    EXPECT_EQ(statistics->dataArray().size(), 10u);
    std::set<std::string> uids;
    for (const auto& row : statistics->dataArray()) uids.insert(textOf(row, "uid"));
    EXPECT_EQ(uids.size(), 10u);
}

TEST_F(HomeworkStatisticsTest, RowsWithoutAHandInAreDimmedAndDoNothingRowsWithOneOpenIt) {
    // 5001 of the sample teacher: hand-ins first, then the pupils still missing.
    open("5001", "60");
    ASSERT_TRUE(waitForPage("5001", 1));
    ASSERT_EQ(statistics->dataArray().size(), 20u);
    const Json& answered = statistics->dataArray()[0];
    ASSERT_FALSE(answered["answers"].empty());
    auto cell = cellAt(0);
    ASSERT_NE(cell, nullptr);
    auto content = cell->contentView();
    EXPECT_EQ(std::static_pointer_cast<Label>(content->viewWithTag(Statistics::kNameTag))->text(), textOf(answered, "name"));
    EXPECT_EQ(std::static_pointer_cast<Label>(content->viewWithTag(Statistics::kCountTag))->text(),
              std::to_string(answered["answers"].size()) + " 附件");
    EXPECT_FALSE(std::static_pointer_cast<Label>(content->viewWithTag(Statistics::kTimeTag))->text().empty());
    EXPECT_EQ(content->viewWithTag(Statistics::kAvatarTag)->alpha(), 1.0);
    EXPECT_FALSE(content->viewWithTag(Statistics::kArrowTag)->isHidden());

    int missing = -1;
    for (size_t i = 0; i < statistics->dataArray().size(); ++i)
        if (statistics->dataArray()[i]["dateline"].is_null()) {
            missing = static_cast<int>(i);
            break;
        }
    ASSERT_GT(missing, 0);
    auto dim = cellAt(missing)->contentView();
    EXPECT_EQ(std::static_pointer_cast<Label>(dim->viewWithTag(Statistics::kCountTag))->text(), "未提交");
    EXPECT_EQ(dim->viewWithTag(Statistics::kAvatarTag)->alpha(), 0.6);
    EXPECT_TRUE(dim->viewWithTag(Statistics::kArrowTag)->isHidden());
    statistics->didSelectRowAtIndexPath(*statistics->myTable(), IndexPath::forRow(missing, 0));
    driver->settle();
    EXPECT_EQ(top(), statistics);

    statistics->didSelectRowAtIndexPath(*statistics->myTable(), IndexPath::forRow(0, 0));
    driver->settle();
    auto answer = std::dynamic_pointer_cast<MVTNHWAnswerInfoViewController>(top());
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->infoDic(), answered);
    EXPECT_TRUE(answer->isTeacher());
    EXPECT_EQ(answer->title(), textOf(answered, "name") + "的作业");
}

TEST_F(HomeworkStatisticsTest, AvatarsComeInTheBackgroundAndAFailureIsNotTriedAgain) {
    service().setReply("GET", "/services/norvo/" + path("80"),
                       Reply::json(Json::array({{{"uid", "2101"}, {"name", "张子涵"}, {"className", "三年级一班"}},
                                                {{"uid", "9999"}, {"name", "无头像"}, {"className", "三年级一班"}}})));
    open("80", "2");
    ASSERT_TRUE(waitForPage("80", 1));
    ASSERT_NE(cellAt(0), nullptr);
    ASSERT_TRUE(pumpUntil([&] { return statistics->faceImageDic().size() == 2; }));
    EXPECT_FALSE(statistics->faceImageDic().at("2101")->isPlaceholder());
    EXPECT_NE(statistics->faceImageDic().at("2101"), Image::imageNamed("default_user"));
    EXPECT_EQ(statistics->faceImageDic().at("9999"), Image::imageNamed("default_user"));
    BackgroundQueue::shared().waitIdle();
    driver->pump();
    auto avatar = std::static_pointer_cast<ImageView>(cellAt(0)->contentView()->viewWithTag(Statistics::kAvatarTag));
    EXPECT_EQ(avatar->image(), statistics->faceImageDic().at("2101"));
    const size_t asked = service().requests().size();
    statistics->myTable()->reloadData();
    statistics->myTable()->layoutIfNeeded();
    BackgroundQueue::shared().waitIdle();
    driver->pump();
    EXPECT_EQ(service().requests().size(), asked);
}

class HomeworkAnswerTest : public testing_support::HomeworkTest {};

TEST_F(HomeworkAnswerTest, TeacherModeShowsTheHeaderThenTheVoiceAndTheFiles) {
    signIn("teacher");
    auto answer = std::make_shared<MVTNHWAnswerInfoViewController>();
    answer->setInfoDic({{"uid", "2101"},
                        {"name", "张子涵"},
                        {"className", "三年级一班"},
                        {"dateline", 1767500000},
                        {"count", "3"},
                        {"answers", Json::array({{{"id", "880001"}, {"fileType", "audio"}, {"duration", "1"}},
                                                 {{"id", "hw105"}, {"fileType", "image"}, {"suffix", "png"}},
                                                 {{"id", "hw106"}, {"fileType", "image"}, {"suffix", "png"}}})}});
    showPushed(answer);
    EXPECT_TRUE(answer->isTeacher());
    EXPECT_EQ(answer->title(), "张子涵的作业");
    EXPECT_EQ(requestsTo("homework/1001/answers//get").size(), 0u);
    auto list = answer->attachments();
    ASSERT_NE(list->videoBtn(), nullptr);
    EXPECT_EQ(list->videoBtn()->frame().y(), 55);
    EXPECT_EQ(driver->byAccessibilityValue("hw105")->frame().y(), 100);
    EXPECT_EQ(driver->byAccessibilityValue("hw106")->frame().y(), 145);
    EXPECT_NE(driver->byText("3 附件"), nullptr);
    EXPECT_NE(driver->byText("三年级一班"), nullptr);
    // Without a picture handed over, the default one until the avatar comes.
    auto avatar = std::static_pointer_cast<ImageView>(answer->contentScrol()->viewWithTag(11));
    EXPECT_EQ(avatar->accessibilityValue(), "2101");
    ASSERT_TRUE(pumpUntil([&] { return avatar->image() != Image::imageNamed("default_user"); }));
}

TEST_F(HomeworkAnswerTest, OwnModeShowsTheFilesOfEitherReplyShape) {
    signIn("student");
    const Json resource = {{"id", "880003"}, {"fileType", "file"}, {"suffix", "txt"}, {"resourceName", "要求.txt"}};
    struct Case {
        const char* name;
        Reply reply;
        size_t files;
    };
    const Case cases[] = {
        {"hand-in rows", Reply::json(Json::array({{{"uid", "2001"}, {"answers", Json::array({resource})}}})), 1},
        {"resources", Reply::json(Json::array({resource, resource})), 2},
        {"empty", Reply::json(Json::array()), 0},
        {"dictionary", Reply::json({{"answers", Json::array({resource})}}), 0},
        {"failure", Reply::text("", "text/plain", 500), 0},
    };
    int id = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string hw = std::to_string(id++);
        service().setReply("GET", "/services/norvo/homework/2001/answers/" + hw + "/get", c.reply);
        auto answer = std::make_shared<MVTNHWAnswerInfoViewController>();
        answer->setHwId(hw);
        showPushed(answer);
        ASSERT_TRUE(waitForRequests("homework/2001/answers/" + hw + "/get", 1, answer->view()));
        auto request = requestsTo("homework/2001/answers/" + hw + "/get").back();
        EXPECT_EQ(request.queryValue("page"), "1");
        EXPECT_EQ(request.queryValue("limit"), "20");
        EXPECT_EQ(answer->title(), "提交内容");
        EXPECT_FALSE(answer->isTeacher());
        EXPECT_EQ(answer->attachments()->resListArr().size(), c.files);
        EXPECT_EQ(AlertView::topAlert(), nullptr);
    }
}

}  // namespace
