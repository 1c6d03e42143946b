// Zip and rar extraction: names in GBK, flagged UTF-8 and with "\", entries that would
// leave the folder, links, size bounds, corrupt data and a stop half-way; RAR 4 and RAR 5
// from the store-only writer.
#include "support/AppTest.h"
#include "support/RarWriter.h"
#include "support/ZipWriter.h"

#include "platform/Archive.h"
#include "platform/Files.h"

#include <sys/stat.h>

#include <chrono>

using namespace platform;
using testing_support::RarEntry;
using testing_support::ZipEntry;

namespace {

// GBK bytes of a few names (an old Chinese archive writes these without any flag).
const std::string kGbkAnswers = "\xD7\xF7\xD2\xB5\xB4\xF0\xB0\xB8";  // 作业答案
const std::string kGbkUnit = "\xB5\xDA\xD2\xBB\xB5\xA5\xD4\xAA";     // 第一单元

class ArchiveTest : public testing_support::AppTest {
protected:
    std::filesystem::path zip(const std::vector<ZipEntry>& entries, const std::string& name = "a.zip") {
        auto path = home_ / name;
        EXPECT_TRUE(testing_support::writeZipArchive(path, entries));
        return path;
    }
    std::filesystem::path file(const std::string& bytes, const std::string& name) {
        auto path = home_ / name;
        EXPECT_TRUE(writeFileAtomically(path, bytes));
        return path;
    }
    // Every name below the home folder, to show that nothing was left beside the target.
    std::vector<std::string> leftovers() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(home_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::filesystem::path out() const { return home_ / "out"; }
};

TEST_F(ArchiveTest, GbkNamesWithBackslashesBecomeChineseFilesInSubfolders) {
    auto archive = zip({{kGbkUnit + "\\" + kGbkAnswers + ".txt", "答案一"},
                        {kGbkUnit + "\\", ""},
                        {"readme.txt", "hello"}});
    auto outcome = extractZipArchive(archive, out());
    ASSERT_EQ(outcome.status, ArchiveStatus::Extracted) << outcome.error;
    EXPECT_EQ(readFile(out() / "第一单元" / "作业答案.txt"), "答案一");
    EXPECT_EQ(readFile(out() / "readme.txt"), "hello");
    EXPECT_EQ(outcome.files, 2u);
}

TEST_F(ArchiveTest, NamesAreUtf8WhenFlaggedOrValidElseGb18030) {
    struct Case {
        std::string raw;
        bool flag;
        std::string expected;
    } cases[] = {
        {"班级合影.jpg", true, "班级合影.jpg"},
        {"班级合影.jpg", false, "班级合影.jpg"},
        {kGbkAnswers + ".doc", false, "作业答案.doc"},
        {"plain.txt", false, "plain.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeArchiveName(c.raw, c.flag), c.expected) << c.expected;
    auto archive = zip({{"班级合影.jpg", "jpg", true}});
    ASSERT_EQ(extractZipArchive(archive, out()).status, ArchiveStatus::Extracted);
    EXPECT_TRUE(fileExists(out() / "班级合影.jpg"));
}

TEST_F(ArchiveTest, EntriesThatWouldLeaveTheFolderFailTheWholeExtraction) {
    for (const std::string bad : {"../tirra-escaped", "a/../../tirra-escaped", "/tmp/tirra-escaped",
                                  "..\\tirra-escaped", "C:\\tirra-escaped", "C:tirra-escaped"}) {
        SCOPED_TRACE(bad);
        auto archive = zip({{"good.txt", "ok"}, {bad, "evil"}}, "bad.zip");
        auto outcome = extractZipArchive(archive, out());
        EXPECT_EQ(outcome.status, ArchiveStatus::Failed);
        EXPECT_FALSE(fileExists(out()));
        EXPECT_FALSE(fileExists(home_.parent_path() / "tirra-escaped"));
        EXPECT_FALSE(fileExists("/tmp/tirra-escaped"));
        EXPECT_EQ(leftovers(), std::vector<std::string>({"Documents", "Library", "bad.zip", "tmp"}));
    }
}

TEST_F(ArchiveTest, LinksAreNeverMade) {
    auto archive = zip({{"link", "/etc/passwd", false, 0120777}, {"file.txt", "text", false, 0100644}});
    ASSERT_EQ(extractZipArchive(archive, out()).status, ArchiveStatus::Extracted);
    EXPECT_FALSE(std::filesystem::is_symlink(out() / "link"));
    EXPECT_FALSE(fileExists(out() / "link"));
    EXPECT_EQ(readFile(out() / "file.txt"), "text");
}

TEST_F(ArchiveTest, BytesOverTheBoundStopTheExtractionAndLeaveNothing) {
    // 200 MB of zeros deflate to a few hundred kilobytes.
    auto archive = zip({{"zeros.bin", std::string(200u * 1000 * 1000, '\0')}});
    EXPECT_LT(std::filesystem::file_size(archive), 1u << 20);
    ArchiveLimits limits;
    limits.maxTotalBytes = 10u * 1000 * 1000;
    auto outcome = extractZipArchive(archive, out(), limits);
    EXPECT_EQ(outcome.status, ArchiveStatus::Failed);
    EXPECT_LE(outcome.bytes, limits.maxTotalBytes);
    EXPECT_EQ(leftovers(), std::vector<std::string>({"Documents", "Library", "a.zip", "tmp"}));

    ArchiveLimits fewEntries;
    fewEntries.maxEntries = 2;
    auto many = zip({{"1", "a"}, {"2", "b"}, {"3", "c"}}, "many.zip");
    EXPECT_EQ(extractZipArchive(many, out(), fewEntries).status, ArchiveStatus::Failed);
    EXPECT_FALSE(fileExists(out()));
}

TEST_F(ArchiveTest, ABadChecksumOrBrokenDataFailsTheExtraction) {
    const std::string marker = "THE-DATA-OF-THE-ENTRY-0123456789";
    auto archive = zip({{"ok.txt", "fine", false, 0, true}, {"crc.txt", marker, false, 0, true}});
    auto bytes = *readFile(archive);
    const auto at = bytes.find(marker);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 3] = 'x';
    auto spoiled = file(bytes, "crc.zip");
    auto outcome = extractZipArchive(spoiled, out());
    EXPECT_EQ(outcome.status, ArchiveStatus::Failed);
    EXPECT_NE(outcome.error.find("checksum"), std::string::npos) << outcome.error;
    EXPECT_FALSE(fileExists(out()));

    // Deflated data cut in the middle.
    auto deflated = zip({{"big.txt", std::string(100000, 'a') + marker + std::string(100000, 'b')}}, "inflate.zip");
    auto data = *readFile(deflated);
    for (std::size_t i = 60; i < 90; ++i) data[i] = static_cast<char>(0xFF);
    EXPECT_EQ(extractZipArchive(file(data, "broken.zip"), out()).status, ArchiveStatus::Failed);
    EXPECT_FALSE(fileExists(out()));
}

TEST_F(ArchiveTest, AStopHalfWayLeavesNothingAndTheNextTryUnpacksAll) {
    std::vector<ZipEntry> entries;
    for (char i = '0'; i <= '9'; ++i) entries.push_back({std::string("f.txt").insert(1, 1, i), std::string(1000, 'x')});
    auto archive = zip(entries);
    int calls = 0;
    auto outcome = extractZipArchive(archive, out(), {}, [&] { return ++calls < 8; });
    EXPECT_EQ(outcome.status, ArchiveStatus::Failed);
    EXPECT_GT(outcome.files, 0u);
    EXPECT_FALSE(fileExists(out()));
    EXPECT_EQ(leftovers(), std::vector<std::string>({"Documents", "Library", "a.zip", "tmp"}));
    ASSERT_EQ(extractZipArchive(archive, out()).status, ArchiveStatus::Extracted);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out()), {}), 10);
}

