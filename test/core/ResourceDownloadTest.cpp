// Resources of the sample service as the downloaders receive them: the sample voices and
// attachments by id, and the service's short text answer for an id it does not have.
#include "core/MVTVoiceJoiner.h"
#include "core/SGdownloader.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "support/ServiceFixture.h"

#include <filesystem>

namespace fs = std::filesystem;
using sample_service::SampleService;

namespace {

class Receiver : public SGdownloaderDelegate {
public:
    void SGDownloadProgress(float progress, int) override { lastProgress = progress; }
    void SGDownloadFinished(const std::string& data) override {
        finished = true;
        this->data = data;
    }
    void SGDownloadFail(const std::optional<platform::HttpError>&) override { failed = true; }

    bool finished = false;
    bool failed = false;
    float lastProgress = 0;
    std::string data;
};

class ResourceDownloadTest : public testing_support::ServiceTest {
protected:
    std::string url(const std::string& id) const {
        return baseUrl() + "resource/" + id + "/download?token=0123456789ABCDEF0123456789ABCDEF&timestamp=1767600000000&random=00000";
    }

    // What SGdownloader hands to a screen, or nothing when it reported a failure.
    std::optional<std::string> fetchIntoMemory(const std::string& id) {
        auto receiver = std::make_shared<Receiver>();
        auto downloader = std::make_shared<SGdownloader>();
        downloader->initWithURL(url(id), 60);
        downloader->startWithDelegate(receiver);
        if (!pumpUntil([&] { return receiver->finished || receiver->failed; })) return std::nullopt;
        if (receiver->failed) return std::nullopt;
        EXPECT_FLOAT_EQ(receiver->lastProgress, 1.0f);
        return receiver->data;
    }

    static std::string sampleFile(const std::string& name) {
        return platform::readFile(SampleService::defaultDataDirectory() / "resources" / name).value_or("<missing>");
    }
};

TEST_F(ResourceDownloadTest, SampleResourcesComeWholeWithTheirTypeAndWithoutCredentials) {
    struct Case {
        std::string id, file, contentType;
        int voiceFrames;  // AMR frames when it is a voice, else 0
    } cases[] = {
        {"880001", "voice-1s.amr", "audio/amr", 50},
        {"880002", "voice-3s.amr", "audio/amr", 150},
        {"880003", "class-rules.txt", "text/plain; charset=utf-8", 0},
        {"880004", "homework.zip", "application/zip", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        auto data = fetchIntoMemory(c.id);
        ASSERT_TRUE(data);
        EXPECT_EQ(*data, sampleFile(c.file));

        auto request = service().lastRequest("resource/" + c.id + "/download");
        ASSERT_TRUE(request);
        EXPECT_FALSE(request->basicUser);
        auto response = platform::HttpEngine::shared().fetch(platform::UrlRequest(url(c.id)));
        EXPECT_EQ(response.statusCode, 200);
        EXPECT_EQ(response.header("Content-Type"), c.contentType);

        if (c.voiceFrames) {
            // The sample voices are what the app's own encoder writes and decode again.
            EXPECT_EQ(data->substr(0, 6), "#!AMR\n");
            EXPECT_EQ(data->size(), 6u + 32u * c.voiceFrames);
            auto amr = home_ / (c.id + ".amr");
            ASSERT_TRUE(platform::writeFileAtomically(amr, *data));
            EXPECT_EQ(MVTVoiceJoiner::amrToWav(amr, home_ / (c.id + ".wav")), c.voiceFrames);
        }
    }
    EXPECT_EQ(sampleFile("homework.zip").substr(0, 4), std::string("PK\x03\x04", 4));
}

TEST_F(ResourceDownloadTest, AnUnknownIdIsAnsweredWithTheShortNotFoundText) {
    const std::string notFound = "没有找到资源";
    ASSERT_EQ(notFound.size(), 18u);
    for (const std::string id : {"999999", "880001x", "%2E%2E", "resources.json"}) {
        SCOPED_TRACE(id);
        // An ordinary reply with a length, so the in-memory downloader hands it over as
        // data and the screen can recognise it.
        auto data = fetchIntoMemory(id);
        ASSERT_TRUE(data);
        EXPECT_EQ(*data, notFound);
        auto response = platform::HttpEngine::shared().fetch(platform::UrlRequest(url(id)));
        EXPECT_EQ(response.statusCode, 200);
        EXPECT_EQ(response.header("Content-Length"), "18");
    }
}

TEST_F(ResourceDownloadTest, ManifestEntriesOutsideTheDataFolderAreNotServed) {
    auto data = home_ / "data";
    fs::create_directories(data / "resources");
    ASSERT_TRUE(platform::writeFileAtomically(home_ / "secret.txt", "private"));
    ASSERT_TRUE(platform::writeFileAtomically(data / "resources" / "note.txt", "hello"));
    ASSERT_TRUE(platform::writeFileAtomically(data / "resources.json", R"([
        {"id": "1", "file": "../secret.txt"},
        {"id": "2", "file": ")" + (home_ / "secret.txt").string() + R"("},
        {"id": "3", "file": "resources/note.txt"},
        {"id": 4, "file": "resources/note.txt"},
        {"id": "5"}
    ])"));
    SampleService local({data, true, true});
    ASSERT_TRUE(local.start());
    auto fetch = [&](const std::string& id) {
        return platform::HttpEngine::shared()
            .fetch(platform::UrlRequest(local.baseUrl() + "resource/" + id + "/download?token=x"))
            .body;
    };
    EXPECT_EQ(fetch("1"), "没有找到资源");
    EXPECT_EQ(fetch("2"), "没有找到资源");
    EXPECT_EQ(fetch("3"), "hello");
    EXPECT_EQ(fetch("4"), "没有找到资源");
    EXPECT_EQ(fetch("5"), "没有找到资源");
    local.stop();
}

}  // namespace
