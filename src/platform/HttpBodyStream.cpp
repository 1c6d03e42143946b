#include "platform/HttpBodyStream.h"

#include <algorithm>
#include <cstring>

namespace platform {

void HttpBodyStream::appendBytes(const std::string& bytes) {
    if (bytes.empty()) return;
    if (!pieces_.empty() && pieces_.back().file.empty())
        pieces_.back().bytes += bytes;
    else
        pieces_.push_back({bytes, {}, 0});
    pieces_.back().length = pieces_.back().bytes.size();
    size_ += bytes.size();
}

void HttpBodyStream::appendFile(const std::filesystem::path& path, std::uintmax_t length) {
    if (length == 0) return;
    pieces_.push_back({{}, path, length});
    size_ += length;
}

std::optional<std::string> HttpBodyStream::readAll(std::size_t maxBytes) const {
    if (size_ > maxBytes) return std::nullopt;
    // The reader only reads; it needs shared ownership for the long-lived case alone.
    Reader reader(std::shared_ptr<const HttpBodyStream>(this, [](const HttpBodyStream*) {}));
    std::string bytes(static_cast<std::size_t>(size_), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        std::size_t n = reader.read(bytes.data() + got, bytes.size() - got);
        if (n == 0) break;
        got += n;
    }
    if (reader.failed() || got != bytes.size()) return std::nullopt;
    return bytes;
}

HttpBodyStream::Reader::Reader(std::shared_ptr<const HttpBodyStream> body) : body_(std::move(body)) {}

HttpBodyStream::Reader::~Reader() { closeFile(); }

void HttpBodyStream::Reader::closeFile() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

std::size_t HttpBodyStream::Reader::read(char* out, std::size_t capacity) {
    std::size_t done = 0;
    while (done < capacity && !failed() && piece_ < body_->pieces_.size()) {
        const Piece& piece = body_->pieces_[piece_];
        const std::uintmax_t left = piece.length - offset_;
        if (left == 0) {
            closeFile();
            ++piece_;
            offset_ = 0;
            continue;
        }
        const std::size_t want = static_cast<std::size_t>(std::min<std::uintmax_t>(left, capacity - done));
        if (piece.file.empty()) {
            std::memcpy(out + done, piece.bytes.data() + offset_, want);
            done += want;
            offset_ += want;
            continue;
        }
        if (!file_) {
            file_ = std::fopen(piece.file.c_str(), "rb");
            if (!file_ || (offset_ > 0 && fseeko(file_, static_cast<off_t>(offset_), SEEK_SET) != 0)) {
                error_ = "cannot read " + piece.file.string();
                break;
            }
        }
        const std::size_t got = std::fread(out + done, 1, want, file_);
        done += got;
        offset_ += got;
        if (got < want) {
            error_ = std::ferror(file_) ? "cannot read " + piece.file.string()
                                        : piece.file.string() + " became shorter than when it was added";
            break;
        }
    }
    return failed() ? 0 : done;
}

bool HttpBodyStream::Reader::seek(std::uintmax_t offset) {
    if (offset > body_->size_) return false;
    closeFile();
    error_.clear();
    piece_ = 0;
    while (piece_ < body_->pieces_.size() && offset >= body_->pieces_[piece_].length) {
        offset -= body_->pieces_[piece_].length;
        ++piece_;
    }
    offset_ = offset;
    return true;
}

}  // namespace platform
