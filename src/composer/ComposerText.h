#pragma once

// Text input pieces shared by the post composers and the mood composer: the keyboard bar,
// mention insertion and deletions made by the screen itself.

#include "platform/ui/Geometry.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <string>

namespace platform {
class Button;
class TextView;
class View;
}  // namespace platform

namespace composer_text {

// The bar above the keyboard or the emoticon panel: the emoticon toggle (tag 1), the
// mention button and the done button, 40 points high, `width` wide, at `top`.
std::shared_ptr<platform::View> makeKeyboardBar(double top, double width,
                                                std::function<void(platform::Button&)> onFace,
                                                std::function<void()> onMention, std::function<void()> onDone);
// Shows the bar again with its emoticon toggle back to the keyboard state.
void resetKeyboardBar(platform::View& bar);
// Puts "@<name> " in place of the selection and the caret after its space.
void insertMention(platform::TextView& textView, const std::string& name);
// Removes `range` from the text and leaves the caret at its start.
void deleteRange(platform::TextView& textView, platform::Range range);
// Appends a face's token at the end of the text, the caret after it.
void appendToken(platform::TextView& textView, const std::string& token);
// The "relative" text of a post: each picked person as "@<name> :<user>", joined by ",".
std::string mentionsText(const nlohmann::json& picked);
// The offset that keeps the caret line at `caretTop` (in the page) above a keyboard or
// panel of 216 points in a view `viewHeight` high.
double caretScrollOffset(double caretTop, double viewHeight);

}  // namespace composer_text
