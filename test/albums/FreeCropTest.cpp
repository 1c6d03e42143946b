// The free crop screen and its picture tools: the picture fitted into the scroll view, the
// box kept inside it while dragged, what a cut takes unzoomed and zoomed, the delegate's
// answer, the pause of scrolling while a pan takes a touch; the masked crop view; flips,
// resize and cut; the touch image view.
#include "AlbumFixture.h"

#include "albums/AimageView.h"
#include "albums/MVTCropImageView.h"
#include "albums/MVTCropImageViewController.h"
#include "albums/MVTImageAdditions.h"

#include "platform/StatisticsKit.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Touch.h"

using namespace platform;

namespace {

constexpr uint32_t kRed = 0xffff0000, kBlue = 0xff0000ff, kGreen = 0xff00ff00;

// A w x h picture: red left half, blue right half, and a green bottom row.
ImageRef splitPicture(int w, int h, double scale = 1) {
    auto ctx = makeImageContext({w / scale, h / scale}, scale);
    ctx->fillRect({0, 0, w / scale / 2, h / scale}, Color::rgba(1, 0, 0, 1));
    ctx->fillRect({w / scale / 2, 0, w / scale / 2, h / scale}, Color::rgba(0, 0, 1, 1));
    ctx->fillRect({0, (h - 1) / scale, w / scale, 1 / scale}, Color::rgba(0, 1, 0, 1));
    return ctx->image();
}

class FreeCropDelegate : public MVTCropImageNewViewControllerDelegate {
public:
    void cropImageViewControllerDidFinished(ImageRef image) override {
        ++calls;
        received = std::move(image);
    }
    int calls = 0;
    ImageRef received;
};

class FreeCropTest : public testing_support::AlbumTest {
protected:
    std::shared_ptr<MVTCropImageViewController> open(ImageRef picture) {
        signIn("teacher");
        showRoot(std::make_shared<ViewViewController>());
        crop = std::make_shared<MVTCropImageViewController>();
        crop->setDelegate(delegate);
        navigation->presentViewController(myNavigationController::withRoot(crop), false);
        driver->settle();
        crop->setOriginImg(std::move(picture));
        driver->pump();
        return crop;
    }
    std::shared_ptr<FreeCropDelegate> delegate = std::make_shared<FreeCropDelegate>();
    std::shared_ptr<MVTCropImageViewController> crop;
};

TEST_F(FreeCropTest, ThePictureIsFittedAroundTheScrollViewsCentreWithTheBoxAtItsCorner) {
    open(splitPicture(640, 320));
    EXPECT_EQ(crop->title(), "选取");
    EXPECT_EQ(StatisticsKit::shared().pageEvents().back(), (std::pair<std::string, std::string>{"begin", "选取"}));
    const Rect scroll = crop->cropScrollView()->frame();
    // Made when the screen loaded, full height: the screen less the bar and status bar.
    const double fullHeight = Screen::mainScreen().bounds().height() - 44 - crop->SDH;
    // Wider than tall: fitted by width, 320 x 160, around the old centre.
    EXPECT_EQ(scroll, Rect(0, (fullHeight - 160) / 2, 320, 160));
    EXPECT_EQ(crop->imgView()->frame(), Rect(0, 0, 320, 160));
    EXPECT_EQ(crop->cropScrollView()->contentSize(), Size(320, 160));
    EXPECT_EQ(crop->cropView()->frame(), Rect(scroll.origin, {150, 150}));
    EXPECT_EQ(crop->cropView()->tag(), MVTCropImageViewController::kCropViewTag);

    // Taller than wide: fitted by height inside the new frame.
    crop->setOriginImg(splitPicture(100, 400));
    EXPECT_EQ(crop->cropScrollView()->frame(), Rect(160 - 20, scroll.y(), 40, 160));
}

TEST_F(FreeCropTest, TheBoxStaysInsideTheScrollViewWhereverItIsMoved) {
    open(splitPicture(640, 640));
    const Rect scroll = crop->cropScrollView()->frame();  // 320 x 320
    struct Case {
        Point to;
        Point expected;
    };
    const double right = scroll.x() + 320 - 150, bottom = scroll.y() + 320 - 150;
    const Case cases[] = {
        {{-500, -500}, {scroll.x(), scroll.y()}},
        {{900, 900}, {right, bottom}},
        {{scroll.x() + 40, 2000}, {scroll.x() + 40, bottom}},
        {{-1, scroll.y() + 30}, {scroll.x(), scroll.y() + 30}},
    };
    for (const auto& c : cases) {
        crop->moveCropViewwithPoint(c.to);
        EXPECT_EQ(crop->cropView()->frame().origin, c.expected) << c.to.x << "," << c.to.y;
    }
    // A real drag far past the bottom-right corner, by the finger on the box.
    crop->moveCropViewwithPoint(scroll.origin);
    const Point start{scroll.x() + 75, scroll.y() + 75};
    const Point startInWindow = crop->view()->convertPointTo(start, nullptr);
    driver->drag(startInWindow, {startInWindow.x + 600, startInWindow.y + 900});
    driver->pump();
    EXPECT_EQ(crop->cropView()->frame().origin, Point(right, bottom));
    // Scrolling is back once the drag and the pause after the touch are over.
    advance(0.3);
    driver->pump();
    EXPECT_TRUE(crop->cropScrollView()->isScrollEnabled());
}

TEST_F(FreeCropTest, TheCutTakesWhatLiesUnderTheBoxUnzoomedAndZoomed) {
    open(splitPicture(640, 320));
    const Rect scroll = crop->cropScrollView()->frame();
    // Unzoomed, at the top-left: r = 2, a 300 x 300 red square.
    auto cut = crop->cropImage();
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->pixelWidth(), 300);
    EXPECT_EQ(cut->pixelHeight(), 300);
    EXPECT_EQ(cut->pixelAt(0, 0), kRed);
    EXPECT_EQ(cut->pixelAt(299, 299), kRed);
    // At the right end the box lies over the blue half.
    crop->moveCropViewwithPoint({scroll.x() + 170, scroll.y()});
    cut = crop->cropImage();
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->pixelAt(0, 0), kBlue);
    // Zoomed twice and scrolled by (150, 10): z = 2, the rectangle (r·(170 + 150) ÷ 2, r·10 ÷ 2,
    // 150, 150) = (320, 10, 150, 150), which starts exactly at the blue half.
    crop->cropScrollView()->setZoomScale(2);
    crop->cropScrollView()->setContentOffset({150, 10});
    EXPECT_EQ(crop->cropScrollView()->contentSize(), Size(640, 320));
    cut = crop->cropImage();
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->pixelWidth(), 150);
    EXPECT_EQ(cut->pixelAt(0, 0), kBlue);
    crop->cropScrollView()->setContentOffset({149, 10});
    EXPECT_EQ(crop->cropImage()->pixelAt(0, 0), kRed);
}

