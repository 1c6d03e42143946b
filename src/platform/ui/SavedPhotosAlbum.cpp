#include "platform/ui/SavedPhotosAlbum.h"

#include "platform/Files.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cstdio>

namespace platform {

std::filesystem::path SavedPhotosAlbum::folder() { return Paths::home() / "Media" / "SavedPhotos"; }

std::vector<std::filesystem::path> SavedPhotosAlbum::savedFiles() {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder(), ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == ".png") files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool SavedPhotosAlbum::writeImage(const ImageRef& image) {
    if (!image) return false;
    std::string bytes = image->pngData();
    if (bytes.empty()) return false;
    // The next number after the highest one there (names sort by their number).
    int next = 1;
    for (const auto& file : savedFiles()) {
        int number = 0;
        if (std::sscanf(file.filename().string().c_str(), "IMG_%d.png", &number) == 1) next = std::max(next, number + 1);
    }
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.png", next);
    return writeFileAtomically(folder() / name, bytes);
}

}  // namespace platform
