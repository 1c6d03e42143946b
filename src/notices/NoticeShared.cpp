#include "notices/NoticeShared.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "feed/PostKindRenderer.h"
#include "feed/PostRecord.h"

#include "platform/RunLoop.h"
#include "platform/UserDefaults.h"
#include "platform/ui/ViewController.h"

#include <algorithm>
#include <cctype>
#include <regex>

using namespace platform;

namespace notices {

std::string currentUserId() { return MVTAccount::sharedInstance().userId().value_or(""); }

std::string currentRole() { return MVTAccount::sharedInstance().role().value_or(""); }

bool isAdmin() { return currentRole() == "admin"; }

std::string serviceUrl(const std::string& path) { return ServiceAddress::servicePrefix() + path; }

std::string fill(std::string format, std::initializer_list<std::string> arguments) {
    return post::fill(std::move(format), arguments);
}

std::string lowerCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::optional<Json> dictionaryList(const Json& reply) {
    if (!reply.is_array()) return std::nullopt;
    for (const auto& entry : reply)
        if (!entry.is_object()) return std::nullopt;
    return reply;
}

std::shared_ptr<HttpJsonRequestOperation> requestJson(const std::weak_ptr<ViewController>& owner,
                                                      const std::string& method, const std::string& url,
                                                      const Json& parameters,
                                                      std::function<void(LoadOutcome, const Json&)> ended,
                                                      double timeout) {
    auto request = MVTPublicMethod::requestWithMethod(method, url, parameters);
    if (!request) {
        ended(LoadOutcome::Offline, Json());
        return nullptr;
    }
    if (timeout > 0) request->setTimeoutInterval(timeout);
    auto shared = std::make_shared<std::function<void(LoadOutcome, const Json&)>>(std::move(ended));
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [owner, shared](HttpJsonRequestOperation&, const Json& json) {
            if (owner.lock()) (*shared)(LoadOutcome::Reply, json);
        },
        [owner, shared](HttpRequestOperation&, const HttpError&) {
            if (owner.lock()) (*shared)(LoadOutcome::Failed, Json());
        });
    operation->start();
    return operation;
}

namespace {

// The service's medal pictures are shown from the application's own copies.
std::string replaceMedalPictures(const std::string& text) {
    static const std::regex medal(
        R"re(<img src="http://[\w.]*[/\w]*/static/images/honor/honor_(\w*).gif" class="honor-icon"/>)re");
    return std::regex_replace(text, medal,
                              "<img style=\"vertical-align:text-bottom;\" src='honor_$1.gif' width=32 height=32/>");
}

}  // namespace

std::string noticeBodyMarkup(const std::string& content) {
    // Emoticons and medals do not overlap, so the medal step may come first; the feed's
    // conversion then turns the codes into pictures and the lines into list items.
    post::TextConversion conversion;
    conversion.faceSize = 16;
    return post::convertText(replaceMedalPictures(content), Json::object(), conversion);
}

HtmlTextOptions noticeTextOptions() {
    HtmlTextOptions options = postTextOptions(1.2, 1.0);
    options.maxImageWidth = 36;
    options.maxImageHeight = 36;
    return options;
}

std::string fileIconName(const std::string& type) {
    static const std::pair<std::vector<const char*>, const char*> icons[] = {
        {{"text", "txt"}, "text.png"},
        {{"zip", "rar"}, "zip.png"},
        {{"doc", "doct", "docx"}, "word.png"},
        {{"ppt", "pptx"}, "ppt.png"},
        {{"image", "png", "jpg", "bmp", "gif", "tif", "pcx", "tga", "ico", "tiff", "jpeg"}, "picture.png"},
        {{"excel", "xlsx", "xls"}, "excel.png"},
    };
    for (const auto& [types, icon] : icons)
        for (const char* candidate : types)
            if (type == candidate) return icon;
    return "link.png";
}

namespace {

struct ThumbnailWrites {
    bool pending = false;
    int writes = 0;
    Json values = Json::object();
};

ThumbnailWrites& thumbnailState() {
    static ThumbnailWrites state;
    return state;
}

}  // namespace

std::optional<std::string> cachedThumbnail(const std::string& pictureId) {
    auto& state = thumbnailState();
    if (state.values.contains(pictureId)) return base64Decode(state.values[pictureId]["$data"].get<std::string>());
    auto bytes = UserDefaults::standard().dataForKey(pictureId);
    if (bytes && bytes->empty()) return std::nullopt;
    return bytes;
}

void storeThumbnail(const std::string& pictureId, const std::string& bytes) {
    auto& state = thumbnailState();
    state.values[pictureId] = Json{{"$data", base64Encode(bytes)}};
    if (state.pending) return;
    state.pending = true;
    dispatchMain([] {
        auto& pending = thumbnailState();
        UserDefaults::standard().setObjects(pending.values);
        pending.values = Json::object();
        pending.pending = false;
        ++pending.writes;
    });
}

int thumbnailWrites() { return thumbnailState().writes; }

}  // namespace notices

#include "platform/BackgroundQueue.h"
#include "platform/HttpEngine.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Image.h"
#include "shell/MVTAppDelegate.h"

#include <map>
#include <vector>

namespace notices {

namespace {
constexpr std::size_t kLargestThumbnail = 4u * 1024 * 1024;
constexpr double kThumbnailTimeout = 20;

std::map<std::string, std::vector<std::function<void(const std::string&)>>>& thumbnailsInFlight() {
    static std::map<std::string, std::vector<std::function<void(const std::string&)>>> waiting;
    return waiting;
}
}  // namespace

void loadThumbnail(const std::string& pictureId, bool big, std::function<void(const std::string& bytes)> done) {
    auto& waiting = thumbnailsInFlight();
    auto found = waiting.find(pictureId);
    if (found != waiting.end()) {
        found->second.push_back(std::move(done));
        return;
    }
    waiting[pictureId].push_back(std::move(done));
    const std::string url = ServiceAddress::baseUrl() + "resource/view/img_thumb/" + percentEscape(pictureId) +
                            "?size=" + (big ? "big" : "m") + "&token=" +
                            MVTAppDelegate::sharedAppDelegate()->getTokenWith(pictureId);
    dispatchBackground([url, pictureId] {
        UrlRequest request(url);
        request.setTimeoutInterval(kThumbnailTimeout);
        HttpResponse response = HttpEngine::shared().fetch(request, kLargestThumbnail);
        std::string bytes;
        if (response.ok() && !response.body.empty() && Image::imageWithData(response.body)) bytes = response.body;
        dispatchMain([pictureId, bytes] {
            auto handlers = std::move(thumbnailsInFlight()[pictureId]);
            thumbnailsInFlight().erase(pictureId);
            if (bytes.empty()) return;
            storeThumbnail(pictureId, bytes);
            for (auto& handler : handlers) handler(bytes);
        });
    });
}

}  // namespace notices
