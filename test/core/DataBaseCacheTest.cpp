// The feed cache, the chat message cache and the unsent posts of the local database.

#include "core/MVTtirraDataBase.h"
#include "platform/Paths.h"
#include "support/AppTest.h"

#include <sqlite3.h>

#include <string>
#include <vector>

using Json = nlohmann::json;
using DB = MVTtirraDataBase;

namespace {

// Runs one statement on the file through a connection of its own (to set up rows that the
// operations themselves never write) and returns the first column of every row.
std::vector<std::string> raw(const std::string& sql) {
    std::vector<std::string> values;
    sqlite3* db = nullptr;
    auto path = platform::Paths::documentsDirectory() / "tirraData.sql";
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "database file can't be opened";
        return values;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        int status;
        while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(statement, 0);
            values.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
        EXPECT_EQ(status, SQLITE_DONE) << sqlite3_errmsg(db);
    } else {
        ADD_FAILURE() << sqlite3_errmsg(db);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return values;
}

Json post(long long id, const std::string& content = "text") {
    return {{"id", id},
            {"uid", "12"},
            {"name", "张老师"},
            {"role", "teacher"},
            {"className", "三年级二班"},
            {"dateline", "1700000000"},
            {"perm", "0"},
            {"type", "1"},
            {"title", ""},
            {"content", content},
            {"likeCount", 2},
            {"commentCount", "1"},
            {"love", "1"},
            {"likeUsers", Json::array({{{"uid", "3"}, {"name", "王"}}})},
            {"comments", Json::array({{{"id", 5}, {"content", "好"}}})},
            {"attachments", Json::array()},
            {"links", Json::array()},
            {"vote", Json::object()},
            {"decoration", {{"bg", "a.png"}}},
            {"lesson", Json::object()},
            {"activity", Json::object()},
            {"share", {{"id", "77"}, {"content", "shared"}}},
            {"more", "0"}};
}

std::vector<std::string> ids(const Json& list, const char* key = "id") {
    std::vector<std::string> out;
    for (const auto& item : list) out.push_back(item.value(key, "?"));
    return out;
}

Json message(long long id, const std::string& uid, const std::string& sendTime, const std::string& msg = "hi") {
    return {{"id", id}, {"uid", uid}, {"msg", msg}, {"sendTime", sendTime}, {"status", 0}, {"isReaded", 1}};
}

Json groupMessage(long long id, long long forumId, long long fieldId, const std::string& sendTime) {
    Json m = message(id, "31", sendTime);
    m["forumId"] = forumId;
    m["fieldId"] = fieldId;
    return m;
}

class DataBaseCacheTest : public testing_support::AppTest {};

// ---- Feed cache -----------------------------------------------------------------------------

TEST_F(DataBaseCacheTest, AFullPostReadsBackWithEveryKeyAsText) {
    DB::insertDynamicWithArr(Json::array({post(30)}), "7");
    Json page = DB::selectDynamicData("7", 0);
    ASSERT_EQ(page.size(), 1u);
    Json expected = post(30);
    expected["id"] = "30";
    expected["likeCount"] = "2";
    EXPECT_EQ(page[0], expected);
    EXPECT_FALSE(page[0].contains("userId"));
}

struct DefaultCase {
    const char* key;
    Json written;  // discarded: the key is left out
    Json readBack;
};

TEST_F(DataBaseCacheTest, MissingAndPlainValuesReadBackAsTheTableSays) {
    const Json missing(Json::value_t::discarded);
    const DefaultCase cases[] = {
        {"love", missing, "0"},
        {"share", missing, Json::object()},
        {"likeCount", 5, "5"},
        {"name", missing, "(null)"},
        {"type", missing, "(null)"},
        {"perm", missing, ""},
        {"className", missing, ""},
        {"comments", missing, Json::array()},
        {"likeUsers", missing, Json::array()},
        {"vote", missing, Json::object()},
        {"vote", "not a dictionary", Json::object()},  // nested columns hold lists and dictionaries only
        {"links", Json::array({"http://a/?q='x'"}), Json::array({"http://a/?q='x'"})},
        {"content", "it's \"quoted\"", "it's \"quoted\""},
        {"dateline", 1.5, "1.5"},
        {"more", true, "1"},
    };
    long long id = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Json p = post(id);
        if (c.written.is_discarded()) {
            p.erase(c.key);
        } else {
            p[c.key] = c.written;
        }
        std::string user = "user" + std::to_string(id);
        DB::insertDynamicWithArr(Json::array({p}), user);
        Json page = DB::selectDynamicData(user, 0);
        ASSERT_EQ(page.size(), 1u);
        EXPECT_EQ(page[0][c.key], c.readBack);
        ++id;
    }
}