TEST_F(ArchiveTest, TimesComeFromTheArchive) {
    const std::time_t when = 1600000000;
    auto archive = zip({{"old.txt", "x", false, 0, false, when}});
    ASSERT_EQ(extractZipArchive(archive, out()).status, ArchiveStatus::Extracted);
    struct stat info {};
    ASSERT_EQ(::stat((out() / "old.txt").c_str(), &info), 0);
    EXPECT_NEAR(static_cast<double>(info.st_mtime), static_cast<double>(when), 2.0);
}

TEST_F(ArchiveTest, WhatIsNoArchiveDoesNotOpen) {
    auto junk = file("this is not an archive at all", "junk.zip");
    EXPECT_FALSE(canOpenZipArchive(junk));
    EXPECT_EQ(extractZipArchive(junk, out()).status, ArchiveStatus::CannotOpen);
    EXPECT_EQ(extractRarArchive(junk, out()).status, ArchiveStatus::CannotOpen);
    EXPECT_EQ(extractRarArchive(home_ / "missing.rar", out()).status, ArchiveStatus::CannotOpen);
    EXPECT_FALSE(fileExists(out()));
}

TEST_F(ArchiveTest, RarFourAndFiveUnpackWithChineseNamesFoldersAndTimes) {
    const std::time_t when = 1650000000;
    struct Case {
        const char* label;
        std::string bytes;
    } cases[] = {
        {"rar4 gbk", testing_support::rar4Archive({{kGbkUnit, "", true},
                                                   {kGbkUnit + "\\" + kGbkAnswers + ".txt", "答案", false, false, when}})},
        {"rar4 unicode", testing_support::rar4Archive({{"第一单元", "", true, true},
                                                       {"第一单元\\作业答案.txt", "答案", false, true, when}})},
        {"rar5", testing_support::rar5Archive({{"第一单元", "", true},
                                               {"第一单元/作业答案.txt", "答案", false, false, when}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::error_code ec;
        std::filesystem::remove_all(out(), ec);
        auto archive = file(c.bytes, "a.rar");
        EXPECT_TRUE(canOpenRarArchive(archive));
        auto outcome = extractRarArchive(archive, out());
        ASSERT_EQ(outcome.status, ArchiveStatus::Extracted) << outcome.error;
        EXPECT_EQ(readFile(out() / "第一单元" / "作业答案.txt"), "答案");
        struct stat info {};
        ASSERT_EQ(::stat((out() / "第一单元" / "作业答案.txt").c_str(), &info), 0);
        EXPECT_NEAR(static_cast<double>(info.st_mtime), static_cast<double>(when), 2.0);
    }
}

TEST_F(ArchiveTest, RarEntriesThatWouldLeaveTheFolderOrOverflowFail) {
    auto climbing = file(testing_support::rar5Archive({{"ok.txt", "ok"}, {"../x", "evil"}}), "a.rar");
    EXPECT_EQ(extractRarArchive(climbing, out()).status, ArchiveStatus::Failed);
    EXPECT_FALSE(fileExists(home_ / "x"));
    EXPECT_FALSE(fileExists(out()));
    ArchiveLimits limits;
    limits.maxTotalBytes = 100;
    auto big = file(testing_support::rar4Archive({{"big.bin", std::string(1000, 'z')}}), "b.rar");
    EXPECT_EQ(extractRarArchive(big, out(), limits).status, ArchiveStatus::Failed);
    EXPECT_FALSE(fileExists(out()));
}

}  // namespace
