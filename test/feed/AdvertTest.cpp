// The school's advert on the home feed: which banner shows to which role, the banner row's
// height from its picture, pictures fetched once and kept, the overlay above the window
// with its page and close button, and replies or pictures that are no advert.

#include "FeedFixture.h"

#include "feed/MVTActivitiesViewController.h"

#include "shell/MVTExplainViewController.h"

#include "core/MVTPublicMethod.h"

#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/WebView.h"

#include <map>
#include <mutex>

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class AdvertTest : public testing_support::FeedTest {
protected:
    void SetUp() override {
        FeedTest::SetUp();
        pictures_["ad640x200"] = Image::imageWithColor(Color::red(), {640, 200})->pngData();
        pictures_["ad640x320"] = Image::imageWithColor(Color::red(), {640, 320})->pngData();
        pictures_["ad480x640"] = Image::imageWithColor(Color::red(), {480, 640})->pngData();
        pictures_["adText"] = "no picture at all";
        service().route("GET", "services/norvo/%@/advertisement/new", [this](const RecordedRequest&) {
            std::lock_guard guard(mutex_);
            return advertReply_;
        });
        auto others = service().handlerFor("GET", "resource/%@/download");
        service().route("GET", "resource/%@/download", [this, others](const RecordedRequest& request) {
            std::lock_guard guard(mutex_);
            auto found = pictures_.find(request.arguments.at(0));
            if (found != pictures_.end()) return Reply::text(found->second, "image/png");
            return others ? others(request) : Reply::text("", "text/plain", 404);
        });
    }
    void reply(Reply reply) {
        std::lock_guard guard(mutex_);
        advertReply_ = std::move(reply);
    }
    void adverts(const Json& list) { reply(Reply::json(list)); }
    // The advert page of the sample service.
    std::string page() const { return baseUrl() + "pages/advert"; }
    Json banner(const std::string& id, const Json& role) const {
        Json entry = {{"picSize", 1}, {"resourceModuleId", id}, {"url", page()}, {"title", "运动会"}};
        if (!role.is_null()) entry["role"] = role;
        return entry;
    }
    size_t downloadsOf(const std::string& id) {
        size_t n = 0;
        for (auto& r : service().requests())
            if (r.path == "/resource/" + id + "/download") ++n;
        return n;
    }
    void showHome() {
        show();
        settle();
    }
    int bannerRows() { return home->myTable()->numberOfRowsInSection(0); }
    std::shared_ptr<MVTExplainViewController> presentedPage() {
        auto nav = std::dynamic_pointer_cast<NavigationController>(home->presentedViewController());
        return nav ? std::dynamic_pointer_cast<MVTExplainViewController>(nav->topViewController()) : nullptr;
    }
    bool overlayOnWindow() {
        auto overlay = home->activitiesViewController();
        return overlay && overlay->isViewLoaded() && overlay->view()->superview().get() == driver->windowRef().get();
    }

    std::mutex mutex_;
    Reply advertReply_ = Reply::json(Json::array());
    std::map<std::string, std::string> pictures_;
};

TEST_F(AdvertTest, TheBannerShowsOnlyToTheRolesItsCodeNames) {
    struct Case {
        Json role;  // null: no "role" key
        std::string userRole;
        bool shown;
    };
    const Case cases[] = {
        {"3", "teacher", true},  {"3", "admin", true},    {"3", "parent", true},  {"3", "student", false},
        {"1", "admin", true},    {"2", "teacher", false}, {"4", "student", true}, {"5", "parent", false},
        {"6", "student", true},  {"7", "teacher", false}, {"-1", "parent", false}, {"abc", "student", true},
        {0, "parent", true},     {nullptr, "teacher", false},
    };
    adverts(Json::array());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.role.dump() + " for " + c.userRole);
        signIn("1001", "王老师", c.userRole, "11,12");
        adverts(Json::array({banner("ad640x200", c.role)}));
        showHome();
        EXPECT_EQ(bannerRows(), c.shown ? 1 : 0);
    }
    const auto& last = service().requests();
    auto asked = std::find_if(last.rbegin(), last.rend(),
                              [](const RecordedRequest& r) { return r.path == "/services/norvo/1/advertisement/new"; });
    ASSERT_NE(asked, last.rend());
    EXPECT_EQ(asked->queryValue("role"), "teacher");
}

