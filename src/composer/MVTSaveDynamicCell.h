#pragma once

// One row of the box of unsent posts: the post as the signed-in user's own (avatar, name,
// time, visibility, text with emoticons, pictures, voice clip) with "删除" and "发送". It
// changes no data and plays no sound: it reports taps to its delegate (the box) and shows
// the playing state and progress the box hands it. It lays itself out from one
// PendingPost and sets its own height.

#include "platform/ui/TableViewCell.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class ImageView;
class Label;
class View;
}  // namespace platform

class MVTSaveDynamicCellDelegate {
public:
    virtual ~MVTSaveDynamicCellDelegate() = default;
    virtual void toDeleteSaveDynamicWith(const std::string& dynamicId, int row) = 0;
    virtual void toSubmitWhichDynamicWith(int row) = 0;
    // The take's name when the play button was switched on, empty when it was switched off.
    virtual void playRecord(const std::string& name, int row) = 0;
};

class MVTSaveDynamicCell : public platform::TableViewCell {
public:
    static constexpr int kProgressTag = 215;
    static constexpr int kRecordButtonTag = 10000;
    static constexpr int kMaxPictures = 9;

    std::string className() const override { return "MVTSaveDynamicCell"; }
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);

    // reloadDataWith: lays the row out from the post and sets the cell's frame. A row
    // made only to be measured reads no picture files.
    void reloadDataWith(const nlohmann::json& post, bool loadPictures = true);
    // 2 shows the playing state; anything else the idle state.
    void changeState(int state);
    // Progress from 0 to 1; 1 or more ends the playing state.
    void showAudioProgress(double fraction);
    // YES: "正在发送", no touches; NO: "发送" again.
    void changeSubmitBtnState(bool sending);
    void setRecordbtnWith(bool on);

    void toDeleteData();
    void toSubmitData();
    void selfplayrecord();

    void setDelegate(const std::shared_ptr<MVTSaveDynamicCellDelegate>& delegate) { delegate_ = delegate; }

    // Text of the post made into the markup the row shows: the text escaped, emoticon
    // tokens as pictures, "</br>" lines as list items.
    static std::string markupOf(const std::string& content);
    // The visibility text key of a post for the user's role; empty when none shows.
    static std::string visibilityKey(const std::string& permission, const std::string& role);
    // Picture side and columns for n pictures on a screen W wide.
    static void pictureGrid(int count, double W, double& side, int& columns);

    const std::vector<std::string>& imageArray() const { return imageArray_; }
    const std::string& recordUrl() const { return recordUrl_; }
    std::shared_ptr<platform::View> prossLengthView() const { return prossLengthView_; }
    std::shared_ptr<platform::Button> recordBtn() const { return recordBtn_; }
    std::shared_ptr<platform::ImageView> recordPalyImageView() const { return recordPalyImageView_; }
    std::shared_ptr<platform::Label> durationLa() const { return durationLa_; }
    std::shared_ptr<platform::Button> submitBtn() const { return submitBtn_; }
    std::shared_ptr<platform::Button> deleteBtn() const { return deleteBtn_; }

private:
    int row() const;
    void placeSubmit(const std::string& title);

    std::vector<std::string> imageArray_;
    std::string recordUrl_;
    std::string dynamicId_;
    std::shared_ptr<platform::View> prossLengthView_;
    std::shared_ptr<platform::Button> recordBtn_;
    std::shared_ptr<platform::ImageView> recordPalyImageView_;
    std::shared_ptr<platform::Label> durationLa_;
    std::shared_ptr<platform::Button> submitBtn_;
    std::shared_ptr<platform::Button> deleteBtn_;
    std::shared_ptr<MVTSaveDynamicCellDelegate> delegate_;
};
