#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {

enum class BarButtonItemStyle { Plain, Bordered, Done };

// A button on a navigation bar: either a text with an action, or a custom view that
// handles its own touches (the screens put their own buttons in bars this way).
class BarButtonItem : public std::enable_shared_from_this<BarButtonItem> {
public:
    using Action = std::function<void(BarButtonItem&)>;

    BarButtonItem() = default;
    virtual ~BarButtonItem() = default;

    // initWithCustomView:
    void initWithCustomView(const std::shared_ptr<View>& view) { customView_ = view; }
    // initWithTitle:style:target:action:
    void initWithTitle(const std::string& title, BarButtonItemStyle style, Action action) {
        title_ = title;
        style_ = style;
        action_ = std::move(action);
    }
    static std::shared_ptr<BarButtonItem> withCustomView(const std::shared_ptr<View>& view);
    static std::shared_ptr<BarButtonItem> withTitle(const std::string& title, Action action = {});

    const std::shared_ptr<View>& customView() const { return customView_; }
    void setCustomView(const std::shared_ptr<View>& view) { customView_ = view; }
    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; }
    BarButtonItemStyle style() const { return style_; }
    void setStyle(BarButtonItemStyle style) { style_ = style; }
    void setAction(Action action) { action_ = std::move(action); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    Color tintColor() const { return tintColor_; }
    void setTintColor(const Color& color) { tintColor_ = color; }

    // What a tap on the bar's button for this item does.
    void perform() {
        if (enabled_ && action_) action_(*this);
    }

private:
    std::shared_ptr<View> customView_;
    std::string title_;
    BarButtonItemStyle style_ = BarButtonItemStyle::Plain;
    Action action_;
    bool enabled_ = true;
    int tag_ = 0;
    Color tintColor_ = Color::clear();
};

using BarButtonItemRef = std::shared_ptr<BarButtonItem>;

inline std::shared_ptr<BarButtonItem> BarButtonItem::withCustomView(const std::shared_ptr<View>& view) {
    auto item = std::make_shared<BarButtonItem>();
    item->initWithCustomView(view);
    return item;
}

inline std::shared_ptr<BarButtonItem> BarButtonItem::withTitle(const std::string& title, Action action) {
    auto item = std::make_shared<BarButtonItem>();
    item->initWithTitle(title, BarButtonItemStyle::Plain, std::move(action));
    return item;
}

}  // namespace platform
