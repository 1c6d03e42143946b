#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "support/ServiceFixture.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using namespace platform;
using nlohmann::json;
using sample_service::Reply;

namespace {

json posts(int count) {
    json list = json::array();
    for (int i = 0; i < count; ++i)
        list.push_back({{"id", std::to_string(1000 + i)}, {"uid", "12"}, {"name", "王老师"},
                        {"content", "今天的作业是第" + std::to_string(i) + "课"}, {"dateline", 1767600000 + i}});
    return list;
}

// What one operation reported, and on which thread.
struct Outcome {
    int successes = 0;
    int failures = 0;
    bool onMain = true;
    std::string body;
    json value;
    std::optional<HttpError> error;
    bool done() const { return successes + failures > 0; }
};

class HttpOperationTest : public testing_support::ServiceTest {
protected:
    UrlRequest get(const std::string& path, json params = nullptr) {
        HttpClient client(baseUrl());
        client.setAuthorizationHeaderWithUsername("qwpan", "bragtolsen");
        return client.requestWithMethod("GET", path, params);
    }

    std::shared_ptr<HttpJsonRequestOperation> runJson(UrlRequest request, Outcome& outcome) {
        auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
            std::move(request),
            [&outcome](HttpJsonRequestOperation&, const json& value) {
                ++outcome.successes;
                outcome.onMain = outcome.onMain && isMainThread();
                outcome.value = value;
            },
            [&outcome](HttpRequestOperation&, const HttpError& error) {
                ++outcome.failures;
                outcome.onMain = outcome.onMain && isMainThread();
                outcome.error = error;
            });
        operation->start();
        return operation;
    }

    std::shared_ptr<HttpRequestOperation> runPlain(UrlRequest request, Outcome& outcome, size_t limit = 0) {
        auto operation = HttpRequestOperation::operationWithRequest(
            std::move(request),
            [&outcome](HttpRequestOperation&, const std::string& body) {
                ++outcome.successes;
                outcome.onMain = outcome.onMain && isMainThread();
                outcome.body = body;
            },
            [&outcome](HttpRequestOperation&, const HttpError& error) {
                ++outcome.failures;
                outcome.onMain = outcome.onMain && isMainThread();
                outcome.error = error;
            });
        if (limit) operation->setMaxResponseBytes(limit);
        operation->start();
        return operation;
    }
};

TEST_F(HttpOperationTest, JsonGetDeliversTheListOnTheMainThreadWithStatusAndHeaders) {
    Reply reply = Reply::json(posts(15));
    reply.headers.emplace_back("X-Total", "15");
    service().setReply("GET", "services/norvo/feed/12/list/1", reply);

    Outcome outcome;
    auto operation = runJson(get(serviceUrl("feed/12/list/1"), {{"limit", 15}}), outcome);
    ASSERT_TRUE(pumpUntil([&] { return outcome.done(); }));

    EXPECT_EQ(outcome.successes, 1);
    EXPECT_TRUE(outcome.onMain);
    ASSERT_TRUE(outcome.value.is_array());
    EXPECT_EQ(outcome.value.size(), 15u);
    EXPECT_EQ(outcome.value[3]["content"], "今天的作业是第3课");
    EXPECT_EQ(operation->statusCode(), 200);
    EXPECT_EQ(operation->responseHeader("x-total"), "15");
    EXPECT_EQ(operation->responseJSON(), outcome.value);
    EXPECT_TRUE(operation->isFinished());

    auto request = service().lastRequest("services/norvo/feed/12/list/1");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->basicUser, "qwpan");
    EXPECT_EQ(request->basicPassword, "bragtolsen");
    EXPECT_EQ(request->queryValue("limit"), "15");
}

