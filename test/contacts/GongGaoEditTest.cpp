// The announcement composer: the checks and their order, the save request and its
// answers, the picture files and grid, the preview's deletions, and leaving.

#include "ContactsFixture.h"

#include "contacts/MVTGongGaoEdit.h"
#include "contacts/MVTGongGaoViewController.h"

#include "core/MVTPublicMethod.h"
#include "shell/ViewViewController.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <filesystem>
#include <fstream>

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

constexpr const char* kSavePath = "services/norvo/forum/1001/601/3/notice/save";

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

class GongGaoEditTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
        base = std::make_shared<ViewViewController>();
        showRoot(base);
        openComposer();
    }
    // A new composer pushed over the base screen, as the list pushes it.
    void openComposer() {
        composer = std::make_shared<MVTEditGongGaoViewController>();
        composer->setForumId("601");
        composer->setFieldId("3");
        navigation->pushViewController(composer, false);
        driver->settle();
    }
    void write(const std::string& title, const std::string& text) {
        composer->myTextField()->setText(title);
        composer->mytextView()->setText(text);
    }
    std::vector<platform::PickedAsset> assets(int count) {
        std::vector<platform::PickedAsset> list;
        for (int i = 0; i < count; ++i) {
            auto path = home_ / ("album" + std::to_string(next_++) + ".jpg");
            std::ofstream(path, std::ios::binary)
                << platform::Image::imageWithColor(platform::Color::rgb255(0, 120, 200), {40, 30})->jpegData(0.9);
            list.push_back({path});
        }
        return list;
    }
    void pick(int count) {
        composer->assetsPickerControllerDidFinishPickingAssets(*std::make_shared<platform::AssetsPickerController>(),
                                                               assets(count));
        ASSERT_TRUE(waitFor([&] { return !composer->isPreparing(); }));
    }
    std::vector<sample_service::RecordedRequest> saves() const { return requestsTo("forum/1001/601/3/notice/save"); }
    std::string stampNow() const { return std::to_string(static_cast<long long>(clock_->now() - 978307200)); }
    bool waitForAlert(const std::string& title) {
        return waitFor([&] {
            auto alert = platform::AlertView::topAlert();
            return alert && alert->title() == title;
        });
    }

    std::shared_ptr<ViewViewController> base;
    std::shared_ptr<MVTEditGongGaoViewController> composer;
    int next_ = 0;
};

TEST_F(GongGaoEditTest, ChecksComeInTheirOrderAndLengthsAreCountedAsTyped) {
    struct Case {
        std::string title;
        std::string text;
        const char* message;  // nullptr: sent
    };
    const Case cases[] = {
        {repeated("题", 21), repeated("字", 1001), "内容不能超过1000个字"},
        {repeated("题", 21), repeated("字", 1000), "标题不能超过20个字"},
        {"", "", "公告没有标题"},
        {"标题", "", "公告没有内容"},
        {repeated("题", 20), repeated("字", 1000), nullptr},
        {"   ", "内容", nullptr},
        {"😀", "内容", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title + "/" + std::to_string(c.text.size()));
        platform::AlertView::clearVisible();
        service().clearRequests();
        write(c.title, c.text);
        composer->sendBtnClicked(composer->sendButton().get());
        if (c.message) {
            auto alert = platform::AlertView::topAlert();
            ASSERT_TRUE(alert);
            EXPECT_EQ(alert->title(), "提示");
            EXPECT_EQ(alert->message(), c.message);
            EXPECT_EQ(alert->buttonTitleAtIndex(0), "知道了");
            driver->pump();
            EXPECT_TRUE(saves().empty());
        } else {
            ASSERT_TRUE(waitFor([&] { return saves().size() == 1 && navigation->topViewController() == base; }));
            openComposer();
        }
    }
}

