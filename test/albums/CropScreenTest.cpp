// The square crop screen: where the square lies, what a cut takes without and after
// gestures, the odd-width rule, the delegate's answer, and the gestures by two fingers.
#include "AlbumFixture.h"

#include "albums/ImageCropperView.h"
#include "albums/MVTCropImageNewViewController.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include <cmath>

using namespace platform;

namespace {

class CropDelegate : public MVTCropImageNewViewControllerDelegate {
public:
    void cropImageViewControllerDidFinished(ImageRef image) override {
        ++calls;
        received = std::move(image);
    }
    int calls = 0;
    ImageRef received;
};

// A w x h picture: red left half, blue right half.
ImageRef halvesPicture(int w, int h) {
    auto ctx = makeImageContext({double(w), double(h)});
    ctx->fillRect({0, 0, w / 2.0, double(h)}, Color::rgba(1, 0, 0, 1));
    ctx->fillRect({w / 2.0, 0, w / 2.0, double(h)}, Color::rgba(0, 0, 1, 1));
    return ctx->image();
}

class CropScreenTest : public testing_support::AlbumTest {
protected:
    void SetUp() override {
        AlbumTest::SetUp();
        ImageCropperView::resetGestureMemory();
    }
    std::shared_ptr<MVTCropImageNewViewController> open(ImageRef picture) {
        signIn("teacher");
        showRoot(std::make_shared<ViewViewController>());
        crop = std::make_shared<MVTCropImageNewViewController>();
        crop->setDelegate(delegate);
        crop->setOriginImg(std::move(picture));
        navigation->presentViewController(myNavigationController::withRoot(crop), false);
        driver->settle();
        return crop;
    }
    std::shared_ptr<ImageCropperView> cropper() const { return crop->cropImageView(); }

    std::shared_ptr<CropDelegate> delegate = std::make_shared<CropDelegate>();
    std::shared_ptr<MVTCropImageNewViewController> crop;
};

TEST_F(CropScreenTest, TheSquareIsAsWideAsTheScreenBelowItsTop60Points) {
    open(halvesPicture(640, 640));
    const Rect frame = cropper()->frame();
    EXPECT_EQ(frame.x(), 0);
    EXPECT_EQ(frame.y(), 154);
    EXPECT_EQ(frame.width(), 320);
    EXPECT_EQ(frame.height(), 320);
}

TEST_F(CropScreenTest, UntouchedPicturesGiveTheirWholeSelf) {
    struct Case {
        int w, h;
        Rect rect;
    } cases[] = {
        {640, 640, {0, 0, 640, 640}},
        // Fitted to 320 x 160 and centred: the frame's y is 80.
        {640, 320, {0, -160, 640, 640}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.h);
        open(halvesPicture(c.w, c.h));
        EXPECT_EQ(cropper()->imageView()->frame().y(), (320 - c.h / 2.0) / 2);
        const auto cut = cropper()->currentCut();
        EXPECT_DOUBLE_EQ(cut.scale, 1);
        EXPECT_EQ(cut.rect.x(), c.rect.x());
        EXPECT_EQ(cut.rect.y(), c.rect.y());
        EXPECT_EQ(cut.rect.width(), c.rect.width());
        EXPECT_EQ(cut.rect.height(), c.rect.height());
        driver->tapText("上传");
        driver->settle();
        ASSERT_TRUE(delegate->received);
        EXPECT_EQ(delegate->received->pixelWidth(), c.w);
        EXPECT_EQ(delegate->received->pixelHeight(), c.h);
        EXPECT_FALSE(navigation->presentedViewController());
        EXPECT_FALSE(crop->cropImageView());
    }
    EXPECT_EQ(delegate->calls, 2);
}

TEST_F(CropScreenTest, AWindowWidthWithAnOddWholePartGoesUpToTheNextWholeNumber) {
    open(halvesPicture(640, 640));
    struct Case {
        double widthPrime, expected;
    } cases[] = {{160, 160}, {107.4, 108}, {106.7, 106.7}};
    for (const auto& c : cases) {
        const double s = 320 / c.widthPrime;
        cropper()->imageView()->setTransform(AffineTransform::scale(s, s));
        const auto cut = cropper()->currentCut();
        EXPECT_NEAR(cut.widthPrime, c.expected, 1e-9) << c.widthPrime;
        EXPECT_NEAR(cut.heightPrime, c.expected, 1e-9) << c.widthPrime;
        EXPECT_EQ(cut.rect.width(), std::trunc(2 * cut.widthPrime));
    }
}

TEST_F(CropScreenTest, PinchAndTurnReadBackAndTheCutFollowsThem) {
    open(halvesPicture(640, 640));
    const Point centre = driver->centerOf(*cropper());
    driver->pinch(centre, 2.0);
    auto cut = cropper()->currentCut();
    EXPECT_NEAR(cut.scale, 2.0, 0.02);
    EXPECT_NEAR(cut.angle, 0, 1e-9);
    // Twice as large: the square shows the middle quarter, 320 source pixels across.
    EXPECT_NEAR(cut.widthPrime, 160, 2);
    driver->tapText("上传");
    ASSERT_TRUE(delegate->received);
    EXPECT_NEAR(delegate->received->pixelWidth(), 320, 4);
    // Its left half red, its right half blue.
    EXPECT_EQ(delegate->received->pixelAt(10, 160), 0xffff0000u);
    EXPECT_EQ(delegate->received->pixelAt(delegate->received->pixelWidth() - 10, 160), 0xff0000ffu);

    open(halvesPicture(640, 640));
    driver->rotate(driver->centerOf(*cropper()), M_PI / 2);
    cut = cropper()->currentCut();
    EXPECT_NEAR(cut.angle, M_PI / 2, 0.02);
    EXPECT_NEAR(cut.scale, 1, 1e-6);
    driver->tapText("上传");
    ASSERT_TRUE(delegate->received);
    // A quarter turn clockwise: red on top, blue below.
    EXPECT_EQ(delegate->received->pixelAt(320, 20), 0xffff0000u);
    EXPECT_EQ(delegate->received->pixelAt(320, delegate->received->pixelHeight() - 20), 0xff0000ffu);
}

TEST_F(CropScreenTest, APictureMovedOutOfTheSquareGivesNothingAndBackTellsNothing) {
    open(halvesPicture(640, 640));
    const Point centre = driver->centerOf(*cropper());
    driver->drag(centre, {centre.x, centre.y - 400}, 20);
    EXPECT_LT(cropper()->imageView()->frame().maxY(), 0);
    driver->tapText("上传");
    EXPECT_EQ(delegate->calls, 1);
    EXPECT_FALSE(delegate->received);

    open(halvesPicture(640, 640));
    crop->goback();
    driver->settle();
    EXPECT_EQ(delegate->calls, 1);
    EXPECT_FALSE(navigation->presentedViewController());
}

}  // namespace
