// Configuration: the newest published version of the app.
#include "sample_service/SampleService.h"

namespace sample_service {

void addConfigRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    nlohmann::json version = readDataFile(dataDirectory, "version.json");
    service.route("GET", "services/norvo/config/iphone-version", [&service, version](const RecordedRequest&) {
        if (!version.is_object()) return Reply::json(nlohmann::json::object());
        nlohmann::json reply = {{"version", version.value("version", "")},
                                {"force", version.value("force", 0)},
                                {"info", version.value("info", "")}};
        // The download page lives on the service itself, wherever it runs.
        reply["url"] = service.baseUrl() + version.value("downloadPath", "download/");
        return Reply::json(reply);
    });
}

}  // namespace sample_service
