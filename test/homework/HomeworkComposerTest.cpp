// The homework composer against the sample service: publishing and answering, the form's
// parts, refused and failed sends, pictures from the camera and the library, and the
// voice take with its recording gesture, playback and conversion.
#include "HomeworkFixture.h"

#include "core/MVTPublicMethod.h"
#include "homework/MVTNHWAddViewController.h"
#include "homework/MVTNHWGetStudentsViewController.h"

#include "platform/AudioPlayer.h"
#include "platform/AudioRecorder.h"
#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;
using Composer = MVTNHWAddViewController;

namespace {

class SpyComposerDelegate : public MVTNHWAddViewDelegate {
public:
    void didAddSuccessWith(const Json& row) override { rows.push_back(row); }
    std::vector<Json> rows;
};

class HomeworkComposerTest : public testing_support::HomeworkTest {
protected:
    void SetUp() override {
        HomeworkTest::SetUp();
        AudioRecorder::setInput([] { return makeToneSource(440.0, 0.5); });
    }
    void TearDown() override {
        AudioRecorder::setInput(nullptr);
        HomeworkTest::TearDown();
    }

    std::shared_ptr<Composer> open(const std::string& role, const std::string& hwId = "") {
        signIn(role);
        spy = std::make_shared<SpyComposerDelegate>();
        composer = std::make_shared<Composer>();
        if (hwId.empty())
            composer->setDelegate(spy);
        else
            composer->setHwId(hwId);
        showPushed(composer);
        return composer;
    }
    std::string publishPath() const { return "homework/publish/1001"; }
    // Picture files of the photo library stand-in, in the test's home.
    std::vector<fs::path> pictureFiles(int count) {
        std::vector<fs::path> files;
        for (int i = 0; i < count; ++i) {
            auto image = Image::imageWithColor(Color::rgba(0.1 * i, 0.5, 0.8), {60, 40});
            fs::path file = home_ / ("library-" + std::to_string(i) + ".png");
            EXPECT_TRUE(writeFileAtomically(file, image->pngData()));
            files.push_back(file);
        }
        return files;
    }
    // Library pictures handed over as the asset picker hands them.
    void pickFromLibrary(const std::vector<fs::path>& files) {
        std::vector<PickedAsset> assets;
        for (const auto& file : files) assets.push_back(PickedAsset{file});
        AssetsPickerController picker;
        composer->assetsPickerControllerDidFinishPickingAssets(picker, assets);
    }
    void loadPictures() {
        BackgroundQueue::shared().waitIdle();
        driver->pump();
    }
    void chooseRecipients(const std::string& classes, const std::string& students, int count) {
        composer->didSelectStudentsWith(classes, students, count, Json::object(), Json::object());
    }
    void type(const std::string& text) { composer->contentTextView()->setText(text); }
    // A finger on the record button for `seconds`, lifted on it or beside it.
    void record(double seconds, bool releaseInside = true) {
        const Point button = driver->centerOf(*composer->vedioImageView());
        const int finger = driver->beginTouch(button);
        driver->advance(seconds);
        if (!releaseInside) driver->moveTouch(finger, {button.x, button.y - 200});
        driver->endTouch(finger);
    }
    std::optional<RecordedRequest> waitForSend(const std::string& path, size_t count = 1) {
        if (!pumpUntil([&] { return requestsTo(path).size() >= count && !composer->isSubmiting(); })) return {};
        return requestsTo(path).back();
    }
    static std::vector<std::string> partNames(const RecordedRequest& request) {
        std::vector<std::string> names;
        for (const auto& part : request.parts) names.push_back(part.name);
        return names;
    }
    std::string model() const { return MVTPublicMethod::currentDevicemodel(); }

