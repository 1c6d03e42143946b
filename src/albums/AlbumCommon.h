#pragma once

// What the album screens share: the album picture cache in the documents folder, the
// background loaders of thumbnails and full pictures, and reading album and photo records.

#include "platform/Values.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {
class Button;
class Image;
class ImageView;
class NavigationItem;
}  // namespace platform

namespace albums {

// "%@" text of a record's value.
std::string text(const platform::Json& record, const std::string& key);
// A value is missing when its "%@" text is "", "<null>" or "(null)".
bool isMissing(const platform::Json& record, const std::string& key);
// The picture of an album or photo: "resourceId", else "rId"; "" when both are missing.
std::string pictureIdOf(const platform::Json& record);

// Documents/"album"<id>: the size-m thumbnail of a cover or grid photo. "" for an id that
// may not name a file.
std::string thumbnailFile(const std::string& resourceId);
// Documents/<moduleId>: the full picture. "" for an id that may not name a file.
std::string fullPictureFile(const std::string& moduleId);
// Reads a cached picture; nullptr when absent or no picture.
std::shared_ptr<platform::Image> cachedPicture(const std::string& file);

// Base address + "resource/view/img_thumb/<id>?size=<size>&token=...".
std::string thumbnailPath(const std::string& resourceId, const std::string& size);
// Base address + "resource/<id>/download?token=...".
std::string downloadPath(const std::string& moduleId);

// Fetches `path` (on the base address) on a background thread. Only bytes that decode as
// a picture count: they are written atomically to `cacheFile` (when given and not there
// yet) and the picture is handed to `done` on the main thread; otherwise `done` gets
// nullptr and nothing is written.
void fetchPicture(const std::string& path, const std::string& cacheFile,
                  std::function<void(std::shared_ptr<platform::Image>)> done);

// Shows on `view` the thumbnail of `resourceId`: from its cache file at once, else
// fetched (size m) in the background and set only if the view's hint still names the id
// then. The view's hint is set to the id.
void showThumbnail(const std::shared_ptr<platform::ImageView>& view, const std::string& resourceId);

// The album lists' "+": a 44-point clear holder on the right of the bar with the button
// (picture "add_nor_org", insets 10) at x 8, running `action`.
std::shared_ptr<platform::Button> setAddBarButton(platform::NavigationItem& item, std::function<void()> action);

}  // namespace albums
