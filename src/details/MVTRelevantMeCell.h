#pragma once

// A row of the relevant-to-me list. A record row draws one reaction to the user: who
// (avatar, name, the role's colour bar), what ("提到了你", "评论了你", "赞了你", "参与了"),
// when, the comment or voice comment, and a white box quoting the post it concerns (its
// author and text, a thumbnail or an honour picture). The load-more row ends the list:
// loading, a retry after a failure, or "已加载全部". A row lays itself out once, when it
// is made, and takes its own height; it is never reused.

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class ImageView;
}

class MVTRelevantMeCellDelegate {
public:
    virtual ~MVTRelevantMeCellDelegate() = default;
    // The load-more row's retry was tapped.
    virtual void againGetListData() = 0;
};

class MVTRelevantMeCell : public platform::TableViewCell {
public:
    std::string className() const override { return "MVTRelevantMeCell"; }
    static constexpr double kLoadRowHeight = 40;
    static constexpr int kRetryTag = 1234;
    static constexpr int kLoadingTag = 1;

    // initWithtData: a record row, laid out at once; its frame is (0, 0, W, height).
    static std::shared_ptr<MVTRelevantMeCell> initWithtData(const platform::Json& record);
    // initWithStyle:reuseIdentifier:isLoad:isFalse: the load-more row, 40 high.
    static std::shared_ptr<MVTRelevantMeCell> initWithStyle(const std::string& identifier, bool isLoad, bool isFalse);

    void setDelegate(std::weak_ptr<MVTRelevantMeCellDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<MVTRelevantMeCellDelegate> delegate() const { return delegate_.lock(); }
    // againToGetListData: the retry button: the row shows loading, then the list loads.
    void againToGetListData();

    // What a record's value shows: none when missing, null or "", "<null>", "(null)".
    static bool noNullOrSpaceWith(const platform::Json& value);
    // The markup of a comment or quote: emoticons as 16-point faces, "</br>" lines as list
    // items each ending in a white full stop.
    static std::string markupOf(const std::string& text);
    // A thumbnail of a resource: the cache file "account_<id>.png" when it is at most 7 days
    // old, else the service's medium thumbnail in the background, which replaces the cache
    // file whole. Nothing for an id that is no plain name.
    static void showThumbnail(const std::shared_ptr<platform::ImageView>& view, const std::string& resourceId);
    // The honour picture's file name of a path: the part after its last "/".
    static std::string honourFileOf(const std::string& path);

    // Parts, for the list and the tests.
    std::shared_ptr<platform::View> commentView() const { return commentView_; }
    std::shared_ptr<platform::View> quoteBox() const { return quoteBox_; }
    std::shared_ptr<platform::ImageView> picture() const { return picture_; }

private:
    void reloadRelevantMeDataWith(const platform::Json& record);
    void addLoadingLook();

    std::weak_ptr<MVTRelevantMeCellDelegate> delegate_;
    std::shared_ptr<platform::View> commentView_;
    std::shared_ptr<platform::View> quoteBox_;
    std::shared_ptr<platform::ImageView> picture_;
};
