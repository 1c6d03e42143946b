// Posts: publishing a post of the class circle. The multipart body is kept (the request
// record holds its parts) and the answer is the new post's number, a text that is not 0.
#include "sample_service/SampleService.h"

#include <atomic>
#include <memory>
#include <string>

namespace sample_service {

void addPostRoutes(SampleService& service) {
    auto nextId = std::make_shared<std::atomic<long long>>(1);
    service.route("POST", "services/norvo/postMessage/essay/%@/publish", [nextId](const RecordedRequest& request) {
        if (request.arguments.empty() || request.arguments[0].empty() || request.parts.empty())
            return Reply::text("0");
        return Reply::text(std::to_string(nextId->fetch_add(1)));
    });
}

}  // namespace sample_service
