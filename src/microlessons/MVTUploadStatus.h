#pragma once

#include "tests/TestsScreen.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ImageView;
class Label;
class View;
}  // namespace platform

namespace uploadstatus {

// The upload queue's last result is kept from the moment the lesson list first shows, so
// a status screen opened after a result that no screen saw acts on it instead of waiting
// at "转码中..." for ever. A new upload forgets it.
void keepLastResult();
void forgetLastResult();
const std::string& lastResult();
// The dark "视频" band across the bottom of a 100-point video thumbnail.
void addVideoBadge(platform::View& thumbnail);
// A video file's first picture on a thumbnail view (nothing when none decodes).
void showVideoThumbnail(platform::ImageView& thumbnail, const std::string& videoPath);
// The name the upload shows: the file name up to its first "." followed by ".mp4".
std::string listedName(const std::string& fileName);

}  // namespace uploadstatus

// "上传列表": the one lesson video being converted and uploaded. It follows the queue's
// "toGetSubmitMicroState" texts (progress, or a result); after "上传失败" it offers to
// upload the converted file again or to cancel, which deletes it and frees the slot.
class MVTSubmitMicroViewController : public TestsScreen, public platform::AlertViewDelegate {
public:
    std::string className() const override { return "MVTSubmitMicroViewController"; }
    static constexpr double kTrackWidth = 180;
    static constexpr int kRetryTag = 11;
    static constexpr int kCancelTag = 12;
    static constexpr int kFailedAlertTag = 11;

    void viewDidLoad() override;
    void goback();
    void toGetSubmitMicroState(const std::string& text);
    void whichBtnClilked(int tag);
    void againSubmit();
    void cancelSubmit();
    void toClear();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    std::shared_ptr<platform::Label> stateLa() const { return stateLa_; }
    std::shared_ptr<platform::Label> nameLa() const { return nameLa_; }
    std::shared_ptr<platform::ImageView> encodeImageView() const { return encodeImageView_; }
    std::shared_ptr<platform::View> possView() const { return possView_; }
    std::shared_ptr<platform::View> bar() const { return bar_; }
    std::shared_ptr<platform::View> selectView() const { return selectView_; }
    std::shared_ptr<platform::AlertView> lastAlert() const { return lastAlert_; }

private:
    void stopWheel();
    void leave();

    std::shared_ptr<platform::ImageView> imageView_;
    std::shared_ptr<platform::Label> nameLa_;
    std::shared_ptr<platform::Label> stateLa_;
    std::shared_ptr<platform::ImageView> encodeImageView_;
    std::shared_ptr<platform::View> possView_;
    std::shared_ptr<platform::View> bar_;
    std::shared_ptr<platform::View> selectView_;
    std::shared_ptr<platform::AlertView> lastAlert_;
    platform::ObserverToken stateToken_;
};
