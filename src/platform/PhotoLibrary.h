#pragma once

// The photo library stand-in: assets are files picked from disk. An asset is named by its
// file path; its default representation has an address of the form
// "assets-library://asset/asset.<EXT>?id=<escaped path>&ext=<EXT>", its file name, its size
// and its bytes, read in pieces from any offset.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class AssetRepresentation {
public:
    explicit AssetRepresentation(std::filesystem::path path);
    std::string url() const;
    std::string filename() const;
    long long size() const;
    // Copies up to `length` bytes from `offset` into `buffer`; the count copied (0 at the
    // end of the data or when it cannot be read, with `error` filled in that case).
    std::size_t getBytes(std::uint8_t* buffer, long long offset, std::size_t length, std::string* error) const;

private:
    std::filesystem::path path_;
};

class PhotoLibrary {
public:
    PhotoLibrary() = delete;
    // The address of the default representation of the asset at `path`.
    static std::string urlForAsset(const std::filesystem::path& path);
    // The asset an address names; nullptr (and `error` filled) when the address is not one
    // of ours or the file is gone.
    static std::shared_ptr<AssetRepresentation> assetForURL(const std::string& url, std::string* error);
    // The picture and movie files of a folder (by extension: jpg, jpeg, png, gif, bmp, mov,
    // mp4, m4v, 3gp), by name, for a host that feeds the library from a folder; empty when
    // the folder cannot be read.
    static std::vector<std::filesystem::path> assetsInFolder(const std::filesystem::path& folder);
    // The environment variable naming another folder than the home's own.
    static constexpr const char* kFolderVariable = "TIRRA_PHOTO_LIBRARY";
    // The library's folder under the home folder.
    static constexpr const char* kHomeFolder = "Media/PhotoLibrary";
};

}  // namespace platform
