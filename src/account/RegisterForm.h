#pragma once

// The pieces the two registration screens (account and password, then the personal
// details) build alike: white field boxes, their text fields, the wide red button, the
// back arrow and the waiting indicator.

#include "platform/ui/Control.h"
#include "platform/ui/Geometry.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ProgressHUD;
class TextField;
class TextFieldDelegate;
class View;
class ViewController;
}  // namespace platform

namespace register_form {

// `text` with every space taken out.
std::string withoutSpaces(std::string text);

// A white box with slightly rounded corners, holding one field.
std::shared_ptr<platform::View> whiteBox(const platform::Rect& frame);

// A borderless 16-point text field, 44 points high and `width` wide at x 10 in `box`, with
// `placeholder`, the clear button while editing, no autocorrection and `delegate`.
std::shared_ptr<platform::TextField> addField(platform::View& box, double width, const std::string& placeholder,
                                              std::weak_ptr<platform::TextFieldDelegate> delegate);

// The wide red button ("login_login", pressed "login_login_press") with a white bold
// 14-point `title`, running `action` when tapped.
std::shared_ptr<platform::Button> wideButton(const platform::Rect& frame, const std::string& title,
                                             platform::Control::Handler action);

// The back arrow on the left of `screen`'s navigation bar, running `back` when tapped.
void setBackArrow(platform::ViewController& screen, platform::Control::Handler back);

// Shows a new waiting indicator on `view` (taking an older one in `hud` away first), or
// hides the one in `hud`.
void showWaiting(std::shared_ptr<platform::ProgressHUD>& hud, const std::shared_ptr<platform::View>& view,
                 bool show);

}  // namespace register_form
