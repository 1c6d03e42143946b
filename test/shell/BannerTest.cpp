#include "core/MVTPublicMethod.h"
#include "platform/Dates.h"
#include "platform/Paths.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "support/AppTest.h"

using platform::Rect;

namespace {

class BannerTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        platform::Screen::mainScreen().reset();
        platform::AlertView::clearVisible();
        platform::setLocalTimeZone("Asia/Shanghai");
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
        window_ = std::make_shared<platform::Window>(platform::Screen::mainScreen().bounds());
        window_->makeKeyAndVisible();
        // A delegate of its own per test: the banner label lives as long as its delegate.
        app_ = std::make_shared<MVTAppDelegate>();
    }
    void TearDown() override {
        platform::AlertView::clearVisible();
        platform::setLocalTimeZone("");
        MVTPublicMethod::setTextLookup(nullptr);
        AppTest::TearDown();
    }

    // The banner as it is drawn now.
    platform::ViewPresentation shown() const { return app_->netWorkLa()->presentation(); }

    bool showing() const {
        auto label = app_->netWorkLa();
        return label && label->superview() == window_;
    }

    std::shared_ptr<platform::Window> window_;
    std::shared_ptr<MVTAppDelegate> app_;
};

TEST_F(BannerTest, BannerSlidesUpStaysAndSlidesDownWithItsLabelMadeOnce) {
    EXPECT_EQ(app_->netWorkLa(), nullptr);
    app_->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
    auto label = app_->netWorkLa();
    ASSERT_TRUE(label);
    EXPECT_TRUE(showing());
    EXPECT_TRUE(window_->isOverlay(label.get()));
    EXPECT_EQ(label->text(), "没有网络,请检查网络连接");
    // The model is where the slide-up ends; the picture starts below the bottom edge.
    EXPECT_EQ(label->frame(), (Rect{0, 542, 320, 26}));
    EXPECT_EQ(label->alpha(), 1);
    EXPECT_EQ(shown().frame(), (Rect{0, 568, 320, 26}));
    EXPECT_DOUBLE_EQ(shown().alpha, 0.1);
    EXPECT_EQ(label->backgroundColor(), platform::Color::rgb255(175, 75, 87));
    EXPECT_EQ(label->textColor(), platform::Color::whiteColor());
    EXPECT_EQ(label->textAlignment(), platform::TextAlignment::Center);
    EXPECT_DOUBLE_EQ(platform::lastAnimation().duration, 0.4);

    advance(0.2);  // half way up (the default curve is symmetric)
    EXPECT_NEAR(shown().frame().y(), 555, 1e-3);
    EXPECT_NEAR(shown().alpha, 0.55, 1e-3);

    advance(0.25);  // up; now it waits 1 s, then slides down in 0.4 s, easing out
    auto out = platform::lastAnimation();
    EXPECT_DOUBLE_EQ(out.duration, 0.4);
    EXPECT_DOUBLE_EQ(out.delay, 1.0);
    EXPECT_EQ(out.curve, platform::AnimationCurve::EaseOut);
    EXPECT_EQ(shown().frame(), (Rect{0, 542, 320, 26}));

    advance(0.55);  // 1.0 s in all: still fully on screen
    EXPECT_TRUE(showing());
    EXPECT_EQ(shown().frame(), (Rect{0, 542, 320, 26}));
    EXPECT_DOUBLE_EQ(shown().alpha, 1);

    advance(0.6);  // 1.6 s: half the slide-down's time, which easing out makes 3/4 of the way
    EXPECT_NEAR(shown().frame().y(), 542 + 26 * 0.75, 1e-3);
    EXPECT_NEAR(shown().alpha, 0.25, 1e-3);
    EXPECT_TRUE(showing());

    advance(0.25);  // 1.85 s: gone
    EXPECT_FALSE(showing());
    EXPECT_EQ(label->superview(), nullptr);

    app_->showNetworkMessage(MVTAppDelegate::NetworkMessageNoData);
    EXPECT_EQ(app_->netWorkLa(), label);
    EXPECT_EQ(label->text(), "暂时没有数据");
}

