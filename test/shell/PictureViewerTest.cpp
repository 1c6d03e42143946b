// The base screen's full-screen picture viewer against the sample service: where each page's
// picture comes from (caches, file server, service), the page label, the full-size button,
// saving with a long press, closing, and a rendered look.

#include "support/ServiceFixture.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/ViewViewController.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/SavedPhotosAlbum.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/Window.h"

#include <atomic>

#include <utime.h>

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

constexpr double kWeek = 7 * 24 * 3600;

class PictureViewerTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        Screen::mainScreen().reset();
        StatusBar::shared().setHidden(false);
        setAnimationsEnabled(true);
        InternationalControl::setUserlanguage("zh-Hans", false);
        MVTAccount::resetSharedInstanceForTests();
        driver_ = std::make_unique<UiDriver>();
        screen_ = std::make_shared<ViewViewController>();
        driver_->show(screen_);
        // The service's large pictures and the file server answer with pictures per id.
        service().route("GET", "resource/view/img_thumb/%@", [this](const RecordedRequest& request) {
            Reply reply = pictureReply(serviceLarge_, request.arguments.at(0));
            reply.delay = serviceDelay_;
            return reply;
        });
        service().route("GET", "vfs/%@/transpic/%@", [this](const RecordedRequest& request) {
            return pictureReply(fileServer_, request.arguments.at(1));
        });
        service().route("GET", "vfs/%@/%@", [this](const RecordedRequest& request) {
            return pictureReply(fileServer_, request.arguments.at(1));
        });
    }
    void TearDown() override {
        driver_.reset();
        screen_.reset();
        ServiceTest::TearDown();
    }

    static Reply pictureReply(const std::map<std::string, std::string>& pictures, const std::string& key) {
        auto found = pictures.find(key);
        if (found == pictures.end()) return Reply::text("not found", "text/plain", 404);
        return Reply::text(found->second, "image/png");
    }

    static std::string png(const Color& color, Size size = {30, 20}) {
        return Image::imageWithColor(color, size)->pngData();
    }

    // A picture file in the download folder, fresh or older than a week by the app's clock.
    static std::string writeCache(const std::string& name, const std::string& bytes, bool stale = false) {
        std::string path = MVTPublicMethod::getPathByFileName(name, "png");
        EXPECT_TRUE(writeFileAtomically(path, bytes));
        if (stale) {
            utimbuf times{};
            times.actime = times.modtime = static_cast<time_t>(now() - kWeek - 3600);
            utime(path.c_str(), &times);
        }
        return path;
    }

    void open(const Json& pictures, int index = 0) {
        screen_->showImage(pictures, index);
        advance(0.4);
    }

    std::shared_ptr<ScrollView> pagingView() const {
        return screen_->backView ? std::dynamic_pointer_cast<ScrollView>(screen_->backView->viewWithTag(200)) : nullptr;
    }
    std::shared_ptr<ScrollView> zoomView(int page) const {
        for (const auto& child : pagingView()->subviews())
            if (child->tag() == page + 1) return std::dynamic_pointer_cast<ScrollView>(child);
        return nullptr;
    }
    std::shared_ptr<ImageView> picture(int page) const {
        return std::dynamic_pointer_cast<ImageView>(zoomView(page)->subviews().at(0));
    }
    std::shared_ptr<Button> fullSizeButton(int page) const {
        for (const auto& child : pagingView()->subviews())
            if (child->tag() == page + 100) return std::dynamic_pointer_cast<Button>(child);
        return nullptr;
    }
    static bool loading(const ImageView& view) {
        for (const auto& child : view.subviews())
            if (child->tag() == 1234) return true;
        return false;
    }
    // The picture shown has the colour of `bytes` (pictures here are plain colours).
    static bool shows(const ImageView& view, const std::string& bytes) {
        auto expected = Image::imageWithData(bytes);
        return view.image() && expected && view.image()->pixelAt(0, 0) == expected->pixelAt(0, 0) &&
               view.image()->size() == expected->size();
    }
    bool toastShows(const std::string& text) const {
        return screen_->miLa && screen_->miLa->superview() && screen_->miLa->text() == text;
    }
    std::vector<RecordedRequest> pictureRequests() {
        std::vector<RecordedRequest> found;
        for (const auto& request : service().requests())
            if (request.path.rfind("/resource/", 0) == 0 || request.path.rfind("/vfs/", 0) == 0) found.push_back(request);
        return found;
    }
    void useFileServer() { MVTAccount::sharedInstance().setVfsUrl(baseUrl() + "vfs/"); }

    static Json serviceEntry(const std::string& id, const std::string& resModuleId) {
        return Json{{"id", id}, {"resModuleId", resModuleId}};
    }
    static Json fileServerEntry(const std::string& id, const std::string& resModuleId, const std::string& name) {
        return Json{{"id", id},           {"resModuleId", resModuleId}, {"resPath", "p/"},
                    {"resName", name},    {"resSuffix", ".png"},        {"thumbSuffix", ".png"}};
    }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<ViewViewController> screen_;
    std::map<std::string, std::string> serviceLarge_;  // by "id"
    // Real seconds the service holds its large pictures back (a test that looks at the
    // loading state must not race the reply).
    std::atomic<double> serviceDelay_{0};
    std::map<std::string, std::string> fileServer_;    // by file name
};

