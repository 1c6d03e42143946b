#include "core/MVTAccount.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace {

class AccountTest : public ::testing::Test {
protected:
    void SetUp() override { MVTAccount::resetSharedInstanceForTests(); }
    void TearDown() override { MVTAccount::resetSharedInstanceForTests(); }
};

TEST_F(AccountTest, BeforeAnySignInTextsAreAbsentCountersZeroFlagsOff) {
    MVTAccount& account = MVTAccount::sharedInstance();
    EXPECT_FALSE(account.userId());
    EXPECT_FALSE(account.role());
    EXPECT_FALSE(account.userName());
    EXPECT_FALSE(account.schoolId());
    EXPECT_FALSE(account.hideSquare());
    EXPECT_EQ(account.unreadCount(), 0);
    EXPECT_EQ(account.newRelevantMe(), 0);
    for (bool flag : {account.newHM(), account.newNoti(), account.newExam(), account.newMicro(),
                      account.newApply(), account.ecampus()})
        EXPECT_FALSE(flag);
}

TEST_F(AccountTest, EveryThreadGetsTheSameRecord) {
    std::vector<MVTAccount*> seen(16, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = &MVTAccount::sharedInstance(); });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(std::set<MVTAccount*>(seen.begin(), seen.end()).size(), 1u);
    EXPECT_EQ(seen[0], &MVTAccount::sharedInstance());
}

TEST_F(AccountTest, WritersStoreValuesUnchanged) {
    MVTAccount& account = MVTAccount::sharedInstance();
    account.setSchoolId("");  // the empty text is not the same as absent
    EXPECT_EQ(account.schoolId(), "");
    account.setSchoolId("-1");
    EXPECT_EQ(account.schoolId(), "-1");
    account.setPower("<null>");
    EXPECT_EQ(account.power(), "<null>");
    account.setUnreadCount(-3);
    EXPECT_EQ(account.unreadCount(), -3);
    account.setNewHM(true);
    account.setNewApply(true);
    EXPECT_TRUE(account.newHM());
    EXPECT_TRUE(account.newApply());
    EXPECT_FALSE(account.newNoti());
    account.setUserId(std::nullopt);
    EXPECT_FALSE(account.userId());
}

TEST_F(AccountTest, ClearingIdentityKeepsTheOtherFieldsOfTheLastUser) {
    MVTAccount& account = MVTAccount::sharedInstance();
    account.setUserName("student");
    account.setPassword("student123");
    account.setName("李明");
    account.setUserId("2001");
    account.setRole("student");
    account.setPower("0");
    account.setSchoolId("1");
    account.setClassId("11,12");
    account.setStatus("在学习");
    account.setVfsUrl("http://127.0.0.1:8860/vfs/");
    account.setHideAppString("banjiwenjian,homeSquare");
    account.setHideSquare("y");
    account.setEcampus(true);
    account.setUserLvl("3");
    account.setUserIntegral("40");
    account.setUserIntegralGet("5");
    account.setUnreadCount(4);
    account.setNewRelevantMe(99);
    account.setNewExam(true);

    account.clearIdentity();

    for (const auto& field : {account.userName(), account.password(), account.name(), account.userId(),
                              account.role(), account.power(), account.schoolId(), account.classId()})
        EXPECT_FALSE(field) << *field;
    EXPECT_EQ(account.status(), "在学习");
    EXPECT_EQ(account.vfsUrl(), "http://127.0.0.1:8860/vfs/");
    EXPECT_EQ(account.hideAppString(), "banjiwenjian,homeSquare");
    EXPECT_EQ(account.hideSquare(), "y");
    EXPECT_TRUE(account.ecampus());
    EXPECT_EQ(account.userLvl(), "3");
    EXPECT_EQ(account.userIntegral(), "40");
    EXPECT_EQ(account.userIntegralGet(), "5");
    EXPECT_EQ(account.unreadCount(), 4);
    EXPECT_EQ(account.newRelevantMe(), 99);
    EXPECT_TRUE(account.newExam());
}

TEST_F(AccountTest, ReadersOnOtherThreadsNeverSeeHalfAWrite) {
    MVTAccount& account = MVTAccount::sharedInstance();
    const std::string first(4000, 'a'), second(6000, 'b');
    account.setVfsUrl(first);
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i) {
        readers.emplace_back([&] {
            while (!stop) {
                auto value = account.vfsUrl();
                if (!value || (*value != first && *value != second)) ++torn;
            }
        });
    }
    for (int i = 0; i < 20000; ++i) account.setVfsUrl(i % 2 ? first : second);
    stop = true;
    for (auto& reader : readers) reader.join();
    EXPECT_EQ(torn.load(), 0);
}

}  // namespace