TEST_F(GongGaoEditTest, ASaveSendsTitleTextAndPicturesThenPopsAndReloadsTheList) {
    pick(2);
    write("春游通知", "周五春游，带好水杯。");
    auto reloads = count(MVTGongGaoViewController::kToReloadCurrentGongGaoData);
    composer->sendBtnClicked(composer->sendButton().get());
    EXPECT_TRUE(composer->issending());
    EXPECT_FALSE(composer->sendButton()->isEnabled());
    ASSERT_TRUE(waitFor([&] { return reloads->count == 1; }));
    EXPECT_EQ(navigation->topViewController(), base);
    const auto sent = saves();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].hasServiceCredentials());
    const auto& parts = sent[0].parts;
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[0].name, "title");
    EXPECT_EQ(parts[0].bytes, "春游通知");
    EXPECT_EQ(parts[1].name, "content");
    EXPECT_EQ(parts[1].bytes, "周五春游，带好水杯。");
    const std::string model = MVTPublicMethod::currentDevicemodel();
    for (int i = 0; i < 2; ++i) {
        const auto& part = parts[std::size_t(2 + i)];
        EXPECT_EQ(part.name, "image");
        EXPECT_EQ(part.contentType, "application/octet-stream");
        EXPECT_EQ(part.fileName, platform::percentEscape("来自" + model + "的图片" + std::to_string(i + 1) + ".png"));
        // JPEG bytes of the album picture's full-screen image, as written to its file.
        ASSERT_GE(part.bytes.size(), 2u);
        EXPECT_EQ(part.bytes.substr(0, 2), "\xFF\xD8");
        EXPECT_EQ(part.bytes, *platform::readFile((*composer->picPathArr())[std::size_t(i)]));
    }
    // The picture files stay after a save.
    for (const auto& path : *composer->picPathArr()) EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(GongGaoEditTest, ARefusedOrFailedSaveKeepsTheComposerWithItsContent) {
    write("标题", "内容");
    service().setReply("POST", kSavePath, Reply::json({{"success", 0}, {"msg", "群组已解散"}}));
    composer->sendBtnClicked(composer->sendButton().get());
    ASSERT_TRUE(waitForAlert("保存失败,请重新发送"));
    EXPECT_EQ(platform::AlertView::topAlert()->message(), "群组已解散");
    EXPECT_EQ(navigation->topViewController(), composer);
    EXPECT_TRUE(composer->sendButton()->isEnabled());
    platform::AlertView::clearVisible();
    service().setReply("POST", kSavePath, Reply::text("", "text/plain", 500));
    composer->sendBtnClicked(composer->sendButton().get());
    ASSERT_TRUE(waitForAlert("提示"));
    EXPECT_EQ(platform::AlertView::topAlert()->message(), "发送失败,请重新发送");
    EXPECT_EQ(composer->myTextField()->text(), "标题");
    EXPECT_FALSE(composer->issending());
}

TEST_F(GongGaoEditTest, OfflineShowsOnlyTheBannerAndASecondTapWhileSavingDoesNothing) {
    write("标题", "内容");
    setOffline();
    composer->sendBtnClicked(composer->sendButton().get());
    driver->pump();
    EXPECT_FALSE(platform::AlertView::topAlert());
    EXPECT_TRUE(saves().empty());
    EXPECT_TRUE(composer->sendButton()->isEnabled());
    platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
    Reply held = Reply::json({{"success", 1}});
    held.delay = 0.3;
    service().setReply("POST", kSavePath, held);
    composer->sendBtnClicked(composer->sendButton().get());
    composer->sendBtnClicked(composer->sendButton().get());
    ASSERT_TRUE(waitFor([&] { return !composer->issending(); }));
    EXPECT_EQ(saves().size(), 1u);
}

TEST_F(GongGaoEditTest, ASaveWaitsForThePicturesBeingPrepared) {
    write("标题", "内容");
    composer->assetsPickerControllerDidFinishPickingAssets(*std::make_shared<platform::AssetsPickerController>(),
                                                           assets(3));
    ASSERT_TRUE(composer->isPreparing());
    composer->sendBtnClicked(composer->sendButton().get());
    ASSERT_TRUE(waitFor([&] { return saves().size() == 1; }));
    EXPECT_EQ(saves()[0].parts.size(), 5u);
    for (std::size_t i = 2; i < 5; ++i) EXPECT_FALSE(saves()[0].parts[i].bytes.empty());
}

