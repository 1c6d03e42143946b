// The picture pager of web pages: the page shown first and its counter, fetching every
// picture in the background, paging, the top bar and going back.

#include "support/ServiceFixture.h"

#include "shell/MVTShowImagesViewController.h"
#include "shell/ViewViewController.h"
#include "shell/myNavigationController.h"

#include "platform/BackgroundQueue.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"

#include <map>

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class WebPicturesTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        Screen::mainScreen().reset();
        driver_ = std::make_unique<UiDriver>();
        root_ = std::make_shared<ViewViewController>();
        navigation_ = myNavigationController::withRoot(root_);
        driver_->show(navigation_);
        service().route("GET", "page/pictures/%@", [this](const RecordedRequest& request) {
            auto found = pictures_.find(request.arguments.at(0));
            if (found == pictures_.end()) return Reply::text("no such picture", "text/plain", 404);
            return Reply::text(found->second, "image/png");
        });
    }
    void TearDown() override {
        driver_.reset();
        ServiceTest::TearDown();
    }

    std::string address(const std::string& name) const { return baseUrl() + "page/pictures/" + name; }
    // Pictures a.png ... e.png, each of its own colour, and their addresses.
    Json addresses(const std::string& names) {
        Json list = Json::array();
        double shade = 0.1;
        for (char c : names) {
            std::string name(1, c);
            pictures_[name] = Image::imageWithColor(Color::rgba(shade, 0.2, 0.3, 1), {20, 10})->pngData();
            shade += 0.15;
            list.push_back(address(name));
        }
        return list;
    }

    std::shared_ptr<MVTShowImagesViewController> open(const std::string& tapped, const Json& all) {
        auto viewer = std::make_shared<MVTShowImagesViewController>();
        viewer->setNowImageUrl(tapped);
        viewer->setAllImagesArr(all);
        navigation_->pushViewController(viewer, false);
        driver_->settle();
        return viewer;
    }

    static std::shared_ptr<ScrollView> pager(MVTShowImagesViewController& viewer) {
        return std::dynamic_pointer_cast<ScrollView>(viewer.connectView()->viewWithTag(11));
    }
    static std::shared_ptr<ImageView> picture(MVTShowImagesViewController& viewer, int page) {
        for (const auto& child : pager(viewer)->subviews())
            if (child->tag() == 100 + page) return std::dynamic_pointer_cast<ImageView>(child->viewWithTag(1000));
        return nullptr;
    }
    static bool spinning(const ImageView& view) { return view.subviews().size() == 1 && view.subviews()[0]->tag() == 1234; }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<ViewViewController> root_;
    std::shared_ptr<myNavigationController> navigation_;
    std::map<std::string, std::string> pictures_;
};

TEST_F(WebPicturesTest, OpensOnTheTappedPictureAndFetchesEveryPicture) {
    Json all = addresses("abc");
    auto viewer = open(address("b"), all);
    EXPECT_TRUE(navigation_->isNavigationBarHidden());
    EXPECT_EQ(viewer->titleLa()->text(), "2 / 3");
    EXPECT_EQ(viewer->index(), 1);
    EXPECT_EQ(pager(*viewer)->contentOffset().x, 320);
    EXPECT_EQ(pager(*viewer)->contentSize(), Size(960, 568));
    ASSERT_TRUE(pumpUntil([&] {
        for (int i = 0; i < 3; ++i)
            if (!picture(*viewer, i)->image()) return false;
        return true;
    }));
    for (int i = 0; i < 3; ++i) {
        auto expected = Image::imageWithData(pictures_[std::string(1, char('a' + i))]);
        EXPECT_EQ(picture(*viewer, i)->image()->pixelAt(0, 0), expected->pixelAt(0, 0)) << i;
        EXPECT_EQ(picture(*viewer, i)->accessibilityValue(), all[i].get<std::string>());
    }
    EXPECT_EQ(service().requests().size(), 3u);
}

