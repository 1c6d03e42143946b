#pragma once

#include "platform/ui/NavigationItem.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Image;

enum class BarStyle { Default = 0, Black = 1 };

// How bar titles are drawn.
struct TitleTextAttributes {
    Color textColor = Color::black();
    std::string fontName = "Helvetica-Bold";
    double fontSize = 17;
    Color shadowColor = Color::clear();
    Size shadowOffset{0, 0};
    bool operator==(const TitleTextAttributes&) const = default;
};

// The bar at the top of a navigation stack, 44 points high. It shows the top item's
// title (or title view), its left and right buttons, and a back button for going to
// the item below when the top item has no left button and does not hide it.
class NavigationBar : public View {
public:
    static constexpr double height = 44;

    NavigationBar();
    std::string className() const override { return "NavigationBar"; }

    BarStyle barStyle() const { return barStyle_; }
    void setBarStyle(BarStyle style);
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent) { translucent_ = translucent; markChanged(); }
    const TitleTextAttributes& titleTextAttributes() const { return titleAttributes_; }
    void setTitleTextAttributes(const TitleTextAttributes& attributes);
    const std::shared_ptr<Image>& backgroundImage() const { return backgroundImage_; }
    // setBackgroundImage:forBarMetrics: (default metrics).
    void setBackgroundImage(std::shared_ptr<Image> image) { backgroundImage_ = std::move(image); markChanged(); }
    Color barTintColor() const { return barTintColor_; }
    void setBarTintColor(const Color& color) { barTintColor_ = color; markChanged(); }
    Color tintColor() const { return tintColor_; }
    void setTintColor(const Color& color) { tintColor_ = color; markChanged(); }
    // Background images per bar metrics exist here (system version 5.0 on).
    static bool supportsBackgroundImage();

    // ---- Items (kept in step with the navigation controller's stack).
    void setItems(std::vector<std::shared_ptr<NavigationItem>> items);
    const std::vector<std::shared_ptr<NavigationItem>>& items() const { return items_; }
    std::shared_ptr<NavigationItem> topItem() const { return items_.empty() ? nullptr : items_.back(); }
    std::shared_ptr<NavigationItem> backItem() const {
        return items_.size() < 2 ? nullptr : items_[items_.size() - 2];
    }
    // Called by the back button.
    void setBackAction(std::function<void()> action) { backAction_ = std::move(action); }

    // The views on the bar now, for the driver and for tests.
    std::shared_ptr<View> titleViewShown() const { return titleShown_; }
    std::shared_ptr<View> leftViewShown() const { return leftShown_; }
    std::shared_ptr<View> rightViewShown() const { return rightShown_; }
    std::shared_ptr<View> backButtonShown() const { return backShown_; }
    // The back button's text: the item below's back item title, or its title, or "Back".
    std::string backButtonTitle() const;

    void layoutSubviews() override;
    void draw(GraphicsContext& context, const Rect& rect) override;

private:
    void rebuild();
    std::shared_ptr<View> viewForItem(const BarButtonItemRef& item);

    BarStyle barStyle_ = BarStyle::Default;
    bool translucent_ = true;
    TitleTextAttributes titleAttributes_;
    std::shared_ptr<Image> backgroundImage_;
    Color barTintColor_ = Color::clear();
    Color tintColor_ = Color::rgba(0, 0.478, 1);
    std::vector<std::shared_ptr<NavigationItem>> items_;
    std::function<void()> backAction_;
    std::shared_ptr<View> titleShown_, leftShown_, rightShown_, backShown_;
};

}  // namespace platform