    std::shared_ptr<SpyComposerDelegate> spy;
    std::shared_ptr<Composer> composer;
};

TEST_F(HomeworkComposerTest, TheModeFollowsTheRole) {
    open("teacher");
    EXPECT_TRUE(composer->isPublishMode());
    EXPECT_EQ(composer->title(), "新作业");
    EXPECT_FALSE(composer->personBtn()->isHidden());
    EXPECT_EQ(composer->personCountLa()->text(), "0人");
    EXPECT_EQ(composer->contentLa()->text(), "添加作业内容");
    EXPECT_EQ(composer->topH(), 154);
    EXPECT_EQ(composer->mindLa(), nullptr);

    open("student", "5002");
    EXPECT_FALSE(composer->isPublishMode());
    EXPECT_EQ(composer->title(), "提交作业");
    EXPECT_TRUE(composer->personBtn()->isHidden());
    EXPECT_TRUE(composer->contentTextView()->isHidden());
    EXPECT_TRUE(composer->contentLa()->isHidden());
    ASSERT_NE(composer->mindLa(), nullptr);
    EXPECT_EQ(composer->mindLa()->text(), "添加语音、图片");
    EXPECT_EQ(composer->topH(), 0);
}

TEST_F(HomeworkComposerTest, ThePartsOfAPublishForOneAndTwoPicturesAndForClassesOnly) {
    struct Case {
        const char* name;
        int pictures;
        std::string classes, students;
        std::vector<std::string> parts;
        std::vector<std::string> fileNames;
    };
    const Case cases[] = {
        {"classes only", 0, "11", "", {"classes", "content"}, {}},
        {"students only", 0, "", "2101,2102", {"students", "content"}, {}},
        {"one picture", 1, "11,12", "2203", {"classes", "students", "content", "image"}, {"来自" + model() + "的图片.png"}},
        {"two pictures",
         2,
         "12",
         "",
         {"classes", "content", "image", "image"},
         {"来自" + model() + "的图片1.png", "来自" + model() + "的图片2.png"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service().clearRequests();
        open("teacher");
        type(" 背诵古诗《静夜思》");
        chooseRecipients(c.classes, c.students, 3);
        pickFromLibrary(pictureFiles(c.pictures));
        loadPictures();
        composer->toSubmit();
        auto request = waitForSend(publishPath());
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(partNames(*request), c.parts);
        EXPECT_TRUE(request->hasServiceCredentials());
        std::vector<std::string> names;
        for (const auto& part : request->parts) {
            if (part.name == "classes") {
                EXPECT_EQ(part.bytes, c.classes);
            } else if (part.name == "students") {
                EXPECT_EQ(part.bytes, c.students);
            } else if (part.name == "content") {
                // The text exactly as typed, leading blank and all.
                EXPECT_EQ(part.bytes, " 背诵古诗《静夜思》");
            }
            if (part.name == "image") {
                EXPECT_EQ(part.contentType, "application/octet-stream");
                EXPECT_TRUE(Image::isPicture(part.bytes));
                names.push_back(percentDecode(part.fileName));
                EXPECT_EQ(part.fileName, percentEscape(names.back()));
            }
        }
        EXPECT_EQ(names, c.fileNames);
        ASSERT_EQ(spy->rows.size(), 1u);
    }
}

TEST_F(HomeworkComposerTest, APublishedHomeworkGoesToTheListAndTheScreenLeavesAMomentLater) {
    open("teacher");
    type("口算练习第12页");
    chooseRecipients("11", "", 30);
    EXPECT_EQ(composer->personCountLa()->text(), "30人");
    composer->toSubmit();
    EXPECT_FALSE(composer->submitBtn()->isEnabled());
    ASSERT_TRUE(waitForSend(publishPath()).has_value());
    ASSERT_EQ(spy->rows.size(), 1u);
    const Json& row = spy->rows[0];
    EXPECT_EQ(row["content"], "口算练习第12页");
    EXPECT_EQ(row["submitCount"], "0");
    EXPECT_EQ(row["stdCount"], "30");
    EXPECT_EQ(row["readed"], "1");
    EXPECT_EQ(row["dateline"].get<std::string>().size(), 10u);
    EXPECT_NE(intValue(row["id"]), 0);
    EXPECT_EQ(top(), composer);
    driver->advance(0.06);
    driver->settle();
    EXPECT_NE(top(), composer);
}

TEST_F(HomeworkComposerTest, ARefusedOrFailedPublishKeepsEverythingForAnotherTry) {
    const Reply replies[] = {Reply::text("0"), Reply::text("<html><body>error</body></html>", "text/html"),
                             Reply::text(" 0 \n"), Reply::text(""), Reply::text("12abc"),
                             Reply::text("busy", "text/plain", 500)};
    open("teacher");
    type("作文");
    chooseRecipients("11", "2201", 31);
    pickFromLibrary(pictureFiles(2));
    loadPictures();
    size_t sent = 0;
    for (const Reply& reply : replies) {
        SCOPED_TRACE(reply.body);
        service().setReply("POST", "/services/norvo/" + publishPath(), reply);
        composer->toSubmit();
        ASSERT_TRUE(waitForSend(publishPath(), ++sent).has_value());
        auto alert = AlertView::topAlert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->title(), "发布失败");
        EXPECT_EQ(alert->buttonTitleAtIndex(0), "知道了");
        alert->clickButtonAtIndex(0);
        EXPECT_TRUE(spy->rows.empty());
        EXPECT_TRUE(composer->submitBtn()->isEnabled());
        EXPECT_EQ(composer->contentTextView()->text(), "作文");
        EXPECT_EQ(composer->picNum(), 2);
        EXPECT_EQ(composer->didClassIds(), "11");
        EXPECT_EQ(composer->didStudentIds(), "2201");
        driver->advance(0.1);
        EXPECT_EQ(top(), composer);
    }
    service().clearReplies();
    composer->toSubmit();
    ASSERT_TRUE(waitForSend(publishPath(), ++sent).has_value());
    EXPECT_EQ(spy->rows.size(), 1u);

    for (const char* body : {"1", "5017", " 42\n"}) EXPECT_TRUE(Composer::isPublishedReply(body)) << body;
    for (const char* body : {"0", "000", "", "-3", "ok", "<html>7</html>"}) EXPECT_FALSE(Composer::isPublishedReply(body)) << body;
}

TEST_F(HomeworkComposerTest, MissingTextOrRecipientsOrAnswerContentIsToldAndNothingIsSent) {
    open("teacher");
    pickFromLibrary(pictureFiles(1));
    loadPictures();
    type(" \n \n");
    chooseRecipients("11", "", 30);
    composer->toSubmit();
    ASSERT_NE(AlertView::topAlert(), nullptr);
    EXPECT_EQ(AlertView::topAlert()->title(), "请输入作业内容");
    AlertView::clearVisible();
    type("作业");
    chooseRecipients("", "", 0);
    composer->toSubmit();
    ASSERT_NE(AlertView::topAlert(), nullptr);
    EXPECT_EQ(AlertView::topAlert()->title(), "请选择接收人");
    AlertView::clearVisible();

    open("student", "5002");
    composer->toSubmit();
    ASSERT_NE(AlertView::topAlert(), nullptr);
    EXPECT_EQ(AlertView::topAlert()->title(), "请添加图片、语音");
    driver->settle();
    EXPECT_TRUE(service().requests().empty());
}

TEST_F(HomeworkComposerTest, ATakeUnderASecondIsRefusedAndOneOfAboutASecondIsKept) {
    open("student", "5002");
    record(0.4);
    auto alert = AlertView::topAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), "提示");
    EXPECT_EQ(alert->message(), "录音时间过短,请重新录制");
    alert->clickButtonAtIndex(0);
    EXPECT_TRUE(composer->videoBtn()->isHidden());
    EXPECT_EQ(composer->vedioPath(), "");
    EXPECT_EQ(composer->timer(), nullptr);
    EXPECT_FALSE(composer->vedioing());

