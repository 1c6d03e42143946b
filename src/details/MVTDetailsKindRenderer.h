#pragma once

// The post's kind views, file and link buttons and picture loaders as the detail header
// draws them: the post cell's renderer on the detail screen's item, with the header's
// geometry (content from x 10 to 10 points before the right edge). Votes, files and
// links report to the screen as the cell's renderer reports to its list.

#include "feed/PostKindRenderer.h"

#include <memory>

class MVTDetailsViewController;

class DetailKindRenderer : public PostKindRenderer {
public:
    explicit DetailKindRenderer(MVTDetailsViewController& screen) : screen_(screen) {}
    // The pictures the loaders and the full-screen viewer index by tag.
    void setImageArray(const platform::Json& pictures) { imageArray_ = pictures; }
    void setSelf(const std::shared_ptr<DetailKindRenderer>& self) { self_ = self; }

protected:
    const platform::Json& postRecord() const override;
    std::shared_ptr<CellDelegate> postDelegate() const override;
    int voteIndex() const override { return 0; }
    int voiceIndex() const override { return 0; }
    std::weak_ptr<platform::HtmlTextViewDelegate> textDelegate() override { return {}; }
    std::weak_ptr<PostKindRenderer> renderer() override { return self_; }
    PostGeometry geometry() const override;

private:
    MVTDetailsViewController& screen_;
    std::weak_ptr<DetailKindRenderer> self_;
};
