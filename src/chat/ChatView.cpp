#include "chat/ChatView.h"

#include "core/ServiceId.h"
#include "platform/ui/Font.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/TextMeasure.h"

#include <unicode/unistr.h>

using namespace platform;

namespace {

constexpr const char* kTokenOpen = "[em:";
constexpr const char* kTokenClose = ":]";

std::string utf8Of(const icu::UnicodeString& text, int32_t start, int32_t length) {
    std::string out;
    text.tempSubString(start, length).toUTF8String(out);
    return out;
}

bool isSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }
bool isPair(char16_t high, char16_t low) { return U16_IS_LEAD(high) && U16_IS_TRAIL(low); }

// One walk over the pieces, shared by drawing and both measures.
struct ChatWalk {
    double width = 0;          // W
    double faceEarly = 0;      // points a face breaks early (5 for the height)
    bool keycaps = false;      // group keycaps (drawing only)
    Font font = Font::systemFontOfSize(16);
    double x = 0, y = 0;
    bool broke = false;

    template <class OnFace, class OnCharacter>
    void run(const std::vector<std::string>& pieces, OnFace&& onFace, OnCharacter&& onCharacter) {
        for (const auto& piece : pieces) {
            if (ChatView::isTokenPiece(piece)) {
                auto number = ChatView::faceNumber(piece);
                if (ChatView::hasFacePicture(number)) {
                    if (x + ChatView::kFaceSide + faceEarly > width) newLine();
                    onFace(number, Point{x, y});
                    x += ChatView::kFaceSide;
                    continue;
                }
                characters(ChatView::characters(piece, false), onCharacter);
                continue;
            }
            characters(ChatView::characters(piece, keycaps), onCharacter);
        }
    }

    template <class OnCharacter>
    void characters(const std::vector<std::string>& list, OnCharacter&& onCharacter) {
        for (const auto& character : list) {
            double w = TextMeasure::sizeWithFont(character, font).width;
            if (x + w > width) newLine();
            onCharacter(character, Point{x, y});
            x += w;
        }
    }

    void newLine() {
        y += ChatView::kLineHeight;
        x = 0;
        broke = true;
    }
};

}  // namespace

void ChatView::initWithFrame(const Rect& frame) { initWithFrame(frame, false); }

void ChatView::initWithFrame(const Rect& frame, bool white) {
    setFrame(frame);
    setBackgroundColor(Color::clear());
    myTextColor_ = white ? Color::whiteColor() : Color::white(0.467);
    isFromChatList_ = false;
}

std::vector<std::string> ChatView::parserMessage(const std::string& text) {
    std::vector<std::string> pieces;
    getImageRange(text, pieces);
    return pieces;
}

void ChatView::getImageRange(const std::string& text, std::vector<std::string>& pieces) {
    std::string rest = text;
    for (;;) {
        auto open = rest.find(kTokenOpen);
        auto close = rest.find(kTokenClose);
        if (open == std::string::npos || close == std::string::npos) {
            pieces.push_back(rest);
            return;
        }
        // A ":]" before the "[em:" (or overlapping it) closes nothing: look for the first
        // ":]" after the opening, so the pieces always cover the text in order.
        if (close < open + 4) close = rest.find(kTokenClose, open + 4);
        if (close == std::string::npos) {
            pieces.push_back(rest);
            return;
        }
        if (open > 0) pieces.push_back(rest.substr(0, open));
        pieces.push_back(rest.substr(open, close + 2 - open));
        rest = rest.substr(close + 2);
    }
}

bool ChatView::isTokenPiece(const std::string& piece) {
    return piece.size() >= 6 && piece.rfind(kTokenOpen, 0) == 0 &&
           piece.compare(piece.size() - 2, 2, kTokenClose) == 0;
}

std::string ChatView::faceNumber(const std::string& piece) {
    auto open = piece.find(kTokenOpen);
    if (open == std::string::npos) return "";
    auto close = piece.find(kTokenClose, open + 4);
    if (close == std::string::npos) return "";
    return piece.substr(open + 4, close - open - 4);
}

bool ChatView::hasFacePicture(const std::string& number) {
    if (!isPlainServiceId(number)) return false;
    auto image = Image::imageNamed(number + ".png");
    return image && !image->isPlaceholder();
}

std::vector<std::string> ChatView::characters(const std::string& text, bool keycaps) {
    std::vector<std::string> out;
    auto units = icu::UnicodeString::fromUTF8(text);
    int32_t length = units.length();
    for (int32_t i = 0; i < length;) {
        char16_t unit = units.charAt(i);
        int32_t take = 1;
        if (keycaps && ((unit >= u'0' && unit <= u'9') || unit == u'#') && i + 1 < length &&
            units.charAt(i + 1) == 0x20E3) {
            take = 2;
        } else if (isSurrogate(unit)) {
            take = (i + 1 < length && isPair(unit, units.charAt(i + 1))) ? 2 : 3;
        }
        take = std::min(take, length - i);
        out.push_back(utf8Of(units, i, take));
        i += take;
    }
    return out;
}

double ChatView::heightOfStrings(const std::vector<std::string>& pieces, int width) {
    ChatWalk walk;
    walk.width = width;
    walk.faceEarly = 5;
    walk.run(pieces, [](const std::string&, Point) {}, [](const std::string&, Point) {});
    return walk.y + kLineHeight;
}

double ChatView::widthOfStrings(const std::vector<std::string>& pieces, int width) {
    if (pieces.empty()) return 0;
    ChatWalk walk;
    walk.width = width;
    walk.run(pieces, [](const std::string&, Point) {}, [](const std::string&, Point) {});
    return walk.broke ? width : walk.x;
}

std::vector<ChatView::Placed> ChatView::layout(int width) const {
    std::vector<Placed> placed;
    ChatWalk walk;
    walk.width = width;
    walk.keycaps = true;
    double fontSize = isFromChatList_ ? 14 : 16;
    walk.font = Font::systemFontOfSize(fontSize);
    walk.run(
        datas_, [&](const std::string& number, Point at) { placed.push_back({true, number, {at.x, at.y + 2}}); },
        [&](const std::string& character, Point at) {
            placed.push_back({false, character, {at.x, at.y + (kLineHeight - fontSize) / 2}});
        });
    return placed;
}

void ChatView::draw(GraphicsContext& context, const Rect& rect) {
    View::draw(context, rect);
    if (datas_.empty()) return;
    double fontSize = isFromChatList_ ? 14 : 16;
    Font font = Font::systemFontOfSize(fontSize);
    Color color = isFromChatList_ ? Color::white(0.467) : myTextColor_;
    for (const auto& item : layout(static_cast<int>(bounds().size.width))) {
        if (item.face) {
            auto image = Image::imageNamed(item.text + ".png");
            Size size = image->size();
            Rect square{item.origin, {kFaceSide, kFaceSide}};
            if (size.width > kFaceSide || size.height > kFaceSide) {
                context.drawImage(*image, square);
            } else {
                context.drawImage(*image, Rect{item.origin, size});
            }
        } else {
            context.drawTextAt(item.text, item.origin, font, color);
        }
    }
}
