#pragma once

// What the notice screens share: the signed-in user, service addresses, the reading of
// list replies, the notice body's markup, file icons and the thumbnail cache in the
// defaults store.

#include "platform/HttpJsonRequestOperation.h"
#include "platform/Values.h"
#include "platform/ui/Color.h"
#include "platform/ui/HtmlTextView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class ViewController;
}

namespace notices {

using platform::Json;

// Light green of bands and chips, dark grey of labels, grey of screen backgrounds.
inline const platform::Color kBandGreen = platform::Color::rgba(0.976, 0.992, 0.969);
inline const platform::Color kLabelGrey = platform::Color::white(0.333);
inline const platform::Color kBackgroundGrey = platform::Color::white(0.961);
inline const platform::Color kChipBorder = platform::Color::rgba(0.851, 0.875, 0.843);

std::string currentUserId();
std::string currentRole();
bool isAdmin();
// The service address of a path under "services/norvo/".
std::string serviceUrl(const std::string& path);
// The format with each "%@" or "%d" replaced, in order, by the next argument.
std::string fill(std::string format, std::initializer_list<std::string> arguments);
std::string lowerCased(std::string text);

// A list reply: a JSON array whose every entry is a dictionary. Anything else (a
// dictionary, a text, a list holding numbers) is no list.
std::optional<Json> dictionaryList(const Json& reply);

// How a list request ended.
enum class LoadOutcome { Reply, Failed, Offline };

// GET (or another method) on a service address, run as a JSON request operation whose
// handlers run only while `owner` lives. Answers nothing and calls `ended` with Offline
// at once when the network is down. A reply that is not JSON, or comes with an error
// status, counts as Failed.
std::shared_ptr<platform::HttpJsonRequestOperation> requestJson(
    const std::weak_ptr<platform::ViewController>& owner, const std::string& method, const std::string& url,
    const Json& parameters, std::function<void(LoadOutcome outcome, const Json& reply)> ended, double timeout = 0);

// The notice body as the text view shows it: emoticon codes as pictures, the service's
// medal pictures from the application's copies, "</br>" lines as list items.
std::string noticeBodyMarkup(const std::string& content);
platform::HtmlTextOptions noticeTextOptions();

// The icon of a file attachment by its lower-case type.
std::string fileIconName(const std::string& lowerType);

// Thumbnails kept in the defaults store under the picture's id. Stored on the main
// thread; the defaults file is written once for all thumbnails that arrive within one
// turn of the run loop rather than once per picture.
std::optional<std::string> cachedThumbnail(const std::string& pictureId);
void storeThumbnail(const std::string& pictureId, const std::string& bytes);
// How often the store has written the defaults file for thumbnails (tests, benchmark).
int thumbnailWrites();

}  // namespace notices

namespace notices {
// The thumbnail of a picture ("resource/view/img_thumb/<id>?size=big|m&token=…" on the
// server root), fetched on a background thread unless one fetch of it is already under
// way; a picture is stored in the cache and handed to `done` on the main thread. Nothing
// that is no picture is stored or handed over.
void loadThumbnail(const std::string& pictureId, bool big, std::function<void(const std::string& bytes)> done);
}  // namespace notices
