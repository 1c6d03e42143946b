#pragma once

// Pictures for image views from http(s) addresses: the view shows a placeholder at once
// and the picture once it has arrived. Fetched pictures stay in a memory cache of their
// own, so a second view of one address is served without a request, and one address is
// fetched once however many views wait for it. Main thread only.

#include "platform/ui/Image.h"

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

class ImageView;

class ImageLoader {
public:
    // Replies above this size are dropped.
    static constexpr std::size_t kMaxPictureBytes = 8 * 1024 * 1024;
    // Pictures kept in the memory cache; the oldest goes first.
    static constexpr std::size_t kCacheEntries = 200;

    // setImageWithURL:placeholderImage: the placeholder now, the picture of `url` when it
    // has come. Only http and https addresses are fetched; anything else, a failed fetch or
    // a reply that is no picture leaves the placeholder. A later call for the same view
    // replaces the earlier one: the earlier picture no longer reaches the view.
    static void setImageWithURL(const std::shared_ptr<ImageView>& view, const std::string& url, ImageRef placeholder);

    // The cached picture of `url`, if any.
    static ImageRef cachedImage(const std::string& url);
    // Empties the cache (tests).
    static void clearCache();
};

}  // namespace platform
