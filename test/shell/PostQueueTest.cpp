#include "shell/DelegateFixture.h"

#include "core/MVTPublicMethod.h"
#include "feed/MVTHomeViewController.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"

#include "chat/MVTInteractionViewController.h"
#include "contacts/MVTContactViewController.h"
#include "me/MVTAppsViewController.h"
#include "me/MVTUserSettingViewController.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Reachability.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

using Json = nlohmann::json;

namespace {

constexpr const char* kPublish = "/services/norvo/postMessage/essay/12/publish";

// A mono 16-bit WAV of 8000 samples a second lasting `seconds`.
std::string wavBytes(int seconds) {
    const uint32_t data = uint32_t(seconds) * 8000 * 2;
    std::string out;
    auto put32 = [&out](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xff)); };
    auto put16 = [&out](uint16_t v) { out.push_back(char(v & 0xff)); out.push_back(char(v >> 8)); };
    out += "RIFF";
    put32(36 + data);
    out += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(8000);
    put32(16000);
    put16(2);
    put16(16);
    out += "data";
    put32(data);
    out.append(data, '\0');
    return out;
}

class PostQueueTest : public testing_support::DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        auto& account = MVTAccount::sharedInstance();
        account.setUserId("12");
        account.setRole("teacher");
        // The delegate outlives a test: start with an idle queue.
        app->setUpDynamicArr(Json::array());
        app->oneDynamicDidUpSucOrErr("0");
        window_ = std::make_shared<platform::Window>();
        app->setWindow(window_);
        home_ = std::make_shared<MVTHomeViewController>();
        tabs_ = std::make_shared<MyTabBarController>();
        tabs_->addMyitems();
        tabs_->setViewControllers({myNavigationController::withRoot(home_),
                                   myNavigationController::withRoot(std::make_shared<MVTInteractionViewController>()),
                                   myNavigationController::withRoot(std::make_shared<MVTAppsViewController>()),
                                   myNavigationController::withRoot(std::make_shared<MVTUserSettingViewController>()),
                                   myNavigationController::withRoot(std::make_shared<MVTContactViewController>())});
        window_->setRootViewController(tabs_);
    }
    void TearDown() override {
        gate_->close();
        platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
        app->setUpDynamicArr(Json::array());
        app->oneDynamicDidUpSucOrErr("0");
        if (tabs_) tabs_->clearNotif();
        DelegateTest::TearDown();
    }

    static Json post(const std::string& dynamicId, const std::string& content = "",
                     const Json& images = Json::array(), const std::string& voice = "", const std::string& bg = "") {
        return {{"content", content}, {"relative", ""},      {"permission", "2"}, {"imagePath", images},
                {"vedioPath", voice}, {"vedioBg", bg},       {"dynamicId", dynamicId}};
    }
    // A picture file in the documents folder.
    static std::string picture(const std::string& name, const std::string& bytes) {
        auto path = platform::Paths::documentsDirectory() / name;
        platform::writeFileAtomically(path, bytes);
        return path.string();
    }
    // The recording "<name>.wav" and its converted "<name>wavToAmr.amr" in the download folder.
    static void voice(const std::string& name, int seconds) {
        platform::writeFileAtomically(MVTPublicMethod::getPathByFileName(name, "wav"), wavBytes(seconds));
        platform::writeFileAtomically(MVTPublicMethod::getPathByFileName(name + "wavToAmr", "amr"), "#!AMR\nvoice");
    }
    std::vector<sample_service::RecordedRequest> publishes() {
        std::vector<sample_service::RecordedRequest> found;
        for (auto& request : service().requests())
            if (request.path == kPublish) found.push_back(request);
        return found;
    }
    // The dynamic ids of the user's unsent posts.
    static std::set<std::string> unsentIds() {
        std::set<std::string> ids;
        for (const auto& row : MVTtirraDataBase::selectSaveDynamicData("12")) ids.insert(row.value("dynamicId", ""));
        return ids;
    }
    bool waitForEnds(size_t count) {
        return pumpUntil([&] { return home_->upDynamicResults().size() >= count; });
    }
    static std::string fileName(const std::string& plain) { return platform::percentEscape(plain); }

    // Lets the parts of a trickled reply go one at a time, when the test opens it. The
    // service waits on its own thread, with a bound, so a failing test cannot hold it.
    class Gate {
    public:
        void open() {
            std::lock_guard lock(mutex_);
            ++opened_;
            changed_.notify_all();
        }
        void close() {
            std::lock_guard lock(mutex_);
            opened_ = 1000;
            changed_.notify_all();
        }
        void pass(int part) {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::seconds(20), [&] { return opened_ >= part; });
        }

    private:
        std::mutex mutex_;
        std::condition_variable changed_;
        int opened_ = 0;
    };
    // `body` one byte at a time: the first byte at once, each further byte when the gate
    // lets it go.
    sample_service::Reply trickledReply(const std::string& body) {
        auto reply = sample_service::Reply::trickle(body, static_cast<int>(body.size()), 0);
        reply.pace = [gate = gate_](int part) { gate->pass(part); };
        return reply;
    }
    std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();

    std::shared_ptr<platform::Window> window_;
    std::shared_ptr<MVTHomeViewController> home_;
    std::shared_ptr<MyTabBarController> tabs_;
};

