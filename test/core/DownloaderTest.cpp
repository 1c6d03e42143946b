#include "core/MVTDownLoadView.h"
#include "core/SGdownloader.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/HttpRequestOperation.h"
#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "support/ServiceFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

// A one-connection HTTP server that writes a reply in steps and can hold between them
// until the test releases it: for replies in chunks and replies without a length, which
// the sample service does not make.
class RawServer {
public:
    struct Step {
        std::string bytes;
        bool holdAfter = false;
    };

    explicit RawServer(std::vector<Step> steps) : steps_(std::move(steps)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 1);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~RawServer() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
        ::close(listener_);
    }

    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/resource/1/download"; }
    void release() {
        {
            std::lock_guard lock(mutex_);
            ++released_;
        }
        changed_.notify_all();
    }
    std::string requestText() {
        std::lock_guard lock(mutex_);
        return request_;
    }

private:
    void serve() {
        int client = -1;
        while (client < 0) {
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) client = ::accept(listener_, nullptr, nullptr);
            std::lock_guard lock(mutex_);
            if (stopping_) break;
        }
        if (client < 0) return;
        std::string text;
        char buffer[4096];
        while (text.find("\r\n\r\n") == std::string::npos && text.size() < 65536) {
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            text.append(buffer, size_t(n));
        }
        {
            std::lock_guard lock(mutex_);
            request_ = text;
        }
        int holds = 0;
        for (auto& step : steps_) {
            ::send(client, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL);
            if (step.holdAfter) {
                ++holds;
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stopping_ || released_ >= holds; });
                if (stopping_) break;
            }
        }
        ::close(client);
    }

    std::vector<Step> steps_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    int released_ = 0;
    std::string request_;
};

class RecordingDelegate : public SGdownloaderDelegate {
public:
    void SGDownloadProgress(float progress, int percentage) override {
        progresses.push_back(progress);
        percentages.push_back(percentage);
    }
    void SGDownloadFinished(const std::string& bytes) override {
        data = bytes;
        ++finished;
    }
    void SGDownloadFail(const std::optional<platform::HttpError>& e) override {
        error = e;
        ++failed;
    }
    std::vector<float> progresses;
    std::vector<int> percentages;
    std::string data;
    std::optional<platform::HttpError> error;
    int finished = 0;
    int failed = 0;
};

class DownloaderTest : public testing_support::ServiceTest {
protected:
    std::shared_ptr<SGdownloader> start(const std::string& url) {
        auto downloader = std::make_shared<SGdownloader>();
        downloader->initWithURL(url, 60);
        downloader->startWithDelegate(delegate_);
        return downloader;
    }
    std::string resourceUrl(const std::string& id) { return baseUrl() + "resource/" + id + "/download?token=ABC"; }

    // Observes `name` and collects the notification objects.
    void observe(const std::string& name) {
        tokens_.push_back(platform::NotificationCenter::defaultCenter().addObserver(
            name, [this](const platform::Notification& n) { outcomes_.push_back(n.object.get<std::string>()); }));
    }

    std::shared_ptr<RecordingDelegate> delegate_ = std::make_shared<RecordingDelegate>();
    std::vector<platform::ObserverToken> tokens_;
    std::vector<std::string> outcomes_;
};

std::string payload(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = char('a' + i % 26);
    return s;
}

TEST_F(DownloaderTest, ProgressFollowsTheChunksThenAllBytesArrive) {
    std::string body = payload(2000);
    RawServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 2000\r\nConnection: close\r\n\r\n" + body.substr(0, 1000), true},
                      {body.substr(1000), false}});
    auto downloader = start(server.url());
    ASSERT_TRUE(pumpUntil([&] { return !delegate_->progresses.empty(); }));
    EXPECT_FLOAT_EQ(delegate_->progresses[0], 0.5f);
    EXPECT_EQ(delegate_->percentages[0], 50);
    EXPECT_FLOAT_EQ(downloader->exceptedBytes(), 2000.0f);
    EXPECT_FLOAT_EQ(downloader->receiveBytes(), 1000.0f);

    server.release();
    ASSERT_TRUE(pumpUntil([&] { return delegate_->finished == 1; }));
    EXPECT_EQ(delegate_->progresses, (std::vector<float>{0.5f, 1.0f}));
    EXPECT_EQ(delegate_->percentages, (std::vector<int>{50, 100}));
    EXPECT_EQ(delegate_->data, body);
    EXPECT_EQ(downloader->receiveData(), body);
    EXPECT_EQ(downloader->downloadedPercentage(), 100);
    EXPECT_FALSE(downloader->connection());
    EXPECT_EQ(delegate_->failed, 0);

    // Only the User-Agent of the downloaders, and no service credentials.
    std::string request = server.requestText();
    EXPECT_NE(request.find("User-Agent: Mozilla/5.0 (compatible; MSIE 7.0; Windows NT 5.1)\r\n"), std::string::npos);
    EXPECT_EQ(request.find("Authorization"), std::string::npos);
}

