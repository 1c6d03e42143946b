#pragma once

#include "feed/PostKindRenderer.h"
#include "shell/CellDelegate.h"

#include "platform/Values.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class GestureRecognizer;
}

// The row of a post in the feed lists: header (avatar, role bar, name, time, class,
// visibility), the post's text, its kind views, pictures, voice, files and links, the
// comment and praise buttons, the praisers line and the first three comments. It lays
// itself out once, when made, and its frame's height is the room it takes. Every tap goes
// to the list through CellDelegate. The same class makes the last row of a paged list.
class MVTPersonCell : public platform::TableViewCell,
                      public PostKindRenderer,
                      public platform::HtmlTextViewDelegate,
                      public platform::LazyImageViewDelegate {
public:
    MVTPersonCell();
    ~MVTPersonCell() override;
    std::string className() const override { return "MVTPersonCell"; }

    static constexpr int kPraiseIconTag = 102;
    static constexpr int kPraiseCountTag = 1121;
    static constexpr int kRetryTag = 1234;
    static constexpr int kSpinnerTag = 1;
    static constexpr double kLongPressSeconds = 0.3;

    // initWithtData:tag:index: a post row. The delegate is set before the row is made,
    // so that the controls built with it can reach the list.
    static std::shared_ptr<MVTPersonCell> initWithtData(const platform::Json& record, int tag, int index,
                                                        const std::shared_ptr<CellDelegate>& delegate = nullptr);
    using platform::TableViewCell::initWithStyle;
    // initWithStyle:reuseIdentifier:isLoad:isFalse: the last row of a paged list.
    static std::shared_ptr<MVTPersonCell> initWithStyle(platform::TableViewCellStyle style,
                                                        const std::string& reuseIdentifier, bool isLoad, bool isFalse,
                                                        const std::shared_ptr<CellDelegate>& delegate = nullptr);

    // Builds the whole post layout (called once by the initialiser).
    void all();
    // reloadpraiseUsersWith: the praisers line's text from the record's likeUsers.
    void reloadpraiseUsersWith(const platform::Json& record);
    // The retry button of the last row.
    void againToGetListData();

    void setSelected(bool selected, bool animated = false) override;
    void setHighlighted(bool highlighted, bool animated = false) override;

    // Taps.
    void clickHeadBtn();
    void praiseBtnClicked(platform::Button& button);
    void readyToCommentDynamicWith(platform::Button& button);
    void handleLong(platform::GestureRecognizer& recognizer);
    void zfBtnClicked(platform::Button& button);
    void deleBtnClicked();
    void DeleteDynamic(platform::Button& button);

    // The praisers line's text for a list of praisers ("a,b,c").
    static std::string praisersText(const platform::Json& likeUsers);

    // The list; held weakly (the list holds the table that holds its cells).
    std::shared_ptr<CellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<CellDelegate>& delegate) { delegate_ = delegate; }

    const platform::Json& dataDic() const { return dataDic_; }
    int nowIndex() const { return nowIndex_; }
    bool isDecoration() const { return isDecoration_; }
    const platform::Rect& longRect() const { return longRect_; }
    std::shared_ptr<platform::Label> praiseUsersLa() const { return praiseUsersLa_; }
    std::shared_ptr<platform::Button> praiseButton() const { return praiseButton_; }
    std::shared_ptr<platform::Button> commentButton() const { return commentButton_; }
    std::shared_ptr<platform::HtmlTextView> postTextView() const { return contentText_; }
    std::shared_ptr<platform::HtmlTextView> commentsView() const { return commentText_; }

    // HtmlTextViewDelegate: pictures of the texts are lazy image views; links get buttons
    // (which do nothing inside a cell, since its texts take no touches).
    std::shared_ptr<platform::View> viewForLink(platform::HtmlTextView& textView, const platform::HtmlLink& link,
                                                const platform::Rect& frame) override;
    std::shared_ptr<platform::View> viewForAttachment(platform::HtmlTextView& textView,
                                                      const platform::HtmlAttachment& attachment,
                                                      const platform::Rect& frame) override;

protected:
    const platform::Json& postRecord() const override { return dataDic_; }
    std::shared_ptr<CellDelegate> postDelegate() const override { return delegate_.lock(); }
    int voteIndex() const override;
    int voiceIndex() const override { return nowIndex_; }
    std::weak_ptr<platform::HtmlTextViewDelegate> textDelegate() override;
    std::weak_ptr<PostKindRenderer> renderer() override;

private:
    std::shared_ptr<MVTPersonCell> self();
    void buildLastRow(bool isLoad, bool isFalse);
    void addSpinnerRow();
    double addPostText(double y);
    double addActionRow(double y);
    double addPraisers(double y);
    double addCommentPreviews(double y, bool praisersDrawn);

    platform::Json dataDic_ = platform::Json::object();
    int nowIndex_ = 0;
    bool isDecoration_ = false;
    platform::Rect longRect_;
    std::weak_ptr<CellDelegate> delegate_;
    std::shared_ptr<platform::Label> praiseUsersLa_;
    std::shared_ptr<platform::Button> praiseButton_;
    std::shared_ptr<platform::Button> commentButton_;
    std::shared_ptr<platform::HtmlTextView> contentText_;
    std::shared_ptr<platform::HtmlTextView> commentText_;
};
