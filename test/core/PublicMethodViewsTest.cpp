#include "core/MVTPublicMethod.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"
#include "support/ServiceFixture.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>

namespace fs = std::filesystem;
using platform::Color;
using platform::Image;
using platform::ImageRef;
using platform::Rect;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class PublicMethodViewsTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        platform::Screen::mainScreen().reset();
    }
    void TearDown() override {
        MVTPublicMethod::setAvatarTimeout(MVTPublicMethod::kDefaultAvatarTimeout);
        ServiceTest::TearDown();
    }

    static std::string pictureBytes(const Color& color, int side = 20) {
        return Image::imageWithColor(color, {double(side), double(side)})->pngData();
    }

    // The avatar route answers a picture of `color` and counts the requests.
    void serveAvatar(const Color& color) {
        std::string bytes = pictureBytes(color);
        service().route("GET", "account/%@/avatar", [bytes](const RecordedRequest&) {
            return Reply::text(bytes, "image/png");
        });
    }

    std::size_t avatarRequests() const {
        std::size_t count = 0;
        for (const auto& r : service_->requests())
            if (r.path.find("/avatar") != std::string::npos) ++count;
        return count;
    }

    static std::shared_ptr<platform::ImageView> avatarView(const std::string& userId) {
        auto view = std::make_shared<platform::ImageView>(Rect{0, 0, 40, 40});
        view->setAccessibilityHint(userId);
        return view;
    }

    static void setModified(const std::string& path, double seconds) {
        timespec times[2];
        times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(seconds);
        times[0].tv_nsec = times[1].tv_nsec = 0;
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    // Finishes the background download, then hands its result to the main loop.
    void finishDownloads() {
        platform::BackgroundQueue::shared().waitIdle();
        platform::RunLoop::main().pump();
    }

    static bool isColour(const ImageRef& image, const Color& color) {
        if (!image) return false;
        Color c = image->colorAt(image->pixelWidth() / 2, image->pixelHeight() / 2);
        return std::abs(c.r - color.r) < 0.05 && std::abs(c.g - color.g) < 0.05 && std::abs(c.b - color.b) < 0.05;
    }
};

TEST_F(PublicMethodViewsTest, DefaultAvatarFollowsTheRole) {
    const std::pair<const char*, const char*> cases[] = {
        {"teacher", "default_teacher"}, {"system", "default_teacher"}, {"admin", "default_teacher"},
        {"parent", "default_parent"},   {"group", "avatar-group"},     {"student", "default_student"},
        {"", "default_student"},        {"Teacher", "default_student"},
    };
    for (const auto& [role, picture] : cases) {
        EXPECT_EQ(MVTPublicMethod::defaultFaceImageName(role), picture) << role;
        EXPECT_TRUE(Image::imageNamed(picture)) << picture;
    }
}

TEST_F(PublicMethodViewsTest, FreshCachedAvatarIsShownWithoutARequest) {
    serveAvatar(Color::red());
    std::string path = MVTPublicMethod::getPathByFileName("42", "png");
    ASSERT_TRUE(platform::writeFileAtomically(path, pictureBytes(Color::blue(), 30)));
    setModified(path, platform::now() - 6 * 86400);

    auto view = avatarView("42");
    MVTPublicMethod::setFaceImage(view, path, "teacher");
    finishDownloads();
    EXPECT_EQ(avatarRequests(), 0u);
    ASSERT_TRUE(view->image());
    EXPECT_EQ(view->image()->pixelWidth(), 30);
    EXPECT_TRUE(isColour(view->image(), Color::blue()));
    EXPECT_FALSE(view->clipsToBounds());
}

