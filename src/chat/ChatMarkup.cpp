#include "chat/ChatMarkup.h"

#include "chat/ChatView.h"
#include "platform/Log.h"
#include "platform/Markup.h"
#include "platform/ui/Font.h"
#include "platform/ui/TextMeasure.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <memory>
#include <set>

using namespace platform;

namespace {

// Every match of `pattern` in `text` replaced by `replacement` ("$1" the first group).
std::string replaceAllIcu(const std::string& text, const char* pattern, const char* replacement) {
    UErrorCode status = U_ZERO_ERROR;
    auto input = icu::UnicodeString::fromUTF8(text);
    icu::RegexMatcher matcher(icu::UnicodeString::fromUTF8(pattern), input, 0, status);
    if (U_FAILURE(status)) {
        logText(std::string("chat markup: bad pattern ") + pattern);
        return text;
    }
    auto result = matcher.replaceAll(icu::UnicodeString::fromUTF8(replacement), status);
    if (U_FAILURE(status)) return text;
    std::string out;
    result.toUTF8String(out);
    return out;
}

void replaceEvery(std::string& text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

}  // namespace

namespace chatmarkup {

std::string htmlOf(const std::string& text) {
    std::string html = escapeHtml(text);
    html = replaceAllIcu(html, R"(\[em\:(\d+)\:\])",
                         R"(<img style="vertical-align:middle;" src='$1.png' width=21 height=21/>)");
    // The service's face picture, as it reads once escaped.
    html = replaceAllIcu(html,
                         R"(&lt;img src=&quot;http://[\w.:]*[/\w]*/static/images/face/(\d+).png&quot; )"
                         R"(class=&quot;face&quot;&gt;)",
                         R"(<img style="vertical-align:middle;" src='$1.png' width=20 height=20/>)");
    const std::string lineBreak = "&lt;/br&gt;";
    if (html.find(lineBreak) != std::string::npos) {
        replaceEvery(html, lineBreak, R"(<span style="color:white;">.</span></li><li>)");
        html = "<li>" + html + "</li>";
    }
    return html;
}

HtmlTextOptions bubbleOptions(bool own) {
    HtmlTextOptions options;
    options.textSizeMultiplier = 1.3;
    options.maxImageWidth = 36;
    options.maxImageHeight = 36;
    options.fontFamily = "Helvetica";
    options.textColor = own ? Color::whiteColor() : Color::white(0.467);
    options.lineHeightMultiplier = 1.1;
    options.linkColor = Color::rgb255(112, 128, 144);  // slategray
    options.underlineLinks = false;
    return options;
}

double bubbleWidth(const std::string& text, int maximum) {
    if (text.empty()) return 0;
    std::string measured = text;
    auto beginsAndEndsWithToken = [](const std::string& t) {
        return t.rfind("[em:", 0) == 0 && t.size() >= 2 && t.compare(t.size() - 2, 2, ":]") == 0;
    };
    if (beginsAndEndsWithToken(text)) {
        int replaced = 0;
        for (;;) {
            auto open = measured.find("[em:");
            if (open == std::string::npos) break;
            auto close = measured.find(":]", open + 4);
            if (close == std::string::npos) break;
            std::string token = measured.substr(open, close + 2 - open);
            replaceEvery(measured, token, "😄");
            if (++replaced == 10) return maximum;
        }
    }
    Font font = Font::systemFontOfSize(16);
    double sum = 0;
    for (const auto& character : ChatView::characters(measured, false)) {
        sum += TextMeasure::sizeWithFont(character, font).width;
        if (sum > maximum) return maximum;
    }
    return sum;
}

}  // namespace chatmarkup
