#include "core/ServiceId.h"

bool isPlainServiceId(std::string_view id) {
    if (id.empty() || id.size() > 128) return false;
    for (char c : id) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '-' && c != '_') return false;
    }
    return true;
}