TEST_F(DataBaseCacheTest, NullColumnsReadAsTheirDefaults) {
    DB::insertDynamicWithArr(Json::array({post(1)}), "7");
    raw("UPDATE dynamicTable SET love=NULL,type=NULL,perm=NULL,comments=NULL,share=NULL,name=NULL");
    raw("UPDATE dynamicTable SET attachments='not json',vote='[1'");
    Json p = DB::selectDynamicData("7", 0).at(0);
    EXPECT_EQ(p["love"], "0");
    EXPECT_EQ(p["type"], "");
    EXPECT_EQ(p["perm"], "");
    EXPECT_EQ(p["name"], "");
    EXPECT_EQ(p["comments"], Json::array());
    EXPECT_EQ(p["share"], Json::object());
    EXPECT_EQ(p["attachments"], Json::array());
    EXPECT_EQ(p["vote"], Json::object());
}

TEST_F(DataBaseCacheTest, StoringSkipsPostsAlreadyCachedAndKeepsTheRest) {
    DB::insertDynamicWithArr(Json::array({post(29, "cached")}), "7");
    DB::insertDynamicWithArr(Json::array({post(30), post(29, "new"), post(28)}), "7");
    Json page = DB::selectDynamicData("7", 0);
    EXPECT_EQ(ids(page), (std::vector<std::string>{"30", "29", "28"}));
    EXPECT_EQ(page[1]["content"], "cached");
    // The same post for another user is a row of its own.
    DB::insertDynamicWithArr(Json::array({post(29)}), "8");
    EXPECT_EQ(ids(DB::selectDynamicData("8", 0)), (std::vector<std::string>{"29"}));
}

struct PageCase {
    int offset;
    std::vector<std::string> ids;
};

