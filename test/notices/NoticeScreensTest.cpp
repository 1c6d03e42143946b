// The class picker, the read status with its reminders, the administrator's receiver
// picker and the composer, against the sample service.
#include "NoticeFixture.h"

#include "notices/AllClassViewController.h"
#include "notices/MVTAddNotViewController.h"
#include "notices/MVTPersonListViewController.h"
#include "notices/MVTPriNotViewController.h"
#include "notices/NotiViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class NoticeScreensTest : public testing_support::NoticeTest {
protected:
    std::shared_ptr<AllClassViewController> openPicker() {
        auto picker = showRoot(std::make_shared<AllClassViewController>());
        EXPECT_TRUE(pumpUntil([&] { return !picker->myArray().empty(); }));
        return picker;
    }
    std::shared_ptr<MVTPriNotViewController> openReadStatus(const Json& notice) {
        auto screen = std::make_shared<MVTPriNotViewController>();
        screen->setItemDic(notice);
        showPushed(screen);
        EXPECT_TRUE(pumpUntil([&] { return screen->priTableView() != nullptr; }));
        return screen;
    }
    std::shared_ptr<MVTAddNotViewController> openComposer() {
        auto composer = showRoot(std::make_shared<MVTAddNotViewController>());
        composer->addTableView->reloadData();
        composer->addTableView->layoutIfNeeded();
        return composer;
    }
    std::string part(const RecordedRequest& request, const std::string& name) {
        for (const auto& p : request.parts)
            if (p.name == name) return p.bytes;
        return "<none>";
    }
    std::vector<std::string> partNames(const RecordedRequest& request) {
        std::vector<std::string> names;
        for (const auto& p : request.parts) names.push_back(p.name);
        return names;
    }
};

TEST_F(NoticeScreensTest, ATeachersRowsReadLevelAndNameAndTheLastMarkedRowPostsMarkUpsideOnce) {
    signIn("teacher");
    MVTAccount::sharedInstance().setNewNoti(true);
    auto picker = openPicker();
    EXPECT_EQ(picker->title(), "选择班级");
    ASSERT_EQ(picker->myArray().size(), 2u);
    EXPECT_EQ(MVTClassCell::rowText(picker->myArray()[0], false), " 高一  一班");
    EXPECT_EQ(picker->unreadNum(), 1);
    ASSERT_TRUE(picker->addButton());

    picker->didSelectRowAtIndexPath(*picker->mytableview(), {0, 0});
    driver->pump();
    EXPECT_EQ(markUpsides, 1);
    EXPECT_FALSE(MVTAccount::sharedInstance().newNoti());
    EXPECT_FALSE(picker->myArray()[0].contains("newNotice"));
    EXPECT_EQ(top()->className(), "NotiViewController");
    navigation->popViewController(false);
    picker->didSelectRowAtIndexPath(*picker->mytableview(), {0, 0});
    picker->didSelectRowAtIndexPath(*picker->mytableview(), {0, 1});
    driver->pump();
    EXPECT_EQ(markUpsides, 1);
    EXPECT_EQ(picker->unreadNum(), 0);
}

TEST_F(NoticeScreensTest, AnAdministratorSeesTheReceiverGroupsUnderSchoolNotices) {
    signInNotices("admin");
    auto picker = openPicker();
    EXPECT_EQ(picker->title(), "学校通知");
    EXPECT_TRUE(service().lastRequest("/services/norvo/admin/1101/notice/receiver"));
    EXPECT_EQ(MVTClassCell::rowText(picker->myArray()[0], true), " 高一年级");
}

TEST_F(NoticeScreensTest, PublishingReloadsThePickerAndAWrongReplyLeavesItStanding) {
    signIn("teacher");
    auto picker = openPicker();
    service().setReply("GET", "/services/norvo/teacher/1001/classes", Reply::json({{"list", 1}}));
    NotificationCenter::defaultCenter().postNotification(AllClassViewController::kPublishNewNoti);
    ASSERT_TRUE(pumpUntil([&] { return picker->myArray().empty() && !MVTPublicMethod::isShowingAnimation(picker->view()); }));
    // A row still drawn opens nothing.
    picker->didSelectRowAtIndexPath(*picker->mytableview(), {0, 0});
    EXPECT_EQ(top(), picker);
}

