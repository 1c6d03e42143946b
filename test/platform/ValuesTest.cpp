#include "platform/Dates.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "platform/Values.h"
#include "support/AppTest.h"

#include <climits>
#include <fstream>

using namespace platform;
using nlohmann::json;

namespace {

TEST(ValuesTest, TextOfFollowsTheFormatRules) {
    struct Case { json value; std::string text; };
    const Case cases[] = {
        {"abc", "abc"},       {12, "12"},          {-7, "-7"},   {3.5, "3.5"},
        {0.1, "0.1"},         {3.0, "3"},          {true, "1"},  {false, "0"},
        {nullptr, "<null>"},  {json(json::value_t::discarded), "(null)"},
        {18446744073709551615ull, "18446744073709551615"},
    };
    for (const auto& c : cases) EXPECT_EQ(textOf(c.value), c.text) << c.value.dump();
    json dict = {{"id", 42}};
    EXPECT_EQ(textOf(dict, "id"), "42");
    EXPECT_EQ(textOf(dict, "missing"), "(null)");
    EXPECT_EQ(textOf(json("not a dict"), "id"), "(null)");
}

TEST(ValuesTest, IntegerReadingsTakeTheLeadingNumber) {
    struct Case { json value; long long expected; };
    const Case cases[] = {
        {"12abc", 12}, {"abc", 0},   {"  -34", -34}, {"+5", 5},  {"", 0},
        {true, 1},     {false, 0},   {7.9, 7},       {-7.9, -7}, {nullptr, 0},
        {json::array({1}), 0},       {"99999999999999999999", LLONG_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(integerValue(c.value), c.expected) << c.value.dump();
    EXPECT_EQ(intValue(json("99999999999")), INT_MAX);
    EXPECT_EQ(intValue(json(-99999999999LL)), INT_MIN);
}

TEST(ValuesTest, BoolAndDoubleReadings) {
    struct Case { std::string text; bool expected; };
    const Case cases[] = {{"YES", true}, {"true", true}, {"1", true},  {"007", true}, {"0", false},
                          {"no", false}, {"", false},    {" -t", true}, {"000", false}};
    for (const auto& c : cases) EXPECT_EQ(boolValue(c.text), c.expected) << c.text;
    EXPECT_DOUBLE_EQ(doubleValue(json("3.25kg")), 3.25);
    EXPECT_DOUBLE_EQ(doubleValue(json("x")), 0.0);
}

TEST(ValuesTest, Utf16CountsCodeUnitsAndSurvivesBadBytes) {
    EXPECT_EQ(utf16Length("ab中"), 3u);
    EXPECT_EQ(utf16Length("😀"), 2u);
    EXPECT_EQ(utf16Substring("ab中文cd", 2, 2), "中文");
    EXPECT_EQ(utf16Substring("abc", 5, 2), "");
    EXPECT_EQ(utf16Substring("abc", 1, 100), "bc");
    std::string bad = "a\xff" "b";
    EXPECT_FALSE(isValidUtf8(bad));
    EXPECT_EQ(utf16Length(bad), 3u);
    EXPECT_TRUE(isValidUtf8("中文"));
}

TEST(ValuesTest, TrimmedDropsWhiteSpaceAtBothEndsOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {" \t\r\n", ""}, {"  a b  ", "a b"}, {"\n12,\t", "12,"}, {"张 三\r\n", "张 三"}};
    for (auto& [text, expected] : cases) EXPECT_EQ(trimmed(text), expected) << text;
}

TEST(ValuesTest, Base64RoundTrip) {
    for (const std::string& s : std::vector<std::string>{"", "a", "ab", "abc", "abcd", std::string("\0\xff\x10", 3)})
        EXPECT_EQ(base64Decode(base64Encode(s)), s);
    EXPECT_EQ(base64Encode("qwpan:bragtolsen"), "cXdwYW46YnJhZ3RvbHNlbg==");
}

TEST(DatesTest, FormatAndParseInUtcAndLocalTime) {
    setLocalTimeZone("Asia/Shanghai");
    double t = 1767600000.0;  // 2026-01-05 08:00:00 UTC
    EXPECT_EQ(formatDate(t, "yyyy-MM-dd HH:mm:ss", true), "2026-01-05 08:00:00");
    EXPECT_EQ(formatDate(t, "yyyy-MM-dd HH:mm:ss"), "2026-01-05 16:00:00");
    EXPECT_EQ(formatDate(t + 0.123, "yyyyMMddHHmmssSSS", true), "20260105080000123");
    auto parsed = parseDate("2026-01-05 16:00:00", "yyyy-MM-dd HH:mm:ss");
    ASSERT_TRUE(parsed);
    EXPECT_DOUBLE_EQ(*parsed, t);
    EXPECT_FALSE(parseDate("not a date", "yyyy-MM-dd"));
    auto parts = dateParts(t);
    EXPECT_EQ(parts.hour, 16);
    EXPECT_EQ(parts.weekday, 2);  // Monday
    // A formatter kept from before follows a change of zone; a failed parse spoils nothing.
    setLocalTimeZone("Europe/London");
    EXPECT_EQ(formatDate(t, "yyyy-MM-dd HH:mm:ss"), "2026-01-05 08:00:00");
    EXPECT_EQ(parseDate("2026-01-05 08:00:00", "yyyy-MM-dd HH:mm:ss"), t);
    setLocalTimeZone("");
}

class DefaultsTest : public testing_support::AppTest {};

TEST_F(DefaultsTest, ValuesSurviveAReloadFromDisk) {
    auto& d = UserDefaults::standard();
    d.setBool("IsFollowSystemLanguage", true);
    d.setString("user:42", "2026-01-05 08:00:00");
    d.setObject("list", json::array({1, "two"}));
    d.setData("thumb", std::string("\x89PNG\0", 5));
    d.setString("quote", "it's \"fine\"");
    UserDefaults::reloadStandard();
    auto& again = UserDefaults::standard();
    EXPECT_TRUE(again.boolForKey("IsFollowSystemLanguage"));
    EXPECT_EQ(again.stringForKey("user:42"), "2026-01-05 08:00:00");
    EXPECT_EQ(again.arrayForKey("list"), json::array({1, "two"}));
    EXPECT_EQ(again.dataForKey("thumb"), std::string("\x89PNG\0", 5));
    EXPECT_EQ(again.stringForKey("quote"), "it's \"fine\"");
    EXPECT_FALSE(again.stringForKey("absent"));
    EXPECT_EQ(again.integerForKey("absent"), 0);
    again.removeObjectForKey("list");
    UserDefaults::reloadStandard();
    EXPECT_TRUE(UserDefaults::standard().arrayForKey("list").is_null());
}

TEST_F(DefaultsTest, UnreadableFileStartsEmptyInsteadOfFailing) {
    std::ofstream(UserDefaults::standard().file()) << "{broken";
    UserDefaults::reloadStandard();
    EXPECT_FALSE(UserDefaults::standard().hasKey("anything"));
    UserDefaults::standard().setInteger("n", 3);
    UserDefaults::reloadStandard();
    EXPECT_EQ(UserDefaults::standard().integerForKey("n"), 3);
}

TEST_F(DefaultsTest, NonUtf8TextDoesNotLoseTheStore) {
    auto& d = UserDefaults::standard();
    d.setString("good", "kept");
    d.setString("bad", "a\xff");
    UserDefaults::reloadStandard();
    EXPECT_EQ(UserDefaults::standard().stringForKey("good"), "kept");
}

TEST_F(DefaultsTest, HomeFoldersExistAndResourcesRefuseEscapes) {
    EXPECT_TRUE(std::filesystem::is_directory(Paths::documentsDirectory()));
    EXPECT_TRUE(std::filesystem::is_directory(Paths::cachesDirectory()));
    EXPECT_TRUE(Paths::resourcePath("../../etc/passwd").empty());
    EXPECT_TRUE(Paths::resourcePath("definitely-missing.png").empty());
}

}  // namespace
