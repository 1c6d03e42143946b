#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "platform/Log.h"
#include "platform/Reachability.h"
#include "support/ServiceFixture.h"

#include <cstdlib>

using namespace platform;
using nlohmann::json;
using sample_service::Reply;

namespace {

class RequestFactoryTest : public testing_support::ServiceTest {
protected:
    void TearDown() override {
        setLogSink(nullptr);
        ServiceTest::TearDown();
    }

    // Runs the request as a JSON operation and waits for its outcome; true on success.
    bool send(const UrlRequest& request, json* reply = nullptr) {
        bool finished = false, succeeded = false;
        auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
            request,
            [&](HttpJsonRequestOperation&, const json& value) {
                finished = succeeded = true;
                if (reply) *reply = value;
            },
            [&](HttpRequestOperation&, const HttpError&) { finished = true; });
        operation->start();
        EXPECT_TRUE(pumpUntil([&] { return finished; }));
        return succeeded;
    }
};

TEST_F(RequestFactoryTest, OfflineBuildsNothing) {
    Reachability::setOverride(ReachabilityState::offline());
    EXPECT_FALSE(MVTPublicMethod::connectedToNetwork());
    EXPECT_FALSE(MVTPublicMethod::requestWithMethod("GET", serviceUrl("feed/12/list/1"), {{"limit", 15}}));
    EXPECT_FALSE(MVTPublicMethod::requestWithMethod("POST", serviceUrl("x"), nullptr));
    EXPECT_EQ(MVTPublicMethod::clientWithUrl(serviceUrl("upload")), nullptr);
    EXPECT_EQ(service().requestCount(), 0u);
}

TEST_F(RequestFactoryTest, UnreadableStateIsLoggedAndCountsAsOffline) {
    std::vector<std::string> lines;
    setLogSink([&](const std::string& line) { lines.push_back(line); });
    Reachability::setOverride(ReachabilityState::unreadable());
    EXPECT_FALSE(MVTPublicMethod::requestWithMethod("GET", serviceUrl("x")));
    EXPECT_EQ(lines, std::vector<std::string>{"Error. Could not recover network reachability flags"});
}

TEST_F(RequestFactoryTest, ConnectionThatMustFirstBeSetUpIsNotUsable) {
    ReachabilityState state = ReachabilityState::viaCellular();
    state.connectionRequired = true;
    Reachability::setOverride(state);
    EXPECT_FALSE(MVTPublicMethod::connectedToNetwork());
}

TEST_F(RequestFactoryTest, ConnectionTypeWithWifiWinning) {
    struct Case {
        ReachabilityState state;
        int type;
        bool wifi, other;
    } cases[] = {
        {{true, true, false, true, true}, 1, true, true},
        {ReachabilityState::viaWifi(), 1, true, true},
        {ReachabilityState::viaCellular(), 2, false, true},
        {{true, true, false, false, false}, 2, false, true},
        {ReachabilityState::offline(), 0, false, false},
        {ReachabilityState::unreadable(), 0, false, false},
    };
    for (const auto& c : cases) {
        Reachability::setOverride(c.state);
        SCOPED_TRACE(testing::Message() << "wifi " << c.state.wifi << " cellular " << c.state.cellular
                                        << " reachable " << c.state.reachable);
        EXPECT_EQ(MVTPublicMethod::netWorkConnectType(), c.type);
        EXPECT_EQ(MVTPublicMethod::iSEnableWIFI(), c.wifi);
        EXPECT_EQ(MVTPublicMethod::iSEnable3G(), c.other);
    }
}

