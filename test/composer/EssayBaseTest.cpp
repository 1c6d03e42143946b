// The composer base of the notice and homework composers, through a small subclass that
// places the base's views in one row and sends as the protocol says: the bottom bar with
// and without the picture buttons, removing pictures, the voice take (refused, kept,
// replaced) and the send that waits for the conversion and an album picture.
#include "ComposerFixture.h"

#include "composer/MVTAddEssayViewController.h"
#include "shell/myTableView.h"

#include "platform/AudioRecorder.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/UiDriver.h"

namespace {

using testing_support::ComposerTest;
using platform::Point;

class SmallEssay : public MVTAddEssayViewController {
public:
    explicit SmallEssay(bool pictures = false) : pictures_(pictures) {}
    bool placesPictureButtons() const override { return pictures_; }
    void viewDidLoad() override {
        MVTAddEssayViewController::viewDidLoad();
        setTitle("essay");
        picView();
        vedioView();
        myvedioView->setHidden(true);
    }
    int numberOfRowsInSection(platform::TableView&, int) override { return 1; }
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView&,
                                                                   const platform::IndexPath&) override {
        auto cell = std::make_shared<platform::TableViewCell>();
        cell->initWithStyle(platform::TableViewCellStyle::Default, "row");
        cell->contentView()->addSubview(picScrollView);
        myvedioView->setFrame({15, 90, myvedioView->frame().width(), 30});
        cell->contentView()->addSubview(myvedioView);
        return cell;
    }
    double heightForRowAtIndexPath(platform::TableView&, const platform::IndexPath&) override { return 140; }
    // The protocol's send.
    void sendBtnClicked(platform::Button* sender) override {
        if (issending || isSubmitting) return;
        issending = true;
        if (sender) sender->setEnabled(false);
        if (!readyToSend()) {
            complete = false;
            issending = false;
            return;
        }
        complete = true;
        sends.push_back(sender == nullptr);
        issending = false;
    }
    std::vector<bool> sends;  // true: resumed without a sender

private:
    bool pictures_;
};

class EssayBaseTest : public ComposerTest {
protected:
    void SetUp() override {
        ComposerTest::SetUp();
        platform::AudioRecorder::setInput([] { return platform::makeToneSource(440.0, 0.5); });
    }
    void TearDown() override {
        platform::AudioRecorder::setInput(nullptr);
        ComposerTest::TearDown();
    }
    std::shared_ptr<SmallEssay> openEssay(bool pictures = false) {
        auto essay = std::make_shared<SmallEssay>(pictures);
        present(essay);
        return essay;
    }
    void hold(SmallEssay& essay, double seconds, bool inside = true) {
        const Point button = driver_->centerOf(*essay.vedioImageView);
        const int finger = driver_->beginTouch(button);
        driver_->advance(seconds);
        if (!inside) driver_->moveTouch(finger, {button.x - 200, button.y - 300});
        driver_->endTouch(finger);
    }
    void converted(SmallEssay& essay) {
        pumpUntil([&] { return !essay.audioRecord || essay.audioRecord->isWavToAmrCompleted(); });
        platform::BackgroundQueue::shared().waitIdle();
        driver_->pump();
    }
    void pick(SmallEssay& essay, int count) {
        std::vector<platform::PickedAsset> assets;
        for (int i = 0; i < count; ++i) {
            std::string name = "e";
            name += std::to_string(essay.picNum + i);
            name += ".jpg";
            assets.push_back({pictureFile(name, 30 + i, 20)});
        }
        essay.assetsPickerControllerDidFinishPickingAssets(*std::make_shared<platform::AssetsPickerController>(),
                                                           assets);
    }
    std::vector<std::shared_ptr<platform::ImageView>> slots(SmallEssay& essay) {
        std::vector<std::shared_ptr<platform::ImageView>> found;
        for (const auto& sub : essay.picScrollView->subviews())
            if (auto slot = std::dynamic_pointer_cast<platform::ImageView>(sub)) found.push_back(slot);
        return found;
    }
};

