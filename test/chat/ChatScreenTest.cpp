// The chat screen: local rows before any reply, the poll and its guard, the read mark,
// sending (temporary rows confirmed, failed, raced by a poll, voice replaced), resend,
// the held message's menu, delete, too-short recordings and voice playback.

#include "ChatFixture.h"

#include "chat/MVTChatViewController.h"
#include "chat/MVTForwardMsgViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "shell/myTableView.h"

#include "platform/AudioRecorder.h"
#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/Pasteboard.h"

#include <sndfile.h>

#include <condition_variable>
#include <mutex>

using Json = nlohmann::json;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

constexpr const char* kConversation = "services/norvo/pm/1001/conversation/2001";
constexpr const char* kSend = "services/norvo/pm/1001/send/2001";

Json message(long long id, const std::string& status, long long time, const std::string& text = "你好") {
    return {{"id", std::to_string(id)}, {"uid", "2001"},       {"status", status}, {"msg", text},
            {"sendTime", std::to_string(time)}, {"isReaded", "1"}, {"name", "李明"}, {"role", "student"}};
}

// A reply the service holds until the test lets it go (or 5 s pass). The route that waits
// on it shares it: a reply let go as the test ends may still be waking up on it when the
// test's own handle is gone, and must not find it destroyed.
class Gate {
public:
    void wait() {
        std::unique_lock lock(mutex_);
        condition_.wait_for(lock, std::chrono::seconds(5), [&] { return open_; });
    }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        condition_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    bool open_ = false;
};

// A second of silence as the recorder writes it (8 kHz mono 16-bit).
void writeWav(const std::string& path, double seconds) {
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<short> samples(static_cast<size_t>(8000 * seconds), 0);
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

class ChatScreenTest : public testing_support::ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        signIn("1001", "teacher", "11,12");
        platform::AudioRecorder::setInput(
            []() -> std::unique_ptr<platform::AudioSampleSource> { return platform::makeToneSource(440.0, 0.5); });
    }
    void TearDown() override {
        platform::AudioRecorder::setInput(nullptr);
        ChatTest::TearDown();
    }
    std::shared_ptr<MVTChatViewController> open(const Json& person = {{"uid", "2001"}, {"name", "李明"}}) {
        chat = std::make_shared<MVTChatViewController>();
        chat->setMyDict(person);
        chat->setMsgType("person");
        chat->setTitle("李明");
        return showRoot(chat);
    }
    static void cache(const Json& messages) { MVTtirraDataBase::insertMSGtable(messages, "1001"); }
    // Answers a route with `reply` once the returned gate opens.
    std::shared_ptr<Gate> holdReply(const char* method, const char* path, const Reply& reply) {
        auto gate = std::make_shared<Gate>();
        service().route(method, path, [gate, reply](const RecordedRequest&) {
            gate->wait();
            return reply;
        });
        return gate;
    }
    Json stored() const { return MVTtirraDataBase::selectMSGListwith("1001", "2001", std::nullopt, ""); }
    void type(const std::string& text) { chat->messageTextView()->setText(text); }
    // The conversation route answers no messages unless a test says otherwise.
    void quietConversation() {
        std::string path(1, '/');
        path.append(kConversation);
        service().setReply("GET", path, Reply::json(Json::array()));
    }
    std::string alertTitle() const {
        auto alert = platform::AlertView::topAlert();
        return alert ? alert->title() : "";
    }

    std::shared_ptr<MVTChatViewController> chat;
};

