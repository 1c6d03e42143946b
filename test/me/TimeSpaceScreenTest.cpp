// The personal space screen against the sample service: pages, the header's figures and
// pull, the add-friend button, the cover version, preview mode and bad replies.

#include "SpaceFixture.h"

#include "albums/ImageCropperView.h"
#include "albums/MVTCropImageNewViewController.h"
#include "me/MVTChageBgImageViewController.h"
#include "me/MVTPathView.h"
#include "me/MVTPrivacySettingViewController.h"

#include "core/MVTPublicMethod.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;
using testing_support::SpaceTest;

namespace {

Json posts(int count, int from = 1) {
    Json list = Json::array();
    for (int i = 0; i < count; ++i)
        list.push_back({{"id", from + i}, {"uid", 1001}, {"content", "第" + std::to_string(from + i) + "条"},
                        {"dateline", 1767500000 - i * 3600}});
    return list;
}

Json spaceInfo(Json friendStatus = nullptr) {
    return {{"essayCount", 42}, {"viewCount", 7}, {"status", "认真备课中"}, {"role", "teacher"},
            {"friendStatus", friendStatus}, {"dateline", 1767000001}};
}

class TimeSpaceScreenTest : public SpaceTest {
protected:
    void TearDown() override {
        ImagePickerController::resetSources();
        SpaceTest::TearDown();
    }
    const std::string listPath = "user/2001/space/1001/feed/list";
    void answerPages(std::vector<Json> pages) {
        auto shared = std::make_shared<std::vector<Json>>(std::move(pages));
        service().route("GET", "services/norvo/" + listPath, [shared](const RecordedRequest& request) {
            const std::size_t page = std::stoul(request.queryValue("page").value_or("1"));
            Json list = page <= shared->size() ? (*shared)[page - 1] : Json::array();
            return Reply::json({{"spaceInfo", spaceInfo()}, {"list", list}, {"success", 1}});
        });
    }
    std::string footerTitle(MVTTimeSpaceViewController& space) {
        return space.loadMoreButton()->titleForState(ControlStateNormal);
    }
};

TEST_F(TimeSpaceScreenTest, PagesOfTwentyKeepLoadingAndNineteenEndIt) {
    answerPages({posts(20), posts(19, 21)});
    auto space = openSpace("1001");
    ASSERT_EQ(space->dataArray().size(), 20u);
    EXPECT_EQ(footerTitle(*space), "点击加载更多");
    EXPECT_EQ(space->currentPage(), 2);
    const auto first = requestsTo(listPath).front();
    EXPECT_EQ(first.queryValue("limit"), "20");
    EXPECT_EQ(first.queryValue("page"), "1");
    space->loadMore();
    ASSERT_TRUE(pumpUntil([&] { return !space->isMoring(); }));
    EXPECT_EQ(space->dataArray().size(), 39u);
    EXPECT_EQ(requestsTo(listPath).back().queryValue("page"), "2");
    EXPECT_EQ(footerTitle(*space), "已经加载全部");
    EXPECT_FALSE(space->loadMoreButton()->isEnabled());
    // Reaching the last row now asks for nothing more.
    const std::size_t before = countTo(listPath);
    space->willDisplayCell(*space->tableView(), *std::make_shared<TableViewCell>(), {0, 38});
    driver->pump();
    EXPECT_EQ(countTo(listPath), before);
    // A refresh starts again from page 1 and keeps only the first page.
    space->headView()->setRefresh(true);
    space->scrollViewDidEndDecelerating(*space->tableView());
    ASSERT_TRUE(pumpUntil([&] { return !space->isLoading(); }));
    EXPECT_EQ(requestsTo(listPath).back().queryValue("page"), "1");
    EXPECT_EQ(space->dataArray().size(), 20u);
    EXPECT_EQ(space->currentPage(), 2);
}

TEST_F(TimeSpaceScreenTest, HeaderShowsFiguresAndTheFooterHidesWhileEmpty) {
    answerPages({Json::array()});
    auto space = openSpace("1001");
    EXPECT_TRUE(space->dataArray().empty());
    space->tableView()->reloadData();
    space->tableView()->numberOfRowsInSection(0);
    EXPECT_TRUE(space->loadMoreButton()->isHidden());
    EXPECT_EQ(space->headView()->tuShuoCountLabel()->text(), "42");
    EXPECT_EQ(space->headView()->scanCountLabel()->text(), "7");
    EXPECT_EQ(space->headView()->userSignLabel()->text(), "认真备课中");
    EXPECT_EQ(space->title(), "个人动态");
    // The first appearance stopped the first load's spinner.
    EXPECT_FALSE(space->headView()->activityIndicator()->isAnimating());
}

TEST_F(TimeSpaceScreenTest, FeedErrorEmptiesTheListAndStopsFurtherRefreshes) {
    signIn("2001");
    service().route("GET", "services/norvo/" + listPath, [](const RecordedRequest&) {
        return Reply::json({{"spaceInfo", spaceInfo()}, {"feedError", "无访问权限"}});
    });
    auto space = openSpace("1001", false);
    ASSERT_TRUE(pumpUntil([&] { return countTo(listPath) == 1 && !space->headView()->isLoading(); }));
    driver->pump();
    EXPECT_TRUE(space->dataArray().empty());
    EXPECT_TRUE(space->headView()->userSignLabel()->isHidden());
    EXPECT_TRUE(space->headView()->tuShuoCountLabel()->isHidden());
    EXPECT_TRUE(space->isLoading());
    space->refreshTimeline();
    driver->pump();
    EXPECT_EQ(countTo(listPath), 1u);
}

TEST_F(TimeSpaceScreenTest, SampleServiceKeepsAPrivateSpaceFromOthers) {
    signIn("1001");
    auto space = openSpace("3001", false);
    ASSERT_TRUE(pumpUntil([&] { return countTo("user/1001/space/3001/feed/list") == 1; }));
    driver->pump();
    pumpUntil([&] { return space->headView()->userSignLabel()->isHidden(); }, 3);
    EXPECT_TRUE(space->headView()->userSignLabel()->isHidden());
    EXPECT_TRUE(space->dataArray().empty());
}

TEST_F(TimeSpaceScreenTest, AddFriendOnlyWhereNobodyIsAParentAndNoRelationExists) {
    struct Case {
        const char* signedIn;
        Json info;
        bool button;
    } cases[] = {
        {"2001", spaceInfo(nullptr), true},
        {"2001", spaceInfo(0), false},
        {"2001", spaceInfo(1), false},
        {"2001", spaceInfo(""), false},
        {"3001", spaceInfo(nullptr), false},
        {"2001", [] { Json info = spaceInfo(nullptr); info["role"] = "parent"; return info; }(), false},
    };
    for (const auto& c : cases) {
        signIn(c.signedIn);
        const Json info = c.info;
        service().route("GET", "services/norvo/user/%@/space/1001/feed/list", [info](const RecordedRequest&) {
            return Reply::json({{"spaceInfo", info}, {"list", posts(1)}});
        });
        auto space = openSpace("1001");
        EXPECT_EQ(space->addFriendButton() != nullptr, c.button) << c.signedIn << " " << c.info.dump();
        EXPECT_EQ(space->navigationItem().rightBarButtonItem() != nullptr, c.button) << c.info.dump();
    }
}

TEST_F(TimeSpaceScreenTest, ApplicationOfTwentyUnitsIsSentAndTwentyOneIsAskedAgain) {
    answerPages({posts(3)});
    service().route("GET", "services/norvo/" + listPath, [](const RecordedRequest&) {
        return Reply::json({{"spaceInfo", spaceInfo(nullptr)}, {"list", posts(3)}});
    });
    service().setReply("POST", "services/norvo/2001/friend/1001/apply", Reply::json({{"success", 1}}));
    auto space = openSpace("1001");
    ASSERT_TRUE(space->addFriendButton());
    const std::string twenty = "我是李明请通过我的好友申请谢谢王老师您好";
    ASSERT_EQ(utf16Length(twenty), 20u);
    space->addFriend();
    auto alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), 203);
    alert->textFieldAtIndex(0)->setText(twenty + "!");
    alert->clickButtonAtIndex(1);
    alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "你所添加的申请信息超出20字符限定,请删除多余的字符");
    EXPECT_EQ(alert->textFieldAtIndex(0)->text(), twenty + "!");
    EXPECT_EQ(countTo("2001/friend/1001/apply"), 0u);
    alert->textFieldAtIndex(0)->setText(twenty);
    alert->clickButtonAtIndex(1);
    ASSERT_TRUE(pumpUntil([&] { return countTo("2001/friend/1001/apply") == 1 && !hudShowing(space->view()); }));
    driver->pump();
    EXPECT_EQ(requestsTo("2001/friend/1001/apply").front().formValue("script"), twenty);
    EXPECT_FALSE(space->navigationItem().rightBarButtonItem());
}

