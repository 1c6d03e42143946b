#include "platform/Log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {

namespace {
std::mutex logMutex;
std::function<void(const std::string&)>& sinkSlot() {
    static std::function<void(const std::string&)> sink;
    return sink;
}
}  // namespace

void logText(const std::string& line) {
    std::lock_guard lock(logMutex);
    if (!std::getenv("TIRRA_QUIET")) std::fprintf(stderr, "tirra: %s\n", line.c_str());
    if (sinkSlot()) sinkSlot()(line);
}

std::string vformat(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

void log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    logText(text);
}

void setLogSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(logMutex);
    sinkSlot() = std::move(sink);
}

}  // namespace platform
