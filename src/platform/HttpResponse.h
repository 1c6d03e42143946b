#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Why an exchange failed.
struct HttpError {
    enum class Kind {
        BadUrl,          // the URL could not be used (malformed, or not http/https)
        Network,         // no connection, connection lost, nothing readable came back
        Timeout,         // connecting, or data moving, stopped for longer than the request's timeout
        HttpStatus,      // the service answered with a status of 400 or more
        TooLarge,        // the reply body was larger than the operation accepts
        BadContentType,  // a JSON operation got a reply of another content type
        BadJson,         // a JSON operation could not parse the reply
        File,            // a file of the body could not be read, or the reply could not be
                         // written to its file
    };
    Kind kind = Kind::Network;
    int statusCode = 0;  // the HTTP status when one came back, else 0
    std::string message;
};

// What came back: the final status, the header fields of the last response (in order,
// names as sent), the body, and the error when the exchange failed.
struct HttpResponse {
    int statusCode = 0;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::optional<HttpError> error;

    bool ok() const { return !error; }
    // Empty when absent; names compared without regard to case.
    std::string header(const std::string& name) const;
};

// Largest reply body an operation reads into memory unless told otherwise (64 MiB). A reply
// written to a file is bounded by the free space instead.
inline constexpr std::size_t kDefaultMaxResponseBytes = 64u * 1024 * 1024;

}  // namespace platform
