#include "platform/HttpMultipartForm.h"

#include <fstream>
#include <random>
#include <system_error>

namespace platform {

namespace {

std::string randomBoundary() {
    static const char* digits = "0123456789abcdef";
    std::random_device device;
    std::mt19937_64 generator((static_cast<unsigned long long>(device()) << 32) ^ device());
    unsigned long long value = generator();
    std::string text = "Boundary+";
    for (int i = 0; i < 16; ++i, value >>= 4) text += digits[value & 15];
    return text;
}

// Header parameter value: '"' and line breaks escaped as browsers do.
std::string quoted(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"') out += "%22";
        else if (c == '\r') out += "%0D";
        else if (c == '\n') out += "%0A";
        else out += c;
    }
    return out;
}

std::string singleLine(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

}  // namespace

void HttpMultipartForm::appendPart(const std::string& name, const std::string& text) {
    parts_.push_back({name, {}, {}, text, {}, 0});
}

void HttpMultipartForm::appendPart(const std::string& name, const std::string& fileName,
                                   const std::string& contentType, std::string bytes) {
    parts_.push_back({name, fileName, contentType.empty() ? "application/octet-stream" : contentType,
                      std::move(bytes), {}, 0});
}

bool HttpMultipartForm::appendPartWithFile(const std::string& name, const std::filesystem::path& path,
                                           const std::string& fileName, const std::string& contentType,
                                           std::uintmax_t maxBytes) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > maxBytes || !std::ifstream(path, std::ios::binary)) return false;
    appendPart(name, fileName.empty() ? path.filename().string() : fileName, contentType, {});
    parts_.back().file = path;
    parts_.back().fileSize = size;
    return true;
}

std::string HttpMultipartForm::boundary() {
    auto clashes = [this](const std::string& candidate) {
        for (const auto& part : parts_)
            if (part.bytes.find(candidate) != std::string::npos) return true;
        return false;
    };
    while (boundary_.empty() || clashes(boundary_)) boundary_ = randomBoundary();
    return boundary_;
}

std::string HttpMultipartForm::contentType() { return "multipart/form-data; boundary=" + boundary(); }

std::shared_ptr<HttpBodyStream> HttpMultipartForm::bodyStream() {
    const std::string mark = "--" + boundary();
    auto body = std::make_shared<HttpBodyStream>();
    for (const auto& part : parts_) {
        std::string head = mark + "\r\n";
        head += "Content-Disposition: form-data; name=\"" + quoted(part.name) + "\"";
        if (!part.fileName.empty() || !part.contentType.empty()) {
            head += "; filename=\"" + quoted(part.fileName) + "\"\r\n";
            head += "Content-Type: " + singleLine(part.contentType);
        }
        head += "\r\n\r\n";
        body->appendBytes(head);
        if (part.file.empty())
            body->appendBytes(part.bytes);
        else
            body->appendFile(part.file, part.fileSize);
        body->appendBytes("\r\n");
    }
    body->appendBytes(mark + "--\r\n");
    return body;
}

}  // namespace platform
