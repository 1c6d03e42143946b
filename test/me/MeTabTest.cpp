// The Me tab: its header by role, the screens of its rows, the avatar change through the
// picker and the crop, and the change of user.

#include "SpaceFixture.h"

#include "albums/MVTCropImageNewViewController.h"
#include "me/MVTAboutTirraViewController.h"
#include "me/MVTUniversalViewSettingViewController.h"
#include "me/MVTUserSettingViewController.h"

#include "account/MVTAccountManagementViewController.h"
#include "composer/MVTSaveDynamicViewController.h"
#include "details/MVTRelevantMeViewController.h"
#include "shell/MyTabBarController.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Label.h"

using namespace platform;
using sample_service::Reply;
using testing_support::SpaceTest;

namespace {

class MeTabTest : public SpaceTest {
protected:
    void TearDown() override {
        ImagePickerController::resetSources();
        SpaceTest::TearDown();
    }
    std::shared_ptr<MVTUserSettingViewController> openMe() {
        auto me = std::make_shared<MVTUserSettingViewController>();
        navigation = myNavigationController::withRoot(me);
        driver->show(navigation);
        driver->pump();
        return me;
    }
    static std::shared_ptr<TableViewCell> row(MVTUserSettingViewController& me, int section, int index) {
        return me.settingTable()->cellForRowAtIndexPath({section, index});
    }
    static std::shared_ptr<Label> headerLabel(MVTUserSettingViewController& me, int tag) {
        auto cell = row(me, 0, 0);
        return cell ? std::dynamic_pointer_cast<Label>(cell->viewWithTag(tag)) : nullptr;
    }
    // The root of the stack presented over the Me tab.
    static std::shared_ptr<ViewController> presentedRoot(MVTUserSettingViewController& me) {
        auto stack = std::dynamic_pointer_cast<NavigationController>(me.presentedViewController());
        return stack && !stack->viewControllers().empty() ? stack->viewControllers().front() : nullptr;
    }
    // A picture in the photo library stand-in.
    std::filesystem::path libraryPicture() {
        const auto file = Paths::documentsDirectory() / "library" / "photo.png";
        EXPECT_TRUE(writeFileAtomically(file, Image::imageWithColor(Color::rgb255(200, 40, 40), {30, 20})->pngData()));
        ImagePickerController::setSourceFiles(ImagePickerSourceType::PhotoLibrary, {file});
        return file;
    }
    // "相册" from the avatar's sheet, the first picture of the library, and the wait for
    // the upload to start 0.05 s after the crop.
    void pickAvatar(MVTUserSettingViewController& me) {
        libraryPicture();
        me.iconBtnClick();
        auto sheet = ActionSheet::topSheet();
        ASSERT_TRUE(sheet);
        sheet->clickButtonAtIndex(sheet->firstOtherButtonIndex() + 1);
        driver->pump();
        auto picker = std::dynamic_pointer_cast<ImagePickerController>(me.presentedViewController());
        ASSERT_TRUE(picker);
        ASSERT_TRUE(picker->pickFileAtIndex(0));
        // The picker leaves for the square crop screen, whose "上传" hands the picture
        // back; the upload follows 0.05 s later.
        driver->settle();
        auto stack = std::dynamic_pointer_cast<NavigationController>(me.presentedViewController());
        ASSERT_TRUE(stack);
        auto crop = std::dynamic_pointer_cast<MVTCropImageNewViewController>(stack->topViewController());
        ASSERT_TRUE(crop);
        ASSERT_TRUE(crop->originImg());
        EXPECT_EQ(crop->originImg()->orientation(), ImageOrientation::Up);
        crop->sendAction();
        driver->settle();
        ASSERT_FALSE(me.presentedViewController());
    }
};

TEST_F(MeTabTest, HeaderTextsFollowTheRole) {
    struct Case {
        const char* role;
        double nameY;
        const char* level;    // "" : no level line
        const char* missing;  // "" : none
        const char* words;    // "" : no points line
        const char* points;
    };
    const Case cases[] = {
        {"parent", 27, "", "", "", ""},
        {"student", 10, "LV3(5分)", "还差40分升级", "", ""},
        {"teacher", 10, "", "", "经验积分: ", "40"},
        {"system", 10, "", "", "经验积分: ", "40"},
    };
    auto& account = MVTAccount::sharedInstance();
    account.setUserLvl("3");
    account.setUserIntegralGet("5");
    account.setUserIntegral("40");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.role);
        account.setRole(c.role);
        auto me = openMe();
        auto name = headerLabel(*me, MVTUserSettingViewController::kNameLabelTag);
        ASSERT_TRUE(name);
        EXPECT_EQ(name->text(), "李明");
        EXPECT_EQ(name->frame().y(), c.nameY);
        auto text = [&](int tag) {
            auto label = headerLabel(*me, tag);
            return label ? label->text() : std::string();
        };
        EXPECT_EQ(text(MVTUserSettingViewController::kLevelLabelTag), c.level);
        EXPECT_EQ(text(MVTUserSettingViewController::kMissingLabelTag), c.missing);
        EXPECT_EQ(text(MVTUserSettingViewController::kPointsLabelTag), c.words);
        EXPECT_EQ(text(MVTUserSettingViewController::kPointsValueLabelTag), c.points);
        if (*c.words) {
            EXPECT_EQ(headerLabel(*me, MVTUserSettingViewController::kPointsLabelTag)->textColor(),
                      Color::rgb255(170, 170, 170));
            EXPECT_EQ(headerLabel(*me, MVTUserSettingViewController::kPointsValueLabelTag)->textColor(),
                      Color::rgb255(244, 168, 39));
        }
        // The avatar is there for every role, with whose picture it is.
        auto avatar = row(*me, 0, 0)->viewWithTag(MVTUserSettingViewController::kAvatarButtonTag);
        ASSERT_TRUE(avatar);
        EXPECT_EQ(avatar->accessibilityHint(), "2001");
        EXPECT_EQ(avatar->accessibilityValue(), c.role);
    }
}

