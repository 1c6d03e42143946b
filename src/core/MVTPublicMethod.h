#pragma once

// Class-level operations used everywhere: the request factory and network state, file
// paths and caches, image scaling and tinting, time strings, validation, and the shared
// view helpers (avatars, waiting animation, toasts, bar buttons). Stateless: every
// operation is static.

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

class MVTPublicMethod {
public:
    MVTPublicMethod() = delete;

    // ---- Requests and network state -------------------------------------------------

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
