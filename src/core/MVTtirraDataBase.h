#pragma once

// The local database: the SQLite file "tirraData.sql" in the documents folder with its nine
// tables (chat message cache, feed cache, remembered accounts, the signed-in user, reminder
// settings, the last seen version, the recording mark, the chosen post visibility and the
// posts whose upload failed).
//
// Class-level operations only. Each operation opens the file, creates its table when it is
// missing, runs its statements and closes the file again, so a dropped table comes back
// empty with the next operation on it. All database work is serialised by one lock, since
// callers reach it from the main thread and from background work. Every value is bound as
// a statement parameter; arguments never become part of the SQL text.
//
// Failures are never raised: an operation that can't run returns its empty result (false,
// an empty list or dictionary, the empty text, nothing, or -1 for the message inserts).
//
// Dictionaries are the service's own values (nlohmann::json). Values are stored as their
// "%@" text (platform::textOf), a missing value as "(null)"; nested lists and dictionaries
// as JSON text.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One row of the message cache as stored, read without building its dictionary: a long
// conversation is held in these and each message's dictionary made only when it is used.
struct MVTMessageRow {
    std::int64_t nid = 0;  // the table's row number
    std::int64_t msgid = 0;
    std::string userid, friendid, forumid, fieldid;
    int status = 0;
    std::string msg, sendTime;
    std::string attachments;  // JSON text, empty when there are none
    int isread = 0;
    int issuccess = 0;
    std::string name, role;
    // False for a row read with its keys only (MVTtirraDataBase::selectMSGKeyRowswith) until
    // MVTtirraDataBase::completeMSGRows has read the rest.
    bool complete = true;

    // The message's dictionary, as MVTtirraDataBase::selectMSGListwith gives it.
    nlohmann::json record() const;
};

class MVTtirraDataBase {
public:
    using Json = nlohmann::json;

    MVTtirraDataBase() = delete;

    // ---- Open steps: open the file and create the table; true when the table is usable --

    static bool creatMSGtable();
    static bool creatDynamicTable();
    static bool creatUsersTable();
    static bool creatSaveUserTable();
    static bool creatUserNewsSettingTable();
    static bool creatSaveVersion();
    static bool creatSaveRecordPermission();
    static bool creatSaveVisible();
    static bool creatSaveDynamicTable();

    // ---- Remembered accounts (userTable, one row per user id) ---------------------------

    // Keys "userId", "name", "userName", "password", "role", "power", "schoolId". A second
    // row for a user id already present is refused silently.
    static void insertUsersTableWithDic(const Json& account);
    // Remembered accounts in stored order.
    static Json selectUsersTableData();
    static bool deleteUsersTableWith(const std::string& userId);
    static bool deleteUsersTableWithUserName(const std::string& userName);
    static bool deleteAllUsers();

    // ---- The signed-in user (saveUserTable, replaced as a whole, never updated) ---------

    // Keys "userName", "userPassword", "userId", "role", "status", "power", "schoolId",
    // "ecampus", "name", "vfsUrl", "hideString", "hideSquare", "classId", "userLvl",
    // "userIntegral", "userIntegralGet".
    static void insertSaveUserTableWithDict(const Json& user);
    // The sixteen keys of the last row; an empty dictionary when there is none.
    static Json selectSaveUserTableData();
    // "userName", "userPassword" and "userId" of the last row; empty when there is none.
    static Json selectSaveUserUserNameAndPassward();
    static bool deleteSaveUser();

    // ---- Reminder settings (userNewsSettingTable, one row per user id) ------------------

    // Keys "news", "chatNews", "MentionNews", "commenNews", "NotiNews", "HMNews",
    // "feedNews" ("1"/"0") and "defaultTime" (poll period in seconds, as text).
    static void insertUserNewsSettingWithDic(const Json& settings, const std::string& userId);
    // The eight keys of the user's row; an empty dictionary when the user has none.
    static Json selectUserNewsSettingDataWith(const std::string& userId);
    // Note the order: the homework value comes before the notice value.
    static bool upDataUserNewsSettingWith(const std::string& userId, const std::string& allSet,
                                          const std::string& chatSet, const std::string& mentionSet,
                                          const std::string& commenSet, const std::string& hmSet,
                                          const std::string& notiSet, const std::string& feedSet);
    static bool upDataUserNewsSettingWith(const std::string& userId, const std::string& space);
    static bool deleteUserNewsSettingDataWith(const std::string& userId);
    static bool deleteAllUserNewsSetting();

    // ---- Preferences ----------------------------------------------------------------------

    static void insertSaveVersion(const std::string& version);
    // The version of the last row; the empty text when there is none.
    static std::string selectSaveVersion();
    static bool deleteSaveVersion();

    static void insertSaveRecordPermission(const std::string& mark);
    // True once a mark has been stored.
    static bool selectSaveRecordPermission();

    // The value comes first here, the user id first in the update.
    static void insertSaveVisible(const std::string& visible, const std::string& uid);
    // The user's last stored visibility; the empty text when there is none.
    static std::string selectSaveVisibleWith(const std::string& uid);
    static bool updateSaveVisibleWith(const std::string& uid, const std::string& visible);

    // ---- Dropping the caches ----------------------------------------------------------------