TEST_F(MeTabTest, EveryRowPresentsItsScreenAndASystemAccountHasNoSpace) {
    auto me = openMe();
    ASSERT_EQ(me->setInfoArray(), (std::vector<std::string>{"动态", "与我相关", "草稿箱", "账号管理", "系统设置", "关于岚溪"}));
    struct Case {
        IndexPath path;
        std::string className;
    };
    const Case cases[] = {{{0, 0}, "MVTTimeSpaceViewController"},
                          {{1, 0}, "MVTTimeSpaceViewController"},
                          {{1, 1}, "MVTRelevantMeViewController"},
                          {{1, 2}, "MVTSaveDynamicViewController"},
                          {{1, 3}, "MVTAccountManagementViewController"},
                          {{1, 4}, "MVTUniversalViewSettingViewController"},
                          {{1, 5}, "MVTAboutTirraViewController"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.className);
        me->didSelectRowAtIndexPath(*me->settingTable(), c.path);
        driver->pump();
        auto screen = presentedRoot(*me);
        ASSERT_TRUE(screen);
        EXPECT_EQ(screen->className(), c.className);
        if (auto space = std::dynamic_pointer_cast<MVTTimeSpaceViewController>(screen)) {
            EXPECT_EQ(space->userDict(), (Json{{"id", "2001"}, {"name", "李明"}, {"role", "student"}}));
        }
        me->dismissViewController(false);
        driver->pump();
    }
    MVTAccount::sharedInstance().setRole("system");
    for (IndexPath path : {IndexPath{0, 0}, IndexPath{1, 0}}) {
        me->didSelectRowAtIndexPath(*me->settingTable(), path);
        driver->pump();
        EXPECT_FALSE(me->presentedViewController());
    }
}

TEST_F(MeTabTest, TheRelevantCountRedrawsTheFeedRowWithoutABadge) {
    auto me = openMe();
    auto before = row(*me, 1, 0);
    MVTAccount::sharedInstance().setNewRelevantMe(5);
    me->reloadRelativeAndCommentCount();
    auto after = row(*me, 1, 0);
    ASSERT_TRUE(after);
    EXPECT_NE(after, before);
    std::vector<std::string> texts;
    std::function<void(const View&)> collect = [&](const View& v) {
        if (auto* label = dynamic_cast<const Label*>(&v); label && !label->text().empty()) texts.push_back(label->text());
        for (const auto& sub : v.subviews()) collect(*sub);
    };
    collect(*after);
    EXPECT_EQ(texts, std::vector<std::string>{"动态"});
}

TEST_F(MeTabTest, AnAvatarFromTheLibraryIsUploadedCachedAndShown) {
    auto me = openMe();
    const std::string cache = MVTUserSettingViewController::avatarFile("2001");
    ASSERT_TRUE(writeFileAtomically(cache, "old"));
    auto header = row(*me, 0, 0);
    pickAvatar(*me);
    ASSERT_TRUE(pumpUntil([&] { return countTo("user/2001/avatar/upload") == 1; }));
    const auto upload = requestsTo("user/2001/avatar/upload").front();
    ASSERT_EQ(upload.parts.size(), 1u);
    EXPECT_EQ(upload.parts[0].name, "image");
    EXPECT_EQ(percentDecode(upload.parts[0].fileName), "来自" + MVTPublicMethod::currentDevicemodel() + "的头像图片.png");
    auto sent = Image::imageWithData(upload.parts[0].bytes);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->size(), Size(30, 20));
    ASSERT_TRUE(pumpUntil([&] { return row(*me, 0, 0) != header; }));
    auto cached = readFile(cache);
    ASSERT_TRUE(cached);
    EXPECT_NE(*cached, "old");
    EXPECT_TRUE(Image::imageWithData(*cached));
    EXPECT_TRUE(fileExists(Paths::documentsDirectory() / "settingImage" / "icon.png"));
    EXPECT_FALSE(AlertView::topAlert());
}

