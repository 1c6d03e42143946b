#include "platform/ui/TableViewCell.h"

#include "platform/ui/GraphicsContext.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
constexpr double kMargin = 15;
constexpr double kAccessoryWidth = 33;  // indicator plus its margins
}  // namespace

TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : style_(style), reuseIdentifier_(std::move(reuseIdentifier)) {
    setBackgroundColor(Color::whiteColor());
    setFrame({0, 0, 320, 44});
}

TableViewCell::~TableViewCell() = default;

void TableViewCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    style_ = style;
    reuseIdentifier_ = reuseIdentifier;
}

std::string TableViewCell::displayedText() const { return textLabel_ ? textLabel_->text() : std::string(); }

std::shared_ptr<View> TableViewCell::contentView() {
    if (!contentView_) {
        contentView_ = std::make_shared<View>(bounds());
        contentView_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        contentView_->setOpaque(false);
        addSubview(contentView_);
    }
    return contentView_;
}

std::shared_ptr<Label> TableViewCell::textLabel() {
    if (!textLabel_) {
        textLabel_ = std::make_shared<Label>();
        textLabel_->setFont(style_ == TableViewCellStyle::Value2 ? Font::boldSystemFontOfSize(12)
                                                                 : Font::systemFontOfSize(18));
        if (style_ == TableViewCellStyle::Value2) {
            textLabel_->setTextAlignment(TextAlignment::Right);
            textLabel_->setTextColor(Color::rgba(0, 0.478, 1));
        }
        contentView()->addSubview(textLabel_);
        setNeedsLayout();
    }
    return textLabel_;
}

std::shared_ptr<Label> TableViewCell::detailTextLabel() {
    if (!detailTextLabel_) {
        detailTextLabel_ = std::make_shared<Label>();
        switch (style_) {
        case TableViewCellStyle::Default: return detailTextLabel_;  // never shown
        case TableViewCellStyle::Value1:
            detailTextLabel_->setFont(Font::systemFontOfSize(17));
            detailTextLabel_->setTextColor(Color::rgba(0.56, 0.56, 0.58));
            detailTextLabel_->setTextAlignment(TextAlignment::Right);
            break;
        case TableViewCellStyle::Value2: detailTextLabel_->setFont(Font::boldSystemFontOfSize(15)); break;
        case TableViewCellStyle::Subtitle: detailTextLabel_->setFont(Font::systemFontOfSize(12)); break;
        }
        contentView()->addSubview(detailTextLabel_);
        setNeedsLayout();
    }
    return detailTextLabel_;
}

std::shared_ptr<ImageView> TableViewCell::imageView() {
    if (!imageView_) {
        imageView_ = std::make_shared<ImageView>();
        contentView()->insertSubview(imageView_, 0);
        setNeedsLayout();
    }
    return imageView_;
}

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type) {
    accessoryType_ = type;
    if (accessoryIndicator_) {
        accessoryIndicator_->removeFromSuperview();
        accessoryIndicator_.reset();
    }
    if (type != TableViewCellAccessoryType::None && !accessoryView_) {
        accessoryIndicator_ = makeAccessoryIndicator();
        addSubview(accessoryIndicator_);
    }
    layoutSubviews();
}

std::shared_ptr<View> TableViewCell::makeAccessoryIndicator() {
    auto v = std::make_shared<View>(Rect(0, 0, 12, 14));
    v->setOpaque(false);
    v->setUserInteractionEnabled(false);
    auto type = accessoryType_;
    v->setAccessibilityLabel(type == TableViewCellAccessoryType::Checkmark ? "checkmark" : "disclosure");
    v->setDrawHook([type](GraphicsContext& g, const Rect& r) {
        g.save();
        g.setLineWidth(2);
        g.beginPath();
        if (type == TableViewCellAccessoryType::Checkmark) {
            g.setStrokeColor(Color::rgba(0, 0.478, 1));
            g.moveTo({r.minX() + 1, r.midY()});
            g.lineTo({r.minX() + r.width() * 0.4, r.maxY() - 2});
            g.lineTo({r.maxX() - 1, r.minY() + 2});
        } else {
            g.setStrokeColor(Color::rgba(0.78, 0.78, 0.8));
            g.moveTo({r.midX() - 3, r.minY() + 1});
            g.lineTo({r.midX() + 3, r.midY()});
            g.lineTo({r.midX() - 3, r.maxY() - 1});
        }
        g.strokePath();
        g.restore();
    });
    return v;
}