TEST_F(DownloaderTest, AReplyWithoutALengthFailsWithNoErrorAndNoProgress) {
    RawServer server({{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + payload(500), true}});
    auto downloader = start(server.url());
    ASSERT_TRUE(pumpUntil([&] { return delegate_->failed == 1; }));
    EXPECT_FALSE(delegate_->error);
    EXPECT_TRUE(delegate_->progresses.empty());
    EXPECT_EQ(delegate_->finished, 0);
    EXPECT_FLOAT_EQ(downloader->exceptedBytes(), -1.0f);
    EXPECT_FALSE(downloader->connection());
    server.release();
}

TEST_F(DownloaderTest, AnErrorPageIsAFailureNotData) {
    service().route("GET", "resource/%@/download",
                    [](const RecordedRequest&) { return Reply::text("<html>not found</html>", "text/html", 404); });
    auto downloader = start(resourceUrl("9"));  // the screen holds it while it runs
    ASSERT_TRUE(pumpUntil([&] { return delegate_->failed == 1; }));
    ASSERT_TRUE(delegate_->error);
    EXPECT_EQ(delegate_->error->kind, platform::HttpError::Kind::HttpStatus);
    EXPECT_EQ(delegate_->error->statusCode, 404);
    EXPECT_EQ(delegate_->finished, 0);
}

TEST_F(DownloaderTest, NothingIsSentBeforeStartAndNothingIsReportedAfterCancel) {
    service().route("GET", "resource/%@/download", [](const RecordedRequest&) { return Reply::silent(30); });
    auto downloader = std::make_shared<SGdownloader>();
    downloader->initWithURL(resourceUrl("5"), 60);
    EXPECT_EQ(downloader->request().timeoutInterval(), 60.0);
    EXPECT_EQ(downloader->request().allHttpHeaderFields().size(), 1u);
    EXPECT_EQ(service().requestCount(), 0u);

    downloader->startWithDelegate(delegate_);
    ASSERT_TRUE(pumpUntil([&] { return service().requestCount() == 1; }));
    auto request = service().lastRequest("/resource/5/download");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->header("User-Agent"), kDownloaderUserAgent);
    EXPECT_FALSE(request->basicUser);

    downloader->cancel();
    ASSERT_TRUE(pumpUntil([] { return platform::HttpEngine::shared().activeCount() == 0; }));
    platform::RunLoop::main().pump();
    EXPECT_EQ(delegate_->failed + delegate_->finished, 0);
    EXPECT_FALSE(downloader->delegate());

    // Without a URL there is no connection, and starting does nothing.
    auto empty = std::make_shared<SGdownloader>();
    empty->initWithURL("", 60);
    EXPECT_FALSE(empty->connection());
    empty->startWithDelegate(delegate_);
    platform::RunLoop::main().pump();
    EXPECT_EQ(delegate_->failed + delegate_->finished, 0);
}

TEST_F(DownloaderTest, FileDownloadWritesTheFileAndPostsSuccess) {
    service().route("GET", "resource/%@/download", [](const RecordedRequest& r) {
        return Reply::text("#!AMR\n voice " + r.arguments.at(0), "application/octet-stream");
    });
    observe("77");
    auto path = (home_ / "Documents" / "Downloads" / "77.amr").string();
    {
        auto view = std::make_shared<MVTDownLoadView>();
        view->download(resourceUrl("77"), path, "77");
    }  // the caller lets it go; the download keeps it alive
    ASSERT_TRUE(pumpUntil([&] { return !outcomes_.empty(); }));
    EXPECT_EQ(outcomes_, std::vector<std::string>{"downloadSuccess"});
    EXPECT_EQ(platform::readFile(path).value_or(""), "#!AMR\n voice 77");
    auto request = service().lastRequest("/resource/77/download");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->header("User-Agent"), kDownloaderUserAgent);
    EXPECT_FALSE(request->hasHeader("Authorization"));
}

