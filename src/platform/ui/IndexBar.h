#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class IndexBar;
class Label;

// What a letter index bar tells: the section of the letter under the finger, and the end
// of the touch.
class IndexBarDelegate {
public:
    virtual ~IndexBarDelegate() = default;
    virtual void indexBarDidSelectSection(IndexBar& bar, int section) { (void)bar; (void)section; }
    virtual void indexBarTouchesEnded(IndexBar& bar) { (void)bar; }
};

// A narrow column of the letters "#" and "A" to "Z", top to bottom, beside a list. The
// list gives it the titles of its sections; a finger on (or sliding over) a letter that
// is one of them reports that section's index, letters without a section report nothing.
class IndexBar : public View {
public:
    explicit IndexBar(const Rect& frame);
    std::string className() const override { return "IndexBar"; }

    // "#", "A" ... "Z".
    static const std::vector<std::string>& letters();

    void setDelegate(std::weak_ptr<IndexBarDelegate> delegate) { delegate_ = std::move(delegate); }
    // The titles of the list's sections, in section order.
    void setSectionTitles(std::vector<std::string> titles) { titles_ = std::move(titles); }
    const std::vector<std::string>& sectionTitles() const { return titles_; }

    // The letter row under a point of the bar (clamped to the first and last), and the
    // section it stands for, -1 when the list has no section of that letter.
    int letterIndexAt(double y) const;
    int sectionForLetter(int letterIndex) const;

    void layoutSubviews() override;
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

private:
    void report(const Touches& touches);

    std::weak_ptr<IndexBarDelegate> delegate_;
    std::vector<std::string> titles_;
    std::vector<std::shared_ptr<Label>> labels_;
    int lastSection_ = -1;
};

}  // namespace platform
