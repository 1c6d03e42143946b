#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// The body of a multipart/form-data request: text fields and file parts, in the order
// they were added.
class HttpMultipartForm {
public:
    struct Part {
        std::string name;
        std::string fileName;     // empty for a text field
        std::string contentType;  // empty for a text field
        std::string bytes;
    };

    void appendPart(const std::string& name, const std::string& text);
    void appendPart(const std::string& name, const std::string& fileName, const std::string& contentType,
                    std::string bytes);
    // Reads the file now. False (and nothing added) when it cannot be read or is larger
    // than `maxBytes`.
    bool appendPartWithFile(const std::string& name, const std::filesystem::path& path, const std::string& fileName,
                            const std::string& contentType, std::size_t maxBytes = 256u * 1024 * 1024);

    const std::vector<Part>& parts() const { return parts_; }

    // The boundary is chosen so that it occurs in no part. Quotes and line breaks in names
    // and file names are escaped so that a name cannot break out of its header line.
    std::string boundary();
    std::string contentType();  // "multipart/form-data; boundary=..."
    std::string body();

private:
    std::vector<Part> parts_;
    std::string boundary_;
};

}  // namespace platform