TEST_F(HttpOperationTest, JsonOperationAcceptsOnlyItsFourContentTypesAndParsableBodies) {
    struct Case {
        std::string contentType, body;
        bool succeeds;
        HttpError::Kind kind;
    } cases[] = {
        {"application/json", "{\"success\":1}", true, {}},
        {"text/json; charset=utf-8", "[1]", true, {}},
        {"text/javascript", "{\"a\":\"b\"}", true, {}},
        {"Text/HTML; charset=UTF-8", "{\"a\":2}", true, {}},
        {"text/plain", "{\"a\":2}", false, HttpError::Kind::BadContentType},
        {"application/xml", "<a/>", false, HttpError::Kind::BadContentType},
        {"application/json", "true\n<html>", false, HttpError::Kind::BadJson},
        {"text/html", "<html><body>Server error</body></html>", false, HttpError::Kind::BadJson},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contentType + " " + c.body);
        std::string path = "case/" + std::to_string(index++);
        service().setReply("GET", path, Reply::text(c.body, c.contentType));
        Outcome outcome;
        runJson(get(baseUrl() + path), outcome);
        ASSERT_TRUE(pumpUntil([&] { return outcome.done(); }));
        EXPECT_EQ(outcome.successes, c.succeeds ? 1 : 0);
        EXPECT_TRUE(outcome.onMain);
        if (!c.succeeds) {
            ASSERT_TRUE(outcome.error);
            EXPECT_EQ(outcome.error->kind, c.kind);
            EXPECT_EQ(outcome.error->statusCode, 200);
        }
    }
}

TEST_F(HttpOperationTest, StatusOfFourHundredOrMoreIsAFailureCarryingTheStatus) {
    for (int status : {400, 404, 500, 503}) {
        std::string path = "status/" + std::to_string(status);
        service().setReply("GET", path, Reply::json({{"error", "x"}}, status));
        Outcome json, plain;
        runJson(get(baseUrl() + path), json);
        runPlain(get(baseUrl() + path), plain);
        ASSERT_TRUE(pumpUntil([&] { return json.done() && plain.done(); }));
        for (const Outcome* outcome : {&json, &plain}) {
            EXPECT_EQ(outcome->successes, 0);
            ASSERT_TRUE(outcome->error);
            EXPECT_EQ(outcome->error->kind, HttpError::Kind::HttpStatus);
            EXPECT_EQ(outcome->error->statusCode, status);
        }
    }
}

TEST_F(HttpOperationTest, ServiceRoutesWithoutCredentialsAreRefused) {
    Outcome outcome;
    runJson(UrlRequest(serviceUrl("config/iphone-version")), outcome);
    ASSERT_TRUE(pumpUntil([&] { return outcome.done(); }));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->statusCode, 401);
}

TEST_F(HttpOperationTest, RouteThatNeverAnswersFailsAfterTheRequestTimeoutOnTheMainThread) {
    service().setReply("GET", "slow", Reply::silent(30));
    UrlRequest request = get(baseUrl() + "slow");
    request.setTimeoutInterval(0.3);
    Outcome outcome;
    auto started = std::chrono::steady_clock::now();
    runJson(request, outcome);
    ASSERT_TRUE(pumpUntil([&] { return outcome.done(); }));
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    EXPECT_EQ(outcome.successes, 0);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->kind, HttpError::Kind::Timeout);
    EXPECT_TRUE(outcome.onMain);
    EXPECT_LT(waited, 10.0);  // the timeout, not the service's 30 s, ended it
}

TEST_F(HttpOperationTest, CancelledOperationCallsNoHandler) {
    service().setReply("GET", "slow", Reply::silent(30));
    Outcome outcome;
    auto operation = runJson(get(baseUrl() + "slow"), outcome);
    ASSERT_TRUE(pumpUntil([&] { return service().requestCount() == 1; }));
    operation->cancel();
    EXPECT_TRUE(operation->isCancelled());
    ASSERT_TRUE(pumpUntil([] { return HttpEngine::shared().activeCount() == 0; }));
    RunLoop::main().pump();
    EXPECT_FALSE(outcome.done());
}

TEST_F(HttpOperationTest, CancelAfterTheReplyCameButBeforeItWasHandledCallsNoHandler) {
    service().setReply("GET", "fast", Reply::json({{"a", 1}}));
    Outcome outcome;
    auto operation = runPlain(get(baseUrl() + "fast"), outcome);
    // Wait, without turning the loop, until the reply is queued for the main thread.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!RunLoop::main().hasPendingTasks() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_TRUE(RunLoop::main().hasPendingTasks());
    operation->cancel();
    RunLoop::main().pump();
    EXPECT_FALSE(outcome.done());
    EXPECT_FALSE(operation->isFinished());
}

