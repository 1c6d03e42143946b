#pragma once

#include "platform/ui/Image.h"

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// The saved-photos album stand-in: a folder under the app's home ("home/Media/SavedPhotos")
// where saved pictures land as numbered PNG files. Main thread.
class SavedPhotosAlbum {
public:
    SavedPhotosAlbum() = delete;

    static std::filesystem::path folder();
    // Writes the picture as the next "IMG_NNNN.png"; true only when the whole file was
    // written (false for no picture, a picture that does not encode, or a failed write).
    static bool writeImage(const ImageRef& image);
    // The saved files, oldest first.
    static std::vector<std::filesystem::path> savedFiles();
};

}  // namespace platform