TEST_F(BannerTest, ScreenshotsShowTheBannerWhereItHasGotTo) {
    const platform::Color banner = platform::Color::rgb255(175, 75, 87);
    // The banner's colour at `alpha` over the white screen.
    auto over = [&](double alpha) {
        return platform::Color{banner.r * alpha + 1 - alpha, banner.g * alpha + 1 - alpha,
                               banner.b * alpha + 1 - alpha, 1};
    };
    const platform::Color white = platform::Color::whiteColor();
    struct Shot {
        double at;  // seconds after the call
        int y;      // a row to look at, at the left edge (the text is centred)
        platform::Color color;
    };
    const Shot shots[] = {
        {0.2, 550, white},     // half way up: top edge at 555
        {0.2, 560, over(0.55)},
        {1.0, 545, over(1)},   // all the way up, opaque
        {1.6, 558, white},     // on its way down: top edge at 561.5
        {1.6, 565, over(0.25)},
        {1.9, 565, white},     // gone
    };
    app_->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
    double at = 0;
    for (const Shot& shot : shots) {
        advance(shot.at - at);
        at = shot.at;
        auto picture = platform::Renderer::render(*window_, {320, 568}, 1);
        platform::Color seen = picture->colorAt(5, shot.y);
        EXPECT_NEAR(seen.r, shot.color.r, 0.02) << shot.at << " s, row " << shot.y;
        EXPECT_NEAR(seen.g, shot.color.g, 0.02) << shot.at << " s, row " << shot.y;
        EXPECT_NEAR(seen.b, shot.color.b, 0.02) << shot.at << " s, row " << shot.y;
    }
}

TEST_F(BannerTest, CallsWhileABannerShowsAreDroppedAndLaterOnesShow) {
    app_->showNetworkMessage(0);
    advance(0.5);
    app_->showNetworkMessage(2);  // within one second: dropped
    EXPECT_EQ(app_->netWorkLa()->text(), "没有网络,请检查网络连接");
    advance(1.2);                 // 1.7 s: still sliding down
    app_->showNetworkMessage(1);
    EXPECT_EQ(app_->netWorkLa()->text(), "没有网络,请检查网络连接");
    EXPECT_TRUE(showing());

    advance(0.3);                 // 2 s after the first call
    EXPECT_FALSE(showing());
    app_->showNetworkMessage(2);
    EXPECT_TRUE(showing());
    EXPECT_EQ(app_->netWorkLa()->text(), "请求失败,请稍后再试");
}

TEST_F(BannerTest, UnknownKindShowsTheBannerWithTheTextItHad) {
    app_->showNetworkMessage(7);
    EXPECT_TRUE(showing());
    EXPECT_EQ(app_->netWorkLa()->text(), "");
    advance(2);
    app_->showNetworkMessage(1);
    advance(2);
    app_->showNetworkMessage(-1);
    EXPECT_TRUE(showing());
    EXPECT_EQ(app_->netWorkLa()->text(), "网络堵车,请稍后再试");
}

TEST_F(BannerTest, BannerTextFollowsTheLanguage) {
    const std::pair<int, const char*> english[] = {
        {0, "No network connection. Please check your network settings."},
        {1, "The network is busy. Please try again later."},
        {2, "Request failed. Please try again later."},
        {3, "No data yet"},
    };
    InternationalControl::setUserlanguage(InternationalControl::kEnglish, false);
    for (const auto& [kind, text] : english) {
        app_->showNetworkMessage(kind);
        EXPECT_EQ(app_->netWorkLa()->text(), text) << kind;
        advance(2);
    }
    InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
    app_->showNetworkMessage(2);
    EXPECT_EQ(app_->netWorkLa()->text(), "请求失败,请稍后再试");
}

