// The attachment download overlay over a plain host screen, against the sample service's
// resources: fetching once into the cache, opening, voices, the not-found answer,
// failures, cancelling, and the settings that differ between the screens that carry it.
#include "HomeworkFixture.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/AttachmentDownloadOverlay.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/ViewViewController.h"
#include "shell/myNavigationController.h"

#include "platform/Files.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;
using sample_service::Reply;
using testing_support::delayedReply;

namespace {

// Ids of the sample service's resources (service/data/resources.json).
constexpr const char* kOverlayVoiceId = "880002";   // 3 s of AMR voice
constexpr const char* kOverlayTextId = "880003";    // class-rules.txt
constexpr const char* kOverlayZipId = "880004";

class AttachmentDownloadOverlayTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        Screen::mainScreen().reset();
        AlertView::clearVisible();
        InternationalControl::setUserlanguage("zh-Hans", false);
        MVTAccount::resetSharedInstanceForTests();
        MVTAccount::sharedInstance().setUserId("2001");
        MVTAccount::sharedInstance().setRole("student");
        driver = std::make_unique<UiDriver>();
        host = std::make_shared<ViewViewController>();
        navigation = myNavigationController::withRoot(host);
        driver->show(navigation);
        driver->settle();
    }
    void TearDown() override {
        AlertView::clearVisible();
        overlay.reset();
        driver.reset();
        navigation.reset();
        host.reset();
        ServiceTest::TearDown();
    }

    void makeOverlay(AttachmentDownloadOverlay::Options options = AttachmentDownloadOverlay::detailsOptions()) {
        overlay = AttachmentDownloadOverlay::make(host, options, [this](const std::string& path) { played.push_back(path); });
    }
    size_t downloadsOf(const std::string& id) {
        size_t count = 0;
        for (const auto& r : service().requests())
            if (r.path == "/resource/" + id + "/download") ++count;
        return count;
    }
    bool waitForEnd() { return pumpUntil([this] { return !overlay->attDownloading(); }); }
    // The web page screen the host presented, after its transition.
    std::shared_ptr<MVTWebViewController> openedPage() {
        driver->settle();
        auto presented = host->presentedViewController();
        auto stack = presented ? presented->asNavigationController() : nullptr;
        if (!stack || stack->viewControllers().empty()) return nullptr;
        return std::dynamic_pointer_cast<MVTWebViewController>(stack->viewControllers().front());
    }
    void closeOpenedPage() {
        host->dismissViewController(false);
        driver->settle();
    }
    // A file of the download cache.
    static fs::path cached(const std::string& file) {
        return fs::path(MVTPublicMethod::getPathByFileName("x", "x")).parent_path() / file;
    }

    std::unique_ptr<UiDriver> driver;
    std::shared_ptr<ViewViewController> host;
    std::shared_ptr<myNavigationController> navigation;
    std::shared_ptr<AttachmentDownloadOverlay> overlay;
    std::vector<std::string> played;
};

TEST_F(AttachmentDownloadOverlayTest, AFileIsFetchedOnceUnderTheOverlayAndThenOpenedFromTheCache) {
    makeOverlay();
    overlay->toDownLoadAttachsWith(kOverlayTextId, "TXT", "班规.txt");
    EXPECT_EQ(overlay->realType(), "txt");
    EXPECT_EQ(overlay->realName(), "班规.txt");
    EXPECT_EQ(fs::path(overlay->realPath()), cached("attachs_880003.txt"));
    // The overlay covers the screen's content while the file comes.
    EXPECT_TRUE(overlay->attDownloading());
    ASSERT_NE(overlay->downLoadBgView(), nullptr);
    EXPECT_EQ(overlay->downLoadBgView()->superview(), host->view());
    EXPECT_EQ(overlay->downLoadBgView()->frame(), Rect(0, 0, Screen::mainScreen().bounds().width(), Screen::mainScreen().bounds().height() - 64));
    EXPECT_NE(driver->byText("下载中..."), nullptr);
    EXPECT_NE(driver->byText("取 消"), nullptr);

    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(overlay->downLoadBgView()->superview(), nullptr);
    auto request = service().lastRequest("/resource/880003/download");
    ASSERT_TRUE(request.has_value());
    EXPECT_FALSE(request->basicUser.has_value());
    EXPECT_EQ(request->header("User-Agent"), kDownloaderUserAgent);
    EXPECT_NE(request->queryValue("token").value_or("").size(), 0u);
    EXPECT_TRUE(request->queryValue("timestamp").has_value());
    EXPECT_TRUE(request->queryValue("random").has_value());
    auto stored = readFile(cached("attachs_880003.txt"));
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, *readFile(sample_service::SampleService::defaultDataDirectory() / "resources/class-rules.txt"));
    auto page = openedPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->title(), "班规.txt");
    closeOpenedPage();

    // The second tap: no request, no overlay.
    overlay->toDownLoadAttachsWith(kOverlayTextId, "txt", "班规.txt");
    EXPECT_FALSE(overlay->attDownloading());
    EXPECT_EQ(overlay->downLoadBgView()->superview(), nullptr);
    ASSERT_NE(openedPage(), nullptr);
    EXPECT_EQ(downloadsOf(kOverlayTextId), 1u);
}

