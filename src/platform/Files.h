#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// Whole-file helpers. Reads are bounded: a file larger than `maxBytes` is refused
// (nullopt), never read into memory unchecked.
std::optional<std::string> readFile(const std::filesystem::path& path,
                                    std::size_t maxBytes = 256u * 1024 * 1024);
// Writes to a temporary file beside the target and renames it over the target, so a
// reader sees the old or the new content, never half of it. Creates missing folders.
bool writeFileAtomically(const std::filesystem::path& path, const std::string& bytes);
bool fileExists(const std::filesystem::path& path);

// A fresh folder under the system's temp dir; removed by the caller.
std::filesystem::path makeTemporaryFolder(const std::string& prefix);

}  // namespace platform
