#include "shell/InternationalControl.h"

#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "platform/Values.h"

#include <sys/stat.h>

#include <cstdlib>
#include <mutex>

namespace fs = std::filesystem;

namespace {

// The language file holds a short code; anything longer is not ours and counts as unreadable.
constexpr std::size_t kLanguageFileLimit = 4096;
// String tables are small; a larger file is refused rather than read whole.
constexpr std::size_t kTableLimit = 8u * 1024 * 1024;

fs::path languageFile() {
    return platform::Paths::documentsDirectory() / InternationalControl::kLanguageFileName;
}

fs::path tablePath(const std::string& code) {
    return platform::Paths::resourcesDirectory() / (code + ".lproj") / "InfoPlist.strings";
}

// A stored or system code counted the way the interface uses it.
std::string languageInForce(const std::string& code) {
    return code == InternationalControl::kChinese ? InternationalControl::kChinese
                                                  : InternationalControl::kEnglish;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// A table saved as UTF-16 (with its byte order mark) is turned into UTF-8; a UTF-8 mark is
// dropped.
std::string asUtf8(const std::string& bytes) {
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    if (bytes.size() >= 2) {
        auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
        bool little = b0 == 0xFF && b1 == 0xFE, big = b0 == 0xFE && b1 == 0xFF;
        if (little || big) {
            std::u16string units;
            for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
                auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
                auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
                units += static_cast<char16_t>(hi << 8 | lo);
            }
            return platform::fromUtf16(units);
        }
    }
    return bytes;
}

class StringsParser {
public:
    explicit StringsParser(const std::string& text) : s_(text) {}

    std::map<std::string, std::string> parse() {
        std::map<std::string, std::string> table;
        while (true) {
            skipBlanks();
            if (i_ >= s_.size()) break;
            std::string key, value;
            std::size_t start = i_;
            bool ok = quoted(key);
            if (ok) {
                skipBlanks();
                ok = i_ < s_.size() && s_[i_] == '=';
                if (ok) ++i_;
            }
            if (ok) {
                skipBlanks();
                ok = quoted(value);
            }
            if (!ok) {
                platform::log("strings table: malformed entry at byte %zu skipped", start);
                skipLine(start);
                continue;
            }
            table[key] = value;
            skipBlanks();
            if (i_ < s_.size() && s_[i_] == ';') ++i_;  // a forgotten ";" is forgiven
        }
        return table;
    }

private:
    void skipBlanks() {
        while (i_ < s_.size()) {
            char c = s_[i_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++i_;
            } else if (s_.compare(i_, 2, "//") == 0) {
                auto end = s_.find('\n', i_);
                i_ = end == std::string::npos ? s_.size() : end + 1;
            } else if (s_.compare(i_, 2, "/*") == 0) {
                auto end = s_.find("*/", i_ + 2);
                i_ = end == std::string::npos ? s_.size() : end + 2;
            } else {
                break;
            }
        }
    }

    // Continues after the line on which the bad entry started (and past where it stopped).
    void skipLine(std::size_t start) {
        auto end = s_.find('\n', i_ > start ? i_ - 1 : start);
        i_ = end == std::string::npos ? s_.size() : end + 1;
        if (i_ <= start) i_ = start + 1;
    }

    bool hex4(char32_t& unit) {
        if (i_ + 4 > s_.size()) return false;
        unit = 0;
        for (int k = 0; k < 4; ++k) {
            char c = s_[i_ + k];
            unit <<= 4;
            if (c >= '0' && c <= '9') unit |= static_cast<char32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') unit |= static_cast<char32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') unit |= static_cast<char32_t>(c - 'A' + 10);
            else return false;
        }
        i_ += 4;
        return true;
    }

    // One "..." text; raw line ends are not allowed inside (write \n), so a missing closing
    // quote costs one line, not the rest of the file.
    bool quoted(std::string& out) {
        if (i_ >= s_.size() || s_[i_] != '"') return false;
        ++i_;
        while (i_ < s_.size()) {
            char c = s_[i_++];
            if (c == '"') return true;
            if (c == '\n') return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) return false;
            char e = s_[i_++];
            switch (e) {
                case 'n': out += '\n'; break;
                case 't': out += '\t'; break;
                case 'r': out += '\r'; break;
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '\'': out += '\''; break;
                case 'u':
                case 'U': {
                    char32_t unit = 0;
                    if (!hex4(unit)) return false;
                    bool high = unit >= 0xD800 && unit <= 0xDBFF;
                    if (high && (s_.compare(i_, 2, "\\u") == 0 || s_.compare(i_, 2, "\\U") == 0)) {
                        std::size_t save = i_;
                        i_ += 2;
                        char32_t low = 0;
                        if (hex4(low) && low >= 0xDC00 && low <= 0xDFFF) {
                            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                        } else {
                            i_ = save;
                        }
                    }
                    if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;  // a lone surrogate
                    appendUtf8(out, unit);
                    break;
                }
                default: out += e; break;
            }
        }
        return false;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

std::mutex bundleMutex;
std::shared_ptr<const TextBundle> currentBundle;
fs::path currentBundlePath;

}  // namespace

