// The box of unsent posts: the rows newest first, deleting after the question, sending
// again with the upload queue's parts, the replies that count as sent, broken rows and
// bad replies, the voice of a row, and the Me tab's row that opens the box.
#include "ComposerFixture.h"

#include "composer/MVTSaveDynamicViewController.h"
#include "core/MVTtirraDataBase.h"
#include "me/MVTUserSettingViewController.h"
#include "shell/myTableView.h"

#include "platform/Paths.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/UiDriver.h"

#include <sqlite3.h>

namespace {

using testing_support::ComposerTest;
using Json = nlohmann::json;
using sample_service::Reply;
using sample_service::RecordedRequest;

constexpr const char* kBoxPublish = "/services/norvo/postMessage/essay/12/publish";

class SaveDynamicTest : public ComposerTest {
protected:
    void SetUp() override {
        ComposerTest::SetUp();
        service().clearReplies();
    }
    // An unsent post of the signed-in user with `pictures` picture files (and a voice).
    Json keep(const std::string& dynamicId, const std::string& content, int pictures, bool voice = false) {
        Json paths = Json::array();
        for (int i = 0; i < pictures; ++i)
            paths.push_back(pictureFile("p" + dynamicId + "_" + std::to_string(i) + ".jpg", 40, 30).string());
        Json post = {{"content", content}, {"relative", ""},        {"permission", "3"}, {"imagePath", paths},
                     {"vedioPath", ""},    {"vedioBg", ""},         {"dynamicId", dynamicId}};
        if (voice) {
            const std::string take = "take" + dynamicId;
            std::ofstream(MVTPublicMethod::getPathByFileName(take + "wavToAmr", "amr"), std::ios::binary)
                << "#!AMR\n" << std::string(64, '\x3c');
            post["vedioPath"] = take;
            post["vedioBg"] = "2";
        }
        MVTtirraDataBase::insertSaveDynamicWithDic(post, dynamicId, "12");
        return post;
    }
    std::shared_ptr<MVTSaveDynamicViewController> openBox() {
        auto box = std::make_shared<MVTSaveDynamicViewController>();
        present(box);
        driver_->settle();
        return box;
    }
    std::vector<RecordedRequest> sends() {
        std::vector<RecordedRequest> found;
        for (auto& r : service().requests())
            if (r.path == kBoxPublish) found.push_back(r);
        return found;
    }
    void resend(MVTSaveDynamicViewController& box, int row) {
        auto cell = box.cellAt(row);
        ASSERT_TRUE(cell);
        const size_t before = sends().size();
        ASSERT_TRUE(driver_->tap(cell->submitBtn()));
        pumpUntil([&] { return sends().size() > before && !box.isSending(); });
        driver_->pump();
    }
    bool boxIsOpen() { return tabs_->presentedViewController() != nullptr; }
};

TEST_F(SaveDynamicTest, RowsNewestFirstAndAnEmptyBoxSaysSoAndLeaves) {
    keep("1700000001", "older", 0);
    keep("1700000009", "newer", 2);
    auto box = openBox();
    ASSERT_EQ(box->dataArray().size(), 2u);
    EXPECT_EQ(box->dataArray()[0]["content"], "newer");
    EXPECT_EQ(box->dataArray()[1]["content"], "older");
    closePresented();

    MVTtirraDataBase::deleteSaveDynamicWith("12", "1700000001");
    MVTtirraDataBase::deleteSaveDynamicWith("12", "1700000009");
    auto empty = openBox();
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "暂无数据");
    EXPECT_EQ(alert->tag(), MVTSaveDynamicViewController::kEmptyAlertTag);
    ASSERT_TRUE(driver_->pressAlertButton(0));
    driver_->settle();
    EXPECT_FALSE(boxIsOpen());
}

TEST_F(SaveDynamicTest, DeletingAsksFirstThenRemovesFilesRowAndEntry) {
    keep("1700000001", "keep me", 0);
    const Json post = keep("1700000002", "delete me", 2);
    auto box = openBox();
    auto cell = box->cellAt(0);
    ASSERT_TRUE(cell);
    ASSERT_TRUE(driver_->tap(cell->deleteBtn()));
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "确认删除？");
    EXPECT_EQ(alert->tag(), MVTSaveDynamicViewController::kDeleteAlertTag);
    ASSERT_TRUE(driver_->pressAlertButton(0));
    EXPECT_EQ(box->dataArray().size(), 2u);

    ASSERT_TRUE(driver_->tap(box->cellAt(0)->deleteBtn()));
    ASSERT_TRUE(driver_->pressAlertButton(1));
    for (const auto& path : post["imagePath"]) EXPECT_FALSE(std::filesystem::exists(path.get<std::string>()));
    ASSERT_EQ(box->dataArray().size(), 1u);
    EXPECT_EQ(box->dataArray()[0]["content"], "keep me");
    EXPECT_EQ(MVTtirraDataBase::selectSaveDynamicData("12").size(), 1u);
    EXPECT_TRUE(driver_->find([](const platform::View& v) { return v.displayedText() == "图说删除成功"; }));
    driver_->advance(3.0);
    EXPECT_TRUE(boxIsOpen());
}