TEST_F(MeTabTest, AvatarFailuresKeepTheCacheAndSay) {
    struct Case {
        const char* name;
        Reply reply;
        bool fails;
    };
    const Case cases[] = {
        {"false success", Reply::json({{"success", false}}), true},
        {"server error", Reply::text("oops", "text/plain", 500), true},
        // Any other body of a good status is a done upload.
        {"not JSON", Reply::text("<html>ok</html>"), false},
        {"huge", Reply::text(std::string(3 * 1024 * 1024, 'x')), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AlertView::clearVisible();
        service().setReply("POST", "services/norvo/user/2001/avatar/upload", c.reply);
        const std::string cache = MVTUserSettingViewController::avatarFile("2001");
        // A fresh picture: the header shows it and fetches nothing.
        const std::string old = Image::imageWithColor(Color::rgb255(1, 2, 3), {4, 4})->pngData();
        ASSERT_TRUE(writeFileAtomically(cache, old));
        auto me = openMe();
        const std::size_t before = countTo("user/2001/avatar/upload");
        pickAvatar(*me);
        ASSERT_TRUE(pumpUntil([&] { return countTo("user/2001/avatar/upload") == before + 1 && !hudShowing(me->view()); }));
        if (c.fails) {
            ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
            EXPECT_EQ(AlertView::topAlert()->message(), "更改头像失败,请重新更改");
            EXPECT_TRUE(readFile(cache).value_or("") == old);
        } else {
            ASSERT_TRUE(pumpUntil([&] { return readFile(cache).value_or(old) != old; }));
            EXPECT_FALSE(AlertView::topAlert());
        }
    }
}

TEST_F(MeTabTest, NoCameraAndNoCropSendNothing) {
    auto me = openMe();
    me->takePhoto();
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->message(), "设备没有照相功能");
    me->cropImageViewControllerDidFinished(nullptr);
    advance(1);
    driver->pump();
    EXPECT_EQ(countTo("user/2001/avatar/upload"), 0u);
}

TEST_F(MeTabTest, ChangeOfUserDropsTheTablesAndShowsAnEmptyLogin) {
    MVTtirraDataBase::insertUsersTableWithDic({{"userName", "liming"}, {"password", "pw"}, {"userId", "2001"}});
    MVTtirraDataBase::insertUserNewsSettingWithDic({{"news", "1"}, {"defaultTime", "60"}}, "2001");
    MVTtirraDataBase::insertUserNewsSettingWithDic({{"news", "1"}, {"defaultTime", "60"}}, "1001");
    saveSignedInUser(teacherReply(), "wang", "pw");
    auto me = openMe();
    ASSERT_TRUE(me->quitButton());
    EXPECT_EQ(me->quitButton()->titleForState(ControlStateNormal), "更改用户");
    driver->tap(me->quitButton());
    driver->pump();
    EXPECT_TRUE(MVTtirraDataBase::selectUsersTableData().empty());
    EXPECT_TRUE(MVTtirraDataBase::selectUserNewsSettingDataWith("2001").empty());
    EXPECT_TRUE(MVTtirraDataBase::selectUserNewsSettingDataWith("1001").empty());
    EXPECT_FALSE(MVTtirraDataBase::selectSaveUserTableData().is_object() &&
                 !MVTtirraDataBase::selectSaveUserTableData().empty());
    ASSERT_TRUE(app->loginViewController());
    EXPECT_FALSE(MVTAccount::sharedInstance().userId().has_value());
}

TEST_F(MeTabTest, AnotherUserOnShowingRebuildsTheBarAndSelectsTheFeed) {
    auto me = std::make_shared<MVTUserSettingViewController>();
    std::vector<std::shared_ptr<ViewController>> stacks;
    for (int i = 0; i < 5; ++i)
        stacks.push_back(myNavigationController::withRoot(i == 3 ? std::static_pointer_cast<ViewController>(me)
                                                                  : std::make_shared<ViewViewController>()));
    auto tabs = std::make_shared<MyTabBarController>();
    tabs->addMyitems();
    tabs->setViewControllers(stacks);
    tabs->setSelectedIndex(0);
    driver->show(tabs);
    driver->pump();
    tabs->setSelectedIndex(3);
    driver->pump();
    EXPECT_EQ(me->oldUserId(), 2001);
    EXPECT_EQ(tabs->selectedIndex(), 3);
    tabs->setSelectedIndex(0);
    signIn("1001");
    tabs->setSelectedIndex(3);
    driver->pump();
    EXPECT_EQ(me->oldUserId(), 1001);
    EXPECT_EQ(tabs->selectedIndex(), 0);
}

}  // namespace
