#include "tests/QuestionText.h"

#include "shell/InternationalControl.h"

#include "platform/ui/Font.h"
#include "platform/ui/TextMeasure.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>
#include <memory>

using platform::Json;

namespace quiz {

namespace {

// A replace-all of one pattern, compiled once; a pattern may be shared by threads, each
// use makes its own matcher.
class QuestionPattern {
public:
    QuestionPattern(const char* pattern, const char* replacement)
        : replacement_(icu::UnicodeString::fromUTF8(replacement)) {
        UParseError parseError{};
        UErrorCode status = U_ZERO_ERROR;
        pattern_.reset(icu::RegexPattern::compile(icu::UnicodeString::fromUTF8(pattern), 0, parseError, status));
        if (U_FAILURE(status)) pattern_.reset();
    }

    std::string replaceAll(const std::string& text) const {
        if (!pattern_) return text;
        UErrorCode status = U_ZERO_ERROR;
        icu::UnicodeString subject = icu::UnicodeString::fromUTF8(text);
        std::unique_ptr<icu::RegexMatcher> matcher(pattern_->matcher(subject, status));
        if (U_FAILURE(status) || !matcher) return text;
        icu::UnicodeString result = matcher->replaceAll(replacement_, status);
        if (U_FAILURE(status)) return text;
        std::string out;
        result.toUTF8String(out);
        return out;
    }

private:
    std::unique_ptr<icu::RegexPattern> pattern_;
    icu::UnicodeString replacement_;
};

struct PreparationPatterns {
    QuestionPattern lineEnd{"</br>", "<span style=\"color:white;\">.</span></li><li>"};
    QuestionPattern vml{"v:", "style=\"width: 72px; height: 36px;\""};
    std::vector<std::unique_ptr<QuestionPattern>> heights;
    QuestionPattern br{"<br>", ""};
    QuestionPattern brClosed{"<br/>", ""};
    // Paragraphs become spans; only the paragraph tags themselves, so "<sup>" stays.
    QuestionPattern paragraph{"<(/?)p>", "<$1span>"};
    QuestionPattern xml{"<?xml:", "<style="};
    QuestionPattern hideSources{"img_src", "imgsrc"};
    QuestionPattern restoreSources{"imgsrc", "img_src"};

