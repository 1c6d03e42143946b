// Resources by id (voices, attachments), straight on the base address and without the
// service credentials: GET resource/<id>/download?token=<token>. The token is not
// checked here.
#include "sample_service/SampleService.h"

#include "platform/Files.h"

#include <map>

namespace sample_service {

namespace {

constexpr std::size_t kLargestResource = 32u * 1024 * 1024;

struct Resource {
    std::filesystem::path path;
    std::string contentType;
};

// A manifest path that stays inside the data folder: relative, without "..".
bool insideDataFolder(const std::filesystem::path& relative) {
    if (relative.empty() || relative.is_absolute() || relative.has_root_name()) return false;
    for (const auto& part : relative)
        if (part == "..") return false;
    return true;
}

}  // namespace

void addResourceRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    // resources.json: [{"id", "file" (relative to the data folder), "contentType"}]
    nlohmann::json manifest = readDataFile(dataDirectory, "resources.json");
    std::map<std::string, Resource> resources;
    if (manifest.is_array()) {
        for (const auto& entry : manifest) {
            if (!entry.is_object() || !entry.contains("id") || !entry["id"].is_string() || !entry.contains("file") ||
                !entry["file"].is_string())
                continue;
            std::filesystem::path file = entry["file"].get<std::string>();
            if (!insideDataFolder(file)) continue;
            resources[entry["id"].get<std::string>()] = {dataDirectory / file,
                                                         entry.value("contentType", "application/octet-stream")};
        }
    }

    service.route("GET", "resource/%@/download", [resources](const RecordedRequest& request) {
        auto found = resources.find(request.arguments.at(0));
        if (found != resources.end()) {
            if (auto bytes = platform::readFile(found->second.path, kLargestResource))
                return Reply::text(std::move(*bytes), found->second.contentType);
        }
        // What the service says of a resource it does not have: an ordinary reply whose
        // body is this text alone. The screens recognise it; the downloaders take it as
        // data, which is why it is not an error status.
        return Reply::text(kResourceNotFound, "text/plain; charset=utf-8");
    });
}

}  // namespace sample_service
