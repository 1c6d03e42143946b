// The chat's message list makes each dictionary only when asked: what it answers must be
// the stored rows' dictionaries in the list's order, before and after a sort or an erase,
// whichever of them were made already.

#include "chat/ChatMessages.h"
#include "support/AppTest.h"

#include <gtest/gtest.h>

#include <vector>

using Json = nlohmann::json;

namespace {

MVTMessageRow storedRow(std::int64_t nid, std::int64_t msgid, const std::string& sendTime) {
    MVTMessageRow row;
    row.nid = nid;
    row.msgid = msgid;
    row.userid = "1001";
    row.friendid = "2001";
    row.msg = "消息" + std::to_string(msgid);
    row.sendTime = sendTime;
    row.issuccess = 1;
    return row;
}

std::vector<std::string> ids(const ChatMessages& list) {
    std::vector<std::string> out;
    for (const Json& message : list) out.push_back(platform::textOf(message, "id"));
    return out;
}

TEST(ChatMessagesTest, DictionariesFollowTheirRowsThroughSortsAndErases) {
    struct Case {
        const char* name;
        std::vector<std::size_t> madeBefore;  // positions asked for before the change
    };
    const Case cases[] = {{"none made", {}}, {"some made", {0, 2}}, {"all made", {0, 1, 2, 3}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Equal send times keep their order; "1767000050" sorts between the two others.
        ChatMessages list({storedRow(1, 11, "1767000100"), storedRow(2, 12, "1767000000"),
                           storedRow(3, 13, "1767000100"), storedRow(4, 14, "1767000050")});
        for (std::size_t index : c.madeBefore) EXPECT_EQ(list[index]["msg"], "消息" + std::to_string(11 + index));
        list.sortBySendTime();
        EXPECT_EQ(ids(list), (std::vector<std::string>{"12", "14", "11", "13"}));
        list.erase(1);
        EXPECT_EQ(ids(list), (std::vector<std::string>{"12", "11", "13"}));
        EXPECT_EQ(list.back()["msg"], "消息13");
        EXPECT_EQ(list.back()["nid"], "3");
        EXPECT_EQ(list.row(1).msgid, 11);
    }
}

class ChatMessagesTableTest : public testing_support::AppTest {};

// Listed by their keys, the rows read their texts in blocks when asked: every dictionary,
// in whatever order asked, is the one the table gives for the whole conversation; a row
// deleted after the listing keeps its keys and empty texts.
TEST_F(ChatMessagesTableTest, RowsListedByKeyGiveTheTablesDictionaries) {
    Json page = Json::array();
    for (int n = 0; n < 60; ++n)
        page.push_back({{"id", 500 + n}, {"uid", "2001"}, {"status", n % 2 ? "1" : "0"},
                        {"msg", "第" + std::to_string(n) + "条[em:1:]"}, {"sendTime", std::to_string(1767000000 + n)},
                        {"isReaded", "1"}, {"name", "李明"}, {"role", "student"},
                        {"attachments", n == 40 ? Json::array({{{"id", "77"}, {"type", "image"}}}) : Json()}});
    MVTtirraDataBase::insertMSGtable(page, "1001");
    const Json whole = MVTtirraDataBase::selectMSGListwith("1001", "2001", std::nullopt, "");
    ASSERT_EQ(whole.size(), 60u);
    ChatMessages list(MVTtirraDataBase::selectMSGKeyRowswith("1001", "2001", std::nullopt, ""));
    ASSERT_EQ(list.size(), 60u);
    EXPECT_EQ(list.row(59).sendTime, "1767000059");
    MVTtirraDataBase::deleteMSGListwith("530");
    for (std::size_t index : {59u, 0u, 40u, 17u, 33u, 58u}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(list[index], whole[index]);
    }
    EXPECT_EQ(list[30]["id"], "530");
    EXPECT_EQ(list[30]["msg"], "");
}

}  // namespace