    static bool dropMSList();
    static bool deleteDynamicTable();

    // ---- Feed cache (dynamicTable, one row per post and signed-in user) ------------------

    // Stores the posts in list order; a post already cached for the user is skipped and the
    // rest are stored.
    static void insertDynamicWithArr(const Json& posts, const std::string& userId);
    // At most 15 posts from `offset` on, highest id first.
    static Json selectDynamicData(const std::string& userId, int offset);
    // Id of the user's newest cached post; nothing when there is none.
    static std::optional<std::string> selectTheFirst(const std::string& userId);

    // The comment and praise updates take texts that the caller has already serialised
    // (comments and praisers as JSON text). Three of them take three texts each, so their
    // names join the keywords of their selectors instead of overloading updateDynamicData.
    static bool updateDynamicData(const std::string& userId, const std::string& postId,
                                  const std::string& comments, const std::string& commentCount);
    static bool updateDynamicDataWithIDWithComments(const std::string& userId, const std::string& postId,
                                                    const std::string& comments);
    static bool updateDynamicDataWithIDWithcommentCount(const std::string& userId,
                                                        const std::string& postId,
                                                        const std::string& commentCount);
    static bool updateDynamicData(const std::string& userId, const std::string& postId,
                                  const std::string& likeCount, const std::string& love,
                                  const std::string& likeUsers);
    // Sets the praise count and marks the post as praised (love "1").
    static bool updateDynamicDataWithIDWithLikeCount(const std::string& userId, const std::string& postId,
                                                     const std::string& likeCount);
    // Stores the vote dictionary as JSON text.
    static bool updateDynamicData(const std::string& userId, const std::string& postId, const Json& vote);
    // Three texts belong to one of the joined names above, never to the vote update.
    static bool updateDynamicData(const std::string&, const std::string&, const std::string&) = delete;

    static bool deleteDynamicWith(const std::string& userId, const std::string& postId);
    static bool deleteDynamicWith(const std::string& userId);

    // ---- Message cache (MSGtable, one row per message and signed-in user) ----------------
    // A conversation is a group one when a forum id is given, a private one otherwise.

    // Stores the messages in list order, in one transaction; stops at a message already
    // cached (the rows before it stay stored) and returns -1. Otherwise the row id of the
    // last stored message (-1 when nothing was stored).
    static std::int64_t insertMSGtablewith(const Json& messages, const std::string& userId);
    // Stores a page in one transaction, each message on its own, skipping those already
    // cached; the row id of the last one stored, or -1 when none was.
    static std::int64_t insertMSGtable(const Json& messages, const std::string& userId);
    // The conversation, oldest first (by send time, then message id).
    static Json selectMSGListwith(const std::string& userId, const std::string& friendId,
                                  const std::optional<std::string>& forumId, const std::string& fieldId);
    // The same rows in the same order, as stored (see MVTMessageRow::record).
    static std::vector<MVTMessageRow> selectMSGRowswith(const std::string& userId, const std::string& friendId,
                                                        const std::optional<std::string>& forumId,
                                                        const std::string& fieldId);
    // The same rows in the same order with only what orders and identifies them (row number,
    // message id, status, success mark, send time): a long conversation is listed without
    // reading every text; completeMSGRows reads the rest of the rows about to be shown.
    static std::vector<MVTMessageRow> selectMSGKeyRowswith(const std::string& userId, const std::string& friendId,
                                                           const std::optional<std::string>& forumId,
                                                           const std::string& fieldId);
    // Reads the other columns of these rows by row number and marks them complete. A row no
    // longer stored keeps its keys and empty texts.
    static void completeMSGRows(const std::vector<MVTMessageRow*>& rows);
    // Message id of the user's latest message; nothing when there is none.
    static std::optional<std::string> selectFirstMSG(const std::string& userId);
    // Whether a message with this service id is cached, for any user.
    static bool isExitMSGList(const std::string& msgId);
    // With a service id: sets it, the success mark and the send time of the row; with an
    // empty one: marks the row as failed.
    static bool updateMSGList(std::int64_t rowId, const std::string& sendTime, const std::string& msgId);
    static bool setunread(const std::string& userId, const std::string& friendId,
                          const std::optional<std::string>& forumId, const std::string& fieldId);
    static bool deleteMSGListwith(const std::string& userId, const std::string& friendId,
                                  const std::string& time, const std::optional<std::string>& forumId,
                                  const std::string& fieldId);
    static bool deleteMSGListwith(const std::string& userId, const std::string& friendId,
                                  const std::optional<std::string>& forumId, const std::string& fieldId);
    static bool deleteMSGListwith(const std::string& msgId);
    // Deletes the one row with this table row number (a temporary row of a send, which
    // may share its send time with a message of the service).
    static bool deleteMSGRow(std::int64_t rowId);

    // ---- Unsent posts (saveDynamicTable, one row per "dynamicId") ------------------------

    static void insertSaveDynamicWithDic(const Json& post, const std::string& dynamicId,
                                         const std::string& userId);
    // The user's unsent posts, newest first.
    static Json selectSaveDynamicData(const std::string& userId);
    static bool deleteSaveDynamicWith(const std::string& userId, const std::string& dynamicId);
};
