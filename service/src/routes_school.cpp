// The school's advert and the reaction lists of the sample school (service/data/school-circle.json):
//   GET  services/norvo/<school>/advertisement/new        "role": the adverts for that role:
//        a banner for everyone ("picSize" 1) and an overlay ("picSize" 0) for parents only
//   GET  services/norvo/relative/<user>/message/<page>    the items that mention the user,
//        14 a page (so that a full page reads as the last), page numbers from 1
//   GET  services/norvo/comment/<user>/message/<page>     the comments on the user's items
//   GET  services/norvo/user/<user>/<module>/<id>/message  one item as a post dictionary:
//        a post of the feed as the feed shows it, else the item of another module
//   GET  services/norvo/user/<user>/<module>/<id>/praise   praise of an item of another
//        module ("feed" goes to the feed's own praise)
//   GET  resource/<id>/download                           also the advert pictures
//        (resources/school/<id>.png)
#include "FeedStore.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>

namespace sample_service {

namespace {

constexpr std::size_t kSchoolPageSize = 14;
constexpr std::size_t kLargestAdvertPicture = 4u * 1024 * 1024;

long long schoolNumber(const std::string& text) {
    try {
        return std::stoll(text);
    } catch (...) {
        return 0;
    }
}

bool schoolPlainName(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.size() > 80) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'; });
}

// "{base}" in link addresses becomes the service's base address.
nlohmann::json withBaseLinks(nlohmann::json item, const std::string& baseUrl) {
    if (item.contains("links") && item["links"].is_array())
        for (auto& link : item["links"]) {
            std::string url = link.value("url", "");
            if (url.rfind("{base}", 0) == 0) link["url"] = baseUrl + url.substr(6);
        }
    if (item.contains("url") && item["url"].is_string()) {
        std::string url = item["url"].get<std::string>();
        if (url.rfind("{base}", 0) == 0) item["url"] = baseUrl + url.substr(6);
    }
    return item;
}

// Page <page> (from 1) of a list.
nlohmann::json pageOf(const nlohmann::json& list, long long page, const std::string& baseUrl) {
    nlohmann::json reply = nlohmann::json::array();
    if (!list.is_array() || page < 1) return reply;
    const std::size_t from = std::size_t(page - 1) * kSchoolPageSize;
    for (std::size_t i = from; i < list.size() && i < from + kSchoolPageSize; ++i)
        reply.push_back(withBaseLinks(list[i], baseUrl));
    return reply;
}

struct SchoolCircleData {
    nlohmann::json adverts = nlohmann::json::array();
    nlohmann::json mentions = nlohmann::json::array();
    nlohmann::json commentsOnMe = nlohmann::json::array();
    nlohmann::json items = nlohmann::json::object();
    // Praisers of items of other modules by "<module>/<id>".
    std::map<std::string, std::set<std::string>> praisers;
    std::mutex mutex;
};

}  // namespace

void addSchoolCircleRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto data = std::make_shared<SchoolCircleData>();
    const nlohmann::json file = readDataFile(dataDirectory, "school-circle.json");
    if (file.is_object()) {
        auto listAt = [&](const char* key) {
            return file.contains(key) && file[key].is_array() ? file[key] : nlohmann::json::array();
        };
        data->adverts = listAt("adverts");
        data->mentions = listAt("mentions");
        data->commentsOnMe = listAt("commentsOnMe");
        if (file.contains("items") && file["items"].is_object()) data->items = file["items"];
    }
    auto store = FeedStore::of(service, dataDirectory);
    const std::filesystem::path pictures = dataDirectory / "resources" / "school";

    service.route("GET", "services/norvo/%@/advertisement/new", [&service, data](const RecordedRequest& request) {
        const std::string role = request.queryValue("role").value_or("");
        nlohmann::json reply = nlohmann::json::array();
        for (const auto& advert : data->adverts) {
            const std::string forRole = advert.value("forRole", "");
            if (!forRole.empty() && forRole != role) continue;
            nlohmann::json shown = withBaseLinks(advert, service.baseUrl());
            shown.erase("forRole");
            reply.push_back(shown);
        }
        return Reply::json(reply);
    });

    service.route("GET", "services/norvo/relative/%@/message/%@", [&service, data](const RecordedRequest& request) {
        return Reply::json(pageOf(data->mentions, schoolNumber(request.arguments.at(1)), service.baseUrl()));
    });

    service.route("GET", "services/norvo/comment/%@/message/%@", [&service, data](const RecordedRequest& request) {
        return Reply::json(pageOf(data->commentsOnMe, schoolNumber(request.arguments.at(1)), service.baseUrl()));
    });

    service.route("GET", "services/norvo/user/%@/%@/%@/message",
                  [&service, data, store](const RecordedRequest& request) {
                      const std::string userId = request.arguments.at(0), module = request.arguments.at(1),
                                        id = request.arguments.at(2);
                      if (module == "feed") {
                          std::lock_guard guard(store->mutex);
                          const nlohmann::json* post = store->find(schoolNumber(id));
                          if (!post) return Reply::json(nlohmann::json::object());
                          return Reply::json(store->present(*post, userId, service.baseUrl()));
                      }
                      std::lock_guard guard(data->mutex);
                      const std::string key = module + "/" + id;
                      if (!data->items.contains(key)) return Reply::json(nlohmann::json::object());
                      nlohmann::json item = withBaseLinks(data->items[key], service.baseUrl());
                      const auto& praisers = data->praisers[key];
                      item["likeCount"] = std::to_string(praisers.size());
                      item["love"] = praisers.count(userId) ? "1" : "0";
                      return Reply::json(item);
                  });

    auto feedPraise = service.handlerFor("GET", "services/norvo/user/%@/feed/%@/praise");
    service.route("GET", "services/norvo/user/%@/%@/%@/praise", [data, feedPraise](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0), module = request.arguments.at(1),
                          id = request.arguments.at(2);
        if (module == "feed" && feedPraise) {
            RecordedRequest forFeed = request;
            forFeed.arguments = {userId, id};
            return feedPraise(forFeed);
        }
        std::lock_guard guard(data->mutex);
        auto& praisers = data->praisers[module + "/" + id];
        if (praisers.count(userId))
            return Reply::json({{"success", 0}, {"message", "已经赞过了，不能再赞了"}, {"count", praisers.size()}});
        praisers.insert(userId);
        return Reply::json({{"success", 1}, {"message", ""}, {"count", praisers.size()}, {"love", 1}});
    });

    // The advert pictures; every other resource as the routes before have it.
    auto resources = service.handlerFor("GET", "resource/%@/download");
    service.route("GET", "resource/%@/download", [pictures, resources](const RecordedRequest& request) {
        const std::string id = request.arguments.at(0);
        if (id.rfind("ad", 0) == 0 && schoolPlainName(id)) {
            if (auto bytes = platform::readFile(pictures / (id + ".png"), kLargestAdvertPicture))
                return Reply::text(std::move(*bytes), "image/png");
        }
        return resources ? resources(request) : Reply::text("", "text/plain", 404);
    });
}

}  // namespace sample_service
