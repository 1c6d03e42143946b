#pragma once

#include "platform/ui/Geometry.h"

#include <string>

namespace platform {

// Editing rules shared by the text inputs, on UTF-16 text.
inline bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
inline bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// What the Backspace key removes: the selection, or the character before the caret (a
// character outside the basic plane is two code units and goes as one). Length 0 when
// there is nothing to remove.
inline Range rangeRemovedByBackspace(const std::u16string& text, Range selection) {
    if (selection.length > 0) return selection;
    long loc = selection.location;
    if (loc <= 0) return {0, 0};
    long len = (loc >= 2 && isLowSurrogate(text[static_cast<size_t>(loc - 1)]) &&
                isHighSurrogate(text[static_cast<size_t>(loc - 2)]))
                   ? 2
                   : 1;
    return {loc - len, len};
}

}  // namespace platform
