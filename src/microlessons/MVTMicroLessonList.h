#pragma once

#include "microlessons/MVTMicroLessonCell.h"
#include "microlessons/MVTMicroListBase.h"
#include "microlessons/MVTMicroOpenList.h"
#include "tests/MVTSearchTestViewController.h"
#include "tests/MVTTestSelectViewController.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {
class Button;
class ImageView;
}  // namespace platform

// The lessons "微课": two segments in the title, the school's lessons ("校内微课", one
// section per course with a sideways row of lessons, 15 courses a page, searched through
// the path) and the open lessons of all schools ("开放微课", the open list's view). "筛选"
// opens the filter picker for the segment showing. A tapped lesson opens after a check of
// the network: at once on WiFi, after a question on another network, not at all offline.
// Teachers get an upload bar: one video of at most 1 GiB, "mov" or "mp4", goes on to the
// upload form; while an upload is under way the bar opens its status screen instead.
class MVTMicroLessonViewController : public MVTMicroListScreen,
                                     public MVTTestSelectViewDelegate,
                                     public MVTSearchTestViewDelegate,
                                     public microLessonDelegate,
                                     public openMicroDelegate,
                                     public platform::AlertViewDelegate,
                                     public platform::AssetsPickerControllerDelegate {
public:
    std::string className() const override { return "MVTMicroLessonViewController"; }
    static constexpr int kSchoolSegmentTag = 101;
    static constexpr int kOpenSegmentTag = 102;
    static constexpr int kMobileListAlertTag = 999;
    static constexpr int kMobileSingleAlertTag = 888;
    static constexpr std::int64_t kMaxVideoBytes = 1073741824;
    static constexpr double kRowHeight = 160;
    static constexpr double kSearchedOpenDelay = 0.3;
    static constexpr double kPickedPushDelay = 0.01;

    // How a lesson is opened instead of pushing the detail screen, for tests: the record,
    // its list (null after the mobile question) and its kind (empty then).
    using DetailOpener = std::function<void(MVTMicroLessonViewController& list, const platform::Json& movieDic,
                                            const platform::Json& aboutArray, const std::string& moduleType)>;
    static void setDetailOpener(DetailOpener opener);

    void viewDidLoad() override;
    void goback();
    void recommendButtonClick(int tag);
    bool showsSchoolSegment() const;
    void toSelect() override;
    void getLevel(const platform::Json& level, const platform::Json& subject, const platform::Json& teacher) override;

    // ---- Opening lessons.
    void showMicroLesson(const platform::Json& lessons, int index, const std::string& microType) override;
    void showMicroLesson(const platform::Json& lesson) override;
    void sureToShowMovie(const platform::Json& lessons, int index, const std::string& microType);
    void sureToShowMovie();
    void toGotoDidSearchedExamWith(const platform::Json& lesson) override;

    // ---- Upload.
    void toUpMicro();
    void toSelectAssets();
    void assetsPickerControllerDidFinishPickingAssets(platform::AssetsPickerController& picker,
                                                      const std::vector<platform::PickedAsset>& assets) override;
    // The refusal of a picked video ("" when it may be uploaded): its size in bytes and its
    // file name, whose text after the last "." must be "mov" or "mp4" in any case.
    static std::string refusalOfVideo(const std::string& fileName, std::int64_t bytes);
    // Checks a picked video file and, while no upload holds the slot, goes on to the form.
    void checkPickedVideo(const std::string& path);
    void toUpMicroInfoView(const std::string& path);
    void toSubmitMicroView();

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;

    std::shared_ptr<MVTOpenMicroViewController> openMicroViewController() const { return openMicro_; }
    const platform::Json& movieDictionary() const { return movieDictionary_; }
    std::shared_ptr<platform::Button> chatButton() const { return chatButton_; }
    std::shared_ptr<platform::Button> linkManButton() const { return linkManButton_; }
    std::shared_ptr<platform::Button> upButton() const { return upButton_; }
    std::shared_ptr<platform::AlertView> lastAlert() const { return lastAlert_; }

protected:
    std::shared_ptr<platform::HttpJsonRequestOperation> sendListRequest(const platform::Json& parameters, Reply reply,
                                                                        Failure failure) override;
    void listReplied() override;
    std::string thirdChipText() const override;
    void chipTapped() override { toSelect(); }

private:
    void initTitleView();
    void initUpButton();
    void openDetail(const platform::Json& movieDic, const platform::Json& aboutArray, const std::string& moduleType);
    void showAlert(const std::string& title, const std::string& message, int tag, const std::string& cancel,
                   const std::vector<std::string>& others = {});

    std::shared_ptr<MVTOpenMicroViewController> openMicro_;
    platform::Json movieDictionary_ = platform::Json::object();
    std::shared_ptr<platform::ImageView> titleView_;
    std::shared_ptr<platform::Button> chatButton_;
    std::shared_ptr<platform::Button> linkManButton_;
    std::shared_ptr<platform::Button> upButton_;
    std::shared_ptr<platform::AlertView> lastAlert_;
    // The list and kind of the lesson waiting for the mobile-network answer.
    platform::Json pendingLessons_;
    std::string pendingKind_;
};
