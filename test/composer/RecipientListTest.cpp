// The sort keys of the people a post may mention, the list made from a service reply and
// its cache file.
#include "core/RecipientList.h"

#include "support/AppTest.h"

#include "platform/Files.h"
#include "platform/Values.h"

#include <gtest/gtest.h>

namespace {

using testing_support::AppTest;

TEST(RecipientFirstName, GivesTheInitialsOfEveryCharacter) {
    const std::pair<std::string, std::string> cases[] = {
        {"张三", "zs"},    {"王五", "ww"},         {"Tom", "tom"},   {"Alice", "alice"}, {"1班", "#b"},
        {"1号", "#h"},     {"Émile", "#mile"},     {"", "#"},        {"ab😀c", "ab😀c"}, {"李Émile", "lémile"},
        {"😀李", "#l"},    {"Ωmega", "#mega"},
    };
    for (const auto& [name, key] : cases) {
        EXPECT_EQ(recipientFirstName(name), key) << name;
        EXPECT_TRUE(platform::isValidUtf8(recipientFirstName(name))) << name;
    }
}

TEST(RecipientList, KeepsDictionariesSortedByKeyAndSkipsTheRest) {
    const auto reply = nlohmann::json::parse(R"([
        {"name": "王五", "user": "5"}, {"name": "Alice", "user": "1"}, "not a person",
        {"name": "1号", "user": "7"}, {"name": "张三", "user": "3"}, {"name": "Émile", "user": "9"},
        {"user": "11"}, {"name": 42, "user": "12"}, {"name": null, "user": "13"}, 17])");
    const auto list = recipientListFromReply(reply);
    std::vector<std::string> order;
    for (const auto& entry : list) order.push_back(entry["user"].get<std::string>() + ":" + entry["firstName"].get<std::string>());
    // Equal keys keep the order of the reply.
    EXPECT_EQ(order, (std::vector<std::string>{"11:#", "13:#", "12:#2", "7:#h", "9:#mile", "1:alice", "5:ww", "3:zs"}));
    for (const auto& bad : {nlohmann::json::object({{"name", "x"}}), nlohmann::json("text"), nlohmann::json()})
        EXPECT_TRUE(recipientListFromReply(bad).empty());
}

class RecipientCacheTest : public AppTest {};

TEST_F(RecipientCacheTest, RoundTripsAsValidUtf8AndIgnoresBrokenFiles) {
    const auto list = recipientListFromReply(nlohmann::json::parse(R"([{"name": "Émile"}, {"name": "张三"}])"));
    ASSERT_TRUE(writeRecipientCache("12", list));
    const auto bytes = platform::readFile(recipientCachePath("12"));
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(platform::isValidUtf8(*bytes));
    EXPECT_EQ(readRecipientCache("12"), list);

    for (const std::string broken : {"[{\"name\": \"x\"", "{\"name\": \"x\"}", "[1, 2]", "\xff\xfe"}) {
        ASSERT_TRUE(platform::writeFileAtomically(recipientCachePath("12"), broken));
        EXPECT_TRUE(readRecipientCache("12").empty()) << broken;
    }
    EXPECT_TRUE(readRecipientCache("nobody").empty());
}

}  // namespace
