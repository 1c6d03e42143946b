#pragma once

#include "platform/ui/ImageView.h"

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

class HttpRequestOperation;
class LazyImageView;

class LazyImageViewDelegate {
public:
    virtual ~LazyImageViewDelegate() = default;
    // The loaded picture's size differs from the display size it was given.
    virtual void lazyImageViewDidChangeImageSize(LazyImageView& view, Size size) {
        (void)view;
        (void)size;
    }
};

// An image view that loads its picture from an http or https address once it is shown in
// a window (or when asked), through the HTTP kit, and keeps what it shows until then
// (a placeholder). Replies above kMaxBytes or that are no picture leave the view as it
// was. Loaded pictures are kept in a small shared cache by address, so a view made again
// for the same address shows the picture at once. Any other kind of address is never
// fetched. Main thread.
class LazyImageView : public ImageView {
public:
    static constexpr std::size_t kMaxBytes = 2u * 1024 * 1024;
    static constexpr double kTimeout = 20.0;

    LazyImageView();
    explicit LazyImageView(const Rect& frame);
    ~LazyImageView() override;

    std::string className() const override { return "LazyImageView"; }

    const std::string& url() const { return url_; }
    // A cached picture for the address shows at once; otherwise loading waits for the
    // window (or for startLoading()).
    void setUrl(const std::string& url);
    // The size the picture is shown at (the attachment's frame); a loaded picture of
    // another size is reported to the delegate.
    Size displaySize() const { return displaySize_; }
    void setDisplaySize(Size size) { displaySize_ = size; }

    std::shared_ptr<LazyImageViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<LazyImageViewDelegate>& delegate) { delegate_ = delegate; }

    // Starts the request now; nothing for an address that is not http or https, a cached
    // picture or a request already made.
    void startLoading();
    bool isLoading() const { return operation_ != nullptr; }

    static bool isRemoteAddress(const std::string& url);
    static void clearCache();

protected:
    void didMoveToWindow() override;

private:
    void loaded(const std::string& body);
    std::string url_;
    Size displaySize_;
    std::weak_ptr<LazyImageViewDelegate> delegate_;
    std::shared_ptr<HttpRequestOperation> operation_;
    bool requested_ = false;
};

}  // namespace platform