    driver->advance(1.0);  // a new take name
    record(0.6);
    EXPECT_EQ(AlertView::topAlert(), nullptr);
    EXPECT_FALSE(composer->videoBtn()->isHidden());
    EXPECT_EQ(composer->videoLength(), 1);
    EXPECT_EQ(composer->duaLa()->text(), "00:01");
    EXPECT_EQ(composer->lastVedio(), composer->vedioPath());
    EXPECT_TRUE(composer->mindLa()->isHidden());
    EXPECT_EQ(composer->videoBtn()->frame(), Rect(10, 10, 142, 43));
    EXPECT_EQ(composer->recordPanel()->superview(), nullptr);
}

TEST_F(HomeworkComposerTest, TheRecordingGestureBelongsToTheRecordButton) {
    open("student", "5002");
    // A finger that lands beside the button never records, even when it moves onto it.
    const Point button = driver->centerOf(*composer->vedioImageView());
    int finger = driver->beginTouch({button.x, button.y - 150});
    EXPECT_FALSE(composer->vedioing());
    driver->moveTouch(finger, button);
    driver->endTouch(finger);
    EXPECT_FALSE(composer->vedioing());
    EXPECT_EQ(composer->audioRecord(), nullptr);

    // Off the button during a take: the hint; back on it: gone; released off it: cancelled.
    record(1.4);
    const std::string kept = composer->vedioPath();
    ASSERT_FALSE(kept.empty());
    driver->advance(1.0);
    finger = driver->beginTouch(button);
    EXPECT_TRUE(composer->vedioing());
    EXPECT_NE(composer->recordPanel()->superview(), nullptr);
    EXPECT_EQ(composer->vedioImageView()->image(), Image::imageNamed("record_ing"));
    ASSERT_NE(composer->timer(), nullptr);
    driver->advance(0.3);
    driver->moveTouch(finger, {button.x, button.y - 200});
    ASSERT_NE(composer->cancelHint(), nullptr);
    EXPECT_NE(composer->cancelHint()->superview(), nullptr);
    EXPECT_EQ(composer->vedioImageView()->image(), Image::imageNamed("record_begin"));
    driver->moveTouch(finger, button);
    EXPECT_EQ(composer->cancelHint()->superview(), nullptr);
    driver->advance(1.5);
    driver->moveTouch(finger, {button.x, button.y - 200});
    driver->endTouch(finger);
    EXPECT_FALSE(composer->vedioing());
    EXPECT_EQ(composer->vedioPath(), kept);
    EXPECT_EQ(composer->videoLength(), 1);
    EXPECT_EQ(composer->timer(), nullptr);
    EXPECT_FALSE(composer->audioRecord()->recorder() && composer->audioRecord()->recorder()->isRecording());
}

