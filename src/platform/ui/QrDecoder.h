#pragma once

#include "platform/ui/Image.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {

class QrDecoder;

// What a decoder tells after decoding a picture.
class QrDecoderDelegate {
public:
    virtual ~QrDecoderDelegate() = default;
    // decoder:didDecodeImage:withResult: — the text of the QR code found.
    virtual void decoderDidDecode(QrDecoder& decoder, const std::string& text) {
        (void)decoder;
        (void)text;
    }
    // decoder:failedToDecodeImage:withReason:
    virtual void decoderFailedToDecode(QrDecoder& decoder, const std::string& reason) {
        (void)decoder;
        (void)reason;
    }
};

// Reads QR codes (and only QR codes) out of whole pictures with zxing-cpp.
class QrDecoder : public std::enable_shared_from_this<QrDecoder> {
public:
    // The text of the first QR code in the picture, or nothing.
    static std::optional<std::string> decode(const Image& image);

    void setDelegate(std::weak_ptr<QrDecoderDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<QrDecoderDelegate> delegate() const { return delegate_.lock(); }
    // Decodes the picture now, on the calling (main) thread, and queues the report to the
    // delegate on the main run loop: it arrives after the caller's current work.
    void decodeImage(const ImageRef& image);

private:
    std::weak_ptr<QrDecoderDelegate> delegate_;
};

}  // namespace platform
