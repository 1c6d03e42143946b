#pragma once

// Zip archives for test fixtures, written with minizip: names stored as the bytes given
// (GBK, UTF-8 with or without the UTF-8 flag, "\" separators), unix modes for links,
// deflated or stored data.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct ZipEntry {
    std::string name;  // bytes as stored
    std::string data;
    bool utf8Flag = false;    // general purpose bit 11
    unsigned unixMode = 0;    // e.g. 0120777 for a symbolic link; 0: made on MS-DOS
    bool stored = false;      // no compression
    std::time_t modified = 1700000000;
};

// Writes the archive; false when minizip refuses.
bool writeZipArchive(const std::filesystem::path& path, const std::vector<ZipEntry>& entries);

}  // namespace testing_support
