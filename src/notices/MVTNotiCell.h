#pragma once

#include "platform/Values.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ImageView;
class Label;
}  // namespace platform

// What a notice card asks of its list.
class MVTNotiCellDelegate {
public:
    virtual ~MVTNotiCellDelegate() = default;
    // A thumbnail was tapped: every picture of the notice and the tapped one's index.
    virtual void showImage(const platform::Json& pictures, int index) = 0;
    virtual void againGetListData() = 0;
    virtual void sendLinkWith(const std::string& url, const std::string& text) = 0;
    virtual void toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                      const std::string& lowerType) = 0;
    // (local AMR path, resource id, row, whether the file is already on the handset)
    virtual void toOpenOrDownLoadAudio(const std::string& path, const std::string& resourceId, int index,
                                       bool exists) = 0;
    virtual void gotoPrivateNotificationViewControllerWithDic(const platform::Json& notice, int index) = 0;
};

// One class notice drawn as a card (avatar, name, date, title, HTML body, up to three
// thumbnails, one voice, files, links, read-count line), laid out from the top; the cell's
// frame height is the row height. Filled otherwise it is the list's footer (more, no
// more, retry). A cell is built for one use and never reused.
class MVTNotiCell : public platform::TableViewCell,
                    public platform::HtmlTextViewDelegate,
                    public platform::LazyImageViewDelegate {
public:
    static constexpr const char* kReuseIdentifier = "notiCell";
    static constexpr int kRecordPlayViewTag = 55555;
    static constexpr int kLinkLabelTag = 11;
    static constexpr double kFooterHeight = 40;

    static std::shared_ptr<MVTNotiCell> make();
    std::string className() const override { return "MVTNotiCell"; }
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);

    // reloadCellWith:and: the notice and its row.
    void reloadCellWith(const platform::Json& notice, int index);
    // reloadMoreWith:And: the footer for (more may follow, the last load failed).
    void reloadMoreWith(bool more, bool failed);
    // toChangeAudio:and: (playing, downloading).
    void toChangeAudio(bool playing, bool downloading);

    void setDelegate(std::weak_ptr<MVTNotiCellDelegate> delegate) { delegate_ = std::move(delegate); }

    // Actions.
    void readedBtn();
    void toAgainLoadData(platform::Button& button);
    void tapImage(int index);
    void toDownLoadAttachWith(platform::Button& button);
    void toOpenWebWith(platform::Button& button);
    void toPalyOrDownLoadAudio(platform::Button& button);

    // Pictures of the body: an application picture at once; an http(s) one loads into a
    // view that shows the medal picture until then and, once loaded, takes the picture's
    // size (within the text's picture box) about the same centre.
    std::shared_ptr<platform::View> viewForAttachment(platform::HtmlTextView& textView,
                                                      const platform::HtmlAttachment& attachment,
                                                      const platform::Rect& frame) override;
    void lazyImageViewDidChangeImageSize(platform::LazyImageView& view, platform::Size size) override;

    std::shared_ptr<platform::Button> getAttachsButtonWith(const platform::Json& file);
    std::shared_ptr<platform::Button> getLinksButtonWith(const platform::Json& link);

    // The line's text for a notice: "%d人已读/发送%d人" or, with a receipt, "%d人回执/发送%d人";
    // empty when both counts are 0.
    static std::string readLineText(const platform::Json& notice);
    // Where the voice button sits for `pictures` picture attachments, the running offset
    // being y.
    static double voiceButtonTop(double y, std::size_t pictures);

    // ---- State, for the list and tests.
    std::shared_ptr<platform::View> bgView() const { return bgView_; }
    const platform::Json& notDict() const { return notDict_; }
    int notIndex() const { return notIndex_; }
    const platform::Json& imageArray() const { return imageArray_; }
    std::shared_ptr<platform::Button> recordBtn() const { return recordBtn_; }
    std::shared_ptr<platform::ImageView> recordPlayView() const { return recordPlayView_; }
    std::shared_ptr<platform::Button> readButton() const { return readButton_; }
    const std::vector<std::shared_ptr<platform::ImageView>>& thumbnails() const { return thumbnails_; }
    std::shared_ptr<platform::Label> footerLabel() const { return footerLabel_; }
    std::shared_ptr<platform::HtmlTextView> bodyView() const { return bodyView_; }

private:
    void fillThumbnail(const std::shared_ptr<platform::ImageView>& view, const platform::Json& picture, bool big);
    // A bordered row button with an icon and a label (tag 11) that runs `action` on a tap.
    std::shared_ptr<platform::Button> bodyButton(const std::string& hint, const std::string& icon,
                                                 const std::string& text, void (MVTNotiCell::*action)(platform::Button&));
    std::shared_ptr<platform::Label> labelNamed(const std::string& text, const platform::Rect& frame,
                                                const platform::Color& color, double fontSize);

    std::shared_ptr<platform::View> bgView_;
    platform::Json notDict_ = platform::Json::object();
    int notIndex_ = 0;
    platform::Json imageArray_ = platform::Json::array();
    std::shared_ptr<platform::Button> recordBtn_;
    std::shared_ptr<platform::ImageView> recordPlayView_;
    std::shared_ptr<platform::Button> readButton_;
    std::vector<std::shared_ptr<platform::ImageView>> thumbnails_;
    std::shared_ptr<platform::Label> footerLabel_;
    std::shared_ptr<platform::HtmlTextView> bodyView_;
    std::weak_ptr<MVTNotiCellDelegate> delegate_;
};