TEST_F(ChatScreenTest, CachedRowsShowBeforeAnyReplyAndTheNewerFetchStartsFromThePeersNewest) {
    cache(Json::array({message(11, "0", 1767000000), message(12, "1", 1767000100), message(13, "0", 1767000200),
                       message(14, "1", 1767000300)}));
    auto gate = holdReply("GET", kConversation, Reply::json(Json::array()));
    open();
    ASSERT_EQ(chat->dataArray().size(), 4u);
    EXPECT_EQ(chat->tableView()->visibleCells().size(), 4u);
    EXPECT_EQ(chat->minIdNotIncludeSelf(), "13");  // the other side's newest, not own 14
    EXPECT_EQ(chat->maxIdNotIncludeSelf(), "11");
    ASSERT_TRUE(waitFor([&] { return !requestsTo("pm/1001/conversation/2001").empty(); }));
    auto fetch = requestsTo("pm/1001/conversation/2001").front();
    EXPECT_EQ(fetch.queryValue("limit"), "10");
    EXPECT_EQ(fetch.queryValue("minIdNotIncludeSelf"), "13");
    gate->open();
    ASSERT_TRUE(waitFor([&] { return !chat->refreshing(); }));
    EXPECT_EQ(chat->dataArray().size(), 4u);
}

TEST_F(ChatScreenTest, AnEmptyCacheFetchesTheFirstPageWithoutAnId) {
    service().setReply("GET", std::string("/") + kConversation,
                       Reply::json(Json::array({message(21, "0", 1767000000), message(22, "0", 1767000060)})));
    open();
    ASSERT_TRUE(waitFor([&] { return chat->dataArray().size() == 2; }));
    auto fetch = requestsTo("pm/1001/conversation/2001").front();
    EXPECT_FALSE(fetch.queryValue("minIdNotIncludeSelf"));
    EXPECT_FALSE(fetch.queryValue("maxIdNotIncludeSelf"));
    EXPECT_EQ(stored().size(), 2u);
}

TEST_F(ChatScreenTest, BadFetchRepliesLoseNothingCached) {
    const Reply replies[] = {
        Reply::json({{"id", 5}}),
        Reply::text("<html>busy</html>", "text/html"),
        Reply::json(Json::array({"x", 3, Json::object(), {{"msg", "无编号"}}})),
        Reply::text("", "text/plain", 500),
        Reply::text(std::string(2 * 1024 * 1024, '['), "application/json"),
    };
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply.body.substr(0, 20));
        MVTtirraDataBase::deleteMSGListwith("1001", "2001", std::nullopt, "");
        cache(Json::array({message(31, "0", 1767000000)}));
        service().setReply("GET", std::string("/") + kConversation, reply);
        service().clearRequests();
        open();
        ASSERT_TRUE(waitFor([&] { return !requestsTo("pm/1001/conversation/2001").empty() && !chat->refreshing(); }));
        driver->pump();
        EXPECT_EQ(chat->dataArray().size(), 1u);
        EXPECT_EQ(stored().size(), 1u);
    }
}

TEST_F(ChatScreenTest, ThePollAsksEveryTenSecondsAndSkipsATickWhileAFetchRuns) {
    cache(Json::array({message(41, "0", 1767000000)}));
    auto gate = std::make_shared<Gate>();
    auto fetches = std::make_shared<std::atomic<int>>(0);
    service().route("GET", kConversation, [gate, fetches](const RecordedRequest&) {
        if ((*fetches)++ == 1) gate->wait();  // the first tick's fetch hangs
        return Reply::json(Json::array());
    });
    open();
    ASSERT_TRUE(waitFor([&] { return requestsTo("pm/1001/conversation/2001").size() == 1 && !chat->refreshing(); }));
    EXPECT_TRUE(chat->isPolling());
    driver->advance(10.0);
    ASSERT_TRUE(waitFor([&] { return requestsTo("pm/1001/conversation/2001").size() == 2; }));
    EXPECT_TRUE(chat->refreshing());
    driver->advance(10.0);  // overlaps the hanging fetch: nothing sent
    driver->pump();
    EXPECT_EQ(requestsTo("pm/1001/conversation/2001").size(), 2u);
    gate->open();
    ASSERT_TRUE(waitFor([&] { return !chat->refreshing(); }));
    driver->advance(10.0);
    ASSERT_TRUE(waitFor([&] { return requestsTo("pm/1001/conversation/2001").size() == 3; }));
    EXPECT_EQ(requestsTo("pm/1001/conversation/2001").back().queryValue("minIdNotIncludeSelf"), "41");
}

