// The local database file, its schema, and the account and preference tables.

#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"
#include "core/SavedUser.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "support/AppTest.h"

#include <sqlite3.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using Json = nlohmann::json;
using DB = MVTtirraDataBase;

namespace {

std::filesystem::path databasePath() { return platform::Paths::documentsDirectory() / "tirraData.sql"; }

// Reads the file through a connection of its own, as the next run of the app would.
std::vector<std::vector<std::string>> rawRows(const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(databasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "database file can't be opened";
        return rows;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const auto* text = sqlite3_column_text(statement, i);
                row.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
            }
            rows.push_back(row);
        }
    } else {
        ADD_FAILURE() << sqlite3_errmsg(db);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

bool tableExists(const std::string& name) {
    return !rawRows("SELECT name FROM sqlite_master WHERE type='table' AND name='" + name + "'").empty();
}

Json savedUser() {
    return {{"userName", "li.wei"},     {"userPassword", "pa'ss"}, {"userId", "1001"},
            {"role", "teacher"},        {"status", "1"},           {"power", "0"},
            {"schoolId", "88"},         {"ecampus", "1"},          {"name", "李伟"},
            {"vfsUrl", "http://v/"},    {"hideString", "3,5"},     {"hideSquare", "n"},
            {"classId", "12,13"},       {"userLvl", 4},            {"userIntegral", 120},
            {"userIntegralGet", "7"}};
}

Json defaultSettings() {
    return {{"news", "1"},   {"chatNews", "1"}, {"MentionNews", "1"}, {"commenNews", "1"},
            {"NotiNews", "1"}, {"HMNews", "1"}, {"feedNews", "1"},    {"defaultTime", "60"}};
}

class DataBaseAccountTest : public testing_support::AppTest {};

// ---- File and schema ----------------------------------------------------------------------

struct SchemaCase {
    bool (*open)();
    const char* table;
    const char* statement;
};

TEST_F(DataBaseAccountTest, EachOpenStepCreatesItsTableWithExactlyItsStatement) {
    const SchemaCase cases[] = {
        {&DB::creatMSGtable, "MSGtable",
         "CREATE TABLE MSGtable (id INTEGER PRIMARY KEY AUTOINCREMENT,msgid INTEGER,userid text,friendid "
         "text,forumid text,fieldid text,status integer,msg text,sendTime timestamp,attachments text,isread "
         "integer,issuccess integer,name text,role text,CONSTRAINT norepeat unique(msgid,userid))"},
        {&DB::creatDynamicTable, "dynamicTable",
         "CREATE TABLE dynamicTable (mid INTEGER PRIMARY KEY,id INTEGER ,name text,title text,content "
         "text,likeCount text,commentCount text,comments text,attachments text,share text,lesson text,userId "
         "text,links text,dateline text,uid text,type text,vote text,perm text,more text,role text,className "
         "text,love text,activity text,decoration text,likeUsers text,CONSTRAINT userServerId "
         "unique(id,userId))"},
        {&DB::creatUsersTable, "userTable",
         "CREATE TABLE userTable (mid INTEGER,userId text PRIMARY KEY ,name text,userName text,password "
         "text,role text,power text,schoolId text)"},
        {&DB::creatSaveUserTable, "saveUserTable",
         "CREATE TABLE saveUserTable (mid INTEGER,userName text,userPassword text,userId text,role text,status "
         "text,power text,schoolId text,ecampus text,name text,vfsUrl text,hideAppString text,hideSquare "
         "text,classId text,userLvl text,userIntegral text,userIntegralGet text)"},
        {&DB::creatUserNewsSettingTable, "userNewsSettingTable",
         "CREATE TABLE userNewsSettingTable (mid INTEGER,news text,chatNews text,MentionNews text,commenNews "
         "text,NotiNews text,HMNews text,feedNews text,defaultTime text,userId text PRIMARY KEY)"},
        {&DB::creatSaveVersion, "SaveVersion", "CREATE TABLE SaveVersion (mid INTEGER,saveVersion text)"},
        {&DB::creatSaveRecordPermission, "SaveRecordPermission",
         "CREATE TABLE SaveRecordPermission (mid INTEGER,saveRecordPermission text)"},
        {&DB::creatSaveVisible, "SaveVisible", "CREATE TABLE SaveVisible (mid INTEGER,saveVisible text,uid text)"},
        {&DB::creatSaveDynamicTable, "saveDynamicTable",
         "CREATE TABLE saveDynamicTable (mid INTEGER,uid text,info text,dynamicId text PRIMARY KEY)"},
    };
    EXPECT_FALSE(std::filesystem::exists(databasePath()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        EXPECT_TRUE(c.open());
        // Opening again keeps the table as it is.
        EXPECT_TRUE(c.open());
        auto rows = rawRows(std::string("SELECT sql FROM sqlite_master WHERE type='table' AND name='") +
                            c.table + "'");
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0], c.statement);
    }
}

