// The QR code scan screen over the camera stand-in, and the join screen's use of it.
#include "support/AppTest.h"
#include "support/BarcodePictures.h"

#include "account/MVTInterClassViewController.h"
#include "account/MVTZXingViewController.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/ViewViewController.h"
#include "shell/myNavigationController.h"

#include "platform/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Camera.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/UiDriver.h"

#include <fstream>

using namespace platform;

namespace {

using testing_support::code128Picture;
using testing_support::qrPicture;

// What the scan screen told its opener.
struct Listener : MVTZXingViewControllerDelegate {
    void MVTZXingViewControllerDidScanResult(MVTZXingViewController&, const std::string& result) override {
        results.push_back(result);
    }
    void MVTZXingViewControllerDidCancel(MVTZXingViewController&) override { ++cancels; }
    std::vector<std::string> results;
    int cancels = 0;
};

class ScanScreenTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        Camera::reset();
        InternationalControl::setUserlanguage("zh-Hans", false);
        MVTAccount::resetSharedInstanceForTests();
        MVTAccount::sharedInstance().setRole("student");
        driver_ = std::make_unique<UiDriver>();
    }
    void TearDown() override {
        AlertView::clearVisible();
        driver_.reset();
        Camera::reset();
        AppTest::TearDown();
    }

    void feed(const ImageRef& picture) {
        const auto path = home_ / ("frame" + std::to_string(files_++) + ".png");
        std::ofstream(path, std::ios::binary) << picture->pngData();
        Camera::setFrameFiles({path});
    }
    // The scan screen alone, shown the way an opener presents it.
    std::shared_ptr<MVTZXingViewController> openScanner() {
        auto scan = std::make_shared<MVTZXingViewController>();
        scan->setDelegate(listener_);
        driver_->show(myNavigationController::withRoot(scan));
        driver_->pump();
        return scan;
    }
    // The join screen opened from a screen's join alert.
    std::shared_ptr<MVTInterClassViewController> openJoinScreen() {
        opener_ = std::make_shared<ViewViewController>();
        driver_->show(myNavigationController::withRoot(opener_));
        auto alert = MVTInterClassViewController::showJoinClassAlert({});
        alert->dismissWithClickedButtonIndex(0, false);
        MVTInterClassViewController::answerJoinClassAlert(*opener_, *alert, 0);
        driver_->settle();
        auto navigation = std::dynamic_pointer_cast<NavigationController>(opener_->presentedViewController());
        return navigation ? std::dynamic_pointer_cast<MVTInterClassViewController>(navigation->viewControllers().front())
                          : nullptr;
    }
    std::shared_ptr<MVTZXingViewController> scannerOver(ViewController& screen) const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(screen.presentedViewController());
        if (!navigation || navigation->viewControllers().empty()) return nullptr;
        return std::dynamic_pointer_cast<MVTZXingViewController>(navigation->viewControllers().front());
    }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<Listener> listener_ = std::make_shared<Listener>();
    std::shared_ptr<ViewViewController> opener_;
    int files_ = 0;
};

TEST_F(ScanScreenTest, AScannedQrCodeFillsTheJoinScreensCodeField) {
    feed(qrPicture("http://127.0.0.1/join?param=300101"));
    auto join = openJoinScreen();
    ASSERT_NE(join, nullptr);
    ASSERT_TRUE(driver_->tapText("扫描二维码"));
    driver_->pump();
    auto scan = scannerOver(*join);
    ASSERT_NE(scan, nullptr);
    EXPECT_TRUE(driver_->byText("请将窗口正对二维码"));
    // The camera started after 0.06 s and its frames were read: the screen is gone again.
    ASSERT_TRUE(pumpUntil([&] {
        advance(0.1);
        return scannerOver(*join) == nullptr;
    }));
    EXPECT_FALSE(scan->isScanning());
    EXPECT_FALSE(scan->captureSession()->isRunning());
    EXPECT_EQ(join->classIdTextField()->text(), "300101");
    // Nothing was looked up: the user still taps "完成".
    EXPECT_EQ(driver_->alert(), nullptr);
}