TEST_F(HttpOperationTest, EmptyBodiesSucceed) {
    service().setReply("GET", "empty", Reply::text("", "application/json"));
    Outcome json, plain;
    runJson(get(baseUrl() + "empty"), json);
    runPlain(get(baseUrl() + "empty"), plain);
    ASSERT_TRUE(pumpUntil([&] { return json.done() && plain.done(); }));
    EXPECT_EQ(json.successes, 1);
    EXPECT_TRUE(json.value.is_null());
    EXPECT_EQ(plain.successes, 1);
    EXPECT_EQ(plain.body, "");
}

TEST_F(HttpOperationTest, LargeBodyArrivesWholeAndOneAboveTheLimitFailsCleanly) {
    std::string big(8 * 1024 * 1024, 'x');
    for (size_t i = 0; i < big.size(); i += 4096) big[i] = static_cast<char>('a' + (i / 4096) % 26);
    service().setReply("GET", "big", Reply::text(big, "application/octet-stream"));

    Outcome whole, limited;
    long long lastReceived = 0, lastExpected = 0;
    int progressCalls = 0;
    auto operation = HttpRequestOperation::operationWithRequest(
        get(baseUrl() + "big"),
        [&](HttpRequestOperation&, const std::string& body) {
            ++whole.successes;
            whole.body = body;
        },
        [&](HttpRequestOperation&, const HttpError& error) {
            ++whole.failures;
            whole.error = error;
        });
    operation->setDownloadProgressBlock([&](long long received, long long expected) {
        EXPECT_TRUE(isMainThread());
        EXPECT_GE(received, lastReceived);
        lastReceived = received;
        lastExpected = expected;
        ++progressCalls;
    });
    operation->start();
    runPlain(get(baseUrl() + "big"), limited, 1024 * 1024);
    ASSERT_TRUE(pumpUntil([&] { return whole.done() && limited.done(); }));

    EXPECT_EQ(whole.successes, 1);
    EXPECT_TRUE(whole.body == big);
    EXPECT_GE(progressCalls, 1);
    EXPECT_EQ(lastReceived, static_cast<long long>(big.size()));
    EXPECT_EQ(lastExpected, static_cast<long long>(big.size()));
    ASSERT_TRUE(limited.error);
    EXPECT_EQ(limited.error->kind, HttpError::Kind::TooLarge);
    EXPECT_EQ(limited.body, "");
}

TEST_F(HttpOperationTest, BodyOfUnannouncedSizeIsCutOffAtTheLimit) {
    Reply endless = Reply::text(std::string(3 * 1024 * 1024, 'z'), "application/json");
    endless.chunked = true;
    service().setReply("GET", "stream", endless);
    Reply small = Reply::json({{"a", std::string(1000, 'y')}});
    small.chunked = true;
    service().setReply("GET", "small-stream", small);

    Outcome cut, whole;
    runPlain(get(baseUrl() + "stream"), cut, 1024 * 1024);
    runJson(get(baseUrl() + "small-stream"), whole);
    ASSERT_TRUE(pumpUntil([&] { return cut.done() && whole.done(); }));
    ASSERT_TRUE(cut.error);
    EXPECT_EQ(cut.error->kind, HttpError::Kind::TooLarge);
    EXPECT_EQ(whole.successes, 1);
    EXPECT_EQ(whole.value["a"].get<std::string>().size(), 1000u);
}

TEST_F(HttpOperationTest, UnusableUrlsFailWithoutCrashing) {
    struct Case {
        std::string url;
        HttpError::Kind kind;
    } cases[] = {
        {"", HttpError::Kind::BadUrl},
        {"http://[::1", HttpError::Kind::BadUrl},
        {"ftp://127.0.0.1/file", HttpError::Kind::BadUrl},
        {"file:///etc/passwd", HttpError::Kind::BadUrl},
        {"no scheme at all", HttpError::Kind::BadUrl},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        Outcome outcome;
        runJson(UrlRequest(c.url), outcome);
        ASSERT_TRUE(pumpUntil([&] { return outcome.done(); }));
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->kind, c.kind) << outcome.error->message;
    }
}

