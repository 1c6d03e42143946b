// The share wrapper over the sharing kit stand-in: what it hands the kit, and which
// outcome texts reach the delegate.

#include "support/AppTest.h"

#include "core/MVTAccount.h"
#include "shell/MVTShareViewController.h"
#include "shell/MVTWebViewController.h"
#include "shell/myNavigationController.h"

#include "platform/ShareKit.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"

#include <thread>

using namespace platform;

namespace {

struct Recorder : shareDelegate {
    void shareResult(const std::string& text) override { results.push_back(text); }
    std::vector<std::string> results;
};

class ShareTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        ShareKit::shared().reset();
        ShareKit::shared().registerApp("app-key");
        ShareKit::shared().connectWeChat("wx0123456789abcdef");
        driver_ = std::make_unique<UiDriver>();
        host_ = std::make_shared<ViewController>();
        driver_->show(host_);
        sender_ = Button::buttonWithType(ButtonType::Custom);
        host_->view()->addSubview(sender_);
        wrapper_ = MVTShareViewController::shareViewController();
    }
    void TearDown() override {
        wrapper_->setDelegate(nullptr);
        ShareKit::shared().reset();
        driver_.reset();
        AppTest::TearDown();
    }

    // What the caller does: share, then become the delegate.
    std::shared_ptr<Recorder> share(const Json& dictionary) {
        auto recorder = std::make_shared<Recorder>();
        wrapper_->shareTo(dictionary, sender_.get());
        wrapper_->setDelegate(recorder);
        return recorder;
    }
    static std::string bytesOf(const std::optional<ShareAttachment>& attachment) {
        return attachment ? attachment->bytes : std::string("(missing)");
    }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<ViewController> host_;
    std::shared_ptr<Button> sender_;
    std::shared_ptr<MVTShareViewController> wrapper_;
};

Json article() {
    return Json{{"title", "Tom &amp; Jerry &lt;3&gt;"},
                {"content", "&#20320;&#x597D; &quot;friends&quot; &nbsp;&bogus; & more"},
                {"image", Json::binary({'I', 'M', 'G'})},
                {"thumbImage", Json::binary({'T', 'H'})},
                {"url", "http://example.org/a?x=1&amp;y=2"}};
}

TEST_F(ShareTest, TheKitGetsTheGeneralContentAndTheThreeWeChatEntries) {
    share(article());
    ASSERT_EQ(ShareKit::shared().shareRequests().size(), 1u);
    const ShareRequest& request = ShareKit::shared().shareRequests()[0];

    const ShareContent& general = request.general;
    EXPECT_EQ(general.title, "Tom & Jerry <3>");
    EXPECT_EQ(general.text, "你好 \"friends\" \u00a0&bogus; & more");
    EXPECT_EQ(general.defaultText, "");
    EXPECT_EQ(bytesOf(general.image), "IMG");
    EXPECT_EQ(general.image->kind, "png");
    EXPECT_EQ(general.image->fileName, "share");
    // The link is taken as it is.
    EXPECT_EQ(general.url, "http://example.org/a?x=1&amp;y=2");
    EXPECT_EQ(general.description, "岚溪校讯");
    EXPECT_EQ(general.kind, ShareContentKind::News);

    struct Entry {
        const std::optional<ShareContent>& content;
        std::string preview;
    };
    for (const Entry& e : {Entry{request.weChatSession, "IMG"}, Entry{request.weChatTimeline, "TH"},
                           Entry{request.weChatFav, "TH"}}) {
        ASSERT_TRUE(e.content);
        EXPECT_EQ(e.content->title, "Tom & Jerry <3>");
        EXPECT_EQ(e.content->text, general.text);
        EXPECT_EQ(e.content->url, general.url);
        EXPECT_EQ(e.content->kind, ShareContentKind::News);
        EXPECT_EQ(bytesOf(e.content->thumbImage), e.preview);
        EXPECT_EQ(bytesOf(e.content->image), "IMG");
    }

    EXPECT_EQ(request.options.editingTitle, "Tom & Jerry <3>");
    EXPECT_TRUE(request.options.autoAuth);
    EXPECT_FALSE(request.options.hasAuthCallback);
    EXPECT_TRUE(request.options.qqButtonHidden);
    EXPECT_TRUE(request.options.weChatSessionButtonHidden);
    EXPECT_TRUE(request.options.weChatTimelineButtonHidden);
    EXPECT_FALSE(request.options.autoShowKeyboard);
    EXPECT_TRUE(request.options.statusBarTips);
    EXPECT_TRUE(request.hadSender);
}

TEST_F(ShareTest, AMissingPictureOrLinkIsHandedOverAsMissing) {
    share(Json{{"title", "t"}, {"content", "c"}});
    const ShareRequest& request = ShareKit::shared().shareRequests().at(0);
    EXPECT_FALSE(request.general.image);
    EXPECT_FALSE(request.general.url);
    EXPECT_FALSE(request.weChatTimeline->thumbImage);
}

TEST_F(ShareTest, ChoosingAPlatformWithoutTheMessengerReportsTheKitsFailure) {
    auto recorder = share(article());
    auto sheet = driver_->sheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "微信好友");
    ASSERT_TRUE(driver_->pressSheetButton(1));
    EXPECT_EQ(recorder->results, std::vector<std::string>{"分享失败 尚未安装微信客户端"});
}

TEST_F(ShareTest, ACancelledShareReportsNothing) {
    auto recorder = share(article());
    auto sheet = driver_->sheet();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(driver_->pressSheetButton(sheet->cancelButtonIndex()));
    driver_->settle();
    EXPECT_TRUE(recorder->results.empty());
    EXPECT_FALSE(ShareKit::shared().hasWaitingShare());
}