TEST_F(NoticeScreensTest, TheAuthorTicksAndRemindsByTextWhichMarksTheTickedRowsAndKeepsTheTicks) {
    signIn("teacher");
    auto screen = openReadStatus({{"id", 7102}, {"uid", 1001}});
    ASSERT_TRUE(screen->leakButton());
    EXPECT_EQ(screen->numberOfSectionsInTableView(*screen->priTableView()), 1);
    EXPECT_EQ(screen->sectionTitle(0), "未读");
    EXPECT_EQ(screen->choseArray(), std::vector<std::string>(5, "1"));
    screen->leakBtnClicked();
    driver->pump();
    EXPECT_TRUE(screen->isEdit());
    screen->changedChoseArray(1);
    screen->changedChoseArray(3);
    EXPECT_EQ(screen->tickedUids(), "2001,2003,2005");

    auto sms = std::static_pointer_cast<Button>(screen->headView()->viewWithTag(MVTPriNotViewController::kSmsTag));
    screen->NotiBtClicked(*sms);
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(driver->alert()->message(), "发送成功");
    auto sent = service().lastRequest("/services/norvo/class/notice/7102/mobile/sms");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->method, "POST");
    EXPECT_EQ(sent->formValue("uids"), "2001,2003,2005");
    EXPECT_FALSE(screen->isLeak());
    EXPECT_EQ(textOf(screen->unreadList()[0], "smsType"), "mobile");
    EXPECT_FALSE(screen->unreadList()[1].contains("smsType"));
    EXPECT_EQ(MVTPriNotCell::statusPicture(screen->unreadList()[1], MVTPriNotCell::kUnread), "no_read");
    EXPECT_EQ(MVTPriNotCell::statusPicture(screen->unreadList()[0], MVTPriNotCell::kUnread), "messaged");
    EXPECT_EQ(screen->choseArray()[1], "0");
}

TEST_F(NoticeScreensTest, ReadByAllHasOneReadSectionAndARemindingFindsNobody) {
    signIn("teacher");
    service().setReply("GET", "/services/norvo/class/notice/7200/read/user/list",
                       Reply::json({{"read", Json::array({{{"uid", 2001}, {"name", "李明"}}, 5})}}));
    auto screen = openReadStatus({{"id", 7200}, {"uid", 1001}});
    EXPECT_EQ(screen->readList().size(), 1u);
    EXPECT_EQ(screen->sectionTitle(0), "已读");
    screen->sendPriOrMessageNotifinationWithType("pm");
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "没有可以发送的对象");
    EXPECT_FALSE(service().lastRequest("/services/norvo/class/notice/7200/pm/sms"));
}

TEST_F(NoticeScreensTest, OnlyTheTeacherWhoWroteTheNoticeGetsTheReminderButton) {
    signIn("teacher");
    EXPECT_FALSE(openReadStatus({{"id", 7101}, {"uid", "1002"}})->leakButton());
    signIn("student");
    EXPECT_FALSE(openReadStatus({{"id", 7101}, {"uid", 1001}})->leakButton());
}

TEST_F(NoticeScreensTest, AFailedReminderKeepsTheModeAndTheTicks) {
    signIn("teacher");
    auto screen = openReadStatus({{"id", 7102}, {"uid", 1001}});
    screen->leakBtnClicked();
    driver->pump();
    service().setReply("POST", "/services/norvo/class/notice/7102/pm/sms", Reply::text("", "text/plain", 500));
    screen->sendPriOrMessageNotifinationWithType("pm");
    ASSERT_TRUE(pumpUntil([&] { return !screen->HUD() || !screen->HUD()->isShowing(); }));
    EXPECT_TRUE(screen->isLeak());
    EXPECT_FALSE(screen->unreadList()[0].contains("smsType"));
}

TEST_F(NoticeScreensTest, ReceiverGroupsFallIntoSectionsWithCapitalsUnderTheirOwnLetter) {
    const Json items = MVTPersonListViewController::sortedItems(
        Json::array({{{"name", "高一"}}, {{"name", "Zeta组"}}, {{"name", "初二"}}, {{"name", "3班"}}, {{"name", "Alpha组"}}}));
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(textOf(item, "name"));
    EXPECT_EQ(names, (std::vector<std::string>{"3班", "Alpha组", "初二", "高一", "Zeta组"}));
    EXPECT_EQ(textOf(items[0], "firstName"), "#b");
    EXPECT_EQ(textOf(items[3], "firstName"), "gy");
}

TEST_F(NoticeScreensTest, TheAdministratorsPickerSectionsTheGroupsAndRefusesHalfAChoice) {
    signInNotices("admin");
    auto picker = MVTPersonListViewController::initWithArray(Json(), Json());
    showPushed(picker);
    ASSERT_TRUE(pumpUntil([&] { return !picker->titleArray().empty(); }));
    std::vector<std::string> titles = picker->sectionIndexTitlesForTableView(*picker->mytableview());
    EXPECT_EQ(titles, (std::vector<std::string>{"#", "A", "C", "G"}));
    picker->didSelectRowAtIndexPath(*picker->mytableview(), {3, 0});
    picker->sendList();
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "您没有选择接收人身份");
    driver->pressAlertButton(0);
    EXPECT_EQ(textOf(picker->sendArray()[0], "name"), "高一年级");
}

