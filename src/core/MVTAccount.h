#pragma once

// The one record of the signed-in user, shared by the whole process. Sign-in fills it,
// returning to the login screen clears its identity fields, the new-item poll keeps its
// counters and flags, and every screen reads the user id and role from it.
//
// Texts are absent (std::nullopt) until set; counters start at 0 and flags off. Writers
// store the given value unchanged; they neither validate nor notify.
//
// The record is written on the main thread and read from background work as well. Each
// read returns a copy and each write replaces the whole value under a lock, so a reader
// never sees half a text; while sign-in replaces the fields one after another a reader
// may still see fields of the old and the new user side by side.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

class MVTAccount {
public:
    using Text = std::optional<std::string>;

    // Created once, on first use (thread-safe), and kept until the process ends.
    static MVTAccount& sharedInstance();

    MVTAccount(const MVTAccount&) = delete;
    MVTAccount& operator=(const MVTAccount&) = delete;

    // The sign-in name and password exactly as typed (the password in plain text).
    Text userName() const;
    void setUserName(Text value);
    Text password() const;
    void setPassword(Text value);
    // Display name; the user id (key of per-user rows, defaults keys and request paths);
    // the role: "teacher", "student" or "parent"; the personal status line.
    Text name() const;
    void setName(Text value);
    Text userId() const;
    void setUserId(Text value);
    Text role() const;
    void setRole(Text value);
    Text status() const;
    void setStatus(Text value);
    // Total for the application icon badge.
    int32_t unreadCount() const;
    void setUnreadCount(int32_t value);
    // Points gained, credit level and points ("0" stands for none once signed in).
    Text userIntegralGet() const;
    void setUserIntegralGet(Text value);
    Text userLvl() const;
    void setUserLvl(Text value);
    Text userIntegral() const;
    void setUserIntegral(Text value);
    // New posts that mention, comment on or praise the user. The poll stores at most 99.
    int32_t newRelevantMe() const;
    void setNewRelevantMe(int32_t value);
    // New homework, class notice, test, micro-lesson, friend or join application.
    bool newHM() const;
    void setNewHM(bool value);
    bool newNoti() const;
    void setNewNoti(bool value);
    bool newExam() const;
    void setNewExam(bool value);
    bool newMicro() const;
    void setNewMicro(bool value);
    bool newApply() const;
    void setNewApply(bool value);
    // Campus-service flag.
    bool ecampus() const;
    void setEcampus(bool value);
    // The reply's "director": other than "0" for a school director.
    Text power() const;
    void setPower(Text value);
    // The school; the empty text or "-1" when the user belongs to none.
    Text schoolId() const;
    void setSchoolId(Text value);
    // Class ids separated by ",", newest join first; empty when in no class.
    Text classId() const;
    void setClassId(Text value);
    // Address prefix of the picture file server.
    Text vfsUrl() const;
    void setVfsUrl(Text value);
    // Keys of the application entries hidden for this user, separated by ",".
    Text hideAppString() const;
    void setHideAppString(Text value);
    // "y" when the school circle is hidden ("homeSquare" among the hidden apps), else "n".
    Text hideSquare() const;
    void setHideSquare(Text value);

    // Return to the login screen: user name, password, name, user id, role, power, school
    // and classes become absent; every other field keeps its value until the next sign-in.
    void clearIdentity();

    // Tests only: back to a new record (every text absent, counters 0, flags off).
    static void resetSharedInstanceForTests();

private:
    MVTAccount() = default;
    Text read(const Text& field) const;
    void write(Text& field, Text value);

    mutable std::mutex mutex_;
    Text userName_, password_, name_, userId_, role_, status_;
    Text userIntegralGet_, userLvl_, userIntegral_;
    Text power_, schoolId_, classId_, vfsUrl_, hideAppString_, hideSquare_;
    std::atomic<int32_t> unreadCount_{0};
    std::atomic<int32_t> newRelevantMe_{0};
    std::atomic<bool> newHM_{false}, newNoti_{false}, newExam_{false}, newMicro_{false}, newApply_{false};
    std::atomic<bool> ecampus_{false};
};