TEST_F(HomeworkComposerTest, ASendRightAfterATakeWaitsForItsConversion) {
    open("student", "5002");
    record(2.2);
    ASSERT_FALSE(composer->videoBtn()->isHidden());
    // The real conversion finishes first, so the file is whole when the send goes; then the
    // recorder is told the file is still being written.
    auto recorder = composer->audioRecord();
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    driver->settle();
    recorder->setIsWavToAmrCompleted(false);
    composer->toSubmit();
    EXPECT_TRUE(composer->isWaitingToSend());
    EXPECT_TRUE(composer->isSubmiting());
    EXPECT_FALSE(composer->submitBtn()->isEnabled());
    EXPECT_TRUE(requestsTo("homework/2001/answer/5002").empty());
    // No new take while a send is on its way.
    const std::string take = composer->vedioPath();
    record(1.5);
    EXPECT_EQ(composer->vedioPath(), take);
    driver->settle();
    EXPECT_TRUE(requestsTo("homework/2001/answer/5002").empty());

    // The recorder reports the file complete: the send goes.
    recorder->setIsWavToAmrCompleted(true);
    composer->wavToAmrComplete();
    auto request = waitForSend("homework/2001/answer/5002");
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->queryValue("default"), "false");
    EXPECT_EQ(partNames(*request), (std::vector<std::string>{"amr", "duration"}));
    const std::string amr = *readFile(MVTAudioRecordAndTransCoding::amrPathForName(take));
    EXPECT_EQ(request->parts[0].bytes, amr);
    EXPECT_EQ(percentDecode(request->parts[0].fileName), "来自" + model() + "的音频.amr");
    EXPECT_EQ(request->parts[1].bytes, "2");
    // The answer is kept by the service; the screen returns to the root.
    driver->advance(0.06);
    driver->settle();
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
}

