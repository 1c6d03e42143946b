#include "platform/Archive.h"

#include <minizip/unzip.h>

#include <sys/stat.h>

#include <vector>

namespace platform {

namespace {

constexpr unsigned kZipReadPiece = 256 * 1024;
constexpr uLong kZipUtf8NameFlag = 1u << 11;
constexpr uLong kZipEncryptedFlag = 1u;

struct ZipHandle {
    explicit ZipHandle(const std::filesystem::path& path) : file(unzOpen64(path.c_str())) {}
    ~ZipHandle() {
        if (file) unzClose(file);
    }
    unzFile file;
};

std::optional<std::time_t> zipEntryTime(const tm_unz& date) {
    std::tm when{};
    when.tm_year = static_cast<int>(date.tm_year) - 1900;
    when.tm_mon = static_cast<int>(date.tm_mon);
    when.tm_mday = static_cast<int>(date.tm_mday);
    when.tm_hour = static_cast<int>(date.tm_hour);
    when.tm_min = static_cast<int>(date.tm_min);
    when.tm_sec = static_cast<int>(date.tm_sec);
    when.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&when);
    if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
    return seconds;
}

// What kind of entry the unix mode bits of the external attributes say, when made on unix.
enum class ZipEntryKind { File, Folder, Other };

ZipEntryKind zipEntryKind(const unz_file_info64& info, const std::string& name) {
    if (!name.empty() && (name.back() == '/' || name.back() == '\\')) return ZipEntryKind::Folder;
    const unsigned madeOn = static_cast<unsigned>(info.version >> 8);
    if (madeOn == 3) {
        const unsigned mode = static_cast<unsigned>(info.external_fa >> 16) & S_IFMT;
        if (mode == S_IFDIR) return ZipEntryKind::Folder;
        if (mode != 0 && mode != S_IFREG) return ZipEntryKind::Other;
    }
    return ZipEntryKind::File;
}

ArchiveOutcome unzipInto(unzFile zip, ArchiveSink& sink) {
    std::vector<char> buffer(kZipReadPiece);
    std::vector<char> nameBuffer(65536);
    int step = unzGoToFirstFile(zip);
    while (step == UNZ_OK) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip, &info, nameBuffer.data(), static_cast<uLong>(nameBuffer.size() - 1), nullptr,
                                    0, nullptr, 0) != UNZ_OK)
            return {ArchiveStatus::Failed, "cannot read an entry's information"};
        const std::string raw(nameBuffer.data(), std::min<std::size_t>(info.size_filename, nameBuffer.size() - 1));
        const std::string name = decodeArchiveName(raw, (info.flag & kZipUtf8NameFlag) != 0);
        switch (zipEntryKind(info, name)) {
        case ZipEntryKind::Folder:
            if (!sink.makeFolder(name)) return {ArchiveStatus::Failed, sink.error()};
            break;
        case ZipEntryKind::Other:
            if (!sink.skipEntry()) return {ArchiveStatus::Failed, sink.error()};
            break;
        case ZipEntryKind::File: {
            if (info.flag & kZipEncryptedFlag) return {ArchiveStatus::Failed, "encrypted entry " + name};
            if (!sink.beginFile(name, zipEntryTime(info.tmu_date))) return {ArchiveStatus::Failed, sink.error()};
            if (unzOpenCurrentFile(zip) != UNZ_OK) return {ArchiveStatus::Failed, "cannot open entry " + name};
            int got = 0;
            while ((got = unzReadCurrentFile(zip, buffer.data(), kZipReadPiece)) > 0) {
                if (!sink.write(buffer.data(), static_cast<std::size_t>(got))) {
                    unzCloseCurrentFile(zip);
                    return {ArchiveStatus::Failed, sink.error()};
                }
            }
            // A read error or a wrong checksum spoils the whole extraction: a partial file
            // must not pass for the entry.
            const int closed = unzCloseCurrentFile(zip);
            if (got < 0) return {ArchiveStatus::Failed, "corrupt data in " + name};
            if (closed == UNZ_CRCERROR) return {ArchiveStatus::Failed, "checksum error in " + name};
            if (!sink.endFile()) return {ArchiveStatus::Failed, sink.error()};
            break;
        }
        }
        step = unzGoToNextFile(zip);
    }
    if (step != UNZ_END_OF_LIST_OF_FILE) return {ArchiveStatus::Failed, "cannot reach the next entry"};
    return {ArchiveStatus::Extracted, {}};
}

}  // namespace

bool canOpenZipArchive(const std::filesystem::path& archive) {
    ZipHandle zip(archive);
    return zip.file != nullptr;
}

ArchiveOutcome extractZipArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                                 const ArchiveLimits& limits, const ArchiveContinue& keepGoing) {
    ZipHandle zip(archive);
    if (!zip.file) return {ArchiveStatus::CannotOpen, "not a zip archive: " + archive.string()};
    return unpackBeside(destination, limits, keepGoing, [&](ArchiveSink& sink) { return unzipInto(zip.file, sink); });
}

}  // namespace platform
