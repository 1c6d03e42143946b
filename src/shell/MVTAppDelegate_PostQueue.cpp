// The post upload queue of the application delegate: the composers hand over finished
// posts and close; the delegate sends them one after the other and keeps every post that
// could not be sent as an unsent post, so that none is lost.

#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"
#include "feed/MVTHomeViewController.h"
#include "shell/MyTabBarController.h"

#include "platform/Clock.h"
#include "platform/HttpClient.h"
#include "platform/HttpMultipartForm.h"
#include "platform/HttpRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/Values.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <string>

namespace {

constexpr const char* kOctetStream = "application/octet-stream";

std::string currentUserId() { return MVTAccount::sharedInstance().userId().value_or(""); }

// The home feed, when the window shows the tab bar.
std::shared_ptr<MVTHomeViewController> homeFeed(const std::shared_ptr<platform::Window>& window) {
    if (!window) return nullptr;
    auto tabs = std::dynamic_pointer_cast<MyTabBarController>(window->rootViewController());
    if (!tabs) return nullptr;
    const auto& stacks = tabs->viewControllers();
    if (stacks.empty() || !stacks[0]) return nullptr;
    std::shared_ptr<platform::ViewController> root = stacks[0];
    if (auto stack = root->asNavigationController())
        root = stack->viewControllers().empty() ? nullptr : stack->viewControllers().front();
    return std::dynamic_pointer_cast<MVTHomeViewController>(root);
}

// The text under the key; empty when the key is missing or null.
std::string textIfAny(const nlohmann::json& post, const char* key) {
    if (!post.contains(key) || post.at(key).is_null()) return "";
    return platform::textOf(post, key);
}

std::string replaceArgument(std::string format, const std::string& argument) {
    const auto at = format.find("%@");
    if (at != std::string::npos) format.replace(at, 2, argument);
    return format;
}

}  // namespace

void MVTAppDelegate::getOneDynamicWith(const nlohmann::json& post) {
    if (!post.is_object()) return;
    // Also offline: the composer has already closed, so dropping the post would lose it.
    // Its turn finds no network and ends as a failed send, which keeps it as unsent and
    // shows the user the notice of a failed send.
    upDynamicArr_.push_back(post);
    if (upDynamicArr_.size() == 1) willToUpOneDynamic();
}

void MVTAppDelegate::willToUpOneDynamic() {
    if (!upDynamicArr_.is_array() || upDynamicArr_.empty() || postOperation_) return;
    if (auto home = homeFeed(window_)) home->addNewUpDynamic();
    toUpOneDynamic();
}

void MVTAppDelegate::appendPostParts(platform::HttpMultipartForm& form, const nlohmann::json& post) {
    const std::string content = textIfAny(post, "content");
    if (!content.empty()) form.appendPart("content", content);
    const std::string relative = textIfAny(post, "relative");
    if (!relative.empty()) form.appendPart("relative", relative);
    form.appendPart("permission", platform::textOf(post, "permission"));

    const std::string model = MVTPublicMethod::currentDevicemodel();
    const nlohmann::json images = post.value("imagePath", nlohmann::json::array());
    if (images.is_array() && !images.empty()) {
        int number = 1;
        for (const auto& path : images) {
            const std::string name = images.size() == 1
                                         ? "来自" + model + "的图片.png"
                                         : "来自" + model + "的图片" + std::to_string(number) + ".png";
            // A picture that can no longer be read is left out rather than sent empty.
            form.appendPartWithFile("image", platform::textOf(path), platform::percentEscape(name), kOctetStream);
            ++number;
        }
    }

    const std::string voice = textIfAny(post, "vedioPath");
    if (!voice.empty()) {
        const std::string amr = MVTPublicMethod::getPathByFileName(voice + "wavToAmr", "amr");
        form.appendPartWithFile("amr", amr, platform::percentEscape("来自" + model + "的音频.amr"), kOctetStream);
        form.appendPart("duration", std::to_string(MVTPublicMethod::getVedioLength(voice)));
        const std::string background = textIfAny(post, "vedioBg");
        if (!background.empty()) form.appendPart("bg", background);
    }
}

std::string MVTAppDelegate::publishUrl(const std::string& userId) {
    return ServiceAddress::servicePrefix() + replaceArgument(kPublishPath, userId);
}

void MVTAppDelegate::deletePostFiles(const nlohmann::json& post) {
    if (!post.is_object()) return;
    const nlohmann::json images = post.value("imagePath", nlohmann::json::array());
    if (images.is_array())
        for (const auto& path : images) {
            const std::string file = platform::textOf(path);
            if (!file.empty() && MVTPublicMethod::fileExistsAtPath(file)) MVTPublicMethod::deleteFileAtPath(file);
        }
    const std::string voice = textIfAny(post, "vedioPath");
    if (!voice.empty()) {
        MVTPublicMethod::deleteFileAtPath(MVTPublicMethod::getPathByFileName(voice, "wav"));
        MVTPublicMethod::deleteFileAtPath(MVTPublicMethod::getPathByFileName(voice + "wavToAmr", "amr"));
    }
}

