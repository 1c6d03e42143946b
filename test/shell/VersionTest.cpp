#include "DelegateFixture.h"

#include "shell/InternationalControl.h"

#include "platform/Reachability.h"

using namespace platform;
using Json = nlohmann::json;

namespace {

class VersionTest : public testing_support::DelegateTest {
protected:
    void offer(const Json& reply) {
        service().setReply("GET", "services/norvo/config/iphone-version", sample_service::Reply::json(reply));
    }
};

TEST_F(VersionTest, OffersFollowTheNumericComparisonTheAddressAndTheForceFlag) {
    struct Case {
        std::string running;
        Json reply;
        long tag;  // 0: nothing offered
    };
    const Case cases[] = {
        {"2.4.1", {{"version", "2.4.2"}, {"url", "u"}}, 100},
        {"2.4.1", {{"version", "2.4.1"}, {"url", "u"}}, 0},
        {"2.4.1", {{"version", "2.4.0"}, {"url", "u"}}, 0},
        // Runs of digits compare as numbers.
        {"2.9.0", {{"version", "2.10.0"}, {"url", "u"}}, 100},
        {"2.0", {{"version", "10.0"}, {"url", "u"}}, 100},
        {"1.10", {{"version", "1.9"}, {"url", "u"}}, 0},
        {"2.0", {{"version", 10}, {"url", "u"}}, 100},
        {"2.4.1", {{"version", "2.4.2"}, {"url", "u"}, {"force", "abc"}}, 100},
        {"2.4.1", {{"version", "2.4.2"}, {"url", "u"}, {"force", 1}}, 200},
        {"2.4.1", {{"version", "2.4.2"}, {"url", "u"}, {"force", "1"}}, 200},
        {"2.4.1", {{"version", "2.4.2"}, {"url", "u"}, {"force", true}}, 200},
        {"2.4.1", {{"version", "2.4.2"}, {"url", "u"}, {"force", 0}}, 100},
        {"2.4.1", {{"version", "2.4.2"}, {"url", "u"}, {"force", "0"}}, 100},
        {"2.4.1", {{"version", "2.4.2"}, {"info", "新功能"}}, 0},
        {"2.4.1", Json::object(), 0},
        {"2.4.1", Json::array({{{"version", "9"}, {"url", "u"}}}), 0},
    };
    for (const auto& c : cases) {
        auto result = MVTAppDelegate::versionOfferFor(c.reply, c.running);
        EXPECT_EQ(result ? result->tag : 0, c.tag) << c.running << " " << c.reply.dump();
    }
    auto result = MVTAppDelegate::versionOfferFor({{"version", "2.4.2"}, {"url", "http://x/d"}, {"info", "修复问题"}}, "2.4.1");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->title, localized("版本更新") + "[2.4.2]");
    EXPECT_EQ(result->message, "修复问题");
    EXPECT_EQ(result->url, "http://x/d");
}

TEST_F(VersionTest, OptionalUpdateOpensThePageOnlyFromItsSecondButton) {
    MVTAppDelegate::setBundleShortVersionString("2.4.1");
    offer({{"version", "2.4.2"}, {"url", "http://example.test/download"}, {"info", "修复问题"}, {"force", 0}});
    for (long index : {0L, 1L}) {
        AlertView::clearVisible();
        app->toupdate();
        ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
        auto alert = AlertView::topAlert();
        EXPECT_EQ(alert->title(), localized("版本更新") + "[2.4.2]");
        EXPECT_EQ(alert->message(), "修复问题");
        EXPECT_EQ(alert->tag(), 100);
        ASSERT_EQ(alert->numberOfButtons(), 2);
        EXPECT_EQ(alert->buttonTitleAtIndex(0), localized("暂不更新"));
        EXPECT_EQ(alert->buttonTitleAtIndex(1), localized("前往更新"));
        alert->clickButtonAtIndex(index);
        EXPECT_EQ(alert->tag(), 0);
        EXPECT_EQ(Application::shared().openedURLs().size(), size_t(index));
    }
    EXPECT_EQ(Application::shared().openedURLs().back(), "http://example.test/download");
}

TEST_F(VersionTest, RequiredUpdateHasOneButtonThatOpensThePage) {
    MVTAppDelegate::setBundleShortVersionString("2.4.1");
    offer({{"version", "3.0.0"}, {"url", "http://example.test/d"}, {"info", "必须更新"}, {"force", "1"}});
    app->toupdate();
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    auto alert = AlertView::topAlert();
    EXPECT_EQ(alert->tag(), 200);
    ASSERT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), localized("更新版本"));
    alert->clickButtonAtIndex(0);
    EXPECT_EQ(Application::shared().openedURLs(), std::vector<std::string>{"http://example.test/d"});
    EXPECT_EQ(alert->tag(), 0);
    auto sent = service().lastRequest("services/norvo/config/iphone-version");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->method, "GET");
    EXPECT_TRUE(sent->query.empty());
    EXPECT_TRUE(sent->hasServiceCredentials());
}

TEST_F(VersionTest, OtherAlertsOfTheDelegateOpenNothing) {
    auto alert = AlertView::make("", "x", app, "确定", {"好"});
    alert->setTag(7);
    alert->setAccessibilityHint("http://example.test/");
    alert->show();
    alert->clickButtonAtIndex(1);
    EXPECT_TRUE(Application::shared().openedURLs().empty());
    EXPECT_EQ(alert->tag(), 0);
}

TEST_F(VersionTest, WithoutNetworkTheBannerShows) {
    launch();
    Reachability::setOverride(ReachabilityState::offline());
    app->toupdate();
    EXPECT_EQ(bannerText(), localized("没有网络,请检查网络连接"));
}

}  // namespace