TEST_F(PublicMethodViewsTest, StaleEmptyOrMissingAvatarShowsTheDefaultThenTheDownloadOnTheMainThread) {
    struct Case {
        const char* name;
        std::optional<std::string> file;  // nothing: no cache file
        double age;                       // seconds before now
    };
    const Case cases[] = {
        {"missing", std::nullopt, 0},
        {"stale", pictureBytes(Color::blue()), 8 * 86400},
        {"fresh but empty", std::string(), 60},
        {"fresh but not a picture", std::string("<html>"), 60},
    };
    serveAvatar(Color::red());
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        service().clearRequests();
        std::string userId = "u";
        userId += std::to_string(++n);
        std::string path = MVTPublicMethod::getPathByFileName(userId, "png");
        if (c.file) {
            ASSERT_TRUE(platform::writeFileAtomically(path, *c.file));
            setModified(path, platform::now() - c.age);
        }
        auto view = avatarView(userId);
        MVTPublicMethod::setFaceImage(view, path, "parent");
        EXPECT_EQ(view->image(), Image::imageNamed("default_parent"));
        EXPECT_TRUE(view->clipsToBounds());
        EXPECT_EQ(view->cornerRadius(), 20);

        // Downloaded and cached, but the view is only touched by the main loop.
        platform::BackgroundQueue::shared().waitIdle();
        EXPECT_EQ(view->image(), Image::imageNamed("default_parent"));
        platform::RunLoop::main().pump();
        EXPECT_TRUE(isColour(view->image(), Color::red()));

        ASSERT_EQ(avatarRequests(), 1u);
        auto request = service().requests().back();
        EXPECT_EQ(request.path, "/account/" + userId + "/avatar");
        EXPECT_EQ(request.queryValue("default"), "false");
        EXPECT_FALSE(request.basicUser.has_value());

        auto cached = platform::readFile(path);
        ASSERT_TRUE(cached);
        EXPECT_EQ(static_cast<unsigned char>((*cached)[0]), 0xFF);  // JPEG
        EXPECT_TRUE(isColour(Image::imageWithData(*cached), Color::red()));
    }
}

TEST_F(PublicMethodViewsTest, ButtonGetsTheAvatarForItsNormalState) {
    serveAvatar(Color::red());
    auto button = std::make_shared<platform::Button>(Rect{0, 0, 50, 50});
    button->setAccessibilityHint("7");
    MVTPublicMethod::setFaceImage(button, MVTPublicMethod::getPathByFileName("7", "png"), "group");
    EXPECT_EQ(button->imageForState(platform::ControlStateNormal), Image::imageNamed("avatar-group"));
    EXPECT_EQ(button->cornerRadius(), 25);
    finishDownloads();
    EXPECT_TRUE(isColour(button->imageForState(platform::ControlStateNormal), Color::red()));
}

TEST_F(PublicMethodViewsTest, FailedDownloadKeepsTheDefaultAndTheOldFile) {
    service().route("GET", "account/%@/avatar",
                    [](const RecordedRequest&) { return Reply::text("no avatar", "text/plain"); });
    std::string path = MVTPublicMethod::getPathByFileName("9", "png");
    std::string old = pictureBytes(Color::blue());
    ASSERT_TRUE(platform::writeFileAtomically(path, old));
    setModified(path, platform::now() - 8 * 86400);

    auto view = avatarView("9");
    MVTPublicMethod::setFaceImage(view, path, "student");
    finishDownloads();
    EXPECT_EQ(avatarRequests(), 1u);
    EXPECT_EQ(view->image(), Image::imageNamed("default_student"));
    EXPECT_EQ(platform::readFile(path), old);
}

TEST_F(PublicMethodViewsTest, ViewGoneBeforeTheDownloadEndsIsNotTouched) {
    serveAvatar(Color::red());
    std::string path = MVTPublicMethod::getPathByFileName("5", "png");
    std::weak_ptr<platform::ImageView> weak;
    {
        auto view = avatarView("5");
        weak = view;
        MVTPublicMethod::setFaceImage(view, path, "teacher");
    }
    EXPECT_TRUE(weak.expired());  // the download does not keep the view alive
    finishDownloads();
    EXPECT_EQ(avatarRequests(), 1u);
    EXPECT_TRUE(fs::exists(path));  // still cached for the next time
}

TEST_F(PublicMethodViewsTest, DeadServerIsGivenUpAfterTheTimeout) {
    service().route("GET", "account/%@/avatar", [](const RecordedRequest&) { return Reply::silent(60); });
    MVTPublicMethod::setAvatarTimeout(0.3);
    auto view = avatarView("11");
    std::string path = MVTPublicMethod::getPathByFileName("11", "png");

    auto started = std::chrono::steady_clock::now();
    MVTPublicMethod::getFaceImage(view);  // blocks the calling thread until it gives up
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(elapsed, 5.0);
    platform::RunLoop::main().pump();
    EXPECT_EQ(view->image(), nullptr);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(avatarRequests(), 1u);
}

