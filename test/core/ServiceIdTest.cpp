#include "core/ServiceId.h"

#include <gtest/gtest.h>

#include <string>

TEST(ServiceId, OnlyLettersDigitsDashAndUnderscoreNameAFile) {
    struct Case {
        std::string id;
        bool plain;
    } cases[] = {
        {"123", true},           {"abc-DEF_09", true},    {"", false},
        {"/..", false},          {"..", false},          {"a/b", false},
        {"a.png", false},        {"a b", false},         {"a\\b", false},
        {"照片", false},          {std::string("a\0b", 3), false},
        {std::string(128, 'x'), true}, {std::string(129, 'x'), false},
    };
    for (const Case& c : cases) EXPECT_EQ(isPlainServiceId(c.id), c.plain) << c.id;
}
