// The transfer manager and its tasks: one download at a time, refusals, exactly one
// completion, failures that leave no file, the idle limit, replies without a length, the
// finished list file, and uploads that count only on a true "success".
#include "FilesFixture.h"

#include "shell/SignOut.h"

#include "platform/Files.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Image.h"

using namespace platform;
using sample_service::Reply;

namespace {

class TransferManagerTest : public testing_support::FilesTest {
protected:
    std::string address(const std::string& id, const std::string& token = "T1") const {
        return baseUrl() + "resource/" + id + "/download?token=" + token;
    }
    std::string local(const std::string& name) const { return downloadsFolder() + "/" + name; }
    void serve(const std::string& id, Reply reply) {
        service().route("GET", "resource/" + id + "/download", [reply](const auto&) { return reply; });
    }
    void SetUp() override {
        FilesTest::SetUp();
        signIn("teacher");
        std::filesystem::create_directories(downloadsFolder());
        completes = 0;
        completeToken = NotificationCenter::defaultCenter().addObserver(kDownCompleteNotification,
                                                                        [this](const Notification&) { ++completes; });
        removedNames.clear();
        cleanToken = NotificationCenter::defaultCenter().addObserver(
            kCleanDownLoadListBtnNotification, [this](const Notification& n) { removedNames.push_back(textOf(n.object)); });
    }
    void TearDown() override {
        completeToken.reset();
        cleanToken.reset();
        FilesTest::TearDown();
    }
    int completes = 0;
    std::vector<std::string> removedNames;
    ObserverToken completeToken, cleanToken;
};

TEST_F(TransferManagerTest, TwoDownloadsRunInTurnAndAreRecordedOldestFirst) {
    serve("6601", Reply::text(std::string(3000, 'a'), "application/octet-stream"));
    serve("6602", Reply::text("second", "application/octet-stream"));
    auto first = manager().downFileUrl(address("6601"), local("6601^第一个.txt"));
    auto second = manager().downFileUrl(address("6602"), local("6602^第二个.txt"));
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(first->isWaitting());
    EXPECT_TRUE(second->isWaitting());
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    EXPECT_EQ(readFile(local("6601^第一个.txt")), std::string(3000, 'a'));
    EXPECT_EQ(readFile(local("6602^第二个.txt")), "second");
    EXPECT_EQ(completes, 2);
    const Json records = MVTDownLoadViewController::readFinishedList("1001");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(textOf(records[0], "filename"), "6601^第一个.txt");
    EXPECT_EQ(textOf(records[0], "filesize"), "3 KB");
    EXPECT_EQ(textOf(records[1], "filePath"), local("6602^第二个.txt"));
    EXPECT_TRUE(records[1]["time"].is_number());
}

TEST_F(TransferManagerTest, RefusesAFileAlreadyHereThenAnAddressAlreadyQueued) {
    serve("6603", Reply::silent(30));
    ASSERT_TRUE(writeFileAtomically(local("6603^有了.doc"), "x"));
    EXPECT_FALSE(manager().downFileUrl(address("6603"), local("6603^有了.doc")));
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "文件已经下载，请勿重复下载");
    driver->pressAlertButton(0);
    ASSERT_TRUE(manager().downFileUrl(address("6603", "A"), local("6603^新.doc")));
    EXPECT_TRUE(manager().isHaveThisTask(address("6603", "B")));
    EXPECT_FALSE(manager().downFileUrl(address("6603", "B"), local("6603^另一个.doc")));
    EXPECT_EQ(driver->alert()->message(), "已经存在该下载进程，请勿重复");
    EXPECT_EQ(manager().tasks().size(), 1u);
}

TEST_F(TransferManagerTest, ProgressIsOneOnlyWhenEveryByteIsInAndCompletesOnce) {
    std::vector<float> seen;
    struct Spy : MVTTaskFileDelegate {
        std::vector<float>* seen;
        void updateFileMangeView(float p, const std::string&, const std::string&) override { seen->push_back(p); }
    };
    auto spy = std::make_shared<Spy>();
    spy->seen = &seen;
    serve("6604", Reply::trickle(std::string(100000, 'z'), 4, 0.05, "application/octet-stream"));
    auto task = manager().downFileUrl(address("6604"), local("6604^慢.bin"));
    task->setDelegateUp(spy);
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1.0f), 1);
    EXPECT_EQ(seen.back(), 1.0f);
    for (std::size_t i = 0; i + 1 < seen.size(); ++i) EXPECT_LT(seen[i], 1.0f);
    EXPECT_EQ(completes, 1);
    EXPECT_EQ(MVTDownLoadViewController::readFinishedList("1001").size(), 1u);
    // A second "downComplete" for a task already gone records nothing.
    NotificationCenter::defaultCenter().postNotification(kDownCompleteNotification, nullptr, nullptr,
                                                         std::static_pointer_cast<MVTTransferTask>(task));
    EXPECT_EQ(MVTDownLoadViewController::readFinishedList("1001").size(), 1u);
}

