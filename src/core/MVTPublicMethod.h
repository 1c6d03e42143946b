#pragma once

// Class-level operations used everywhere: the request factory and network state, file
// paths and caches, image scaling and tinting, time strings, validation, and the shared
// view helpers (avatars, waiting animation, toasts, bar buttons). Stateless: every
// operation is static.

#include "platform/HttpClient.h"
#include "platform/UrlRequest.h"
#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class AlertView;
class Button;
class Image;
class ImageView;
class View;
}  // namespace platform

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
    // folder when it is missing. A leading "/" of the name is dropped ("/attachs_7" gives
    // attachs_7.<type>); any other path separator becomes "_", and "." or ".." is spelled
    // with "_", so a name that came from the service can never point outside the cache.
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

    // -- Pictures. Safe on any thread, except imageViewWithColor and cleanCache (main).

    // Byte steps of the full-quality JPEG encoding that choose the upload quality.
    static constexpr std::size_t kUploadStep1 = 131072;
    static constexpr std::size_t kUploadStep2 = 262144;
    static constexpr std::size_t kUploadStep3 = 524288;
    static constexpr std::size_t kUploadStep4 = 1048576;
    // JPEG size above which a picture is scaled down before upload.
    static constexpr std::size_t kScaleLimit = 102400;
    // The quality to re-encode a picture at whose quality-1.0 JPEG is `length` bytes:
    // above 1 MiB 0.01, above 512 KiB 0.1, above 256 KiB 0.25, above 128 KiB 0.5;
    // nothing (keep the quality-1.0 data) at 128 KiB or less.
    static std::optional<double> jpegQualityForLength(std::size_t length);
    // JPEG data for upload: quality 1.0, re-encoded once at jpegQualityForLength when
    // that is large. Empty when the picture cannot be encoded.
    static std::string imageData(const std::shared_ptr<platform::Image>& image);
    // The factor both sides are scaled by when the quality-1.0 JPEG is `length` bytes:
    // 102,400 / length above the limit, nothing (keep the picture) at or below it.
    static std::optional<double> scaleFactorForLength(std::size_t length);
    // The picture itself when its quality-1.0 JPEG is small, else scaled down by
    // scaleFactorForLength.
    static std::shared_ptr<platform::Image> ScaleImage(const std::shared_ptr<platform::Image>& image);
    // The picture redrawn to exactly `size` points at scale 1.
    static std::shared_ptr<platform::Image> scale(const std::shared_ptr<platform::Image>& image,
                                                  platform::Size size);
    // A picture of `size` points at the screen's scale, filled with `color` where the
    // picture (stretched over it) is opaque: the picture's alpha times the colour.
    static std::shared_ptr<platform::Image> imageWithTintColor(const std::shared_ptr<platform::Image>& image,
                                                               const platform::Color& tintColor,
                                                               platform::Size imageSize);
    // An image view holding a 1 x 1 point picture of the colour (callers use its picture
    // as a stretchable button background).
    static std::shared_ptr<platform::ImageView> imageViewWithColor(const platform::Color& color);
    // Stores the picture as Documents/settingImage/<name>.png (PNG data, or JPEG at
    // quality 1.0 when no PNG can be made), replacing the old file atomically. Path
    // separators in the name become "_". True when the file was written.
    static bool saveBackGroudImage(const std::shared_ptr<platform::Image>& image, const std::string& fileName);
    // The resource "<name>.png" read from its file each time, never from the picture cache;
    // nullptr when there is none.
    static std::shared_ptr<platform::Image> newImageNotCached(const std::string& name);
    // Removes the Downloads folder and reports it in an alert titled "提示" with one
    // button "确定": "清除缓存成功", or the error's description as it stands. Nothing
    // happens, and no alert shows, when there is no Downloads folder. Answers the alert.
    static std::shared_ptr<platform::AlertView> cleanCache();

    // -- Interface texts. The string tables belong to the shell, which installs its lookup
    // here at start-up; until then (and in tests of this library alone) a text shows its
    // Chinese key, as a key missing from a table does.
    static void setTextLookup(std::function<std::string(const std::string&)> lookup);
    static std::string localizedText(const std::string& chineseKey);

    // ---- Avatars, waiting animation, toasts, bar buttons --------------------------------
    // Main thread only, except getFaceImage (any thread but the main one; it blocks).

    static constexpr int kWaitAnimationTag = 3333;
    // Seconds an avatar download may take before it is given up.
    static constexpr double kDefaultAvatarTimeout = 15.0;
    static double avatarTimeout();
    static void setAvatarTimeout(double seconds);
    // "default_teacher" for teacher, system and admin; "default_parent" for parent;
    // "avatar-group" for group; "default_student" for every other role.
    static std::string defaultFaceImageName(const std::string& role);

    // Shows the avatar cached in `path` when that file is fresh (7 days), not empty and a
    // picture: no download. Otherwise makes the view round, shows the role's default
    // picture and downloads the avatar of the user id in the view's accessibility hint on
    // the background queue (getFaceImage). The view is a Button (picture for the normal
    // state) or an ImageView.
    static void setFaceImage(const std::shared_ptr<platform::View>& view, const std::string& path,
                             const std::string& role);
    // Fetches "<base>account/<hint>/avatar?default=false" on the calling thread (at most
    // avatarTimeout() seconds). A picture is written to the cache file "<user id>.png"
    // (JPEG, quality 1.0, atomically) and handed to the main thread for the view, unless
    // the view is gone by then. Anything else changes nothing.
    static void getFaceImage(const std::weak_ptr<platform::View>& view);

    // Adds the waiting animation (a container with tag 3333 holding the animated picture
    // view with tag 1, and with `text` the label "加载中") to the view.
    static void showWaitAnimation(const std::shared_ptr<platform::View>& view, bool text);
    // True when the view or one of its descendants has tag 3333.
    static bool isShowingAnimation(const std::shared_ptr<platform::View>& view);
    // Stops and removes the first waiting animation found in the view.
    static void stopWaitAnimation(const std::shared_ptr<platform::View>& view);
    // Slides a green banner with the text in from above the view's top edge (1 s) and out
    // again (1 s), then removes it.
    static void showMessage(const std::string& text, const std::shared_ptr<platform::View>& view);

    // The standard back button (40 x 40, "backbt" / "backbt-press").
    static std::shared_ptr<platform::Button> navigationleftBarButton();
    // A 22 x 22 button showing the named picture.
    static std::shared_ptr<platform::Button> navigationrightBarButtonWithImage(const std::string& imageName);
    // A rounded text button for the right of a navigation bar; its label (white bold 14
    // points) is as wide as the title on one line, at most the screen width, and 60 points
    // for a title of 60 characters or more.
    static std::shared_ptr<platform::Button> navigationrightBarButton(const std::string& title);
};