TEST_F(DataBaseAccountTest, RowsOutliveTheConnectionThatWroteThem) {
    DB::insertSaveVersion("3.2.0");
    DB::insertUsersTableWithDic({{"userId", "1001"}, {"name", "王芳"}, {"userName", "wf"}, {"password", "x"},
                                 {"role", "parent"}, {"power", "0"}, {"schoolId", "88"}});
    // A fresh connection on the file, as after a restart of the app, sees both rows.
    EXPECT_EQ(rawRows("SELECT saveVersion FROM SaveVersion"), (std::vector<std::vector<std::string>>{{"3.2.0"}}));
    EXPECT_EQ(rawRows("SELECT userId,name FROM userTable"),
              (std::vector<std::vector<std::string>>{{"1001", "王芳"}}));
    // And the operations read them back through their own new connection.
    EXPECT_EQ(DB::selectSaveVersion(), "3.2.0");
    EXPECT_EQ(DB::selectUsersTableData().size(), 1u);
}

TEST_F(DataBaseAccountTest, AnUnusableFileGivesEmptyResults) {
    struct Case {
        const char* what;
        void (*spoil)(const std::filesystem::path&);
        bool logsError;  // the open worked but the table could not be created
    };
    const Case cases[] = {
        {"a folder in its place", [](const std::filesystem::path& p) { std::filesystem::create_directories(p); },
         false},
        {"a file that is not a database",
         [](const std::filesystem::path& p) { platform::writeFileAtomically(p, std::string(4096, 'x')); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(databasePath());
        c.spoil(databasePath());
        std::vector<std::string> logged;
        platform::setLogSink([&](const std::string& line) { logged.push_back(line); });

        EXPECT_FALSE(DB::creatSaveVersion());
        DB::insertSaveVersion("1.0");
        EXPECT_EQ(DB::selectSaveVersion(), "");
        EXPECT_FALSE(DB::selectSaveRecordPermission());
        EXPECT_EQ(DB::selectSaveUserTableData(), Json::object());
        EXPECT_EQ(DB::selectUsersTableData(), Json::array());
        EXPECT_FALSE(DB::deleteAllUsers());
        EXPECT_FALSE(DB::upDataUserNewsSettingWith("1", "60"));
        EXPECT_EQ(DB::insertMSGtablewith(Json::array({{{"id", 1}}}), "1"), -1);
        EXPECT_EQ(DB::insertMSGtable(Json::array({{{"id", 1}}}), "1"), -1);
        EXPECT_EQ(DB::selectTheFirst("1"), std::nullopt);
        EXPECT_EQ(DB::selectDynamicData("1", 0), Json::array());
        EXPECT_EQ(DB::selectSaveDynamicData("1"), Json::array());
        platform::setLogSink(nullptr);
        EXPECT_EQ(!logged.empty(), c.logsError);
    }
}

// ---- Saved user ---------------------------------------------------------------------------

TEST_F(DataBaseAccountTest, ReplacingTheSavedUserLeavesOneRowWithItsSixteenKeys) {
    EXPECT_EQ(DB::selectSaveUserTableData(), Json::object());
    EXPECT_EQ(DB::selectSaveUserUserNameAndPassward(), Json::object());

    Json first = savedUser();
    first["userName"] = "old";
    DB::insertSaveUserTableWithDict(first);
    EXPECT_TRUE(DB::deleteSaveUser());
    DB::insertSaveUserTableWithDict(savedUser());

    EXPECT_EQ(rawRows("SELECT COUNT(*) FROM saveUserTable")[0][0], "1");
    Json expected = savedUser();
    expected["userLvl"] = "4";  // numbers come back as their decimal text
    expected["userIntegral"] = "120";
    EXPECT_EQ(DB::selectSaveUserTableData(), expected);
    EXPECT_EQ(rawRows("SELECT hideAppString FROM saveUserTable")[0][0], "3,5");
    EXPECT_EQ(DB::selectSaveUserUserNameAndPassward(),
              (Json{{"userName", "li.wei"}, {"userPassword", "pa'ss"}, {"userId", "1001"}}));
}

TEST_F(DataBaseAccountTest, SavedUserReadsTheLastOfSeveralRows) {
    Json a = savedUser();
    Json b = savedUser();
    b["userName"] = "second";
    b["userId"] = "2002";
    DB::insertSaveUserTableWithDict(a);
    DB::insertSaveUserTableWithDict(b);
    EXPECT_EQ(DB::selectSaveUserTableData()["userName"], "second");
    EXPECT_EQ(DB::selectSaveUserUserNameAndPassward()["userId"], "2002");
}

TEST_F(DataBaseAccountTest, AMissingValueIsStoredAsNullText) {
    Json user = savedUser();
    user.erase("status");
    DB::insertSaveUserTableWithDict(user);
    EXPECT_EQ(rawRows("SELECT status FROM saveUserTable")[0][0], "(null)");
    Json read = DB::selectSaveUserTableData();
    EXPECT_EQ(read["status"], "(null)");
    EXPECT_EQ(read["role"], "teacher");
}

TEST_F(DataBaseAccountTest, RewritingFromTheAccountStoresEachFieldAndMissingOnesAsTheirNullText) {
    MVTAccount::resetSharedInstanceForTests();
    MVTAccount& account = MVTAccount::sharedInstance();
    account.setUserName("li.wei");
    account.setPassword("pw");
    account.setName("李伟");
    account.setUserId("1001");
    account.setRole("student");
    account.setSchoolId("1");
    account.setClassId("11,12");
    account.setEcampus(true);
    account.setHideAppString("3,5");
    account.setUserLvl("4");
    rewriteSavedUserFromAccount();
    rewriteSavedUserFromAccount();

    EXPECT_EQ(rawRows("SELECT COUNT(*) FROM saveUserTable")[0][0], "1");
    EXPECT_EQ(DB::selectSaveUserTableData(),
              (Json{{"userName", "li.wei"}, {"userPassword", "pw"}, {"name", "李伟"}, {"userId", "1001"},
                    {"role", "student"}, {"status", "(null)"}, {"power", "(null)"}, {"schoolId", "1"},
                    {"classId", "11,12"}, {"ecampus", "1"}, {"vfsUrl", "(null)"}, {"hideString", "3,5"},
                    {"hideSquare", "(null)"}, {"userLvl", "4"}, {"userIntegral", "(null)"},
                    {"userIntegralGet", "(null)"}}));
    MVTAccount::resetSharedInstanceForTests();
}

// ---- Remembered accounts --------------------------------------------------------------------

TEST_F(DataBaseAccountTest, ASecondRowForAUserIdKeepsTheFirst) {
    Json account = {{"userId", "7"}, {"name", "A"}, {"userName", "a"}, {"password", "p1"},
                    {"role", "student"}, {"power", "0"}, {"schoolId", "3"}};
    DB::insertUsersTableWithDic(account);
    Json again = account;
    again["name"] = "B";
    DB::insertUsersTableWithDic(again);
    Json other = account;
    other["userId"] = "8";
    other.erase("schoolId");
    DB::insertUsersTableWithDic(other);

    Json list = DB::selectUsersTableData();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], account);
    EXPECT_EQ(list[1]["userId"], "8");
    EXPECT_EQ(list[1]["schoolId"], "(null)");
}

