// The share wrapper over the sharing kit stand-in: what it hands the kit, and which
// outcome texts reach the delegate.

#include "support/AppTest.h"

#include "shell/MVTShareViewController.h"

#include "platform/ShareKit.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationBar.h"
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