TEST_F(FreeCropTest, UploadHandsTheCutToTheDelegateAndLeaves) {
    open(splitPicture(640, 320)->withOrientation(ImageOrientation::Down));
    crop->saveAndSendImg();
    driver->settle();
    EXPECT_EQ(delegate->calls, 1);
    ASSERT_TRUE(delegate->received);
    // Made upright first: the turned picture's left half is blue and its top row green.
    EXPECT_EQ(delegate->received->pixelAt(0, 0), kGreen);
    EXPECT_EQ(delegate->received->pixelAt(0, 5), kBlue);
    EXPECT_FALSE(navigation->presentedViewController());

    // Without a delegate the screen still leaves, telling nobody.
    delegate = std::make_shared<FreeCropDelegate>();
    auto orphan = open(splitPicture(64, 64));
    orphan->setDelegate({});
    orphan->saveAndSendImg();
    driver->settle();
    EXPECT_FALSE(navigation->presentedViewController());
    EXPECT_EQ(delegate->calls, 0);
}

TEST_F(FreeCropTest, APanTakingATouchPausesScrollingFor02Seconds) {
    open(splitPicture(640, 640));
    PanGestureRecognizer pan;
    EXPECT_TRUE(crop->gestureRecognizerShouldReceiveTouch(pan));
    EXPECT_FALSE(crop->cropScrollView()->isScrollEnabled());
    EXPECT_FALSE(crop->viewForZoomingInScrollView(*crop->cropScrollView()));
    advance(0.15);
    driver->pump();
    // A second touch restarts the wait.
    crop->gestureRecognizerShouldReceiveTouch(pan);
    advance(0.15);
    driver->pump();
    EXPECT_FALSE(crop->cropScrollView()->isScrollEnabled());
    advance(0.1);
    driver->pump();
    EXPECT_TRUE(crop->cropScrollView()->isScrollEnabled());
    EXPECT_EQ(crop->viewForZoomingInScrollView(*crop->cropScrollView()), crop->imgView());
}

TEST_F(FreeCropTest, AnUprightPictureIsPassedThroughUntouched) {
    const auto upright = splitPicture(8, 4);
    EXPECT_EQ(MVTCropImageViewController::rotationImage(upright), upright);
    const auto turned = MVTCropImageViewController::rotationImage(upright->withOrientation(ImageOrientation::Left));
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->orientation(), ImageOrientation::Up);
    EXPECT_EQ(turned->pixelWidth(), 4);
    EXPECT_EQ(turned->pixelHeight(), 8);
}