TEST_F(ScanScreenTest, TheCameraStartsAfterAMomentInsideTheFrame) {
    feed(qrPicture("8801"));
    auto scan = openScanner();
    EXPECT_EQ(scan->captureSession(), nullptr);
    EXPECT_FALSE(scan->isScanning());
    const double width = Screen::mainScreen().bounds().width(), height = Screen::mainScreen().bounds().height();
    EXPECT_EQ(scan->contentView()->frame(), Rect(25, 25, width - 50, height - 50));
    advance(0.07);
    ASSERT_NE(scan->captureSession(), nullptr);
    EXPECT_TRUE(scan->isScanning());
    EXPECT_TRUE(scan->captureSession()->isRunning());
    ASSERT_NE(scan->captureVideoPreviewLayer(), nullptr);
    EXPECT_EQ(scan->captureVideoPreviewLayer()->superview(), scan->contentView());
    EXPECT_EQ(scan->captureVideoPreviewLayer()->frame(), Rect(5, 5, width - 60, height - 60));
    EXPECT_EQ(scan->captureVideoPreviewLayer()->videoGravity(), VideoGravity::ResizeAspectFill);
    // A scale-2 screen with a camera that can: the 960 x 540 picture.
    EXPECT_EQ(scan->captureSession()->sessionPreset(), CaptureSessionPreset::IFrame960x540);
    ASSERT_TRUE(pumpUntil([&] {
        advance(0.1);
        return !listener_->results.empty();
    }));
    EXPECT_EQ(listener_->results, std::vector<std::string>{"8801"});
}

TEST_F(ScanScreenTest, TwoFramesReadOneAfterTheOtherGiveOneResult) {
    feed(qrPicture("8801"));
    auto scan = openScanner();
    advance(0.07);
    ASSERT_TRUE(scan->isScanning());
    CameraFrame frame = CameraFrame::fromImage(*qrPicture("8801"));
    auto output = scan->captureSession()->output();
    scan->captureOutputDidOutputSampleBuffer(*output, frame);
    scan->captureOutputDidOutputSampleBuffer(*output, frame);
    EXPECT_TRUE(listener_->results.empty());  // the reports come on the run loop
    RunLoop::main().pump();
    EXPECT_EQ(listener_->results.size(), 1u);
    advance(1);
    EXPECT_EQ(listener_->results.size(), 1u);
    EXPECT_EQ(listener_->cancels, 0);
}

TEST_F(ScanScreenTest, GoingBackBeforeTheCameraStartsCancelsAndTheCameraNeverStarts) {
    feed(qrPicture("8801"));
    auto scan = openScanner();
    advance(0.03);
    scan->goback();
    EXPECT_EQ(listener_->cancels, 1);
    advance(1);
    EXPECT_EQ(scan->captureSession(), nullptr);
    EXPECT_TRUE(listener_->results.empty());
}

TEST_F(ScanScreenTest, AResultArrivingAfterGoingBackIsDropped) {
    feed(qrPicture("8801"));
    auto scan = openScanner();
    advance(0.07);
    scan->captureOutputDidOutputSampleBuffer(*scan->captureSession()->output(),
                                             CameraFrame::fromImage(*qrPicture("8801")));
    ASSERT_TRUE(driver_->tap(scan->navigationItem().leftBarButtonItem()->customView()));  // back
    EXPECT_EQ(listener_->cancels, 1);
    EXPECT_FALSE(scan->captureSession()->isRunning());
    RunLoop::main().pump();
    advance(1);
    EXPECT_TRUE(listener_->results.empty());
}

TEST_F(ScanScreenTest, ABarcodeThatIsNoQrCodeGivesNoResult) {
    feed(code128Picture("300101"));
    auto scan = openScanner();
    advance(1.5);
    EXPECT_GE(scan->captureSession()->framesDelivered(), 10);
    EXPECT_TRUE(listener_->results.empty());
    EXPECT_TRUE(scan->isScanning());
}

TEST_F(ScanScreenTest, WithoutACameraOrItsUseTheFrameSaysSoAndNothingIsScanned) {
    for (bool fed : {false, true}) {
        Camera::reset();
        if (fed) {
            feed(qrPicture("8801"));
            Camera::setAccessGranted(false);
        }
        auto scan = openScanner();
        advance(0.5);
        EXPECT_EQ(scan->captureSession(), nullptr) << fed;
        EXPECT_FALSE(scan->isScanning());
        ASSERT_NE(scan->noCameraLabel(), nullptr);
        EXPECT_TRUE(UiDriver::isOnScreen(*scan->noCameraLabel()));
        EXPECT_EQ(scan->noCameraLabel()->text(), MVTZXingViewController::kNoCamera);
        scan->goback();
        EXPECT_EQ(listener_->cancels, fed ? 2 : 1);
    }
}

TEST_F(ScanScreenTest, CancellingTheScanLeavesTheCodeFieldAsItWas) {
    feed(code128Picture("300101"));
    auto join = openJoinScreen();
    ASSERT_NE(join, nullptr);
    join->classIdTextField()->setText("12");
    join->toZXing();
    driver_->settle();
    auto scan = scannerOver(*join);
    ASSERT_NE(scan, nullptr);
    scan->goback();
    driver_->settle();
    EXPECT_EQ(scannerOver(*join), nullptr);
    EXPECT_EQ(join->classIdTextField()->text(), "12");
}

}  // namespace