TEST_F(ChatScreenTest, TheReadMarkGoesOutWhileMessagesAreUnreadAndIsConfirmedByTrueSuccess) {
    struct Case {
        const char* what;
        Json unread;
        Reply reply;
        bool asked;
        bool posted;
    };
    const Case cases[] = {
        {"two unread, success", 2, Reply::json({{"success", true}}), true, true},
        {"two unread, refused", "2", Reply::json({{"success", false}}), true, false},
        {"two unread, not JSON", 2, Reply::text("ok"), true, false},
        {"none unread", 0, Reply::json({{"success", true}}), false, false},
        {"no count", nullptr, Reply::json({{"success", true}}), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        quietConversation();
        service().clearRequests();
        service().setReply("GET", "/services/norvo/pm/1001/conversation/2001/readed", c.reply);
        std::vector<std::string> posts;
        auto& center = platform::NotificationCenter::defaultCenter();
        auto a = center.addObserver("chatReaded", [&](const platform::Notification&) { posts.push_back("chatReaded"); });
        auto b = center.addObserver("reloadTimer", [&](const platform::Notification&) { posts.push_back("reloadTimer"); });
        Json person = {{"uid", "2001"}, {"name", "李明"}};
        if (!c.unread.is_null()) person["unreadCount"] = c.unread;
        open(person);
        ASSERT_TRUE(waitFor([&] { return !requestsTo("pm/1001/conversation/2001").empty() && !chat->refreshing(); }));
        if (c.asked) {
            ASSERT_TRUE(waitFor([&] { return !requestsTo("pm/1001/conversation/2001/readed").empty(); }));
        }
        if (c.posted) {
            ASSERT_TRUE(waitFor([&] { return posts.size() == 2; }));
        }
        driver->settle();
        EXPECT_EQ(requestsTo("pm/1001/conversation/2001/readed").size(), c.asked ? 1u : 0u);
        EXPECT_EQ(posts, c.posted ? std::vector<std::string>({"chatReaded", "reloadTimer"}) : std::vector<std::string>());
    }
}

TEST_F(ChatScreenTest, ASentTextIsStoredAsBeingSentThenConfirmedByTheReply) {
    quietConversation();
    auto gate = holdReply("POST", kSend, Reply::json({{"id", 9001}, {"resId", ""}, {"time", "1767000500"}}));
    cache(Json::array({message(51, "0", 1767000000)}));
    open();
    type("  ");  // spaces only go out as they are
    chat->sendButton();
    ASSERT_EQ(chat->dataArray().size(), 2u);
    const Json& temporary = chat->dataArray().back();
    EXPECT_EQ(platform::textOf(temporary, "issuccess"), "2");
    EXPECT_EQ(platform::textOf(temporary, "id"), "1767000001");
    EXPECT_EQ(platform::textOf(temporary, "sendTime"), "1767000001");
    EXPECT_EQ(chat->messageTextView()->text(), "");
    gate->open();
    ASSERT_TRUE(waitFor([&] { return platform::textOf(chat->dataArray().back(), "issuccess") == "1"; }));
    EXPECT_EQ(platform::textOf(chat->dataArray().back(), "id"), "9001");
    EXPECT_EQ(platform::textOf(chat->dataArray().back(), "sendTime"), "1767000500");
    auto send = requestsTo("pm/1001/send/2001");
    ASSERT_EQ(send.size(), 1u);
    ASSERT_EQ(send[0].parts.size(), 1u);
    EXPECT_EQ(send[0].parts[0].name, "msg");
    EXPECT_EQ(send[0].parts[0].bytes, "  ");
    // A confirmed send asks for newer messages.
    ASSERT_TRUE(waitFor([&] { return requestsTo("pm/1001/conversation/2001").size() >= 2; }));
}

TEST_F(ChatScreenTest, AnEmptyTextSendsNothingAndAFirstMessageTakesTheClockAsItsId) {
    quietConversation();
    service().setReply("POST", std::string("/") + kSend, Reply::silent(3));
    open();
    chat->sendButton();
    EXPECT_TRUE(chat->dataArray().empty());
    clock_->set(1767001234.6);
    type("第一条");
    chat->sendButton();
    ASSERT_EQ(chat->dataArray().size(), 1u);
    EXPECT_EQ(platform::textOf(chat->dataArray()[0], "id"), "1767001234");
}

TEST_F(ChatScreenTest, ASendThatFailsLeavesAFailedRowWithItsText) {
    struct Case {
        const char* what;
        Reply reply;
        std::string alert;
    };
    const Case cases[] = {
        {"reply without id", Reply::json({{"resId", "1"}, {"time", "1767000500"}}), ""},
        {"null id", Reply::json({{"id", nullptr}}), ""},
        {"empty id", Reply::json({{"id", ""}}), ""},
        {"array", Reply::json(Json::array({1})), ""},
        {"server error", Reply::text("", "text/plain", 500), "发送失败,请重新发送"},
        {"not JSON", Reply::text("<html>", "text/html"), "发送失败,请重新发送"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform::AlertView::clearVisible();
        MVTtirraDataBase::deleteMSGListwith("1001", "2001", std::nullopt, "");
        quietConversation();
        service().setReply("POST", std::string("/") + kSend, c.reply);
        open();
        type("作业收到了吗");
        chat->sendButton();
        ASSERT_TRUE(waitFor([&] {
            return !chat->dataArray().empty() && platform::textOf(chat->dataArray().back(), "issuccess") == "0";
        }));
        EXPECT_EQ(platform::textOf(chat->dataArray().back(), "msg"), "作业收到了吗");
        EXPECT_EQ(platform::textOf(stored().back(), "issuccess"), "0");
        EXPECT_EQ(alertTitle(), c.alert);
    }
}

TEST_F(ChatScreenTest, WithoutNetworkTheRowFailsAtOnceAndTheBannerShows) {
    quietConversation();
    open();
    platform::Reachability::setOverride(platform::ReachabilityState::offline());
    type("离线");
    chat->sendButton();
    ASSERT_EQ(chat->dataArray().size(), 1u);
    EXPECT_EQ(platform::textOf(chat->dataArray()[0], "issuccess"), "0");
    EXPECT_EQ(chat->messageTextView()->text(), "");
    EXPECT_EQ(bannerText(), "没有网络,请检查网络连接");
    EXPECT_TRUE(requestsTo("pm/1001/send/2001").empty());
}

TEST_F(ChatScreenTest, AFailedMessageIsSentAgainFromItsMarkAsANewRow) {
    quietConversation();
    service().setReply("POST", std::string("/") + kSend, Reply::json({{"msg", "no id"}}));
    open();
    type("再发一次");
    chat->sendButton();
    ASSERT_TRUE(waitFor([&] { return platform::textOf(chat->dataArray().back(), "issuccess") == "0"; }));
    const std::string oldNid = platform::textOf(chat->dataArray().back(), "nid");
    service().setReply("POST", std::string("/") + kSend, Reply::json({{"id", 9100}, {"time", "1767009000"}}));

    platform::Button mark;
    mark.setTag(MVTChatCell::kFailedMarkTagBase + 0);
    chat->reSendMessage(mark);
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), MVTChatViewController::kResendAlertTag);
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "重发");
    alert->clickButtonAtIndex(1);
    ASSERT_TRUE(waitFor([&] { return platform::textOf(chat->dataArray().back(), "issuccess") == "1"; }));
    ASSERT_EQ(stored().size(), 1u);
    EXPECT_NE(platform::textOf(stored()[0], "nid"), oldNid);
    EXPECT_EQ(platform::textOf(stored()[0], "id"), "9100");
    EXPECT_EQ(requestsTo("pm/1001/send/2001").back().formValue("msg"), std::nullopt);  // multipart
    EXPECT_EQ(requestsTo("pm/1001/send/2001").back().parts.back().bytes, "再发一次");

    // A confirmed message is not sent again.
    chat->reSendMessage(mark);
    platform::AlertView::topAlert()->clickButtonAtIndex(1);
    driver->pump();
    EXPECT_EQ(requestsTo("pm/1001/send/2001").size(), 2u);
}

