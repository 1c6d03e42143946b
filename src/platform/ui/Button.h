#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <map>

namespace platform {

enum class ButtonType { Custom, System, RoundedRect, DetailDisclosure, InfoLight, InfoDark, ContactAdd };

// A control with a title, a picture and a background picture per state. A value missing
// for the current state falls back to the selected state's (for selected+highlighted) and
// then to the normal state's.
class Button : public Control {
public:
    Button();
    explicit Button(const Rect& frame);
    static std::shared_ptr<Button> buttonWithType(ButtonType type);

    std::string className() const override { return "Button"; }
    std::string displayedText() const override { return currentTitle(); }
    ButtonType buttonType() const { return type_; }

    void setTitle(const std::string& title, unsigned state = ControlStateNormal);
    std::string titleForState(unsigned state) const;
    std::string currentTitle() const { return titleForState(this->state()); }
    void setTitleColor(const Color& color, unsigned state = ControlStateNormal);
    Color titleColorForState(unsigned state) const;
    Color currentTitleColor() const { return titleColorForState(this->state()); }
    void setTitleShadowColor(const Color& color, unsigned state = ControlStateNormal);
    Color titleShadowColorForState(unsigned state) const;
    void setImage(ImageRef image, unsigned state = ControlStateNormal);
    ImageRef imageForState(unsigned state) const;
    ImageRef currentImage() const { return imageForState(this->state()); }
    void setBackgroundImage(ImageRef image, unsigned state = ControlStateNormal);
    ImageRef backgroundImageForState(unsigned state) const;
    ImageRef currentBackgroundImage() const { return backgroundImageForState(this->state()); }

    EdgeInsets titleEdgeInsets() const { return titleInsets_; }
    void setTitleEdgeInsets(const EdgeInsets& insets);
    EdgeInsets imageEdgeInsets() const { return imageInsets_; }
    void setImageEdgeInsets(const EdgeInsets& insets);
    EdgeInsets contentEdgeInsets() const { return contentInsets_; }
    void setContentEdgeInsets(const EdgeInsets& insets);

    bool adjustsImageWhenHighlighted() const { return adjustsImageWhenHighlighted_; }
    void setAdjustsImageWhenHighlighted(bool on) { adjustsImageWhenHighlighted_ = on; }
    bool adjustsImageWhenDisabled() const { return adjustsImageWhenDisabled_; }
    void setAdjustsImageWhenDisabled(bool on) { adjustsImageWhenDisabled_ = on; }
    bool showsTouchWhenHighlighted() const { return showsTouchWhenHighlighted_; }
    void setShowsTouchWhenHighlighted(bool on) { showsTouchWhenHighlighted_ = on; }

    // The label and picture view that show the current title and picture; their text and
    // picture follow the state (set fonts, alignment and line breaks on the label).
    std::shared_ptr<Label> titleLabel();
    std::shared_ptr<ImageView> imageView();

    Size sizeThatFits(const Size& size) const override;
    void layoutSubviews() override;
    void setFrame(const Rect& frame) override;
    void draw(GraphicsContext& context, const Rect& rect) override;

protected:
    void stateDidChange() override;

private:
    template <class T>
    static T lookup(const std::map<unsigned, T>& values, unsigned state, T fallback);
    void updateContent();

    ButtonType type_ = ButtonType::Custom;
    std::map<unsigned, std::string> titles_;
    std::map<unsigned, Color> titleColors_;
    std::map<unsigned, Color> shadowColors_;
    std::map<unsigned, ImageRef> images_;
    std::map<unsigned, ImageRef> backgrounds_;
    EdgeInsets titleInsets_, imageInsets_, contentInsets_;
    bool adjustsImageWhenHighlighted_ = true;
    bool adjustsImageWhenDisabled_ = true;
    bool showsTouchWhenHighlighted_ = false;
    std::shared_ptr<Label> titleLabel_;
    std::shared_ptr<ImageView> imageView_;
};

using ButtonRef = std::shared_ptr<Button>;

}  // namespace platform