TEST_F(DataBaseAccountTest, ForgettingAnAccountByIdOrByNameRemovesOnlyThatOne) {
    for (const char* id : {"1", "2", "3"}) {
        DB::insertUsersTableWithDic({{"userId", id}, {"name", "n"}, {"userName", std::string("user") + id},
                                     {"password", "p"}, {"role", "parent"}, {"power", "0"}, {"schoolId", ""}});
    }
    EXPECT_TRUE(DB::deleteUsersTableWith("2"));
    EXPECT_TRUE(DB::deleteUsersTableWithUserName("user3"));
    EXPECT_TRUE(DB::deleteUsersTableWith("404"));  // no match is still a success
    Json list = DB::selectUsersTableData();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["userId"], "1");
}

TEST_F(DataBaseAccountTest, DroppingUserTableThatNeverExistedSucceeds) {
    ASSERT_TRUE(DB::creatSaveVersion());  // the file exists, the table doesn't
    EXPECT_FALSE(tableExists("userTable"));
    EXPECT_TRUE(DB::deleteAllUsers());
    EXPECT_FALSE(tableExists("userTable"));
    // The next operation brings it back, empty.
    EXPECT_EQ(DB::selectUsersTableData(), Json::array());
    EXPECT_TRUE(tableExists("userTable"));
}

// ---- Reminder settings ------------------------------------------------------------------------

TEST_F(DataBaseAccountTest, ReminderSettingsReadBackWithoutTheUserId) {
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("9"), Json::object());
    DB::insertUserNewsSettingWithDic(defaultSettings(), "9");
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("9"), defaultSettings());
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("10"), Json::object());
    // A second row for the same user is refused.
    Json other = defaultSettings();
    other["defaultTime"] = "30";
    DB::insertUserNewsSettingWithDic(other, "9");
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("9")["defaultTime"], "60");
}