TEST_F(EssayBaseTest, TheBarPlacesThePictureButtonsOnlyWhenTheComposerAsks) {
    const double W = platform::Screen::mainScreen().bounds().width();
    for (bool pictures : {false, true}) {
        SCOPED_TRACE(pictures);
        auto essay = openEssay(pictures);
        EXPECT_EQ(essay->cameraButton->superview() != nullptr, pictures);
        EXPECT_EQ(essay->albumButton->superview() != nullptr, pictures);
        const auto publish = essay->publishButton->frame();
        EXPECT_DOUBLE_EQ(publish.minX(), pictures ? 95 : 50);
        EXPECT_DOUBLE_EQ(publish.maxX(), W - 50);
        EXPECT_DOUBLE_EQ(essay->vedioImageView->frame().minX(), W - 30);
        if (pictures) {
            EXPECT_DOUBLE_EQ(essay->cameraButton->frame().minX(), 5);
            EXPECT_DOUBLE_EQ(essay->albumButton->frame().minX(), 50);
        }
        closePresented();
    }
}

TEST_F(EssayBaseTest, RemovingTheFirstOfThreePicturesMovesTheOthersUp) {
    auto essay = openEssay();
    pick(*essay, 3);
    pumpUntil([&] { return essay->readyToSend(); });
    const auto second = essay->imageArray[1].image, third = essay->imageArray[2].image;
    auto first = slots(*essay).front();
    auto remove = std::dynamic_pointer_cast<platform::Button>(first->subviews().back());
    ASSERT_TRUE(remove);
    essay->deleteImage(*remove);
    const auto left = slots(*essay);
    ASSERT_EQ(left.size(), 2u);
    EXPECT_DOUBLE_EQ(left[0]->frame().minX(), 10);
    EXPECT_DOUBLE_EQ(left[1]->frame().minX(), 100);
    EXPECT_EQ(left[0]->tag(), 0);
    EXPECT_EQ(left[1]->tag(), 1);
    ASSERT_EQ(essay->imageArray.size(), 2u);
    EXPECT_EQ(essay->imageArray[0].image, second);
    EXPECT_EQ(essay->imageArray[1].image, third);
    // Four pictures scroll, standing at x 45; nine refuse a tenth.
    pick(*essay, 2);
    driver_->settle();
    EXPECT_TRUE(essay->picScrollView->isScrollEnabled());
    EXPECT_DOUBLE_EQ(essay->picScrollView->contentOffset().x, 45);
    pick(*essay, 5);
    EXPECT_EQ(essay->picNum, 9);
    essay->getPhotoLibrary();
    EXPECT_EQ(alertMessage(), "最多添加9张图片");
}

TEST_F(EssayBaseTest, TakesRefusedUnderHalfASecondKeptAboveAndAReleaseOffTheButtonKeepsThePrevious) {
    auto essay = openEssay();
    hold(*essay, 0.4);
    converted(*essay);
    EXPECT_EQ(alertMessage(), "录音时间过短,请重新录制");
    EXPECT_TRUE(essay->vedioPath.empty());
    platform::AlertView::clearVisible();

    advance(2.0);
    hold(*essay, 0.6);
    converted(*essay);
    const std::string first = essay->vedioPath;
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(essay->recordLabel->text(), "1″");
    EXPECT_FALSE(essay->myvedioView->isHidden());

    advance(2.0);
    hold(*essay, 2.0, false);
    converted(*essay);
    EXPECT_EQ(essay->vedioPath, first);
    EXPECT_EQ(essay->recordLabel->text(), "1″");

    advance(2.0);
    hold(*essay, 3.0);
    converted(*essay);
    EXPECT_NE(essay->vedioPath, first);
    EXPECT_EQ(essay->recordLabel->text(), "3″");
    // The replaced take's files stay.
    EXPECT_TRUE(std::filesystem::exists(MVTPublicMethod::getPathByFileName(first, "wav")));
}

TEST_F(EssayBaseTest, ASendWaitingForTheConversionAndAPictureIsResumedOnce) {
    auto essay = openEssay();
    hold(*essay, 1.0);
    converted(*essay);
    essay->audioRecord->setIsWavToAmrCompleted(false);
    pick(*essay, 1);
    essay->sendBtnClicked(essay->publishButton.get());
    EXPECT_TRUE(essay->sends.empty());
    EXPECT_FALSE(essay->complete);
    // The picture loads first: the take still converts, so no send yet.
    pumpUntil([&] { return essay->imageArray[0].image != nullptr; });
    EXPECT_TRUE(essay->sends.empty());
    essay->audioRecord->setIsWavToAmrCompleted(true);
    essay->wavToAmrComplete();
    essay->wavToAmrComplete();
    ASSERT_EQ(essay->sends.size(), 1u);
    EXPECT_TRUE(essay->sends[0]);
}

}  // namespace