void TableViewCell::setAccessoryView(std::shared_ptr<View> view) {
    if (accessoryView_) accessoryView_->removeFromSuperview();
    accessoryView_ = std::move(view);
    if (accessoryView_) {
        if (accessoryIndicator_) {
            accessoryIndicator_->removeFromSuperview();
            accessoryIndicator_.reset();
        }
        addSubview(accessoryView_);
    } else if (accessoryType_ != TableViewCellAccessoryType::None) {
        setAccessoryType(accessoryType_);
    }
    layoutSubviews();
}

void TableViewCell::setBackgroundView(std::shared_ptr<View> view) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(view);
    if (backgroundView_) {
        backgroundView_->setFrame(bounds());
        insertSubview(backgroundView_, 0);
    }
    updateSelectionLook();
}

void TableViewCell::setSelectedBackgroundView(std::shared_ptr<View> view) {
    if (selectedBackgroundView_) selectedBackgroundView_->removeFromSuperview();
    selectedBackgroundView_ = std::move(view);
    updateSelectionLook();
}

void TableViewCell::setSelected(bool selected, bool) {
    if (selected_ == selected) return;
    selected_ = selected;
    updateSelectionLook();
}

void TableViewCell::setHighlighted(bool highlighted, bool) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    updateSelectionLook();
}

void TableViewCell::updateSelectionLook() {
    bool on = (selected_ || highlighted_) && selectionStyle_ != TableViewCellSelectionStyle::None;
    std::shared_ptr<View> background = selectedBackgroundView_;
    if (!background && on) {
        if (!defaultSelectedBackground_) defaultSelectedBackground_ = std::make_shared<View>();
        defaultSelectedBackground_->setBackgroundColor(selectionStyle_ == TableViewCellSelectionStyle::Gray
                                                           ? Color::white(0.85)
                                                           : Color::rgba(0.85, 0.85, 0.85));
        background = defaultSelectedBackground_;
    }
    for (auto& v : {selectedBackgroundView_, defaultSelectedBackground_})
        if (v && (v != background || !on)) v->removeFromSuperview();
    if (on && background && background->superview().get() != this) {
        background->setFrame(bounds());
        size_t index = backgroundView_ && backgroundView_->superview().get() == this ? 1 : 0;
        insertSubview(background, index);
    }
    for (auto& label : {textLabel_, detailTextLabel_})
        if (label) label->setHighlighted(on);
    if (imageView_) imageView_->setHighlighted(on);
    markChanged();
}

void TableViewCell::prepareForReuse() {
    setSelected(false);
    setHighlighted(false);
    hideDeleteButton();
}

void TableViewCell::setSeparator(TableViewCellSeparatorStyle style, const Color& color) {
    separatorStyle_ = style;
    separatorColor_ = color;
    markChanged();
}

void TableViewCell::showDeleteButton(const std::string& title, std::function<void()> action) {
    hideDeleteButton();
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setBackgroundColor(Color::rgba(1, 0.23, 0.19));
    button->setTitle(title);
    button->setTitleColor(Color::whiteColor());
    button->titleLabel()->setFont(Font::systemFontOfSize(18));
    double width = std::max(82.0, TextMeasure::size(title, Font::systemFontOfSize(18)).width + 2 * kMargin);
    button->setFrame({bounds().width() - width, 0, width, bounds().height()});
    button->setAccessibilityIdentifier("delete-confirmation");
    button->addTarget(ControlEventTouchUpInside, [action = std::move(action)](Control&) {
        if (action) action();
    });
    deleteButton_ = button;
    addSubview(button);
    layoutSubviews();
}