TEST_F(TimeSpaceScreenTest, ARefusedApplicationIsAFailureNotASuccess) {
    service().route("GET", "services/norvo/" + listPath, [](const RecordedRequest&) {
        return Reply::json({{"spaceInfo", spaceInfo(nullptr)}, {"list", posts(1)}});
    });
    service().setReply("POST", "services/norvo/2001/friend/1001/apply", Reply::json({{"success", false}}));
    auto space = openSpace("1001");
    space->addFriend();
    auto alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    alert->clickButtonAtIndex(1);
    ASSERT_TRUE(pumpUntil([&] {
        auto top = AlertView::topAlert();
        return top && top->message() == "请求添加好友失败";
    }));
    EXPECT_TRUE(space->navigationItem().rightBarButtonItem());
}

TEST_F(TimeSpaceScreenTest, CoverIsFetchedOnTheFirstVisitOnlyAndKeptUnderTheOwner) {
    answerPages({posts(2)});
    const std::string cover = "space/1001/frontcover";
    auto covers = [&] {
        std::size_t n = 0;
        for (const auto& r : service().requests()) n += r.path == "/" + cover;
        return n;
    };
    openSpace("1001");
    ASSERT_TRUE(pumpUntil([&] {
        return UserDefaults::standard().stringForKey("1001_spaceBGDateLine").value_or("") == "1767000001";
    }));
    EXPECT_EQ(covers(), 1u);
    EXPECT_TRUE(MVTPublicMethod::fileExistsAtPath(MVTTimeSpaceViewController::coverFile("1001")));
    // A second visit with the same version fetches nothing and shows the kept cover.
    auto again = openSpace("1001");
    driver->pump();
    EXPECT_EQ(covers(), 1u);
    EXPECT_TRUE(again->headView()->img_banner()->image());
}