TEST_F(WebPicturesTest, TheFirstPositionShowsWhenTheTapIsNotInTheListAndTheLastMatchWins) {
    struct Case {
        std::string tapped;
        std::string names;
        std::string counter;
        int index;
    };
    for (const Case& c : {Case{"zzz", "abcd", "1 / 4", 0}, Case{"a", "abad", "3 / 4", 2}, Case{"d", "abcd", "4 / 4", 3}}) {
        SCOPED_TRACE(c.tapped + " in " + c.names);
        auto viewer = open(address(c.tapped), addresses(c.names));
        EXPECT_EQ(viewer->titleLa()->text(), c.counter);
        EXPECT_EQ(viewer->index(), c.index);
        EXPECT_EQ(pager(*viewer)->contentOffset().x, 320.0 * c.index);
        viewer->goback();
        driver_->settle();
        BackgroundQueue::shared().waitIdle();
    }
}

TEST_F(WebPicturesTest, AnEmptyListShowsTheTappedPictureAloneWithASpinnerUntilItArrives) {
    addresses("a");
    auto viewer = open(address("a"), Json::array());
    EXPECT_EQ(viewer->titleLa()->text(), "1 / 1");
    EXPECT_EQ(pager(*viewer)->contentSize(), Size(320, 568));
    auto view = picture(*viewer, 0);
    ASSERT_TRUE(view);
    EXPECT_TRUE(spinning(*view) || view->image());
    ASSERT_TRUE(pumpUntil([&] { return view->image() != nullptr; }));
    EXPECT_TRUE(view->subviews().empty());
}

TEST_F(WebPicturesTest, APictureThatCannotBeHadLeavesItsPageEmptyAndTheSpinnerTurning) {
    auto viewer = open(address("missing"), Json::array());
    BackgroundQueue::shared().waitIdle();
    driver_->settle();
    ASSERT_TRUE(service().lastRequest("/page/pictures/missing"));
    auto view = picture(*viewer, 0);
    EXPECT_FALSE(view->image());
    EXPECT_TRUE(spinning(*view));
}

TEST_F(WebPicturesTest, PagingMovesTheCounterAndZoomFollowsThePageInFront) {
    auto viewer = open(address("a"), addresses("abcde"));
    EXPECT_EQ(viewer->titleLa()->text(), "1 / 5");
    pager(*viewer)->setContentOffset({640, 0});
    EXPECT_EQ(viewer->index(), 2);
    EXPECT_EQ(viewer->titleLa()->text(), "3 / 5");
    // Offsets round to the nearest page.
    pager(*viewer)->setContentOffset({1000, 0});
    EXPECT_EQ(viewer->titleLa()->text(), "4 / 5");
    auto page = std::dynamic_pointer_cast<ScrollView>(pager(*viewer)->viewWithTag(100));
    EXPECT_EQ(viewer->viewForZoomingInScrollView(*page), picture(*viewer, 3));
    EXPECT_EQ(page->maximumZoomScale(), 2.0);
}

TEST_F(WebPicturesTest, ATapOnAPictureHidesTheBarAndASecondShowsIt) {
    auto viewer = open(address("a"), addresses("ab"));
    ASSERT_TRUE(pumpUntil([&] { return picture(*viewer, 0)->image() != nullptr; }));
    EXPECT_FALSE(viewer->barImageView()->isHidden());
    ASSERT_TRUE(driver_->tap(picture(*viewer, 0)));
    driver_->settle();
    EXPECT_TRUE(viewer->isHidden());
    EXPECT_TRUE(viewer->barImageView()->isHidden());
    ASSERT_TRUE(driver_->tap(picture(*viewer, 0)));
    driver_->settle();
    EXPECT_FALSE(viewer->barImageView()->isHidden());
}

TEST_F(WebPicturesTest, TheBackButtonReturnsToTheRootScreen) {
    navigation_->pushViewController(std::make_shared<ViewViewController>(), false);
    auto viewer = open(address("a"), addresses("a"));
    ASSERT_EQ(navigation_->viewControllers().size(), 3u);
    ASSERT_TRUE(driver_->tap(viewer->leftBtn()));
    driver_->settle();
    EXPECT_EQ(navigation_->topViewController(), root_);
}

}  // namespace
