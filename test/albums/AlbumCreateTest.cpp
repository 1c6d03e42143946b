// Album create and edit in their four modes: what each sends, the counters and cuts, the
// refusals that send nothing, the notifications and where each success leads.
#include "AlbumFixture.h"

#include "albums/MVTCreateAlbumViewController.h"
#include "albums/MVTSelectClassOrAlbumViewController.h"
#include "albums/MVTUpAlbumPicViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

using namespace platform;
using sample_service::Reply;
using Create = MVTCreateAlbumViewController;

namespace {

constexpr const char* kGroupSave = "forum/1001/31/41/album/save";

class AlbumCreateTest : public testing_support::AlbumTest {
protected:
    void SetUp() override {
        AlbumTest::SetUp();
        groupReloads = 0;
        reloadToken = NotificationCenter::defaultCenter().addObserver(Create::kReloadGroupAlbumsNotification,
                                                                      [this](const Notification&) { ++groupReloads; });
        newAlbumToken = NotificationCenter::defaultCenter().addObserver(
            MVTUpAlbumPicViewController::kNewAlbumNotification, [this](const Notification& note) { newAlbum = note.object; });
    }
    void TearDown() override {
        reloadToken.reset();
        newAlbumToken.reset();
        AlbumTest::TearDown();
    }
    std::shared_ptr<Create> open(const std::string& role, std::shared_ptr<Json> album = nullptr,
                                 const std::string& forum = "", const std::string& field = "") {
        signIn(role);
        screen = std::make_shared<Create>();
        screen->setAlbumDic(std::move(album));
        screen->setForumId(forum);
        screen->setFieldId(field);
        showPushed(screen);
        return screen;
    }
    void typeInto(const std::shared_ptr<TextView>& field, const std::string& text) {
        field->becomeFirstResponder();
        field->setText("");
        driver->type(text);
    }
    std::string alertTitle() {
        auto alert = driver->alert();
        return alert ? alert->title() : "(none)";
    }
    std::string alertMessage() {
        auto alert = driver->alert();
        return alert ? alert->message() : "(none)";
    }
    void dismissAlert() {
        if (driver->alert()) driver->pressAlertButton(0);
        driver->settle();
    }
    std::string formOf(const std::string& path, const std::string& name) {
        auto sent = requestsTo(path);
        return sent.empty() ? "(none)" : textOfOptional(sent.back().formValue(name));
    }
    static std::map<std::string, std::string> partsOf(const sample_service::RecordedRequest& request) {
        std::map<std::string, std::string> parts;
        for (const auto& part : request.parts) parts[part.name] = part.bytes;
        return parts;
    }

