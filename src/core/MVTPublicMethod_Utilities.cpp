// Stateless utilities of MVTPublicMethod: cache paths, recordings, time texts, identifiers
// and checks of user input and service values.

#include "core/MVTPublicMethod.h"

#include "core/MVTAccount.h"

#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "platform/Values.h"

#include <openssl/rand.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unicode/regex.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr double kFreshSeconds = 604800.0;  // 7 days

fs::path downloadsFolder() { return platform::Paths::documentsDirectory() / "Downloads"; }

std::string lowercased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Compiled once; a RegexPattern may be shared by threads, each call makes its own matcher.
class WholeTextPattern {
public:
    explicit WholeTextPattern(const char* pattern) {
        UParseError parseError{};
        UErrorCode status = U_ZERO_ERROR;
        pattern_.reset(icu::RegexPattern::compile(icu::UnicodeString::fromUTF8(pattern), 0,
                                                  parseError, status));
        if (U_FAILURE(status)) pattern_.reset();
    }

    bool matches(const std::string& text) const {
        if (!pattern_) return false;
        UErrorCode status = U_ZERO_ERROR;
        icu::UnicodeString subject = icu::UnicodeString::fromUTF8(text);
        std::unique_ptr<icu::RegexMatcher> matcher(pattern_->matcher(subject, status));
        if (U_FAILURE(status) || !matcher) return false;
        bool whole = matcher->matches(status);
        return U_SUCCESS(status) && whole;
    }

private:
    std::unique_ptr<icu::RegexPattern> pattern_;
};

}  // namespace

std::string MVTPublicMethod::getPathByFileName(const std::string& name, const std::string& type) {
    fs::path folder = downloadsFolder();
    std::error_code ec;
    if (!fs::exists(folder, ec)) fs::create_directory(folder, ec);

    std::string file = name + "." + type;
    // The name is one path component: a leading "/" adds no folder level and goes; any
    // other separator (a service id may hold one) becomes "_", and a name that would be
    // the folder itself or its parent is spelled out, so no file leaves the cache.
    if (!file.empty() && file.front() == '/') file.erase(0, 1);
    std::replace_if(file.begin(), file.end(), [](char c) { return c == '/' || c == '\0'; }, '_');
    if (file == "." || file == "..") file.assign(file.size(), '_');
    return (folder / file).string();
}

bool MVTPublicMethod::fileExistsAtPath(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(fs::path(path), ec);
}

bool MVTPublicMethod::deleteFileAtPath(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    auto removed = fs::remove_all(fs::path(path), ec);
    return !ec && removed > 0;
}

bool MVTPublicMethod::isNewmodify(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
    double modified = static_cast<double>(info.st_mtim.tv_sec) + info.st_mtim.tv_nsec / 1e9;
    return modified + kFreshSeconds >= platform::now();
}

MVTPublicMethod::CleanCacheResult MVTPublicMethod::cleanCacheFiles() {
    CleanCacheResult result;
    fs::path folder = downloadsFolder();
    std::error_code ec;
    if (!fs::exists(folder, ec)) return result;
    result.hadFolder = true;
    fs::remove_all(folder, ec);
    result.succeeded = !ec;
    result.message = ec ? ec.message() : kCleanCacheSucceeded;
    return result;
}

int MVTPublicMethod::getVedioLength(const std::string& name) {
    std::string path = getPathByFileName(name, "wav");
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return 0;
    sf_close(file);
    if (info.samplerate <= 0 || info.frames <= 0) return 0;
    return static_cast<int>(std::lround(static_cast<double>(info.frames) / info.samplerate));
}

nlohmann::json MVTPublicMethod::getAudioRecorderSettingDict() {
    return {{"sampleRate", 8000.0}, {"format", "linearPCM"}, {"bitsPerSample", 16}, {"channels", 1}};
}

std::string MVTPublicMethod::getCurrentTimeString() {
    return platform::formatDate(platform::now(), "yyyyMMddHHmmss");
}

std::string MVTPublicMethod::timeString(int seconds) {
    return platform::formatDate(static_cast<double>(seconds), "MM-dd HH:mm");
}

std::string MVTPublicMethod::generateUUID() {
    std::array<unsigned char, 16> bytes{};
    if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
        std::random_device device;
        for (auto& b : bytes) b = static_cast<unsigned char>(device());
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4 (random)
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(32);
    for (unsigned char b : bytes) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
    }
    return text;
}

std::string MVTPublicMethod::currentDevicemodel() {
    struct utsname names {};
    if (::uname(&names) == 0 && names.sysname[0] != '\0') return names.sysname;
    return "Linux";
}

bool MVTPublicMethod::stringIsClassNull(const nlohmann::json& value) {
    std::string text = platform::textOf(value);
    return text.empty() || text == "<null>" || text == "(null)";
}

std::string MVTPublicMethod::getAllDataBeAString(const nlohmann::json& list, const std::string& key) {
    std::string joined;
    if (!list.is_array()) return joined;
    bool first = true;
    for (const auto& item : list) {
        if (!first) joined += ",";
        joined += platform::textOf(item, key);
        first = false;
    }
    return joined;
}

bool MVTPublicMethod::isSupportFileType(const std::string& extension) {
    // This platform counts as system version 7.0 or later, so "aac" and "m4r" are in.
    static const std::array<const char*, 40> kSupported = {
        "png", "gif", "jpg",  "jpeg", "tiff", "ico", "bmp", "tif", "tga",  "doc",
        "docx", "dot", "dotx", "xls", "xlsx", "ppt", "pptx", "pptm", "pps", "pdf",
        "wav", "wave", "mp3",  "wma", "m4a",  "amr", "aiff", "mp4", "mpg",  "avi",
        "mov", "m4v", "mpv",  "3gp", "zip",  "rar", "txt",  "html", "aac", "m4r"};
    std::string lower = lowercased(extension);
    return std::any_of(kSupported.begin(), kSupported.end(),
                       [&](const char* candidate) { return lower == candidate; });
}

bool MVTPublicMethod::isUnClassId() {
    auto& account = MVTAccount::sharedInstance();
    auto role = account.role().value_or("");
    if (role != "teacher" && role != "student" && role != "parent") return false;
    // Class ids never given count as none.
    return account.classId().value_or("").empty();
}

bool MVTPublicMethod::validateEmail(const std::string& text) {
    static const WholeTextPattern pattern("[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,4}");
    return pattern.matches(text);
}

bool MVTPublicMethod::validateMobile(const std::string& text) {
    static const WholeTextPattern pattern("^((13[0-9])|(15[^4,\\D])|(18[0-9]))\\d{8}$");
    return pattern.matches(text);
}

void MVTPublicMethod::setField(const std::string& text, const std::string& key) {
    auto& defaults = platform::UserDefaults::standard();
    if (text.empty()) {
        defaults.removeObjectForKey(key);
    } else {
        defaults.setString(key, text);
    }
    defaults.synchronize();
}
