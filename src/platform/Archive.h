#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Unpacking zip archives (minizip) and rar archives, RAR 4 and RAR 5 (libarchive; there is
// no unrar library here, and encrypted RAR is not read).
//
// Both go through one confined writer: an entry name is decoded (UTF-8 when the archive
// flags it so or when it is valid UTF-8, else GB18030), "\" separates folders, and a name
// that is absolute, carries a drive or climbs with ".." is refused, so no entry lands
// outside the destination. Links and devices are never made. The bytes written and the
// number of entries are bounded. The archive is unpacked into a hidden folder beside the
// destination, which takes the destination's name only when every entry came out whole:
// a failed or stopped extraction leaves nothing behind.

struct ArchiveLimits {
    std::uint64_t maxTotalBytes = 4ull * 1024 * 1024 * 1024;
    std::uint64_t maxEntries = 65536;
};

enum class ArchiveStatus {
    Extracted,   // every entry is in the destination
    CannotOpen,  // not an archive of the kind, or unreadable
    Failed,      // opened, but an entry was refused, corrupt, over the limits, or not written
};

struct ArchiveOutcome {
    ArchiveStatus status = ArchiveStatus::CannotOpen;
    std::string error;        // why, for the log
    std::uint64_t files = 0;  // files written
    std::uint64_t bytes = 0;  // bytes written
};

// Called between pieces of data; answering false stops the extraction (which then fails).
using ArchiveContinue = std::function<bool()>;

// Unpacks the archive at `archive` into the folder `destination`, which must not exist yet.
ArchiveOutcome extractZipArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                                 const ArchiveLimits& limits = {}, const ArchiveContinue& keepGoing = {});
ArchiveOutcome extractRarArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                                 const ArchiveLimits& limits = {}, const ArchiveContinue& keepGoing = {});
// Whether the file opens as an archive of the kind (nothing is written).
bool canOpenZipArchive(const std::filesystem::path& archive);
bool canOpenRarArchive(const std::filesystem::path& archive);

// An entry name as UTF-8: kept when `flaggedUtf8` or when it is valid UTF-8, otherwise
// decoded from GB18030.
std::string decodeArchiveName(const std::string& raw, bool flaggedUtf8);

// The writer both readers share: everything goes below one root folder.
class ArchiveSink {
public:
    ArchiveSink(std::filesystem::path root, ArchiveLimits limits, ArchiveContinue keepGoing);
    ~ArchiveSink();
    ArchiveSink(const ArchiveSink&) = delete;
    ArchiveSink& operator=(const ArchiveSink&) = delete;

    // The path below the root for a decoded entry name ("\" already or still in it), or
    // nothing when the name would leave the root or names nothing.
    std::optional<std::filesystem::path> confinedPath(const std::string& name) const;

    bool makeFolder(const std::string& name);
    // Opens a new file for the entry; false (with error()) when refused.
    bool beginFile(const std::string& name, std::optional<std::time_t> modified);
    bool write(const char* data, std::size_t length);
    // Closes the open file; its modification time is set.
    bool endFile();
    // An entry that is neither file nor folder (a link, a device): counted and skipped.
    bool skipEntry();

    const std::string& error() const { return error_; }
    bool fail(std::string why);
    std::uint64_t files() const { return files_; }
    std::uint64_t bytes() const { return bytes_; }

private:
    bool countEntry();

    std::filesystem::path root_;
    ArchiveLimits limits_;
    ArchiveContinue keepGoing_;
    std::FILE* file_ = nullptr;
    std::filesystem::path filePath_;
    std::optional<std::time_t> fileTime_;
    std::uint64_t entries_ = 0;
    std::uint64_t files_ = 0;
    std::uint64_t bytes_ = 0;
    std::string error_;
};

// Runs `unpack` into a hidden folder beside `destination` and renames it to `destination`
// on success; removes it otherwise. Used by both readers.
ArchiveOutcome unpackBeside(const std::filesystem::path& destination, const ArchiveLimits& limits,
                            const ArchiveContinue& keepGoing,
                            const std::function<ArchiveOutcome(ArchiveSink& sink)>& unpack);

}  // namespace platform