TEST_F(ChatScreenTest, AResentPictureWhoseStoredCopyIsGoneStaysFailed) {
    quietConversation();
    Json failed = message(1767000100, "1", 1767000100, "");
    failed["issuccess"] = "0";
    failed["attachments"] = Json::array({{{"id", "20260101"}, {"resModuleId", "20260101"}, {"type", "image"}}});
    cache(Json::array({failed}));
    open();
    platform::Button mark;
    mark.setTag(MVTChatCell::kFailedMarkTagBase + 0);
    chat->reSendMessage(mark);
    platform::AlertView::topAlert()->clickButtonAtIndex(1);
    driver->pump();
    EXPECT_TRUE(requestsTo("pm/1001/send/2001").empty());
    ASSERT_EQ(stored().size(), 1u);
    EXPECT_EQ(platform::textOf(stored()[0], "issuccess"), "0");
}

TEST_F(ChatScreenTest, AMessageAPollStoredFirstDropsTheTemporaryRow) {
    quietConversation();
    auto gate = holdReply("POST", kSend, Reply::json({{"id", 9200}, {"time", "1767000700"}}));
    cache(Json::array({message(61, "0", 1767000000)}));
    open();
    type("抢先");
    chat->sendButton();
    ASSERT_EQ(stored().size(), 2u);
    // The poll brings the confirmed message before the send's reply comes.
    Json polled = message(9200, "1", 1767000700, "抢先");
    polled["uid"] = "2001";
    cache(Json::array({polled}));
    gate->open();
    ASSERT_TRUE(waitFor([&] { return stored().size() == 2 && platform::textOf(stored().back(), "id") == "9200"; }));
    for (const auto& row : stored()) EXPECT_NE(platform::textOf(row, "issuccess"), "2");
}

