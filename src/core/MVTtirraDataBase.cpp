#include "core/MVTtirraDataBase.h"

#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Values.h"

#include <sqlite3.h>

#include <initializer_list>
#include <map>
#include <mutex>
#include <variant>

using Json = nlohmann::json;
using platform::textOf;

namespace {

// ---- Schema ----------------------------------------------------------------------------

constexpr const char* kMSGtable =
    "CREATE TABLE IF NOT EXISTS MSGtable (id INTEGER PRIMARY KEY AUTOINCREMENT,msgid INTEGER,userid "
    "text,friendid text,forumid text,fieldid text,status integer,msg text,sendTime timestamp,attachments "
    "text,isread integer,issuccess integer,name text,role text,CONSTRAINT norepeat unique(msgid,userid))";
constexpr const char* kDynamicTable =
    "CREATE TABLE IF NOT EXISTS dynamicTable (mid INTEGER PRIMARY KEY,id INTEGER ,name text,title "
    "text,content text,likeCount text,commentCount text,comments text,attachments text,share text,lesson "
    "text,userId text,links text,dateline text,uid text,type text,vote text,perm text,more text,role "
    "text,className text,love text,activity text,decoration text,likeUsers text,CONSTRAINT userServerId "
    "unique(id,userId))";
constexpr const char* kUserTable =
    "CREATE TABLE IF NOT EXISTS userTable (mid INTEGER,userId text PRIMARY KEY ,name text,userName "
    "text,password text,role text,power text,schoolId text)";
constexpr const char* kSaveUserTable =
    "CREATE TABLE IF NOT EXISTS saveUserTable (mid INTEGER,userName text,userPassword text,userId "
    "text,role text,status text,power text,schoolId text,ecampus text,name text,vfsUrl text,hideAppString "
    "text,hideSquare text,classId text,userLvl text,userIntegral text,userIntegralGet text)";
constexpr const char* kUserNewsSettingTable =
    "CREATE TABLE IF NOT EXISTS userNewsSettingTable (mid INTEGER,news text,chatNews text,MentionNews "
    "text,commenNews text,NotiNews text,HMNews text,feedNews text,defaultTime text,userId text PRIMARY "
    "KEY)";
constexpr const char* kSaveVersion = "CREATE TABLE IF NOT EXISTS SaveVersion (mid INTEGER,saveVersion text)";
constexpr const char* kSaveRecordPermission =
    "CREATE TABLE IF NOT EXISTS SaveRecordPermission (mid INTEGER,saveRecordPermission text)";
constexpr const char* kSaveVisible = "CREATE TABLE IF NOT EXISTS SaveVisible (mid INTEGER,saveVisible text,uid text)";
constexpr const char* kSaveDynamicTable =
    "CREATE TABLE IF NOT EXISTS saveDynamicTable (mid INTEGER,uid text,info text,dynamicId text PRIMARY KEY)";

// Saved-user dictionary keys, in the order of the columns that hold them.
constexpr const char* kSaveUserKeys[] = {"userName", "userPassword", "userId",     "role",
                                         "status",   "power",        "schoolId",   "ecampus",
                                         "name",     "vfsUrl",       "hideString", "hideSquare",
                                         "classId",  "userLvl",      "userIntegral", "userIntegralGet"};
constexpr const char* kSaveUserColumns =
    "userName,userPassword,userId,role,status,power,schoolId,ecampus,name,vfsUrl,hideAppString,hideSquare,"
    "classId,userLvl,userIntegral,userIntegralGet";

constexpr const char* kUserKeys[] = {"userId", "name", "userName", "password", "role", "power", "schoolId"};

constexpr const char* kNewsSettingKeys[] = {"news",   "chatNews", "MentionNews", "commenNews",
                                            "NotiNews", "HMNews", "feedNews",    "defaultTime"};

// Feed columns after the row key, in table order. JSON columns hold a list or a dictionary.
// Text: a missing value is "(null)"; TextOrEmpty: the empty text; Love: "0" (not praised).
enum class Kind { Text, TextOrEmpty, Love, List, Dict, UserId };
struct FeedColumn {
    const char* name;
    Kind kind;
};
constexpr FeedColumn kFeedColumns[] = {
    {"id", Kind::Text},          {"name", Kind::Text},          {"title", Kind::Text},
    {"content", Kind::Text},     {"likeCount", Kind::Text},     {"commentCount", Kind::Text},
    {"comments", Kind::List},    {"attachments", Kind::List},   {"share", Kind::Dict},
    {"lesson", Kind::Dict},      {"userId", Kind::UserId},      {"links", Kind::List},
    {"dateline", Kind::Text},    {"uid", Kind::Text},           {"type", Kind::Text},
    {"vote", Kind::Dict},        {"perm", Kind::TextOrEmpty},   {"more", Kind::TextOrEmpty},
    {"role", Kind::TextOrEmpty}, {"className", Kind::TextOrEmpty}, {"love", Kind::Love},
    {"activity", Kind::Dict},    {"decoration", Kind::Dict},    {"likeUsers", Kind::List},
};
constexpr const char* kFeedColumnList =
    "id,name,title,content,likeCount,commentCount,comments,attachments,share,lesson,userId,links,dateline,"
    "uid,type,vote,perm,more,role,className,love,activity,decoration,likeUsers";

constexpr int kFeedPageSize = 15;

constexpr const char* kMSGColumnList =
    "id,msgid,userid,friendid,forumid,fieldid,status,msg,sendTime,attachments,isread,issuccess,name,role";

// ---- Values ----------------------------------------------------------------------------

// JSON text of a list or a dictionary; the empty text for anything else (a missing value too).
std::string jsonText(const Json& value) {
    if (!value.is_array() && !value.is_object()) return "";
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A list or dictionary read back from JSON text; `empty` when the text is empty, can't be
// parsed or holds something else.
Json parseContainer(const std::string& text, const Json& empty) {
    if (text.empty()) return empty;
    Json parsed = Json::parse(text, nullptr, false);
    if (parsed.is_array() || parsed.is_object()) return parsed;
    return empty;
}

// The text of dict[key], or `fallback` when the key is missing.
std::string textOr(const Json& dict, const char* key, const char* fallback) {
    const Json& value = platform::valueFor(dict, key);
    return value.is_discarded() ? std::string(fallback) : textOf(value);
}

// ---- Connection --------------------------------------------------------------------------

std::mutex& databaseMutex() {
    static std::mutex mutex;
    return mutex;
}

using Value = std::variant<std::string, std::int64_t>;

// One row of a select, read by position. NULL reads as the empty text or 0.
class Row {
public:
    explicit Row(sqlite3_stmt* statement) : statement_(statement) {}
    bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    std::string text(int column) const {
        const auto* bytes = sqlite3_column_text(statement_, column);
        if (!bytes) return "";
        return std::string(reinterpret_cast<const char*>(bytes),
                           static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
    }
    std::int64_t int64(int column) const { return sqlite3_column_int64(statement_, column); }
    int int32(int column) const { return sqlite3_column_int(statement_, column); }

private:
    sqlite3_stmt* statement_;
};

// The file is open, and the lock held, for the life of one session: one operation.
class Session {
public:
    // Opens the database and runs the creating statement of the operation's table.
    explicit Session(const char* creatingStatement) : lock_(databaseMutex()) {
        auto path = (platform::Paths::documentsDirectory() / "tirraData.sql").string();
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK) {
            sqlite3_close(db_);
            db_ = nullptr;
            return;
        }
        char* error = nullptr;
        if (sqlite3_exec(db_, creatingStatement, nullptr, nullptr, &error) != SQLITE_OK) {
            sqlite3_close(db_);
            db_ = nullptr;
            platform::log("%s", error ? error : "");
            sqlite3_free(error);
        }
    }
    ~Session() {
        if (db_) sqlite3_close(db_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    explicit operator bool() const { return db_ != nullptr; }

    // Runs one statement with its parameters; true when it ran to the end without an error
    // (also when it matched no row).
    bool run(const char* sql, std::initializer_list<Value> values) {
        return select(sql, values, [](const Row&) {});
    }

    // Runs a select and hands every row to `onRow`; false when the statement failed.
    template <class OnRow>
    bool select(const char* sql, std::initializer_list<Value> values, OnRow&& onRow) {
        if (!db_) return false;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement);
            return false;
        }
        int index = 1;
        for (const Value& value : values) {
            if (const auto* text = std::get_if<std::string>(&value)) {
                sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()),
                                  SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(statement, index, std::get<std::int64_t>(value));
            }
            ++index;
        }
        int status;
        Row row(statement);
        while ((status = sqlite3_step(statement)) == SQLITE_ROW) onRow(row);
        sqlite3_finalize(statement);
        return status == SQLITE_DONE;
    }

    std::int64_t lastRowId() const { return db_ ? sqlite3_last_insert_rowid(db_) : -1; }
    sqlite3* handle() const { return db_; }

private:
    std::lock_guard<std::mutex> lock_;
    sqlite3* db_ = nullptr;
};

// One statement prepared once and run again for each list of values (the rows of a page),
// inside the session that made it.
class PreparedStatement {
public:
    PreparedStatement(const Session& session, const char* sql) {
        if (session.handle() && sqlite3_prepare_v2(session.handle(), sql, -1, &statement_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement_);
            statement_ = nullptr;
        }
    }
    ~PreparedStatement() { sqlite3_finalize(statement_); }
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    explicit operator bool() const { return statement_ != nullptr; }