    PreparationPatterns() {
        for (int h = 37; h <= 50; ++h) {
            const std::string pattern = "height: " + std::to_string(h) + "px;";
            heights.push_back(std::make_unique<QuestionPattern>(pattern.c_str(), "height: 36px;"));
        }
    }
};

const PreparationPatterns& preparation() {
    static const PreparationPatterns patterns;
    return patterns;
}

bool holds(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::string withoutCharacters(std::string text, const std::string& characters) {
    text.erase(std::remove_if(text.begin(), text.end(),
                              [&](char c) { return characters.find(c) != std::string::npos; }),
               text.end());
    return text;
}

}  // namespace

platform::HtmlTextOptions questionOptions(double imageMaxW, double lineHeight) {
    platform::HtmlTextOptions options;
    options.textSizeMultiplier = 1.46;
    options.lineHeightMultiplier = lineHeight;
    options.maxImageWidth = imageMaxW;
    options.maxImageHeight = imageMaxW;
    options.fontFamily = "Helvetica";
    options.textColor = platform::Color::rgb255(0x25, 0x34, 0x21);
    options.linkColor = platform::Color::rgb255(0x70, 0x80, 0x90);  // slategray
    options.underlineLinks = false;
    return options;
}

std::string replaceStringWith(const std::string& input) {
    const auto& p = preparation();
    std::string text = input;
    if (holds(text, "</br>")) text = p.lineEnd.replaceAll(text);
    if (holds(text, "v:") && !holds(text, "width") && !holds(text, "height")) text = p.vml.replaceAll(text);
    for (const auto& height : p.heights) text = height->replaceAll(text);
    text = p.br.replaceAll(text);
    text = p.brClosed.replaceAll(text);
    text = p.paragraph.replaceAll(text);
    return p.xml.replaceAll(text);
}

std::string hideImageSources(const std::string& text) { return preparation().hideSources.replaceAll(text); }

std::string restoreImageSources(const std::string& text) { return preparation().restoreSources.replaceAll(text); }

std::vector<std::string> fillInPieces(const std::string& text) {
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : withoutCharacters(text, "\n")) {
        if (c != '_') {
            piece += c;
            continue;
        }
        if (!piece.empty()) pieces.push_back(piece);
        piece.clear();
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

int blankWidth(const std::string& answerText, double imageMaxW) {
    const double width =
        platform::TextMeasure::sizeWithFont(answerText, platform::Font::fontWithName("Helvetica", 18)).width + 20;
    return int(std::lround(std::min(width, imageMaxW)));
}

std::string fillInHtml(const std::vector<std::string>& pieces, const Json& answers, double imageMaxW) {
    std::string html;
    std::size_t i = 0;
    if (answers.is_array()) {
        for (; i < answers.size(); ++i) {
            if (i < pieces.size()) html += pieces[i];
            html += "<span><img style=\"vertical-align:middle; width: " +
                    std::to_string(blankWidth(platform::textOf(answers[i], "text"), imageMaxW)) +
                    "px; height: 28px;\" src=\"" + kBlankPlaceholder + "\"></span>";
        }
    }
    if (pieces.size() > i) html += pieces.back();
    return html;
}

platform::Size displaySize(double w, double h, double maxW) {
    if (!(w > 0) || !(h > 0)) return {std::max(w, 0.0), std::max(h, 0.0)};
    const double a = w / h;
    if (a >= 1) return w < maxW ? platform::Size{w, h} : platform::Size{maxW, maxW / a};
    return h < maxW ? platform::Size{w, h} : platform::Size{maxW * a, maxW};
}

std::optional<std::string> formulaKey(const std::string& address) {
    static const std::string marker = "img_src/";
    const auto at = address.rfind(marker);
    std::string key = at == std::string::npos ? address : address.substr(at + marker.size());
    if (key.empty() || holds(key, "/") || holds(key, "\\") || holds(key, "..")) return std::nullopt;
    return key;
}

std::string formulaFileName(const std::string& key) { return "gongshi" + key + ".png"; }

bool isWebAddress(const std::string& address) {
    std::string scheme;
    for (char c : address.substr(0, 8)) scheme += char(std::tolower(static_cast<unsigned char>(c)));
    return scheme.rfind("http://", 0) == 0 || scheme.rfind("https://", 0) == 0;
}

std::string optionLetter(std::size_t index) {
    if (index < 26) return std::string(1, char('A' + index));
    return std::to_string(index + 1);
}

std::string answerInWords(int kind, const Json& teacherAnswers, const std::vector<std::string>& pieces) {
    const Json list = teacherAnswers.is_array() ? teacherAnswers : Json::array();
    std::string words;
    switch (kind) {
    case kSingle:
    case kMultiple:
        for (std::size_t i = 0; i < list.size(); ++i) {
            const long long k = platform::integerValue(platform::textOf(list[i]));
            if (i > 0) words += ",";
            words += k >= 0 && k < 26 ? std::string(1, char('A' + k)) : localized("有误");
        }
        return words;
    case kFillIn: {
        std::size_t i = 0;
        for (; i < list.size(); ++i)
            words += (i < pieces.size() ? pieces[i] : std::string()) + "[" + platform::textOf(list[i], "text") + "]";
        if (pieces.size() > i) words += pieces.back();
        return words;
    }
    case kMatching:
        for (std::size_t i = 0; i < list.size(); ++i)
            words += "," + optionLetter(i) + " " + localized("配") + " " + platform::textOf(list[i], "text") + " ";
        return words.empty() ? words : words.substr(1);
    case kTrueFalse:
        return !list.empty() && platform::integerValue(platform::textOf(list[0])) != 0 ? localized("正确")
                                                                                      : localized("错误");
    default:
        return {};
    }
}

Judgement judge(const AnswerInput& in) {
    Judgement result;
    const Json& right = in.teacherAnswers;
    auto record = [&result](int success, Json answer) {
        result.outcome = Judgement::Outcome::Record;
        result.success = success;
        result.answer = std::move(answer);
    };
    auto rightText = [&right](std::size_t j) {
        return right.is_array() && j < right.size() ? platform::textOf(right[j], "text") : std::string();
    };
    switch (in.kind) {
    case kSingle:
    case kTrueFalse: {
        if (in.chosen.empty()) return result;
        const std::string first = right.is_array() && !right.empty() ? platform::textOf(right[0]) : std::string();
        const bool same = platform::integerValue(first) == platform::integerValue(in.chosen[0]);
        record(same ? 1 : 0, in.chosen[0]);
        return result;
    }
    case kMultiple: {
        if (in.chosen.empty()) {
            result.outcome = Judgement::Outcome::Withdraw;
            return result;
        }
        bool same = right.is_array() && right.size() == in.chosen.size();
        std::string joined;
        for (const auto& tag : in.chosen) {
            if (!joined.empty()) joined += "|";
            joined += tag;
            bool among = false;
            if (right.is_array())
                for (const auto& entry : right) among = among || platform::textOf(entry) == tag;
            same = same && among;
        }
        record(same ? 1 : 0, joined);
        return result;
    }
    case kFree: {
        const std::string text = withoutCharacters(in.freeText.value_or(""), " \n");
        if (text.empty()) {
            result.outcome = Judgement::Outcome::Withdraw;
            return result;
        }
        record(2, text);
        return result;
    }
    case kFillIn: {
        const bool allBlank = std::all_of(in.blanks.begin(), in.blanks.end(), [](const auto& blank) {
            return withoutCharacters(blank.value_or(""), " ").empty();
        });
        if (allBlank) {
            result.outcome = Judgement::Outcome::Withdraw;
            return result;
        }
        const bool anyEmpty = std::any_of(in.blanks.begin(), in.blanks.end(),
                                          [](const auto& blank) { return !blank || blank->empty(); });
        if (anyEmpty) return result;
        int success = 1;
        Json answer = Json::array();
        for (std::size_t j = 0; j < in.blanks.size(); ++j) {
            if (*in.blanks[j] != rightText(j)) success = 0;
            answer.push_back({{"text", *in.blanks[j]}, {"value", std::to_string(j)}});
        }
        record(success, std::move(answer));
        return result;
    }
    case kMatching: {
        if (!in.dragDone) return result;
        int success = 1;
        Json answer = Json::array();
        const std::size_t count = right.is_array() ? right.size() : 0;
        for (std::size_t j = 0; j < count; ++j) {
            const std::string text =
                j < in.dragEntries.size() ? platform::textOf(in.dragEntries[j], "text") : std::string();
            if (text != rightText(j)) success = 0;
            answer.push_back({{"text", text}, {"value", std::to_string(j + 1)}});
        }
        record(success, std::move(answer));
        return result;
    }
    default:
        return result;
    }
}

Json answerList(int kind, const Json& value) {
    Json list = Json::array();
    if (kind == kFillIn || kind == kMatching) {
        if (value.is_array())
            for (const auto& entry : value) list.push_back(entry);
        return list;
    }
    const std::string text = platform::textOf(value);
    if (kind != kMultiple) {
        list.push_back(text);
        return list;
    }
    std::size_t from = 0;
    while (true) {
        const auto bar = text.find('|', from);
        list.push_back(text.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
        if (bar == std::string::npos) break;
        from = bar + 1;
    }
    return list;
}

}  // namespace quiz