class ChatVoiceTest : public ChatScreenTest {
protected:
    // Voice mode, then a finger on the talk button for `seconds`; waits for the conversion.
    void record(double seconds) {
        if (!chat->vedioStart()) chat->vedioClick();
        driver->pump();
        const int finger = driver->beginTouch(driver->centerOf(*chat->vedioImageView()));
        driver->advance(seconds);
        driver->endTouch(finger);
        ASSERT_TRUE(pumpUntil([&] { return chat->audioRecord() && chat->audioRecord()->isWavToAmrCompleted(); }));
        platform::BackgroundQueue::shared().waitIdle();
        driver->pump();
    }
};

TEST_F(ChatVoiceTest, ARecordingUnderHalfASecondIsRefused) {
    quietConversation();
    open();
    record(0.4);
    EXPECT_EQ(alertTitle(), "提示");
    EXPECT_EQ(platform::AlertView::topAlert()->message(), "录音时间过短,请重新录制");
    EXPECT_TRUE(chat->dataArray().empty());
    EXPECT_TRUE(requestsTo("pm/1001/send/2001").empty());
    EXPECT_EQ(chat->messageType(), MVTChatViewController::kVoiceMessage);
}

TEST_F(ChatVoiceTest, AConfirmedVoiceTakesTheServicesResourceIdUnlessTheInputLeftVoiceMode) {
    for (bool leaveVoiceMode : {false, true}) {
        SCOPED_TRACE(leaveVoiceMode);
        MVTtirraDataBase::deleteMSGListwith("1001", "2001", std::nullopt, "");
        quietConversation();
        auto gate =
            holdReply("POST", kSend, Reply::json({{"id", 9300}, {"resId", "880077"}, {"time", "1767000900"}}));
        open();
        record(1.2);
        ASSERT_EQ(chat->dataArray().size(), 1u);
        const std::string recording = chat->vedioPath();
        EXPECT_EQ(platform::textOf(chat->dataArray()[0]["attachments"][0], "resModuleId"), recording);
        if (leaveVoiceMode) chat->setMessageType(MVTChatViewController::kTextMessage);
        gate->open();
        ASSERT_TRUE(waitFor([&] { return platform::textOf(stored().back(), "issuccess") == "1"; }));
        const Json attachment = stored().back()["attachments"][0];
        EXPECT_EQ(platform::textOf(attachment, "resModuleId"), leaveVoiceMode ? recording : "880077");
        EXPECT_EQ(platform::textOf(attachment, "duration"), "1");
        EXPECT_EQ(chat->vedioPath(), "");

        auto send = requestsTo("pm/1001/send/2001").back();
        ASSERT_EQ(send.parts.size(), 2u);
        EXPECT_EQ(send.parts[0].name, "audio");
        EXPECT_EQ(send.parts[0].fileName,
                  platform::percentEscape("来自" + MVTPublicMethod::currentDevicemodel() + "的音频.amr"));
        EXPECT_EQ(send.parts[0].contentType, "application/octet-stream");
        EXPECT_FALSE(send.parts[0].bytes.empty());
        EXPECT_EQ(send.parts[1].name, "duration");
        EXPECT_EQ(send.parts[1].bytes, "1");
        service().clearRequests();
    }
}