TEST_F(TimeSpaceScreenTest, PreviewBlocksTheScreenAndBackReturnsToTheChooser) {
    signIn("1001");
    auto space = openSpace("1001");
    const std::size_t pages = countTo("user/1001/space/1001/feed/list");
    // The cover sheet's "更换背景" pushes the chooser; its "星空" hands the preview back.
    space->goToChageBgImage();
    auto sheet = ActionSheet::topSheet();
    ASSERT_TRUE(sheet);
    sheet->clickButtonAtIndex(sheet->firstOtherButtonIndex());
    driver->pump();
    auto chooser = space->chageBgImageViewController();
    ASSERT_TRUE(chooser);
    ASSERT_EQ(navigation->topViewController(), chooser);
    chooser->imageButtonClick(3);
    driver->pump();
    ASSERT_EQ(navigation->topViewController(), space);
    EXPECT_TRUE(space->isScanBackGround());
    EXPECT_EQ(space->imageId(), "154");
    EXPECT_EQ(space->title(), "背景预览");
    ASSERT_TRUE(space->confirmBar() && space->confirmBar()->superview());
    // Nothing of the screen reacts now.
    space->refreshTimeline();
    space->loadMore();
    space->didSelectRowAtIndexPath(*space->tableView(), {0, 0});
    space->goToPersonDetail();
    driver->pump();
    EXPECT_EQ(countTo("user/1001/space/1001/feed/list"), pages);
    EXPECT_EQ(navigation->topViewController(), space);
    space->goback();
    driver->pump();
    EXPECT_EQ(navigation->topViewController(), chooser);
    // The chooser's back clears the preview; the tiles give 151 and 158.
    chooser->backButtonClick();
    for (int i = 0; i < 20; ++i) {
        advance(0.1);
        driver->pump();
    }
    ASSERT_EQ(navigation->topViewController(), space);
    EXPECT_FALSE(space->isScanBackGround());
    for (auto [tag, id] : {std::pair{0, "151"}, std::pair{7, "158"}}) {
        navigation->pushViewController(chooser, false);
        driver->pump();
        ASSERT_EQ(navigation->topViewController(), chooser);
        chooser->imageButtonClick(tag);
        driver->pump();
        EXPECT_EQ(space->imageId(), id);
    }
    // Confirming sends the cover id and keeps the reply as the new version.
    space->confirmCoverChange();
    ASSERT_TRUE(pumpUntil([&] { return !space->isScanBackGround(); }));
    const auto uploads = requestsTo("user/1001/cover/upload");
    ASSERT_EQ(uploads.size(), 1u);
    ASSERT_EQ(uploads.front().parts.size(), 1u);
    EXPECT_EQ(uploads.front().parts.front().name, "front");
    EXPECT_EQ(uploads.front().parts.front().bytes, "158");
    EXPECT_EQ(UserDefaults::standard().stringForKey("1001_spaceBGDateLine").value_or(""), "1767000100");
    EXPECT_EQ(space->title(), "个人空间");
}