TEST_F(FreeCropTest, TheCropViewCentresItsWindowAndCutsToTheCropSize) {
    struct Case {
        double version;
        double windowY;
    };
    for (const Case c : {Case{7.0, 110 + 40}, Case{6.1, 110}}) {
        Screen::setSystemVersion(c.version);
        auto view = std::make_shared<MVTCropImageView>();
        view->setFrame({0, 0, 320, 320});
        EXPECT_EQ(view->cropSize(), Size(100, 100));
        EXPECT_EQ(view->maskView()->cropRect(), Rect(110, c.windowY, 100, 100)) << c.version;
        EXPECT_EQ(view->imageInset(), (EdgeInsets{110, 110, 110, 110}));
        EXPECT_EQ(view->scrollView()->contentInset(), view->imageInset());
    }
    Screen::setSystemVersion(7.0);
    auto view = std::make_shared<MVTCropImageView>();
    view->setFrame({0, 0, 320, 320});
    view->setCropSize({120, 80});
    EXPECT_EQ(view->imageInset(), (EdgeInsets{120, 100, 120, 100}));
    // Without a picture there is nothing to cut.
    EXPECT_FALSE(view->cropImage());
    view->setImage(splitPicture(400, 300));
    EXPECT_EQ(view->imageView()->bounds().size, Size(400, 300));
    // The smallest zoom covers the window or shows pixels one to one: min(0.3, 0.5).
    EXPECT_DOUBLE_EQ(view->scrollView()->minimumZoomScale(), 0.3);
    EXPECT_DOUBLE_EQ(view->scrollView()->maximumZoomScale(), 5.5);
    EXPECT_DOUBLE_EQ(view->scrollView()->zoomScale(), 0.3);
    // The window's corner over the picture's: the cut starts at (0, 0) and takes
    // 120 ÷ 0.3 × 80 ÷ 0.3 points of it, sized down to the crop size.
    view->scrollView()->setContentOffset({-100, -120});
    auto cut = view->cropImage();
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), Size(120, 80));
    EXPECT_EQ(cut->scale(), Screen::mainScreen().scale());
    EXPECT_EQ(cut->pixelAt(0, 0), kRed);
    EXPECT_EQ(cut->pixelAt(cut->pixelWidth() - 1, 0), kBlue);
    // Moved wholly off the picture, the window cuts nothing.
    view->scrollView()->setContentOffset({400, 400});
    EXPECT_FALSE(view->cropImage());
}

TEST_F(FreeCropTest, FlipsResizeAndCut) {
    const auto picture = splitPicture(6, 4);
    const auto vertical = MVTImageAdditions::flipVertical(picture);
    const auto horizontal = MVTImageAdditions::flipHorizontal(picture);
    ASSERT_TRUE(vertical && horizontal);
    // Drawn at the screen's scale: twice the pixels.
    EXPECT_EQ(vertical->pixelWidth(), 12);
    EXPECT_EQ(vertical->pixelAt(0, 0), kGreen);
    EXPECT_EQ(vertical->pixelAt(0, 7), kRed);
    EXPECT_EQ(horizontal->pixelAt(0, 0), kBlue);
    EXPECT_EQ(horizontal->pixelAt(11, 0), kRed);
    const auto resized = MVTImageAdditions::resizeToWidth(picture, 3, 10);
    ASSERT_TRUE(resized);
    EXPECT_EQ(resized->size(), Size(3, 10));
    EXPECT_EQ(resized->pixelWidth(), 6);
    const auto cut = MVTImageAdditions::cropImageWithX(picture, 3, 0, 10, 10);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->pixelWidth(), 3);
    EXPECT_EQ(cut->pixelHeight(), 4);
    EXPECT_EQ(cut->pixelAt(0, 0), kBlue);
    EXPECT_FALSE(MVTImageAdditions::cropImageWithX(picture, 50, 50, 10, 10));
    EXPECT_FALSE(MVTImageAdditions::flipVertical(nullptr));
}

class TouchRecorder : public ImageTouchDelegate {
public:
    void imageTouch(const Touches& touches, AimageView& whichView) override {
        count += touches.size();
        view = &whichView;
    }
    size_t count = 0;
    AimageView* view = nullptr;
};

TEST_F(FreeCropTest, TheTouchImageViewReportsTouchesToItsDelegate) {
    signIn("teacher");
    auto screen = showRoot(std::make_shared<ViewViewController>());
    auto picture = std::make_shared<AimageView>(Rect(20, 100, 100, 100));
    EXPECT_TRUE(picture->isUserInteractionEnabled());
    EXPECT_TRUE(picture->delegatrue());
    auto recorder = std::make_shared<TouchRecorder>();
    picture->setDelegate(recorder);
    screen->view()->addSubview(picture);
    driver->pump();
    driver->tap(picture);
    EXPECT_EQ(recorder->count, 1u);
    EXPECT_EQ(recorder->view, picture.get());
}

}  // namespace
