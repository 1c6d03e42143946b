// The pictures of a post: file names (free, one stamp a batch), sizes, slot order, the
// limit of nine and the preview.
#include "ComposerFixture.h"

#include "composer/ShowPicViewController.h"

#include "platform/Paths.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <regex>

namespace {

using testing_support::ComposerTest;

class PicturesTest : public ComposerTest {
protected:
    std::vector<platform::PickedAsset> assets(int count, double width = 40, double height = 30) {
        std::vector<platform::PickedAsset> list;
        for (int i = 0; i < count; ++i) {
            std::string name = std::to_string(next_++);
            name.append(".jpg");
            list.push_back({pictureFile(name, width, height)});
        }
        return list;
    }
    void addBatch(MVTPostComposerViewController& composer, const std::vector<platform::PickedAsset>& batch) {
        composer.assetsPickerControllerDidFinishPickingAssets(*std::make_shared<platform::AssetsPickerController>(),
                                                              batch);
    }
    static platform::Size fileSize(const std::string& path) {
        auto image = platform::Image::imageWithContentsOfFile(path);
        return image ? image->size() : platform::Size{};
    }
    int next_ = 0;
};

TEST_F(PicturesTest, TwoAlbumBatchesAreNumberedOnUnderOneStampEach) {
    auto composer = open<AddFeedViewController>();
    const std::string first = stampNow();
    addBatch(*composer, assets(3));
    clock_->advance(5);
    const std::string second = stampNow();
    addBatch(*composer, assets(2));
    waitForPictures(*composer);
    const std::string docs = platform::Paths::documentsPath() + "/dyna";
    EXPECT_EQ(*composer->picPathArr,
              (std::vector<std::string>{docs + first + "_1", docs + first + "_2", docs + first + "_3",
                                        docs + second + "_4", docs + second + "_5"}));
    EXPECT_EQ(composer->picNum, 5);
    for (const auto& path : *composer->picPathArr) EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

TEST_F(PicturesTest, ACameraPictureIsStoredAtTwiceTheScreenWidthAtMost) {
    auto composer = open<AddFeedViewController>();
    composer->toAddCamImageWith(platform::Image::imageWithColor(platform::Color::rgb255(0, 90, 200), {4000, 3000}));
    composer->toAddCamImageWith(platform::Image::imageWithColor(platform::Color::rgb255(0, 90, 200), {600, 800}));
    waitForPictures(*composer);
    ASSERT_EQ(composer->picPathArr->size(), 2u);
    EXPECT_EQ(fileSize(composer->picPathArr->at(0)).width, 640);
    EXPECT_EQ(fileSize(composer->picPathArr->at(0)).height, 480);
    EXPECT_EQ(fileSize(composer->picPathArr->at(1)).width, 600);
    // Two pictures of one second get two files.
    EXPECT_NE(composer->picPathArr->at(0), composer->picPathArr->at(1));
}

TEST_F(PicturesTest, AnExistingFileIsNeverTakenOver) {
    auto composer = open<AddFeedViewController>();
    const std::string docs = platform::Paths::documentsPath() + "/dyna";
    const long long now = std::stoll(stampNow());
    const std::string taken = std::to_string(now), next = std::to_string(now + 1);
    // Files of an unsent post of this very second.
    ASSERT_TRUE(platform::writeFileAtomically(docs + taken, "earlier post"));
    ASSERT_TRUE(platform::writeFileAtomically(docs + taken + "_2", "earlier post"));
    composer->toAddCamImageWith(platform::Image::imageWithColor(platform::Color::black(), {10, 10}));
    addBatch(*composer, assets(2));
    waitForPictures(*composer);
    EXPECT_EQ(*composer->picPathArr, (std::vector<std::string>{docs + next, docs + next + "_2", docs + next + "_3"}));
    EXPECT_EQ(platform::readFile(docs + taken), "earlier post");
}

TEST_F(PicturesTest, ACameraPictureThenAnAlbumBatchKeepPathsInCellOrder) {
    auto composer = open<AddPicViewController>(nullptr, true);
    composer->toAddCamImageWith(platform::Image::imageWithColor(platform::Color::black(), {1500, 200}));
    addBatch(*composer, assets(2, 40, 30));
    // The paths stand in slot order at once, before any file is made.
    ASSERT_EQ(composer->picPathArr->size(), 3u);
    EXPECT_TRUE(std::regex_match(composer->picPathArr->at(0), std::regex(".*/dyna[0-9]+")));
    waitForPictures(*composer);
    EXPECT_EQ(fileSize(composer->picPathArr->at(0)).width, 640);
    EXPECT_EQ(fileSize(composer->picPathArr->at(1)).width, 40);
    EXPECT_EQ(fileSize(composer->picPathArr->at(2)).width, 40);
    EXPECT_EQ(composer->imageArray.size(), 3u);
    EXPECT_FALSE(composer->hud && composer->hud->isShowing());
}

TEST_F(PicturesTest, NinePicturesHideTheAddButtonAndThePickerOffersWhatIsLeft) {
    platform::ImagePickerController::setSourceFiles(platform::ImagePickerSourceType::PhotoLibrary, {pictureFile("lib.jpg", 20, 20)});
    auto composer = open<AddRecordViewController>();
    addBatch(*composer, assets(8));
    composer->getPhotoLibrary();
    auto picker = std::dynamic_pointer_cast<platform::AssetsPickerController>(composer->presentedViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->maximumNumberOfSelection(), 1u);
    picker->cancel();
    driver_->settle();
    addBatch(*composer, assets(1));
    waitForPictures(*composer);
    auto add = composer->allPicView->viewWithTag(MVTPostComposerViewController::kAddButtonTag);
    ASSERT_TRUE(add);
    EXPECT_TRUE(add->isHidden());
}

TEST_F(PicturesTest, ThePreviewDeletesTheSecondOfThreeFromTheComposersList) {
    auto composer = open<AddFeedViewController>();
    addBatch(*composer, assets(3));
    waitForPictures(*composer);
    const auto before = *composer->picPathArr;
    composer->showBigImage(1);
    driver_->settle();
    auto preview = std::dynamic_pointer_cast<ShowPicViewController>(
        std::dynamic_pointer_cast<platform::NavigationController>(tabs_->presentedViewController())
            ->presentedViewController());
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->pageLabel->text(), "2/3");
    EXPECT_TRUE(preview->prefersStatusBarHidden());
    preview->deleteImage();
    // The composer's own list has lost the path before the preview closes.
    EXPECT_EQ(*composer->picPathArr, (std::vector<std::string>{before[0], before[2]}));
    EXPECT_FALSE(std::filesystem::exists(before[1]));
    EXPECT_EQ(preview->pageLabel->text(), "2/2");
    preview->back();
    driver_->settle();
    EXPECT_EQ(composer->picNum, 2);
    std::vector<int> tags;
    for (auto& sub : composer->allPicView->subviews())
        if (std::dynamic_pointer_cast<platform::ImageView>(sub)) tags.push_back(sub->tag());
    EXPECT_EQ(tags, (std::vector<int>{0, 1}));
}

TEST_F(PicturesTest, ThePreviewCountsWithSpacesAfterASwipe) {
    auto composer = open<AddFeedViewController>();
    addBatch(*composer, assets(5));
    waitForPictures(*composer);
    auto preview = std::make_shared<ShowPicViewController>();
    preview->initWith(composer->imageArray, composer->picPathArr, 1);
    EXPECT_EQ(preview->pageLabel->text(), "2/5");
    preview->allScroll()->setContentOffset({2 * 320.0, 0});
    EXPECT_EQ(preview->pageLabel->text(), "3 / 5");
    EXPECT_EQ(preview->currentNum, 2);
}

TEST_F(PicturesTest, TheStartingPhotoShowsTheOverlayUntilItsFileIsWritten) {
    setRole("student");
    auto composer = std::make_shared<AddPicViewController>();
    composer->initWithImage(platform::Image::imageWithColor(platform::Color::black(), {50, 50}), true);
    EXPECT_TRUE(composer->isImage);
    ASSERT_TRUE(composer->hud);
    EXPECT_TRUE(composer->hud->isShowing());
    EXPECT_EQ(composer->picNum, 0);
    present(composer);
    waitForPictures(*composer);
    EXPECT_FALSE(composer->hud->isShowing());
    EXPECT_EQ(composer->picNum, 1);
    auto add = composer->allPicView->viewWithTag(MVTPostComposerViewController::kAddButtonTag);
    ASSERT_TRUE(add);
    EXPECT_FALSE(add->isHidden());
    EXPECT_DOUBLE_EQ(add->frame().minX(), 5 + composer->pwh + 5);
}

TEST_F(PicturesTest, AnAlbumPictureThatCannotBeReadLeavesTheStrip) {
    auto composer = open<AddFeedViewController>();
    auto batch = assets(2);
    batch.insert(batch.begin() + 1, platform::PickedAsset{AppTest::home_ / "gone.jpg"});
    addBatch(*composer, batch);
    waitForPictures(*composer);
    EXPECT_EQ(composer->picNum, 2);
    ASSERT_EQ(composer->picPathArr->size(), 2u);
    for (const auto& path : *composer->picPathArr) EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