TEST_F(PictureViewerTest, AFreshLargePictureShowsWithoutAnyRequest) {
    std::string large = png(Color::red(), {40, 30});
    writeCache("og_77", large);
    open(Json::array({serviceEntry("7", "77")}));
    auto view = picture(0);
    EXPECT_TRUE(shows(*view, large));
    advance(0.5);
    BackgroundQueue::shared().waitIdle();
    EXPECT_TRUE(pictureRequests().empty());
    EXPECT_FALSE(loading(*view));
}

TEST_F(PictureViewerTest, TheServiceRouteShowsTheThumbnailThenTheLargePictureAndCachesIt) {
    std::string thumbnail = png(Color::gray(), {10, 10});
    std::string large = png(Color::rgba(0, 0, 1, 1), {60, 40});
    writeCache("account_8", thumbnail);
    serviceLarge_["8"] = large;
    open(Json::array({serviceEntry("8", "88")}));
    auto view = picture(0);
    // The thumbnail and the spinner at once, while the large picture loads.
    EXPECT_TRUE(shows(*view, thumbnail) || shows(*view, large));
    ASSERT_TRUE(pumpUntil([&] { return shows(*view, large); }));
    EXPECT_FALSE(loading(*view));
    auto request = service().lastRequest("/resource/view/img_thumb/8");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->queryValue("size"), "big");
    EXPECT_FALSE(request->queryValue("token").value_or("").empty());
    BackgroundQueue::shared().waitIdle();
    EXPECT_EQ(readFile(MVTPublicMethod::getPathByFileName("og_88", "png")), large);
}

TEST_F(PictureViewerTest, AStaleLargePictureIsFetchedAgainAndReplaced) {
    std::string old = png(Color::red());
    std::string fresh = png(Color::rgba(0, 1, 0, 1));
    writeCache("og_90", old, /*stale=*/true);
    serviceLarge_["9"] = fresh;
    serviceDelay_ = 0.3;
    open(Json::array({serviceEntry("9", "90")}));
    auto view = picture(0);
    // The placeholder stands in while it loads; the old picture is not shown.
    EXPECT_FALSE(shows(*view, old));
    EXPECT_TRUE(loading(*view));
    ASSERT_TRUE(pumpUntil([&] { return shows(*view, fresh); }));
    BackgroundQueue::shared().waitIdle();
    EXPECT_EQ(readFile(MVTPublicMethod::getPathByFileName("og_90", "png")), fresh);
}

TEST_F(PictureViewerTest, TheLocalCopyInTheDocumentsFolderIsUsedWhateverItsAge) {
    std::string local = png(Color::rgba(1, 1, 0, 1));
    ASSERT_TRUE(writeFileAtomically(Paths::documentsDirectory() / "55555", local));
    open(Json::array({serviceEntry("5", "55555")}));
    auto view = picture(0);
    ASSERT_TRUE(pumpUntil([&] { return shows(*view, local); }));
    BackgroundQueue::shared().waitIdle();
    EXPECT_TRUE(pictureRequests().empty());
}

TEST_F(PictureViewerTest, TheFileServerComesFirstAndItsPictureIsCached) {
    useFileServer();
    std::string big = png(Color::rgba(0, 1, 1, 1), {80, 60});
    fileServer_["pic.big.png"] = big;
    serviceLarge_["3"] = png(Color::red());
    open(Json::array({fileServerEntry("3", "33", "pic")}));
    auto view = picture(0);
    ASSERT_TRUE(pumpUntil([&] { return shows(*view, big); }));
    BackgroundQueue::shared().waitIdle();
    EXPECT_TRUE(service().lastRequest("/vfs/p/transpic/pic.big.png"));
    EXPECT_FALSE(service().lastRequest("/resource/view/img_thumb/3"));
    EXPECT_EQ(readFile(MVTPublicMethod::getPathByFileName("og_33", "png")), big);
}

