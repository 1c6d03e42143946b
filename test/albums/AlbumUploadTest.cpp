// Photo upload with caption: the multipart body, the pictures cached under the ids that
// came back, the chooser's albums, refusals that keep the form, and the grid's slots.
#include "AlbumFixture.h"

#include "albums/AlbumCommon.h"
#include "albums/MVTClassAlbumViewController.h"
#include "albums/MVTUpAlbumPicViewController.h"
#include "core/MVTPublicMethod.h"

#include "platform/Files.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"


using namespace platform;
using sample_service::Reply;
using Upload = MVTUpAlbumPicViewController;

namespace {

class AlbumUploadTest : public testing_support::AlbumTest {
protected:
    std::shared_ptr<Upload> open(const std::string& albumId, const std::string& name) {
        signIn("teacher");
        upload = std::make_shared<Upload>();
        upload->setAlbumId(albumId);
        upload->setNameStr(name);
        showPushed(upload);
        return upload;
    }
    void addPictures(int count) {
        const std::string png = MVTPublicMethod::imageData(Image::imageWithColor(Color::rgb255(90, 160, 60), {40, 30}));
        std::vector<PickedAsset> assets;
        for (int i = 0; i < count; ++i) {
            const auto file = home_ / ("photo" + std::to_string(i) + ".png");
            ASSERT_TRUE(writeFileAtomically(file, png));
            assets.push_back(PickedAsset{file});
        }
        AssetsPickerController picker;
        upload->assetsPickerControllerDidFinishPickingAssets(picker, assets);
        ASSERT_TRUE(pumpUntil([&] { return upload->pendingPictures() == 0; }));
    }
    std::shared_ptr<Upload> upload;
};

TEST_F(AlbumUploadTest, OneMultipartPostWithTheCaptionThenNamedPicturesAndTheirCache) {
    int reloads = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(MVTClassAlbumViewController::kReloadNotification,
                                                                 [&](const Notification&) { ++reloads; });
    open("502", "春游");
    addPictures(2);
    upload->textView()->setText("春游[em:3:]");
    upload->toUpData();
    const std::string path = "class/1001/album/502/upload/photo";
    ASSERT_TRUE(waitFor(path, 1, upload->view()));
    const auto request = requestsTo(path).back();
    ASSERT_EQ(request.parts.size(), 3u);
    EXPECT_EQ(request.parts[0].name, "description");
    EXPECT_EQ(request.parts[0].bytes, "春游[em:3:]");
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(request.parts[std::size_t(i)].name, "image");
        EXPECT_EQ(request.parts[std::size_t(i)].contentType, "application/octet-stream");
        EXPECT_TRUE(Image::isPicture(request.parts[std::size_t(i)].bytes));
    }
    EXPECT_EQ(percentDecode(request.parts[2].fileName), "iphone-班级相片2.png");
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->title(), "上传成功");
    EXPECT_TRUE(fileExists(albums::fullPictureFile("785000")));
    EXPECT_TRUE(fileExists(albums::fullPictureFile("785001")));
    driver->pressAlertButton(0);
    EXPECT_EQ(reloads, 1);
    // The upload is the newest photo post of the class album.
    auto posts = service().handlerFor("GET", "services/norvo/feed/%@/list/1");
    ASSERT_TRUE(posts);
}

TEST_F(AlbumUploadTest, RefusedUploadsKeepTheFormAndSayWhy) {
    struct Case {
        Reply reply;
        const char* title;
    } cases[] = {{Reply::json({{"success", 0}}), "上传失败"},
                 {Reply::json(Json::array({"785000"})), "上传失败"},
                 {Reply::text("busy", "text/plain", 500), "上传失败"}};
    for (const Case& c : cases) {
        AlertView::clearVisible();
        service().setReply("POST", servicePath("class/1001/album/502/upload/photo"), c.reply);
        open("502", "春游");
        addPictures(1);
        upload->toUpData();
        ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
        EXPECT_EQ(driver->alert()->title(), c.title);
        EXPECT_EQ(upload->pictureCount(), 1u);
    }
    AlertView::clearVisible();
    open("", "");
    addPictures(1);
    upload->toUpData();
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->title(), "请先选择班级相册");
}

TEST_F(AlbumUploadTest, TheGridGrowsByRowsAndTheAddButtonGoesAtNine) {
    open("502", "春游");
    EXPECT_EQ(Upload::gridHeightFor(3), 81);
    EXPECT_EQ(Upload::gridHeightFor(4), 154);
    EXPECT_EQ(Upload::gridHeightFor(8), 227);
    addPictures(4);
    EXPECT_EQ(upload->picView()->frame().height(), 154);
    upload->toRemovePic(0);
    EXPECT_EQ(upload->picView()->frame().height(), 81);
    EXPECT_EQ(upload->addButton()->frame(), Upload::slotFrame(3));
    addPictures(6);
    EXPECT_EQ(upload->pictureCount(), 9u);
    EXPECT_TRUE(upload->addButton()->isHidden());
}

}  // namespace