TEST_F(TimeSpaceScreenTest, AnOwnCoverIsFramedOnTheCropScreenBeforeItIsSent) {
    signIn("1001");
    const auto file = Paths::documentsDirectory() / "library" / "cover.png";
    ASSERT_TRUE(writeFileAtomically(file, Image::imageWithColor(Color::rgb255(20, 120, 40), {64, 48})->pngData()));
    ImagePickerController::setSourceFiles(ImagePickerSourceType::PhotoLibrary, {file});
    auto space = openSpace("1001");
    auto chooser = std::make_shared<MVTChageBgImageViewController>();
    // "自定义" → "相册" → the picture → the crop screen; `dragAway` moves the picture out
    // of the square before "上传".
    auto pickAndCrop = [&](bool dragAway) {
        navigation->pushViewController(chooser, false);
        driver->pump();
        chooser->imageButtonClick(8);
        auto sheet = ActionSheet::topSheet();
        ASSERT_TRUE(sheet);
        sheet->clickButtonAtIndex(sheet->firstOtherButtonIndex() + 1);
        driver->pump();
        auto picker = std::dynamic_pointer_cast<ImagePickerController>(chooser->presentedViewController());
        ASSERT_TRUE(picker);
        ASSERT_TRUE(picker->pickFileAtIndex(0));
        driver->settle();
        auto stack = std::dynamic_pointer_cast<NavigationController>(chooser->presentedViewController());
        ASSERT_TRUE(stack);
        auto crop = std::dynamic_pointer_cast<MVTCropImageNewViewController>(stack->topViewController());
        ASSERT_TRUE(crop);
        if (dragAway) {
            auto square = crop->cropImageView();
            const Point centre = square->convertPointTo({square->bounds().width() / 2, square->bounds().height() / 2}, nullptr);
            driver->drag(centre, {centre.x, centre.y + 1000}, 20);
        }
        crop->sendAction();
        driver->settle();
        ASSERT_FALSE(chooser->presentedViewController());
    };
    // Moved wholly out of the square: no picture, nothing sent, the chooser stays.
    pickAndCrop(true);
    advance(1);
    driver->pump();
    EXPECT_TRUE(requestsTo("user/1001/cover/upload").empty());
    EXPECT_EQ(navigation->topViewController(), chooser);
    navigation->popViewController(false);
    driver->pump();
    // Sent as it was framed: the whole picture as part "image", then kept as the cover.
    pickAndCrop(false);
    ASSERT_TRUE(pumpUntil([&] { return requestsTo("user/1001/cover/upload").size() == 1 && !hudShowing(chooser->view()); }));
    const auto upload = requestsTo("user/1001/cover/upload").front();
    ASSERT_EQ(upload.parts.size(), 1u);
    EXPECT_EQ(upload.parts[0].name, "image");
    auto sent = Image::imageWithData(upload.parts[0].bytes);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->size(), Size(64, 48));
    ASSERT_TRUE(pumpUntil([&] { return fileExists(MVTTimeSpaceViewController::coverFile("1001")); }));
}

TEST_F(TimeSpaceScreenTest, ACoverReplyWithAFalseSuccessIsAFailure) {
    signIn("1001");
    service().setReply("POST", "services/norvo/user/1001/cover/upload",
                       Reply::json({{"success", false}, {"message", "不行"}}));
    auto space = openSpace("1001");
    ASSERT_TRUE(pumpUntil([&] { return UserDefaults::standard().stringForKey("1001_spaceBGDateLine").has_value(); }));
    UserDefaults::standard().setString("1001_spaceBGDateLine", "old");
    space->setImageData(Image::imageNamed("4.jpg")->pngData());
    space->setImageId("154");
    space->setIsScanBackGround(true);
    space->confirmCoverChange();
    ASSERT_TRUE(pumpUntil([&] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->message(), "更换空间背景失败,请重新更改");
    EXPECT_TRUE(space->isScanBackGround());
    EXPECT_EQ(UserDefaults::standard().stringForKey("1001_spaceBGDateLine").value_or(""), "old");
}

TEST_F(TimeSpaceScreenTest, AvatarTapClimbsToTheSpaceButNotPastTheProfile) {
    auto space = openSpace("1001");
    driver->tap(space->headView()->avatarButton());
    driver->pump();
    auto profile = std::dynamic_pointer_cast<MVTPersonDetailViewController>(navigation->topViewController());
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->userDict()["uid"], "1001");
    EXPECT_EQ(profile->view()->accessibilityHint(), "timeSpace");
    ASSERT_TRUE(pumpUntil([&] { return !hudShowing(profile->view()); }));
    // The profile's header answers nothing: its avatar does not open anything.
    const std::size_t depth = navigation->viewControllers().size();
    driver->tap(profile->headView()->avatarButton());
    driver->pump();
    EXPECT_EQ(navigation->viewControllers().size(), depth);
    EXPECT_EQ(navigation->topViewController(), profile);
}

