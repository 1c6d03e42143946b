#include "platform/Values.h"

#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <charconv>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace platform {

namespace {
const Json& discarded() {
    static const Json value(Json::value_t::discarded);
    return value;
}

size_t skipSpaces(const std::string& s, size_t i = 0) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    return i;
}
}  // namespace

std::string numberText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        return std::to_string(static_cast<long long>(value));
    }
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::to_string(value);
}

std::string textOf(const Json& value) {
    switch (value.type()) {
        case Json::value_t::string: return value.get_ref<const std::string&>();
        case Json::value_t::boolean: return value.get<bool>() ? "1" : "0";
        case Json::value_t::number_integer: return std::to_string(value.get<long long>());
        case Json::value_t::number_unsigned: return std::to_string(value.get<unsigned long long>());
        case Json::value_t::number_float: return numberText(value.get<double>());
        case Json::value_t::null: return "<null>";
        case Json::value_t::discarded: return "(null)";
        default: return value.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
}

const Json& valueFor(const Json& dict, const std::string& key) {
    if (!dict.is_object()) return discarded();
    auto it = dict.find(key);
    return it == dict.end() ? discarded() : *it;
}

std::string textOf(const Json& dict, const std::string& key) { return textOf(valueFor(dict, key)); }

long long integerValue(const std::string& text) {
    size_t i = skipSpaces(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long result = 0;
    bool overflow = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        int digit = text[i] - '0';
        if (result > (LLONG_MAX - digit) / 10) overflow = true;
        if (!overflow) result = result * 10 + digit;
    }
    if (overflow) return negative ? LLONG_MIN : LLONG_MAX;
    return negative ? -result : result;
}

double doubleValue(const std::string& text) {
    size_t i = skipSpaces(text);
    const char* start = text.c_str() + i;
    char* end = nullptr;
    double v = std::strtod(start, &end);
    return end == start ? 0.0 : v;
}

bool boolValue(const std::string& text) {
    size_t i = skipSpaces(text);
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && text[i] == '0') ++i;
    if (i >= text.size()) return false;
    char c = text[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

long long integerValue(const Json& value) {
    switch (value.type()) {
        case Json::value_t::string: return integerValue(value.get_ref<const std::string&>());
        case Json::value_t::boolean: return value.get<bool>() ? 1 : 0;
        case Json::value_t::number_integer: return value.get<long long>();
        case Json::value_t::number_unsigned: {
            auto u = value.get<unsigned long long>();
            return u > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MAX : static_cast<long long>(u);
        }
        case Json::value_t::number_float: {
            double d = value.get<double>();
            if (std::isnan(d)) return 0;
            if (d >= 9.2e18) return LLONG_MAX;
            if (d <= -9.2e18) return LLONG_MIN;
            return static_cast<long long>(d);
        }
        default: return 0;
    }
}

int intValue(const Json& value) {
    long long v = integerValue(value);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

double doubleValue(const Json& value) {
    switch (value.type()) {
        case Json::value_t::string: return doubleValue(value.get_ref<const std::string&>());
        case Json::value_t::boolean: return value.get<bool>() ? 1.0 : 0.0;
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
        case Json::value_t::number_float: return value.get<double>();
        default: return 0.0;
    }
}

bool boolValue(const Json& value) {
    switch (value.type()) {
        case Json::value_t::string: return boolValue(value.get_ref<const std::string&>());
        case Json::value_t::boolean: return value.get<bool>();
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
        case Json::value_t::number_float: return value.get<double>() != 0.0;
        default: return false;
    }
}

std::u16string toUtf16(const std::string& text) {
    if (text.empty()) return {};
    int32_t needed = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(nullptr, 0, &needed, text.data(), static_cast<int32_t>(text.size()), 0xFFFD,
                         nullptr, &status);
    std::u16string out(static_cast<size_t>(needed), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), needed, &needed, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<size_t>(needed));
    return out;
}

std::string fromUtf16(const std::u16string& text) {
    if (text.empty()) return {};
    int32_t needed = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(nullptr, 0, &needed, reinterpret_cast<const UChar*>(text.data()),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    std::string out(static_cast<size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), needed, &needed, reinterpret_cast<const UChar*>(text.data()),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<size_t>(needed));
    return out;
}

std::size_t utf16Length(const std::string& text) { return toUtf16(text).size(); }

std::string utf16Substring(const std::string& text, std::size_t location, std::size_t length) {
    auto units = toUtf16(text);
    if (location >= units.size()) return {};
    return fromUtf16(units.substr(location, length));
}

std::string trimmed(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n\f\v";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kSpace);
    return std::string(text.substr(first, last - first + 1));
}

bool isValidUtf8(const std::string& text) {
    int32_t i = 0;
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    auto n = static_cast<int32_t>(text.size());
    while (i < n) {
        UChar32 c;
        U8_NEXT(s, i, n, c);
        if (c < 0) return false;
    }
    return true;
}

std::string base64Encode(const std::string& bytes) {
    static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        uint32_t n = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8) | uint8_t(bytes[i + 2]);
        for (int shift : {18, 12, 6, 0}) out += alphabet[(n >> shift) & 63];
    }
    if (size_t rest = bytes.size() - i; rest > 0) {
        uint32_t n = uint8_t(bytes[i]) << 16;
        if (rest == 2) n |= uint8_t(bytes[i + 1]) << 8;
        out += alphabet[(n >> 18) & 63];
        out += alphabet[(n >> 12) & 63];
        out += rest == 2 ? alphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string base64Decode(const std::string& text) {
    auto sextet = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+' || c == '-') return 62;
        if (c == '/' || c == '_') return 63;
        return -1;
    };
    std::string out;
    uint32_t buffer = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=') break;
        int v = sextet(c);
        if (v < 0) continue;
        buffer = (buffer << 6) | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

}  // namespace platform
