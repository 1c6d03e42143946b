#include "support/ServiceFixture.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/MVTExplainViewController.h"
#include "shell/MVTInterface.h"
#include "shell/MVTReportViewController.h"
#include "shell/MVTShareViewController.h"
#include "shell/MVTShowImagesViewController.h"
#include "shell/MVTWebViewController.h"
#include "shell/myNavigationController.h"

#include "platform/Files.h"
#include "platform/NotificationCenter.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"
#include "platform/ui/UiDriver.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class WebViewScreensTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        Screen::mainScreen().reset();
        AlertView::clearVisible();
        InternationalControl::setUserlanguage("zh-Hans", false);
        MVTAccount::resetSharedInstanceForTests();
        auto& account = MVTAccount::sharedInstance();
        account.setUserId("12");
        account.setRole("teacher");
        account.setClassId("11");
        driver = std::make_unique<UiDriver>();
        root = std::make_shared<ViewController>();
        driver->show(root);
    }
    void TearDown() override {
        AlertView::clearVisible();
        driver.reset();
        root.reset();
        MVTAccount::resetSharedInstanceForTests();
        ServiceTest::TearDown();
    }

    // Presented inside a navigation stack, as the openers do.
    std::shared_ptr<MVTWebViewController> presentWebScreen() {
        auto screen = std::make_shared<MVTWebViewController>();
        root->presentViewController(myNavigationController::withRoot(screen), true);
        driver->settle();
        return screen;
    }
    bool waitForLoad(const std::shared_ptr<WebView>& web) {
        return pumpUntil([&] { return web && !web->isLoading() && !web->loadedRequests().empty(); });
    }
    std::string advertUrl() const { return baseUrl() + "pages/advert"; }
    std::shared_ptr<ImageView> pictureIn(const std::shared_ptr<WebView>& web, const std::string& src) {
        for (auto& view : web->scrollView()->subviews())
            if (auto picture = std::dynamic_pointer_cast<ImageView>(view); picture && picture->accessibilityValue() == src)
                return picture;
        return nullptr;
    }
    // Scrolls the page so that `view` (a part of it) is inside the visible area.
    void scrollTo(const std::shared_ptr<WebView>& web, const std::shared_ptr<View>& view) {
        auto scroll = web->scrollView();
        const double top = view->convertRectTo(view->bounds(), scroll.get()).y();
        scroll->setContentOffset({0, std::max(0.0, std::min(top - 10,
                                                            scroll->contentSize().height - web->bounds().height()))});
    }

    std::unique_ptr<UiDriver> driver;
    std::shared_ptr<ViewController> root;
};

// ---- The general web page screen

TEST_F(WebViewScreensTest, APageShowsLoadingThenItsTitleAndItsCloseLinkClosesTheScreen) {
    struct Case {
        bool pushed;
    };
    for (Case c : {Case{false}, Case{true}}) {
        std::shared_ptr<MVTWebViewController> screen;
        std::shared_ptr<myNavigationController> stack;
        if (c.pushed) {
            auto first = std::make_shared<ViewController>();
            stack = myNavigationController::withRoot(first);
            root->presentViewController(stack, false);
            screen = std::make_shared<MVTWebViewController>();
            screen->setAccessibilityValue("push");
            stack->pushViewController(screen, false);
        } else {
            screen = presentWebScreen();
        }
        screen->reloadUrlWith(advertUrl(), "开放日");
        EXPECT_EQ(screen->title(), "加载中...");
        EXPECT_EQ(screen->web()->frame(), Rect(0, 0, 320, 568 - 64));
        ASSERT_TRUE(waitForLoad(screen->web()));
        EXPECT_EQ(screen->title(), "开放日");
        EXPECT_FALSE(screen->web()->scalesPageToFit());

        auto web = screen->web();
        auto close = driver->byText("关闭页面");
        ASSERT_NE(close, nullptr);
        scrollTo(web, close);
        ASSERT_TRUE(driver->tap(close));
        // Refused: nothing more is loaded.
        EXPECT_EQ(web->loadedRequests().size(), 1u);
        if (c.pushed) {
            // Popped with animation: still on its way out.
            EXPECT_EQ(stack->viewControllers().size(), 1u);
            EXPECT_TRUE(screen->view()->window());
            driver->settle();
            EXPECT_FALSE(screen->view()->window());
            root->dismissViewController(false);
        } else {
            // Dismissed without animation: gone at once.
            EXPECT_FALSE(root->presentedViewController());
            EXPECT_FALSE(screen->view()->window());
        }
    }
}