TEST_F(PictureViewerTest, AFailingFileServerFallsBackToTheService) {
    useFileServer();
    std::string large = png(Color::rgba(1, 0, 1, 1));
    serviceLarge_["4"] = large;
    open(Json::array({fileServerEntry("4", "44", "missing")}));
    auto view = picture(0);
    ASSERT_TRUE(pumpUntil([&] { return shows(*view, large); }));
    EXPECT_FALSE(loading(*view));
    EXPECT_TRUE(service().lastRequest("/vfs/p/transpic/missing.big.png"));
    EXPECT_TRUE(service().lastRequest("/resource/view/img_thumb/4"));
}

TEST_F(PictureViewerTest, WithoutAUsableFileServerPathThePageGoesToTheService) {
    struct Case {
        std::string vfsUrl;
        Json resPath;
    };
    for (const Case& c : {Case{"", "p/"}, Case{"file-server", "<null>"}, Case{"file-server", ""},
                          Case{"file-server", nullptr}}) {
        SCOPED_TRACE(c.vfsUrl + " / " + textOf(c.resPath));
        MVTAccount::sharedInstance().setVfsUrl(c.vfsUrl.empty() ? "" : baseUrl() + "vfs/");
        Json entry = fileServerEntry("6", "66", "pic");
        entry["resPath"] = c.resPath;
        std::string large = png(Color::rgba(0.5, 0, 0, 1));
        serviceLarge_["6"] = large;
        open(Json::array({entry}));
        auto view = picture(0);
        ASSERT_TRUE(pumpUntil([&] { return shows(*view, large); }));
        BackgroundQueue::shared().waitIdle();
        EXPECT_EQ(pictureRequests().size(), 1u);
        EXPECT_TRUE(service().lastRequest("/resource/view/img_thumb/6"));
        // Next case from scratch.
        std::filesystem::remove(MVTPublicMethod::getPathByFileName("og_66", "png"));
        screen_->closeImage();
        advance(0.4);
        service().clearRequests();
    }
}

TEST_F(PictureViewerTest, AMoodPictureIsShownWithoutAFetchAndKeepsItsFullSizeButton) {
    open(Json::array({serviceEntry("55", "5500"), Json{{"id", "56"}, {"isCover", "1"}}}));
    auto view = picture(0);
    ASSERT_TRUE(view->image());
    EXPECT_EQ(view->image(), Image::imageNamed("feeling_5"));
    EXPECT_FALSE(view->image()->isPlaceholder());
    EXPECT_EQ(picture(1)->image(), Image::imageNamed("feeling_6"));
    EXPECT_FALSE(loading(*view));
    EXPECT_TRUE(fullSizeButton(0));
    EXPECT_FALSE(fullSizeButton(1));  // "isCover" takes the button away
    advance(0.5);
    BackgroundQueue::shared().waitIdle();
    EXPECT_TRUE(pictureRequests().empty());
}

TEST_F(PictureViewerTest, ThePageLabelReadsPositionOverCount) {
    writeCache("og_a", png(Color::red()));
    writeCache("og_b", png(Color::gray()));
    writeCache("og_c", png(Color::black()));

    open(Json::array({serviceEntry("1", "a")}));
    EXPECT_FALSE(screen_->pageLabel);
    EXPECT_FALSE(driver_->byText("1 / 1"));
    screen_->closeImage();
    advance(0.4);

    open(Json::array({serviceEntry("1", "a"), serviceEntry("2", "b")}));
    ASSERT_TRUE(screen_->pageLabel);
    EXPECT_EQ(screen_->pageLabel->text(), "1 / 2");
    EXPECT_TRUE(driver_->byText("1 / 2"));
    screen_->closeImage();
    advance(0.4);

    open(Json::array({serviceEntry("1", "a"), serviceEntry("2", "b"), serviceEntry("3", "c")}), 1);
    EXPECT_EQ(screen_->pageLabel->text(), "2 / 3");
    EXPECT_EQ(pagingView()->contentOffset().x, 320);
    zoomView(1)->setZoomScale(2.0);
    ASSERT_EQ(zoomView(1)->zoomScale(), 2.0);
    pagingView()->setContentOffset({640, 0});
    EXPECT_EQ(screen_->currentNum, 2);
    EXPECT_EQ(screen_->pageLabel->text(), "3 / 3");
    EXPECT_EQ(zoomView(1)->zoomScale(), 1.0);
    // Zoom always works on the picture of the page in front, up to three times.
    EXPECT_EQ(screen_->viewForZoomingInScrollView(*zoomView(0)), picture(2));
    EXPECT_EQ(zoomView(2)->maximumZoomScale(), 3.0);
}

