#pragma once

#include <string>

// MD5 digests for resource tokens and share keys.
class MyMD5 {
public:
    MyMD5() = delete;

    // 32 lowercase hexadecimal digits of the MD5 digest of the text's UTF-8 bytes, taken
    // up to the first zero byte.
    static std::string md5(const std::string& text);
};