TEST_F(HttpOperationTest, NothingListeningIsANetworkFailure) {
    std::string url = baseUrl() + "gone";
    service().stop();
    Outcome outcome;
    runJson(UrlRequest(url), outcome);
    ASSERT_TRUE(pumpUntil([&] { return outcome.done(); }));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->kind, HttpError::Kind::Network);
}

TEST_F(HttpOperationTest, MultipartPartsArriveInOrderWithUploadProgress) {
    service().setReply("POST", "upload", Reply::json({{"success", 1}}));
    std::filesystem::path file = home_ / "voice.amr";
    std::string voice = "#!AMR\n" + std::string(300000, '\x3c');
    ASSERT_TRUE(writeFileAtomically(file, voice));
    std::string picture("\x89PNG\r\n\x1a\n\0\0", 10);

    HttpClient client(baseUrl());
    UrlRequest request = client.multipartFormRequestWithMethod(
        "POST", "upload", {{"uid", "12"}, {"content", "春游 & 照片"}}, [&](HttpMultipartForm& form) {
            form.appendPart("pic0", "0.png", "image/png", picture);
            ASSERT_TRUE(form.appendPartWithFile("voice", file, "", "audio/amr"));
            form.appendPart("last", "end");
        });
    request.setTimeoutInterval(30);

    Outcome outcome;
    long long sent = 0, total = 0;
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        request, [&](HttpJsonRequestOperation&, const json&) { ++outcome.successes; },
        [&](HttpRequestOperation&, const HttpError& error) {
            ++outcome.failures;
            outcome.error = error;
        });
    operation->setUploadProgressBlock([&](long long done, long long expected) {
        EXPECT_TRUE(isMainThread());
        sent = done;
        total = expected;
    });
    operation->start();
    ASSERT_TRUE(pumpUntil([&] { return outcome.done(); }));
    EXPECT_EQ(outcome.successes, 1);
    EXPECT_EQ(total, static_cast<long long>(request.httpBodyLength()));
    EXPECT_EQ(sent, total);

    auto received = service().lastRequest("upload");
    ASSERT_TRUE(received);
    ASSERT_EQ(received->parts.size(), 5u);
    const auto& parts = received->parts;
    EXPECT_EQ(parts[0].name, "content");
    EXPECT_EQ(parts[0].bytes, "春游 & 照片");
    EXPECT_EQ(parts[1].name, "uid");
    EXPECT_EQ(parts[1].bytes, "12");
    EXPECT_EQ(parts[2].name, "pic0");
    EXPECT_EQ(parts[2].fileName, "0.png");
    EXPECT_EQ(parts[2].contentType, "image/png");
    EXPECT_EQ(parts[2].bytes, picture);
    EXPECT_EQ(parts[3].name, "voice");
    EXPECT_EQ(parts[3].fileName, "voice.amr");
    EXPECT_EQ(parts[3].contentType, "audio/amr");
    EXPECT_TRUE(parts[3].bytes == voice);
    EXPECT_EQ(parts[4].name, "last");
    EXPECT_EQ(parts[4].bytes, "end");
}

TEST_F(HttpOperationTest, MethodsAndBodiesArriveAsBuilt) {
    service().setReply("PUT", "item", Reply::json({{"success", 1}}));
    service().setReply("DELETE", "item", Reply::json({{"success", 1}}));
    service().setReply("GET", "item", Reply::json({{"success", 1}}));
    HttpClient client(baseUrl());
    Outcome put, remove, head;
    runJson(client.requestWithMethod("PUT", "item", {{"name", "张 三"}}), put);
    runJson(client.requestWithMethod("DELETE", "item", {{"id", 7}}), remove);
    runPlain(client.requestWithMethod("HEAD", "item"), head);
    ASSERT_TRUE(pumpUntil([&] { return put.done() && remove.done() && head.done(); }));
    EXPECT_EQ(put.successes + remove.successes + head.successes, 3);

    std::map<std::string, sample_service::RecordedRequest> byMethod;
    for (const auto& request : service().requests()) byMethod[request.method] = request;
    EXPECT_EQ(byMethod["PUT"].body, "name=%E5%BC%A0%20%E4%B8%89");
    EXPECT_EQ(byMethod["PUT"].formValue("name"), "张 三");
    EXPECT_EQ(byMethod["DELETE"].rawQuery, "id=7");
    EXPECT_EQ(byMethod["DELETE"].body, "");
    EXPECT_TRUE(byMethod.count("HEAD"));
}

