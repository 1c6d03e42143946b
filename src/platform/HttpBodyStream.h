#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A request body made of pieces held in memory and of files, read in order while the
// request is sent, so that a large file is never loaded whole. A file piece stands for the
// size the file had when it was added: should the file be shorter by the time it is sent,
// reading fails rather than sending a body shorter than announced.
class HttpBodyStream {
public:
    void appendBytes(const std::string& bytes);
    // The first `length` bytes of the file.
    void appendFile(const std::filesystem::path& path, std::uintmax_t length);

    std::uintmax_t size() const { return size_; }
    // The whole body, when it has no more than `maxBytes` bytes and every file reads.
    std::optional<std::string> readAll(std::size_t maxBytes) const;

    // Reads a body from its start (one reader per exchange; not thread-safe).
    class Reader {
    public:
        explicit Reader(std::shared_ptr<const HttpBodyStream> body);
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;

        // Copies up to `capacity` bytes to `out`; 0 at the end or after a failure.
        std::size_t read(char* out, std::size_t capacity);
        // Goes back (or forward) to `offset` bytes from the start; false when out of range.
        bool seek(std::uintmax_t offset);
        bool failed() const { return !error_.empty(); }
        const std::string& error() const { return error_; }

    private:
        void closeFile();

        std::shared_ptr<const HttpBodyStream> body_;
        std::size_t piece_ = 0;
        std::uintmax_t offset_ = 0;  // within the current piece
        std::FILE* file_ = nullptr;  // open while reading a file piece
        std::string error_;
    };

private:
    struct Piece {
        std::string bytes;
        std::filesystem::path file;  // empty for bytes held in memory
        std::uintmax_t length = 0;
    };
    std::vector<Piece> pieces_;
    std::uintmax_t size_ = 0;
};

}  // namespace platform