TEST_F(SaveDynamicTest, ResendPartsAndFileNamesForOneAndThreePictures) {
    const std::string model = MVTPublicMethod::currentDevicemodel();
    struct Case {
        int pictures;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {1, {"来自" + model + "的图片.png"}},
        {3, {"来自" + model + "的图片1.png", "来自" + model + "的图片2.png", "来自" + model + "的图片3.png"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pictures);
        service().clearRequests();
        keep("1700000001", "", c.pictures, true);
        auto box = openBox();
        // Held back a little, so the sending title is seen however fast the tap returns.
        Reply refused = Reply::text("0");
        refused.delay = 0.2;
        service().setReply("POST", std::string(kBoxPublish).substr(1), refused);
        auto cell = box->cellAt(0);
        ASSERT_TRUE(driver_->tap(cell->submitBtn()));
        EXPECT_EQ(box->cellAt(0)->submitBtn()->titleForState(platform::ControlStateNormal), "正在发送");
        pumpUntil([&] { return !sends().empty() && !box->isSending(); });
        driver_->pump();
        const auto request = sends().back();
        std::vector<std::string> names, files;
        for (const auto& part : request.parts) {
            names.push_back(part.name);
            if (part.name == "image") files.push_back(platform::percentDecode(part.fileName));
        }
        // No text: no "content" part, but always "permission".
        std::vector<std::string> expected{"permission"};
        for (int i = 0; i < c.pictures; ++i) expected.push_back("image");
        for (const char* name : {"amr", "duration", "bg"}) expected.push_back(name);
        EXPECT_EQ(names, expected);
        EXPECT_EQ(files, c.names);
        for (const auto& part : request.parts) {
            if (part.name == "bg") {
                EXPECT_EQ(part.bytes, "2");
            }
        }
        // "0" keeps the post, its files and its row.
        EXPECT_EQ(box->dataArray().size(), 1u);
        EXPECT_EQ(box->cellAt(0)->submitBtn()->titleForState(platform::ControlStateNormal), "发送");
        EXPECT_TRUE(driver_->find([](const platform::View& v) { return v.displayedText() == "图说发送失败"; }));
        EXPECT_EQ(MVTtirraDataBase::selectSaveDynamicData("12").size(), 1u);
        service().clearReplies();
        closePresented();
        MVTtirraDataBase::deleteSaveDynamicWith("12", "1700000001");
    }
}

TEST_F(SaveDynamicTest, ANonZeroReplyRemovesTheFilesAndTheRowAndTheLastPostClosesTheBox) {
    const Json post = keep("1700000001", "again", 2, true);
    auto box = openBox();
    service().setReply("POST", std::string(kBoxPublish).substr(1), Reply::text("12345"));
    resend(*box, 0);
    EXPECT_TRUE(box->dataArray().empty());
    EXPECT_TRUE(MVTtirraDataBase::selectSaveDynamicData("12").empty());
    for (const auto& path : post["imagePath"]) EXPECT_FALSE(std::filesystem::exists(path.get<std::string>()));
    EXPECT_FALSE(std::filesystem::exists(MVTPublicMethod::getPathByFileName("take1700000001wavToAmr", "amr")));
    EXPECT_TRUE(driver_->find([](const platform::View& v) { return v.displayedText() == "图说发送成功"; }));
    EXPECT_TRUE(boxIsOpen());
    // The notice slides away (in 0.4 s, out from 1.5 s for 0.4 s), then the box leaves.
    driver_->advance(2.0);
    driver_->settle();
    EXPECT_FALSE(boxIsOpen());
}

TEST_F(SaveDynamicTest, BadRowsAndBadRepliesLoseNothing) {
    // A row whose text is no post stays where it is; the box shows the others.
    {
        sqlite3* db = nullptr;
        MVTtirraDataBase::creatSaveDynamicTable();
        ASSERT_EQ(sqlite3_open((platform::Paths::documentsDirectory() / "tirraData.sql").c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "INSERT INTO saveDynamicTable (uid,info,dynamicId) VALUES ('12','{broken','1700000005')",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    Json post = keep("1700000001", "pictures gone", 0);
    post["imagePath"] = "not a list";
    MVTtirraDataBase::deleteSaveDynamicWith("12", "1700000001");
    MVTtirraDataBase::insertSaveDynamicWithDic(post, "1700000001", "12");
    Json missing = keep("1700000002", "a file is gone", 2);
    std::filesystem::remove(missing["imagePath"][0].get<std::string>());

    auto box = openBox();
    ASSERT_EQ(box->dataArray().size(), 2u);
    const std::string huge = "<html>" + std::string(3 << 20, 'x');
    for (const Reply& reply : {Reply::text("<html><body>502</body></html>", "text/html"), Reply::text(""),
                               Reply::text(huge, "text/html")}) {
        service().setReply("POST", std::string(kBoxPublish).substr(1), reply);
        for (int row = 0; row < 2; ++row) resend(*box, row);
    }
    EXPECT_EQ(box->dataArray().size(), 2u);
    // A picture that is gone is left out of the resend, as the queue leaves it out.
    const auto all = sends();
    ASSERT_GE(all.size(), 2u);
    size_t images = 0;
    for (const auto& part : all.back().parts) images += part.name == "image";
    EXPECT_EQ(images, 0u);
    const auto& fromMissing = all[all.size() - 2];
    images = 0;
    for (const auto& part : fromMissing.parts) images += part.name == "image";
    EXPECT_EQ(images, 1u);
    // Three rows are still stored: the broken one too.
    sqlite3* db = nullptr;
    sqlite3_open((platform::Paths::documentsDirectory() / "tirraData.sql").c_str(), &db);
    int count = 0;
    sqlite3_exec(db, "SELECT count(*) FROM saveDynamicTable", [](void* out, int, char** values, char**) {
        *static_cast<int*>(out) = std::atoi(values[0]);
        return 0;
    }, &count, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(count, 3);
}

TEST_F(SaveDynamicTest, TheRowEscapesTypedMarkupAndShowsFacesAndVisibility) {
    EXPECT_EQ(MVTSaveDynamicCell::markupOf("a<b & [em:3:]"),
              "a&lt;b &amp; <img src=\"3.png\" width=\"16\" height=\"16\" style=\"vertical-align:middle;\">");
    EXPECT_EQ(MVTSaveDynamicCell::markupOf("one</br>two"),
              "<li>one<span style=\"color:white;\">.</span></li><li>two</li>");
    struct Case {
        const char* permission;
        const char* role;
        const char* key;
    };
    for (const auto& c : {Case{"-1", "teacher", ""}, Case{"3", "teacher", "我的学生可见"},
                          Case{"1", "student", "我的好友可见"}, Case{"1", "parent", ""}, Case{"", "teacher", ""},
                          Case{"9", "teacher", ""}})
        EXPECT_EQ(MVTSaveDynamicCell::visibilityKey(c.permission, c.role), c.key) << c.permission << " " << c.role;
    double side = 0;
    int columns = 0;
    MVTSaveDynamicCell::pictureGrid(5, 320, side, columns);
    EXPECT_NEAR(side, 104.67, 0.01);
    EXPECT_EQ(columns, 3);
    MVTSaveDynamicCell::pictureGrid(4, 320, side, columns);
    EXPECT_DOUBLE_EQ(side, 158.5);
    EXPECT_EQ(columns, 2);
}

TEST_F(SaveDynamicTest, ASecondRowsPlayStopsTheFirst) {
    for (const char* id : {"1700000001", "1700000002", "1700000003"}) keep(id, "voice", 0, true);
    auto box = openBox();
    std::vector<std::string> stops;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        MVTSaveDynamicViewController::kToStopSaveAudioPlay, [&](const platform::Notification&) { stops.push_back("stop"); });
    auto app = MVTAppDelegate::sharedAppDelegate();
    box->playRecord("take1700000003", 0);
    EXPECT_EQ(box->myTable()->tag(), 0);
    EXPECT_EQ(app->nowPlayPage(), MVTAppDelegate::VoicePageSave);
    EXPECT_EQ(app->nowPage(), MVTAppDelegate::VoicePageSave);
    app->setNowPlayPath("playing");
    box->playRecord("take1700000001", 2);
    EXPECT_EQ(box->myTable()->tag(), 2);
    EXPECT_FALSE(stops.empty());
    box->goback();
    driver_->settle();
    EXPECT_EQ(app->nowPage(), 0);
    EXPECT_EQ(app->nowPlayPage(), 0);
}

TEST_F(SaveDynamicTest, TheMeTabsRowOpensTheBox) {
    keep("1700000001", "from me", 0);
    tabs_->setSelectedIndex(3);
    driver_->settle();
    ASSERT_TRUE(driver_->tapText("草稿箱"));
    driver_->settle();
    auto presented = tabs_->presentedViewController();
    ASSERT_TRUE(presented);
    auto stack = presented->asNavigationController();
    ASSERT_TRUE(stack);
    EXPECT_TRUE(std::dynamic_pointer_cast<MVTSaveDynamicViewController>(stack->viewControllers().front()));
}

}  // namespace
