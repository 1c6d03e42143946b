#pragma once

// A store-only RAR writer for test fixtures, from the published notes on the RAR 4 and
// RAR 5 formats: entries are stored uncompressed (nothing here writes compressed RAR), so
// libarchive reads them back. Names are written as given: RAR 5 names are UTF-8; RAR 4
// names are raw bytes (GBK for an old Chinese archive) or, with `unicode`, ASCII followed
// by the format's Unicode name encoding.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct RarEntry {
    std::string name;  // bytes as stored (RAR 5 and unicode RAR 4: UTF-8)
    std::string data;
    bool folder = false;
    bool unicode = false;  // RAR 4 only: set the Unicode name flag
    std::time_t modified = 1700000000;
};

std::string rar4Archive(const std::vector<RarEntry>& entries);
std::string rar5Archive(const std::vector<RarEntry>& entries);

}  // namespace testing_support
