#include "platform/PhotoLibrary.h"

#include "platform/UrlEncoding.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>

namespace platform {

namespace {

constexpr const char* kScheme = "assets-library://asset/asset.";

std::string extensionOf(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    return ext;
}

}  // namespace

AssetRepresentation::AssetRepresentation(std::filesystem::path path) : path_(std::move(path)) {}

std::string AssetRepresentation::url() const { return PhotoLibrary::urlForAsset(path_); }

std::string AssetRepresentation::filename() const { return path_.filename().string(); }

long long AssetRepresentation::size() const {
    std::error_code ec;
    auto bytes = std::filesystem::file_size(path_, ec);
    return ec ? 0 : static_cast<long long>(bytes);
}

std::size_t AssetRepresentation::getBytes(std::uint8_t* buffer, long long offset, std::size_t length,
                                          std::string* error) const {
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot read " + path_.string();
        return 0;
    }
    in.seekg(offset);
    if (!in) return 0;
    in.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(length));
    return static_cast<std::size_t>(in.gcount());
}

std::string PhotoLibrary::urlForAsset(const std::filesystem::path& path) {
    std::string ext = extensionOf(path);
    return std::string(kScheme) + ext + "?id=" + percentEscape(path.string()) + "&ext=" + ext;
}

std::shared_ptr<AssetRepresentation> PhotoLibrary::assetForURL(const std::string& url, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return std::shared_ptr<AssetRepresentation>();
    };
    if (url.rfind(kScheme, 0) != 0) return fail("not an asset address: " + url);
    auto id = url.find("?id=");
    if (id == std::string::npos) return fail("no asset id in " + url);
    auto end = url.find('&', id + 4);
    std::filesystem::path path = percentDecode(url.substr(id + 4, end == std::string::npos ? std::string::npos : end - id - 4));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return fail("asset not found: " + path.string());
    return std::make_shared<AssetRepresentation>(path);
}

std::vector<std::filesystem::path> PhotoLibrary::assetsInFolder(const std::filesystem::path& folder) {
    static const std::vector<std::string> kPictureExtensions = {"JPG", "JPEG", "PNG", "GIF", "BMP",
                                                                "MOV", "MP4", "M4V", "3GP"};
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const auto ext = extensionOf(it->path());
        if (it->is_regular_file(ec) &&
            std::find(kPictureExtensions.begin(), kPictureExtensions.end(), ext) != kPictureExtensions.end())
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace platform
