#pragma once

// The texts of a test question: preparing the service's HTML for the renderer, the
// fill-in text with its blank placeholders, the sizes of pictures inside a text, the key
// of a formula picture's cache file, the right answer in words for the analysis box, and
// judging an answer. Pure functions, so every rule can be checked on its own.

#include "platform/Values.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/HtmlTextView.h"

#include <optional>
#include <string>
#include <vector>

namespace quiz {

// Question kinds.
enum Kind { kSingle = 0, kMultiple = 1, kFree = 2, kFillIn = 3, kMatching = 4, kTrueFalse = 5 };
constexpr int kKindCount = 6;

// The address of a blank's placeholder picture: only compared, never fetched, and not
// an address a question text can hold.
inline constexpr const char* kBlankPlaceholder = "tirra-blank:field";

// The rendering options of every text of a question; `lineHeight` 1.2 for the fill-in
// text, 1.1 for the others.
platform::HtmlTextOptions questionOptions(double imageMaxW, double lineHeight = 1.1);

// replaceStringWith: the fixed replacements, in their order, each of every match.
std::string replaceStringWith(const std::string& text);
// "img_src" becomes "imgsrc" (so the "_" of picture addresses is no blank), and back.
std::string hideImageSources(const std::string& text);
std::string restoreImageSources(const std::string& text);

// The fill-in text's pieces: without "\n", split at "_", empty pieces dropped.
std::vector<std::string> fillInPieces(const std::string& text);
// The fill-in HTML: piece, blank, piece, blank... for each right answer, then the last
// piece when there are more pieces than answers. A missing piece is empty. Each blank is
// as wide as its answer's text in Helvetica 18 plus 20, at most `imageMaxW`.
std::string fillInHtml(const std::vector<std::string>& pieces, const platform::Json& answers, double imageMaxW);
// The width of a blank for a right answer's text.
int blankWidth(const std::string& answerText, double imageMaxW);

// The display size of a picture of w x h points inside a text at most `maxW` wide.
platform::Size displaySize(double w, double h, double maxW);

// The key of a formula picture: what follows the last "img_src/" of its address (the
// whole address when there is none). Nothing when the key could name another file: empty,
// or holding "/", "\" or "..".
std::optional<std::string> formulaKey(const std::string& address);
// The cache file name of a formula picture: "gongshi<key>.png".
std::string formulaFileName(const std::string& key);
// Only http and https addresses are fetched or opened.
bool isWebAddress(const std::string& address);

// The letter of option i: "A" to "Z"; past Z the option's number.
std::string optionLetter(std::size_t index);
// The right answer in words for the analysis box, by kind, from the right answer in list
// form and the fill-in pieces; "有误" names a choice outside A to Z.
std::string answerInWords(int kind, const platform::Json& teacherAnswers, const std::vector<std::string>& pieces);

// What an input of the student amounts to.
struct Judgement {
    enum class Outcome { Nothing, Withdraw, Record };
    Outcome outcome = Outcome::Nothing;
    int success = 0;           // 1 right, 0 wrong, 2 free answer
    platform::Json answer;     // text or array of {text, value}
};

// The inputs of one question, read from its controls.
struct AnswerInput {
    int kind = 0;
    platform::Json teacherAnswers = platform::Json::array();  // the right answer in list form
    std::vector<std::string> chosen;                           // tags of the chosen buttons, in tick order
    std::optional<std::string> freeText;                       // the free answer's text
    std::vector<std::optional<std::string>> blanks;            // each blank's text, in blank order
    platform::Json dragEntries = platform::Json::array();     // the drag list's entries, top first
    bool dragDone = false;                                     // a swap has happened
};

Judgement judge(const AnswerInput& input);

// A value as a list: for kinds 0, 2 and 5 its text form as one entry; for kind 1 its text
// form split at "|"; for kinds 3 and 4 the elements of an array (anything else: none).
platform::Json answerList(int kind, const platform::Json& value);

}  // namespace quiz
