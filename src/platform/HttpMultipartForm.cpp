#include "platform/HttpMultipartForm.h"

#include "platform/Files.h"

#include <random>

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
    parts_.push_back({name, {}, {}, text});
}

void HttpMultipartForm::appendPart(const std::string& name, const std::string& fileName,
                                   const std::string& contentType, std::string bytes) {
    parts_.push_back({name, fileName, contentType.empty() ? "application/octet-stream" : contentType,
                      std::move(bytes)});
}

bool HttpMultipartForm::appendPartWithFile(const std::string& name, const std::filesystem::path& path,
                                           const std::string& fileName, const std::string& contentType,
                                           std::size_t maxBytes) {
    auto bytes = readFile(path, maxBytes);
    if (!bytes) return false;
    appendPart(name, fileName.empty() ? path.filename().string() : fileName, contentType, std::move(*bytes));
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

std::string HttpMultipartForm::body() {
    const std::string mark = "--" + boundary();
    std::string out;
    for (const auto& part : parts_) {
        out += mark + "\r\n";
        out += "Content-Disposition: form-data; name=\"" + quoted(part.name) + "\"";
        if (!part.fileName.empty() || !part.contentType.empty()) {
            out += "; filename=\"" + quoted(part.fileName) + "\"\r\n";
            out += "Content-Type: " + singleLine(part.contentType);
        }
        out += "\r\n\r\n";
        out += part.bytes;
        out += "\r\n";
    }
    out += mark + "--\r\n";
    return out;
}

}  // namespace platform