TEST_F(ChatVoiceTest, ASecondTapOnThePlayingMessageStopsIt) {
    quietConversation();
    open();
    writeWav(MVTPublicMethod::getPathByFileName("880001", "wav"), 2.0);
    writeWav(MVTPublicMethod::getPathByFileName("880002", "wav"), 2.0);
    auto first = std::make_shared<platform::Button>();
    auto second = std::make_shared<platform::Button>();
    chat->playRecord(std::string("880001"), *first);
    EXPECT_TRUE(chat->isPlay());
    EXPECT_EQ(chat->currentPlayBtn(), first);
    chat->playRecord(std::nullopt, *first);
    EXPECT_FALSE(chat->isPlay());
    EXPECT_EQ(chat->currentPlayBtn(), nullptr);
    // Another message while one plays: the first stops, the second plays.
    chat->playRecord(std::string("880001"), *first);
    first->setSelected(true);
    chat->playRecord(std::string("880002"), *second);
    EXPECT_FALSE(first->isSelected());
    EXPECT_TRUE(chat->isPlay());
    EXPECT_EQ(chat->currentPlayBtn(), second);
}

TEST_F(ChatScreenTest, HeldMessagesOfferWhatTheirKindAllows) {
    quietConversation();
    Json text = message(71, "0", 1767000000, "复制我");
    Json picture = message(72, "0", 1767000200, "");
    picture["attachments"] = Json::array({{{"id", "77001"}, {"type", "image"}, {"resModuleId", "77001"}}});
    Json voice = message(73, "0", 1767000400, "");
    voice["attachments"] = Json::array({{{"id", "880001"}, {"type", "audio"}, {"resModuleId", "880001"}}});
    Json emptyList = message(74, "0", 1767000600, "");
    emptyList["attachments"] = Json::array();
    open();
    struct Case {
        const Json& message;
        std::vector<std::string> items;
    };
    const Case cases[] = {{text, {"转发", "删除", "复制"}},
                          {picture, {"转发", "删除"}},
                          {voice, {"删除"}},
                          {emptyList, {"删除"}}};
    for (const auto& c : cases) {
        chat->longPressGestureWith(platform::textOf(c.message, "id"), c.message, 0);
        std::vector<std::string> titles;
        for (const auto& item : platform::MenuController::shared().menuItems()) titles.push_back(item.title);
        EXPECT_EQ(titles, c.items) << c.message.dump();
        EXPECT_TRUE(platform::MenuController::shared().isMenuVisible());
    }
    chat->longPressGestureWith("71", text, 0);
    platform::MenuController::shared().performItem(2);
    EXPECT_EQ(platform::Pasteboard::generalPasteboard().string(), "复制我");
}