    std::shared_ptr<Create> screen;
    int groupReloads = 0;
    Json newAlbum;
    ObserverToken reloadToken, newAlbumToken;
};

TEST_F(AlbumCreateTest, ATeacherMustChooseAClassAndEveryoneMustNameTheAlbum) {
    open("teacher");
    ASSERT_TRUE(screen->classBtn());
    EXPECT_EQ(screen->classLa()->text(), "请选择班级");
    screen->doneCreateAlbum();
    EXPECT_EQ(alertTitle(), "请选择班级");
    dismissAlert();
    screen->whichSelectdWith("一年级1班", "11");
    EXPECT_EQ(screen->classLa()->text(), "一年级1班");
    screen->doneCreateAlbum();
    EXPECT_EQ(alertTitle(), "请填写相册名称");
    dismissAlert();
    driver->pump();
    EXPECT_TRUE(requestsTo("class/11/1001/album/add").empty());

    // The class row opens the chooser of classes with the current one ticked.
    driver->tap(screen->classBtn());
    driver->settle();
    auto chooser = std::dynamic_pointer_cast<MVTSelectClassOrAlbumViewController>(top());
    ASSERT_TRUE(chooser);
    EXPECT_EQ(chooser->idStr(), "11");
}

TEST_F(AlbumCreateTest, CountersCountUtf16UnitsAndLeavingTheFieldCutsTheText) {
    open("teacher");
    typeInto(screen->nameTextView(), "一二三四五六七八九十一二三四五六七八九十");
    EXPECT_EQ(screen->nameLimitLa()->text(), "最多15字 已输入20字");
    screen->detailsTextView()->becomeFirstResponder();
    EXPECT_EQ(utf16Length(screen->nameTextView()->text()), 15u);
    EXPECT_EQ(screen->nameLimitLa()->text(), "最多15字");
    driver->type(std::string(31, 'a'));
    EXPECT_EQ(screen->detailLimitLa()->text(), "选填 最多30字 已输入31字");
    driver->settle();
    EXPECT_EQ(screen->bgView()->frame().y(), -90);
    screen->toDoneKeyboard();
    driver->settle();
    EXPECT_EQ(screen->detailsTextView()->text(), std::string(30, 'a'));
    EXPECT_EQ(screen->bgView()->frame().y(), 0);
    // An emoji is two units.
    typeInto(screen->nameTextView(), "😀a");
    EXPECT_EQ(screen->nameLimitLa()->text(), "最多15字 已输入3字");
}

TEST_F(AlbumCreateTest, AStudentsClassAlbumGoesToClassMinusOneAndYesOpensTheUpload) {
    const std::string path = "class/-1/2001/album/add";
    service().setReply("POST", servicePath(path), Reply::json({{"success", 1}, {"albumId", 880}}));
    open("student");
    EXPECT_FALSE(screen->classBtn());
    EXPECT_EQ(screen->classId(), "-1");
    typeInto(screen->nameTextView(), "运动会");
    screen->doneCreateAlbum();
    ASSERT_TRUE(waitFor(path, 1, screen->view()));
    EXPECT_EQ(formOf(path, "power"), "3");
    EXPECT_EQ(formOf(path, "name"), "运动会");
    EXPECT_EQ(formOf(path, "description"), "");
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(alertTitle(), "创建成功，是否添加图片？");
    EXPECT_EQ(groupReloads, 0);
    EXPECT_EQ(screen->newAlbumId(), "880");
    EXPECT_FALSE(screen->navigationItem().rightBarButtonItem());
    driver->pressAlertButton(1);
    driver->settle();
    auto upload = std::dynamic_pointer_cast<MVTUpAlbumPicViewController>(top());
    ASSERT_TRUE(upload);
    EXPECT_EQ(upload->albumId(), "880");
}

TEST_F(AlbumCreateTest, FromTheChooserANewAlbumIsAnnouncedAndTheUploadIsShownAgain) {
    const std::string path = "class/12/1001/album/add";
    service().setReply("POST", servicePath(path), Reply::json({{"success", "1"}, {"albumId", "881"}}));
    signIn("teacher");
    auto upload = showPushed(std::make_shared<MVTUpAlbumPicViewController>());
    upload->toSelectAlbum();
    driver->settle();
    auto chooser = std::dynamic_pointer_cast<MVTSelectClassOrAlbumViewController>(top());
    ASSERT_TRUE(chooser);
    chooser->createNewAlbum();
    driver->settle();
    screen = std::dynamic_pointer_cast<Create>(top());
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->view()->accessibilityValue(), Create::kUpNewAlbumMarker);
    screen->whichSelectdWith("一年级2班", "12");
    typeInto(screen->nameTextView(), "春游");
    screen->doneCreateAlbum();
    ASSERT_TRUE(waitFor(path, 1, screen->view()));
    driver->settle();
    EXPECT_EQ(newAlbum, (Json{{"name", "春游"}, {"id", "881"}}));
    EXPECT_EQ(top(), upload);
    EXPECT_FALSE(driver->alert());
}

TEST_F(AlbumCreateTest, RefusedOrUnusableCreateRepliesKeepTheFormAndTheDoneButton) {
    const std::string path = "class/11/1001/album/add";
    struct Case {
        Reply reply;
        const char* shown;
    } cases[] = {
        {Reply::json({{"success", 0}, {"message", "相册名称已存在"}}), "相册名称已存在"},
        {Reply::json({{"success", false}}), "创建相册失败"},
        {Reply::json(Json::array({1, 2})), "创建相册失败"},
        {Reply::text("<html>error</html>", "text/html"), "创建相册失败"},
        {Reply::json({{"success", 1}}, 500), "创建相册失败"},
    };
    for (const auto& c : cases) {
        service().setReply("POST", servicePath(path), c.reply);
        open("teacher");
        screen->whichSelectdWith("一年级1班", "11");
        typeInto(screen->nameTextView(), "相册");
        const auto before = requestsTo(path).size();
        screen->doneCreateAlbum();
        ASSERT_TRUE(waitFor(path, before + 1, screen->view()));
        ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
        EXPECT_EQ(alertTitle(), c.shown);
        EXPECT_TRUE(screen->rightBtn()->isUserInteractionEnabled());
        EXPECT_TRUE(screen->navigationItem().rightBarButtonItem());
        EXPECT_EQ(screen->nameTextView()->text(), "相册");
        dismissAlert();
    }
    // Offline nothing is sent and the button works again.
    Reachability::setOverride(ReachabilityState::offline());
    const auto before = requestsTo(path).size();
    screen->doneCreateAlbum();
    driver->pump();
    EXPECT_EQ(requestsTo(path).size(), before);
    EXPECT_TRUE(screen->rightBtn()->isUserInteractionEnabled());
}

