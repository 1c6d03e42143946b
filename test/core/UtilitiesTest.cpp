#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MyMD5.h"
#include "core/PinyinInitial.h"
#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "platform/Values.h"
#include "support/AppTest.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <cmath>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {

class UtilitiesTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        platform::setLocalTimeZone("Asia/Shanghai");
    }
    void TearDown() override {
        platform::setLocalTimeZone("");
        AppTest::TearDown();
    }

    fs::path downloads() const { return platform::Paths::documentsDirectory() / "Downloads"; }

    static void setModificationTime(const fs::path& path, double seconds) {
        timespec times[2];
        times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(seconds);
        times[0].tv_nsec = times[1].tv_nsec = 0;
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    // A mono 16-bit recording of `seconds` at 8000 Hz, as the recorder writes it.
    static void writeWav(const fs::path& path, double seconds) {
        SF_INFO info{};
        info.samplerate = 8000;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        std::vector<short> samples(static_cast<size_t>(std::lround(seconds * 8000)), 0);
        sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
        sf_close(file);
    }
};

TEST_F(UtilitiesTest, CachePathsLiveInTheDownloadsFolderWhichIsMadeOnFirstUse) {
    ASSERT_FALSE(fs::exists(downloads()));
    EXPECT_EQ(MVTPublicMethod::getPathByFileName("1024", "png"), (downloads() / "1024.png").string());
    EXPECT_TRUE(fs::is_directory(downloads()));
    EXPECT_EQ(MVTPublicMethod::getPathByFileName("20260105160000wavToAmr", "amr"),
              (downloads() / "20260105160000wavToAmr.amr").string());
}

TEST_F(UtilitiesTest, CachePathOfANameWithSeparatorsStaysInsideTheCache) {
    struct Case {
        const char* name;
        const char* type;
        const char* file;
    };
    const Case cases[] = {
        // The attachment names begin with "/": it adds no folder level.
        {"/attachs_880003", "txt", "attachs_880003.txt"},
        {"/attachs_7", "wav", "attachs_7.wav"},
        // Any other separator, from an id or a type the service sent, stays in the name.
        {"/attachs_../../etc/passwd", "png", "attachs_.._.._etc_passwd.png"},
        {"//tmp/x", "png", "_tmp_x.png"},
        {"../../etc/passwd", "png", ".._.._etc_passwd.png"},
        {"a/b", "png", "a_b.png"},
        {"/attachs_1", "../x", "attachs_1..._x"},
        // Names that would be the cache folder itself or its parent.
        {".", "", "__"},
        {"", "", "_"},
        {"/", "", "_"},
    };
    for (const Case& c : cases) {
        fs::path path = MVTPublicMethod::getPathByFileName(c.name, c.type);
        EXPECT_EQ(path, downloads() / c.file) << c.name << " " << c.type;
        EXPECT_EQ(path.parent_path(), downloads()) << c.name;
    }
}

TEST_F(UtilitiesTest, FilesAndFoldersCanBeFoundAndDeleted) {
    std::string file = MVTPublicMethod::getPathByFileName("note", "txt");
    EXPECT_FALSE(MVTPublicMethod::fileExistsAtPath(file));
    EXPECT_FALSE(MVTPublicMethod::deleteFileAtPath(file));

    ASSERT_TRUE(platform::writeFileAtomically(file, "x"));
    EXPECT_TRUE(MVTPublicMethod::fileExistsAtPath(file));
    EXPECT_TRUE(MVTPublicMethod::deleteFileAtPath(file));
    EXPECT_FALSE(MVTPublicMethod::fileExistsAtPath(file));

    fs::path folder = platform::Paths::documentsDirectory() / "attachs";
    ASSERT_TRUE(platform::writeFileAtomically(folder / "inner" / "a.doc", "doc"));
    EXPECT_TRUE(MVTPublicMethod::fileExistsAtPath(folder.string()));
    EXPECT_TRUE(MVTPublicMethod::deleteFileAtPath(folder.string()));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(MVTPublicMethod::fileExistsAtPath(""));
}