TEST_F(TransferManagerTest, AFailureLeavesNoFileAndTheNextStarts) {
    serve("6605", Reply::text("gone", "text/plain", 404));
    serve("6606", Reply::text("ok", "application/octet-stream"));
    auto failing = manager().downFileUrl(address("6605"), local("6605^坏.pdf"));
    manager().downFileUrl(address("6606"), local("6606^好.pdf"));
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    EXPECT_FALSE(fileExists(local("6605^坏.pdf")));
    EXPECT_EQ(readFile(local("6606^好.pdf")), "ok");
    EXPECT_EQ(removedNames, std::vector<std::string>({"坏.pdf"}));
    EXPECT_EQ(MVTDownLoadViewController::readFinishedList("1001").size(), 1u);
}

TEST_F(TransferManagerTest, ALinkThatStopsMovingFailsAfterTheIdleLimitNotBefore) {
    MVTDownloadTask::setIdleTimeout(0.3);
    // Slow but moving: parts 0.1 s apart finish; parts 2 s apart trip the limit.
    serve("6607", Reply::trickle(std::string(4000, 'm'), 4, 0.1, "application/octet-stream"));
    serve("6608", Reply::trickle(std::string(4000, 's'), 3, 2.0, "application/octet-stream"));
    manager().downFileUrl(address("6607"), local("6607^动.bin"));
    manager().downFileUrl(address("6608"), local("6608^停.bin"));
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    EXPECT_TRUE(fileExists(local("6607^动.bin")));
    EXPECT_FALSE(fileExists(local("6608^停.bin")));
    EXPECT_EQ(removedNames, std::vector<std::string>({"停.bin"}));
}

TEST_F(TransferManagerTest, AReplyWithoutLengthCompletesAtTheEndWithoutFailureTexts) {
    Reply chunked = Reply::text("no length here", "application/octet-stream");
    chunked.chunked = true;
    serve("6609", chunked);
    auto task = manager().downFileUrl(address("6609"), local("6609^无长度.txt"));
    std::vector<std::string> relayed;
    task->receiveObject([&](const Json& value) { relayed.push_back(textOf(value, "progr")); });
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    EXPECT_EQ(relayed, std::vector<std::string>({"1.000000"}));
    EXPECT_EQ(readFile(local("6609^无长度.txt")), "no length here");
    EXPECT_EQ(completes, 1);
}

TEST_F(TransferManagerTest, RemovingTheRunningHeadStopsItDeletesItsFileAndStartsTheNext) {
    serve("6610", Reply::silent(30));
    serve("6611", Reply::text("next", "application/octet-stream"));
    manager().downFileUrl(address("6610"), local("6610^慢.zip"));
    auto next = manager().downFileUrl(address("6611"), local("6611^下一个.zip"));
    manager().removeTask(0);
    EXPECT_EQ(removedNames, std::vector<std::string>({"慢.zip"}));
    EXPECT_FALSE(fileExists(local("6610^慢.zip")));
    EXPECT_FALSE(next->isWaitting());
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    manager().removeTask(5);  // past the end: nothing
}

TEST_F(TransferManagerTest, SigningOutStopsEveryTransferAndLeavesNoPartialFile) {
    serve("6620", Reply::trickle(std::string(4000, 'p'), 4, 2.0, "application/octet-stream"));
    serve("6621", Reply::text("waiting", "application/octet-stream"));
    manager().downFileUrl(address("6620"), local("6620^半.bin"));
    auto waiting = manager().downFileUrl(address("6621"), local("6621^等.bin"));
    ASSERT_TRUE(pumpUntil([&] { return fileExists(local("6620^半.bin")); }));
    NotificationCenter::defaultCenter().postNotification(kSignedOutNotification);
    EXPECT_TRUE(manager().tasks().empty());
    EXPECT_FALSE(fileExists(local("6620^半.bin")));
    advance(3);
    driver->pump();
    EXPECT_TRUE(waiting->isWaitting());  // never started
    EXPECT_FALSE(fileExists(local("6621^等.bin")));
    EXPECT_FALSE(fileExists(MVTDownLoadViewController::finishedListPath(MVTAccount::sharedInstance().userId().value_or(""))));
    EXPECT_EQ(completes, 0);
}

