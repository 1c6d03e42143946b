// The post detail screen's road, driven through the automation against the sample service
// with the recorder on a tone: the teacher opens a post from 动态, sends a text comment
// with a face, records a voice comment, forwards the post with a comment and opens the
// report page; the detail and forward screens are saved as pictures on the way.

#include "RoadFixture.h"

#include "details/MVTDetailsViewController.h"
#include "details/MVTForwardViewController.h"
#include "feed/MVTHomeViewController.h"
#include "shell/MVTReportViewController.h"

#include "platform/AudioRecorder.h"
#include "platform/Files.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

namespace {

class DetailsRoadTest : public testing_support::RoadTest {
protected:
    void SetUp() override {
        RoadTest::SetUp();
        AudioRecorder::setInput([] { return makeToneSource(440.0, 0.5); });
    }
    void TearDown() override {
        AudioRecorder::setInput(nullptr);
        RoadTest::TearDown();
    }
    std::shared_ptr<MVTHomeViewController> home() const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(tabBar()->viewControllers().front());
        return std::dynamic_pointer_cast<MVTHomeViewController>(navigation->viewControllers().front());
    }
    std::shared_ptr<MVTDetailsViewController> details() const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(home()->presentedViewController());
        return navigation ? std::dynamic_pointer_cast<MVTDetailsViewController>(navigation->viewControllers().front())
                          : nullptr;
    }
    std::string toast() const {
        auto screen = details();
        return screen && screen->toastLabel() ? screen->toastLabel()->text() : std::string();
    }
};

TEST_F(DetailsRoadTest, TheTeacherCommentsRecordsForwardsAndReports) {
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype teacher\nkey return\ntype teacher123\nkey return\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() && !home()->dataArray().empty(); }));
    driver->settle();

    // 动态 → the newest post, with its forty comments in pages of fifteen.
    ASSERT_EQ(run("tap 班级公约和寒假作业，请同学们下载\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return details() && details()->dataArray().size() == 15; }));
    driver->settle();
    ASSERT_EQ(run("expect 详情\nexpect 转发\nexpect 分享\n"), 0) << messages.str();
    const auto detailShot = home_ / "details.png";
    ASSERT_EQ(run("screenshot " + detailShot.string() + "\n"), 0) << messages.str();
    EXPECT_TRUE(fileExists(detailShot));

    // A text comment with a face from the panel.
    ASSERT_EQ(run("tap 评论\nwait 0.5\ntype 收到，谢谢老师\ntap emoji\nwait 0.5\ntap [em:3:]\ntap 完成\ntap 发送\n"), 0)
        << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return details()->dataArray().size() == 16; }));
    EXPECT_EQ(details()->dataArray()[0]["content"], "收到，谢谢老师[em:3:]");
    driver->settle();

    // A voice comment: voice input, the finger held on the button for two seconds.
    ASSERT_EQ(run("tap 评论\nwait 0.5\ntap voice\nwait 0.3\nlongpress 2s hold to record\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return details()->dataArray().size() == 17; }));
    EXPECT_FALSE(details()->dataArray()[0]["attachmentList"].empty());
    EXPECT_EQ(details()->adjustlb()->text(), "42");
    driver->settle();

    // The forward screen with a comment: "转发成功" on the detail screen after it closes.
    ASSERT_EQ(run("tap 转发\nwait 0.5\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] {
        auto stack = std::dynamic_pointer_cast<NavigationController>(details()->presentedViewController());
        return stack && std::dynamic_pointer_cast<MVTForwardViewController>(stack->viewControllers().front());
    }));
    driver->settle();
    const auto forwardShot = home_ / "forward.png";
    ASSERT_EQ(run("screenshot " + forwardShot.string() + "\n"), 0) << messages.str();
    EXPECT_TRUE(fileExists(forwardShot));
    auto stack = std::dynamic_pointer_cast<NavigationController>(details()->presentedViewController());
    auto forward = std::dynamic_pointer_cast<MVTForwardViewController>(stack->viewControllers().front());
    driver->tap(forward->messageTextView());
    ASSERT_EQ(run("type 大家看看\ntap 发送\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return service().lastRequest("/services/norvo/user/1001/share/42").has_value(); }));
    // The toast comes 0.4 s after the forward screen reports.
    for (int step = 0; step < 40 && toast() != "转发成功"; ++step) driver->advance(0.1);
    EXPECT_EQ(toast(), "转发成功");
    auto request = service().lastRequest("/services/norvo/user/1001/share/42");
    ASSERT_TRUE(request);
    driver->settle();

    // The report page, on another teacher's post (one's own posts have no 举报).
    details()->goback();
    driver->settle();
    int row = 0;
    while (row < int(home()->dataArray().size()) && textOf(*home()->dataArray()[size_t(row)], "id") != "40") ++row;
    home()->toPresentViewWith(row);
    ASSERT_TRUE(pumpUntil([this] { return details() && textOf(*details()->myDict(), "id") == "40"; }));
    // The waiting indicator stays until the comment page has answered.
    ASSERT_TRUE(pumpUntil([this] { return service().lastRequest("/services/norvo/feed/40/comments/1").has_value(); }));
    driver->settle();
    ASSERT_EQ(run("tap 举报\n"), 0) << messages.str();
    pumpUntil([this] { return service().lastRequest("/report/40").has_value(); });
    ASSERT_TRUE(service().lastRequest("/report/40"));
    EXPECT_TRUE(pumpUntil([this] { return driver->byTextContaining("举报对象：张老师") != nullptr; }));
    EXPECT_EQ(service().lastRequest("/report/40")->queryValue("name"), "张老师");
}

}  // namespace
