#include "shell/InternationalControl.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "support/AppTest.h"

#include <atomic>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Sets LANGUAGE and LANG for one test and puts the old values back.
class ScopedLocale {
public:
    ScopedLocale(const char* language, const char* lang) {
        save("LANGUAGE", savedLanguage_);
        save("LANG", savedLang_);
        set("LANGUAGE", language);
        set("LANG", lang);
    }
    ~ScopedLocale() {
        set("LANGUAGE", savedLanguage_ ? savedLanguage_->c_str() : nullptr);
        set("LANG", savedLang_ ? savedLang_->c_str() : nullptr);
    }

private:
    static void save(const char* name, std::optional<std::string>& slot) {
        if (const char* value = std::getenv(name)) slot = value;
    }
    static void set(const char* name, const char* value) {
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    std::optional<std::string> savedLanguage_, savedLang_;
};

class InternationalControlTest : public testing_support::AppTest {
protected:
    fs::path languageFile() const { return platform::Paths::documentsDirectory() / "userLanguage"; }
    std::optional<std::string> storedText() const { return platform::readFile(languageFile()); }
    bool following() const {
        return platform::UserDefaults::standard().boolForKey(InternationalControl::kIsFollowSystemLanguage);
    }
};

TEST_F(InternationalControlTest, FirstUseFollowsTheSystemLanguage) {
    struct Case {
        const char* language;  // LANGUAGE, or nullptr when unset
        const char* lang;      // LANG, or nullptr when unset
        const char* stored;
        const char* ok;        // what "确定" shows
    };
    const Case cases[] = {
        {nullptr, "zh_CN.UTF-8", "zh-Hans", "确定"},
        {nullptr, "en_US.UTF-8", "en", "OK"},
        {nullptr, "fr_FR.UTF-8", "en", "OK"},
        {nullptr, "C", "en", "OK"},
        {nullptr, nullptr, "en", "OK"},
        {"zh_CN:en_US", "en_US.UTF-8", "zh-Hans", "确定"},
        {"en_GB:zh_CN", "zh_CN.UTF-8", "en", "OK"},
        {"", "zh_TW.UTF-8", "zh-Hans", "确定"},
    };
    for (const auto& c : cases) {
        std::error_code ec;
        fs::remove(languageFile(), ec);
        platform::UserDefaults::standard().removeObjectForKey(InternationalControl::kIsFollowSystemLanguage);
        ScopedLocale locale(c.language, c.lang);
        SCOPED_TRACE(std::string(c.language ? c.language : "-") + " / " + (c.lang ? c.lang : "-"));

        EXPECT_EQ(InternationalControl::getUserlanguage(), "");
        EXPECT_EQ(localized("确定"), c.ok);
        EXPECT_EQ(storedText(), c.stored);
        EXPECT_TRUE(following());
    }
}

TEST_F(InternationalControlTest, ChoosingALanguageSwitchesEveryLookup) {
    ScopedLocale locale(nullptr, "zh_CN.UTF-8");
    EXPECT_EQ(localized("提示"), "提示");

    InternationalControl::setUserlanguage("en", false);
    EXPECT_EQ(InternationalControl::userLanguage(), "en");
    EXPECT_FALSE(following());
    EXPECT_EQ(localized("提示"), "Notice");
    EXPECT_EQ(localized("没有网络,请检查网络连接"),
              "No network connection. Please check your network settings.");

    InternationalControl::setUserlanguage("zh-Hans", false);
    EXPECT_EQ(localized("提示"), "提示");
    EXPECT_EQ(InternationalControl::bundle()->code(), "zh-Hans");
}

TEST_F(InternationalControlTest, AKeyWithoutATranslationShowsTheChineseText) {
    InternationalControl::setUserlanguage("en", false);
    EXPECT_EQ(localized("这句话没有英文"), "这句话没有英文");
    EXPECT_EQ(localized(""), "");
    InternationalControl::setUserlanguage("zh-Hans", false);
    EXPECT_EQ(localized("这句话没有英文"), "这句话没有英文");
}

TEST_F(InternationalControlTest, StoredTextsAreReadAsTheLanguageInForce) {
    ScopedLocale locale(nullptr, "zh_CN.UTF-8");
    struct Case {
        std::string fileText;
        const char* read;    // getUserlanguage
        const char* ok;      // what "确定" shows afterwards
        const char* stored;  // the file after the lookup
    };
    const Case cases[] = {
        {"zh-Hans", "zh-Hans", "确定", "zh-Hans"},
        {"en", "en", "OK", "en"},
        {"fr", "en", "OK", "fr"},
        {"zh-Hans-CN", "en", "OK", "zh-Hans-CN"},
        {"en\n", "en", "OK", "en\n"},
        // Nothing stored: the next lookup follows the system again and stores its language.
        {"", "", "确定", "zh-Hans"},
        {"(null)", "", "确定", "zh-Hans"},
        {"<null>", "", "确定", "zh-Hans"},
        {"\xff\xfe", "", "确定", "zh-Hans"},  // not UTF-8: unreadable
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(platform::writeFileAtomically(languageFile(), c.fileText));
        SCOPED_TRACE(c.fileText);
        EXPECT_EQ(InternationalControl::getUserlanguage(), c.read);
        EXPECT_EQ(localized("确定"), c.ok);
        EXPECT_EQ(storedText(), c.stored);
    }
}

TEST_F(InternationalControlTest, AFailedStoreChangesNothing) {
    InternationalControl::setUserlanguage("zh-Hans", true);
    ASSERT_TRUE(following());
    // A folder where the language file should be: the file cannot be written.
    std::error_code ec;
    fs::remove(languageFile(), ec);
    fs::create_directories(languageFile() / "blocked", ec);

    InternationalControl::setUserlanguage("en", false);
    EXPECT_TRUE(following());
    EXPECT_TRUE(fs::is_directory(languageFile()));
}

TEST_F(InternationalControlTest, TablesAreLoadedOncePerLanguageSwitch) {
    InternationalControl::setUserlanguage("en", false);
    auto first = InternationalControl::bundle();
    EXPECT_EQ(InternationalControl::bundle(), first);
    InternationalControl::setUserlanguage("zh-Hans", false);
    auto chinese = InternationalControl::bundle();
    EXPECT_NE(chinese, first);
    EXPECT_EQ(InternationalControl::bundle(), chinese);
    // A lookup keeps working with the bundle it resolved, whatever happens meanwhile.
    InternationalControl::setUserlanguage("en", false);
    EXPECT_EQ(first->localizedStringForKey("确定"), "OK");
    EXPECT_EQ(chinese->localizedStringForKey("确定"), "确定");
}

TEST_F(InternationalControlTest, LookupsOnOtherThreadsSeeOneLanguageOrTheOther) {
    InternationalControl::setUserlanguage("en", false);
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            while (!stop) {
                std::string text = localized("确定");
                if (text != "OK" && text != "确定") ++wrong;
            }
        });
    }
    for (int i = 0; i < 40; ++i) InternationalControl::setUserlanguage(i % 2 ? "en" : "zh-Hans", false);
    stop = true;
    for (auto& reader : readers) reader.join();
    EXPECT_EQ(wrong, 0);
}

