#pragma once

// One announcement of a group as a rounded card: title, author and time, a delete button
// for members who may delete, the HTML body, up to nine pictures, one voice and a button
// per file. The card lays itself out when it is made; its frame height is the row's height.

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class Button;
class HtmlTextView;
class ImageView;
class Label;
}  // namespace platform

// What a card asks of its list. Rows are the indexes the cards were made with.
class MVTGongGaoCellDelegate {
public:
    virtual ~MVTGongGaoCellDelegate() = default;
    // toDownLoadAudioWith:with: the voice is not on the device yet.
    virtual void toDownLoadAudioWith(const std::string& resourceId, int row) = 0;
    // toDownLoadAttachWith:WithName:WithType: the type in lower case.
    virtual void toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                      const std::string& type) = 0;
    // showImage:tag: every picture of the row and the index of the one tapped.
    virtual void showImage(const platform::Json& pictures, int index) = 0;
    // playRecord:row: a voice to play, or nothing to stop.
    virtual void playRecord(const std::optional<std::string>& resourceId, int row) = 0;
    virtual void deleteGonggao(int row) = 0;
};

class MVTGongGaoTableViewCell : public platform::TableViewCell {
public:
    static constexpr int kCardTag = 100;
    static constexpr int kTitleTag = 101;
    static constexpr int kTimeTag = 102;
    static constexpr int kBodyTag = 103;
    static constexpr int kRecordButtonTag = 10000;
    static constexpr int kFileLabelTag = 11;
    static constexpr std::size_t kShownPictures = 9;
    // Thumbnails are asked for as "resource/view/img_thumb/<id>?size=m" and kept as
    // Documents/Downloads/gongGao_<id>.png for 7 days.
    static std::string thumbnailFile(const std::string& pictureId);

    std::string className() const override { return "MVTGongGaoTableViewCell"; }

    // initCellWithDic:withRowIndex:userType: builds the whole card.
    static std::shared_ptr<MVTGongGaoTableViewCell> initCellWithDic(const platform::Json& row, int index,
                                                                    const std::string& userType,
                                                                    std::weak_ptr<MVTGongGaoCellDelegate> delegate = {});
    void setDelegate(std::weak_ptr<MVTGongGaoCellDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<MVTGongGaoCellDelegate> delegate() const { return delegate_.lock(); }

    // The grid of n pictures: side of a picture and number of columns for a screen width.
    struct Grid {
        double side = 0;
        int columns = 1;
    };
    static Grid gridFor(std::size_t count, double screenWidth);
    // The body's markup: each "</br>" starts a list item opened by an invisible dot.
    static std::string bodyMarkup(const std::string& content);

    // Actions of the delete button, the voice button, a picture and a file button.
    void deleteGonggao();
    void selfplayrecord(platform::Button& button);
    void tapImage(int tag);
    void toDownLoadAttachWith(platform::Button& file);

    // deleteButton:frame: the small delete button with its title right-aligned inside.
    std::shared_ptr<platform::Button> deleteButton(const std::string& title, const platform::Rect& frame);
    // getAttachsButtonWith: one file button; the caller sets its frame.
    std::shared_ptr<platform::Button> getAttachsButtonWith(const platform::Json& attachment);

    const platform::Json& gongGaoDictionary() const { return gongGaoDictionary_; }
    int nowIndex() const { return nowIndex_; }
    const platform::Json& imageArray() const { return imageArray_; }
    const std::string& recordUrl() const { return recordUrl_; }
    std::shared_ptr<platform::Button> recordBtn() const { return recordBtn_; }
    std::shared_ptr<platform::ImageView> recordPlayView() const { return recordPlayView_; }
    std::shared_ptr<platform::Button> deleteBtn() const { return deleteBtn_; }
    std::shared_ptr<platform::View> card() const { return card_; }

private:
    void layout(const std::string& userType);
    double addPictures(double y);
    double addVoice(const platform::Json& voice, double y);
    // toGetAttachmentsImage: the thumbnail from its fresh cache file, else fetched.
    void toGetAttachmentsImage(const std::shared_ptr<platform::ImageView>& view);

    platform::Json gongGaoDictionary_ = platform::Json::object();
    int nowIndex_ = 0;
    platform::Json imageArray_ = platform::Json::array();
    std::string recordUrl_;
    std::shared_ptr<platform::View> card_;
    std::shared_ptr<platform::Button> recordBtn_;
    std::shared_ptr<platform::ImageView> recordPlayView_;
    std::shared_ptr<platform::Button> deleteBtn_;
    std::weak_ptr<MVTGongGaoCellDelegate> delegate_;
};