TEST_F(PublicMethodViewsTest, WaitAnimationWithTextShowsTheFramesAndTheLabel) {
    auto view = std::make_shared<platform::View>(Rect{0, 0, 320, 400});
    EXPECT_FALSE(MVTPublicMethod::isShowingAnimation(view));
    MVTPublicMethod::showWaitAnimation(view, true);
    ASSERT_TRUE(MVTPublicMethod::isShowingAnimation(view));

    auto container = view->viewWithTag(3333);
    ASSERT_TRUE(container);
    EXPECT_EQ(container->frame(), (Rect{0, 180, 320, 40}));
    auto picture = std::dynamic_pointer_cast<platform::ImageView>(container->viewWithTag(1));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->frame(), (Rect{100, 5, 30, 30}));
    EXPECT_EQ(picture->image(), Image::imageNamed("load_1"));
    std::vector<ImageRef> frames;
    for (const char* name : {"load_2", "load_3", "load_4", "load_5", "load_6", "load_7", "load_8", "load_1"})
        frames.push_back(Image::imageNamed(name));
    EXPECT_EQ(picture->animationImages(), frames);
    EXPECT_DOUBLE_EQ(picture->animationDuration(), 0.8);
    EXPECT_TRUE(picture->isAnimating());

    std::shared_ptr<platform::Label> label;
    for (auto& sub : container->subviews())
        if (auto l = std::dynamic_pointer_cast<platform::Label>(sub)) label = l;
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "加载中");
    EXPECT_EQ(label->frame(), (Rect{140, 5, 80, 35}));
    EXPECT_EQ(label->textColor(), Color::rgb255(60, 60, 60));

    MVTPublicMethod::stopWaitAnimation(view);
    EXPECT_FALSE(MVTPublicMethod::isShowingAnimation(view));
    EXPECT_FALSE(picture->isAnimating());
}

TEST_F(PublicMethodViewsTest, WaitAnimationWithoutTextSitsAtTheTop) {
    struct Case {
        const char* hint;
        Rect picture;
    };
    const Case cases[] = {{"", {100, 5, 20, 20}}, {"homework", {100, 10, 20, 20}}};
    for (const auto& c : cases) {
        auto view = std::make_shared<platform::View>(Rect{0, 0, 320, 400});
        view->setAccessibilityHint(c.hint);
        MVTPublicMethod::showWaitAnimation(view, false);
        auto container = view->viewWithTag(3333);
        ASSERT_TRUE(container);
        EXPECT_EQ(container->frame(), (Rect{0, 0, 320, 40})) << c.hint;
        EXPECT_EQ(container->viewWithTag(1)->frame(), c.picture) << c.hint;
        EXPECT_EQ(container->subviews().size(), 1u);
    }
}

TEST_F(PublicMethodViewsTest, EachStopRemovesOneOfTwoAnimations) {
    auto view = std::make_shared<platform::View>(Rect{0, 0, 320, 400});
    MVTPublicMethod::showWaitAnimation(view, true);
    MVTPublicMethod::showWaitAnimation(view, false);
    EXPECT_EQ(view->subviews().size(), 2u);
    MVTPublicMethod::stopWaitAnimation(view);
    EXPECT_EQ(view->subviews().size(), 1u);
    EXPECT_TRUE(MVTPublicMethod::isShowingAnimation(view));
    MVTPublicMethod::stopWaitAnimation(view);
    EXPECT_FALSE(MVTPublicMethod::isShowingAnimation(view));
    MVTPublicMethod::stopWaitAnimation(view);  // nothing left: nothing happens
}