TEST_F(UtilitiesTest, CachedFilesAreFreshForSevenDaysAfterTheirLastChange) {
    const double day = 86400;
    struct Case {
        const char* what;
        double age;
        bool fresh;
    };
    const Case cases[] = {
        {"changed just now", 0, true},
        {"6 days ago", 6 * day, true},
        {"exactly 7 days ago", 7 * day, true},
        {"7 days and a second ago", 7 * day + 1, false},
        {"8 days ago", 8 * day, false},
        {"in the future", -day, true},
    };
    std::string path = MVTPublicMethod::getPathByFileName("avatar", "png");
    ASSERT_TRUE(platform::writeFileAtomically(path, "png"));
    for (const auto& c : cases) {
        setModificationTime(path, platform::now() - c.age);
        EXPECT_EQ(MVTPublicMethod::isNewmodify(path), c.fresh) << c.what;
    }
    // Freshness follows the app's clock, not the wall clock.
    setModificationTime(path, platform::now() - 6 * day);
    clock_->advance(2 * day);
    EXPECT_FALSE(MVTPublicMethod::isNewmodify(path));
    EXPECT_FALSE(MVTPublicMethod::isNewmodify(MVTPublicMethod::getPathByFileName("missing", "png")));
}

TEST_F(UtilitiesTest, CleaningTheCacheRemovesTheDownloadsFolderAndSaysSo) {
    auto nothing = MVTPublicMethod::cleanCacheFiles();
    EXPECT_FALSE(nothing.hadFolder);  // no folder: nothing to report

    ASSERT_TRUE(platform::writeFileAtomically(MVTPublicMethod::getPathByFileName("a", "png"), "a"));
    ASSERT_TRUE(platform::writeFileAtomically(MVTPublicMethod::getPathByFileName("b", "amr"), "b"));
    fs::path other = platform::Paths::documentsDirectory() / "keep.txt";
    ASSERT_TRUE(platform::writeFileAtomically(other, "keep"));

    auto done = MVTPublicMethod::cleanCacheFiles();
    EXPECT_TRUE(done.hadFolder);
    EXPECT_TRUE(done.succeeded);
    EXPECT_EQ(done.message, "清除缓存成功");
    EXPECT_FALSE(fs::exists(downloads()));
    EXPECT_TRUE(fs::exists(other));
}

TEST_F(UtilitiesTest, RecordingLengthIsRoundedToWholeSeconds) {
    struct Case {
        const char* name;
        double seconds;
        int expected;
    };
    const Case cases[] = {{"short", 0.4, 0}, {"two", 2.4, 2}, {"three", 2.6, 3}, {"long", 59.5, 60}};
    for (const auto& c : cases) {
        writeWav(MVTPublicMethod::getPathByFileName(c.name, "wav"), c.seconds);
        EXPECT_EQ(MVTPublicMethod::getVedioLength(c.name), c.expected) << c.name;
    }
    EXPECT_EQ(MVTPublicMethod::getVedioLength("missing"), 0);
    ASSERT_TRUE(platform::writeFileAtomically(MVTPublicMethod::getPathByFileName("junk", "wav"),
                                              "not a wave file at all"));
    EXPECT_EQ(MVTPublicMethod::getVedioLength("junk"), 0);
}

TEST_F(UtilitiesTest, RecorderSettingsAreEightKilohertzMonoSixteenBitPcm) {
    auto settings = MVTPublicMethod::getAudioRecorderSettingDict();
    EXPECT_EQ(settings["sampleRate"].get<double>(), 8000.0);
    EXPECT_EQ(settings["format"], "linearPCM");
    EXPECT_EQ(settings["bitsPerSample"], 16);
    EXPECT_EQ(settings["channels"], 1);
}

TEST_F(UtilitiesTest, TimeTextsUseTheLocalZoneAndTheAppClock) {
    // The manual clock starts at 2026-01-05 08:00:00 UTC, 16:00 in Shanghai.
    EXPECT_EQ(MVTPublicMethod::getCurrentTimeString(), "20260105160000");
    clock_->advance(61.7);
    EXPECT_EQ(MVTPublicMethod::getCurrentTimeString(), "20260105160101");

    struct Case {
        int seconds;
        const char* text;
    };
    const Case cases[] = {{0, "01-01 08:00"}, {1767600000, "01-05 16:00"}, {1767628799, "01-05 23:59"},
                          {1767628800, "01-06 00:00"}, {2147483647, "01-19 11:14"}};
    for (const auto& c : cases) EXPECT_EQ(MVTPublicMethod::timeString(c.seconds), c.text) << c.seconds;
}