TEST(TextBundleTest, StringsTablesAreParsedRobustly) {
    const std::string text =
        "\xEF\xBB\xBF/* header\n spanning lines */\n"
        "\"确定\" = \"OK\";\n"
        "// a line comment\n"
        "  \"引号\"=\"Say \\\"hi\\\"\\n\\tthen go\" ;\n"
        "\"坏的 = \"lost\";\n"                  // unterminated key: this line only is lost
        "\"无等号\" \"x\";\n"                    // no "=": skipped
        "garbage here;\n"
        "\"转义\" = \"\\u00e9\\uD83D\\uDE00\\\\\";\n"
        "\"没分号\" = \"fine\"\n"
        "\"重复\" = \"first\";\n"
        "\"重复\" = \"second\";\n"
        "\"最后\" = \"last\";";
    auto table = TextBundle::parseStrings(text);
    const std::map<std::string, std::string> expected = {
        {"确定", "OK"},
        {"引号", "Say \"hi\"\n\tthen go"},
        {"转义", "\xC3\xA9\xF0\x9F\x98\x80\\"},
        {"没分号", "fine"},
        {"重复", "second"},
        {"最后", "last"},
    };
    EXPECT_EQ(table, expected);
}

TEST(TextBundleTest, TablesSavedAsUtf16AreRead) {
    // "提示" = "Notice"; in UTF-16 little endian with its byte order mark.
    std::u16string source = u"\"提示\" = \"Notice\";\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : source) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    auto table = TextBundle::parseStrings(bytes);
    EXPECT_EQ(table, (std::map<std::string, std::string>{{"提示", "Notice"}}));
}

TEST(TextBundleTest, EveryChineseKeyHasAnEnglishText) {
    auto chinese = TextBundle::load("zh-Hans");
    auto english = TextBundle::load("en");
    ASSERT_GT(chinese->size(), 0u);
    auto table = TextBundle::parseStrings(
        platform::readFile(platform::Paths::resourcesDirectory() / "zh-Hans.lproj" / "InfoPlist.strings")
            .value_or(""));
    for (const auto& [key, value] : table) {
        EXPECT_NE(english->localizedStringForKey(key), key) << "no English text for " << key;
    }
}

}  // namespace
