#include "core/MVTAccount.h"

MVTAccount& MVTAccount::sharedInstance() {
    static MVTAccount account;
    return account;
}

MVTAccount::Text MVTAccount::read(const Text& field) const {
    std::lock_guard lock(mutex_);
    return field;
}

void MVTAccount::write(Text& field, Text value) {
    std::lock_guard lock(mutex_);
    field = std::move(value);
}

#define TEXT_FIELD(getter, setter, member)                                   \
    MVTAccount::Text MVTAccount::getter() const { return read(member); }     \
    void MVTAccount::setter(Text value) { write(member, std::move(value)); }

#define PLAIN_FIELD(type, getter, setter, member)                   \
    type MVTAccount::getter() const { return member.load(); }       \
    void MVTAccount::setter(type value) { member.store(value); }

TEXT_FIELD(userName, setUserName, userName_)
TEXT_FIELD(password, setPassword, password_)
TEXT_FIELD(name, setName, name_)
TEXT_FIELD(userId, setUserId, userId_)
TEXT_FIELD(role, setRole, role_)
TEXT_FIELD(status, setStatus, status_)
PLAIN_FIELD(int32_t, unreadCount, setUnreadCount, unreadCount_)
TEXT_FIELD(userIntegralGet, setUserIntegralGet, userIntegralGet_)
TEXT_FIELD(userLvl, setUserLvl, userLvl_)
TEXT_FIELD(userIntegral, setUserIntegral, userIntegral_)
PLAIN_FIELD(int32_t, newRelevantMe, setNewRelevantMe, newRelevantMe_)
PLAIN_FIELD(bool, newHM, setNewHM, newHM_)
PLAIN_FIELD(bool, newNoti, setNewNoti, newNoti_)
PLAIN_FIELD(bool, newExam, setNewExam, newExam_)
PLAIN_FIELD(bool, newMicro, setNewMicro, newMicro_)
PLAIN_FIELD(bool, newApply, setNewApply, newApply_)
PLAIN_FIELD(bool, ecampus, setEcampus, ecampus_)
TEXT_FIELD(power, setPower, power_)
TEXT_FIELD(schoolId, setSchoolId, schoolId_)
TEXT_FIELD(classId, setClassId, classId_)
TEXT_FIELD(vfsUrl, setVfsUrl, vfsUrl_)
TEXT_FIELD(hideAppString, setHideAppString, hideAppString_)
TEXT_FIELD(hideSquare, setHideSquare, hideSquare_)

#undef TEXT_FIELD
#undef PLAIN_FIELD

void MVTAccount::clearIdentity() {
    std::lock_guard lock(mutex_);
    for (Text* field : {&userName_, &password_, &name_, &userId_, &role_, &power_, &schoolId_, &classId_})
        field->reset();
}

void MVTAccount::resetSharedInstanceForTests() {
    MVTAccount& account = sharedInstance();
    {
        std::lock_guard lock(account.mutex_);
        for (Text* field : {&account.userName_, &account.password_, &account.name_, &account.userId_,
                            &account.role_, &account.status_, &account.userIntegralGet_, &account.userLvl_,
                            &account.userIntegral_, &account.power_, &account.schoolId_, &account.classId_,
                            &account.vfsUrl_, &account.hideAppString_, &account.hideSquare_})
            field->reset();
    }
    account.unreadCount_ = 0;
    account.newRelevantMe_ = 0;
    for (std::atomic<bool>* flag : {&account.newHM_, &account.newNoti_, &account.newExam_, &account.newMicro_,
                                    &account.newApply_, &account.ecampus_})
        flag->store(false);
}
