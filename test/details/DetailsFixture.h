#pragma once

// The detail screen of one post against the sample service, opened as a list would open
// it, with a delegate that counts what the screen tells its opener. Signed in as the
// sample teacher 王老师 (user 1001) unless a test signs in someone else.

#include "feed/FeedFixture.h"

#include "details/MVTDetailsViewController.h"
#include "details/MVTForwardViewController.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"

#include "platform/UserDefaults.h"

#include "platform/AudioRecorder.h"
#include "platform/ui/Label.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class SpyOpener : public MVTDetailsViewControllerDelegate, public MVTForwardDelegate {
public:
    void reloadOneCell() override { ++reloads; }
    void deleteOneCell(int row) override { deleted.push_back(row); }
    void showTurnSuccessWith(const std::string& text) override { turns.push_back(text); }
    void toStartHomeAudio() override { audio.push_back("start"); }
    void toStopHomeAudio() override { audio.push_back("stopHome"); }
    void toPlayOrStopAudio(bool playing) override { audio.push_back(playing ? "resume" : "pause"); }
    void detalsStopAudio() override { audio.push_back("stopped"); }
    std::vector<std::string> audio;
    int reloads = 0;
    std::vector<int> deleted;
    std::vector<std::string> turns;
};

class DetailsTest : public FeedTest {
protected:
    void SetUp() override {
        FeedTest::SetUp();
        platform::AudioRecorder::setInput([] { return platform::makeToneSource(440.0, 0.5); });
        platform::UserDefaults::standard().setBool(MVTDetailsViewController::kIsTextKey, false);
        opener = std::make_shared<SpyOpener>();
    }
    void TearDown() override {
        details.reset();
        platform::AudioRecorder::setInput(nullptr);
        FeedTest::TearDown();
    }

    // Opens the screen on `record` (as row `row` of a feed list) and lets it load.
    std::shared_ptr<MVTDetailsViewController> open(const platform::Json& record, const std::string& row = "3",
                                                   bool wait = true) {
        item = std::make_shared<platform::Json>(record);
        details = std::make_shared<MVTDetailsViewController>();
        details->setDelegate(opener);
        details->setMyDict(item);
        details->setModelName("feed");
        details->setModelID(platform::textOf(record, "id"));
        details->setSelfIndexStr(row);
        details->view()->setAccessibilityHint("feed");
        driver->show(myNavigationController::withRoot(details));
        if (wait) settle();
        return details;
    }
    // A post of the sample feed as the list has it.
    platform::Json samplePost(long long id) {
        platform::Json list = get("feed/1001/list/1", {{"limit", "50"}});
        for (const auto& entry : list)
            if (platform::integerValue(platform::valueFor(entry, "id")) == id) return entry;
        return nullptr;
    }
    platform::Json get(const std::string& path, const platform::Json& query = nullptr) {
        auto request = MVTPublicMethod::requestWithMethod("GET", serviceUrl(path), query);
        platform::HttpResponse response = platform::HttpEngine::shared().fetch(*request);
        return platform::Json::parse(response.body, nullptr, false);
    }
    platform::Json cachedPost(long long id) {
        for (const auto& record : MVTtirraDataBase::selectDynamicData("1001", 0))
            if (platform::textOf(record, "id") == std::to_string(id)) return record;
        return nullptr;
    }
    std::vector<sample_service::RecordedRequest> requestsTo(const std::string& path) {
        std::vector<sample_service::RecordedRequest> found;
        for (auto& r : service().requests())
            if (r.path == path) found.push_back(r);
        return found;
    }
    static std::vector<std::string> partNames(const sample_service::RecordedRequest& request) {
        std::vector<std::string> names;
        for (const auto& part : request.parts) names.push_back(part.name);
        return names;
    }
    static std::string partOf(const sample_service::RecordedRequest& request, const std::string& name) {
        for (const auto& part : request.parts)
            if (part.name == name) return part.bytes;
        return "<none>";
    }
    std::string toast() const {
        return details && details->toastLabel() ? details->toastLabel()->text() : std::string();
    }
    static std::string statePath(long long id) {
        std::string path = "/services/norvo/user/1001/feed/";
        path += std::to_string(id);
        path += "/stateCount";
        return path;
    }
    static std::string commentsPath(long long id) {
        std::string path = "/services/norvo/feed/";
        path += std::to_string(id);
        path += "/comments/1";
        return path;
    }
    // Replies for a post the sample feed does not have.
    void answerFor(long long id, const platform::Json& state, const platform::Json& firstPage) {
        service().setReply("GET", statePath(id), sample_service::Reply::json(state));
        service().setReply("GET", commentsPath(id), sample_service::Reply::json(firstPage));
    }

    std::shared_ptr<SpyOpener> opener;
    std::shared_ptr<platform::Json> item;
    std::shared_ptr<MVTDetailsViewController> details;
};

}  // namespace testing_support
