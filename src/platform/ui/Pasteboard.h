#pragma once

#include <mutex>
#include <string>

namespace platform {

// The general pasteboard: the text the app copied last.
class Pasteboard {
public:
    static Pasteboard& generalPasteboard();
    std::string string() const;
    void setString(const std::string& text);
    bool hasString() const;
    void clear();

private:
    Pasteboard() = default;
    mutable std::mutex mutex_;
    std::string text_;
    bool has_ = false;
};

}  // namespace platform