TEST_F(PostQueueTest, BodyPartsComeInOrderWithTheirNamesAndFileNames) {
    const std::string model = MVTPublicMethod::currentDevicemodel();
    struct Part {
        std::string name, fileName, bytes;
    };
    struct Case {
        const char* what;
        Json post;
        std::vector<Part> parts;
    };
    const std::string one = picture("one.png", "PNG-1");
    const std::string two = picture("two.png", "PNG-2");
    voice("rec", 2);
    std::vector<Case> cases = {
        {"empty text, no pictures: only the permission", post("1"), {{"permission", "", "2"}}},
        {"text and mentions",
         [] {
             Json p = post("2", "你好 world");
             p["relative"] = "@王老师 :1001";
             return p;
         }(),
         {{"content", "", "你好 world"}, {"relative", "", "@王老师 :1001"}, {"permission", "", "2"}}},
        {"one picture has no number", post("3", "", Json::array({one})),
         {{"permission", "", "2"}, {"image", fileName("来自" + model + "的图片.png"), "PNG-1"}}},
        {"two pictures are numbered from 1", post("4", "", Json::array({one, two})),
         {{"permission", "", "2"},
          {"image", fileName("来自" + model + "的图片1.png"), "PNG-1"},
          {"image", fileName("来自" + model + "的图片2.png"), "PNG-2"}}},
        {"voice without music sends no bg", post("5", "", Json::array(), "rec"),
         {{"permission", "", "2"}, {"amr", fileName("来自" + model + "的音频.amr"), "#!AMR\nvoice"}, {"duration", "", "2"}}},
        {"voice with music", post("6", "", Json::array(), "rec", "3"),
         {{"permission", "", "2"},
          {"amr", fileName("来自" + model + "的音频.amr"), "#!AMR\nvoice"},
          {"duration", "", "2"},
          {"bg", "", "3"}}},
        {"music without a voice sends no bg", post("7", "t", Json::array(), "", "3"),
         {{"content", "", "t"}, {"permission", "", "2"}}},
    };
    // Every case fails on purpose, so its files stay for the next one.
    service().setReply("POST", kPublish, sample_service::Reply::text("0"));
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        service().clearRequests();
        app->getOneDynamicWith(cases[i].post);
        ASSERT_TRUE(waitForEnds(i + 1));
        auto sent = publishes();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].method, "POST");
        EXPECT_TRUE(sent[0].hasServiceCredentials());
        EXPECT_TRUE(sent[0].rawQuery.empty());
        ASSERT_EQ(sent[0].parts.size(), cases[i].parts.size());
        for (size_t p = 0; p < cases[i].parts.size(); ++p) {
            EXPECT_EQ(sent[0].parts[p].name, cases[i].parts[p].name) << p;
            EXPECT_EQ(sent[0].parts[p].fileName, cases[i].parts[p].fileName) << p;
            EXPECT_EQ(sent[0].parts[p].bytes, cases[i].parts[p].bytes) << p;
            if (!cases[i].parts[p].fileName.empty()) {
                EXPECT_EQ(sent[0].parts[p].contentType, "application/octet-stream");
            }
        }
    }
}

