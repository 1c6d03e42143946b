// Sending from the three post composers: the checks in their order and by role, the post
// handed to the upload queue, one hand-over for two presses, and the waits.
#include "ComposerFixture.h"

#include "core/MVTtirraDataBase.h"

#include "platform/Reachability.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextView.h"

namespace {

using testing_support::ComposerTest;
using Kind = MVTPostComposerViewController::Kind;
using Json = nlohmann::json;

class SendTest : public ComposerTest {
protected:
    void TearDown() override {
        platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
        ComposerTest::TearDown();
    }
    std::shared_ptr<MVTPostComposerViewController> openKind(Kind kind, bool pictureMode = false) {
        switch (kind) {
            case Kind::Feed: return open<AddFeedViewController>();
            case Kind::Record: return open<AddRecordViewController>();
            default: return open<AddPicViewController>(nullptr, pictureMode);
        }
    }
    // A converted take of `bytes` bytes.
    std::string take(size_t bytes) {
        const std::string name = "20260105080000";
        std::ofstream(MVTPublicMethod::getPathByFileName(name + "wavToAmr", "amr"), std::ios::binary)
            << std::string("#!AMR\n") + std::string(bytes > 6 ? bytes - 6 : 0, '\x3c');
        return name;
    }
    void addAlbumPicture(MVTPostComposerViewController& composer) {
        composer.assetsPickerControllerDidFinishPickingAssets(*std::make_shared<platform::AssetsPickerController>(),
                                                              {{pictureFile("one.jpg", 30, 20)}});
        waitForPictures(composer);
    }
};

std::string emoticons(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "[em:12:]";
    return text;
}

TEST_F(SendTest, ChecksByComposerAndRole) {
    struct Case {
        const char* name;
        Kind kind;
        const char* role;
        bool pictureMode;
        std::string text;
        bool picture, take;
        const char* message;  // "" when the post is handed over
        const char* button;
    };
    const std::string longest = emoticons(125);  // 1000 UTF-16 units
    const Case cases[] = {
        {"feed teacher 1000", Kind::Feed, "teacher", false, longest, false, false, "", ""},
        {"feed teacher 1001", Kind::Feed, "teacher", false, longest + "a", false, false, "内容不能超过1000个字", "知道了"},
        {"feed student 1001", Kind::Feed, "student", false, longest + "a", false, false, "内容不能超过1000个字", "我知道了"},
        {"pic parent 1001", Kind::Pic, "parent", false, longest + "a", false, false, "内容不能超过1000个字", "我知道了"},
        {"feed teacher empty", Kind::Feed, "teacher", false, "", false, false, "你还没有添加内容哦", "知道了"},
        {"feed student empty", Kind::Feed, "student", false, "", false, false, "你还没有添加内容哦", "知道了"},
        {"feed student pictures only", Kind::Feed, "student", false, "", true, false, "", ""},
        {"record student take alone", Kind::Record, "student", false, "", false, true, "", ""},
        {"record parent nothing", Kind::Record, "parent", false, "", false, false, "你还没有添加内容哦", "知道了"},
        {"pic teacher take alone", Kind::Pic, "teacher", false, "", false, true, "", ""},
        {"pic student take alone", Kind::Pic, "student", false, "", false, true, "你还没有添加内容哦", "知道了"},
        {"pic student picture mode without pictures", Kind::Pic, "student", true, "hello", false, false,
         "你没有添加图片哦", "知道了"},
        {"pic student picture mode with a picture", Kind::Pic, "student", true, "", true, false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setRole(c.role);
        auto composer = openKind(c.kind, c.pictureMode);
        if (composer->mytextView) composer->mytextView->setText(c.text);
        if (c.picture) addAlbumPicture(*composer);
        if (c.take) composer->vedioPath = take(40);
        composer->sendBtnClicked(composer->sendControl().get());
        if (*c.message) {
            EXPECT_EQ(alertMessage(), c.message);
            ASSERT_TRUE(platform::AlertView::topAlert());
            EXPECT_EQ(platform::AlertView::topAlert()->buttonTitleAtIndex(0), c.button);
            EXPECT_TRUE(queued().empty());
            // Nothing entered is lost, and the control works again.
            if (composer->mytextView) {
                EXPECT_EQ(composer->mytextView->text(), c.text);
            }
            EXPECT_TRUE(composer->sendControl()->isEnabled());
            EXPECT_TRUE(tabs_->presentedViewController());
        } else {
            EXPECT_EQ(alertMessage(), "");
            ASSERT_EQ(queued().size(), 1u);
            EXPECT_EQ(queued()[0]["content"], c.text);
        }
        app_->setUpDynamicArr(Json::array());
        closePresented();
    }
}

TEST_F(SendTest, ThePostNamesTheMentionsOnlyWithAText) {
    auto composer = open<AddFeedViewController>();
    composer->mytextView->setText("看 @王老师 @Alice ");
    composer->postListArray = Json::parse(R"([{"name": "王老师", "user": "7"}, {"name": "Alice", "user": 8}])");
    const Json post = composer->pendingPost();
    EXPECT_EQ(post["relative"], "@王老师 :7,@Alice :8");
    EXPECT_EQ(post["permission"], "-1");
    EXPECT_EQ(post["imagePath"], Json::array());
    EXPECT_EQ(post["vedioPath"], "");
    EXPECT_EQ(post["vedioBg"], "");
    EXPECT_EQ(post["dynamicId"], std::to_string(static_cast<long long>(clock_->now())));

    composer->mytextView->setText("");
    EXPECT_FALSE(composer->pendingPost().contains("relative"));
}

TEST_F(SendTest, TwoPressesHandOverOnePostAndTheScreenCloses) {
    auto composer = open<AddFeedViewController>();
    composer->mytextView->setText("once");
    auto send = composer->sendControl();
    driver_->tap(send);
    composer->sendBtnClicked(send.get());
    ASSERT_EQ(queued().size(), 1u);
    driver_->settle();
    EXPECT_FALSE(tabs_->presentedViewController());
    const auto& events = platform::StatisticsKit::shared().pageEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), std::make_pair(std::string("end"), std::string("发布文本图说")));
}