TEST_F(DownloaderTest, FileDownloadWritesAnyNonEmptyBodyAndFailuresLeaveNoFile) {
    struct Case {
        const char* name;
        Reply reply;
        bool written;
    } cases[] = {
        {"empty body", Reply::text("", "application/octet-stream"), false},
        {"error page", Reply::text("<html>gone</html>", "text/html", 500), false},
        // Chat, files and the personal space fetch other kinds than voices: whatever comes
        // with a success status is the file.
        {"a text", Reply::text("没有找到资源"), true},
        {"a picture", Reply::text(std::string("\x89PNG\r\n\x1a\n\0\0", 10), "image/png"), true},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        service().clearReplies();
        service().setReply("GET", "resource/3/download", c.reply);
        outcomes_.clear();
        tokens_.clear();
        observe("Downfile");
        auto path = home_ / "Downloads" / "file3";
        ASSERT_TRUE(platform::writeFileAtomically(path, "an earlier download"));
        std::make_shared<MVTDownLoadView>()->download(resourceUrl("3"), path.string(), "Downfile");
        EXPECT_FALSE(fs::exists(path)) << "deleted before the download starts";
        ASSERT_TRUE(pumpUntil([&] { return !outcomes_.empty(); }));
        EXPECT_EQ(outcomes_, std::vector<std::string>{c.written ? "downloadSuccess" : "downloadFailed"});
        EXPECT_EQ(platform::readFile(path).value_or("<none>"), c.written ? c.reply.body : "<none>");
        // Nothing but the file itself is left in its folder.
        EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()),
                  c.written ? 1 : 0);
    }

    // No service at all.
    outcomes_.clear();
    int port = service().port();
    service().stop();
    std::make_shared<MVTDownLoadView>()->download("http://127.0.0.1:" + std::to_string(port) + "/resource/1/download",
                                                  (home_ / "x.amr").string(), "Downfile");
    ASSERT_TRUE(pumpUntil([&] { return !outcomes_.empty(); }));
    EXPECT_EQ(outcomes_, std::vector<std::string>{"downloadFailed"});
    EXPECT_FALSE(fs::exists(home_ / "x.amr"));
}

TEST_F(DownloaderTest, FileDownloadLargerThanTheInMemoryLimitArrivesWhole) {
    // Larger than any reply read into memory may be, sent without a length.
    const size_t size = platform::kDefaultMaxResponseBytes + 1024 * 1024 + 7;
    service().route("GET", "resource/%@/download", [size](const RecordedRequest&) {
        Reply reply = Reply::text(payload(size), "video/mp4");
        reply.chunked = true;
        return reply;
    });
    observe("lesson");
    auto path = home_ / "Downloads" / "lesson.mp4";
    std::make_shared<MVTDownLoadView>()->download(resourceUrl("8"), path.string(), "lesson");
    ASSERT_TRUE(pumpUntil([&] { return !outcomes_.empty(); }, 60));
    EXPECT_EQ(outcomes_, std::vector<std::string>{"downloadSuccess"});
    auto bytes = platform::readFile(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), size);
    EXPECT_TRUE(*bytes == payload(size));
}

TEST_F(DownloaderTest, FileRefusedByTheCallerIsFailedAndNotKept) {
    service().setReply("GET", "resource/4/download", Reply::text("not what was asked for"));
    observe("4");
    auto path = home_ / "voices" / "audio4";
    auto view = std::make_shared<MVTDownLoadView>();
    std::string checked;
    view->setAcceptsFile([&checked](const fs::path& file) {
        checked = platform::readFile(file).value_or("");
        return false;
    });
    view->download(resourceUrl("4"), path.string(), "4");
    view.reset();
    ASSERT_TRUE(pumpUntil([&] { return !outcomes_.empty(); }));
    EXPECT_EQ(outcomes_, std::vector<std::string>{"downloadFailed"});
    EXPECT_EQ(checked, "not what was asked for");
    EXPECT_TRUE(fs::is_empty(path.parent_path()));
}

}  // namespace
