#pragma once

#include "details/ReferMeCell.h"

// The row of a comment on one of the user's items: who commented and when, what they did
// ("回复你的评论", "评论你的课程文档", for parents "评论你的评论"), the comment's text and
// links, and the commented item quoted in a grey box with the comment's pictures and voice.
// No praise button and no comment count.
class CommentMeCell : public ReferMeCell {
public:
    std::string className() const override { return "CommentMeCell"; }

    static std::shared_ptr<CommentMeCell> initWithtDict(const platform::Json& item, const std::string& reuseIdentifier,
                                                        const std::shared_ptr<CellDelegate>& delegate, int nowIndex = 0);
    void all() override;
    std::shared_ptr<platform::View> showShareWithDic(const platform::Json& quoted, double h) override;
    std::shared_ptr<platform::Button> getLinksButtonWith(const platform::Json& link) override;
    // 1 disables the voice button, 2 selects it, 100 makes it ignore touches.
    void changeState(int state) override;
    void toGetFaceImage(const std::shared_ptr<platform::View>& view);

    // The action text for an item and the viewer's role.
    static std::string actionText(const platform::Json& item, const std::string& viewerRole);
    std::shared_ptr<platform::Label> actionLabel() const { return actionLabel_; }

private:
    std::shared_ptr<platform::Label> actionLabel_;
};