TEST_F(HttpOperationTest, SynchronousFetchFromABackgroundThread) {
    service().setReply("GET", "ok", Reply::json(posts(2)));
    service().setReply("GET", "broken", Reply::text("oops", "text/plain", 500));
    std::promise<std::pair<HttpResponse, HttpResponse>> result;
    dispatchBackground([&] {
        HttpResponse ok = HttpEngine::shared().fetch(get(baseUrl() + "ok"));
        HttpResponse broken = HttpEngine::shared().fetch(get(baseUrl() + "broken"));
        result.set_value({std::move(ok), std::move(broken)});
    });
    auto [ok, broken] = result.get_future().get();
    EXPECT_TRUE(ok.ok());
    EXPECT_EQ(ok.statusCode, 200);
    EXPECT_EQ(json::parse(ok.body).size(), 2u);
    EXPECT_EQ(ok.header("content-type"), "application/json; charset=utf-8");
    ASSERT_TRUE(broken.error);
    EXPECT_EQ(broken.error->kind, HttpError::Kind::HttpStatus);
    EXPECT_EQ(broken.statusCode, 500);
    EXPECT_EQ(broken.body, "oops");
}

// ---- Idle limits, streamed uploads, replies written to files -----------------------------

TEST_F(HttpOperationTest, TimeoutLimitsIdleTimeNotTheWholeTransfer) {
    // A 1 s timeout: one reply keeps trickling for more than three times as long, the other
    // stops after its first part. Both run at once to keep the test short.
    const std::string steady = "0123456789ab";
    service().setReply("GET", "steady", Reply::trickle(steady, 12, 0.3));
    service().setReply("GET", "stalled", Reply::trickle("ab", 2, 30));
    UrlRequest steadyRequest = get(baseUrl() + "steady"), stalledRequest = get(baseUrl() + "stalled");
    steadyRequest.setTimeoutInterval(1);
    stalledRequest.setTimeoutInterval(1);

    Outcome trickled, stalled;
    const auto started = std::chrono::steady_clock::now();
    double stalledAfter = 0;
    runPlain(steadyRequest, trickled);
    runPlain(stalledRequest, stalled);
    ASSERT_TRUE(pumpUntil([&] {
        if (stalled.done() && stalledAfter == 0)
            stalledAfter = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return trickled.done() && stalled.done();
    }));
    const double trickledFor = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    EXPECT_EQ(trickled.successes, 1) << (trickled.error ? trickled.error->message : "");
    EXPECT_EQ(trickled.body, steady);
    EXPECT_GE(trickledFor, 3.0);
    ASSERT_TRUE(stalled.error);
    EXPECT_EQ(stalled.error->kind, HttpError::Kind::Timeout);
    EXPECT_LT(stalledAfter, 2.5);  // the idle second ended it, not the service's 30 s
}

TEST_F(HttpOperationTest, FilePartIsReadWhenTheRequestIsSentNotWhenItIsBuilt) {
    service().setReply("POST", "video", Reply::json({{"success", 1}}));
    const std::filesystem::path file = home_ / "lesson.mp4";
    const size_t size = 24u * 1024 * 1024;
    auto content = [size](char seed) {
        std::string bytes(size, '\0');
        uint32_t state = static_cast<unsigned char>(seed);
        for (auto& byte : bytes) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
        return bytes;
    };
    ASSERT_TRUE(writeFileAtomically(file, content('a')));

    HttpClient client(baseUrl());
    UrlRequest request = client.multipartFormRequestWithMethod("POST", "video", nullptr, [&](HttpMultipartForm& form) {
        ASSERT_TRUE(form.appendPartWithFile("vedio", file, "", "application/octet-stream"));
        form.appendPart("courseId", "3");
    });
    // The form kept the file's name, not its bytes: what the file holds when the request
    // goes out is what is sent.
    const std::string sentLater = content('b');
    ASSERT_TRUE(writeFileAtomically(file, sentLater));

    Outcome outcome;
    runJson(request, outcome);
    ASSERT_TRUE(pumpUntil([&] { return outcome.done(); }, 30));
    ASSERT_EQ(outcome.successes, 1) << (outcome.error ? outcome.error->message : "");
    auto received = service().lastRequest("video");
    ASSERT_TRUE(received);
    ASSERT_EQ(received->parts.size(), 2u);
    EXPECT_EQ(received->parts[0].fileName, "lesson.mp4");
    EXPECT_EQ(received->parts[0].bytes.size(), size);
    EXPECT_TRUE(received->parts[0].bytes == sentLater);
    EXPECT_EQ(received->parts[1].bytes, "3");
}