TEST_F(WebViewScreensTest, APageThatShowsItsTitleKeepsItWhileItsLinksLoad) {
    service().route("GET", "pages/list", [](const RecordedRequest&) {
        return Reply::text("<html><head><title>通知</title></head><body><a href='/pages/advert'>开放日</a></body></html>",
                           "text/html; charset=utf-8");
    });
    auto screen = presentWebScreen();
    screen->reloadUrlWith(baseUrl() + "pages/list", "通知列表");
    ASSERT_TRUE(waitForLoad(screen->web()));
    EXPECT_EQ(screen->title(), "通知列表");
    ASSERT_TRUE(driver->tapText("开放日"));
    driver->pump();
    EXPECT_EQ(screen->title(), "通知列表");
    ASSERT_TRUE(pumpUntil([&] { return screen->web()->loadedRequests().size() == 2 && !screen->web()->isLoading(); }));
    EXPECT_EQ(screen->web()->loadedRequests().back().url(), advertUrl());
    EXPECT_EQ(screen->title(), "通知列表");
}

TEST_F(WebViewScreensTest, ALoadByAddressThatIsNoAddressStaysLoading) {
    auto screen = presentWebScreen();
    screen->reloadUrlWith("http://127.0.0.1/通知 页", "通知");
    driver->settle();
    EXPECT_EQ(screen->title(), "加载中...");
    EXPECT_TRUE(screen->web()->loadedRequests().empty());
}

TEST_F(WebViewScreensTest, AFailedLoadOnlyRestoresTheTitle) {
    auto screen = presentWebScreen();
    screen->reloadUrlWith("http://127.0.0.1:1/none", "通知");
    ASSERT_TRUE(pumpUntil([&] { return screen->title() == "通知"; }));
    EXPECT_TRUE(root->presentedViewController());
    EXPECT_TRUE(AlertView::visibleAlerts().empty());
}

TEST_F(WebViewScreensTest, TheInfoLoadFillsTheScreenBelowTheStatusBarAndCountsAPageView) {
    StatisticsKit::shared().reset();
    auto screen = presentWebScreen();
    screen->setIsFromHomeView(true);
    screen->reloadUrlWithInfo(advertUrl(), "应用");
    EXPECT_EQ(screen->web()->frame(), Rect(0, 20, 320, 568 - 20));
    EXPECT_TRUE(screen->web()->scalesPageToFit());
    ASSERT_EQ(StatisticsKit::shared().pageEvents().size(), 1u);
    EXPECT_EQ(StatisticsKit::shared().pageEvents()[0], (std::pair<std::string, std::string>{"begin", "本地信息"}));
    // A second load replaces the page view.
    auto first = screen->web();
    screen->reloadUrlWith(advertUrl(), "应用");
    EXPECT_NE(screen->web(), first);
    EXPECT_FALSE(first->superview());
}