TEST_F(BannerTest, TokenDigestsRandomIdTimestampAndSalt) {
    clock_->set(1767600000.125);
    std::string token = app_->getTokenWith("12345");
    // MD5 of "00125" "12345" "1767600000125" "?<>{}|{}><?", upper case.
    EXPECT_EQ(token, "35937841AFA365C24616EDD15B45AB9B&timestamp=1767600000125&random=00125");

    clock_->set(1767600000.1254);  // the same millisecond
    EXPECT_EQ(app_->getTokenWith("12345"), token);
    clock_->set(1767600000.126);
    std::string next = app_->getTokenWith("12345");
    EXPECT_NE(next, token);
    EXPECT_NE(next.find("&timestamp=1767600000126&random=00126"), std::string::npos);
    EXPECT_NE(app_->getTokenWith("12346").substr(0, 32), next.substr(0, 32));
}

TEST_F(BannerTest, TimeTextsAtTheBucketEdges) {
    const double now = 1767580200;  // 2026-01-05 10:30:00 in Shanghai
    clock_->set(now);
    struct Case {
        double offset;  // of the time stamp from now, in seconds
        const char* text;
    };
    const Case cases[] = {
        {-1, "2秒前"},
        {-2, "01-05 10:29"},
        {0, "01-05 10:30"},
        {-3, "3秒前"},
        {-10, "10秒前"},
        {-59, "59秒前"},
        {-60, "1分钟前"},
        {-300, "5分钟前"},
        {-3599, "59分钟前"},
        {-3600, "今天09:30"},
        {-9000, "今天08:00"},
        {-37800, "今天00:00"},
        {-37801, "01-04 23:59"},
        {-41400, "01-04 23:00"},
        {5, "01-05 10:30"},
        {-(365 * 86400 - 86400), "01-06 10:30"},  // 2025-01-06: less than a year
        {-365 * 86400, "2025-01-05 10:30"},       // the same date a year earlier
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app_->getDateWith(now + c.offset), c.text) << c.offset;
    }
    EXPECT_EQ(app_->getDateWith("1767580190"), "10秒前");
    EXPECT_EQ(app_->getDateWith("1767580199.5"), "01-05 10:29");  // half a second: 0 whole seconds
    EXPECT_EQ(app_->getDateWith("abc"), "1970-01-01 08:00");
    EXPECT_EQ(app_->getDateWith(nullptr), "1970-01-01 08:00");
    EXPECT_EQ(app_->getDefaultDate(now), "01-05 10:30");
}

TEST_F(BannerTest, TimeTextsFollowTheLanguageExceptToday) {
    const double now = 1767580200;
    clock_->set(now);
    InternationalControl::setUserlanguage(InternationalControl::kEnglish, false);
    EXPECT_EQ(app_->getDateWith(now - 1), "2 sec ago");
    EXPECT_EQ(app_->getDateWith(now - 10), "10 sec ago");
    EXPECT_EQ(app_->getDateWith(now - 300), "5 min ago");
    EXPECT_EQ(app_->getDateWith(now - 3600), "今天09:30");
}

TEST_F(BannerTest, CoreViewTextsAreLookedUpInTheCurrentLanguage) {
    InternationalControl::setUserlanguage(InternationalControl::kEnglish, false);
    MVTPublicMethod::getPathByFileName("1", "png");
    auto alert = MVTPublicMethod::cleanCache();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Notice");
    EXPECT_EQ(alert->message(), "Cache cleared");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "OK");

    auto view = std::make_shared<platform::View>(Rect{0, 0, 320, 400});
    MVTPublicMethod::showWaitAnimation(view, true);
    auto container = view->viewWithTag(MVTPublicMethod::kWaitAnimationTag);
    ASSERT_TRUE(container);
    std::string text;
    for (auto& sub : container->subviews())
        if (auto label = std::dynamic_pointer_cast<platform::Label>(sub)) text = label->text();
    EXPECT_EQ(text, "Loading");
}

}  // namespace
