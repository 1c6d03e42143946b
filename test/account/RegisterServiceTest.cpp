// The sample service's registration: the account check, registration by role, and the
// new users signing in afterwards, credentials with "/" and "?" included.

#include "support/ServiceFixture.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/MVTAppDelegate.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/Values.h"

#include <optional>

using namespace platform;

namespace {

class RegisterServiceTest : public testing_support::ServiceTest {
protected:
    // Sends the request the way the app does and answers the reply (nothing on failure).
    std::optional<Json> send(std::optional<UrlRequest> request) {
        if (!request) return std::nullopt;
        bool done = false;
        std::optional<Json> reply;
        auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
            *request,
            [&](HttpJsonRequestOperation&, const Json& json) {
                reply = json;
                done = true;
            },
            [&](HttpRequestOperation&, const HttpError&) { done = true; });
        operation->start();
        EXPECT_TRUE(pumpUntil([&] { return done; }));
        return reply;
    }
    std::optional<Json> post(const std::string& path, const Json& form) {
        return send(MVTPublicMethod::requestWithMethod("POST", ServiceAddress::servicePrefix() + path, form));
    }
    std::optional<Json> signIn(const std::string& userName, const std::string& password) {
        return send(MVTAppDelegate::signInRequest(userName, password));
    }
};

TEST_F(RegisterServiceTest, TheAccountCheckRefusesTakenAccountsOnly) {
    struct Case {
        Json form;
        int success;
    };
    const Case cases[] = {
        {{{"username", "student"}}, 0},
        {{{"username", "newone"}}, 1},
        {{{"mobile", "13800138000"}}, 1},
        {{{"mobile", "  "}}, 0},
        {Json::object(), 0},
    };
    for (const Case& c : cases) {
        auto reply = post("registerValidate", c.form);
        ASSERT_TRUE(reply) << c.form.dump();
        EXPECT_EQ(integerValue(valueFor(*reply, "success")), c.success) << c.form.dump();
        if (c.success == 0) {
            EXPECT_FALSE(MVTPublicMethod::stringIsClassNull(valueFor(*reply, "message")));
        }
    }
}

TEST_F(RegisterServiceTest, AParentJoinsTheSchoolOfTheChildAndSignsInLater) {
    const Json form{{"mobile", "15912345678"}, {"password", "pa/ss?wd#1"}, {"childCode", "LM2001"},
                    {"name", "李雷爸爸"},      {"email", "li@example.com"}};
    auto reply = post("register/parent", form);
    ASSERT_TRUE(reply);
    EXPECT_FALSE(reply->contains("success"));
    EXPECT_FALSE(MVTAppDelegate::signInReplyIsRefused(*reply)) << reply->dump();
    EXPECT_EQ(textOf(*reply, "role"), "parent");
    EXPECT_EQ(textOf(*reply, "schoolId"), "1");
    EXPECT_EQ(textOf(*reply, "classIds"), "11");
    EXPECT_FALSE(reply->contains("password"));

    // The new account signs in, the password's "/", "?" and "#" going as one path segment.
    auto again = signIn("15912345678", "pa/ss?wd#1");
    ASSERT_TRUE(again);
    EXPECT_FALSE(MVTAppDelegate::signInReplyIsRefused(*again)) << again->dump();
    EXPECT_EQ(textOf(*again, "userId"), textOf(*reply, "userId"));
    auto request = service_->requests().back();
    EXPECT_EQ(request.arguments, (std::vector<std::string>{"15912345678", "pa/ss?wd#1"}));
    EXPECT_EQ(request.queryValue("noSchoolLogin"), "true");
    auto wrong = signIn("15912345678", "pa/ss");
    ASSERT_TRUE(wrong);
    EXPECT_TRUE(MVTAppDelegate::signInReplyIsRefused(*wrong));

    // Taken now, for the check and for a second registration.
    EXPECT_EQ(integerValue(valueFor(*post("registerValidate", {{"mobile", "15912345678"}}), "success")), 0);
    EXPECT_EQ(integerValue(valueFor(*post("register/parent", form), "success")), 0);
}

TEST_F(RegisterServiceTest, RegistrationsByRole) {
    struct Case {
        const char* role;
        Json form;
        const char* outcome;  // "account", "approve" or "refused"
        const char* schoolId;
    };
    const Case cases[] = {
        {"parent", {{"mobile", "15900000001"}, {"password", "secret1"}, {"childCode", "NOPE"}, {"name", "家长"}},
         "refused", ""},
        {"parent", {{"mobile", "15900000002"}, {"password", "secret1"}, {"childCode", "ZX2002"}, {"name", "家长"}},
         "account", ""},
        {"student", {{"username", "hanmeimei"}, {"password", "secret1"}, {"name", "韩梅梅"}}, "account", ""},
        {"student", {{"username", "teacher"}, {"password", "secret1"}, {"name", "重名"}}, "refused", ""},
        {"student", {{"username", "lucy"}, {"password", "secret1"}, {"name", ""}}, "refused", ""},
        {"teacher",
         {{"mobile", "13900000001"}, {"password", "secret1"}, {"schoolId", "1"}, {"name", "赵老师"}, {"email", "z@x.cn"}},
         "approve", ""},
        {"teacher",
         {{"mobile", "13900000002"}, {"password", "secret1"}, {"schoolId", "99"}, {"name", "钱老师"}, {"email", "q@x.cn"}},
         "refused", ""},
        {"director", {{"mobile", "13900000003"}, {"password", "secret1"}, {"name", "孙"}}, "refused", ""},
    };
    for (const Case& c : cases) {
        auto reply = post(std::string("register/") + c.role, c.form);
        ASSERT_TRUE(reply) << c.role;
        const std::string outcome = c.outcome;
        if (outcome == "account") {
            EXPECT_FALSE(MVTAppDelegate::signInReplyIsRefused(*reply)) << reply->dump();
            EXPECT_EQ(textOf(*reply, "schoolId"), c.schoolId);
        } else if (outcome == "approve") {
            EXPECT_EQ(textOf(*reply, "approve"), "1");
        } else {
            EXPECT_EQ(textOf(*reply, "success"), "0") << reply->dump();
            EXPECT_FALSE(MVTPublicMethod::stringIsClassNull(valueFor(*reply, "message")));
        }
    }
}

}  // namespace
