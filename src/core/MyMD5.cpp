#include "core/MyMD5.h"

#include <openssl/evp.h>

#include <cstring>

std::string MyMD5::md5(const std::string& text) {
    // The digest stops at an embedded zero, as a C string would.
    const std::size_t length = std::strlen(text.c_str());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (EVP_Digest(text.data(), length, digest, &digestLength, EVP_md5(), nullptr) != 1) return {};

    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(digestLength * 2);
    for (unsigned int i = 0; i < digestLength; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0x0F];
    }
    return hex;
}