TEST_F(AttachmentDownloadOverlayTest, TheNotFoundAnswerAndAnEmptyBodyWriteNothingButALongerBodyIsAFile) {
    makeOverlay();
    struct Case {
        std::string body;
        bool stored;
    };
    const std::string notFound = sample_service::kResourceNotFound;
    ASSERT_EQ(notFound.size(), 18u);
    const Case cases[] = {{notFound, false}, {"", false}, {notFound + "，请联系老师", true}};
    int id = 990001;
    for (const Case& c : cases) {
        const std::string resource = std::to_string(id++);
        service().setReply("GET", "/resource/" + resource + "/download", Reply::text(c.body));
        overlay->toDownLoadAttachsWith(resource, "doc", "说明.doc");
        ASSERT_TRUE(waitForEnd()) << c.body;
        EXPECT_EQ(fs::exists(cached("attachs_" + resource + ".doc")), c.stored) << c.body;
        if (c.stored) {
            EXPECT_EQ(AlertView::topAlert(), nullptr);
            ASSERT_NE(openedPage(), nullptr);
            closeOpenedPage();
        } else {
            auto alert = AlertView::topAlert();
            ASSERT_NE(alert, nullptr) << c.body;
            EXPECT_EQ(alert->title(), "没有找到资源");
            EXPECT_EQ(alert->message(), "");
            ASSERT_EQ(alert->numberOfButtons(), 1);
            EXPECT_EQ(alert->buttonTitleAtIndex(0), "知道了");
            alert->clickButtonAtIndex(0);
            EXPECT_EQ(host->presentedViewController(), nullptr);
        }
    }
    // Not stored, so the next tap asks again.
    overlay->toDownLoadAttachsWith("990001", "doc", "说明.doc");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(downloadsOf("990001"), 2u);
}

TEST_F(AttachmentDownloadOverlayTest, AFailedOrCancelledDownloadLeavesNoFileAndTheNextTapFetchesAgain) {
    makeOverlay();
    service().setReply("GET", "/resource/990100/download", Reply::text("busy", "text/plain", 500));
    overlay->toDownLoadAttachsWith("990100", "zip", "作业.zip");
    ASSERT_TRUE(waitForEnd());
    EXPECT_FALSE(fs::exists(cached("attachs_990100.zip")));
    auto alert = AlertView::topAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), "下载失败");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "知道了");
    alert->clickButtonAtIndex(0);

    // A reply that takes its time is cancelled by the overlay's button.
    service().setReply("GET", "/resource/990101/download", delayedReply("application/zip", "PK"));
    overlay->toDownLoadAttachsWith("990101", "zip", "作业.zip");
    ASSERT_TRUE(pumpUntil([this] { return downloadsOf("990101") == 1; }));
    ASSERT_TRUE(writeFileAtomically(overlay->realPath(), "partial"));
    auto cancel = driver->byText("取 消");
    ASSERT_NE(cancel, nullptr);
    ASSERT_TRUE(driver->tap(cancel));
    EXPECT_FALSE(overlay->attDownloading());
    EXPECT_EQ(overlay->downLoadBgView()->superview(), nullptr);
    EXPECT_FALSE(fs::exists(overlay->realPath()));
    EXPECT_EQ(overlay->download()->connection(), nullptr);
    driver->settle();
    EXPECT_EQ(AlertView::topAlert(), nullptr);
    EXPECT_EQ(host->presentedViewController(), nullptr);
}