    // Binds the values and steps the statement to its end; false when SQLite refused it
    // (only this run is undone, as SQLite aborts the one statement).
    bool run(std::initializer_list<Value> values) {
        if (!statement_) return false;
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
        int index = 1;
        for (const Value& value : values) {
            if (const auto* text = std::get_if<std::string>(&value)) {
                sqlite3_bind_text(statement_, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(statement_, index, std::get<std::int64_t>(value));
            }
            ++index;
        }
        int status;
        while ((status = sqlite3_step(statement_)) == SQLITE_ROW) {
        }
        sqlite3_reset(statement_);
        return status == SQLITE_DONE;
    }

private:
    sqlite3_stmt* statement_ = nullptr;
};

bool openStep(const char* creatingStatement) { return static_cast<bool>(Session(creatingStatement)); }

// Drops a table after its open step has made sure it exists.
bool dropTable(const char* creatingStatement, const char* dropStatement) {
    Session session(creatingStatement);
    return session && session.run(dropStatement, {});
}

// The text of the first column of the last row of a one-column preference table.
std::optional<std::string> lastValue(const char* creatingStatement, const char* sql,
                                     std::initializer_list<Value> values) {
    Session session(creatingStatement);
    std::optional<std::string> result;
    session.select(sql, values, [&](const Row& row) {
        result = row.isNull(0) ? std::nullopt : std::optional<std::string>(row.text(0));
    });
    return result;
}

// ---- Feed rows -------------------------------------------------------------------------

std::string feedValue(const Json& post, const FeedColumn& column, const std::string& userId) {
    switch (column.kind) {
        case Kind::Text: return textOf(post, column.name);
        case Kind::TextOrEmpty: return textOr(post, column.name, "");
        case Kind::Love: return textOr(post, column.name, "0");
        case Kind::List:
        case Kind::Dict: return jsonText(platform::valueFor(post, column.name));
        case Kind::UserId: return userId;
    }
    return "";
}

Json feedRecord(const Row& row) {
    Json post = Json::object();
    int index = 0;
    for (const FeedColumn& column : kFeedColumns) {
        switch (column.kind) {
            case Kind::UserId: break;
            case Kind::List: post[column.name] = parseContainer(row.text(index), Json::array()); break;
            case Kind::Dict: post[column.name] = parseContainer(row.text(index), Json::object()); break;
            case Kind::Love: post[column.name] = row.isNull(index) ? "0" : row.text(index); break;
            default: post[column.name] = row.text(index); break;
        }
        ++index;
    }
    return post;
}

// ---- Message rows ----------------------------------------------------------------------

// Stores one message through the page's prepared insert; the new row id, or nothing when
// SQLite refuses it.
std::optional<std::int64_t> storeMessage(Session& session, PreparedStatement& insert, const Json& message,
                                         const std::string& userId) {
    bool group = message.is_object() && message.contains("forumId");
    std::string forumId = group ? std::to_string(platform::integerValue(message["forumId"])) : "";
    std::string fieldId =
        group ? std::to_string(platform::integerValue(platform::valueFor(message, "fieldId"))) : "";
    bool stored = insert.run(
        {std::int64_t(platform::integerValue(platform::valueFor(message, "id"))), userId, textOf(message, "uid"),
         forumId, fieldId, textOf(message, "status"), textOf(message, "msg"), textOf(message, "sendTime"),
         jsonText(platform::valueFor(message, "attachments")), textOf(message, "isReaded"),
         textOr(message, "issuccess", "1"), textOr(message, "name", ""), textOr(message, "role", "")});
    if (!stored) return std::nullopt;
    return session.lastRowId();
}

constexpr const char* kMSGInsert =
    "INSERT INTO MSGtable(msgid,userid,friendid,forumid,fieldid,status,msg,sendTime,attachments,isread,"
    "issuccess,name,role) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)";

// Stores a list of messages in one transaction with one prepared insert. A refused row
// fails alone; with `stopAtRefusal` the rows after it are not tried (those before it stay
// stored) and the answer is -1. Otherwise the row id of the last row stored, -1 for none.
std::int64_t storeMessages(const Json& messages, const std::string& userId, bool stopAtRefusal) {
    Session session(kMSGtable);
    if (!session || !messages.is_array()) return -1;
    PreparedStatement insert(session, kMSGInsert);
    if (!insert) return -1;
    session.run("BEGIN", {});
    std::int64_t last = -1;
    for (const Json& message : messages) {
        auto rowId = storeMessage(session, insert, message, userId);
        if (rowId) {
            last = *rowId;
        } else if (stopAtRefusal) {
            last = -1;
            break;
        }
    }
    session.run("COMMIT", {});
    return last;
}

MVTMessageRow messageRow(const Row& row) {
    MVTMessageRow message;
    message.nid = row.int64(0);
    message.msgid = row.int64(1);
    message.userid = row.text(2);
    message.friendid = row.text(3);
    message.forumid = row.text(4);
    message.fieldid = row.text(5);
    message.status = row.int32(6);
    message.msg = row.text(7);
    message.sendTime = row.text(8);
    message.attachments = row.text(9);
    message.isread = row.int32(10);
    message.issuccess = row.int32(11);
    message.name = row.text(12);
    message.role = row.text(13);
    return message;
}

// The columns that order and identify a message, read for every row of a conversation the
// chat opens; the others are read by row number when the message is shown.
constexpr const char* kMSGKeyColumnList = "id,msgid,status,sendTime,issuccess";

MVTMessageRow messageKeyRow(const Row& row) {
    MVTMessageRow message;
    message.nid = row.int64(0);
    message.msgid = row.int64(1);
    message.status = row.int32(2);
    message.sendTime = row.text(3);
    message.issuccess = row.int32(4);
    message.complete = false;
    return message;
}

// Reads one conversation's rows through `readRow` from a select of `columns`, oldest first
// (by send time, then message id).
std::vector<MVTMessageRow> readConversation(const char* columns, MVTMessageRow (*readRow)(const Row&),
                                            const std::string& userId, const std::string& friendId,
                                            const std::optional<std::string>& forumId, const std::string& fieldId) {
    Session session(kMSGtable);
    std::vector<MVTMessageRow> messages;
    auto onRow = [&](const Row& row) { messages.push_back(readRow(row)); };
    std::string sql = std::string("SELECT ") + columns + " FROM MSGtable ";
    if (forumId) {
        sql += "where userid=? and forumid=? and fieldid=? ORDER BY sendTime ASC,msgid ASC";
        session.select(sql.c_str(), {userId, *forumId, fieldId}, onRow);
    } else {
        sql += "where userid=? and friendid=? and forumid = '' and fieldid = '' ORDER BY sendTime ASC,msgid ASC";
        session.select(sql.c_str(), {userId, friendId}, onRow);
    }
    return messages;
}

}  // namespace

Json MVTMessageRow::record() const {
    // Keys go in in their sorted order, each placed at the end without a search.
    Json::object_t message;
    auto put = [&message](const char* key, Json value) { message.emplace_hint(message.end(), key, std::move(value)); };
    if (!attachments.empty()) {
        Json list = parseContainer(attachments, Json::array());
        if (!list.empty()) put("attachments", std::move(list));
    }
    put("fieldid", fieldid);
    put("forumid", forumid);
    put("friendid", friendid);
    put("id", std::to_string(msgid));
    put("isReaded", std::to_string(isread));
    put("issuccess", std::to_string(issuccess));
    put("msg", msg);
    put("name", name);
    put("nid", std::to_string(nid));
    put("role", role);
    put("sendTime", sendTime);
    put("status", std::to_string(status));
    put("uid", userid);
    return Json(std::move(message));
}

// ---- Open steps ------------------------------------------------------------------------------

bool MVTtirraDataBase::creatMSGtable() { return openStep(kMSGtable); }
bool MVTtirraDataBase::creatDynamicTable() { return openStep(kDynamicTable); }
bool MVTtirraDataBase::creatUsersTable() { return openStep(kUserTable); }
bool MVTtirraDataBase::creatSaveUserTable() { return openStep(kSaveUserTable); }
bool MVTtirraDataBase::creatUserNewsSettingTable() { return openStep(kUserNewsSettingTable); }
bool MVTtirraDataBase::creatSaveVersion() { return openStep(kSaveVersion); }
bool MVTtirraDataBase::creatSaveRecordPermission() { return openStep(kSaveRecordPermission); }
bool MVTtirraDataBase::creatSaveVisible() { return openStep(kSaveVisible); }
bool MVTtirraDataBase::creatSaveDynamicTable() { return openStep(kSaveDynamicTable); }

// ---- Remembered accounts ---------------------------------------------------------------------

void MVTtirraDataBase::insertUsersTableWithDic(const Json& account) {
    Session session(kUserTable);
    session.run("INSERT INTO userTable(userId,name,userName,password,role,power,schoolId) VALUES (?,?,?,?,?,?,?)",
                {textOf(account, "userId"), textOf(account, "name"), textOf(account, "userName"),
                 textOf(account, "password"), textOf(account, "role"), textOf(account, "power"),
                 textOf(account, "schoolId")});
}

Json MVTtirraDataBase::selectUsersTableData() {
    Session session(kUserTable);
    Json accounts = Json::array();
    session.select("SELECT userId,name,userName,password,role,power,schoolId FROM userTable ORDER BY rowid", {},
                   [&](const Row& row) {
                       Json account = Json::object();
                       int index = 0;
                       for (const char* key : kUserKeys) account[key] = row.text(index++);
                       accounts.push_back(std::move(account));
                   });
    return accounts;
}

bool MVTtirraDataBase::deleteUsersTableWith(const std::string& userId) {
    Session session(kUserTable);
    return session.run("DELETE FROM userTable WHERE userId=?", {userId});
}

bool MVTtirraDataBase::deleteUsersTableWithUserName(const std::string& userName) {
    Session session(kUserTable);
    return session.run("DELETE FROM userTable WHERE userName=?", {userName});
}

bool MVTtirraDataBase::deleteAllUsers() { return dropTable(kUserTable, "DROP TABLE userTable"); }

// ---- The signed-in user ----------------------------------------------------------------------

void MVTtirraDataBase::insertSaveUserTableWithDict(const Json& user) {
    Session session(kSaveUserTable);
    if (!session) return;
    std::string sql = std::string("INSERT INTO saveUserTable (") + kSaveUserColumns +
                      ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    const auto t = [&](int i) -> Value { return textOf(user, kSaveUserKeys[i]); };
    session.run(sql.c_str(), {t(0), t(1), t(2), t(3), t(4), t(5), t(6), t(7), t(8), t(9), t(10), t(11),
                              t(12), t(13), t(14), t(15)});
}

Json MVTtirraDataBase::selectSaveUserTableData() {
    Session session(kSaveUserTable);
    Json user = Json::object();
    std::string sql = std::string("SELECT ") + kSaveUserColumns + " FROM saveUserTable ORDER BY rowid";
    session.select(sql.c_str(), {}, [&](const Row& row) {
        int index = 0;
        for (const char* key : kSaveUserKeys) user[key] = row.text(index++);
    });
    return user;
}

Json MVTtirraDataBase::selectSaveUserUserNameAndPassward() {
    Session session(kSaveUserTable);
    Json user = Json::object();
    session.select("SELECT userName,userPassword,userId FROM saveUserTable ORDER BY rowid", {},
                   [&](const Row& row) {
                       user["userName"] = row.text(0);
                       user["userPassword"] = row.text(1);
                       user["userId"] = row.text(2);
                   });
    return user;
}

bool MVTtirraDataBase::deleteSaveUser() { return dropTable(kSaveUserTable, "DROP TABLE saveUserTable"); }

// ---- Reminder settings -----------------------------------------------------------------------

void MVTtirraDataBase::insertUserNewsSettingWithDic(const Json& settings, const std::string& userId) {
    Session session(kUserNewsSettingTable);
    const auto t = [&](int i) -> Value { return textOf(settings, kNewsSettingKeys[i]); };
    session.run(
        "INSERT INTO userNewsSettingTable (news,chatNews,MentionNews,commenNews,NotiNews,HMNews,feedNews,"
        "defaultTime,userId) VALUES (?,?,?,?,?,?,?,?,?)",
        {t(0), t(1), t(2), t(3), t(4), t(5), t(6), t(7), userId});
}

Json MVTtirraDataBase::selectUserNewsSettingDataWith(const std::string& userId) {
    Session session(kUserNewsSettingTable);
    Json settings = Json::object();
    session.select(
        "SELECT news,chatNews,MentionNews,commenNews,NotiNews,HMNews,feedNews,defaultTime FROM "
        "userNewsSettingTable WHERE userId=?",
        {userId}, [&](const Row& row) {
            int index = 0;
            for (const char* key : kNewsSettingKeys) settings[key] = row.text(index++);
        });
    return settings;
}

bool MVTtirraDataBase::upDataUserNewsSettingWith(const std::string& userId, const std::string& allSet,
                                                 const std::string& chatSet, const std::string& mentionSet,
                                                 const std::string& commenSet, const std::string& hmSet,
                                                 const std::string& notiSet, const std::string& feedSet) {
    Session session(kUserNewsSettingTable);
    return session.run(
        "update userNewsSettingTable set news=?,chatNews=?,MentionNews=?,commenNews=?,NotiNews=?,HMNews=?,"
        "feedNews=? where userId=?",
        {allSet, chatSet, mentionSet, commenSet, notiSet, hmSet, feedSet, userId});
}

bool MVTtirraDataBase::upDataUserNewsSettingWith(const std::string& userId, const std::string& space) {
    Session session(kUserNewsSettingTable);
    return session.run("update userNewsSettingTable set defaultTime=? where userId=?", {space, userId});
}

bool MVTtirraDataBase::deleteUserNewsSettingDataWith(const std::string& userId) {
    Session session(kUserNewsSettingTable);
    return session.run("DELETE FROM userNewsSettingTable WHERE userId=?", {userId});
}

bool MVTtirraDataBase::deleteAllUserNewsSetting() {
    return dropTable(kUserNewsSettingTable, "DROP TABLE userNewsSettingTable");
}

// ---- Preferences -----------------------------------------------------------------------------

void MVTtirraDataBase::insertSaveVersion(const std::string& version) {
    Session session(kSaveVersion);
    session.run("INSERT INTO SaveVersion (saveVersion) VALUES (?)", {version});
}

std::string MVTtirraDataBase::selectSaveVersion() {
    return lastValue(kSaveVersion, "SELECT saveVersion FROM SaveVersion ORDER BY rowid", {}).value_or("");
}

bool MVTtirraDataBase::deleteSaveVersion() { return dropTable(kSaveVersion, "DROP TABLE SaveVersion"); }

void MVTtirraDataBase::insertSaveRecordPermission(const std::string& mark) {
    Session session(kSaveRecordPermission);
    session.run("INSERT INTO SaveRecordPermission (saveRecordPermission) VALUES (?)", {mark});
}

bool MVTtirraDataBase::selectSaveRecordPermission() {
    return lastValue(kSaveRecordPermission,
                     "SELECT saveRecordPermission FROM SaveRecordPermission ORDER BY rowid", {})
        .has_value();
}

void MVTtirraDataBase::insertSaveVisible(const std::string& visible, const std::string& uid) {
    Session session(kSaveVisible);
    session.run("INSERT INTO saveVisible (saveVisible,uid) VALUES (?,?)", {visible, uid});
}

std::string MVTtirraDataBase::selectSaveVisibleWith(const std::string& uid) {
    return lastValue(kSaveVisible, "SELECT saveVisible FROM saveVisible where uid=? ORDER BY rowid", {uid})
        .value_or("");
}

bool MVTtirraDataBase::updateSaveVisibleWith(const std::string& uid, const std::string& visible) {
    Session session(kSaveVisible);
    return session.run("update saveVisible set saveVisible=? where uid=?", {visible, uid});
}

// ---- Dropping the caches -----------------------------------------------------------------------

bool MVTtirraDataBase::dropMSList() { return dropTable(kMSGtable, "DROP TABLE MSGtable"); }
bool MVTtirraDataBase::deleteDynamicTable() { return dropTable(kDynamicTable, "DROP TABLE dynamicTable"); }

// ---- Feed cache --------------------------------------------------------------------------------

void MVTtirraDataBase::insertDynamicWithArr(const Json& posts, const std::string& userId) {
    Session session(kDynamicTable);
    if (!session || !posts.is_array()) return;
    std::string sql = std::string("INSERT INTO dynamicTable(") + kFeedColumnList +
                      ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    // One transaction for the whole list: a page is written at once, not row by row.
    session.run("BEGIN", {});
    for (const Json& post : posts) {
        const auto v = [&](int i) -> Value { return feedValue(post, kFeedColumns[i], userId); };
        // A post that is already cached is refused by the table; the others are still stored.
        session.run(sql.c_str(), {v(0),  v(1),  v(2),  v(3),  v(4),  v(5),  v(6),  v(7),
                                  v(8),  v(9),  v(10), v(11), v(12), v(13), v(14), v(15),
                                  v(16), v(17), v(18), v(19), v(20), v(21), v(22), v(23)});
    }
    session.run("COMMIT", {});
}

Json MVTtirraDataBase::selectDynamicData(const std::string& userId, int offset) {
    Session session(kDynamicTable);
    Json posts = Json::array();
    std::string sql = std::string("SELECT ") + kFeedColumnList +
                      " FROM dynamicTable where userId=? ORDER BY id DESC LIMIT ?,?";
    session.select(sql.c_str(), {userId, std::int64_t(offset), std::int64_t(kFeedPageSize)},
                   [&](const Row& row) { posts.push_back(feedRecord(row)); });
    return posts;
}

std::optional<std::string> MVTtirraDataBase::selectTheFirst(const std::string& userId) {
    Session session(kDynamicTable);
    std::optional<std::string> id;
    session.select("SELECT id FROM dynamicTable where userId=? ORDER BY id DESC LIMIT 1", {userId},
                   [&](const Row& row) { id = row.text(0); });
    return id;
}

bool MVTtirraDataBase::updateDynamicData(const std::string& userId, const std::string& postId,
                                         const std::string& comments, const std::string& commentCount) {
    Session session(kDynamicTable);
    return session.run("update dynamicTable set comments=?,commentCount=? where userId=? and id=?",
                       {comments, commentCount, userId, postId});
}

bool MVTtirraDataBase::updateDynamicDataWithIDWithComments(const std::string& userId, const std::string& postId,
                                                           const std::string& comments) {
    Session session(kDynamicTable);
    return session.run("update dynamicTable set comments=? where userId=? and id=?", {comments, userId, postId});
}

bool MVTtirraDataBase::updateDynamicDataWithIDWithcommentCount(const std::string& userId,
                                                               const std::string& postId,
                                                               const std::string& commentCount) {
    Session session(kDynamicTable);
    return session.run("update dynamicTable set commentCount=? where userId=? and id=?",
                       {commentCount, userId, postId});
}

bool MVTtirraDataBase::updateDynamicData(const std::string& userId, const std::string& postId,
                                         const std::string& likeCount, const std::string& love,
                                         const std::string& likeUsers) {
    Session session(kDynamicTable);
    return session.run("update dynamicTable set likeCount=?,love=?,likeUsers=? where userId=? and id=?",
                       {likeCount, love, likeUsers, userId, postId});
}

bool MVTtirraDataBase::updateDynamicDataWithIDWithLikeCount(const std::string& userId, const std::string& postId,
                                                            const std::string& likeCount) {
    Session session(kDynamicTable);
    return session.run("update dynamicTable set likeCount=?,love=? where userId=? and id=?",
                       {likeCount, std::string("1"), userId, postId});
}

bool MVTtirraDataBase::updateDynamicData(const std::string& userId, const std::string& postId, const Json& vote) {
    Session session(kDynamicTable);
    return session.run("update dynamicTable set vote=? where userId=? and id=?", {jsonText(vote), userId, postId});
}

bool MVTtirraDataBase::deleteDynamicWith(const std::string& userId, const std::string& postId) {
    Session session(kDynamicTable);
    return session.run("DELETE FROM dynamicTable WHERE userId=? and id=?", {userId, postId});
}

bool MVTtirraDataBase::deleteDynamicWith(const std::string& userId) {
    Session session(kDynamicTable);
    return session.run("DELETE FROM dynamicTable WHERE userId=?", {userId});
}

// ---- Message cache -----------------------------------------------------------------------------

std::int64_t MVTtirraDataBase::insertMSGtablewith(const Json& messages, const std::string& userId) {
    return storeMessages(messages, userId, true);
}

std::int64_t MVTtirraDataBase::insertMSGtable(const Json& messages, const std::string& userId) {
    return storeMessages(messages, userId, false);
}

bool MVTtirraDataBase::deleteMSGRow(std::int64_t rowId) {
    Session session(kMSGtable);
    return session.run("DELETE FROM MSGtable WHERE id=?", {rowId});
}

std::vector<MVTMessageRow> MVTtirraDataBase::selectMSGRowswith(const std::string& userId,
                                                                const std::string& friendId,
                                                                const std::optional<std::string>& forumId,
                                                                const std::string& fieldId) {
    return readConversation(kMSGColumnList, messageRow, userId, friendId, forumId, fieldId);
}

std::vector<MVTMessageRow> MVTtirraDataBase::selectMSGKeyRowswith(const std::string& userId,
                                                                   const std::string& friendId,
                                                                   const std::optional<std::string>& forumId,
                                                                   const std::string& fieldId) {
    return readConversation(kMSGKeyColumnList, messageKeyRow, userId, friendId, forumId, fieldId);
}

void MVTtirraDataBase::completeMSGRows(const std::vector<MVTMessageRow*>& rows) {
    if (rows.empty()) return;
    std::map<std::int64_t, MVTMessageRow*> byNid;
    for (MVTMessageRow* row : rows) {
        row->complete = true;
        byNid[row->nid] = row;
    }
    Session session(kMSGtable);
    // One placeholder per row number; the numbers themselves are bound.
    std::string sql = std::string("SELECT ") + kMSGColumnList + " FROM MSGtable WHERE id IN (?";
    for (std::size_t i = 1; i < byNid.size(); ++i) sql += ",?";
    sql += ")";
    sqlite3_stmt* statement = nullptr;
    if (!session || sqlite3_prepare_v2(session.handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return;
    }
    int index = 1;
    for (const auto& [nid, row] : byNid) sqlite3_bind_int64(statement, index++, nid);
    Row row(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        auto found = byNid.find(row.int64(0));
        if (found == byNid.end()) continue;
        // The keys the list was ordered by stay as they were read.
        MVTMessageRow full = messageRow(row);
        MVTMessageRow& target = *found->second;
        target.userid = std::move(full.userid);
        target.friendid = std::move(full.friendid);
        target.forumid = std::move(full.forumid);
        target.fieldid = std::move(full.fieldid);
        target.msg = std::move(full.msg);
        target.attachments = std::move(full.attachments);
        target.isread = full.isread;
        target.name = std::move(full.name);
        target.role = std::move(full.role);
    }
    sqlite3_finalize(statement);
}

Json MVTtirraDataBase::selectMSGListwith(const std::string& userId, const std::string& friendId,
                                         const std::optional<std::string>& forumId, const std::string& fieldId) {
    Json messages = Json::array();
    for (const MVTMessageRow& row : selectMSGRowswith(userId, friendId, forumId, fieldId))
        messages.push_back(row.record());
    return messages;
}

std::optional<std::string> MVTtirraDataBase::selectFirstMSG(const std::string& userId) {
    Session session(kMSGtable);
    std::optional<std::string> msgId;
    session.select("SELECT msgid FROM MSGtable where userid=? ORDER BY sendTime DESC LIMIT 1", {userId},
                   [&](const Row& row) { msgId = std::to_string(row.int64(0)); });
    return msgId;
}

bool MVTtirraDataBase::isExitMSGList(const std::string& msgId) {
    Session session(kMSGtable);
    std::int64_t count = 0;
    session.select("SELECT COUNT(*) FROM MSGtable WHERE msgid=?", {msgId},
                   [&](const Row& row) { count = row.int64(0); });
    return count > 0;
}

bool MVTtirraDataBase::updateMSGList(std::int64_t rowId, const std::string& sendTime, const std::string& msgId) {
    Session session(kMSGtable);
    if (!msgId.empty()) {
        return session.run("update MSGtable set msgid=?,issuccess=1,sendTime=? where id=?",
                           {std::int64_t(platform::integerValue(msgId)), sendTime, rowId});
    }
    return session.run("update MSGtable set issuccess=0 where id=?", {rowId});
}

bool MVTtirraDataBase::setunread(const std::string& userId, const std::string& friendId,
                                 const std::optional<std::string>& forumId, const std::string& fieldId) {
    Session session(kMSGtable);
    if (forumId) {
        return session.run("update MSGtable set isread=0 where userId=? and forumid=? and fieldid=? and status=0",
                           {userId, *forumId, fieldId});
    }
    return session.run("update MSGtable set isread=0 where userId=? and friendid=? and status=0",
                       {userId, friendId});
}

bool MVTtirraDataBase::deleteMSGListwith(const std::string& userId, const std::string& friendId,
                                         const std::string& time, const std::optional<std::string>& forumId,
                                         const std::string& fieldId) {
    Session session(kMSGtable);
    if (forumId) {
        return session.run("DELETE FROM MSGtable WHERE userid=? and forumid=? and fieldid=? and sendTime=?",
                           {userId, *forumId, fieldId, time});
    }
    return session.run("DELETE FROM MSGtable WHERE userid=? and friendid=? and sendTime=?",
                       {userId, friendId, time});
}

bool MVTtirraDataBase::deleteMSGListwith(const std::string& userId, const std::string& friendId,
                                         const std::optional<std::string>& forumId, const std::string& fieldId) {
    Session session(kMSGtable);
    if (forumId) {
        return session.run("DELETE FROM MSGtable WHERE userid=? and forumid=? and fieldid=?",
                           {userId, *forumId, fieldId});
    }
    return session.run("DELETE FROM MSGtable WHERE userid=? and friendid=?", {userId, friendId});
}

bool MVTtirraDataBase::deleteMSGListwith(const std::string& msgId) {
    Session session(kMSGtable);
    return session.run("DELETE FROM MSGtable WHERE msgid=?", {msgId});
}

// ---- Unsent posts ------------------------------------------------------------------------------

void MVTtirraDataBase::insertSaveDynamicWithDic(const Json& post, const std::string& dynamicId,
                                                const std::string& userId) {
    Session session(kSaveDynamicTable);
    session.run("INSERT INTO saveDynamicTable (uid,info,dynamicId) VALUES (?,?,?)",
                {userId, jsonText(post), dynamicId});
}

Json MVTtirraDataBase::selectSaveDynamicData(const std::string& userId) {
    Session session(kSaveDynamicTable);
    Json posts = Json::array();
    session.select("SELECT info FROM saveDynamicTable where uid=? ORDER BY dynamicId DESC", {userId},
                   [&](const Row& row) {
                       Json info = parseContainer(row.text(0), Json::object());
                       posts.push_back(info.is_object() ? std::move(info) : Json::object());
                   });
    return posts;
}

bool MVTtirraDataBase::deleteSaveDynamicWith(const std::string& userId, const std::string& dynamicId) {
    Session session(kSaveDynamicTable);
    return session.run("DELETE FROM saveDynamicTable WHERE uid=? and dynamicId=?", {userId, dynamicId});
}