TEST_F(WebViewScreensTest, TextFilesAreShownAsTextInUtf8OrGb18030AndNeverAsMarkup) {
    struct Case {
        std::string name;
        std::string bytes;
        std::string text;
    };
    for (const Case& c : {
             Case{"notes.txt", "作业：<b>第一课</b> & <script>alert(1)</script>", "作业：<b>第一课</b> & <script>alert(1)</script>"},
             Case{"OLD.TxT", "\xd6\xd0\xce\xc4\xb0\xe0\xbc\xb6 <i>", "中文班级 <i>"},
         }) {
        const auto path = home_ / c.name;
        ASSERT_TRUE(writeFileAtomically(path, c.bytes));
        auto screen = presentWebScreen();
        screen->reloadUrlWithPath(path.string(), c.name);
        ASSERT_TRUE(waitForLoad(screen->web())) << c.name;
        EXPECT_TRUE(screen->isTextMode()) << c.name;
        EXPECT_EQ(screen->view()->tag(), MVTWebViewController::kTextModeTag);
        EXPECT_TRUE(screen->web()->scalesPageToFit());
        EXPECT_EQ(screen->web()->pageText(), c.text) << c.name;
        EXPECT_EQ(screen->web()->loadedRequests().at(0).url(), "about:blank");
        EXPECT_EQ(screen->web()->evaluatedScripts().back(), MVTWebViewController::kTextSizeScript);
        EXPECT_EQ(screen->title(), c.name);
        EXPECT_EQ(MVTWebViewController::readText(path.string()), c.text);
        root->dismissViewController(false);
    }
}

TEST_F(WebViewScreensTest, AFileThatIsNoTextOrNotReadableAsTextIsHandedToTheWebViewAsAFile) {
    for (const std::string name : {"broken.txt", "lesson.doc"}) {
        const auto path = home_ / name;
        ASSERT_TRUE(writeFileAtomically(path, std::string("\x80\xff\xfe abc", 7)));
        auto screen = presentWebScreen();
        screen->reloadUrlWithPath(path.string(), name);
        ASSERT_TRUE(waitForLoad(screen->web()));
        EXPECT_FALSE(screen->isTextMode());
        EXPECT_EQ(screen->web()->loadedRequests().at(0).url(), WebView::fileUrlWithPath(path.string()));
        EXPECT_EQ(screen->title(), name);
        root->dismissViewController(false);
    }
    EXPECT_FALSE(MVTWebViewController::readText((home_ / "broken.txt").string()));
    EXPECT_FALSE(MVTWebViewController::readText((home_ / "missing.txt").string()));
}

TEST_F(WebViewScreensTest, HomeworkTextIsShownNativelyUnderItsHeadline) {
    auto screen = presentWebScreen();
    screen->reloadUrlWithHtmlStr("背诵第三课<br>抄写生字", "语文作业");
    EXPECT_EQ(screen->title(), "作业详情");
    EXPECT_EQ(screen->web(), nullptr);
    auto headline = driver->as<Label>(driver->byText("语文作业"));
    ASSERT_NE(headline, nullptr);
    EXPECT_EQ(headline->frame().origin, (Point{5, 5}));
    EXPECT_EQ(headline->font(), Font::boldSystemFontOfSize(18));
    auto text = driver->as<TextView>(driver->byClass("TextView"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "背诵第三课<br>抄写生字");
    EXPECT_FALSE(text->isEditable());
    EXPECT_EQ(text->frame().y(), headline->frame().height() + 10);
    auto area = driver->as<ScrollView>(text->superview());
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->contentSize().height, headline->frame().height() + 10 + text->frame().height());
}

// ---- Sharing an article

TEST_F(WebViewScreensTest, TheShareDictionaryFallsBackForMissingOrNonTextValues) {
    const std::string picture = "PNGBYTES";
    auto bytes = [](const Json& value) {
        const auto& b = value.get_binary();
        return std::string(b.begin(), b.end());
    };
    Json full = {{"title", "春游"}, {"description", "第一行\n第二\t行"}, {"image", "http://x/p.png"}, {"link", "http://x/a"}};
    Json dict = MVTWebViewController::shareDictionary(full, picture);
    EXPECT_EQ(dict["title"], "春游");
    EXPECT_EQ(dict["content"], "第一行第二行");
    EXPECT_EQ(dict["url"], "http://x/a");
    EXPECT_EQ(bytes(dict["image"]), picture);
    EXPECT_EQ(bytes(dict["thumbImage"]), picture);

    Json odd = {{"title", 12}, {"description", nullptr}};
    dict = MVTWebViewController::shareDictionary(odd, picture);
    EXPECT_EQ(dict["title"], "岚溪校讯动态");
    EXPECT_EQ(dict["content"], "来自岚溪校讯的分享");
    EXPECT_FALSE(dict.contains("url"));
}

