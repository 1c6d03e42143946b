#include "platform/Archive.h"

#include "platform/Log.h"
#include "platform/Values.h"

#include <unicode/ucnv.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <system_error>

namespace platform {

namespace {

std::optional<std::string> archiveNameFromGb18030(const std::string& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("GB18030", &status);
    if (U_FAILURE(status)) return std::nullopt;
    std::string out(bytes.size() * 3 + 4, '\0');
    // GB18030 to UTF-8 in one go through ICU's pivot.
    UErrorCode convert = U_ZERO_ERROR;
    UConverter* utf8 = ucnv_open("UTF-8", &convert);
    if (U_FAILURE(convert)) {
        ucnv_close(converter);
        return std::nullopt;
    }
    char* target = out.data();
    const char* source = bytes.data();
    ucnv_convertEx(utf8, converter, &target, out.data() + out.size(), &source, bytes.data() + bytes.size(), nullptr,
                   nullptr, nullptr, nullptr, true, true, &convert);
    ucnv_close(utf8);
    ucnv_close(converter);
    if (U_FAILURE(convert)) return std::nullopt;
    out.resize(static_cast<std::size_t>(target - out.data()));
    return out;
}

std::filesystem::file_time_type archiveFileTime(std::time_t when) {
    using namespace std::chrono;
    const auto since = system_clock::from_time_t(when) - system_clock::now();
    return std::filesystem::file_time_type::clock::now() + duration_cast<std::filesystem::file_time_type::duration>(since);
}

}  // namespace

std::string decodeArchiveName(const std::string& raw, bool flaggedUtf8) {
    if (flaggedUtf8 || isValidUtf8(raw)) return raw;
    if (auto decoded = archiveNameFromGb18030(raw)) return *decoded;
    return raw;
}

ArchiveSink::ArchiveSink(std::filesystem::path root, ArchiveLimits limits, ArchiveContinue keepGoing)
    : root_(std::move(root)), limits_(limits), keepGoing_(std::move(keepGoing)) {}

ArchiveSink::~ArchiveSink() {
    if (file_) std::fclose(file_);
}

bool ArchiveSink::fail(std::string why) {
    if (error_.empty()) error_ = std::move(why);
    return false;
}

std::optional<std::filesystem::path> ArchiveSink::confinedPath(const std::string& name) const {
    std::string slashed = name;
    for (char& c : slashed)
        if (c == '\\') c = '/';
    if (slashed.empty() || slashed.front() == '/') return std::nullopt;
    // A drive ("C:") or any other colon before the first separator names another root.
    for (char c : slashed) {
        if (c == '/') break;
        if (c == ':') return std::nullopt;
    }
    std::filesystem::path relative;
    std::stringstream parts(slashed);
    for (std::string part; std::getline(parts, part, '/');) {
        if (part == "..") return std::nullopt;
        if (!part.empty() && part != ".") relative /= part;
    }
    if (relative.empty()) return std::nullopt;
    return root_ / relative;
}

bool ArchiveSink::countEntry() {
    if (++entries_ > limits_.maxEntries) return fail("more entries than allowed");
    if (keepGoing_ && !keepGoing_()) return fail("stopped");
    return true;
}

bool ArchiveSink::makeFolder(const std::string& name) {
    if (!countEntry()) return false;
    auto path = confinedPath(name);
    if (!path) return fail("entry name leaves the folder: " + name);
    std::error_code ec;
    std::filesystem::create_directories(*path, ec);
    if (ec || !std::filesystem::is_directory(*path)) return fail("cannot make folder " + path->string());
    return true;
}

bool ArchiveSink::skipEntry() { return countEntry(); }

bool ArchiveSink::beginFile(const std::string& name, std::optional<std::time_t> modified) {
    if (file_) endFile();
    if (!countEntry()) return false;
    auto path = confinedPath(name);
    if (!path) return fail("entry name leaves the folder: " + name);
    std::error_code ec;
    std::filesystem::create_directories(path->parent_path(), ec);
    if (ec) return fail("cannot make folder " + path->parent_path().string());
    // An entry of the same name replaces the earlier one; a folder there is not replaced.
    if (std::filesystem::is_directory(*path, ec)) return fail("a folder has the name of " + name);
    file_ = std::fopen(path->c_str(), "wb");
    if (!file_) return fail("cannot create " + path->string());
    filePath_ = *path;
    fileTime_ = modified;
    ++files_;
    return true;
}

bool ArchiveSink::write(const char* data, std::size_t length) {
    if (!file_) return fail("no open file");
    if (bytes_ + length > limits_.maxTotalBytes) return fail("more bytes than allowed");
    if (keepGoing_ && !keepGoing_()) return fail("stopped");
    if (length && std::fwrite(data, 1, length, file_) != length) return fail("cannot write " + filePath_.string());
    bytes_ += length;
    return true;
}

bool ArchiveSink::endFile() {
    if (!file_) return true;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) return fail("cannot write " + filePath_.string());
    if (fileTime_) {
        std::error_code ec;
        std::filesystem::last_write_time(filePath_, archiveFileTime(*fileTime_), ec);
    }
    return true;
}

ArchiveOutcome unpackBeside(const std::filesystem::path& destination, const ArchiveLimits& limits,
                            const ArchiveContinue& keepGoing,
                            const std::function<ArchiveOutcome(ArchiveSink& sink)>& unpack) {
    static std::atomic<unsigned> serial{0};
    std::error_code ec;
    const auto parent = destination.parent_path();
    const auto hidden =
        parent / ("." + destination.filename().string() + ".unpacking-" + std::to_string(++serial));
    std::filesystem::remove_all(hidden, ec);
    std::filesystem::create_directories(hidden, ec);
    if (ec) return {ArchiveStatus::Failed, "cannot make " + hidden.string()};
    ArchiveOutcome outcome;
    {
        ArchiveSink sink(hidden, limits, keepGoing);
        outcome = unpack(sink);
        if (outcome.status == ArchiveStatus::Extracted && !sink.endFile()) outcome.status = ArchiveStatus::Failed;
        if (outcome.status != ArchiveStatus::Extracted && outcome.error.empty()) outcome.error = sink.error();
        outcome.files = sink.files();
        outcome.bytes = sink.bytes();
    }
    if (outcome.status == ArchiveStatus::Extracted) {
        std::filesystem::rename(hidden, destination, ec);
        if (!ec) return outcome;
        outcome = {ArchiveStatus::Failed, "cannot rename to " + destination.string(), outcome.files, outcome.bytes};
    }
    std::filesystem::remove_all(hidden, ec);
    logText("archive not unpacked: " + outcome.error);
    return outcome;
}

}  // namespace platform
