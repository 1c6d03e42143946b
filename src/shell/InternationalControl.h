#pragma once

// The interface language: which one is in force ("zh-Hans" or "en"), whether it follows
// the system's preferred language, and the string table "InfoPlist" of each language.
// Every visible text is looked up by its Chinese text through localized().

#include <map>
#include <memory>
#include <string>

// The string table "InfoPlist" of one language. A key the table lacks gives the key
// itself, so a missing translation shows the Chinese text.
class TextBundle {
public:
    TextBundle(std::string code, std::map<std::string, std::string> table)
        : code_(std::move(code)), table_(std::move(table)) {}

    // Reads "<resources>/<code>.lproj/InfoPlist.strings"; a missing or unreadable table
    // gives an empty bundle (every key shows itself).
    static std::shared_ptr<const TextBundle> load(const std::string& code);

    // Parses the classic strings format: "key" = "value"; entries, with // and /* */
    // comments and the escapes \" \\ \n \t \r \uXXXX. A malformed entry is skipped up to
    // its ";" and the rest of the file still counts.
    static std::map<std::string, std::string> parseStrings(const std::string& text);

    const std::string& code() const { return code_; }
    std::string localizedStringForKey(const std::string& key) const;
    std::size_t size() const { return table_.size(); }

private:
    std::string code_;
    std::map<std::string, std::string> table_;
};

class InternationalControl {
public:
    InternationalControl() = delete;

    // Defaults key, bool: the stored language follows the system's preferred language.
    static constexpr const char* kIsFollowSystemLanguage = "IsFollowSystemLanguage";
    // The file in the documents folder that holds the stored language code.
    static constexpr const char* kLanguageFileName = "userLanguage";
    static constexpr const char* kChinese = "zh-Hans";
    static constexpr const char* kEnglish = "en";

    // The stored language: "" (nothing stored yet), "zh-Hans" or "en"; any other stored
    // text counts as "en".
    static std::string getUserlanguage();
    static std::string userLanguage() { return getUserlanguage(); }
    // Writes the code to the language file atomically; only when that worked, sets the
    // follow flag and saves the defaults. A failed write changes nothing.
    static void setUserlanguage(const std::string& code, bool isFollow);

    // The current language's string table, resolved anew on every call: on first use the
    // system's preferred language is stored and followed. Tables are read from disk only
    // when the language in force changes.
    static std::shared_ptr<const TextBundle> bundle();
    static void initUserLanguage() { (void)bundle(); }

    // The system's first preferred language, from the environment (LANGUAGE, then LANG):
    // a locale beginning "zh" is "zh-Hans", anything else (or nothing) "en".
    static std::string systemPreferredLanguage();
};

// The text of `chineseKey` in the current language: the one lookup every screen uses.
std::string localized(const std::string& chineseKey);