void MVTAppDelegate::toUpOneDynamic() {
    if (!upDynamicArr_.is_array() || upDynamicArr_.empty() || postOperation_) return;
    const nlohmann::json post = upDynamicArr_.front();
    postUserId_ = currentUserId();
    const std::string url = publishUrl(postUserId_);

    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        // The network went away after the hand-over: nothing could ever end this entry,
        // so it ends now as a failure and is kept as unsent.
        oneDynamicDidUpSucOrErr("0");
        return;
    }
    platform::UrlRequest request = client->multipartFormRequestWithMethod(
        "POST", url, nullptr, [&post](platform::HttpMultipartForm& form) { appendPostParts(form, post); });
    request.setTimeoutInterval(kPostUploadTimeout);

    std::weak_ptr<MVTAppDelegate> weakSelf = weak_from_this();
    // Each handler acts only while its own operation is still the running one, so a late
    // reply after the time-out cannot end the next entry.
    auto current = [weakSelf](platform::HttpRequestOperation& operation) {
        auto self = weakSelf.lock();
        return self && self->postOperation_.get() == &operation ? self : nullptr;
    };
    auto finish = [current](platform::HttpRequestOperation& operation, bool sent) {
        if (auto self = current(operation)) self->oneDynamicDidUpSucOrErr(sent ? "1" : "0");
    };
    postOperation_ = client->HTTPRequestOperationWithRequest(
        request,
        [finish](platform::HttpRequestOperation& operation, const std::string& body) {
            finish(operation, platform::integerValue(body) != 0);
        },
        [finish](platform::HttpRequestOperation& operation, const platform::HttpError&) { finish(operation, false); });

    // Data moving either way keeps the send alive on the app's clock as well.
    std::weak_ptr<platform::HttpRequestOperation> weakOperation = postOperation_;
    auto moved = [current, weakOperation](long long, long long) {
        auto operation = weakOperation.lock();
        if (auto self = operation ? current(*operation) : nullptr) self->postLastActivity_ = platform::now();
    };
    postOperation_->setUploadProgressBlock(moved);
    postOperation_->setDownloadProgressBlock(moved);
    postLastActivity_ = platform::now();
    armPostWatchdog();
    postOperation_->start();
}

void MVTAppDelegate::armPostWatchdog() {
    if (postTimeout_) postTimeout_->invalidate();
    std::weak_ptr<MVTAppDelegate> weakSelf = weak_from_this();
    std::weak_ptr<platform::HttpRequestOperation> weakOperation = postOperation_;
    const double due = postLastActivity_ + kPostUploadTimeout - platform::now();
    postTimeout_ = platform::RunLoop::main().performAfter(std::max(0.0, due), [weakSelf, weakOperation] {
        auto self = weakSelf.lock();
        auto operation = weakOperation.lock();
        if (!self || !operation || self->postOperation_ != operation) return;
        // Data moved since the watchdog was armed: wait on from the last move. Otherwise
        // a reply that never comes (a network lost half-way) must not hold the queue.
        if (platform::now() - self->postLastActivity_ < kPostUploadTimeout) return self->armPostWatchdog();
        operation->cancel();
        self->oneDynamicDidUpSucOrErr("0");
    });
}

void MVTAppDelegate::storeUnsentPost(const nlohmann::json& post, const std::string& userId) {
    MVTtirraDataBase::insertSaveDynamicWithDic(post, platform::textOf(post, "dynamicId"), userId);
}

void MVTAppDelegate::oneDynamicDidUpSucOrErr(const std::string& result) {
    if (postTimeout_) {
        postTimeout_->invalidate();
        postTimeout_.reset();
    }
    if (postOperation_) {
        postOperation_->cancel();
        postOperation_.reset();
    }
    if (!upDynamicArr_.is_array() || upDynamicArr_.empty()) return;

    const nlohmann::json post = upDynamicArr_.front();
    const std::string userId = postUserId_.empty() ? currentUserId() : postUserId_;
    postUserId_.clear();
    const bool sent = result == "1";
    if (sent) {
        deletePostFiles(post);
        MVTtirraDataBase::deleteSaveDynamicWith(userId, platform::textOf(post, "dynamicId"));
    } else {
        storeUnsentPost(post, userId);
    }
    upDynamicArr_.erase(upDynamicArr_.begin());

    if (auto home = homeFeed(window_)) home->newDynamicDidUpSucOrErr(sent);
    if (!upDynamicArr_.empty()) {
        std::weak_ptr<MVTAppDelegate> weakSelf = weak_from_this();
        platform::RunLoop::main().performAfter(kNextPostDelay, [weakSelf] {
            if (auto self = weakSelf.lock()) self->willToUpOneDynamic();
        });
    }
}