TEST_F(SendTest, AnIdAlreadyUsedByAQueuedOrUnsentPostMovesToTheNextSecond) {
    auto composer = open<AddFeedViewController>();
    composer->mytextView->setText("new");
    const auto now = static_cast<long long>(clock_->now());
    MVTtirraDataBase::insertSaveDynamicWithDic(Json{{"content", "old"}, {"dynamicId", std::to_string(now + 1)}},
                                               std::to_string(now + 1), "12");
    app_->setUpDynamicArr(Json::array({Json{{"content", "waiting"}, {"dynamicId", std::to_string(now)}}}));
    EXPECT_EQ(composer->pendingPost()["dynamicId"], std::to_string(now + 2));
}

TEST_F(SendTest, OfflineShowsTheBannerAndKeepsEverything) {
    auto composer = open<AddFeedViewController>();
    composer->mytextView->setText("kept");
    platform::Reachability::setOverride(platform::ReachabilityState::offline());
    clearBanner();
    composer->sendBtnClicked(composer->sendControl().get());
    EXPECT_TRUE(queued().empty());
    ASSERT_TRUE(app_->netWorkLa());
    EXPECT_EQ(app_->netWorkLa()->text(), "没有网络,请检查网络连接");
    EXPECT_EQ(composer->mytextView->text(), "kept");
    EXPECT_TRUE(composer->sendControl()->isEnabled());
    EXPECT_TRUE(tabs_->presentedViewController());
}

TEST_F(SendTest, ATakeWithoutSoundIsRemovedAndTheControlWorksAgain) {
    auto composer = open<AddRecordViewController>();
    composer->vedioPath = take(6);
    composer->sendBtnClicked(composer->sendControl().get());
    EXPECT_EQ(alertMessage(), "音频报错，请重新录制");
    EXPECT_TRUE(composer->vedioPath.empty());
    EXPECT_FALSE(std::filesystem::exists(MVTPublicMethod::getPathByFileName("20260105080000wavToAmr", "amr")));
    EXPECT_TRUE(composer->sendControl()->isEnabled());
    EXPECT_TRUE(queued().empty());
}

TEST_F(SendTest, ASendWaitsForTheConversionAndGoesOnWithoutAnotherPress) {
    auto composer = open<AddRecordViewController>();
    composer->vedioPath = take(40);
    composer->audioRecord = std::make_shared<MVTAudioRecordAndTransCoding>();
    composer->audioRecord->setIsWavToAmrCompleted(false);
    composer->sendBtnClicked(composer->sendControl().get());
    EXPECT_TRUE(queued().empty());
    EXPECT_FALSE(composer->sendControl()->isEnabled());
    composer->audioRecord->setIsWavToAmrCompleted(true);
    composer->wavToAmrComplete();
    ASSERT_EQ(queued().size(), 1u);
    EXPECT_EQ(queued()[0]["vedioPath"], "20260105080000");
}

TEST_F(SendTest, ASendWaitsForEveryPictureFile) {
    std::vector<platform::PickedAsset> assets;
    for (const char* name : {"p0.jpg", "p1.jpg", "p2.jpg"}) assets.push_back({pictureFile(name, 900, 600)});
    auto composer = openWithAssets<AddPicViewController>(assets);
    composer->sendBtnClicked(composer->sendControl().get());
    waitForPictures(*composer);
    ASSERT_EQ(queued().size(), 1u);
    const Json paths = queued()[0]["imagePath"];
    ASSERT_EQ(paths.size(), 3u);
    for (const auto& path : paths) EXPECT_TRUE(std::filesystem::exists(path.get<std::string>())) << path;
}

TEST_F(SendTest, LeavingAsksOnceSomethingWasEnteredAndDiscardingRemovesThePictures) {
    auto empty = open<AddFeedViewController>();
    empty->goback();
    EXPECT_FALSE(platform::AlertView::topAlert());
    driver_->settle();
    EXPECT_FALSE(tabs_->presentedViewController());

    auto composer = openWithAssets<AddFeedViewController>({{pictureFile("a.jpg", 50, 50)}});
    waitForPictures(*composer);
    const std::string file = composer->picPathArr->at(0);
    ASSERT_TRUE(std::filesystem::exists(file));
    composer->goback();
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "放弃此次编辑?");
    EXPECT_EQ(alert->tag(), 888);
    driver_->pressAlertButton(0);
    EXPECT_TRUE(std::filesystem::exists(file));
    composer->goback();
    driver_->pressAlertButton(1);
    driver_->settle();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(tabs_->presentedViewController());
}

}  // namespace
