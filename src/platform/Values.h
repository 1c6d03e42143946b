#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace platform {

using Json = nlohmann::json;

// The text that a "%@" format gives for a value from the service: a text as it is, a
// number in its shortest decimal form, true/false as "1"/"0", JSON null as "<null>",
// and a missing value (discarded) as "(null)". Lists and dictionaries as compact JSON.
std::string textOf(const Json& value);
// The same for dict[key]; "(null)" when `dict` is not a dictionary or has no such key.
std::string textOf(const Json& dict, const std::string& key);
// dict[key] when present, otherwise a discarded value (whose text is "(null)").
const Json& valueFor(const Json& dict, const std::string& key);
// The "%@" text of a text that may be missing: the text, or "(null)".
inline std::string textOfOptional(const std::optional<std::string>& text) { return text.value_or("(null)"); }

// Readings of a value as the app uses them. A text is read by its leading part: optional
// spaces, a sign and digits ("12abc" gives 12, "abc" gives 0); true gives 1; null,
// missing, lists and dictionaries give 0. intValue clamps to 32 bits.
int intValue(const Json& value);
long long integerValue(const Json& value);
double doubleValue(const Json& value);
// A text is true when, after spaces, a sign and leading zeros, it starts with Y, y, T, t
// or a digit 1-9; a number when it is not zero.
bool boolValue(const Json& value);
// Text-only forms of the same readings.
long long integerValue(const std::string& text);
double doubleValue(const std::string& text);
bool boolValue(const std::string& text);

// The text without the ASCII white space (space, tab, line breaks) at either end.
std::string trimmed(std::string_view text);

// Shortest decimal text of a number ("3", "3.5", "0.1").
std::string numberText(double value);

// UTF-16 views of UTF-8 text, for the places that count or cut in UTF-16 code units.
// Invalid UTF-8 bytes become U+FFFD instead of failing.
std::u16string toUtf16(const std::string& text);
std::string fromUtf16(const std::u16string& text);
std::size_t utf16Length(const std::string& text);
// Code units [location, location + length), clamped to the text.
std::string utf16Substring(const std::string& text, std::size_t location, std::size_t length);
bool isValidUtf8(const std::string& text);

std::string base64Encode(const std::string& bytes);
// Skips characters outside the alphabet; stops at padding.
std::string base64Decode(const std::string& text);

}  // namespace platform
