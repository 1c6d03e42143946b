#include "account/RegisterForm.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

#include <algorithm>

using namespace platform;

namespace register_form {

std::string withoutSpaces(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

std::shared_ptr<View> whiteBox(const Rect& frame) {
    auto box = std::make_shared<View>(frame);
    box->setBackgroundColor(Color::whiteColor());
    box->setCornerRadius(2);
    return box;
}

std::shared_ptr<TextField> addField(View& box, double width, const std::string& placeholder,
                                    std::weak_ptr<TextFieldDelegate> delegate) {
    auto field = std::make_shared<TextField>(Rect(10, 0, width, 44));
    field->setFont(Font::systemFontOfSize(16));
    field->setBorderStyle(TextBorderStyle::None);
    field->setClearButtonMode(TextFieldViewMode::WhileEditing);
    field->setAutocorrection(false);
    field->setPlaceholder(placeholder);
    field->setDelegate(std::move(delegate));
    box.addSubview(field);
    return field;
}

std::shared_ptr<Button> wideButton(const Rect& frame, const std::string& title, Control::Handler action) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame(frame);
    button->setBackgroundImage(Image::imageNamed("login_login"));
    button->setBackgroundImage(Image::imageNamed("login_login_press"), ControlStateHighlighted);
    button->setTitle(title);
    button->setTitleColor(Color::whiteColor());
    button->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
    button->addTarget(ControlEventTouchUpInside, std::move(action));
    return button;
}

void setBackArrow(ViewController& screen, Control::Handler back) {
    auto arrow = MVTPublicMethod::navigationleftBarButton();
    arrow->addTarget(ControlEventTouchUpInside, std::move(back));
    screen.navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(arrow));
}

void showWaiting(std::shared_ptr<ProgressHUD>& hud, const std::shared_ptr<View>& view, bool show) {
    if (show) {
        if (hud) hud->removeFromSuperview();
        hud = ProgressHUD::showHUDAddedTo(view, true);
    } else if (hud) {
        hud->hide(true);
    }
}

}  // namespace register_form
