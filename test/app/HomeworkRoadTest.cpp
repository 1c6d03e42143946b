// The road of homework, driven through the automation scripts against the sample service:
// the teacher publishes a homework to 三年级一班 and looks at its hand-ins; then 李明
// finds it unread and looks at a homework he handed in.

#include "RoadFixture.h"
#include "core/MVTtirraDataBase.h"
#include "homework/MVTNHWAnswerInfoViewController.h"
#include "homework/MVTNHWDetailsViewController.h"
#include "homework/MVTNHWGetStudentsViewController.h"
#include "homework/MVTNHWSubmitStudentsListViewController.h"
#include "homework/MVTNewHWListViewController.h"

#include "platform/Files.h"
#include "platform/ui/NavigationController.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class HomeworkRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override {
        // The next launch starts at the login screen, whoever signed in before.
        MVTtirraDataBase::deleteSaveUser();
    }
};

TEST_F(HomeworkRoadTest, ATeacherPublishesToAClassAndItsPupilFindsItUnread) {
    signIn("teacher", "teacher123");
    ASSERT_EQ(run("wait 1\ntap 发现\nwait 1\ntap 作业\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto list = onPresentedTop<MVTNewHWListViewController>();
        return list && list->dataArray().size() == 12;
    }));
    ASSERT_EQ(run(shot("list") + "tap 新作业\nwait 1\nexpect 作业接收人\nexpect 0人\n" + shot("composer") +
                  "tap 作业接收人\nwait 1\n"),
              0)
        << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto picker = onPresentedTop<MVTNHWGetStudentsViewController>();
        return picker && picker->allStudentsDic().contains("11");
    }));
    ASSERT_EQ(run("expect 三年级一班\nexpect 三年级二班\ntap 全选\nexpect 已全选\n" + shot("picker") +
                  "tap 完成\nwait 1\nexpect 30人\ntap 添加作业内容\ntype 背诵《静夜思》并默写一遍\n"
                  "tap 完成\n"),
              0)
        << messages.str();
    // The text page leaves on its own time; then the composer's own "完成" shows.
    ASSERT_TRUE(waitFor([this] {
        std::ostringstream quiet;
        return ScriptRunner(*driver, quiet).runText("expect 完成\n") == 0;
    }));
    ASSERT_EQ(run("tap 完成\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto list = onPresentedTop<MVTNewHWListViewController>();
        return list && list->dataArray().size() == 13;
    })) << messages.str();
    auto list = onPresentedTop<MVTNewHWListViewController>();
    const std::string id = textOf(list->dataArray()[0], "id");
    EXPECT_EQ(textOf(list->dataArray()[0], "stdCount"), "30");
    auto publish = service().lastRequest("/services/norvo/homework/publish/1001");
    ASSERT_TRUE(publish.has_value());
    EXPECT_EQ(publish->parts.size(), 2u);

    ASSERT_EQ(run("tap 背诵《静夜思》并默写一遍\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto details = onPresentedTop<MVTNHWDetailsViewController>();
        return details && details->statisticsButton() && details->statisticsButton()->isEnabled();
    }));
    ASSERT_EQ(run("expect 作业描述:\n" + shot("details") + "tap 提交统计(30)\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto statistics = onPresentedTop<MVTNHWSubmitStudentsListViewController>();
        return statistics && statistics->dataArray().size() == 20;
    }));
    ASSERT_EQ(run("expect 未提交\n" + shot("statistics")), 0) << messages.str();

    // 李明 of 三年级一班.
    signIn("student", "student123");
    ASSERT_EQ(run("wait 1\ntap 发现\nwait 1\ntap 作业\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto pupils = onPresentedTop<MVTNewHWListViewController>();
        return pupils && !pupils->dataArray().empty();
    }));
    auto pupils = onPresentedTop<MVTNewHWListViewController>();
    ASSERT_EQ(textOf(pupils->dataArray()[0], "id"), id);
    EXPECT_EQ(textOf(pupils->dataArray()[0], "readed"), "0");
    EXPECT_TRUE(MVTAccount::sharedInstance().newHM());
    const int unread = pupils->unReadCount();
    ASSERT_EQ(run(shot("pupil-list") + "tap 背诵《静夜思》并默写一遍\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return pupils->unReadCount() == unread - 1; }));
    // Not handed in yet: the bar offers to hand it in.
    ASSERT_EQ(run("expect 提交作业\n"), 0) << messages.str();
    EXPECT_EQ(textOf(pupils->dataArray()[0], "readed"), "1");

    // Back, then one he handed in.
    onPresentedTop<MVTNHWDetailsViewController>()->goback();
    driver->settle();
    ASSERT_EQ(run("tap 古诗背诵（第1周）：背诵并默写《静夜思》，明天课上抽查。请家长听孩子背一遍并签字。\nwait 1\n"), 0)
        << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto details = onPresentedTop<MVTNHWDetailsViewController>();
        return details && details->downButton();
    }));
    ASSERT_EQ(run("tap 查看作业提交\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto answer = onPresentedTop<MVTNHWAnswerInfoViewController>();
        return answer && !answer->attachments()->resListArr().empty();
    }));
    ASSERT_EQ(run("expect 提交内容\n" + shot("answer")), 0) << messages.str();

    for (const char* name : {"list", "composer", "picker", "details", "statistics", "pupil-list", "answer"}) {
        auto picture = readFile(home_ / "shots" / (std::string(name) + ".png"));
        ASSERT_TRUE(picture.has_value()) << name;
        EXPECT_GT(picture->size(), 5000u) << name;
    }
}

}  // namespace
