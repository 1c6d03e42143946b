#pragma once

#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <vector>

namespace platform {

// The bar of tab buttons at the bottom of a tab bar controller, 49 points high.
class TabBar : public View {
public:
    static constexpr double height = 49;

    TabBar();
    std::string className() const override { return "TabBar"; }

    void setItems(std::vector<std::shared_ptr<TabBarItem>> items);
    const std::vector<std::shared_ptr<TabBarItem>>& items() const { return items_; }
    std::shared_ptr<TabBarItem> selectedItem() const;
    void setSelectedIndex(long index);
    long selectedIndex() const { return selected_; }
    // Told when the user taps a tab button.
    void setSelectHandler(std::function<void(long)> handler) { onSelect_ = std::move(handler); }
    // The button views, one per item.
    const std::vector<std::shared_ptr<View>>& buttons() const { return buttons_; }
    Color selectedTintColor() const { return selectedTint_; }
    void setSelectedTintColor(const Color& color) { selectedTint_ = color; }

    void layoutSubviews() override;

private:
    std::vector<std::shared_ptr<TabBarItem>> items_;
    std::vector<std::shared_ptr<View>> buttons_;
    long selected_ = -1;
    std::function<void(long)> onSelect_;
    Color selectedTint_ = Color::rgba(0, 0.478, 1);
};

}  // namespace platform