TEST_F(WebViewScreensTest, SharingWithoutAPictureUsesTheDefaultPictureAndMakesTheScreenTheDelegate) {
    auto screen = std::make_shared<MVTWebViewController>();
    screen->setIsNeedToShare(true);
    screen->setMyDict({{"link", advertUrl()}});
    root->presentViewController(myNavigationController::withRoot(screen), false);
    auto share = screen->shareBtn();
    ASSERT_NE(share, nullptr);
    EXPECT_EQ(share->currentTitle(), "分享");
    EXPECT_EQ(share->frame().size, (Size{44, 44}));
    ASSERT_TRUE(driver->tap(share));
    EXPECT_FALSE(screen->shareImageData().empty());
    EXPECT_EQ(screen->shareImageData(), Image::imageNamed("tirra.png")->pngData());
    EXPECT_EQ(MVTShareViewController::shareViewController()->delegate().get(), static_cast<shareDelegate*>(screen.get()));
    MVTShareViewController::shareViewController()->setDelegate(nullptr);
}

TEST_F(WebViewScreensTest, TheSharePictureIsFetchedFromTheArticlesAddress) {
    auto screen = std::make_shared<MVTWebViewController>();
    screen->setIsNeedToShare(true);
    screen->setMyDict({{"image", baseUrl() + "pages/pictures/2.png"}});
    root->presentViewController(myNavigationController::withRoot(screen), false);
    ASSERT_TRUE(pumpUntil([&] { return !screen->shareImageData().empty(); }));
    auto picture = Image::imageWithData(screen->shareImageData());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixelWidth(), 240);
}

TEST_F(WebViewScreensTest, AUserWithoutAClassIsAskedToJoinOneInsteadOfSharing) {
    struct Case {
        std::string role;
        long button;
        bool joins;
    };
    for (const Case& c : {Case{"parent", 0, false}, Case{"teacher", 0, true}, Case{"student", 1, false}}) {
        MVTAccount::sharedInstance().setRole(c.role);
        MVTAccount::sharedInstance().setClassId("");
        auto screen = std::make_shared<MVTWebViewController>();
        screen->setIsNeedToShare(true);
        root->presentViewController(myNavigationController::withRoot(screen), false);
        ASSERT_TRUE(driver->tap(screen->shareBtn()));
        auto alert = driver->alert();
        ASSERT_NE(alert, nullptr) << c.role;
        EXPECT_EQ(alert->tag(), MVTWebViewController::kJoinClassAlertTag);
        EXPECT_EQ(alert->numberOfButtons(), c.role == "parent" ? 1 : 2) << c.role;
        EXPECT_EQ(alert->message(), c.role == "parent" ? "您的孩子没有加入班级，请让孩子加入班级"
                                                       : "请先加入班级，可以查看和分享更多精彩");
        EXPECT_TRUE(screen->shareImageData().empty());
        ASSERT_TRUE(driver->pressAlertButton(c.button));
        driver->settle();
        auto presented = std::dynamic_pointer_cast<NavigationController>(screen->presentedViewController());
        EXPECT_EQ(presented != nullptr, c.joins) << c.role;
        if (presented) {
            EXPECT_NE(std::dynamic_pointer_cast<MVTInterClassViewController>(presented->viewControllers().front()), nullptr);
        }
        root->dismissViewController(false);
    }
}

