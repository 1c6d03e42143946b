#pragma once

// The chat bubble's form of a chat text: HTML for the text view, with 21-point faces for
// the tokens "[em:N:]", 20-point faces for the service's face pictures and list items
// for the lines of "</br>"; and the width such a text takes in the bubble.

#include "platform/ui/HtmlTextView.h"

#include <string>

namespace chatmarkup {

// The HTML of a chat text. The text is escaped first, so markup that a message holds
// shows as text and never takes effect; the three replacements then run on the escaped
// text, in order: tokens, the service's face pictures, line breaks (then the whole text
// is wrapped as "<li>%@</li>").
std::string htmlOf(const std::string& text);

// The renderer settings of the bubble: own messages white, others grey 0.467.
platform::HtmlTextOptions bubbleOptions(bool own);

// widthOfStrings:width: of the chat cell: the width of the text in the 16-point font,
// at most `maximum`. A text that begins and ends with a token is measured with each
// different token as one emoji "😄"; the tenth different token makes it `maximum`.
double bubbleWidth(const std::string& text, int maximum);

}  // namespace chatmarkup