TEST_F(UtilitiesTest, UuidsAreThirtyTwoUppercaseHexDigitsAndNeverRepeat) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        std::string uuid = MVTPublicMethod::generateUUID();
        ASSERT_EQ(uuid.size(), 32u);
        EXPECT_EQ(uuid.find_first_not_of("0123456789ABCDEF"), std::string::npos) << uuid;
        EXPECT_EQ(uuid[12], '4') << uuid;  // a random (version 4) UUID
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 200u);
}

TEST_F(UtilitiesTest, DeviceModelIsAStableNonEmptyText) {
    std::string model = MVTPublicMethod::currentDevicemodel();
    EXPECT_FALSE(model.empty());
    EXPECT_EQ(model, MVTPublicMethod::currentDevicemodel());
    EXPECT_EQ(model.find('/'), std::string::npos);  // it becomes part of file names
}

TEST_F(UtilitiesTest, NullTestFollowsTheTextOfTheValue) {
    using platform::Json;
    const Json reply = Json::parse(R"j({"name": null, "zero": 0, "blank": " ", "text": "(null)"})j");
    struct Case {
        const char* what;
        Json value;
        bool isNull;
    };
    const Case cases[] = {
        {"absent key", platform::valueFor(reply, "missing"), true},
        {"JSON null", reply["name"], true},
        {"empty text", "", true},
        {"text <null>", "<null>", true},
        {"text (null)", reply["text"], true},
        {"single space", reply["blank"], false},
        {"number 0", reply["zero"], false},
        {"false", false, false},
        {"ordinary text", "张三", false},
    };
    for (const auto& c : cases) EXPECT_EQ(MVTPublicMethod::stringIsClassNull(c.value), c.isNull) << c.what;
}

TEST_F(UtilitiesTest, ValuesUnderAKeyAreJoinedByTheirText) {
    using platform::Json;
    EXPECT_EQ(MVTPublicMethod::getAllDataBeAString(Json::array(), "uid"), "");
    Json list = Json::parse(R"([{"uid": 12}, {"uid": "u7"}, {"uid": null}, {"name": "x"}, {"uid": 2.5}])");
    EXPECT_EQ(MVTPublicMethod::getAllDataBeAString(list, "uid"), "12,u7,<null>,(null),2.5");
    EXPECT_EQ(MVTPublicMethod::getAllDataBeAString(Json::parse(R"([{"uid": "1"}])"), "uid"), "1");
}

TEST_F(UtilitiesTest, SupportedFileTypesAreComparedInLowerCase) {
    struct Case {
        const char* extension;
        bool supported;
    };
    const Case cases[] = {{"pdf", true},  {"PDF", true},  {"Docx", true}, {"aac", true}, {"m4r", true},
                          {"rar", true},  {"html", true}, {"exe", false}, {"", false},   {"pd", false},
                          {"htm", false}, {"pdf ", false}};
    for (const auto& c : cases)
        EXPECT_EQ(MVTPublicMethod::isSupportFileType(c.extension), c.supported) << c.extension;
}

TEST_F(UtilitiesTest, MobileNumbersMatchTheWholePattern) {
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"13812345678", true},   {"13012345678", true},   {"15012345678", true},
        {"15912345678", true},   {"18012345678", true},   {"18912345678", true},
        {"15412345678", false},  {"17012345678", false},  {"14712345678", false},
        {"1381234567", false},   {"138123456789", false}, {"1381234567a", false},
        {" 13812345678", false}, {"13812345678\n", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(MVTPublicMethod::validateMobile(c.text), c.valid) << c.text;
}

TEST_F(UtilitiesTest, EmailAddressesMatchTheWholePattern) {
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"teacher@school.cn", true},     {"a.b_c%d+e-f@mail-1.example.com", true},
        {"x@y.info", true},              {"x@y.c", false},
        {"x@y.museum", false},           {"x@ycom", false},
        {"@school.cn", false},           {"teacher@", false},
        {"teacher@school.cn ", false},   {"张@school.cn", false},
        {"a@b@school.cn", false},        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(MVTPublicMethod::validateEmail(c.text), c.valid) << c.text;
}

