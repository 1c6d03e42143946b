#include "platform/Archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <clocale>
#include <locale.h>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t kRarReadPiece = 256 * 1024;

// libarchive turns names into the text of the thread's locale: in the C locale (the app
// sets none) a Unicode name of RAR 4 comes out as no name at all. The reading thread runs
// in C.UTF-8 while a handle lives; names without any flag stay raw bytes there.
struct RarUtf8Locale {
    RarUtf8Locale() : utf8(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
        if (utf8) previous = uselocale(utf8);
    }
    ~RarUtf8Locale() {
        if (!utf8) return;
        uselocale(previous);
        freelocale(utf8);
    }
    RarUtf8Locale(const RarUtf8Locale&) = delete;
    RarUtf8Locale& operator=(const RarUtf8Locale&) = delete;
    locale_t utf8;
    locale_t previous = LC_GLOBAL_LOCALE;
};

struct RarHandle {
    explicit RarHandle(const std::filesystem::path& path) : reader(archive_read_new()) {
        archive_read_support_format_rar(reader);
        archive_read_support_format_rar5(reader);
        opened = archive_read_open_filename(reader, path.c_str(), kRarReadPiece) == ARCHIVE_OK;
    }
    ~RarHandle() { archive_read_free(reader); }
    RarUtf8Locale locale;
    struct archive* reader;
    bool opened = false;
};

std::string rarWideToUtf8(const wchar_t* wide) {
    std::string out;
    for (; *wide; ++wide) {
        auto c = static_cast<char32_t>(*wide);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The entry's name as UTF-8. In the C locale (the app sets none) libarchive cannot turn a
// non-ASCII name into the locale's text: the raw bytes come first when it keeps them,
// then its UTF-8 or wide forms (RAR 5 and RAR 4's Unicode names).
std::optional<std::string> rarEntryName(struct archive_entry* entry) {
    if (const char* raw = archive_entry_pathname(entry)) return decodeArchiveName(raw, false);
    if (const char* utf8 = archive_entry_pathname_utf8(entry)) return std::string(utf8);
    if (const wchar_t* wide = archive_entry_pathname_w(entry)) return rarWideToUtf8(wide);
    return std::nullopt;
}

ArchiveOutcome unrarInto(struct archive* reader, ArchiveSink& sink) {
    std::vector<char> buffer(kRarReadPiece);
    bool first = true;
    for (;;) {
        struct archive_entry* entry = nullptr;
        const int step = archive_read_next_header(reader, &entry);
        if (step == ARCHIVE_EOF) break;
        if (step != ARCHIVE_OK && step != ARCHIVE_WARN) {
            const char* why = archive_error_string(reader);
            return {first ? ArchiveStatus::CannotOpen : ArchiveStatus::Failed, why ? why : "cannot read an entry"};
        }
        first = false;
        auto name = rarEntryName(entry);
        if (!name) return {ArchiveStatus::Failed, "an entry without a name"};
        if (archive_entry_is_encrypted(entry)) return {ArchiveStatus::Failed, "encrypted entry " + *name};
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFDIR) {
            if (!sink.makeFolder(*name)) return {ArchiveStatus::Failed, sink.error()};
            continue;
        }
        if (type != AE_IFREG || archive_entry_hardlink(entry) || archive_entry_symlink(entry)) {
            if (!sink.skipEntry()) return {ArchiveStatus::Failed, sink.error()};
            continue;
        }
        std::optional<std::time_t> modified;
        if (archive_entry_mtime_is_set(entry)) modified = archive_entry_mtime(entry);
        if (!sink.beginFile(*name, modified)) return {ArchiveStatus::Failed, sink.error()};
        la_ssize_t got = 0;
        while ((got = archive_read_data(reader, buffer.data(), buffer.size())) > 0)
            if (!sink.write(buffer.data(), static_cast<std::size_t>(got))) return {ArchiveStatus::Failed, sink.error()};
        if (got < 0) {
            const char* why = archive_error_string(reader);
            return {ArchiveStatus::Failed, std::string("corrupt data in ") + *name + (why ? ": " + std::string(why) : "")};
        }
        if (!sink.endFile()) return {ArchiveStatus::Failed, sink.error()};
    }
    if (first) return {ArchiveStatus::CannotOpen, "no entries"};
    return {ArchiveStatus::Extracted, {}};
}

}  // namespace

bool canOpenRarArchive(const std::filesystem::path& archive) {
    RarHandle rar(archive);
    if (!rar.opened) return false;
    struct archive_entry* entry = nullptr;
    const int step = archive_read_next_header(rar.reader, &entry);
    return step == ARCHIVE_OK || step == ARCHIVE_WARN;
}

ArchiveOutcome extractRarArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                                 const ArchiveLimits& limits, const ArchiveContinue& keepGoing) {
    if (!canOpenRarArchive(archive)) return {ArchiveStatus::CannotOpen, "not a rar archive: " + archive.string()};
    RarHandle rar(archive);
    if (!rar.opened) return {ArchiveStatus::CannotOpen, "cannot open " + archive.string()};
    auto outcome = unpackBeside(destination, limits, keepGoing, [&](ArchiveSink& sink) { return unrarInto(rar.reader, sink); });
    if (outcome.status == ArchiveStatus::CannotOpen) outcome.status = ArchiveStatus::Failed;
    return outcome;
}

}  // namespace platform