TEST_F(WebViewScreensTest, TheShareResultRisesAndFadesInAGreenBanner) {
    auto screen = presentWebScreen();
    screen->shareResult("分享失败 尚未安装微信客户端");
    auto banner = screen->shareBanner();
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->text(), "分享失败 尚未安装微信客户端");
    EXPECT_EQ(banner->backgroundColor(), Color::rgb255(58, 145, 32));
    driver->settle();
    EXPECT_EQ(banner->frame(), Rect(5, -30, 310, 26));
    EXPECT_EQ(banner->alpha(), 0);
}

// ---- Advert and report screens

TEST_F(WebViewScreensTest, AnAdvertCollectsItsPicturesAndATapOnOneOpensTheViewer) {
    auto advert = std::make_shared<MVTExplainViewController>();
    advert->setATag(1);
    advert->setIsFromHomeView(true);
    auto stack = myNavigationController::withRoot(advert);
    root->presentViewController(stack, true);
    advert->loadWithUrl(advertUrl());
    advert->setNewTitle("春季开放日");
    EXPECT_TRUE(stack->isNavigationBarHidden());
    EXPECT_EQ(advert->titleLa()->text(), "春季开放日");
    EXPECT_EQ(advert->web()->frame(), Rect(0, 64, 320, 568 - 64));
    driver->pump();
    // The overlay shows while the page loads.
    EXPECT_TRUE(advert->contentView()->superview());
    ASSERT_TRUE(waitForLoad(advert->web()));
    EXPECT_FALSE(advert->contentView()->superview());
    EXPECT_EQ(advert->imageSrcArr(),
              (std::vector<std::string>{baseUrl() + "pages/pictures/1.png", baseUrl() + "pages/pictures/2.png",
                                        baseUrl() + "pages/pictures/3.png"}));
    driver->settle();
    auto firstPicture = pictureIn(advert->web(), baseUrl() + "pages/pictures/1.png");
    ASSERT_NE(firstPicture, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return firstPicture->image() != nullptr; }));
    // The rendered page shows the picture where its view stands.
    {
        auto shot = Renderer::renderScreen(driver->window());
        ASSERT_TRUE(shot);
        const Rect place = firstPicture->convertRectTo(firstPicture->bounds(), nullptr);
        const auto picture = firstPicture->image();
        const double scale = double(shot->pixelWidth()) / driver->window().bounds().width();
        EXPECT_EQ(shot->colorAt(int(place.midX() * scale), int(place.midY() * scale)),
                  picture->colorAt(picture->pixelWidth() / 2, picture->pixelHeight() / 2));
    }

    // A tap on text opens nothing.
    ASSERT_TRUE(driver->tapText("欢迎家长走进课堂，和孩子一起度过一个上午。"));
    driver->settle();
    EXPECT_EQ(stack->viewControllers().size(), 1u);

    auto second = pictureIn(advert->web(), baseUrl() + "pages/pictures/2.png");
    ASSERT_NE(second, nullptr);
    scrollTo(advert->web(), second);
    ASSERT_TRUE(driver->tap(second));
    driver->settle();
    ASSERT_EQ(stack->viewControllers().size(), 2u);
    auto viewer = std::dynamic_pointer_cast<MVTShowImagesViewController>(stack->viewControllers().back());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->nowImageUrl(), baseUrl() + "pages/pictures/2.png");
    EXPECT_EQ(viewer->allImagesArr(), Json(advert->imageSrcArr()));
}