TEST_F(DataBaseAccountTest, SwitchUpdatePutsHomeworkAndNoticeValuesInTheirOwnColumns) {
    DB::insertUserNewsSettingWithDic(defaultSettings(), "9");
    DB::insertUserNewsSettingWithDic(defaultSettings(), "10");
    EXPECT_TRUE(DB::upDataUserNewsSettingWith("9", "1", "0", "1", "0", /*HM*/ "0", /*Noti*/ "1", "0"));
    Json expected = {{"news", "1"},   {"chatNews", "0"}, {"MentionNews", "1"}, {"commenNews", "0"},
                     {"NotiNews", "1"}, {"HMNews", "0"}, {"feedNews", "0"},    {"defaultTime", "60"}};
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("9"), expected);
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("10"), defaultSettings());

    EXPECT_TRUE(DB::upDataUserNewsSettingWith("9", "120"));
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("9")["defaultTime"], "120");
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("10")["defaultTime"], "60");

    EXPECT_TRUE(DB::deleteUserNewsSettingDataWith("9"));
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("9"), Json::object());
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("10"), defaultSettings());
}

// ---- Preferences --------------------------------------------------------------------------------

TEST_F(DataBaseAccountTest, VersionIsEmptyOnAFreshInstallAndTheLastStoredOneAfter) {
    EXPECT_EQ(DB::selectSaveVersion(), "");
    DB::insertSaveVersion("3.1.0");
    EXPECT_EQ(DB::selectSaveVersion(), "3.1.0");
    DB::insertSaveVersion("3.2.0");
    EXPECT_EQ(DB::selectSaveVersion(), "3.2.0");
    EXPECT_TRUE(DB::deleteSaveVersion());
    EXPECT_EQ(DB::selectSaveVersion(), "");
}

TEST_F(DataBaseAccountTest, RecordingMarkSurvivesVersionChangeAndSignOut) {
    EXPECT_FALSE(DB::selectSaveRecordPermission());
    DB::insertSaveRecordPermission("1");
    EXPECT_TRUE(DB::selectSaveRecordPermission());
    // Version change, then sign-out, in the order start-up and sign-out drop their tables.
    for (auto drop : {&DB::deleteSaveUser, &DB::dropMSList, &DB::deleteAllUsers, &DB::deleteDynamicTable,
                      &DB::deleteAllUserNewsSetting, &DB::deleteSaveVersion, &DB::deleteAllUsers,
                      &DB::deleteAllUserNewsSetting, &DB::deleteSaveUser}) {
        EXPECT_TRUE(drop());
    }
    EXPECT_TRUE(DB::selectSaveRecordPermission());
}

TEST_F(DataBaseAccountTest, VisibilityIsEmptyUntilChosenThenUpdatedPerUser) {
    EXPECT_EQ(DB::selectSaveVisibleWith("5"), "");
    DB::insertSaveVisible("2", "5");
    DB::insertSaveVisible("0", "6");
    EXPECT_EQ(DB::selectSaveVisibleWith("5"), "2");
    EXPECT_TRUE(DB::updateSaveVisibleWith("5", "1"));
    EXPECT_EQ(DB::selectSaveVisibleWith("5"), "1");
    EXPECT_EQ(DB::selectSaveVisibleWith("6"), "0");
    EXPECT_EQ(rawRows("SELECT COUNT(*) FROM SaveVisible")[0][0], "2");
}

// ---- Drops ------------------------------------------------------------------------------------

struct DropCase {
    const char* table;
    void (*fill)();
    bool (*drop)();
    bool (*isEmpty)();
};

