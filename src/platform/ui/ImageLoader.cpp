#include "platform/ui/ImageLoader.h"

#include "platform/HttpRequestOperation.h"
#include "platform/ui/ImageView.h"

#include <algorithm>
#include <deque>
#include <map>
#include <vector>

namespace platform {

namespace {

struct ImageLoaderState {
    std::map<std::string, ImageRef> cache;
    std::deque<std::string> order;  // cached addresses, oldest first
    // Views waiting for a fetch in flight, by address.
    std::map<std::string, std::vector<std::pair<std::weak_ptr<ImageView>, const ImageView*>>> waiting;
    // The address each waiting view asked for last.
    std::map<const ImageView*, std::string> wanted;
};

ImageLoaderState& loaderState() {
    static ImageLoaderState state;
    return state;
}

bool isWebAddress(const std::string& url) {
    std::string scheme = url.substr(0, url.find(':'));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return (scheme == "http" || scheme == "https") && url.size() > scheme.size() + 3 &&
           url.compare(scheme.size(), 3, "://") == 0;
}

void remember(const std::string& url, const ImageRef& image) {
    auto& state = loaderState();
    if (state.cache.emplace(url, image).second) state.order.push_back(url);
    while (state.order.size() > ImageLoader::kCacheEntries) {
        state.cache.erase(state.order.front());
        state.order.pop_front();
    }
}

// Hands the outcome of a fetch to the views still waiting for that address.
void fetchEnded(const std::string& url, const ImageRef& image) {
    auto& state = loaderState();
    auto found = state.waiting.find(url);
    if (found == state.waiting.end()) return;
    const auto views = std::move(found->second);
    state.waiting.erase(found);
    for (const auto& [weak, address] : views) {
        auto view = weak.lock();
        if (!view) {
            // A view gone while it waited leaves no claim behind, unless a live view at the
            // same address waits for this picture too.
            const bool reused = std::any_of(views.begin(), views.end(), [address](const auto& entry) {
                return entry.second == address && !entry.first.expired();
            });
            auto stale = state.wanted.find(address);
            if (!reused && stale != state.wanted.end() && stale->second == url) state.wanted.erase(stale);
            continue;
        }
        auto wanted = state.wanted.find(view.get());
        if (wanted == state.wanted.end() || wanted->second != url) continue;
        state.wanted.erase(wanted);
        if (image) view->setImage(image);
    }
}

}  // namespace

void ImageLoader::setImageWithURL(const std::shared_ptr<ImageView>& view, const std::string& url, ImageRef placeholder) {
    if (!view) return;
    auto& state = loaderState();
    state.wanted.erase(view.get());
    if (auto cached = cachedImage(url)) {
        view->setImage(cached);
        return;
    }
    view->setImage(std::move(placeholder));
    if (!isWebAddress(url)) return;
    state.wanted[view.get()] = url;
    auto& waiting = state.waiting[url];
    waiting.emplace_back(view, view.get());
    if (waiting.size() > 1) return;  // a fetch of this address is already under way

    UrlRequest request(url);
    auto operation = HttpRequestOperation::operationWithRequest(
        std::move(request),
        [url](HttpRequestOperation&, const std::string& body) {
            ImageRef image = Image::isPicture(body) ? Image::imageWithData(body) : nullptr;
            if (image) remember(url, image);
            fetchEnded(url, image);
        },
        [url](HttpRequestOperation&, const HttpError&) { fetchEnded(url, nullptr); });
    operation->setMaxResponseBytes(kMaxPictureBytes);
    operation->start();
}

ImageRef ImageLoader::cachedImage(const std::string& url) {
    auto& state = loaderState();
    auto found = state.cache.find(url);
    return found == state.cache.end() ? nullptr : found->second;
}

void ImageLoader::clearCache() {
    auto& state = loaderState();
    state.cache.clear();
    state.order.clear();
}

}  // namespace platform