TEST_F(HttpOperationTest, FileThatShrankAfterTheRequestWasBuiltFailsTheUpload) {
    service().setReply("POST", "video", Reply::json({{"success", 1}}));
    const std::filesystem::path file = home_ / "cut.mp4";
    ASSERT_TRUE(writeFileAtomically(file, std::string(1 << 20, 'v')));
    HttpClient client(baseUrl());
    UrlRequest request = client.multipartFormRequestWithMethod("POST", "video", nullptr, [&](HttpMultipartForm& form) {
        ASSERT_TRUE(form.appendPartWithFile("vedio", file, "", "application/octet-stream"));
    });
    // Sending fewer bytes than announced would hand the service a broken video.
    ASSERT_TRUE(writeFileAtomically(file, std::string(1000, 'v')));
    Outcome outcome;
    runJson(request, outcome);
    ASSERT_TRUE(pumpUntil([&] { return outcome.done(); }));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->kind, HttpError::Kind::File) << outcome.error->message;
}

TEST_F(HttpOperationTest, ReplyWrittenToAFileIsNotBoundByTheMemoryLimitAndAFailureLeavesNoFile) {
    std::string big(3 * 1024 * 1024, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + (i * 7) % 26);
    Reply unannounced = Reply::text(big, "application/octet-stream");
    unannounced.chunked = true;
    service().setReply("GET", "big", unannounced);
    service().setReply("GET", "gone", Reply::text("<html>gone</html>", "text/html", 404));
    service().setReply("GET", "stalled", Reply::trickle(big, 2, 30, "application/octet-stream"));

    struct Case {
        const char* path;
        std::optional<HttpError::Kind> error;
    } cases[] = {{"big", std::nullopt}, {"gone", HttpError::Kind::HttpStatus}, {"stalled", HttpError::Kind::Timeout}};
    std::vector<Outcome> outcomes(std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        UrlRequest request = get(baseUrl() + cases[i].path);
        request.setTimeoutInterval(0.5);
        auto operation = HttpRequestOperation::operationWithRequest(
            request, [&outcome = outcomes[i]](HttpRequestOperation&, const std::string& body) {
                ++outcome.successes;
                outcome.body = body;
            },
            [&outcome = outcomes[i]](HttpRequestOperation&, const HttpError& error) {
                ++outcome.failures;
                outcome.error = error;
            });
        operation->setMaxResponseBytes(1024);  // the in-memory limit; the file is not held to it
        operation->setResponseFile(home_ / cases[i].path);
        operation->start();
    }
    ASSERT_TRUE(pumpUntil([&] {
        return std::all_of(outcomes.begin(), outcomes.end(), [](const Outcome& o) { return o.done(); });
    }));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].path);
        const Outcome& outcome = outcomes[i];
        if (!cases[i].error) {
            ASSERT_EQ(outcome.successes, 1) << (outcome.error ? outcome.error->message : "");
            EXPECT_EQ(outcome.body, "");
            EXPECT_TRUE(readFile(home_ / cases[i].path).value_or("") == big);
        } else {
            ASSERT_TRUE(outcome.error);
            EXPECT_EQ(outcome.error->kind, *cases[i].error);
            EXPECT_FALSE(std::filesystem::exists(home_ / cases[i].path));
        }
    }
}

}  // namespace
