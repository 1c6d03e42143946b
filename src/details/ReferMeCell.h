#pragma once

#include "shell/CellDelegate.h"

#include "platform/Values.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class GestureRecognizer;
class HtmlTextView;
class View;
}  // namespace platform

// The row of an item that mentions the user: avatar, name and time, the item's text (its
// emoticons and the service's honour icons as local pictures), the quoted post in a box
// with the item's own links, pictures and voice, and the praise and comment counts. An
// item without a quoted post lists its links under the text and shows no pictures or
// voice. The row lays itself out when filled; its frame's height is the room it takes.
// Taps go to the list through CellDelegate.
class ReferMeCell : public platform::TableViewCell {
public:
    ReferMeCell();
    ~ReferMeCell() override;
    std::string className() const override { return "ReferMeCell"; }

    static constexpr int kPraiseIconTag = 102;
    static constexpr int kPraiseCountTag = 1121;
    static constexpr int kLinkLabelTag = 11;
    static constexpr int kVoiceButtonTag = 10000;
    // Voice button states of changeState.
    static constexpr int kVoiceLoading = 1;
    static constexpr int kVoicePlaying = 2;

    // initWithtDict:reuseIdentifier: a row for the item; the delegate first, so that the
    // controls built with it reach the list.
    static std::shared_ptr<ReferMeCell> initWithtDict(const platform::Json& item, const std::string& reuseIdentifier,
                                                      const std::shared_ptr<CellDelegate>& delegate, int nowIndex = 0);
    // Empties the row and lays it out for another item.
    void reuseCellWithDic(const platform::Json& item);
    // Lays the row out and sets the cell's frame.
    virtual void all();
    // The quoted post's box at `h`; its frame's height is the room it takes.
    virtual std::shared_ptr<platform::View> showShareWithDic(const platform::Json& quoted, double h);
    virtual std::shared_ptr<platform::Button> getLinksButtonWith(const platform::Json& link);
    virtual void changeState(int state);

    void praiseBtnClicked(platform::Button& button);
    void toOpenWebWith(platform::Button& button);
    void selfplayrecord(platform::Button& button);
    void tapImage(platform::GestureRecognizer& recognizer);
    void clickHeadBtn();
    void toShowAttachmentsImage(const std::shared_ptr<platform::ImageView>& tile);
    void toGetAttachmentsImage(const std::shared_ptr<platform::ImageView>& tile);
    void toGetBigAttachmentsImage(const std::shared_ptr<platform::ImageView>& tile);

    // The HTML of an item's text: emoticons as 16-point pictures, the service's honour
    // icons as local 32-point ones (when `honours`).
    static std::string convertText(const std::string& content, bool honours);

    std::shared_ptr<CellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<CellDelegate>& delegate) { delegate_ = delegate; }
    int nowIndex() const { return nowIndex_; }
    void setNowIndex(int row) { nowIndex_ = row; }
    const platform::Json& dataDic() const { return dataDic_; }
    const platform::Json& imageArray() const { return imageArray_; }
    std::shared_ptr<platform::Button> recordBtn() const { return recordBtn_; }
    std::shared_ptr<platform::Button> praiseButton() const { return praiseButton_; }
    const std::string& recordUrl() const { return recordUrl_; }

protected:
    // Sets a new cell up for the item and lays it out.
    void fillNew(const platform::Json& item, const std::string& reuseIdentifier,
                 const std::shared_ptr<CellDelegate>& delegate, int nowIndex);
    // The pieces the comments-on-me row shares.
    std::shared_ptr<platform::Button> addAvatar(const platform::Rect& frame);
    std::shared_ptr<platform::Label> addLabel(const platform::Rect& frame, const platform::Font& font,
                                              const platform::Color& colour, const std::string& text);
    // The item's text at (10, y); returns y below it (y itself when there is none).
    double addText(double y, bool honours);
    // The item's links from y on (each 45 points), the buttons framed `width` wide.
    double addLinks(platform::View& host, double y, double width);
    // The item's pictures and voice in the quoted box from t on; returns the new t.
    double addMedia(platform::View& box, double t, double singleWidth, double voiceX, bool moods);
    bool hasQuoted(const char* key) const;

    platform::Json dataDic_ = platform::Json::object();
    int nowIndex_ = 0;
    platform::Json imageArray_ = platform::Json::array();
    std::shared_ptr<platform::Button> recordBtn_;
    std::shared_ptr<platform::Button> praiseButton_;
    std::string recordUrl_;
    std::weak_ptr<CellDelegate> delegate_;

private:
    std::shared_ptr<ReferMeCell> self();
};