TEST_F(WebViewScreensTest, WithPictureModeZeroATapStillOpensTheViewerWithAnEmptyList) {
    auto advert = std::make_shared<MVTExplainViewController>();
    advert->setIsFromHomeView(true);
    auto stack = myNavigationController::withRoot(advert);
    root->presentViewController(stack, false);
    advert->loadWithUrl(advertUrl());
    ASSERT_TRUE(waitForLoad(advert->web()));
    EXPECT_TRUE(advert->imageSrcArr().empty());
    auto first = pictureIn(advert->web(), baseUrl() + "pages/pictures/1.png");
    ASSERT_NE(first, nullptr);
    scrollTo(advert->web(), first);
    ASSERT_TRUE(driver->tap(first));
    driver->settle();
    ASSERT_EQ(stack->viewControllers().size(), 2u);
    auto viewer = std::dynamic_pointer_cast<MVTShowImagesViewController>(stack->viewControllers().back());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->nowImageUrl(), baseUrl() + "pages/pictures/1.png");
    EXPECT_TRUE(viewer->allImagesArr().empty());
}

TEST_F(WebViewScreensTest, AFailedAdvertLoadAlertsAndAnyAnswerClosesTheScreen) {
    auto advert = std::make_shared<MVTExplainViewController>();
    root->presentViewController(myNavigationController::withRoot(advert), true);
    advert->loadWithUrl("http://127.0.0.1:1/advert");
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(driver->alert()->title(), "加载失败");
    EXPECT_EQ(driver->alert()->buttonTitleAtIndex(0), "知道了");
    EXPECT_FALSE(advert->contentView()->superview());
    ASSERT_TRUE(driver->pressAlertButton(0));
    driver->settle();
    EXPECT_FALSE(root->presentedViewController());
}

TEST_F(WebViewScreensTest, TheReportPageIsLoadedEscapedAndItsGoBackClosesEveryAdvertAndReportScreen) {
    // A web page screen with an advert over it, and a report over that.
    auto page = presentWebScreen();
    page->reloadUrlWith(advertUrl(), "开放日");
    ASSERT_TRUE(waitForLoad(page->web()));
    auto advert = std::make_shared<MVTExplainViewController>();
    page->presentViewController(myNavigationController::withRoot(advert), false);
    auto report = std::make_shared<MVTReportViewController>();
    report->setATag(1);
    advert->presentViewController(report, false);
    report->loadRegister(baseUrl() + "report/55?targetUid=9&uid=12&name=王 老师&type=feed&token=T&mobile=1");
    report->setNewTitle("举报");
    ASSERT_TRUE(waitForLoad(report->registerWeb()));

    auto sent = service().lastRequest("/report/55");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->queryValue("name"), "王 老师");
    EXPECT_EQ(sent->queryValue("type"), "feed");
    EXPECT_EQ(report->registerWeb()->frame(), Rect(0, 64, 320, 568 - 64));
    EXPECT_FALSE(report->registerWeb()->scrollView()->bounces());
    EXPECT_NE(report->registerWeb()->javascriptInterface("serverinfo"), nullptr);
    EXPECT_NE(report->registerWeb()->pageText().find("王 老师"), std::string::npos);

    size_t posted = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(kToBackToLoginNotification,
                                                                 [&](const Notification& n) {
                                                                     ++posted;
                                                                     EXPECT_TRUE(n.object.is_null());
                                                                 });
    ASSERT_TRUE(driver->tapText("提交并返回"));
    EXPECT_EQ(posted, 1u);
    driver->settle();
    EXPECT_FALSE(report->view()->window());
    EXPECT_FALSE(advert->view()->window());
    // The web page screen under them stays.
    EXPECT_TRUE(page->view()->window());
    EXPECT_EQ(root->presentedViewController(), page->navigationController()->shared_from_this());
    EXPECT_FALSE(page->presentedViewController());
}

TEST_F(WebViewScreensTest, TheBridgeObjectsGoBackPostsTheNotificationOnlyForGoBack) {
    size_t posted = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(kToBackToLoginNotification,
                                                                 [&](const Notification&) { ++posted; });
    MVTInterface bridge;
    EXPECT_FALSE(bridge.callFromScript("close", {}));
    EXPECT_EQ(posted, 0u);
    EXPECT_TRUE(bridge.callFromScript("goBack", {}));
    EXPECT_EQ(posted, 1u);
}

}  // namespace