TEST_F(ChatScreenTest, OnlyAConfirmedMessageIsForwarded) {
    quietConversation();
    open();
    Json sending = message(1767000100, "1", 1767000100, "还在发");
    sending["issuccess"] = "2";
    chat->longPressGestureWith("1767000100", sending, 0);
    chat->forwardMsg();
    driver->pump();
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    Json confirmed = message(81, "1", 1767000000, "转给别人");
    confirmed["issuccess"] = "1";
    chat->setForwardRecetArray(Json::array({{{"id", 1}, {"type", "person"}, {"uid", 2002}, {"name", "张华"}}}));
    chat->longPressGestureWith("81", confirmed, 0);
    chat->forwardMsg();
    driver->settle();
    ASSERT_EQ(navigation->viewControllers().size(), 2u);
    auto picker = std::dynamic_pointer_cast<MVTForwardMsgViewController>(navigation->viewControllers().back());
    ASSERT_TRUE(picker);
    EXPECT_EQ(platform::textOf(picker->forwardDictionary(), "msg"), "转给别人");
    EXPECT_EQ(picker->recelentArray().size(), 1u);
}

TEST_F(ChatScreenTest, DeleteReadsExactlyTrue) {
    struct Case {
        const char* what;
        Reply reply;
        bool deleted;
    };
    const Case cases[] = {
        {"true", Reply::text("true"), true},
        {"false", Reply::text("false"), false},
        {"TRUE", Reply::text("TRUE"), false},
        {"JSON true with a line end", Reply::text("true\n"), false},
        {"error", Reply::text("true", "text/plain", 500), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform::AlertView::clearVisible();
        MVTtirraDataBase::deleteMSGListwith("1001", "2001", std::nullopt, "");
        cache(Json::array({message(91, "0", 1767000000), message(92, "0", 1767000100)}));
        quietConversation();
        service().setReply("GET", "/services/norvo/pm/1001/remove/91", c.reply);
        open();
        Json held = chat->dataArray()[0];
        chat->longPressGestureWith("91", held, 0);
        chat->deleteMsg();
        ASSERT_TRUE(waitFor([&] { return !requestsTo("pm/1001/remove/91").empty(); }));
        // The reply has been handled once the row went or the alert came.
        ASSERT_TRUE(waitFor([&] { return c.deleted ? chat->dataArray().size() == 1 : !alertTitle().empty(); }));
        driver->settle();
        EXPECT_EQ(chat->dataArray().size(), c.deleted ? 1u : 2u);
        EXPECT_EQ(stored().size(), c.deleted ? 1u : 2u);
        if (c.deleted) {
            EXPECT_EQ(platform::textOf(chat->dataArray()[0], "id"), "92");
        }
        EXPECT_EQ(alertTitle(), c.deleted ? "" : "删除失败,请重新删除");
        service().clearRequests();
    }
}

TEST_F(ChatScreenTest, AFailedMessageIsDeletedHereOnly) {
    quietConversation();
    Json failed = message(1767000100, "1", 1767000100, "没发出去");
    failed["issuccess"] = "0";
    cache(Json::array({message(95, "0", 1767000000), failed}));
    open();
    Json held = chat->dataArray()[1];
    chat->longPressGestureWith(platform::textOf(held, "id"), held, 1);
    chat->deleteMsg();
    driver->pump();
    EXPECT_TRUE(requestsTo("pm/1001/remove/1767000100").empty());
    ASSERT_EQ(chat->dataArray().size(), 1u);
    EXPECT_EQ(stored().size(), 1u);
}

TEST_F(ChatScreenTest, LeavingStopsThePollAndMarksReceivedRowsRead) {
    Json unread = message(101, "0", 1767000000);
    unread["isReaded"] = "1";
    cache(Json::array({unread}));
    quietConversation();
    open();
    EXPECT_TRUE(chat->isPolling());
    chat->viewWillDisappear(false);
    EXPECT_FALSE(chat->isPolling());
    EXPECT_FALSE(chat->refreshing());
    EXPECT_EQ(platform::textOf(stored()[0], "isReaded"), "0");
    chat->viewWillAppear(false);
    EXPECT_TRUE(chat->isPolling());
}

}  // namespace