TEST_F(TimeSpaceScreenTest, OwnSpaceHasSettingsExceptForAParent) {
    signIn("1001");
    auto space = openSpace("1001");
    ASSERT_TRUE(space->navigationItem().rightBarButtonItem());
    space->gotoSetting();
    driver->pump();
    auto privacy = std::dynamic_pointer_cast<MVTPrivacySettingViewController>(navigation->topViewController());
    ASSERT_TRUE(privacy);
    EXPECT_EQ(privacy->view()->accessibilityHint(), "personalSpace");
    signIn("3001");
    auto parents = openSpace("3001");
    EXPECT_FALSE(parents->navigationItem().rightBarButtonItem());
}

TEST_F(TimeSpaceScreenTest, PullArmsBelowMinus44AndDisarmsWhenTheFingerMovesBack) {
    auto header = MVTPathView::make("1001", false);
    header->scrollViewWillBeginDragging();
    header->setOffsetY(-44);
    EXPECT_FALSE(header->refresh());
    header->setOffsetY(-44.5);
    EXPECT_TRUE(header->refresh());
    header->setOffsetY(-30);
    EXPECT_FALSE(header->refresh()) << "moving back above -44 with the finger down disarms";
    header->setOffsetY(-50);
    header->scrollViewDidEndDragging();
    header->setOffsetY(-30);
    EXPECT_TRUE(header->refresh()) << "released below -44 stays armed";
    EXPECT_DOUBLE_EQ(header->activityIndicator()->frame().y(), -15);
    header->setOffsetY(-40);
    EXPECT_DOUBLE_EQ(header->activityIndicator()->frame().y(), -15) << "-40 is outside the followed range";
    header->setOffsetY(0);
    EXPECT_DOUBLE_EQ(header->activityIndicator()->frame().y(), 15);
    header->startAnimate();
    header->setOffsetY(-60);
    EXPECT_TRUE(header->refresh());
    header->stopAnimate();
    EXPECT_FALSE(header->refresh());
    header->setOffsetY(-60);
    EXPECT_TRUE(header->refresh());
    // A profile's header keeps the flags but has no spinner or counts.
    auto profile = MVTPathView::make("1001", true);
    EXPECT_FALSE(profile->activityIndicator());
    EXPECT_FALSE(profile->tuShuoCountLabel());
    profile->setOffsetY(-50);
    EXPECT_TRUE(profile->refresh());
    // An empty or null signature leaves the text in place.
    header->setDetail(nullptr, "1", "2");
    header->setDetail("", "1", "2");
    EXPECT_EQ(header->userSignLabel()->text(), "这家伙太懒了，什么都没有留下");
}

TEST_F(TimeSpaceScreenTest, BadRepliesLeaveTheShownPostsAndSayWhatHappened) {
    auto answer = std::make_shared<Reply>(Reply::json({{"spaceInfo", spaceInfo()}, {"list", posts(5)}}));
    service().route("GET", "services/norvo/" + listPath, [answer](const RecordedRequest&) { return *answer; });
    auto space = openSpace("1001");
    ASSERT_EQ(space->dataArray().size(), 5u);
    const std::string huge(3u * 1024 * 1024, 'x');
    const Reply replies[] = {
        Reply::json({{"spaceInfo", spaceInfo()}, {"list", {{"id", 1}}}}),
        Reply::json({{"spaceInfo", "不是字典"}, {"list", Json::array()}}),
        Reply::json({{"spaceInfo", {{"essayCount", "十"}, {"viewCount", "9"}}}, {"list", "不是列表"}}),
        Reply::text("<html>服务器错误</html>", "text/html"),
        Reply::text("{\"list\": [\"" + huge + "\"]}", "application/json"),
        Reply::json(Json::array({1, 2})),
    };
    for (const auto& reply : replies) {
        *answer = reply;
        space->refreshTimeline();
        ASSERT_TRUE(pumpUntil([&] { return !space->isLoading(); }));
        EXPECT_EQ(space->dataArray().size(), 5u) << reply.body.substr(0, 60);
    }
    EXPECT_EQ(space->essayCount(), "0") << "a count as a word reads as 0";
    EXPECT_EQ(space->viewCount(), "9");
}

}  // namespace