TEST_F(PostQueueTest, PostsGoOneAtATimeInOrderASecondApart) {
    app->getOneDynamicWith(post("1", "a"));
    app->getOneDynamicWith(post("2", "b"));
    app->getOneDynamicWith(post("3", "c"));
    EXPECT_EQ(app->upDynamicArr().size(), 3u);
    for (size_t n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(waitForEnds(n));
        EXPECT_EQ(publishes().size(), n);
        EXPECT_EQ(home_->addNewUpDynamicCount(), int(n));
        EXPECT_EQ(app->upDynamicArr().size(), 3 - n);
        EXPECT_FALSE(app->isSendingPost());
        if (n == 3) break;
        // The next one starts a second after the previous ended, not before.
        advance(0.9);
        platform::RunLoop::main().pump();
        EXPECT_EQ(home_->addNewUpDynamicCount(), int(n));
        advance(0.1);
        EXPECT_EQ(home_->addNewUpDynamicCount(), int(n + 1));
        // Started: still on its way, or (a fast reply handled in the same turn) already sent.
        EXPECT_TRUE(app->isSendingPost() || publishes().size() == n + 1);
    }
    auto sent = publishes();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].parts[0].bytes, "a");
    EXPECT_EQ(sent[1].parts[0].bytes, "b");
    EXPECT_EQ(sent[2].parts[0].bytes, "c");
    EXPECT_EQ(home_->upDynamicResults(), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(unsentIds().empty());
    advance(5);
    EXPECT_EQ(publishes().size(), 3u);
}

TEST_F(PostQueueTest, ReplyDecidesBetweenRemovingTheFilesAndKeepingAnUnsentPost) {
    struct Case {
        const char* what;
        sample_service::Reply reply;
        bool sent;
    };
    const std::vector<Case> cases = {
        {"a post number", sample_service::Reply::text("123"), true},
        {"zero", sample_service::Reply::text("0"), false},
        {"not a number", sample_service::Reply::text("ok"), false},
        {"a service error", sample_service::Reply::text("1", "text/plain", 500), false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const std::string id = std::to_string(100 + i);
        const std::string pic = picture("p" + id + ".png", "PIC");
        voice("v" + id, 1);
        service().setReply("POST", kPublish, cases[i].reply);
        app->getOneDynamicWith(post(id, "x", Json::array({pic}), "v" + id));
        ASSERT_TRUE(waitForEnds(i + 1));
        EXPECT_EQ(home_->upDynamicResults().back(), cases[i].sent);
        EXPECT_EQ(unsentIds().count(id), cases[i].sent ? 0u : 1u);
        EXPECT_EQ(MVTPublicMethod::fileExistsAtPath(pic), !cases[i].sent);
        EXPECT_EQ(MVTPublicMethod::fileExistsAtPath(MVTPublicMethod::getPathByFileName("v" + id, "wav")), !cases[i].sent);
        EXPECT_EQ(MVTPublicMethod::fileExistsAtPath(MVTPublicMethod::getPathByFileName("v" + id + "wavToAmr", "amr")),
                  !cases[i].sent);
        EXPECT_TRUE(app->upDynamicArr().empty());
    }
    // The stored row is the whole post.
    auto rows = MVTtirraDataBase::selectSaveDynamicData("12");
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].value("content", ""), "x");
    EXPECT_EQ(rows[0]["imagePath"].size(), 1u);
}

TEST_F(PostQueueTest, SentPostRemovesItsEarlierUnsentRow) {
    MVTtirraDataBase::insertSaveDynamicWithDic(post("500", "again"), "500", "12");
    ASSERT_EQ(unsentIds().count("500"), 1u);
    app->getOneDynamicWith(post("500", "again"));
    ASSERT_TRUE(waitForEnds(1));
    EXPECT_TRUE(home_->upDynamicResults()[0]);
    EXPECT_TRUE(unsentIds().empty());
}

TEST_F(PostQueueTest, PostHandedOverOfflineIsKeptAsUnsentWithTheNoticeOfAFailedSend) {
    const std::string pic = picture("off.png", "PIC");
    platform::Reachability::setOverride(platform::ReachabilityState::offline());
    app->getOneDynamicWith(post("700", "offline", Json::array({pic})));
    // The home feed shows its row for the post and marks it failed, as for any failed send.
    EXPECT_EQ(home_->addNewUpDynamicCount(), 1);
    EXPECT_EQ(home_->upDynamicResults(), std::vector<bool>{false});
    EXPECT_TRUE(app->upDynamicArr().empty());
    EXPECT_EQ(unsentIds(), std::set<std::string>{"700"});
    EXPECT_TRUE(MVTPublicMethod::fileExistsAtPath(pic));
    advance(2);
    EXPECT_TRUE(publishes().empty());
}