TEST_F(PictureViewerTest, OtherPagesStartTheirLoadLater) {
    useFileServer();
    fileServer_["one.big.png"] = png(Color::red());
    fileServer_["two.big.png"] = png(Color::gray());
    screen_->showImage(Json::array({fileServerEntry("1", "1a", "one"), fileServerEntry("2", "2a", "two")}), 1);
    // The page in front loads at once; the other one only 0.2 seconds later.
    EXPECT_TRUE(loading(*picture(1)));
    EXPECT_FALSE(loading(*picture(0)));
    advance(0.2);
    EXPECT_TRUE(loading(*picture(0)));
    ASSERT_TRUE(pumpUntil([&] { return !loading(*picture(0)) && !loading(*picture(1)); }));
}

TEST_F(PictureViewerTest, AFailedFullSizeFetchShowsItsToastAndOffersTheButtonAgain) {
    writeCache("og_12", png(Color::red()));
    // The service has no resource "12" and answers with its not-found text.
    open(Json::array({serviceEntry("1", "12")}));
    auto button = fullSizeButton(0);
    ASSERT_TRUE(button);
    ASSERT_TRUE(driver_->tap(button));
    EXPECT_TRUE(button->isHidden());
    EXPECT_TRUE(loading(*picture(0)));
    ASSERT_TRUE(pumpUntil([&] { return toastShows("原图下载失败"); }));
    EXPECT_FALSE(button->isHidden());
    EXPECT_FALSE(loading(*picture(0)));
    EXPECT_TRUE(service().lastRequest("/resource/12/download"));
    EXPECT_FALSE(service().lastRequest("/resource/12/download")->queryValue("token").value_or("").empty());
    // 0.2 s in, 1.0 s held, 0.2 s out.
    advance(1.3);
    EXPECT_TRUE(screen_->miLa->superview());
    advance(0.2);
    EXPECT_FALSE(screen_->miLa->superview());
    EXPECT_FALSE(std::filesystem::exists(MVTPublicMethod::getPathByFileName("yuantu_12", "png")));
}

TEST_F(PictureViewerTest, TheFullSizePictureComesFromTheFileServerOrTheCache) {
    useFileServer();
    std::string full = png(Color::rgba(0.2, 0.4, 0.6, 1), {120, 90});
    fileServer_["pic.big.png"] = png(Color::red());
    fileServer_["pic.png"] = full;
    open(Json::array({fileServerEntry("1", "15", "pic")}));
    ASSERT_TRUE(pumpUntil([&] { return !loading(*picture(0)); }));
    ASSERT_TRUE(driver_->tap(fullSizeButton(0)));
    ASSERT_TRUE(pumpUntil([&] { return shows(*picture(0), full); }));
    EXPECT_TRUE(fullSizeButton(0)->isHidden());
    EXPECT_TRUE(service().lastRequest("/vfs/p/pic.png"));
    BackgroundQueue::shared().waitIdle();
    EXPECT_EQ(readFile(MVTPublicMethod::getPathByFileName("yuantu_15", "png")), full);

    // Opened again: the cached full-size picture shows at once, no fetch.
    screen_->closeImage();
    advance(0.4);
    service().clearRequests();
    open(Json::array({fileServerEntry("1", "15", "pic")}));
    ASSERT_TRUE(pumpUntil([&] { return !loading(*picture(0)); }));
    service().clearRequests();
    ASSERT_TRUE(driver_->tap(fullSizeButton(0)));
    EXPECT_TRUE(shows(*picture(0), full));
    EXPECT_TRUE(fullSizeButton(0)->isHidden());
    BackgroundQueue::shared().waitIdle();
    EXPECT_TRUE(pictureRequests().empty());
}

TEST_F(PictureViewerTest, ALongPressOnThePictureSavesItToTheAlbum) {
    std::string large = png(Color::rgba(0, 0.5, 0, 1), {300, 200});
    writeCache("og_21", large);
    open(Json::array({serviceEntry("2", "21")}));
    ASSERT_TRUE(driver_->longPress(picture(0), 0.5));
    auto sheet = driver_->sheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->tag(), 1000);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "存入相册");
    EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->cancelButtonIndex()), "取消");
    ASSERT_TRUE(driver_->pressSheetButton(0));
    EXPECT_TRUE(toastShows("图片保存成功"));
    auto saved = SavedPhotosAlbum::savedFiles();
    ASSERT_EQ(saved.size(), 1u);
    auto image = Image::imageWithContentsOfFile(saved[0]);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), Size(300, 200));
}