TEST_F(GongGaoEditTest, AlbumPicturesAreNumberedUnderOneStampAndTheTileHidesAtNine) {
    const std::string stamp = stampNow();
    pick(2);
    const std::string docs = platform::Paths::documentsPath() + "/dyna";
    EXPECT_EQ(*composer->picPathArr(), (std::vector<std::string>{docs + stamp + "_1", docs + stamp + "_2"}));
    EXPECT_EQ(MVTEditGongGaoViewController::cameraFileName(978307200 + 12345), "dyna12345");
    EXPECT_EQ(MVTEditGongGaoViewController::albumFileName(978307200 + 12345, 3), "dyna12345_3");
    EXPECT_EQ(MVTEditGongGaoViewController::uploadFileName("X", 1, 1), "来自X的图片.png");
    EXPECT_EQ(MVTEditGongGaoViewController::uploadFileName("X", 2, 3), "来自X的图片2.png");
    const double pwh = composer->pwh();
    // Two pictures and the tile: one row; the tile is centred in the third cell.
    EXPECT_DOUBLE_EQ(composer->allPicView()->frame().height(), pwh + 10);
    EXPECT_DOUBLE_EQ(composer->addTile()->frame().x(), 5 + (pwh + 5) * 2 + pwh / 4);
    const auto cells = composer->cells();
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_DOUBLE_EQ(cells[1]->frame().x(), 5 + pwh + 5);
    // With six pictures the album allows three more; nine hide the tile.
    pick(4);
    composer->getPhotoLibrary();
    driver->settle();
    auto picker = std::dynamic_pointer_cast<platform::AssetsPickerController>(composer->presentedViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->maximumNumberOfSelection(), 3u);
    composer->dismissViewController(false);
    pick(3);
    EXPECT_EQ(composer->picNum(), 9);
    EXPECT_TRUE(composer->addTile()->isHidden());
    EXPECT_DOUBLE_EQ(composer->allPicView()->frame().height(), pwh + 10 + (pwh + 5) * 2);
}

TEST_F(GongGaoEditTest, DeletingEveryPictureInThePreviewEmptiesTheGrid) {
    pick(9);
    EXPECT_TRUE(composer->addTile()->isHidden());
    composer->reloadViewWithImageArray({composer->imageArray()[0]});
    EXPECT_EQ(composer->picNum(), 1);
    EXPECT_FALSE(composer->addTile()->isHidden());
    composer->reloadViewWithImageArray({});
    EXPECT_EQ(composer->picNum(), 0);
    EXPECT_DOUBLE_EQ(composer->allPicView()->frame().height(), composer->pwh() + 10);
    EXPECT_DOUBLE_EQ(composer->addTile()->frame().x(), 10);
}

TEST_F(GongGaoEditTest, BackClosesAtOnceWithoutTextOrPicturesAndAsksOtherwise) {
    composer->myTextField()->setText("只有标题");
    composer->goback();
    driver->settle();
    EXPECT_FALSE(platform::AlertView::topAlert());
    EXPECT_EQ(navigation->topViewController(), base);

    openComposer();
    pick(1);
    const std::string file = (*composer->picPathArr())[0];
    composer->goback();
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "放弃此次编辑?");
    driver->pressAlertButton(0);
    driver->settle();
    EXPECT_EQ(navigation->topViewController(), composer);
    EXPECT_TRUE(std::filesystem::exists(file));
    composer->goback();
    driver->pressAlertButton(1);
    driver->settle();
    EXPECT_EQ(navigation->topViewController(), base);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(GongGaoEditTest, TheTextsPlaceholderLeavesWhileEditingAnEmptyText) {
    composer->textViewDidBeginEditing();
    EXPECT_FALSE(composer->tipsLabel()->superview());
    composer->textViewDidEndEditing();
    EXPECT_TRUE(composer->tipsLabel()->superview());
    // A deletion is applied by the composer itself.
    composer->mytextView()->setText("一二三");
    EXPECT_FALSE(composer->textViewShouldChangeText({1, 1}, ""));
    EXPECT_EQ(composer->mytextView()->text(), "一三");
}

}  // namespace