void TableViewCell::hideDeleteButton() {
    if (!deleteButton_) return;
    deleteButton_->removeFromSuperview();
    deleteButton_.reset();
    layoutSubviews();
}

void TableViewCell::setFrame(const Rect& frame) {
    Size old = bounds().size;
    View::setFrame(frame);
    if (!(old == bounds().size)) layoutSubviews();
}

void TableViewCell::layoutSubviews() {
    Rect b = bounds();
    double shift = deleteButton_ ? deleteButton_->frame().width() : 0;
    if (deleteButton_) deleteButton_->setFrame({b.width() - shift, 0, shift, b.height()});
    for (auto& v : {backgroundView_, selectedBackgroundView_, defaultSelectedBackground_})
        if (v && v->superview().get() == this) v->setFrame(b);

    // Accessory at the right edge; the content view takes the rest.
    double right = b.width() - shift;
    std::shared_ptr<View> accessory = accessoryView_ ? accessoryView_ : accessoryIndicator_;
    double contentWidth = right;
    if (accessory && !deleteButton_) {
        Rect f = accessory->frame();
        accessory->setFrame({right - kMargin - f.width(), std::round((b.height() - f.height()) / 2), f.width(), f.height()});
        accessory->setHidden(false);
        contentWidth = accessoryView_ ? right - kMargin - f.width() - 5 : right - kAccessoryWidth;
    } else if (accessory) {
        accessory->setHidden(true);
    }
    if (!contentView_) return;
    // With the delete button showing, the content slides left to make room for it.
    contentView_->setFrame({-shift, 0, std::max(0.0, contentWidth), b.height()});

    Rect c = contentView_->bounds();
    double x = kMargin;
    if (imageView_ && imageView_->image()) {
        Size s = imageView_->image()->size();
        double h = std::min(s.height, c.height());
        imageView_->setFrame({kMargin, std::round((c.height() - h) / 2), s.width, h});
        x = kMargin + s.width + kMargin;
    } else if (imageView_) {
        imageView_->setFrame({kMargin, 0, 0, 0});
    }
    double available = std::max(0.0, c.width() - x - kMargin);
    bool hasDetail = detailTextLabel_ && style_ != TableViewCellStyle::Default && !detailTextLabel_->text().empty();
    switch (style_) {
    case TableViewCellStyle::Default:
        if (textLabel_) textLabel_->setFrame({x, 0, available, c.height()});
        break;
    case TableViewCellStyle::Subtitle: {
        double th = textLabel_ ? textLabel_->sizeThatFits({available, 0}).height : 0;
        double dh = hasDetail ? detailTextLabel_->sizeThatFits({available, 0}).height : 0;
        double top = std::round((c.height() - th - dh) / 2);
        if (textLabel_) textLabel_->setFrame({x, top, available, th});
        if (detailTextLabel_) detailTextLabel_->setFrame({x, top + th, available, dh});
        break;
    }
    case TableViewCellStyle::Value1: {
        double dw = hasDetail ? std::min(available, detailTextLabel_->sizeThatFits({0, 0}).width) : 0;
        if (textLabel_) textLabel_->setFrame({x, 0, std::max(0.0, available - dw - (dw > 0 ? 10 : 0)), c.height()});
        if (detailTextLabel_) detailTextLabel_->setFrame({c.width() - kMargin - dw, 0, dw, c.height()});
        break;
    }
    case TableViewCellStyle::Value2: {
        double tw = std::min(67.0, available);
        if (textLabel_) textLabel_->setFrame({x, 0, tw, c.height()});
        if (detailTextLabel_) detailTextLabel_->setFrame({x + tw + 6, 0, std::max(0.0, available - tw - 6), c.height()});
        break;
    }
    }
}

void TableViewCell::draw(GraphicsContext& context, const Rect& rect) {
    if (separatorStyle_ != TableViewCellSeparatorStyle::None && !separatorColor_.isClear()) {
        Rect b = bounds();
        double x = separatorInset_.left;
        context.fillRect({x, b.maxY() - 0.5, b.width() - x - separatorInset_.right, 0.5}, separatorColor_);
    }
    View::draw(context, rect);
}

}  // namespace platform
