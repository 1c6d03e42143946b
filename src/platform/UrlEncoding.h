#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace platform {

// Percent-escapes UTF-8 text for a query or form value: letters, digits, "-", "_" and "."
// stay as they are; every other byte becomes %XX (uppercase hex), so a space is %20 and
// "&" is %26.
std::string percentEscape(const std::string& text);

// The form "name=value&name=value" of a flat parameter dictionary, names and values
// escaped as above, in the order of the names. Values are written in their "%@" text form
// (texts as they are, numbers in decimal). Anything other than a non-empty dictionary
// gives the empty text.
std::string queryString(const nlohmann::json& parameters);

// Decodes %XX escapes (and "+" as a space when `plusIsSpace`); a malformed escape is kept
// as it stands.
std::string percentDecode(const std::string& text, bool plusIsSpace = false);

// `path` resolved against `base`: an absolute URL (one with a scheme) stands for itself,
// anything else is resolved as a relative reference. When the base cannot be read the
// path is returned unchanged, so that the request fails when it runs.
std::string resolveUrl(const std::string& base, const std::string& path);

}  // namespace platform
