#pragma once

#include "platform/ui/TextField.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace platform {

class Button;
class SearchBar;

class SearchBarDelegate {
public:
    virtual ~SearchBarDelegate() = default;
    virtual bool searchBarShouldBeginEditing(SearchBar& bar) { (void)bar; return true; }
    virtual void searchBarTextDidBeginEditing(SearchBar& bar) { (void)bar; }
    virtual void searchBarTextDidEndEditing(SearchBar& bar) { (void)bar; }
    // searchBar:textDidChange:
    virtual void searchBarTextDidChange(SearchBar& bar, const std::string& text) { (void)bar; (void)text; }
    virtual void searchBarSearchButtonClicked(SearchBar& bar) { (void)bar; }
    virtual void searchBarCancelButtonClicked(SearchBar& bar) { (void)bar; }
};

// A search field (44 points high) with an optional cancel button. Return is the search
// button.
class SearchBar : public View {
public:
    SearchBar();
    explicit SearchBar(const Rect& frame);
    ~SearchBar() override;

    std::string className() const override { return "SearchBar"; }

    std::string text() const;
    void setText(const std::string& text);
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(const std::string& placeholder);
    bool showsCancelButton() const { return showsCancel_; }
    void setShowsCancelButton(bool shows, bool animated = false);
    Color barTintColor() const { return barTint_; }
    void setBarTintColor(const Color& color) { barTint_ = color; setBackgroundColor(color); }
    void setDelegate(std::weak_ptr<SearchBarDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<SearchBarDelegate> delegate() const { return delegate_.lock(); }

    // The field inside; typing goes there.
    std::shared_ptr<TextField> searchField();
    std::shared_ptr<Button> cancelButton();

    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool canBecomeFirstResponder() const override { return true; }
    void layoutSubviews() override;

private:
    class FieldDelegate;
    void build();
    std::shared_ptr<TextField> field_;
    std::shared_ptr<Button> cancel_;
    std::shared_ptr<FieldDelegate> fieldDelegate_;
    std::weak_ptr<SearchBarDelegate> delegate_;
    std::string placeholder_;
    std::string pendingText_;
    bool showsCancel_ = false;
    Color barTint_ = Color::white(0.79);
};

using SearchBarRef = std::shared_ptr<SearchBar>;

}  // namespace platform