std::map<std::string, std::string> TextBundle::parseStrings(const std::string& text) {
    std::string utf8 = asUtf8(text);
    return StringsParser(utf8).parse();
}

std::shared_ptr<const TextBundle> TextBundle::load(const std::string& code) {
    auto bytes = platform::readFile(tablePath(code), kTableLimit);
    if (!bytes) platform::log("strings table of %s not found", code.c_str());
    return std::make_shared<const TextBundle>(code, bytes ? parseStrings(*bytes)
                                                          : std::map<std::string, std::string>{});
}

std::string TextBundle::localizedStringForKey(const std::string& key) const {
    auto it = table_.find(key);
    return it == table_.end() ? key : it->second;
}

namespace {

// What the language file held when it was last read, and how to tell that it has not
// changed since: lookups are frequent, and a stat is far cheaper than a read. Stores
// replace the file by renaming a new one over it, which always changes these fields.
struct LanguageFileSnapshot {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    std::string text;
};
std::mutex snapshotMutex;
LanguageFileSnapshot snapshot;

// The "%@" text of what the language file holds: nothing readable gives "(null)".
std::string languageFileText() {
    const std::string path = languageFile().string();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return "(null)";
    {
        std::lock_guard lock(snapshotMutex);
        if (snapshot.path == path && snapshot.device == info.st_dev && snapshot.inode == info.st_ino &&
            snapshot.size == info.st_size && snapshot.modified.tv_sec == info.st_mtim.tv_sec &&
            snapshot.modified.tv_nsec == info.st_mtim.tv_nsec)
            return snapshot.text;
    }
    auto bytes = platform::readFile(path, kLanguageFileLimit);
    std::string text = bytes && platform::isValidUtf8(*bytes) ? *bytes : "(null)";
    std::lock_guard lock(snapshotMutex);
    snapshot = {path, info.st_dev, info.st_ino, info.st_size, info.st_mtim, text};
    return text;
}

}  // namespace

std::string InternationalControl::getUserlanguage() {
    std::string text = languageFileText();
    if (text.empty() || text == "<null>" || text == "(null)") return "";
    if (text == kChinese || text == kEnglish) return text;
    return kEnglish;
}

void InternationalControl::setUserlanguage(const std::string& code, bool isFollow) {
    if (!platform::writeFileAtomically(languageFile(), code)) {
        platform::log("language file could not be written; language stays as it was");
        return;
    }
    auto& defaults = platform::UserDefaults::standard();
    defaults.setBool(kIsFollowSystemLanguage, isFollow);
    defaults.synchronize();
}

std::string InternationalControl::systemPreferredLanguage() {
    std::string locale;
    if (const char* list = std::getenv("LANGUAGE"); list && *list) {
        locale = list;
        locale = locale.substr(0, locale.find(':'));  // the first of a priority list
    }
    if (locale.empty()) {
        if (const char* lang = std::getenv("LANG"); lang && *lang) locale = lang;
    }
    return locale.compare(0, 2, "zh") == 0 ? kChinese : kEnglish;
}

std::shared_ptr<const TextBundle> InternationalControl::bundle() {
    std::string code = getUserlanguage();
    if (code.empty()) {
        // First use: follow the system from now on.
        code = systemPreferredLanguage();
        setUserlanguage(code, true);
    }
    code = languageInForce(code);
    fs::path path = tablePath(code);

    {
        std::lock_guard lock(bundleMutex);
        if (currentBundle && currentBundle->code() == code && currentBundlePath == path)
            return currentBundle;
    }
    auto loaded = TextBundle::load(code);
    std::lock_guard lock(bundleMutex);
    currentBundle = loaded;
    currentBundlePath = path;
    return loaded;
}

std::string localized(const std::string& chineseKey) {
    return InternationalControl::bundle()->localizedStringForKey(chineseKey);
}