TEST_F(DataBaseAccountTest, EachDropEmptiesItsTableUntilTheNextOperationRecreatesIt) {
    const DropCase cases[] = {
        {"MSGtable", [] { DB::insertMSGtable(Json::array({{{"id", 1}, {"uid", "2"}}}), "1"); }, &DB::dropMSList,
         [] { return DB::selectFirstMSG("1") == std::nullopt; }},
        {"dynamicTable", [] { DB::insertDynamicWithArr(Json::array({{{"id", 1}}}), "1"); },
         &DB::deleteDynamicTable, [] { return DB::selectTheFirst("1") == std::nullopt; }},
        {"userTable", [] { DB::insertUsersTableWithDic({{"userId", "1"}}); }, &DB::deleteAllUsers,
         [] { return DB::selectUsersTableData().empty(); }},
        {"saveUserTable", [] { DB::insertSaveUserTableWithDict(savedUser()); }, &DB::deleteSaveUser,
         [] { return DB::selectSaveUserTableData().empty(); }},
        {"userNewsSettingTable", [] { DB::insertUserNewsSettingWithDic(defaultSettings(), "1"); },
         &DB::deleteAllUserNewsSetting, [] { return DB::selectUserNewsSettingDataWith("1").empty(); }},
        {"SaveVersion", [] { DB::insertSaveVersion("1"); }, &DB::deleteSaveVersion,
         [] { return DB::selectSaveVersion().empty(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        c.fill();
        EXPECT_FALSE(c.isEmpty());
        EXPECT_TRUE(c.drop());
        EXPECT_FALSE(tableExists(c.table));
        EXPECT_TRUE(c.isEmpty());
        EXPECT_TRUE(tableExists(c.table));
    }
}

// ---- Quotes and concurrency -------------------------------------------------------------------

TEST_F(DataBaseAccountTest, QuotesInEveryArgumentAreStoredAsTheyAreAndMatchOnlyTheirRow) {
    const std::string tricky = "o'brien'; DROP TABLE userTable; --";
    const std::string orQuote = "x' OR '1'='1";
    DB::insertUsersTableWithDic({{"userId", tricky}, {"name", "it's"}, {"userName", orQuote},
                                 {"password", "'"}, {"role", "teacher"}, {"power", "0"}, {"schoolId", "1"}});
    DB::insertUsersTableWithDic({{"userId", "plain"}, {"name", "n"}, {"userName", "x"}, {"password", "p"},
                                 {"role", "teacher"}, {"power", "0"}, {"schoolId", "1"}});
    Json list = DB::selectUsersTableData();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["userId"], tricky);
    EXPECT_EQ(list[0]["name"], "it's");
    EXPECT_EQ(list[0]["password"], "'");

    // A user name built to match every row deletes nothing it shouldn't.
    EXPECT_TRUE(DB::deleteUsersTableWithUserName("' OR '1'='1"));
    EXPECT_EQ(DB::selectUsersTableData().size(), 2u);
    EXPECT_TRUE(DB::deleteUsersTableWithUserName(orQuote));
    ASSERT_EQ(DB::selectUsersTableData().size(), 1u);
    EXPECT_TRUE(DB::deleteUsersTableWith(tricky));  // already gone: nothing else changes
    EXPECT_EQ(DB::selectUsersTableData()[0]["userId"], "plain");

    DB::insertUserNewsSettingWithDic(defaultSettings(), tricky);
    DB::insertUserNewsSettingWithDic(defaultSettings(), "plain");
    EXPECT_TRUE(DB::upDataUserNewsSettingWith(tricky, "0", "0", "0", "0", "0", "0", "0"));
    EXPECT_TRUE(DB::upDataUserNewsSettingWith(tricky, "9'0"));
    EXPECT_EQ(DB::selectUserNewsSettingDataWith(tricky)["defaultTime"], "9'0");
    EXPECT_EQ(DB::selectUserNewsSettingDataWith(tricky)["news"], "0");
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("plain"), defaultSettings());
    EXPECT_TRUE(DB::deleteUserNewsSettingDataWith(orQuote));
    EXPECT_EQ(DB::selectUserNewsSettingDataWith("plain"), defaultSettings());

    DB::insertSaveVisible("1'", tricky);
    DB::insertSaveVisible("2", "plain");
    EXPECT_TRUE(DB::updateSaveVisibleWith(tricky, "3'"));
    EXPECT_EQ(DB::selectSaveVisibleWith(tricky), "3'");
    EXPECT_EQ(DB::selectSaveVisibleWith("plain"), "2");
    EXPECT_EQ(DB::selectSaveVisibleWith(orQuote), "");

    DB::insertSaveVersion("it's 1.0");
    EXPECT_EQ(DB::selectSaveVersion(), "it's 1.0");
}

TEST_F(DataBaseAccountTest, OperationsFromSeveralThreadsAllTakeEffect) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 15;
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &mismatches] {
            for (int i = 0; i < kPerThread; ++i) {
                std::string uid = std::to_string(t) + "-" + std::to_string(i);
                DB::insertSaveVisible(std::to_string(i), uid);
                if (DB::selectSaveVisibleWith(uid) != std::to_string(i)) ++mismatches;
                DB::insertSaveRecordPermission("1");
                if (!DB::selectSaveRecordPermission()) ++mismatches;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(rawRows("SELECT COUNT(*) FROM SaveVisible")[0][0], std::to_string(kThreads * kPerThread));
}

}  // namespace
