#include "support/ServiceFixture.h"

#include "core/MVTPublicMethod.h"

#include "platform/HttpEngine.h"
#include "platform/HttpMultipartForm.h"
#include "platform/ui/Image.h"

using namespace platform;

namespace {

// The sample service's class circle, asked the way the app asks it.
class SampleFeedServiceTest : public testing_support::ServiceTest {
protected:
    Json get(const std::string& path, const Json& parameters = nullptr) {
        auto request = MVTPublicMethod::requestWithMethod("GET", serviceUrl(path), parameters);
        HttpResponse response = HttpEngine::shared().fetch(*request);
        EXPECT_TRUE(response.ok()) << path;
        return Json::parse(response.body, nullptr, false);
    }
    Json post(const std::string& path, const Json& parameters) {
        auto request = MVTPublicMethod::requestWithMethod("POST", serviceUrl(path), parameters);
        return Json::parse(HttpEngine::shared().fetch(*request).body, nullptr, false);
    }
    static std::vector<long long> ids(const Json& list) {
        std::vector<long long> result;
        for (const auto& entry : list)
            if (entry.contains("id")) result.push_back(integerValue(entry["id"]));
        return result;
    }
    Json find(const Json& list, long long id) {
        for (const auto& entry : list)
            if (integerValue(valueFor(entry, "id")) == id) return entry;
        return nullptr;
    }
};

TEST_F(SampleFeedServiceTest, PagesAreNewestFirstAndOnlyOfTheUsersClasses) {
    Json first = get("feed/1001/list/1", {{"limit", "15"}});
    ASSERT_EQ(first.size(), 15u);
    const auto order = ids(first);
    EXPECT_EQ(order.front(), 42);
    EXPECT_TRUE(std::is_sorted(order.rbegin(), order.rend()));
    Json next = get("feed/1001/list/1", {{"limit", "15"}, {"maxIdNotIncludeSelf", std::to_string(ids(first).back())}});
    EXPECT_LT(ids(next).front(), ids(first).back());

    // A pupil of class 11 does not see class 12's posts; the whole school's he does.
    Json pupil = get("feed/2001/list/1", {{"limit", "50"}});
    for (const auto& entry : pupil) EXPECT_NE(entry.value("content", ""), "二班今天的值日生是我[em:8:]");
    EXPECT_FALSE(find(pupil, 18).is_null());
    EXPECT_TRUE(get("feed/77/list/1", {{"limit", "15"}}).empty());

    // Own posts carry their visibility; others' do not.
    Json mine = get("feed/1001/list/1", {{"limit", "50"}, {"filter", "user:me"}});
    ASSERT_FALSE(mine.empty());
    for (const auto& entry : mine) EXPECT_EQ(textOf(entry, "uid"), "1001");
    EXPECT_TRUE(find(mine, 1).contains("perm"));
    EXPECT_FALSE(find(pupil, 1).contains("perm"));
    for (const auto& entry : get("feed/1001/list/1", {{"limit", "50"}, {"filter", "type:vote"}}))
        EXPECT_EQ(entry["type"], "vote");
    // The school circle is every class circle post of the school, other classes' included,
    // and no post of a personal space; each names its class, posts for the whole school none.
    Json school = get("feed/2001/list/1", {{"limit", "50"}, {"filter", "square:school"}});
    EXPECT_GT(school.size(), pupil.size());
    EXPECT_EQ(textOf(find(school, 36), "classId"), "12");
    EXPECT_EQ(textOf(find(school, 37), "classId"), "11");
    ASSERT_TRUE(find(school, 22).is_object());
    EXPECT_FALSE(find(school, 22).contains("classId"));
    EXPECT_FALSE(find(pupil, 37).contains("classId"));
    // Personal space posts are numbered from 501, class album photos from 901.
    for (const auto& entry : school) EXPECT_LT(integerValue(valueFor(entry, "id")), 501) << entry.dump();
}

TEST_F(SampleFeedServiceTest, PraiseTogglesAndTheRefreshReportsTheChange) {
    Json praised = get("user/1001/feed/2/praise");
    EXPECT_EQ(praised["success"], 1);
    EXPECT_EQ(praised["love"], 1);
    EXPECT_EQ(praised["count"], 1);
    Json refresh = get("feed/1001/list/1", {{"limit", "15"}, {"minIdNotIncludeSelf", "42"}, {"dateline", "0"}});
    ASSERT_EQ(refresh.size(), 1u);
    EXPECT_FALSE(refresh[0].contains("id"));
    EXPECT_EQ(refresh[0]["totalCount"], "0");
    EXPECT_FALSE(textOf(refresh[0], "updateTime").empty());
    Json change = find(refresh[0]["updateData"], 2);
    EXPECT_EQ(change["likeUsers"], "王老师");
    EXPECT_EQ(change["love"], 1);

    Json withdrawn = get("user/1001/feed/2/praise");
    EXPECT_EQ(withdrawn["love"], 0);
    EXPECT_EQ(withdrawn["count"], 0);
    EXPECT_EQ(get("user/1001/feed/999/praise")["message"], "该内容已被删除");

    Json newer = get("feed/1001/list/1", {{"limit", "15"}, {"minIdNotIncludeSelf", "37"}, {"dateline", "0"}});
    EXPECT_EQ(ids(newer), (std::vector<long long>{42, 41, 40, 39, 38}));
    EXPECT_EQ(newer[0]["totalCount"], "5");
}

TEST_F(SampleFeedServiceTest, VotesCountOnceAndKeepToTheirLimit) {
    EXPECT_EQ(post("user/1001/save/vote/502/answer", {{"answerIds", "5021"}})["success"], 0);
    EXPECT_EQ(post("user/1001/save/vote/502/answer", {{"answerIds", "5021,9"}})["success"], 0);
    Json answered = post("user/1001/save/vote/502/answer", {{"answerIds", "5021,5023"}});
    ASSERT_EQ(answered["success"], 1);
    EXPECT_EQ(answered["vote"]["showResult"], 1);
    EXPECT_EQ(answered["vote"]["count"], 1);
    EXPECT_EQ(answered["vote"]["answerList"][0]["count"], 1);
    EXPECT_EQ(post("user/1001/save/vote/502/answer", {{"answerIds", "5022,5024"}})["message"], "您已经投过票了");
    EXPECT_EQ(get("user/1001/refresh/502/vote")["vote"]["count"], 1);
    EXPECT_EQ(get("user/2001/refresh/501/vote")["vote"]["showResult"], 0);
}

TEST_F(SampleFeedServiceTest, CommentsAndPublishedPostsJoinTheFeed) {
    auto client = MVTPublicMethod::clientWithUrl(serviceUrl(""));
    auto send = [&](const std::string& path, const std::vector<std::pair<std::string, std::string>>& fields) {
        auto request = client->multipartFormRequestWithMethod("POST", serviceUrl(path), nullptr, [&](HttpMultipartForm& form) {
            for (const auto& [name, value] : fields) form.appendPart(name, value);
        });
        return HttpEngine::shared().fetch(request).body;
    };
    Json reply = Json::parse(send("user/2001/1/feedcomment", {{"msg", "老师好[em:2:]"}}));
    ASSERT_EQ(reply["success"], 1);
    const Json comment = reply["comment"];
    for (const char* key : {"id", "uid", "name", "role", "content", "attachmentList", "createDate"})
        EXPECT_TRUE(comment.contains(key)) << key;
    EXPECT_EQ(comment["name"], "李明");
    EXPECT_EQ(comment["content"], "老师好[em:2:]");
    Json first = find(get("feed/2001/list/1", {{"limit", "50"}}), 1);
    EXPECT_EQ(first["commentCount"], 3);
    EXPECT_EQ(first["comments"][0]["id"], comment["id"]);

    const std::string id = send("postMessage/essay/2001/publish", {{"content", "新的动态"}, {"permission", "0"}});
    EXPECT_EQ(id, "43");
    Json list = get("feed/2001/list/1", {{"limit", "1"}});
    EXPECT_EQ(list[0]["content"], "新的动态");
    EXPECT_EQ(list[0]["perm"], "0");
    Json counts = get("user/1001/new/count", {{"feedId", "40"}});
    EXPECT_EQ(counts["newFeed"], 3);
    EXPECT_EQ(counts["count"], 3);
    Json pupil = get("user/2001/new/count", {{"feedId", "43"}});
    EXPECT_EQ(pupil["count"], 1);
    EXPECT_EQ(pupil["users"], Json::array({"1001"}));
}

TEST_F(SampleFeedServiceTest, PicturesComeFromTheSampleFolderByPlainNamesOnly) {
    for (const std::string path : {"resource/view/img_thumb/881001?size=m&token=x", "vfs/feed/transpic/881002.middle.png",
                                   "account/1001/avatar?default=false", "static/images/honor/reading.png"}) {
        HttpResponse response = HttpEngine::shared().fetch(UrlRequest(baseUrl() + path));
        EXPECT_TRUE(response.ok()) << path;
        EXPECT_TRUE(Image::isPicture(response.body)) << path;
    }
    for (const std::string path : {"resource/view/img_thumb/..%2Ffeed.json", "static/images/honor/..%2F..%2Ffeed.json",
                                   "account/nobody/avatar"})
        EXPECT_FALSE(HttpEngine::shared().fetch(UrlRequest(baseUrl() + path)).ok()) << path;
}

}  // namespace