TEST_F(UtilitiesTest, FieldsAreStoredOrRemovedAndWrittenThrough) {
    MVTPublicMethod::setField("10.0.0.2", "HTTPSERVER");
    MVTPublicMethod::setField("8080", "HTTPPORT");
    platform::UserDefaults::reloadStandard();  // what a fresh start reads back
    auto& defaults = platform::UserDefaults::standard();
    EXPECT_EQ(defaults.stringForKey("HTTPSERVER"), "10.0.0.2");
    EXPECT_EQ(defaults.stringForKey("HTTPPORT"), "8080");

    MVTPublicMethod::setField("", "HTTPPORT");
    platform::UserDefaults::reloadStandard();
    EXPECT_FALSE(platform::UserDefaults::standard().hasKey("HTTPPORT"));
    EXPECT_EQ(platform::UserDefaults::standard().stringForKey("HTTPSERVER"), "10.0.0.2");
}

TEST(MyMD5Test, DigestsAreLowercaseHexOfTheBytesUpToTheFirstZero) {
    struct Case {
        std::string text;
        const char* digest;
    };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        {"中文", "a7bac2239fcdcb3a067903d8077c4a07"},
        {std::string("abc\0def", 7), "900150983cd24fb0d6963f7d28e17f72"},
        {std::string("\0abc", 4), "d41d8cd98f00b204e9800998ecf8427e"},
    };
    for (const auto& c : cases) EXPECT_EQ(MyMD5::md5(c.text), c.digest) << c.text;
}

TEST(PinyinInitialTest, CharactersGiveTheFirstLetterOfTheirReading) {
    struct Case {
        char16_t unit;
        int expected;
    };
    const Case cases[] = {
        {u'一', 'y'}, {u'丁', 'd'}, {u'中', 'z'}, {u'国', 'g'}, {u'学', 'x'}, {u'陈', 'c'},
        {u'张', 'z'}, {u'王', 'w'}, {u'李', 'l'}, {u'欧', 'o'}, {u'安', 'a'}, {u'恩', 'e'},
        {u'兙', 's'},  // a reading the transliterator lacks, filled in by hand
        {0x9FA6, 0},
        {u'A', 'A'}, {u'z', 'z'}, {u'7', '7'}, {u'#', '#'},
        {0x9FA7, static_cast<signed char>(0xA7)},  // past the table: the low byte, signed
        {0x4DFF, -1},                               // just before it
        {0xFF21, 0x21},                             // full-width A: low byte "!"
    };
    for (const auto& c : cases)
        EXPECT_EQ(pinyinInitialOfCharacter(c.unit), c.expected) << std::hex << int(c.unit);
}

TEST(PinyinInitialTest, EveryTableEntryIsALetterThatCanBeginAPinyinSyllable) {
    for (char16_t unit = 0x4E00; unit <= 0x9FA5; ++unit) {
        signed char letter = pinyinInitialOfCharacter(unit);
        ASSERT_TRUE(letter >= 'a' && letter <= 'z' && letter != 'i' && letter != 'u' && letter != 'v')
            << std::hex << int(unit) << " gives " << int(letter);
    }
}

}  // namespace

namespace {

class JoinGuardTest : public testing_support::AppTest {
protected:
    void TearDown() override {
        MVTAccount::resetSharedInstanceForTests();
        AppTest::TearDown();
    }
};

TEST_F(JoinGuardTest, OnlyTeachersStudentsAndParentsWithoutAClassAreSentToJoinOne) {
    struct Case {
        std::optional<std::string> role;
        std::optional<std::string> classId;
        bool unClassed;
    };
    const Case cases[] = {
        {"teacher", "", true},          {"student", "", true},        {"parent", "", true},
        {"student", std::nullopt, true}, {"teacher", "101", false},     {"parent", "101,102", false},
        {"admin", "", false},            {"system", "", false},         {std::nullopt, "", false},
        {"Teacher", "", false},
    };
    for (const auto& c : cases) {
        MVTAccount::sharedInstance().setRole(c.role);
        MVTAccount::sharedInstance().setClassId(c.classId);
        EXPECT_EQ(MVTPublicMethod::isUnClassId(), c.unClassed)
            << c.role.value_or("(absent)") << " / " << c.classId.value_or("(absent)");
    }
}

}  // namespace