TEST_F(PictureViewerTest, ASaveThatCannotBeWrittenSaysSoInsteadOfSuccess) {
    writeCache("og_22", png(Color::red()));
    // The album folder cannot be made: a file stands where its parent folder should be.
    ASSERT_TRUE(writeFileAtomically(SavedPhotosAlbum::folder().parent_path(), "in the way"));
    open(Json::array({serviceEntry("2", "22")}));
    ASSERT_TRUE(driver_->longPress(picture(0), 0.5));
    ASSERT_TRUE(driver_->pressSheetButton(0));
    EXPECT_TRUE(toastShows("图片保存失败"));
    EXPECT_TRUE(SavedPhotosAlbum::savedFiles().empty());
}

TEST_F(PictureViewerTest, ALongPressOnTheSpinnerOrCancellingSavesNothing) {
    // No reply while the test runs: the spinner stays.
    service().route("GET", "resource/view/img_thumb/%@", [](const RecordedRequest&) { return Reply::silent(5); });
    open(Json::array({serviceEntry("3", "31")}));
    ASSERT_TRUE(loading(*picture(0)));
    driver_->longPress(picture(0), 0.5);
    EXPECT_FALSE(driver_->sheet());

    writeCache("og_32", png(Color::red()));
    screen_->closeImage();
    advance(0.4);
    open(Json::array({serviceEntry("3", "32")}));
    ASSERT_TRUE(driver_->longPress(picture(0), 0.5));
    auto sheet = driver_->sheet();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(driver_->pressSheetButton(sheet->cancelButtonIndex()));
    EXPECT_TRUE(SavedPhotosAlbum::savedFiles().empty());
    EXPECT_FALSE(screen_->miLa && screen_->miLa->superview());
}

TEST_F(PictureViewerTest, ATapClosesTheViewerOnceItHasOpened) {
    open(Json::array());
    ASSERT_TRUE(screen_->backView);
    auto overlay = screen_->backView;
    EXPECT_EQ(overlay->window(), &driver_->window());
    EXPECT_FALSE(pagingView()->subviews().size() > 0 && pagingView()->contentSize().width > 0);
    EXPECT_FALSE(screen_->pageLabel);
    EXPECT_FALSE(screen_->view()->isUserInteractionEnabled());
    EXPECT_TRUE(screen_->statusBarState());
    EXPECT_TRUE(StatusBar::shared().isHidden());
    ASSERT_TRUE(driver_->tapPoint({160, 200}));
    advance(0.4);
    EXPECT_FALSE(overlay->superview());
    EXPECT_TRUE(overlay->subviews().empty());
    EXPECT_TRUE(screen_->view()->isUserInteractionEnabled());
    EXPECT_FALSE(screen_->statusBarState());
    EXPECT_FALSE(StatusBar::shared().isHidden());
}

TEST_F(PictureViewerTest, ATapDuringTheOpeningDoesNotCloseIt) {
    screen_->showImage(Json::array(), 0);
    advance(0.1);
    driver_->tapPoint({160, 200});
    advance(0.5);
    EXPECT_TRUE(screen_->backView->superview());
}

TEST_F(PictureViewerTest, RenderedFullScreen) {
    // A real picture of the bundle as the large picture of the first of two pages.
    auto picture = Image::imageNamed("default_teacher");
    ASSERT_TRUE(picture && !picture->isPlaceholder());
    writeCache("og_r1", picture->pngData());
    writeCache("og_r2", png(Color::gray(), {200, 300}));
    open(Json::array({serviceEntry("1", "r1"), serviceEntry("2", "r2")}));
    std::filesystem::path file = home_ / "picture-viewer.png";
    ASSERT_TRUE(Renderer::writePNG(driver_->window(), file));
    auto shot = Image::imageWithContentsOfFile(file);
    ASSERT_TRUE(shot);
    // The whole window at scale 2: the square picture fitted in the middle, black above.
    EXPECT_EQ(shot->pixelWidth(), 640);
    EXPECT_EQ(shot->pixelHeight(), 1136);
    EXPECT_NE(shot->colorAt(320, 568), Color::black());
    EXPECT_EQ(shot->colorAt(4, 100), Color::black());
}

}  // namespace