TEST_F(PostQueueTest, QueueGoesOnWithoutTheTabBar) {
    window_->setRootViewController(nullptr);
    app->getOneDynamicWith(post("1", "a"));
    app->getOneDynamicWith(post("2", "b"));
    ASSERT_TRUE(pumpUntil([&] { return publishes().size() == 1 && !app->isSendingPost(); }));
    advance(1.0);
    ASSERT_TRUE(pumpUntil([&] { return publishes().size() == 2 && app->upDynamicArr().empty(); }));
    EXPECT_EQ(home_->addNewUpDynamicCount(), 0);
}

TEST_F(PostQueueTest, NetworkLostMidQueueLosesNoPost) {
    for (int i = 1; i <= 4; ++i) app->getOneDynamicWith(post(std::to_string(i), "post " + std::to_string(i)));
    ASSERT_TRUE(waitForEnds(1));
    // The network goes away: the waiting posts end at once instead of stalling the queue.
    platform::Reachability::setOverride(platform::ReachabilityState::offline());
    advance(1.0);
    EXPECT_EQ(home_->upDynamicResults().size(), 2u);
    advance(1.0);
    advance(1.0);
    EXPECT_EQ(home_->upDynamicResults(), (std::vector<bool>{true, false, false, false}));
    EXPECT_TRUE(app->upDynamicArr().empty());

    std::set<std::string> sent;
    for (auto& request : publishes()) sent.insert(request.parts[0].bytes);
    EXPECT_EQ(sent, std::set<std::string>{"post 1"});
    EXPECT_EQ(unsentIds(), (std::set<std::string>{"2", "3", "4"}));
}

TEST_F(PostQueueTest, SendThatKeepsMovingPastTheTimeoutIsSent) {
    service().setReply("POST", kPublish, trickledReply("1234"));
    const std::string pic = picture("slow.png", std::string(200000, 'p'));
    app->getOneDynamicWith(post("1", "slow", Json::array({pic})));
    auto operation = app->postOperation();
    ASSERT_TRUE(operation);
    // The reply comes in four parts, 20 s apart on the app clock: 60 s in all, never 30 s
    // without data.
    for (int part = 1; part <= 3; ++part) {
        SCOPED_TRACE(part);
        ASSERT_TRUE(pumpUntil([&] { return operation->bytesReceived() >= part; }));
        advance(20);
        EXPECT_EQ(app->postOperation(), operation);
        gate_->open();
    }
    ASSERT_TRUE(waitForEnds(1));
    EXPECT_EQ(home_->upDynamicResults(), std::vector<bool>{true});
    EXPECT_TRUE(unsentIds().empty());
    EXPECT_FALSE(MVTPublicMethod::fileExistsAtPath(pic));
}

TEST_F(PostQueueTest, LinkThatStallsEndsThePostAsUnsentAndTheQueueGoesOn) {
    // The reply's first two parts come, then the link stalls, as when the network drops
    // mid-way.
    service().setReply("POST", kPublish, trickledReply("1234"));
    app->getOneDynamicWith(post("1", "lost"));
    app->getOneDynamicWith(post("2", "later"));
    auto operation = app->postOperation();
    ASSERT_TRUE(operation);
    ASSERT_TRUE(pumpUntil([&] { return operation->bytesReceived() >= 1; }));
    advance(20);
    gate_->open();
    ASSERT_TRUE(pumpUntil([&] { return operation->bytesReceived() >= 2; }));
    // 30 s from when data last moved, not from the start of the send.
    advance(29);
    EXPECT_TRUE(home_->upDynamicResults().empty());
    EXPECT_TRUE(app->isSendingPost());
    advance(1);
    ASSERT_EQ(home_->upDynamicResults(), std::vector<bool>{false});
    EXPECT_EQ(unsentIds(), std::set<std::string>{"1"});

    // The service answers again: the next post goes through.
    service().setReply("POST", kPublish, sample_service::Reply::text("1"));
    advance(1.0);
    ASSERT_TRUE(waitForEnds(2));
    EXPECT_EQ(home_->upDynamicResults(), (std::vector<bool>{false, true}));
    EXPECT_EQ(unsentIds(), std::set<std::string>{"1"});
    EXPECT_TRUE(app->upDynamicArr().empty());
}

}  // namespace
