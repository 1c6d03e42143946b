// The sample service that the other tests talk to: routes, fixed replies, credentials
// and what it records.
#include "platform/HttpEngine.h"
#include "platform/HttpClient.h"
#include "platform/UrlEncoding.h"
#include "support/ServiceFixture.h"

using namespace platform;
using nlohmann::json;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class HttpSampleServiceTest : public testing_support::ServiceTest {
protected:
    HttpResponse fetch(const std::string& method, const std::string& url, bool credentials = true) {
        HttpClient client(baseUrl());
        if (credentials) client.setAuthorizationHeaderWithUsername("qwpan", "bragtolsen");
        return HttpEngine::shared().fetch(client.requestWithMethod(method, url));
    }
};

TEST_F(HttpSampleServiceTest, RouteArgumentsAreDecodedPathSegments) {
    service().route("GET", "services/norvo/user/%@/space/%@/info", [](const RecordedRequest& request) {
        return Reply::json({{"who", request.arguments.at(0)}, {"whose", request.arguments.at(1)}});
    });
    HttpResponse response = fetch("GET", serviceUrl("user/" + percentEscape("张 三") + "/space/12/info?refresh=true"));
    ASSERT_TRUE(response.ok()) << response.error->message;
    EXPECT_EQ(json::parse(response.body), (json{{"who", "张 三"}, {"whose", "12"}}));
    auto recorded = service().lastRequest("services/norvo/user/张 三/space/12/info");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->queryValue("refresh"), "true");
}

TEST_F(HttpSampleServiceTest, FixedRepliesWinOverRoutesAndLaterRoutesOverEarlierOnes) {
    service().route("*", "thing/%@", [](const RecordedRequest&) { return Reply::text("first"); });
    service().route("GET", "thing/%@", [](const RecordedRequest&) { return Reply::text("second"); });
    EXPECT_EQ(fetch("GET", "thing/1").body, "second");
    EXPECT_EQ(fetch("POST", "thing/1").body, "first");
    service().setReply("GET", "/thing/1", Reply::text("fixed"));
    EXPECT_EQ(fetch("GET", "thing/1").body, "fixed");
    EXPECT_EQ(fetch("GET", "thing/2").body, "second");
    EXPECT_EQ(fetch("GET", "nothing/here").statusCode, 404);
}

TEST_F(HttpSampleServiceTest, ServiceRoutesNeedTheFixedCredentialsAndResourcesDoNot) {
    service().setReply("GET", "resource/5/download", Reply::text("bytes", "application/octet-stream"));
    EXPECT_EQ(fetch("GET", serviceUrl("config/iphone-version"), false).statusCode, 401);
    EXPECT_EQ(fetch("GET", "resource/5/download", false).body, "bytes");

    HttpClient wrong(baseUrl());
    wrong.setAuthorizationHeaderWithUsername("qwpan", "guess");
    EXPECT_EQ(HttpEngine::shared().fetch(wrong.requestWithMethod("GET", serviceUrl("config/iphone-version"))).statusCode,
              401);
    // Refused requests are recorded too, with what they carried.
    auto recorded = service().lastRequest("services/norvo/config/iphone-version");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->basicPassword, "guess");
    EXPECT_FALSE(recorded->hasServiceCredentials());
}

TEST_F(HttpSampleServiceTest, VersionInfoNamesTheDownloadPageOnThisService) {
    HttpResponse response = fetch("GET", serviceUrl("config/iphone-version"));
    ASSERT_TRUE(response.ok());
    json version = json::parse(response.body);
    EXPECT_TRUE(version["version"].is_string());
    EXPECT_TRUE(version.contains("force"));
    EXPECT_TRUE(version.contains("info"));
    EXPECT_EQ(version["url"].get<std::string>().rfind(baseUrl(), 0), 0u);
}

TEST_F(HttpSampleServiceTest, SignInAnswersEveryRoleAndRefusesAWrongPassword) {
    struct Case {
        std::string user, password, role;
    } cases[] = {{"teacher", "teacher123", "teacher"}, {"student", "student123", "student"},
                 {"parent", "parent123", "parent"}, {"newcomer", "newcomer123", "student"}};
    for (const auto& c : cases) {
        HttpResponse response = fetch("GET", serviceUrl("auth/" + c.user + "/" + c.password + "?noSchoolLogin=true"));
        ASSERT_TRUE(response.ok()) << c.user;
        json reply = json::parse(response.body);
        EXPECT_EQ(reply["role"], c.role);
        for (const char* key : {"name", "userId", "schoolId", "classIds", "vfsUrl"}) EXPECT_TRUE(reply.contains(key)) << key;
        EXPECT_FALSE(reply.contains("password"));
    }
    json refused = json::parse(fetch("GET", serviceUrl("auth/teacher/wrong?noSchoolLogin=true")).body);
    EXPECT_FALSE(refused.contains("name"));
    EXPECT_FALSE(refused.contains("userId"));
    EXPECT_EQ(refused["message"], "用户名或密码错误");
}

TEST_F(HttpSampleServiceTest, UploadsAreAcceptedOnlyWithWhatTheyMustCarry) {
    struct Case {
        const char* path;
        std::vector<std::pair<std::string, std::string>> parts;
        bool accepted;
    } cases[] = {
        {"course/7/uploadSmallClass", {{"vedio", "mp4 bytes"}, {"courseId", "3"}}, true},
        {"course/7/uploadSmallClass", {{"courseId", "3"}}, false},
        {"course/7/uploadSmallClass", {{"vedio", "mp4 bytes"}}, false},
        {"user/7/77/feedcomment", {{"msg", "a b"}}, true},
        {"user/7/77/feedcomment", {{"msg", ""}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.parts.size()));
        HttpClient client(baseUrl());
        client.setAuthorizationHeaderWithUsername("qwpan", "bragtolsen");
        auto request = client.multipartFormRequestWithMethod("POST", serviceUrl(c.path), nullptr, [&](HttpMultipartForm& form) {
            for (auto& [name, bytes] : c.parts) form.appendPart(name, bytes);
        });
        HttpResponse response = HttpEngine::shared().fetch(request);
        ASSERT_TRUE(response.ok());
        json reply = json::parse(response.body);
        EXPECT_EQ(reply["success"], c.accepted ? 1 : 0);
    }
}

}  // namespace