TEST_F(TransferManagerTest, ClearingTheListKeepsTheFilesAndACorruptListIsKeptAside) {
    serve("6612", Reply::text("kept", "application/octet-stream"));
    manager().downFileUrl(address("6612"), local("6612^留着.txt"));
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    showPushed(MVTDownLoadViewController::shareDownLoadViewController());
    manager().goFinishedView();
    EXPECT_EQ(manager().finishedList().size(), 1u);
    manager().cleanFinish();
    driver->pressAlertButton(1);
    EXPECT_TRUE(manager().finishedList().empty());
    EXPECT_FALSE(fileExists(MVTDownLoadViewController::finishedListPath("1001")));
    EXPECT_TRUE(fileExists(local("6612^留着.txt")));
    EXPECT_FALSE(manager().downFileUrl(address("6612"), local("6612^留着.txt")));

    const std::string list = MVTDownLoadViewController::finishedListPath("1001");
    ASSERT_TRUE(writeFileAtomically(list, "<plist><array><dict>broken"));
    EXPECT_TRUE(MVTDownLoadViewController::readFinishedList("1001").empty());
    serve("6613", Reply::text("new", "application/octet-stream"));
    manager().downFileUrl(address("6613"), local("6613^新.txt"));
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    EXPECT_EQ(readFile(list + ".unreadable"), "<plist><array><dict>broken");
    EXPECT_EQ(MVTDownLoadViewController::readFinishedList("1001").size(), 1u);
}

TEST_F(TransferManagerTest, AnUploadIsMultipartAndCountsOnlyOnATrueSuccess) {
    struct Spy : MVTUploadFileDelegate {
        std::vector<float> seen;
        void updateCellData(float p, const std::string&) override { seen.push_back(p); }
    };
    auto spy = std::make_shared<Spy>();
    int uploaded = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(kUpLoadCompleteNotification,
                                                                 [&](const Notification&) { ++uploaded; });
    const std::string path = "user/1001/class/lib/save";
    int answer = 0;
    service().route("POST", "services/norvo/" + path, [&answer](const auto&) {
        return ++answer == 1 ? Reply::json({{"success", true}}) : Reply::json({{"success", false}});
    });
    const std::string url = serviceUrl(path);
    auto picture = Image::imageWithColor(Color::rgb255(10, 200, 30), {20, 20});
    manager().addUpLoadTask(picture, "", 1, "来自iPhone的1照片.png", spy, {{"classIds", "12,11"}}, url);
    manager().addUpLoadTask(picture, "", 1, "来自iPhone的2照片.png", spy, Json::object(), url);
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(path).size() == 2 && !spy->seen.empty() && spy->seen.back() < 0; }));
    const auto first = requestsTo(path).front();
    ASSERT_EQ(first.parts.size(), 2u);
    EXPECT_EQ(first.parts[0].name, "classIds");
    EXPECT_EQ(first.parts[0].bytes, "12,11");
    EXPECT_EQ(first.parts[1].name, "image");
    EXPECT_EQ(first.parts[1].contentType, "application/octet-stream");
    EXPECT_EQ(percentDecode(first.parts[1].fileName), "来自iPhone的1照片.png");
    EXPECT_TRUE(Image::isPicture(first.parts[1].bytes));
    // The first answered success and was recorded; the second's false stays at the head.
    EXPECT_EQ(uploaded, 1);
    EXPECT_EQ(manager().tasks().size(), 1u);
    const Json records = MVTDownLoadViewController::readFinishedList("1001");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(textOf(records[0], "filePath"), "upLoad");
    EXPECT_EQ(textOf(records[0], "filesize"), "-100");
}

TEST_F(TransferManagerTest, ShortenedNamesCountUtf16Units) {
    struct Case {
        std::string name;
        std::size_t from, head, tail;
        std::string shown;
    } cases[] = {
        {"一二三四五六七八九十十一十二十三十四", 16, 7, 8, "一二三四五六七···十一十二十三十四"},  // 18 units
        {"abcdefghijklmno", 16, 7, 8, "abcdefghijklmno"},
        {"abcdefghijklmnop", 16, 7, 8, "abcdefg···ijklmnop"},
        {"abcdefghijklmnopqrst", 21, 10, 8, "abcdefghijklmnopqrst"},
        {"abcdefghijklmnopqrstu", 21, 10, 8, "abcdefghij···nopqrstu"},
        {"期中复习资料期中复习资", 11, 3, 6, "期中复···料期中复习资"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MVTDownLoadViewController::shortenedName(c.name, c.from, c.head, c.tail), c.shown) << c.name;
}

}  // namespace
