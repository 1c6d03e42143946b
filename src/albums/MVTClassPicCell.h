#pragma once

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class HtmlTextView;
class ImageView;
}  // namespace platform

class MVTClassPicCellDelegate {
public:
    virtual ~MVTClassPicCellDelegate() = default;
    // A thumbnail was tapped: every picture attachment of the post and the thumbnail's index.
    virtual void showImage(const platform::Json& pictures, int index) = 0;
    // The praise button (its hint holds the post id; icon tag 102, count label tag 1121).
    virtual void sendPraisePicWith(platform::Button& button) = 0;
    // The user confirmed deleting the post of this row.
    virtual void toDeletePicWith(const std::string& postId, int row) = 0;
};

// One post of the class album's recent photos: avatar, name, class and time, the text with
// emoticons, up to three thumbnails, the comment and praise counters, and a delete button
// on the user's own posts. Built once per row; filling sets the cell's frame, whose height
// is the row height.
class MVTClassPicCell : public platform::TableViewCell, public platform::AlertViewDelegate {
public:
    static constexpr const char* kReuseIdentifier = "classPicCell";
    static constexpr int kPraiseIconTag = 102;
    static constexpr int kPraiseCountTag = 1121;
    static constexpr int kDeleteAlertTag = 376;

    std::string className() const override { return "MVTClassPicCell"; }
    static std::shared_ptr<MVTClassPicCell> make();

    // reloadDataWith: builds the row from the post.
    void reloadDataWith(const platform::Json& post);
    void tapImage(int index);
    void praiseBtnClicked();
    void toDeletePic();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    void setDelegate(std::weak_ptr<MVTClassPicCellDelegate> delegate) { delegate_ = std::move(delegate); }
    const platform::Json& dataDic() const { return dataDic_; }
    const platform::Json& imageArray() const { return imageArray_; }
    const std::vector<std::shared_ptr<platform::ImageView>>& thumbnails() const { return thumbnails_; }
    std::shared_ptr<platform::Button> praiseButton() const { return praiseBtn_; }
    std::shared_ptr<platform::Button> deleteButton() const { return deleteBtn_; }
    std::shared_ptr<platform::HtmlTextView> textView() const { return textView_; }

    // The thumbnail picture of attachment `id`: "feeling_N" for the mood ids 51-59, else
    // the cache "account_<id>.png" fresh within 7 days, else fetched ("size=big" for a
    // single picture, "size=m" otherwise) in the background.
    static void showAttachmentThumbnail(const std::shared_ptr<platform::ImageView>& view, const std::string& id,
                                        bool single);

private:
    std::weak_ptr<MVTClassPicCellDelegate> delegate_;
    platform::Json dataDic_;
    platform::Json imageArray_ = platform::Json::array();
    std::vector<std::shared_ptr<platform::ImageView>> thumbnails_;
    std::shared_ptr<platform::Button> praiseBtn_;
    std::shared_ptr<platform::Button> deleteBtn_;
    std::shared_ptr<platform::HtmlTextView> textView_;
};
