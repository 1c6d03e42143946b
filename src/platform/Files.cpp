#include "platform/Files.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

std::optional<std::string> readFile(const fs::path& path, std::size_t maxBytes) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    auto size = fs::file_size(path, ec);
    if (ec || size > maxBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool writeFileAtomically(const fs::path& path, const std::string& bytes) {
    static std::atomic<unsigned> counter{0};
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
    fs::path temp = path;
    temp += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool fileExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

fs::path makeTemporaryFolder(const std::string& prefix) {
    std::random_device rd;
    std::error_code ec;
    for (;;) {
        auto candidate = fs::temp_directory_path() /
                         (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
        if (fs::create_directories(candidate, ec)) return candidate;
    }
}

}  // namespace platform