TEST_F(NoticeScreensTest, ATeachersNoticeSendsReceiptFirstThenPermissionsTitleAndContent) {
    signIn("teacher");
    auto composer = openComposer();
    composer->sendBtnClicked(nullptr);
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "请添加接收人后提交");
    driver->pressAlertButton(0);

    composer->reloadDataForReceivers(Json::array({{{"name", "一班"}, {"id", 11}}, {{"name", "李明"}, {"uid", 2001}}}));
    composer->addTableView->layoutIfNeeded();
    composer->mytextField()->setText(std::string(21 * 3, 'a').substr(0, 21));
    composer->sendBtnClicked(nullptr);
    EXPECT_EQ(driver->alert()->message(), "标题不能多于20个字");
    driver->pressAlertButton(0);
    composer->mytextField()->setText("期末考试");
    composer->sendBtnClicked(nullptr);
    EXPECT_EQ(driver->alert()->message(), "请添加内容后提交");
    driver->pressAlertButton(0);

    composer->huizhi();
    composer->textView()->setText("下周一考试");
    int published = 0;
    auto token = NotificationCenter::defaultCenter().addObserver("publishNewNoti", [&](const Notification&) { ++published; });
    composer->sendBtnClicked(nullptr);
    ASSERT_TRUE(pumpUntil([&] { return published == 1; }));
    auto sent = service().lastRequest("/services/norvo/class/notice/1001/publish");
    ASSERT_TRUE(sent);
    EXPECT_EQ(partNames(*sent), (std::vector<std::string>{"receipt", "uid", "permissions", "title", "content"}));
    EXPECT_EQ(part(*sent, "receipt"), "1");
    EXPECT_EQ(part(*sent, "permissions"), "11,2001");

    // The class list now starts with the new notice.
    auto list = NotiViewController::initWithClassDic(Json{{"id", "11"}});
    ASSERT_TRUE(pumpUntil([&] { return !list->isloading(); }));
    EXPECT_EQ(textOf(list->myArray()[0], "title"), "期末考试");
}

TEST_F(NoticeScreensTest, AnAdministratorsNoticeSendsRolesNameAndReceiversInAnyLanguage) {
    signInNotices("admin");
    auto composer = openComposer();
    composer->returnList(Json::array({{{"name", "高一年级"}, {"id", 21}}}), Json::array({"教师", "学生"}));
    EXPECT_EQ(composer->dealSelectedRole(), "(教师、学生)");
    EXPECT_EQ(composer->dealSelectedRoleParam(), "teacher,student");
    composer->addTableView->reloadData();
    composer->addTableView->layoutIfNeeded();
    composer->mytextField()->setText("全校通知");
    ASSERT_TRUE(composer->nameTextField());
    composer->nameTextField()->setText("教务处");
    composer->textView()->setText("内容");
    composer->sendBtnClicked(nullptr);
    ASSERT_TRUE(pumpUntil([&] { return service().lastRequest("/services/norvo/admin/1101/notice/publish").has_value(); }));
    auto sent = *service().lastRequest("/services/norvo/admin/1101/notice/publish");
    EXPECT_EQ(partNames(sent), (std::vector<std::string>{"receipt", "uid", "roles", "name", "receivers", "title", "content"}));
    EXPECT_EQ(part(sent, "receipt"), "0");
    EXPECT_EQ(part(sent, "roles"), "teacher,student");
}

TEST_F(NoticeScreensTest, ARefusedOrFailedSendKeepsTheFormAndTheButton) {
    signIn("teacher");
    auto composer = openComposer();
    composer->reloadDataForReceivers(Json::array({{{"name", "一班"}, {"id", 11}}}));
    composer->addTableView->layoutIfNeeded();
    composer->mytextField()->setText("标题");
    composer->textView()->setText("内容");
    struct Case {
        Reply reply;
        std::string message;
    } cases[] = {{Reply::json({{"success", false}}), "保存失败,请重新发送"},
                 {Reply::json({{"success", 0}}), "保存失败,请重新发送"},
                 {Reply::text("", "text/plain"), "保存失败,请重新发送"},
                 {Reply::text("down", "text/plain", 503), "发送失败,请重新发送"}};
    for (const auto& c : cases) {
        service().setReply("POST", "/services/norvo/class/notice/1001/publish", c.reply);
        composer->sendBtnClicked(nullptr);
        ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
        EXPECT_EQ(driver->alert()->message(), c.message);
        driver->pressAlertButton(0);
        EXPECT_FALSE(composer->issending);
        EXPECT_EQ(composer->mytextField()->text(), "标题");
    }
}

TEST_F(NoticeScreensTest, ChipsAreDeletedOneAtATimeByTheirButton) {
    signIn("teacher");
    auto composer = openComposer();
    composer->reloadDataForReceivers(
        Json::array({{{"name", "一班"}, {"id", 11}}, {{"name", "二班"}, {"id", 12}}, {{"name", "李明"}, {"uid", 2001}},
                     {{"name", "李明家长"}, {"uid", 3001}}}));
    composer->addTableView->layoutIfNeeded();
    EXPECT_EQ(composer->heightForRowAtIndexPath(*composer->addTableView, {0, 2}), 130);
    composer->deleteReceiver(2);
    composer->deleteReceiver(0);
    EXPECT_EQ(composer->selectTag(), 10000);
    composer->cancelBtnClick();
    EXPECT_EQ(composer->recievedArray().size(), 3u);
    EXPECT_EQ(textOf(composer->recievedArray()[0], "name"), "二班");
    composer->addTableView->layoutIfNeeded();
    EXPECT_EQ(composer->heightForRowAtIndexPath(*composer->addTableView, {0, 2}), 110);
}

}  // namespace