TEST_F(HomeworkComposerTest, PlayingTheTakeAndRemovingIt) {
    open("student", "5002");
    record(1.2);
    ASSERT_TRUE(driver->tap(composer->videoBtn()));
    ASSERT_NE(composer->myplayer(), nullptr);
    EXPECT_TRUE(composer->myplayer()->isPlaying());
    EXPECT_TRUE(composer->videoPalyView()->isAnimating());
    ASSERT_TRUE(driver->tap(composer->videoBtn()));
    EXPECT_EQ(composer->myplayer(), nullptr);
    EXPECT_FALSE(composer->videoPalyView()->isAnimating());
    ASSERT_TRUE(driver->tap(composer->videoBtn()));
    driver->advance(2.0);
    EXPECT_EQ(composer->myplayer(), nullptr);

    // Removing the take while it plays silences it, and it is not sent.
    ASSERT_TRUE(driver->tap(composer->videoBtn()));
    auto player = composer->myplayer();
    ASSERT_NE(player, nullptr);
    composer->closeVideo();
    EXPECT_TRUE(composer->videoBtn()->isHidden());
    EXPECT_FALSE(player->isPlaying());
    composer->toSubmit();
    ASSERT_NE(AlertView::topAlert(), nullptr);
    EXPECT_EQ(AlertView::topAlert()->title(), "请添加图片、语音");
    AlertView::clearVisible();

    // A new take shows the button again; leaving stops its playback.
    driver->advance(1.0);
    record(1.2);
    EXPECT_FALSE(composer->videoBtn()->isHidden());
    ASSERT_TRUE(driver->tap(composer->videoBtn()));
    player = composer->myplayer();
    composer->goback();
    EXPECT_FALSE(player->isPlaying());
}

TEST_F(HomeworkComposerTest, ASendWaitsForLibraryPicturesAndOneThatCannotLoadLeavesTheStrip) {
    open("student", "5002");
    auto files = pictureFiles(3);
    fs::remove(files[1]);
    pickFromLibrary(files);
    EXPECT_EQ(composer->picNum(), 3);
    EXPECT_FALSE(composer->pictureLoaded(0));
    composer->toSubmit();
    EXPECT_TRUE(composer->isWaitingToSend());
    EXPECT_TRUE(requestsTo("homework/2001/answer/5002").empty());
    auto request = waitForSend("homework/2001/answer/5002");
    ASSERT_TRUE(request.has_value());
    // The picture that went away is not sent, as nothing or otherwise.
    EXPECT_EQ(partNames(*request), (std::vector<std::string>{"image", "image"}));
    for (const auto& part : request->parts) EXPECT_TRUE(Image::isPicture(part.bytes));
    EXPECT_EQ(composer->picNum(), 2);
    EXPECT_EQ(composer->thumbnailAt(1)->frame().x(), 95);

    // With every picture unreadable nothing is left to hand in.
    open("student", "5002");
    pickFromLibrary({home_ / "gone.png"});
    composer->toSubmit();
    ASSERT_TRUE(pumpUntil([&] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->title(), "请添加图片、语音");
    EXPECT_FALSE(composer->isSubmiting());
    EXPECT_EQ(composer->picNum(), 0);
}

TEST_F(HomeworkComposerTest, NinePicturesAtMostAndDeletingClosesTheGap) {
    ImagePickerController::setSourceFiles(ImagePickerSourceType::PhotoLibrary, pictureFiles(10));
    open("teacher");
    composer->getPhotoLibrary();
    driver->settle();
    auto picker = std::dynamic_pointer_cast<AssetsPickerController>(composer->presentedViewController());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->maximumNumberOfSelection(), 9u);
    for (size_t i = 0; i < 3; ++i) ASSERT_TRUE(picker->toggleAssetAtIndex(i));
    picker->finish();
    loadPictures();
    driver->settle();
    EXPECT_EQ(composer->picNum(), 3);
    EXPECT_FALSE(composer->picScrollView()->isHidden());
    EXPECT_EQ(composer->picScrollView()->contentSize().width, 3 * 85 + 10);

    record(1.2);
    EXPECT_EQ(composer->videoBtn()->frame().y(), 154 + 100);
    auto third = composer->thumbnailAt(2);
    composer->deleteImage(1);
    EXPECT_EQ(composer->picNum(), 2);
    EXPECT_EQ(composer->thumbnailAt(1), third);
    EXPECT_EQ(third->frame().x(), 95);
    EXPECT_EQ(third->tag(), 1);
    composer->deleteImage(0);
    composer->deleteImage(0);
    EXPECT_EQ(composer->videoBtn()->frame().y(), 154 + 10);
    EXPECT_FALSE(composer->picScrollView()->isHidden());

    composer->getPhotoLibrary();
    driver->settle();
    picker = std::dynamic_pointer_cast<AssetsPickerController>(composer->presentedViewController());
    ASSERT_NE(picker, nullptr);
    for (size_t i = 0; i < 9; ++i) ASSERT_TRUE(picker->toggleAssetAtIndex(i));
    EXPECT_FALSE(picker->toggleAssetAtIndex(9));
    picker->finish();
    loadPictures();
    driver->settle();
    EXPECT_EQ(composer->picNum(), 9);
    for (auto action : {&Composer::getPhotoLibrary, &Composer::takePhoto}) {
        (composer.get()->*action)();
        auto alert = AlertView::topAlert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->message(), "最多添加9张图片");
        alert->clickButtonAtIndex(0);
    }
    composer->deleteImage(8);
    composer->takePhoto();
    ASSERT_NE(AlertView::topAlert(), nullptr);
    EXPECT_EQ(AlertView::topAlert()->message(), "设备没有照相功能");
    EXPECT_EQ(AlertView::topAlert()->buttonTitleAtIndex(0), "确定");
}

