#include "support/RarWriter.h"

#include "platform/Values.h"

#include <zlib.h>

namespace testing_support {

namespace {

std::uint32_t rarCrc(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

void putLittle(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putVint(std::string& out, std::uint64_t value) {
    do {
        unsigned char byte = value & 0x7F;
        value >>= 7;
        if (value) byte |= 0x80;
        out += static_cast<char>(byte);
    } while (value);
}

std::uint32_t dosTime(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return static_cast<std::uint32_t>(((local.tm_year - 80) << 25) | ((local.tm_mon + 1) << 21) |
                                      (local.tm_mday << 16) | (local.tm_hour << 11) | (local.tm_min << 5) |
                                      (local.tm_sec / 2));
}

// RAR 4 block: CRC16 (low half of CRC32 of the rest), then type, flags, size and body.
std::string rar4Block(unsigned char type, std::uint16_t flags, const std::string& body) {
    std::string rest;
    rest += static_cast<char>(type);
    putLittle(rest, flags, 2);
    putLittle(rest, 7 + body.size(), 2);
    rest += body;
    std::string block;
    putLittle(block, rarCrc(rest) & 0xFFFF, 2);
    return block + rest;
}

// The Unicode form of a RAR 4 name: the ASCII name, a zero byte, then the high byte used
// by "one byte" codes and groups of four characters behind a flags byte; every character
// here takes the two-byte code (low byte, high byte).
std::string rar4UnicodeName(const std::string& utf8) {
    const std::u16string wide = platform::toUtf16(utf8);
    std::string out;
    for (char16_t c : wide) out += c < 0x80 ? static_cast<char>(c) : '_';
    out += '\0';
    out += '\0';  // high byte
    for (std::size_t i = 0; i < wide.size(); i += 4) {
        const std::size_t group = std::min<std::size_t>(4, wide.size() - i);
        unsigned char flags = 0;
        for (std::size_t k = 0; k < group; ++k) flags |= static_cast<unsigned char>(2u << (6 - 2 * k));
        out += static_cast<char>(flags);
        for (std::size_t k = 0; k < group; ++k) {
            out += static_cast<char>(wide[i + k] & 0xFF);
            out += static_cast<char>(wide[i + k] >> 8);
        }
    }
    return out;
}

// RAR 5 header: CRC32 of what follows it, the size, then the header itself.
std::string rar5Header(const std::string& header) {
    std::string sized;
    putVint(sized, header.size());
    sized += header;
    std::string out;
    putLittle(out, rarCrc(sized), 4);
    return out + sized;
}

}  // namespace

std::string rar4Archive(const std::vector<RarEntry>& entries) {
    std::string out("Rar!\x1a\x07\x00", 7);
    out += rar4Block(0x73, 0, std::string(6, '\0'));
    for (const auto& entry : entries) {
        const std::string name = entry.unicode ? rar4UnicodeName(entry.name) : entry.name;
        std::uint16_t flags = 0x8000;  // a data size follows
        if (entry.unicode) flags |= 0x0200;
        if (entry.folder) flags |= 0x00E0;
        std::string body;
        putLittle(body, entry.data.size(), 4);   // packed size
        putLittle(body, entry.data.size(), 4);   // unpacked size
        body += static_cast<char>(2);            // made on Windows
        putLittle(body, rarCrc(entry.data), 4);  // data CRC
        putLittle(body, dosTime(entry.modified), 4);
        body += static_cast<char>(20);    // version 2.0 unpacks it
        body += static_cast<char>(0x30);  // stored
        putLittle(body, name.size(), 2);
        putLittle(body, entry.folder ? 0x10 : 0x20, 4);
        body += name;
        out += rar4Block(0x74, flags, body) + entry.data;
    }
    out += rar4Block(0x7B, 0x4000, {});
    return out;
}

std::string rar5Archive(const std::vector<RarEntry>& entries) {
    std::string out("Rar!\x1a\x07\x01\x00", 8);
    std::string main;
    putVint(main, 1);  // main archive header
    putVint(main, 0);  // header flags
    putVint(main, 0);  // archive flags
    out += rar5Header(main);
    for (const auto& entry : entries) {
        std::string header;
        putVint(header, 2);  // file header
        putVint(header, 0x2);  // a data area follows
        putVint(header, entry.data.size());
        putVint(header, (entry.folder ? 0x1 : 0) | 0x2 | (entry.folder ? 0 : 0x4));  // mtime, CRC
        putVint(header, entry.data.size());
        putVint(header, entry.folder ? 0x10 : 0x20);
        putLittle(header, static_cast<std::uint64_t>(entry.modified), 4);
        if (!entry.folder) putLittle(header, rarCrc(entry.data), 4);
        putVint(header, 0);  // version 0, stored, smallest window
        putVint(header, 0);  // made on Windows
        putVint(header, entry.name.size());
        header += entry.name;
        out += rar5Header(header) + entry.data;
    }
    std::string end;
    putVint(end, 5);
    putVint(end, 0);
    putVint(end, 0);
    out += rar5Header(end);
    return out;
}

}  // namespace testing_support
