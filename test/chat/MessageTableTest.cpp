// The message cache stores a page in one transaction: the rows and answers must be exactly
// those of storing the messages one by one, duplicates included.

#include "core/MVTtirraDataBase.h"
#include "support/AppTest.h"

using Json = nlohmann::json;
using DB = MVTtirraDataBase;

namespace {

class MessageTableTest : public testing_support::AppTest {};

Json chatMessage(long long id, const std::string& time, const std::string& text = "hi") {
    return {{"id", id}, {"uid", "12"}, {"status", "0"}, {"msg", text}, {"sendTime", time}, {"isReaded", "0"},
            {"name", "李明"}, {"role", "student"}};
}

// The conversation without the row numbers and owners, which differ between two users.
Json comparable(Json rows) {
    for (auto& row : rows) {
        row.erase("nid");
        row.erase("uid");
    }
    return rows;
}

TEST_F(MessageTableTest, APageStoresTheSameRowsAsOneByOne) {
    // 3 is cached before; 5 comes twice in the page; a message without id stores as 0 once.
    Json page = Json::array({chatMessage(1, "1700000001"), chatMessage(3, "1700000003"),
                             chatMessage(5, "1700000005"), chatMessage(5, "1700000006", "again"),
                             Json{{"uid", "12"}, {"sendTime", "1700000007"}}, chatMessage(8, "1700000008")});
    for (const char* user : {"1", "2"}) DB::insertMSGtable(Json::array({chatMessage(3, "1700000003", "old")}), user);

    std::int64_t pageLast = DB::insertMSGtable(page, "1");
    std::int64_t oneLast = -1;
    for (const auto& message : page)
        if (auto id = DB::insertMSGtable(Json::array({message}), "2"); id != -1) oneLast = id;

    Json paged = DB::selectMSGListwith("1", "12", std::nullopt, "");
    Json single = DB::selectMSGListwith("2", "12", std::nullopt, "");
    EXPECT_EQ(comparable(paged), comparable(single));
    ASSERT_EQ(paged.size(), 5u);  // old 3, 1, first 5, the id-less one, 8
    EXPECT_EQ(paged.back()["nid"], std::to_string(pageLast));
    EXPECT_EQ(single.back()["nid"], std::to_string(oneLast));
}

TEST_F(MessageTableTest, AListStopsAtItsFirstRefusalKeepingEarlierRows) {
    DB::insertMSGtable(Json::array({chatMessage(3, "1700000003")}), "1");
    EXPECT_EQ(DB::insertMSGtablewith(Json::array({chatMessage(1, "1700000001"), chatMessage(3, "1700000004"),
                                                  chatMessage(4, "1700000005")}),
                                     "1"),
              -1);
    Json rows = DB::selectMSGListwith("1", "12", std::nullopt, "");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]["id"], "1");
    EXPECT_EQ(rows[1]["id"], "3");
}

TEST_F(MessageTableTest, DeletingARowByNumberLeavesRowsOfTheSameTime) {
    std::int64_t served = DB::insertMSGtable(Json::array({chatMessage(90, "1700000050")}), "1");
    std::int64_t temporary = DB::insertMSGtablewith(Json::array({chatMessage(1700000050, "1700000050")}), "1");
    ASSERT_NE(served, -1);
    ASSERT_NE(temporary, -1);
    EXPECT_TRUE(DB::deleteMSGRow(temporary));
    Json rows = DB::selectMSGListwith("1", "12", std::nullopt, "");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["id"], "90");
}

}  // namespace
