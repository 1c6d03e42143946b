#include "platform/ShareKit.h"
#include "shell/MVTAppDelegate.h"
#include "support/AppTest.h"

using namespace platform;

namespace {

class AppDelegateTest : public testing_support::AppTest {};

TEST_F(AppDelegateTest, OrientationFollowsTheFullScreenFlag) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    EXPECT_EQ(app, MVTAppDelegate::sharedAppDelegate());
    EXPECT_TRUE(app->isFull());
    EXPECT_EQ(app->supportedInterfaceOrientations(), 2u);
    app->setIsFull(false);
    EXPECT_EQ(app->supportedInterfaceOrientations(), 8u);
    app->setIsFull(true);
}

TEST_F(AppDelegateTest, OpenedUrlReachesTheShareKitUnchangedAndItsAnswerComesBack) {
    ShareKit::shared().reset();
    auto app = MVTAppDelegate::sharedAppDelegate();
    EXPECT_TRUE(app->openURL("wx1234://oauth?code=a%20b", "com.example.messenger", nullptr));
    EXPECT_FALSE(app->handleOpenURL("tirra://open"));
    EXPECT_EQ(ShareKit::shared().handledURLs(),
              (std::vector<std::string>{"wx1234://oauth?code=a%20b", "tirra://open"}));
}

}  // namespace
