#include "platform/ui/Pasteboard.h"

namespace platform {

Pasteboard& Pasteboard::generalPasteboard() {
    static Pasteboard board;
    return board;
}

std::string Pasteboard::string() const {
    std::lock_guard guard(mutex_);
    return text_;
}

void Pasteboard::setString(const std::string& text) {
    std::lock_guard guard(mutex_);
    text_ = text;
    has_ = true;
}

bool Pasteboard::hasString() const {
    std::lock_guard guard(mutex_);
    return has_;
}

void Pasteboard::clear() {
    std::lock_guard guard(mutex_);
    text_.clear();
    has_ = false;
}

}  // namespace platform
