#pragma once

#include <cstdarg>
#include <functional>
#include <string>

namespace platform {

// The system log: debug output only, never shown to the user. Lines go to stderr unless
// TIRRA_QUIET is set; tests can also capture them.
void logText(const std::string& line);
// printf-style convenience.
void log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// printf-style formatting into a string (for other printf-style front ends).
std::string vformat(const char* format, va_list args);

// Every logged line is also handed to `sink` (nullptr removes it). For tests.
void setLogSink(std::function<void(const std::string&)> sink);

}  // namespace platform
