#pragma once

// The first letter of a CJK character's Mandarin reading, used to sort names into A to Z
// sections.
//
// For U+4E00..U+9FA5 the answer is a lowercase letter (never i, u or v) and for U+9FA6 it
// is 0. Any other code unit comes back cut to its low 8 bits, so ASCII letters and digits
// come back unchanged.
signed char pinyinInitialOfCharacter(char16_t codeUnit);