TEST_F(PublicMethodViewsTest, ToastSlidesInForOneSecondAndOutForOneSecond) {
    auto view = std::make_shared<platform::View>(Rect{0, 0, 320, 400});
    MVTPublicMethod::showMessage("已保存", view);
    ASSERT_EQ(view->subviews().size(), 1u);
    auto label = std::dynamic_pointer_cast<platform::Label>(view->subviews()[0]);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "已保存");
    EXPECT_EQ(label->backgroundColor(), Color::rgb255(58, 145, 32));
    EXPECT_EQ(label->textColor(), Color::whiteColor());
    EXPECT_EQ(label->cornerRadius(), 4);
    EXPECT_EQ(label->frame(), (Rect{5, 5, 310, 26}));
    EXPECT_EQ(label->alpha(), 1);
    EXPECT_DOUBLE_EQ(platform::lastAnimation().duration, 1.0);

    advance(0.9);
    EXPECT_EQ(label->frame(), (Rect{5, 5, 310, 26}));
    advance(0.2);  // the slide-out has begun
    EXPECT_EQ(label->frame(), (Rect{5, -30, 310, 26}));
    EXPECT_EQ(label->alpha(), 0);
    EXPECT_EQ(label->superview(), view);
    advance(1.0);
    EXPECT_TRUE(view->subviews().empty());
}

TEST_F(PublicMethodViewsTest, BackButtonAndPictureButton) {
    auto back = MVTPublicMethod::navigationleftBarButton();
    EXPECT_EQ(back->frame(), (Rect{0, 0, 40, 40}));
    EXPECT_EQ(back->imageForState(platform::ControlStateNormal), Image::imageNamed("backbt"));
    EXPECT_EQ(back->imageForState(platform::ControlStateHighlighted), Image::imageNamed("backbt-press"));
    EXPECT_TRUE(back->imageForState(platform::ControlStateNormal));
    EXPECT_EQ(back->imageEdgeInsets(), (platform::EdgeInsets{0, -10, 0, 20}));

    auto right = MVTPublicMethod::navigationrightBarButtonWithImage("default_teacher");
    EXPECT_EQ(right->frame(), (Rect{0, 0, 22, 22}));
    EXPECT_EQ(right->imageForState(platform::ControlStateNormal), Image::imageNamed("default_teacher"));
    EXPECT_EQ(right->imageForState(platform::ControlStateHighlighted), Image::imageNamed("default_teacher"));
}

TEST_F(PublicMethodViewsTest, TextButtonIsAsWideAsItsTitleUpToSixtyCharacters) {
    const platform::Font font = platform::Font::boldSystemFontOfSize(14);
    const std::string shortTitle = "发送";
    const std::string sixty(60, 'a');
    const std::string fiftyNine(59, 'm');
    struct Case {
        std::string title;
        double width;
    };
    const Case cases[] = {
        {shortTitle, platform::TextMeasure::sizeWithFont(shortTitle, font).width},
        {fiftyNine, std::min(platform::TextMeasure::sizeWithFont(fiftyNine, font).width, 320.0)},
        {sixty, 60},
    };
    for (const auto& c : cases) {
        auto button = MVTPublicMethod::navigationrightBarButton(c.title);
        ASSERT_EQ(button->subviews().empty(), false);
        std::shared_ptr<platform::Label> label;
        for (auto& sub : button->subviews())
            if (auto l = std::dynamic_pointer_cast<platform::Label>(sub); l && l->text() == c.title) label = l;
        ASSERT_TRUE(label) << c.title;
        EXPECT_EQ(label->frame(), (Rect{5, 2.5, c.width, 20})) << c.title;
        EXPECT_EQ(button->frame(), (Rect{5, 0, c.width + 10, 25})) << c.title;
        EXPECT_EQ(button->cornerRadius(), 6);
        EXPECT_TRUE(button->clipsToBounds());
        auto highlighted = button->backgroundImageForState(platform::ControlStateHighlighted);
        ASSERT_TRUE(highlighted);
        EXPECT_EQ(highlighted->pixelAt(0, 0), 0xFF3E9FD4u);
        EXPECT_EQ(button->backgroundImageForState(platform::ControlStateNormal)->pixelAt(0, 0) >> 24, 0u);
    }
    // A long title that is narrower than 60 characters still fits the screen.
    EXPECT_LE(MVTPublicMethod::navigationrightBarButton(fiftyNine)->frame().width(), 330);
}

}  // namespace