TEST_F(HomeworkComposerTest, ARefusedAnswerIsToldAndKept) {
    open("student", "5002");
    pickFromLibrary(pictureFiles(1));
    loadPictures();
    for (const Reply& reply : {Reply::json({{"success", 0}}), Reply::json(Json::array()), Reply::text("ok")}) {
        service().setReply("POST", "/services/norvo/homework/2001/answer/5002", reply);
        const size_t sent = requestsTo("homework/2001/answer/5002").size();
        composer->toSubmit();
        ASSERT_TRUE(waitForSend("homework/2001/answer/5002", sent + 1).has_value());
        ASSERT_NE(AlertView::topAlert(), nullptr);
        EXPECT_EQ(AlertView::topAlert()->title(), "提交失败");
        AlertView::clearVisible();
        EXPECT_EQ(composer->picNum(), 1);
        EXPECT_TRUE(composer->submitBtn()->isEnabled());
    }
}

TEST_F(HomeworkComposerTest, TheRecipientsPickerGetsCopiesAndItsBackButtonChangesNothing) {
    open("teacher");
    const Json whole = {{"11", "30"}};
    const Json single = {{"12", Json::array({"2201", "2202"})}};
    composer->didSelectStudentsWith("11", "2201,2202", 32, whole, single);
    ASSERT_TRUE(driver->tap(composer->personBtn()));
    driver->settle();
    auto picker = std::dynamic_pointer_cast<MVTNHWGetStudentsViewController>(top());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->selectClassDic(), whole);
    EXPECT_EQ(picker->selectStudentsDic()["12"], single["12"]);
    ASSERT_TRUE(pumpUntil([&] { return !picker->allStudentsDic().empty(); }));
    driver->settle();
    // Changes in the picker...
    picker->toSelectAllOrClear(*picker->selectAllBtn());
    EXPECT_TRUE(picker->selectClassDic().empty());
    // ...are dropped by its back button.
    picker->goback();
    driver->settle();
    EXPECT_EQ(top(), composer);
    EXPECT_EQ(composer->selectClassDic(), whole);
    EXPECT_EQ(composer->selectStudentsDic(), single);
    EXPECT_EQ(composer->allSelectCount(), 32);
    EXPECT_EQ(composer->personCountLa()->text(), "32人");
}

}  // namespace