TEST_F(RequestFactoryTest, GetAddsParametersAfterQuestionMarkOrAmpersand) {
    service().setReply("GET", "services/norvo/feed/list", Reply::json(json::array()));

    auto withQuery = MVTPublicMethod::requestWithMethod("GET", serviceUrl("feed/list?x=1"), {{"limit", 15}});
    ASSERT_TRUE(withQuery);
    EXPECT_EQ(withQuery->url(), serviceUrl("feed/list?x=1&limit=15"));
    ASSERT_TRUE(send(*withQuery));
    EXPECT_EQ(service().lastRequest("services/norvo/feed/list")->rawQuery, "x=1&limit=15");

    auto plain = MVTPublicMethod::requestWithMethod("GET", serviceUrl("feed/list"), {{"limit", 15}});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->url(), serviceUrl("feed/list?limit=15"));
    ASSERT_TRUE(send(*plain));
    auto received = service().lastRequest("services/norvo/feed/list");
    EXPECT_EQ(received->rawQuery, "limit=15");
    EXPECT_EQ(received->body, "");
    EXPECT_FALSE(received->hasHeader("Content-Type"));
}

TEST_F(RequestFactoryTest, PostSendsAFormBodyWithTheFormContentType) {
    service().setReply("POST", "services/norvo/feed/comment", Reply::json({{"success", 1}}));
    auto request = MVTPublicMethod::requestWithMethod("POST", serviceUrl("feed/comment"),
                                                      {{"content", "a b&c"}, {"uid", 12}, {"name", "王"}});
    ASSERT_TRUE(request);
    json reply;
    ASSERT_TRUE(send(*request, &reply));
    EXPECT_EQ(reply["success"], 1);

    auto received = service().lastRequest("services/norvo/feed/comment");
    ASSERT_TRUE(received);
    EXPECT_EQ(received->method, "POST");
    EXPECT_EQ(received->rawQuery, "");
    EXPECT_EQ(received->header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
    EXPECT_EQ(received->body, "content=a%20b%26c&name=%E7%8E%8B&uid=12");
    EXPECT_EQ(received->formValue("content"), "a b&c");
    EXPECT_EQ(received->formValue("name"), "王");
    EXPECT_EQ(received->formValue("uid"), "12");
}

TEST_F(RequestFactoryTest, PostWithoutParametersHasNoBodyAndNoContentType) {
    service().setReply("POST", "services/norvo/feed/7/praise", Reply::json({{"success", 1}}));
    for (const json& params : {json(nullptr), json::object()}) {
        auto request = MVTPublicMethod::requestWithMethod("POST", serviceUrl("feed/7/praise"), params);
        ASSERT_TRUE(request);
        ASSERT_TRUE(send(*request));
        auto received = service().lastRequest("services/norvo/feed/7/praise");
        ASSERT_TRUE(received);
        EXPECT_EQ(received->body, "");
        EXPECT_FALSE(received->hasHeader("Content-Type")) << received->header("Content-Type");
    }
}

TEST_F(RequestFactoryTest, ValuesAreEscapedInTheQueryToo) {
    service().setReply("GET", "services/norvo/search", Reply::json(json::array()));
    auto request = MVTPublicMethod::requestWithMethod("GET", serviceUrl("search"), {{"q", "a b&c"}});
    ASSERT_TRUE(request);
    ASSERT_TRUE(send(*request));
    auto received = service().lastRequest("services/norvo/search");
    EXPECT_EQ(received->rawQuery, "q=a%20b%26c");
    EXPECT_EQ(received->queryValue("q"), "a b&c");
}

TEST_F(RequestFactoryTest, EveryRequestCarriesTheFixedCredentialsAndAFifteenSecondTimeout) {
    auto request = MVTPublicMethod::requestWithMethod("GET", serviceUrl("config/iphone-version"));
    ASSERT_TRUE(request);
    EXPECT_DOUBLE_EQ(request->timeoutInterval(), 15.0);
    json version;
    ASSERT_TRUE(send(*request, &version));
    EXPECT_TRUE(version.contains("version"));
    auto received = service().lastRequest("services/norvo/config/iphone-version");
    EXPECT_EQ(received->basicUser, "qwpan");
    EXPECT_EQ(received->basicPassword, "bragtolsen");

    request->setTimeoutInterval(20);  // callers raise it themselves
    EXPECT_DOUBLE_EQ(request->timeoutInterval(), 20.0);
}

TEST_F(RequestFactoryTest, UploadClientSendsMultipartWithTheCredentials) {
    service().setReply("POST", "services/norvo/upload", Reply::json({{"success", 1}}));
    auto client = MVTPublicMethod::clientWithUrl(serviceUrl("upload"));
    ASSERT_TRUE(client);
    EXPECT_EQ(client->baseURL(), serviceUrl("upload"));
    UrlRequest request = client->multipartFormRequestWithMethod(
        "POST", serviceUrl("upload"), {{"uid", "12"}},
        [](HttpMultipartForm& form) { form.appendPart("file", "a.txt", "text/plain", "hello"); });
    request.setTimeoutInterval(30);
    ASSERT_TRUE(send(request));
    auto received = service().lastRequest("services/norvo/upload");
    ASSERT_TRUE(received);
    EXPECT_TRUE(received->hasServiceCredentials());
    ASSERT_EQ(received->parts.size(), 2u);
    EXPECT_EQ(received->parts[0].name, "uid");
    EXPECT_EQ(received->parts[1].bytes, "hello");
}

TEST_F(RequestFactoryTest, SignInRouteOfTheSampleServiceAnswersKnownUsers) {
    auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + "auth/student/student123",
                                                      {{"noSchoolLogin", "true"}});
    ASSERT_TRUE(request);
    json reply;
    ASSERT_TRUE(send(*request, &reply));
    EXPECT_EQ(reply["userId"], "2001");
    EXPECT_EQ(reply["role"], "student");
    EXPECT_FALSE(reply.contains("password"));
    EXPECT_EQ(service().lastRequest("services/norvo/auth/student/student123")->queryValue("noSchoolLogin"), "true");

    auto wrong = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + "auth/student/nope",
                                                    {{"noSchoolLogin", "true"}});
    ASSERT_TRUE(send(*wrong, &reply));
    EXPECT_FALSE(reply.contains("userId"));
    EXPECT_EQ(reply["message"], "用户名或密码错误");
}

