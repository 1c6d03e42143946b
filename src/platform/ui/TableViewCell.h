#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

#include <string>

namespace platform {

class TableView;

enum class TableViewCellStyle { Default, Value1, Value2, Subtitle };
enum class TableViewCellSelectionStyle { None, Blue, Gray, Default };
enum class TableViewCellAccessoryType { None, DisclosureIndicator, DetailDisclosureButton, Checkmark };
enum class TableViewCellEditingStyle { None, Delete, Insert };
enum class TableViewCellSeparatorStyle { None, SingleLine, SingleLineEtched };

// One row of a table. Custom content goes into contentView(); the standard cell styles
// lay out textLabel, detailTextLabel and imageView (made when first asked for).
class TableViewCell : public View {
public:
    explicit TableViewCell(TableViewCellStyle style = TableViewCellStyle::Default, std::string reuseIdentifier = "");
    ~TableViewCell() override;
    // For cells made with make_shared<T>() and set up afterwards.
    void initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier);

    std::string className() const override { return "TableViewCell"; }
    std::string displayedText() const override;

    TableViewCellStyle style() const { return style_; }
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }

    // Subviews are made on first use, once the cell is owned by a shared pointer.
    std::shared_ptr<View> contentView();
    std::shared_ptr<Label> textLabel();
    // The default style has no detail label: the one answered is never shown.
    std::shared_ptr<Label> detailTextLabel();
    std::shared_ptr<ImageView> imageView();

    TableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(TableViewCellSelectionStyle style) { selectionStyle_ = style; }
    TableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(TableViewCellAccessoryType type);
    std::shared_ptr<View> accessoryView() const { return accessoryView_; }
    void setAccessoryView(std::shared_ptr<View> view);
    std::shared_ptr<View> backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<View> view);
    std::shared_ptr<View> selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(std::shared_ptr<View> view);

    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted, bool animated = false);

    // Called when the table hands the cell out again from its reuse queue.
    virtual void prepareForReuse();

    // The delete button shown after a swipe (nullptr when not shown).
    bool showingDeleteConfirmation() const { return deleteButton_ != nullptr; }
    std::shared_ptr<Button> deleteConfirmationButton() const { return deleteButton_; }

    TableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
    Color separatorColor() const { return separatorColor_; }
    EdgeInsets separatorInset() const { return separatorInset_; }
    void setSeparatorInset(const EdgeInsets& inset) { separatorInset_ = inset; markChanged(); }

    void layoutSubviews() override;
    void setFrame(const Rect& frame) override;
    void draw(GraphicsContext& context, const Rect& rect) override;

private:
    friend class TableView;
    void setSeparator(TableViewCellSeparatorStyle style, const Color& color);
    void showDeleteButton(const std::string& title, std::function<void()> action);
    void hideDeleteButton();
    void updateSelectionLook();
    std::shared_ptr<View> makeAccessoryIndicator();

    TableViewCellStyle style_;
    std::string reuseIdentifier_;
    std::shared_ptr<View> contentView_;
    std::shared_ptr<Label> textLabel_;
    std::shared_ptr<Label> detailTextLabel_;
    std::shared_ptr<ImageView> imageView_;
    TableViewCellSelectionStyle selectionStyle_ = TableViewCellSelectionStyle::Blue;
    TableViewCellAccessoryType accessoryType_ = TableViewCellAccessoryType::None;
    std::shared_ptr<View> accessoryView_;
    std::shared_ptr<View> accessoryIndicator_;
    std::shared_ptr<View> backgroundView_;
    std::shared_ptr<View> selectedBackgroundView_;
    std::shared_ptr<View> defaultSelectedBackground_;
    std::shared_ptr<Button> deleteButton_;
    bool selected_ = false;
    bool highlighted_ = false;
    TableViewCellSeparatorStyle separatorStyle_ = TableViewCellSeparatorStyle::SingleLine;
    Color separatorColor_ = Color::rgba(0.78, 0.78, 0.8);
    EdgeInsets separatorInset_{0, 15, 0, 0};
};

using TableViewCellRef = std::shared_ptr<TableViewCell>;

}  // namespace platform
