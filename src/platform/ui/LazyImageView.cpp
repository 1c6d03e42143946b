#include "platform/ui/LazyImageView.h"

#include "platform/HttpRequestOperation.h"
#include "platform/UrlRequest.h"

#include <cctype>
#include <list>
#include <unordered_map>

namespace platform {

namespace {

constexpr std::size_t kCachedPictures = 64;

struct PictureCache {
    std::list<std::pair<std::string, ImageRef>> order;
    std::unordered_map<std::string, decltype(order)::iterator> index;

    ImageRef find(const std::string& url) {
        auto found = index.find(url);
        if (found == index.end()) return nullptr;
        order.splice(order.begin(), order, found->second);
        return found->second->second;
    }
    void put(const std::string& url, ImageRef image) {
        if (auto found = index.find(url); found != index.end()) {
            order.erase(found->second);
            index.erase(found);
        }
        order.emplace_front(url, std::move(image));
        index[url] = order.begin();
        while (order.size() > kCachedPictures) {
            index.erase(order.back().first);
            order.pop_back();
        }
    }
};

PictureCache& pictureCache() {
    static PictureCache cache;
    return cache;
}

}  // namespace

LazyImageView::LazyImageView() = default;

LazyImageView::LazyImageView(const Rect& frame) : ImageView(frame) {}

LazyImageView::~LazyImageView() {
    if (operation_) operation_->cancel();
}

bool LazyImageView::isRemoteAddress(const std::string& url) {
    std::string head;
    for (std::size_t i = 0; i < url.size() && i < 8; ++i) head += char(std::tolower(static_cast<unsigned char>(url[i])));
    return head.rfind("http://", 0) == 0 || head.rfind("https://", 0) == 0;
}

void LazyImageView::clearCache() {
    pictureCache().order.clear();
    pictureCache().index.clear();
}

void LazyImageView::setUrl(const std::string& url) {
    if (operation_) {
        operation_->cancel();
        operation_.reset();
    }
    url_ = url;
    requested_ = false;
    if (auto cached = pictureCache().find(url_)) {
        setImage(cached);
        return;
    }
    if (window()) startLoading();
}

void LazyImageView::didMoveToWindow() {
    ImageView::didMoveToWindow();
    if (window() && !requested_) startLoading();
}

void LazyImageView::startLoading() {
    if (requested_ || !isRemoteAddress(url_)) return;
    if (auto cached = pictureCache().find(url_)) {
        setImage(cached);
        return;
    }
    requested_ = true;
    UrlRequest request(url_);
    request.setTimeoutInterval(kTimeout);
    std::weak_ptr<LazyImageView> weak = std::static_pointer_cast<LazyImageView>(shared_from_this());
    operation_ = HttpRequestOperation::operationWithRequest(
        std::move(request),
        [weak](HttpRequestOperation&, const std::string& body) {
            if (auto self = weak.lock()) self->loaded(body);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->operation_.reset();
        });
    operation_->setMaxResponseBytes(kMaxBytes);
    operation_->start();
}

void LazyImageView::loaded(const std::string& body) {
    operation_.reset();
    auto picture = Image::imageWithData(body);
    if (!picture) return;
    pictureCache().put(url_, picture);
    setImage(picture);
    const Size size = picture->size();
    if (displaySize_.width > 0 && displaySize_.height > 0 &&
        (size.width != displaySize_.width || size.height != displaySize_.height)) {
        if (auto listener = delegate()) listener->lazyImageViewDidChangeImageSize(*this, size);
    }
}

}  // namespace platform
