#pragma once

// A signed-in user (12, a teacher unless a test says otherwise) in front of the tab bar, the
// sample service behind it, and helpers to open a composer the way its openers do.

#include "shell/TabBarFixture.h"

#include "composer/AddFeedViewController.h"
#include "composer/AddPicViewController.h"
#include "composer/AddRecordViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/MVTAppDelegate.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Label.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace testing_support {

class ComposerTest : public TabBarFixture {
protected:
    void SetUp() override {
        TabBarFixture::SetUp();
        MVTAccount::sharedInstance().setClassId("3");
        platform::AlertView::clearVisible();
        platform::StatisticsKit::shared().reset();
        platform::ImagePickerController::resetSources();
        app_ = MVTAppDelegate::sharedAppDelegate();
        // The delegate outlives a test: start with an idle queue that holds its posts.
        app_->setUpDynamicArr(nlohmann::json::array());
        service().setReply("POST", "services/norvo/postMessage/essay/12/publish", sample_service::Reply::silent(30));
        // The tab bar fetches the mention list ahead; an empty one leaves no cache behind.
        service().setReply("GET", "services/norvo/postMessage/essay/12/recipient",
                           sample_service::Reply::json(nlohmann::json::array()));
        build();
        pumpUntil([this] { return requestsTo("/services/norvo/postMessage/essay/12/recipient") > 0; });
        driver_->pump();
        service().clearReplies();
        service().setReply("POST", "services/norvo/postMessage/essay/12/publish", sample_service::Reply::silent(30));
        service().clearRequests();
        clearBanner();
    }
    void TearDown() override {
        platform::BackgroundQueue::shared().waitIdle();
        // A post still being sent would hold the delegate's queue for the next test.
        if (app_->isSendingPost()) app_->oneDynamicDidUpSucOrErr("0");
        platform::AlertView::clearVisible();
        platform::ImagePickerController::resetSources();
        app_->setUpDynamicArr(nlohmann::json::array());
        TabBarFixture::TearDown();
    }

    // A composer opened as its opener opens it (inside a navigation stack, presented).
    template <class T>
    std::shared_ptr<T> open(platform::ImageRef image = nullptr, bool isTaShowImage = false) {
        auto composer = std::make_shared<T>();
        composer->initWithImage(image, isTaShowImage);
        present(composer);
        return composer;
    }
    template <class T>
    std::shared_ptr<T> openWithAssets(const std::vector<platform::PickedAsset>& assets) {
        auto composer = std::make_shared<T>();
        composer->initWithMutableImages(assets);
        present(composer);
        return composer;
    }
    void present(const std::shared_ptr<platform::ViewController>& screen) {
        tabs_->presentViewController(myNavigationController::withRoot(screen), false);
        driver_->settle();
    }
    // Closes the screen in front and whatever alert it left.
    void closePresented() {
        platform::AlertView::clearVisible();
        if (auto screen = tabs_->presentedViewController()) screen->dismissViewController(false);
        driver_->settle();
    }
    // A picture file of one colour.
    std::filesystem::path pictureFile(const std::string& name, double width, double height) {
        auto path = AppTest::home_ / name;
        std::ofstream(path, std::ios::binary)
            << platform::Image::imageWithColor(platform::Color::rgb255(200, 10, 10), {width, height})->jpegData(0.9);
        return path;
    }
    // Turns the run loop until every picture of the composer has its file.
    void waitForPictures(MVTPostComposerViewController& composer) {
        pumpUntil([&] { return !composer.isLoadingPictures(); });
        driver_->pump();
    }
    // The posts handed to the upload queue.
    const nlohmann::json& queued() { return app_->upDynamicArr(); }
    std::string alertMessage() {
        auto alert = platform::AlertView::topAlert();
        return alert ? alert->message() : "";
    }
    void setRole(const std::string& role) { MVTAccount::sharedInstance().setRole(role); }
    // Takes down a network banner shown so far, so the next one can show.
    void clearBanner() {
        if (auto banner = app_->netWorkLa()) {
            banner->removeFromSuperview();
            banner->setAlpha(0);
        }
    }
    // The picture stamp of now: whole seconds since 2001.
    std::string stampNow() const { return std::to_string(static_cast<long long>(clock_->now() - 978307200)); }

    std::shared_ptr<MVTAppDelegate> app_;
};

}  // namespace testing_support
