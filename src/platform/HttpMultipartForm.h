#pragma once

#include "platform/HttpBodyStream.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The body of a multipart/form-data request: text fields and file parts, in the order
// they were added. A part taken from a file keeps only the file's name and size; its
// bytes are read from the file while the request is sent.
class HttpMultipartForm {
public:
    struct Part {
        std::string name;
        std::string fileName;     // empty for a text field
        std::string contentType;  // empty for a text field
        std::string bytes;        // empty for a part taken from a file
        std::filesystem::path file;
        std::uintmax_t fileSize = 0;
    };

    void appendPart(const std::string& name, const std::string& text);
    void appendPart(const std::string& name, const std::string& fileName, const std::string& contentType,
                    std::string bytes);
    // False (and nothing added) when the file cannot be read or is larger than `maxBytes`.
    // The file name is the file's own when `fileName` is empty.
    bool appendPartWithFile(const std::string& name, const std::filesystem::path& path, const std::string& fileName,
                            const std::string& contentType, std::uintmax_t maxBytes = 256u * 1024 * 1024);

    const std::vector<Part>& parts() const { return parts_; }

    // The boundary occurs in no part held in memory; against the bytes of files, which are
    // not read here, its 64 random bits stand guard. Quotes and line breaks in names and
    // file names are escaped so that a name cannot break out of its header line.
    std::string boundary();
    std::string contentType();  // "multipart/form-data; boundary=..."
    std::shared_ptr<HttpBodyStream> bodyStream();

private:
    std::vector<Part> parts_;
    std::string boundary_;
};

}  // namespace platform
