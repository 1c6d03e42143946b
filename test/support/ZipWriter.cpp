#include "support/ZipWriter.h"

#include <minizip/zip.h>

namespace testing_support {

bool writeZipArchive(const std::filesystem::path& path, const std::vector<ZipEntry>& entries) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return false;
    bool ok = true;
    for (const auto& entry : entries) {
        zip_fileinfo info{};
        std::tm local{};
        localtime_r(&entry.modified, &local);
        info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
        info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
        info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
        info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
        info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
        info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
        info.external_fa = static_cast<uLong>(entry.unixMode) << 16;
        const uLong madeBy = entry.unixMode ? (3u << 8) | 20u : 20u;
        const int method = entry.stored ? 0 : Z_DEFLATED;
        if (zipOpenNewFileInZip4_64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                    entry.stored ? 0 : Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                    nullptr, 0, madeBy, entry.utf8Flag ? (1u << 11) : 0u, 1) != ZIP_OK) {
            ok = false;
            break;
        }
        // minizip takes at most 4 GiB - 1 per call.
        std::size_t done = 0;
        while (ok && done < entry.data.size()) {
            const auto piece = static_cast<unsigned>(std::min<std::size_t>(entry.data.size() - done, 1u << 30));
            ok = zipWriteInFileInZip(zip, entry.data.data() + done, piece) == ZIP_OK;
            done += piece;
        }
        ok = zipCloseFileInZip(zip) == ZIP_OK && ok;
        if (!ok) break;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace testing_support