TEST_F(DataBaseCacheTest, PagesOfFifteenHighestIdFirst) {
    Json posts = Json::array();
    for (int id = 1; id <= 20; ++id) posts.push_back(post(id));
    DB::insertDynamicWithArr(posts, "7");
    DB::insertDynamicWithArr(Json::array({post(99)}), "8");
    const PageCase cases[] = {
        {0, {"20", "19", "18", "17", "16", "15", "14", "13", "12", "11", "10", "9", "8", "7", "6"}},
        {15, {"5", "4", "3", "2", "1"}},
        {18, {"2", "1"}},
        {20, {}},
        {100, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(ids(DB::selectDynamicData("7", c.offset)), c.ids);
    }
}

TEST_F(DataBaseCacheTest, NewestCachedPostComparesIdsAsNumbers) {
    EXPECT_EQ(DB::selectTheFirst("7"), std::nullopt);
    DB::insertDynamicWithArr(Json::array({post(99), post(100), post(8)}), "7");
    DB::insertDynamicWithArr(Json::array({post(500)}), "8");
    EXPECT_EQ(DB::selectTheFirst("7"), "100");
    // Ids sent as text are compared as numbers too.
    DB::insertDynamicWithArr(Json::array({post(0)}), "9");
    Json textIds = Json::array({post(0), post(0)});
    textIds[0]["id"] = "99";
    textIds[1]["id"] = "100";
    DB::insertDynamicWithArr(textIds, "10");
    EXPECT_EQ(DB::selectTheFirst("10"), "100");
}

TEST_F(DataBaseCacheTest, UpdatesChangeOnlyTheirColumnsOfTheOnePost) {
    DB::insertDynamicWithArr(Json::array({post(1), post(2)}), "7");
    DB::insertDynamicWithArr(Json::array({post(1)}), "8");
    const std::string comments = R"([{"id":9,"content":"it's fine"}])";

    EXPECT_TRUE(DB::updateDynamicData("7", "1", comments, "2"));
    Json p = DB::selectDynamicData("7", 0)[1];
    EXPECT_EQ(p["comments"], Json::parse(comments));
    EXPECT_EQ(p["commentCount"], "2");

    EXPECT_TRUE(DB::updateDynamicDataWithIDWithComments("7", "1", ""));
    EXPECT_TRUE(DB::updateDynamicDataWithIDWithcommentCount("7", "1", "0"));
    p = DB::selectDynamicData("7", 0)[1];
    EXPECT_EQ(p["comments"], Json::array());
    EXPECT_EQ(p["commentCount"], "0");

    EXPECT_TRUE(DB::updateDynamicData("7", "1", "3", "0", R"([{"uid":"o'neil"}])"));
    p = DB::selectDynamicData("7", 0)[1];
    EXPECT_EQ(p["likeCount"], "3");
    EXPECT_EQ(p["love"], "0");
    EXPECT_EQ(p["likeUsers"], Json::parse(R"([{"uid":"o'neil"}])"));

    EXPECT_TRUE(DB::updateDynamicDataWithIDWithLikeCount("7", "1", "4"));
    p = DB::selectDynamicData("7", 0)[1];
    EXPECT_EQ(p["likeCount"], "4");
    EXPECT_EQ(p["love"], "1");

    Json vote = {{"id", "v1"}, {"title", "去哪儿's"}, {"options", Json::array({"a", "b"})}};
    EXPECT_TRUE(DB::updateDynamicData("7", "1", vote));
    EXPECT_EQ(DB::selectDynamicData("7", 0)[1]["vote"], vote);

    // The other post and the other user's copy are untouched; a post that isn't cached
    // matches nothing and that is not an error.
    Json untouched = post(2);
    untouched["id"] = "2";
    untouched["likeCount"] = "2";
    EXPECT_EQ(DB::selectDynamicData("7", 0)[0], untouched);
    Json otherUser = post(1);
    otherUser["id"] = "1";
    otherUser["likeCount"] = "2";
    EXPECT_EQ(DB::selectDynamicData("8", 0)[0], otherUser);
    EXPECT_TRUE(DB::updateDynamicDataWithIDWithcommentCount("7", "404", "1"));
}

TEST_F(DataBaseCacheTest, DeletingOnePostOrAllPostsOfAUser) {
    DB::insertDynamicWithArr(Json::array({post(1), post(2), post(3)}), "7");
    DB::insertDynamicWithArr(Json::array({post(2)}), "8");
    EXPECT_TRUE(DB::deleteDynamicWith("7", "2"));
    EXPECT_EQ(ids(DB::selectDynamicData("7", 0)), (std::vector<std::string>{"3", "1"}));
    EXPECT_TRUE(DB::deleteDynamicWith("7"));
    EXPECT_EQ(DB::selectDynamicData("7", 0), Json::array());
    EXPECT_EQ(ids(DB::selectDynamicData("8", 0)), (std::vector<std::string>{"2"}));
}

TEST_F(DataBaseCacheTest, QuotesInFeedArgumentsMatchOnlyTheirRows) {
    const std::string user = "7' OR '1'='1";
    DB::insertDynamicWithArr(Json::array({post(1, "a'b"), post(2)}), user);
    DB::insertDynamicWithArr(Json::array({post(1)}), "7");
    EXPECT_EQ(ids(DB::selectDynamicData(user, 0)), (std::vector<std::string>{"2", "1"}));
    EXPECT_EQ(DB::selectDynamicData(user, 0)[1]["content"], "a'b");
    EXPECT_TRUE(DB::updateDynamicDataWithIDWithcommentCount(user, "1' OR '1'='1", "99"));
    EXPECT_TRUE(DB::deleteDynamicWith("x", "1' OR '1'='1"));
    EXPECT_TRUE(DB::deleteDynamicWith("' OR '1'='1"));
    EXPECT_EQ(DB::selectDynamicData(user, 0).size(), 2u);
    EXPECT_EQ(DB::selectDynamicData(user, 0)[1]["commentCount"], "1");
    EXPECT_EQ(DB::selectTheFirst("7"), "1");
}

// ---- Message cache --------------------------------------------------------------------------

TEST_F(DataBaseCacheTest, StoringMessagesOneByOneSkipsTheCachedOne) {
    DB::insertMSGtable(Json::array({message(2, "12", "2024-01-01 10:00:01")}), "7");
    std::int64_t last = DB::insertMSGtable(
        Json::array({message(1, "12", "2024-01-01 10:00:00"), message(2, "12", "2024-01-01 10:00:01"),
                     message(3, "12", "2024-01-01 10:00:02")}),
        "7");
    Json list = DB::selectMSGListwith("7", "12", std::nullopt, "");
    EXPECT_EQ(ids(list), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(std::to_string(last), list[2]["nid"]);
    // Nothing stored at all gives -1.
    EXPECT_EQ(DB::insertMSGtable(Json::array({message(3, "12", "x")}), "7"), -1);
    EXPECT_EQ(DB::insertMSGtable(Json::array(), "7"), -1);
}

TEST_F(DataBaseCacheTest, StoringAListStopsAtTheFirstCachedMessage) {
    std::int64_t first = DB::insertMSGtablewith(Json::array({message(2, "12", "t2")}), "7");
    EXPECT_GT(first, 0);
    EXPECT_EQ(DB::insertMSGtablewith(
                  Json::array({message(1, "12", "t1"), message(2, "12", "t2"), message(3, "12", "t3")}), "7"),
              -1);
    EXPECT_EQ(ids(DB::selectMSGListwith("7", "12", std::nullopt, "")), (std::vector<std::string>{"1", "2"}));
    std::int64_t next = DB::insertMSGtablewith(Json::array({message(4, "12", "t4"), message(5, "12", "t5")}), "7");
    EXPECT_EQ(std::to_string(next), DB::selectMSGListwith("7", "12", std::nullopt, "")[3]["nid"]);
    // The same service id for another user is a row of its own.
    EXPECT_GT(DB::insertMSGtablewith(Json::array({message(2, "12", "t2")}), "8"), next);
}

TEST_F(DataBaseCacheTest, APrivateMessageReadsBackWithOwnerAndFriendSwapped) {
    Json m = message(40, "12", "2024-05-01 08:00:00", "你好 'there'");
    m["attachments"] = Json::array({{{"id", "a1"}, {"type", "image"}}});
    m["name"] = "王芳";
    DB::insertMSGtablewith(Json::array({m}), "7");
    Json list = DB::selectMSGListwith("7", "12", std::nullopt, "");
    ASSERT_EQ(list.size(), 1u);
    Json expected = {{"nid", list[0]["nid"]},
                     {"id", "40"},
                     {"uid", "7"},
                     {"friendid", "12"},
                     {"forumid", ""},
                     {"fieldid", ""},
                     {"status", "0"},
                     {"msg", "你好 'there'"},
                     {"sendTime", "2024-05-01 08:00:00"},
                     {"attachments", m["attachments"]},
                     {"isReaded", "1"},
                     {"issuccess", "1"},
                     {"name", "王芳"},
                     {"role", ""}};
    EXPECT_EQ(list[0], expected);
    // Without attachments the key is left out.
    DB::insertMSGtablewith(Json::array({message(41, "12", "2024-05-01 08:00:01")}), "7");
    EXPECT_FALSE(DB::selectMSGListwith("7", "12", std::nullopt, "")[1].contains("attachments"));
}

TEST_F(DataBaseCacheTest, GroupAndPrivateConversationsAreKeptApart) {
    DB::insertMSGtable(Json::array({groupMessage(1, 5, 9, "t1"), message(2, "31", "t2"),
                                    groupMessage(3, 5, 10, "t3"), groupMessage(4, 6, 9, "t4")}),
                       "7");
    Json group = DB::selectMSGListwith("7", "31", std::string("5"), "9");
    EXPECT_EQ(ids(group), (std::vector<std::string>{"1"}));
    EXPECT_EQ(group[0]["forumid"], "5");
    EXPECT_EQ(group[0]["fieldid"], "9");
    EXPECT_EQ(ids(DB::selectMSGListwith("7", "31", std::nullopt, "")), (std::vector<std::string>{"2"}));
    EXPECT_EQ(DB::selectMSGListwith("8", "31", std::string("5"), "9"), Json::array());
}

TEST_F(DataBaseCacheTest, ConversationIsOrderedBySendTimeThenMessageId) {
    DB::insertMSGtable(Json::array({message(30, "12", "2024-01-02"), message(20, "12", "2024-01-01"),
                                    message(10, "12", "2024-01-02"), message(5, "13", "2024-01-01")}),
                       "7");
    EXPECT_EQ(ids(DB::selectMSGListwith("7", "12", std::nullopt, "")),
              (std::vector<std::string>{"20", "10", "30"}));
}

TEST_F(DataBaseCacheTest, MessageIdsKeepAllSixtyFourBits) {
    const long long big = 9007199254740993LL;  // beyond 32 bits and beyond a double's precision
    const long long big2 = 5000000000LL;
    DB::insertMSGtable(Json::array({message(big2, "12", "t1"), message(big, "12", "t2")}), "7");
    EXPECT_EQ(ids(DB::selectMSGListwith("7", "12", std::nullopt, "")),
              (std::vector<std::string>{"5000000000", "9007199254740993"}));
    EXPECT_EQ(DB::selectFirstMSG("7"), "9007199254740993");
    EXPECT_TRUE(DB::isExitMSGList("5000000000"));
    // Ids sent as text are read as 64-bit numbers too, and so are group ids.
    Json m = groupMessage(0, 0, 0, "t3");
    m["id"] = "12345678901234";
    m["forumId"] = "8589934592";
    m["fieldId"] = 4294967297LL;
    DB::insertMSGtable(Json::array({m}), "7");
    Json group = DB::selectMSGListwith("7", "", std::string("8589934592"), "4294967297");
    ASSERT_EQ(group.size(), 1u);
    EXPECT_EQ(group[0]["id"], "12345678901234");
}

TEST_F(DataBaseCacheTest, LatestMessageIdIsAbsentWithoutMessages) {
    EXPECT_EQ(DB::selectFirstMSG("7"), std::nullopt);
    DB::insertMSGtable(Json::array({message(3, "12", "2024-01-03"), message(9, "12", "2024-01-01")}), "7");
    DB::insertMSGtable(Json::array({message(50, "12", "2024-02-01")}), "8");
    EXPECT_EQ(DB::selectFirstMSG("7"), "3");
}

TEST_F(DataBaseCacheTest, SendReplyUpdatesTheLocalRow) {
    Json sending = message(0, "12", "local-time");
    sending["issuccess"] = "0";
    std::int64_t row = DB::insertMSGtablewith(Json::array({sending}), "7");
    ASSERT_GT(row, 0);

    // Failure: only the success mark changes.
    EXPECT_TRUE(DB::updateMSGList(row, "server-time", ""));
    Json m = DB::selectMSGListwith("7", "12", std::nullopt, "")[0];
    EXPECT_EQ(m["issuccess"], "0");
    EXPECT_EQ(m["id"], "0");
    EXPECT_EQ(m["sendTime"], "local-time");

    // Success: service id, success mark and send time.
    EXPECT_TRUE(DB::updateMSGList(row, "2024-06-01 12:00:00", "6000000000"));
    m = DB::selectMSGListwith("7", "12", std::nullopt, "")[0];
    EXPECT_EQ(m["issuccess"], "1");
    EXPECT_EQ(m["id"], "6000000000");
    EXPECT_EQ(m["sendTime"], "2024-06-01 12:00:00");
    EXPECT_TRUE(DB::isExitMSGList("6000000000"));

    // A poll stored the same id already: the update is refused and reported.
    std::int64_t second = DB::insertMSGtablewith(Json::array({message(0, "12", "t")}), "7");
    EXPECT_FALSE(DB::updateMSGList(second, "t", "6000000000"));
}

TEST_F(DataBaseCacheTest, ExistenceCheckLooksAtEveryUser) {
    EXPECT_FALSE(DB::isExitMSGList("77"));
    DB::insertMSGtable(Json::array({message(77, "12", "t")}), "someone-else");
    EXPECT_TRUE(DB::isExitMSGList("77"));
    EXPECT_FALSE(DB::isExitMSGList("78"));
    EXPECT_FALSE(DB::isExitMSGList("77' OR '1'='1"));
}

TEST_F(DataBaseCacheTest, ReadMarksClearOnlyTheConversationsReceivedMessages) {
    Json received = message(1, "12", "t1");
    Json sent = message(2, "12", "t2");
    sent["status"] = 1;
    Json other = message(3, "13", "t3");
    Json group = groupMessage(4, 5, 9, "t4");
    DB::insertMSGtable(Json::array({received, sent, other, group}), "7");

    EXPECT_TRUE(DB::setunread("7", "12", std::nullopt, ""));
    auto isReaded = [](const std::string& friendId, const std::optional<std::string>& forum, const char* field) {
        std::vector<std::string> out;
        for (const auto& m : DB::selectMSGListwith("7", friendId, forum, field)) out.push_back(m["isReaded"]);
        return out;
    };
    EXPECT_EQ(isReaded("12", std::nullopt, ""), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(isReaded("13", std::nullopt, ""), (std::vector<std::string>{"1"}));
    EXPECT_EQ(isReaded("", std::string("5"), "9"), (std::vector<std::string>{"1"}));
    EXPECT_TRUE(DB::setunread("7", "", std::string("5"), "9"));
    EXPECT_EQ(isReaded("", std::string("5"), "9"), (std::vector<std::string>{"0"}));
}

TEST_F(DataBaseCacheTest, DeletingMessagesBySendTimeConversationOrId) {
    DB::insertMSGtable(Json::array({message(1, "12", "t1"), message(2, "12", "t2"), message(3, "12", "t3"),
                                    message(4, "13", "t1"), groupMessage(5, 5, 9, "t1"),
                                    groupMessage(6, 5, 9, "t2")}),
                       "7");
    auto conversation = [](const std::string& friendId, const std::optional<std::string>& forum) {
        return ids(DB::selectMSGListwith("7", friendId, forum, forum ? "9" : ""));
    };
    EXPECT_TRUE(DB::deleteMSGListwith("7", "12", "t1", std::nullopt, ""));
    EXPECT_EQ(conversation("12", std::nullopt), (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(conversation("13", std::nullopt), (std::vector<std::string>{"4"}));
    EXPECT_EQ(conversation("", std::string("5")), (std::vector<std::string>{"5", "6"}));

    EXPECT_TRUE(DB::deleteMSGListwith("7", "", "t2", std::string("5"), "9"));
    EXPECT_EQ(conversation("", std::string("5")), (std::vector<std::string>{"5"}));
    EXPECT_EQ(conversation("12", std::nullopt), (std::vector<std::string>{"2", "3"}));

    EXPECT_TRUE(DB::deleteMSGListwith("3"));
    EXPECT_EQ(conversation("12", std::nullopt), (std::vector<std::string>{"2"}));

    EXPECT_TRUE(DB::deleteMSGListwith("7", "12", std::nullopt, ""));
    EXPECT_EQ(conversation("12", std::nullopt), std::vector<std::string>{});
    EXPECT_TRUE(DB::deleteMSGListwith("7", "", std::string("5"), "9"));
    EXPECT_EQ(conversation("", std::string("5")), std::vector<std::string>{});
    EXPECT_EQ(conversation("13", std::nullopt), (std::vector<std::string>{"4"}));
}

TEST_F(DataBaseCacheTest, QuotesInMessageArgumentsMatchOnlyTheirRows) {
    const std::string user = "7'--";
    const std::string friendId = "12' OR '1'='1";
    DB::insertMSGtable(Json::array({message(1, friendId, "t'1"), message(2, "12", "t2")}), user);
    Json list = DB::selectMSGListwith(user, friendId, std::nullopt, "");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["friendid"], friendId);
    EXPECT_EQ(list[0]["uid"], user);
    EXPECT_TRUE(DB::deleteMSGListwith(user, "x' OR '1'='1", "t2", std::nullopt, ""));
    EXPECT_TRUE(DB::deleteMSGListwith(user, "' OR 1=1 --", std::nullopt, ""));
    EXPECT_TRUE(DB::deleteMSGListwith("1' OR '1'='1"));
    EXPECT_TRUE(DB::setunread(user, "' OR 1=1 --", std::string("' OR 1=1 --"), "x"));
    EXPECT_EQ(DB::selectMSGListwith(user, "12", std::nullopt, "").size(), 1u);
    EXPECT_EQ(DB::selectMSGListwith(user, friendId, std::nullopt, "")[0]["isReaded"], "1");
    EXPECT_TRUE(DB::deleteMSGListwith(user, friendId, "t'1", std::nullopt, ""));
    EXPECT_EQ(DB::selectMSGListwith(user, friendId, std::nullopt, ""), Json::array());
}

// ---- Unsent posts ---------------------------------------------------------------------------

TEST_F(DataBaseCacheTest, UnsentPostsComeBackNewestFirstWithTheirKeysAndValues) {
    Json older = {{"content", "it's old"}, {"relative", Json::array({"3", "4"})}, {"permission", 0},
                  {"imagePath", Json::array()}, {"vedioPath", ""}, {"vedioBg", ""}, {"dynamicId", "1700000000"}};
    Json newer = older;
    newer["content"] = "新的";
    newer["dynamicId"] = "1700000100";
    DB::insertSaveDynamicWithDic(older, "1700000000", "7");
    DB::insertSaveDynamicWithDic(newer, "1700000100", "7");
    DB::insertSaveDynamicWithDic(newer, "1700000200", "8");
    EXPECT_EQ(DB::selectSaveDynamicData("7"), Json::array({newer, older}));

    // A second post with the same "dynamicId" is not stored.
    Json clash = older;
    clash["content"] = "clash";
    DB::insertSaveDynamicWithDic(clash, "1700000000", "7");
    EXPECT_EQ(DB::selectSaveDynamicData("7")[1]["content"], "it's old");

    EXPECT_TRUE(DB::deleteSaveDynamicWith("7", "1700000100"));
    EXPECT_TRUE(DB::deleteSaveDynamicWith("7", "1700000200"));  // another user's post stays
    EXPECT_EQ(DB::selectSaveDynamicData("7"), Json::array({older}));
    EXPECT_EQ(DB::selectSaveDynamicData("8").size(), 1u);
}

TEST_F(DataBaseCacheTest, UnsentPostWithoutReadableInfoIsAnEmptyDictionary) {
    DB::insertSaveDynamicWithDic({{"content", "x"}}, "3", "7");
    raw("INSERT INTO saveDynamicTable (uid,info,dynamicId) VALUES ('7',NULL,'2')");
    raw("INSERT INTO saveDynamicTable (uid,info,dynamicId) VALUES ('7','{broken','1')");
    raw("INSERT INTO saveDynamicTable (uid,info,dynamicId) VALUES ('7','[1,2]','0')");
    EXPECT_EQ(DB::selectSaveDynamicData("7"),
              Json::array({{{"content", "x"}}, Json::object(), Json::object(), Json::object()}));
}

TEST_F(DataBaseCacheTest, QuotesInUnsentPostArguments) {
    const std::string user = "7' OR '1'='1";
    DB::insertSaveDynamicWithDic({{"content", "a'b"}}, "1'1", user);
    DB::insertSaveDynamicWithDic({{"content", "other"}}, "2", "7");
    EXPECT_EQ(DB::selectSaveDynamicData(user), Json::array({{{"content", "a'b"}}}));
    EXPECT_TRUE(DB::deleteSaveDynamicWith(user, "' OR '1'='1"));
    EXPECT_EQ(DB::selectSaveDynamicData(user).size(), 1u);
    EXPECT_TRUE(DB::deleteSaveDynamicWith(user, "1'1"));
    EXPECT_EQ(DB::selectSaveDynamicData(user), Json::array());
    EXPECT_EQ(DB::selectSaveDynamicData("7").size(), 1u);
}

TEST_F(DataBaseCacheTest, UnsentPostsOutliveVersionChangeAndSignOut) {
    DB::insertSaveDynamicWithDic({{"content", "x"}}, "1", "7");
    DB::insertDynamicWithArr(Json::array({post(1)}), "7");
    for (auto drop : {&DB::deleteSaveUser, &DB::dropMSList, &DB::deleteAllUsers, &DB::deleteDynamicTable,
                      &DB::deleteAllUserNewsSetting, &DB::deleteSaveVersion}) {
        EXPECT_TRUE(drop());
    }
    EXPECT_EQ(DB::selectSaveDynamicData("7").size(), 1u);
    EXPECT_EQ(DB::selectDynamicData("7", 0), Json::array());
}

}  // namespace
