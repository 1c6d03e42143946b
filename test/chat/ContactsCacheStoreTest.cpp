// The contacts cache store: the three friend-list changes, what counts as no cache, and
// that concurrent read-modify-writes keep each other's changes.

#include "contacts/ContactsCacheStore.h"
#include "platform/Files.h"
#include "support/AppTest.h"

#include <thread>
#include <vector>

using Json = nlohmann::json;
using Store = ContactsCacheStore;

namespace {

class ContactsCacheStoreTest : public testing_support::AppTest {
protected:
    void writeRaw(const std::string& text) { ASSERT_TRUE(platform::writeFileAtomically(Store::cachePath("7"), text)); }
    std::string raw() { return platform::readFile(Store::cachePath("7")).value_or("<missing>"); }
    Json friends() { return Store::readObject("7").value_or(Json::object()).value("friend", Json()); }
};

const Json kAnna = Store::friendEntry("安娜", "student", "12");
const Json kBo = Store::friendEntry("博", "parent", "123");

TEST_F(ContactsCacheStoreTest, NoUsableCacheWritesNothing) {
    for (const char* text : {"", "<null>", "(null)"}) {
        writeRaw(text);
        EXPECT_EQ(Store::addFriendOnce("7", kAnna), Store::FriendChange::NoCache) << text;
        EXPECT_EQ(Store::appendFriend("7", kAnna), Store::FriendChange::NoCache) << text;
        EXPECT_EQ(Store::removeFriend("7", kAnna), Store::FriendChange::NoCache) << text;
        EXPECT_EQ(raw(), text);
    }
    std::filesystem::remove(Store::cachePath("7"));
    EXPECT_EQ(Store::addFriendOnce("7", kAnna), Store::FriendChange::NoCache);
    EXPECT_FALSE(platform::fileExists(Store::cachePath("7")));
}

TEST_F(ContactsCacheStoreTest, AddOnceAppendsOnlyAMissingEntryAndKeepsOtherKeys) {
    ASSERT_TRUE(Store::writeObject("7", {{"friend", Json::array({kBo})}, {"class", {{"n", 1}}}}));
    EXPECT_EQ(Store::addFriendOnce("7", kAnna), Store::FriendChange::Written);
    EXPECT_EQ(Store::addFriendOnce("7", kAnna), Store::FriendChange::Unchanged);
    EXPECT_EQ(friends(), Json::array({kBo, kAnna}));
    EXPECT_EQ(Store::readObject("7")->at("class"), (Json{{"n", 1}}));
    // Pretty-printed: one key per line.
    EXPECT_NE(raw().find("\n"), std::string::npos);
}

TEST_F(ContactsCacheStoreTest, AppendAddsEvenARepeatAndRemoveDropsEveryEqualEntry) {
    ASSERT_TRUE(Store::writeObject("7", {{"teacher", Json::array()}}));
    EXPECT_EQ(Store::appendFriend("7", kAnna), Store::FriendChange::Written);
    EXPECT_EQ(Store::appendFriend("7", kAnna), Store::FriendChange::Written);
    EXPECT_EQ(Store::appendFriend("7", kBo), Store::FriendChange::Written);
    EXPECT_EQ(friends(), Json::array({kAnna, kAnna, kBo}));
    EXPECT_EQ(Store::removeFriend("7", kAnna), Store::FriendChange::Written);
    EXPECT_EQ(friends(), Json::array({kBo}));
    // Same person with a different value is not equal: nothing is removed.
    EXPECT_EQ(Store::removeFriend("7", Store::friendEntry("博", "parent", 123)), Store::FriendChange::Unchanged);
    EXPECT_TRUE(Store::readObject("7")->contains("teacher"));
}

TEST_F(ContactsCacheStoreTest, TextThatIsNoObject) {
    writeRaw("[1,2]");
    EXPECT_EQ(Store::removeFriend("7", kAnna), Store::FriendChange::Unchanged);
    EXPECT_EQ(raw(), "[1,2]");
    EXPECT_FALSE(Store::readObject("7"));
    EXPECT_EQ(Store::addFriendOnce("7", kAnna), Store::FriendChange::Written);
    EXPECT_EQ(*Store::readObject("7"), (Json{{"friend", Json::array({kAnna})}}));
    EXPECT_FALSE(Store::writeObject("7", Json::array()));
}

TEST_F(ContactsCacheStoreTest, ConcurrentWritersLoseNoChange) {
    ASSERT_TRUE(Store::writeObject("7", {{"friend", Json::array()}}));
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < 25; ++i)
                Store::appendFriend("7", Store::friendEntry("n", "student", std::to_string(t * 100 + i)));
        });
    for (auto& writer : writers) writer.join();
    EXPECT_EQ(friends().size(), 100u);
}

}  // namespace
