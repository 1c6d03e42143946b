// The keys under which the feed tables remember post row heights: a record that changed
// anywhere, however little, must not find the height of the record it was.

#include "feed/FeedListParts.h"

#include <gtest/gtest.h>

using platform::Json;

namespace {

TEST(PostHeightKeysTest, RecordsThatDifferAnywhereHaveDifferentKeys) {
    const Json post = Json::parse(R"({"id": 7, "content": "收到[em:3:]", "commentCount": "1",
        "comments": [{"name": "李明家长", "content": "好"}], "attachments": [{"id": 55, "type": "image"}]})");
    struct Change {
        const char* what;
        Json record;
    };
    auto with = [&](const char* pointer, Json value) {
        Json changed = post;
        changed[Json::json_pointer(pointer)] = std::move(value);
        return changed;
    };
    const std::vector<Change> changes = {
        {"a count as a number", with("/commentCount", 1)},
        {"a count one more", with("/commentCount", "2")},
        {"a nested comment's text", with("/comments/0/content", "好的")},
        {"an attachment's id", with("/attachments/0/id", 56)},
        {"a new key", with("/love", "1")},
        {"a null in place of a text", with("/content", nullptr)},
        {"a whole number in place of a fraction", Json::parse(R"({"id": 7.0})")},
        {"text moved between key and value", Json::parse(R"({"ab": "c"})")},
    };
    feedlist::PostHeightKeys keys;
    keys.startLoad();
    const std::string key = keys.keyFor(post);
    EXPECT_EQ(keys.keyFor(Json(post)), key) << "an equal copy";
    for (const auto& change : changes) EXPECT_NE(keys.keyFor(change.record), key) << change.what;
    EXPECT_NE(feedlist::recordDigest(Json::parse(R"({"ab": "c"})")), feedlist::recordDigest(Json::parse(R"({"a": "bc"})")));
    EXPECT_NE(feedlist::recordDigest(Json::parse(R"(["a", ["b"]])")), feedlist::recordDigest(Json::parse(R"([["a"], "b"])")));
}

}  // namespace