TEST_F(AlbumCreateTest, AGroupAlbumIsOneMultipartFormAndItsCreateReloadsTheGroupList) {
    service().setReply("POST", servicePath(kGroupSave), Reply::json({{"success", 1}, {"id", 990}}));
    open("teacher", nullptr, "31", "41");
    EXPECT_FALSE(screen->classBtn());
    typeInto(screen->nameTextView(), "群活动");
    screen->doneCreateAlbum();
    ASSERT_TRUE(waitFor(kGroupSave, 1, screen->view()));
    const auto parts = partsOf(requestsTo(kGroupSave).back());
    EXPECT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts.at("name"), "群活动");
    EXPECT_EQ(parts.at("description"), "");
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(groupReloads, 1);
    EXPECT_EQ(screen->newAlbumId(), "990");
    driver->pressAlertButton(0);
    driver->settle();
    EXPECT_NE(top(), screen);
}

TEST_F(AlbumCreateTest, AGroupEditSendsOnlyChangesAndHandsThemBackInTheAlbum) {
    auto album = std::make_shared<Json>(Json{{"id", 700}, {"name", "旧名"}, {"description", "旧的描述"}});
    open("teacher", album, "31", "41");
    EXPECT_EQ(screen->nameTextView()->text(), "旧名");
    EXPECT_EQ(screen->nameLimitLa()->text(), "最多15字 已输入2字");
    screen->doneCreateAlbum();
    EXPECT_EQ(alertTitle(), "提示");
    EXPECT_EQ(alertMessage(), "相册信息未更改");
    dismissAlert();
    EXPECT_TRUE(requestsTo(kGroupSave).empty());

    service().setReply("POST", servicePath(kGroupSave), Reply::json({{"success", 0}, {"msg", "无权修改"}}));
    screen->nameTextView()->setText("新名");
    screen->doneCreateAlbum();
    ASSERT_TRUE(waitFor(kGroupSave, 1, screen->view()));
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(alertTitle(), "无权修改");
    EXPECT_EQ(textOf(*album, "name"), "旧名");
    dismissAlert();

    service().setReply("POST", servicePath(kGroupSave), Reply::json({{"success", 1}}));
    screen->doneCreateAlbum();
    ASSERT_TRUE(waitFor(kGroupSave, 2, screen->view()));
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(alertTitle(), "编辑相册成功");
    const auto parts = partsOf(requestsTo(kGroupSave).back());
    EXPECT_EQ(parts.at("id"), "700");
    EXPECT_EQ(parts.at("name"), "新名");
    EXPECT_EQ(textOf(*album, "name"), "新名");
    EXPECT_EQ(textOf(*album, "description"), "旧的描述");
    EXPECT_EQ(groupReloads, 1);
    // Its button leaves the screen.
    driver->pressAlertButton(0);
    driver->settle();
    EXPECT_NE(top(), screen);
}

TEST_F(AlbumCreateTest, AClassEditSendsPowerThreeCutsItsTextsAndRefusesAnEmptyName) {
    auto album = std::make_shared<Json>(
        Json{{"id", 502}, {"name", "春游"}, {"description", ""}, {"classId", 11}, {"classFullName", "一年级1班"}});
    const std::string path = "class/502/1001/album/edit";
    service().setReply("POST", servicePath(path), Reply::json({{"success", 1}}));
    open("teacher", album);
    EXPECT_EQ(screen->title(), "编辑相册");
    ASSERT_TRUE(screen->classBtn());
    EXPECT_EQ(screen->classLa()->text(), "一年级1班");
    EXPECT_FALSE(screen->classBtn()->isUserInteractionEnabled());
    EXPECT_EQ(screen->classId(), "11");

    typeInto(screen->nameTextView(), "");
    screen->doneCreateAlbum();
    EXPECT_EQ(alertTitle(), "请填写相册名称");
    dismissAlert();
    EXPECT_TRUE(requestsTo(path).empty());

    typeInto(screen->nameTextView(), "一二三四五六七八九十一二三四五六七八九十");
    screen->doneCreateAlbum();
    ASSERT_TRUE(waitFor(path, 1, screen->view()));
    EXPECT_EQ(formOf(path, "power"), "3");
    EXPECT_EQ(formOf(path, "name"), "一二三四五六七八九十一二三四五");
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(alertTitle(), "编辑相册成功");
    EXPECT_EQ(groupReloads, 0);
    EXPECT_EQ(textOf(*album, "name"), "春游");

    service().setReply("POST", servicePath(path), Reply::json({{"success", "0"}}));
    dismissAlert();
    open("teacher", album);
    screen->doneCreateAlbum();
    ASSERT_TRUE(waitFor(path, 2, screen->view()));
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(alertTitle(), "编辑相册失败");
    EXPECT_TRUE(screen->rightBtn()->isUserInteractionEnabled());
}

}  // namespace