TEST_F(AttachmentDownloadOverlayTest, AVoiceIsStoredAsAmrConvertedToWavAndHandedToTheScreensPlayer) {
    makeOverlay();
    // The type may come in capitals: it is still a voice.
    overlay->toDownLoadAttachsWith(kOverlayVoiceId, "AMR", "朗读.amr");
    EXPECT_EQ(overlay->realType(), "wav");
    ASSERT_TRUE(waitForEnd());
    const fs::path amr = cached("attachs_880002.amr");
    const fs::path wav = cached("attachs_880002.wav");
    EXPECT_EQ(*readFile(amr), *readFile(sample_service::SampleService::defaultDataDirectory() / "resources/voice-3s.amr"));
    ASSERT_TRUE(fs::exists(wav));
    EXPECT_EQ(MVTPublicMethod::getVedioLength("attachs_880002"), 3);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(fs::path(played[0]), wav);
    EXPECT_EQ(overlay->realPath(), played[0]);
    EXPECT_EQ(host->presentedViewController(), nullptr);

    // A "wav" resource takes the voice way too: its body is stored as AMR first.
    played.clear();
    overlay->toDownLoadAttachsWith("880001", "wav", "跟读.wav");
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(fs::exists(cached("attachs_880001.amr")));
    EXPECT_EQ(MVTPublicMethod::getVedioLength("attachs_880001"), 1);
    EXPECT_EQ(played.size(), 1u);
}

TEST_F(AttachmentDownloadOverlayTest, TheProgressBarFollowsTheDownloadAndASecondBarStartsAtOneHundredth) {
    makeOverlay();
    overlay->toDownLoadAttachsWith(kOverlayZipId, "zip", "作业.zip");
    ASSERT_NE(overlay->progressV(), nullptr);
    EXPECT_DOUBLE_EQ(overlay->progressV()->progress(), 0.0);
    ASSERT_TRUE(waitForEnd());
    EXPECT_DOUBLE_EQ(overlay->progressV()->progress(), 1.0);
    closeOpenedPage();
    auto bar = overlay->progressV();
    auto background = overlay->downLoadBgView();

    overlay->toDownLoadAttachsWith("880001", "amr", "跟读");
    // The same overlay and bar, moved back to the start.
    EXPECT_EQ(overlay->downLoadBgView(), background);
    EXPECT_EQ(overlay->progressV(), bar);
    EXPECT_DOUBLE_EQ(overlay->progressV()->progress(), AttachmentDownloadOverlay::kSecondBarStart);
    ASSERT_TRUE(waitForEnd());
}

TEST_F(AttachmentDownloadOverlayTest, TheOtherScreensSettingsKeepAmrAsAFileOrOpenTheConvertedVoice) {
    // The answer sheet: "amr" stays a file type, the overlay fills the host view, and the
    // file name gives the name and the type.
    makeOverlay(AttachmentDownloadOverlay::answerSheetOptions());
    host->view()->setFrame({0, 0, 320, 300});
    overlay->toShowFileImageWith(kOverlayVoiceId, "朗读.AMR.bak");
    EXPECT_EQ(overlay->realType(), "amr");
    EXPECT_EQ(overlay->realName(), "朗读");
    EXPECT_EQ(overlay->downLoadBgView()->frame(), Rect(0, 0, 320, 300));
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(fs::exists(cached("attachs_880002.amr")));
    EXPECT_FALSE(fs::exists(cached("attachs_880002.wav")));
    EXPECT_TRUE(played.empty());
    ASSERT_NE(openedPage(), nullptr);
    closeOpenedPage();
    overlay->toShowFileImageWith("990200", "板书");
    EXPECT_EQ(overlay->realType(), "png");
    ASSERT_TRUE(waitForEnd());
    AlertView::clearVisible();

    // The course homework list: a voice is converted and its WAV file opened.
    makeOverlay(AttachmentDownloadOverlay::courseListOptions());
    overlay->toDownLoadAttachsWith("880001", "amr", "跟读");
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(played.empty());
    auto page = openedPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->title(), "跟读");
    EXPECT_TRUE(fs::exists(cached("attachs_880001.wav")));
}

TEST_F(AttachmentDownloadOverlayTest, EachScreenKeepsItsOwnStateAndAScreenThatGoesAwayStopsItsDownload) {
    makeOverlay();
    auto other = AttachmentDownloadOverlay::make(host, AttachmentDownloadOverlay::detailsOptions());
    service().setReply("GET", "/resource/990300/download", delayedReply("application/zip", "PK"));
    overlay->toDownLoadAttachsWith("990300", "zip", "a.zip");
    EXPECT_TRUE(overlay->attDownloading());
    EXPECT_FALSE(other->attDownloading());
    EXPECT_EQ(other->downLoadBgView(), nullptr);
    EXPECT_EQ(other->realPath(), "");

    auto connection = overlay->download()->connection();
    ASSERT_NE(connection, nullptr);
    overlay.reset();
    EXPECT_TRUE(connection->isCancelled());
    EXPECT_EQ(driver->byText("下载中..."), nullptr);
}

}  // namespace
