#pragma once

// Class-level operations used everywhere: the request factory and network state, file
// paths and caches, image scaling and tinting, time strings, validation, and the shared
// view helpers (avatars, waiting animation, toasts, bar buttons). Stateless: every
// operation is static.

#include "platform/HttpClient.h"
#include "platform/UrlRequest.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>

class MVTPublicMethod {
public:
    MVTPublicMethod() = delete;

    // ---- Requests and network state -------------------------------------------------

    // The fixed HTTP Basic credentials of the service (the same for every user; the
    // user's own credentials travel in paths and parameters).
    static constexpr const char* kServiceUser = "qwpan";
    static constexpr const char* kServicePassword = "bragtolsen";
    static constexpr double kRequestTimeout = 15.0;

    // A request with the service's Basic credentials and a 15-second timeout; the
    // parameters (texts or numbers) become the query of a GET and the form body of a POST
    // (see platform::HttpClient). Nothing while the network is down: send nothing then.
    static std::optional<platform::UrlRequest> requestWithMethod(const std::string& method, const std::string& url,
                                                                 const nlohmann::json& param = nullptr);
    // A client for multipart uploads to `url`, carrying the same credentials; nullptr
    // while the network is down.
    static std::shared_ptr<platform::HttpClient> clientWithUrl(const std::string& url);
    // True when the network can be used now (a local reading, no traffic). An unreadable
    // state is logged and counts as offline.
    static bool connectedToNetwork();
    // 1 over WiFi, otherwise 2 over another connection, otherwise 0.
    static int netWorkConnectType();
    static bool iSEnableWIFI();
    static bool iSEnable3G();
    // Escapes free text for the end of a URL query: letters, digits, "-", ".", "_" and
    // "~" stay, every other UTF-16 code unit becomes "%u" and four uppercase hex digits,
    // then every "%" is written "%25", and "&_app_encoding_tag_=1" is appended. The empty
    // text stays empty.
    static std::string encodeURLWhenChinese(const std::string& text);

    // ---- Utilities: paths, cache, pictures, time, validation, digests --------------------

    // Path of "<name>.<type>" in the download cache (Documents/Downloads), creating the
    // folder when it is missing. Path separators in the name become "_", so a name that
    // came from the service can never point outside the cache.
    static std::string getPathByFileName(const std::string& name, const std::string& type);
    // True when a file or folder exists at the path.
    static bool fileExistsAtPath(const std::string& path);
    // Removes the file (or folder with its contents); true on success.
    static bool deleteFileAtPath(const std::string& path);
    // True when the file was modified no more than 7 days (604,800 s) before now (the
    // app's clock); false when its attributes cannot be read.
    static bool isNewmodify(const std::string& path);

    // What clearing the download cache did. `hadFolder` false: there was nothing to
    // clear and nothing is to be reported. Otherwise `message` is the report: the
    // untranslated "清除缓存成功" on success (to be looked up in the string table), or the
    // error's description, shown as it stands.
    struct CleanCacheResult {
        bool hadFolder = false;
        bool succeeded = false;
        std::string message;
    };
    static constexpr const char* kCleanCacheSucceeded = "清除缓存成功";
    // Removes the whole Downloads folder. The alert that reports it belongs to the caller.
    static CleanCacheResult cleanCacheFiles();

    // Length in whole seconds (rounded) of the recording "<name>.wav" in the download
    // cache; 0 when it cannot be read.
    static int getVedioLength(const std::string& name);
    // The recorder settings: {"sampleRate": 8000.0, "format": "linearPCM",
    // "bitsPerSample": 16, "channels": 1}.
    static nlohmann::json getAudioRecorderSettingDict();

    // The current local time as "yyyyMMddHHmmss" (names of recordings).
    static std::string getCurrentTimeString();
    // Seconds since 1970 as local "MM-dd HH:mm".
    static std::string timeString(int seconds);
    // A new random UUID as 32 uppercase hexadecimal digits without dashes.
    static std::string generateUUID();
    // The device model text of this platform (the base of upload file names).
    static std::string currentDevicemodel();

    // True when the value's "%@" text is "<null>", "(null)" or empty: a missing value
    // (platform::valueFor of an absent key), JSON null, the empty text and those two
    // texts themselves. The number 0 and " " are not null.
    static bool stringIsClassNull(const nlohmann::json& value);
    // The "%@" texts of each dictionary's value under `key`, joined with ",".
    static std::string getAllDataBeAString(const nlohmann::json& list, const std::string& key);
    // True when the extension, in lower case, is one the built-in file viewer opens.
    static bool isSupportFileType(const std::string& extension);
    // True when the signed-in teacher, student or parent belongs to no class.
    static bool isUnClassId();
    // Whole-text matches of the e-mail and mobile number patterns.
    static bool validateEmail(const std::string& text);
    static bool validateMobile(const std::string& text);
    // Stores the text under the defaults key, or removes the key when the text is empty;
    // then synchronizes the defaults.
    static void setField(const std::string& text, const std::string& key);

    // ---- Avatars, waiting animation, toasts, bar buttons --------------------------------
};