TEST_F(ShareTest, TheKitsReportsBecomeTheTwoOutcomeTexts) {
    auto recorder = share(article());
    const auto& result = ShareKit::shared().shareRequests().at(0).result;
    result(ShareState::Begin, ShareKit::kWeChatSession, "");
    result(ShareState::Success, ShareKit::kWeChatSession, "");
    result(ShareState::Cancel, ShareKit::kWeChatSession, "");
    result(ShareState::Fail, ShareKit::kWeChatSession, "网络错误");
    EXPECT_EQ(recorder->results, (std::vector<std::string>{"分享成功", "分享失败 网络错误"}));
}

TEST_F(ShareTest, TheSecondOfTwoSharesReportsToTheSecondScreen) {
    auto first = share(article());
    auto second = share(Json{{"title", "second"}});
    // The first sheet's share was given up when the second came.
    ASSERT_TRUE(driver_->sheet());
    driver_->pressSheetButton(0);
    EXPECT_TRUE(first->results.empty());
    EXPECT_EQ(second->results, std::vector<std::string>{"分享失败 尚未安装微信客户端"});
    // The wrapper keeps the last delegate alive.
    std::weak_ptr<Recorder> kept = second;
    second.reset();
    EXPECT_FALSE(kept.expired());
}

TEST_F(ShareTest, WithNoPlatformRegisteredTheFailureReachesTheDelegateSetAfterwards) {
    ShareKit::shared().reset();
    auto recorder = share(article());
    EXPECT_FALSE(driver_->sheet());
    EXPECT_TRUE(recorder->results.empty());
    driver_->settle();
    EXPECT_EQ(recorder->results, std::vector<std::string>{"分享失败 没有可用的分享平台"});
}

TEST_F(ShareTest, AnArticlesShareEndsInAGreenBannerThatRisesAndFades) {
    MVTAccount::resetSharedInstanceForTests();
    MVTAccount::sharedInstance().setUserId("12");
    MVTAccount::sharedInstance().setRole("teacher");
    MVTAccount::sharedInstance().setClassId("11");
    auto screen = std::make_shared<MVTWebViewController>();
    screen->setIsNeedToShare(true);
    screen->setMyDict({{"title", "春游"}, {"link", "http://example.org/a"}});
    host_->presentViewController(myNavigationController::withRoot(screen), false);

    // The banner's top-left, clear of the rounded corner and the centred text, in the window.
    const Point spot = screen->view()->convertPointTo({15, 10}, nullptr);
    auto colorAtSpot = [&] {
        return Renderer::render(driver_->window(), {320, 568}, 1)->colorAt(int(spot.x), int(spot.y));
    };
    const Color before = colorAtSpot();

    ASSERT_TRUE(driver_->tap(screen->shareBtn()));
    ASSERT_TRUE(driver_->sheet());
    ASSERT_TRUE(driver_->pressSheetButton(0));
    auto banner = screen->shareBanner();
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->text(), "分享失败 尚未安装微信客户端");

    // Shown at once in full green; its model is already above the top, faded out.
    const Color green = Color::rgb255(58, 145, 32);
    EXPECT_EQ(banner->frame(), Rect(5, -30, 310, 26));
    auto near = [](const Color& a, const Color& b) {
        return std::abs(a.r - b.r) < 0.03 && std::abs(a.g - b.g) < 0.03 && std::abs(a.b - b.b) < 0.03;
    };
    EXPECT_TRUE(near(colorAtSpot(), green));

    // A quarter of the way through it has risen by 1/8 of 35 points (easing in and out)
    // and faded as much: still over the spot, half as strong again.
    advance(0.25);
    EXPECT_NEAR(banner->presentation().frame().y(), 5 - 35 * 0.125, 1e-3);
    const double alpha = banner->presentation().alpha;
    EXPECT_NEAR(alpha, 0.875, 1e-3);
    Color seen = colorAtSpot();
    EXPECT_NEAR(seen.g, green.g * alpha + before.g * (1 - alpha), 0.03);
    EXPECT_NEAR(seen.r, green.r * alpha + before.r * (1 - alpha), 0.03);

    advance(0.8);  // gone
    EXPECT_TRUE(near(colorAtSpot(), before));
    host_->dismissViewController(false);
    MVTAccount::resetSharedInstanceForTests();
}

TEST_F(ShareTest, TheWrapperIsMadeOnceEvenWhenAskedFromTwoThreads) {
    std::shared_ptr<MVTShareViewController> a, b;
    std::thread one([&] { a = MVTShareViewController::shareViewController(); });
    std::thread two([&] { b = MVTShareViewController::shareViewController(); });
    one.join();
    two.join();
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, wrapper_);
    EXPECT_TRUE(a->viewDelegate());
}

TEST_F(ShareTest, KitScreensGetTheNavigationBarPictureOfTheirDeviceAndOrientation) {
    struct Case {
        bool tablet, fourInch, landscape;
        std::string picture;
    };
    for (const Case& c : {Case{true, false, false, "iPadNavigationBarBG.png"},
                          Case{true, false, true, "iPadLandscapeNavigationBarBG.png"},
                          Case{false, true, false, "iPhoneNavigationBarBG.png"},
                          Case{false, true, true, "iPhoneLandscapeNavigationBarBG-568h.png"},
                          Case{false, false, false, "iPhoneNavigationBarBG.png"},
                          Case{false, false, true, "iPhoneLandscapeNavigationBarBG.png"}}) {
        EXPECT_EQ(MVTShareViewDelegate::navigationBarBackground(c.tablet, c.fourInch, c.landscape), c.picture);
    }
}

}  // namespace