TEST(EncodeUrlWhenChineseTest, EscapesEveryCodeUnitButTheUnreservedOnes) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"ab中", "ab%25u4E2D&_app_encoding_tag_=1"},
        {"a b", "a%25u0020b&_app_encoding_tag_=1"},
        {"&", "%25u0026&_app_encoding_tag_=1"},
        {"Az09-._~", "Az09-._~&_app_encoding_tag_=1"},
        {"%", "%25u0025&_app_encoding_tag_=1"},
        {"😀", "%25uD83D%25uDE00&_app_encoding_tag_=1"},  // one code point, two UTF-16 units
    };
    for (const auto& c : cases) EXPECT_EQ(MVTPublicMethod::encodeURLWhenChinese(c.in), c.out) << c.in;
}

TEST(ServiceAddressTest, EnvironmentOverridesTheCompiledAddressAndTheSlashIsAlwaysThere) {
    unsetenv("TIRRA_BASE_URL");
    EXPECT_EQ(ServiceAddress::baseUrl(), "http://127.0.0.1:8860/");
    EXPECT_EQ(ServiceAddress::servicePrefix(), "http://127.0.0.1:8860/services/norvo/");
    setenv("TIRRA_BASE_URL", "http://school.example:9000/app", 1);
    EXPECT_EQ(ServiceAddress::baseUrl(), "http://school.example:9000/app/");
    EXPECT_EQ(ServiceAddress::servicePrefix(), "http://school.example:9000/app/services/norvo/");
    setenv("TIRRA_BASE_URL", "http://school.example/", 1);
    EXPECT_EQ(ServiceAddress::baseUrl(), "http://school.example/");
    unsetenv("TIRRA_BASE_URL");
}

}  // namespace
