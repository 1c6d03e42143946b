#include "core/PinyinInitial.h"

#include <cstddef>

namespace {
#include "core/PinyinInitialTable.inc"

constexpr char16_t kFirst = 0x4E00;
constexpr std::size_t kEntries = 20903;  // U+4E00 .. U+9FA6
static_assert(sizeof kPinyinInitials == kEntries);
}  // namespace

signed char pinyinInitialOfCharacter(char16_t codeUnit) {
    // Unsigned arithmetic: code units below U+4E00 wrap round to large indexes.
    auto index = static_cast<std::size_t>(static_cast<char16_t>(codeUnit - kFirst));
    if (index < kEntries) return static_cast<signed char>(kPinyinInitials[index]);
    return static_cast<signed char>(codeUnit & 0xFF);
}