TEST_F(AdvertTest, TheLaterBannerRowIsAsHighAsItsPictureOnTheScreenWidthAndOpensItsPage) {
    adverts(Json::array({banner("ad640x320", "0"), banner("ad640x200", "0")}));
    showHome();
    ASSERT_EQ(bannerRows(), 1);
    EXPECT_EQ(textOf(home->adArray()[0], "resourceModuleId"), "ad640x200");
    EXPECT_EQ(downloadsOf("ad640x320"), 0u);
    EXPECT_DOUBLE_EQ(home->adH(), 100);  // 200 / 640 x 320
    EXPECT_DOUBLE_EQ(home->myTable()->rectForRowAtIndexPath({0, 0}).height(), 100);
    EXPECT_TRUE(fileExists(MVTActivitiesViewController::pictureFile("ad640x200")));

    ASSERT_TRUE(driver->tap(driver->byAccessibilityValue(page())));
    settle(1);
    auto page = presentedPage();
    ASSERT_TRUE(page);
    EXPECT_EQ(page->aTag(), 1);
    EXPECT_TRUE(page->isFromHomeView());
    EXPECT_EQ(page->titleLa()->text(), "运动会");
    home->dismissViewController(false);
    settle(1);

    home->toCloseAdView();
    settle(1);
    EXPECT_EQ(bannerRows(), 0);
    EXPECT_EQ(home->myTable()->numberOfRowsInSection(3), int(home->dataArray().size()) + 1);
}

TEST_F(AdvertTest, APictureIsFetchedOnceAndAStoredFileThatNoLongerDecodesCountsAsMissing) {
    adverts(Json::array({banner("ad640x200", "0")}));
    showHome();
    ASSERT_EQ(downloadsOf("ad640x200"), 1u);
    showHome();
    EXPECT_EQ(bannerRows(), 1);
    EXPECT_EQ(downloadsOf("ad640x200"), 1u);

    ASSERT_TRUE(writeFileAtomically(MVTActivitiesViewController::pictureFile("ad640x320"), "broken"));
    adverts(Json::array({banner("ad640x320", "0")}));
    showHome();
    EXPECT_EQ(downloadsOf("ad640x320"), 1u);
    ASSERT_EQ(bannerRows(), 1);
    EXPECT_DOUBLE_EQ(home->adH(), 160);
    EXPECT_TRUE(MVTActivitiesViewController::storedPicture("ad640x320"));
}

TEST_F(AdvertTest, TheOverlayCoversTheWindowAndOpensItsPageOrCloses) {
    Json overlay = {{"resourceModuleId", "ad480x640"}, {"url", page()}, {"title", "开放日"}};
    adverts(Json::array({overlay}));  // no "picSize": an overlay
    showHome();
    ASSERT_TRUE(overlayOnWindow());
    EXPECT_EQ(bannerRows(), 0);
    auto screen = home->activitiesViewController();
    const double W = Screen::mainScreen().bounds().width(), H = Screen::mainScreen().bounds().height();
    const double h = 640 * (W - 40) / 480;
    EXPECT_DOUBLE_EQ(screen->pictureView()->frame().height(), h);
    EXPECT_DOUBLE_EQ(screen->closeButton()->frame().y(), (H - h) / 2 - 20);

    ASSERT_TRUE(driver->tap(screen->pictureView()));
    settle(1);
    EXPECT_FALSE(screen->view()->superview());
    EXPECT_FALSE(home->activitiesViewController());
    auto page = presentedPage();
    ASSERT_TRUE(page);
    EXPECT_EQ(page->titleLa()->text(), "开放日");
    home->dismissViewController(false);
    settle(1);

    // Without a page the picture takes no tap; the close button still closes.
    overlay.erase("url");
    adverts(Json::array({overlay}));
    showHome();
    ASSERT_TRUE(overlayOnWindow());
    screen = home->activitiesViewController();
    driver->tap(screen->pictureView());
    settle(1);
    EXPECT_TRUE(overlayOnWindow());
    ASSERT_TRUE(driver->tap(screen->closeButton()));
    settle(1);
    EXPECT_FALSE(screen->view()->superview());
    EXPECT_FALSE(home->presentedViewController());
}

TEST_F(AdvertTest, RepliesAndPicturesThatAreNoAdvertShowNothing) {
    const Reply replies[] = {
        Reply::json(Json::object({{"picSize", 1}})),
        Reply::json("adverts"),
        Reply::json(Json::array({1, "x", nullptr, Json::array()})),
        Reply::json(Json::array({{{"picSize", 2}, {"resourceModuleId", "ad480x640"}}})),
        Reply::json(Json::array({banner("adText", "0"), {{"picSize", 0}, {"resourceModuleId", "adText"}}})),
        Reply::json(Json::array({banner("../ad640x200", "0"), {{"picSize", "0"}, {"resourceModuleId", "a/b"}}})),
        Reply::text("<html>busy</html>", "text/html", 500),
    };
    for (std::size_t i = 0; i < std::size(replies); ++i) {
        SCOPED_TRACE(i);
        reply(replies[i]);
        showHome();
        EXPECT_EQ(bannerRows(), 0);
        EXPECT_FALSE(overlayOnWindow());
    }
    EXPECT_FALSE(fileExists(MVTActivitiesViewController::pictureFile("adText")));
    EXPECT_EQ(downloadsOf("../ad640x200"), 0u);
    EXPECT_EQ(MVTActivitiesViewController::pictureFile("../ad640x200"), "");
}

}  // namespace
