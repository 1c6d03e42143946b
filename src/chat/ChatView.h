#pragma once

// Chat texts: plain text in which faces stand as tokens "[em:N:]". ChatView splits such a
// text into pieces (plain text and tokens) and draws them itself, a character at a time,
// on 24-point lines with 24-point faces; list rows use it in list mode, one line high.
// The class operations measure a text the same way. Characters are counted in UTF-16
// code units, as the chat has always counted them.

#include "platform/ui/Color.h"
#include "platform/ui/View.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

class ChatView : public platform::View {
public:
    static constexpr double kLineHeight = 24;
    static constexpr double kFaceSide = 24;

    std::string className() const override { return "ChatView"; }

    // initWithFrame: clear, grey text (0.467), list mode off.
    void initWithFrame(const platform::Rect& frame);
    // initWithFrame:stutes: white text when `white`, else grey.
    void initWithFrame(const platform::Rect& frame, bool white);

    // parserMessage: the pieces of a text, in order; the last piece is the text after the
    // last token (empty when the text ends with one). Never empty.
    static std::vector<std::string> parserMessage(const std::string& text);
    // getImageRange:: appends the pieces of `text` to `pieces`.
    static void getImageRange(const std::string& text, std::vector<std::string>& pieces);
    // True for a piece that begins with "[em:" and ends with ":]".
    static bool isTokenPiece(const std::string& piece);
    // The face number of a token piece (the text between its first "[em:" and the first
    // ":]" after it), and whether that face has a picture among the resources. Only plain
    // names (letters, digits, "_", "-") are looked up.
    static std::string faceNumber(const std::string& piece);
    static bool hasFacePicture(const std::string& number);

    // The characters of a text as drawn: UTF-16 units, a surrogate taken with the next
    // unit (or the next two when the pair is no character), and with `keycaps` a digit or
    // "#" followed by U+20E3 as one.
    static std::vector<std::string> characters(const std::string& text, bool keycaps);

    // heightOfStrings:width: / widthOfStrings:width: (16-point font).
    static double heightOfStrings(const std::vector<std::string>& pieces, int width);
    static double widthOfStrings(const std::vector<std::string>& pieces, int width);

    const std::vector<std::string>& datas() const { return datas_; }
    void setDatas(std::vector<std::string> pieces) { datas_ = std::move(pieces); }
    bool isFromChatList() const { return isFromChatList_; }
    void setIsFromChatList(bool list) { isFromChatList_ = list; }
    const platform::Color& myTextColor() const { return myTextColor_; }

    // What one drawing places: faces (by number) and characters, with their origins.
    struct Placed {
        bool face = false;
        std::string text;  // the face number or the character
        platform::Point origin;
    };
    std::vector<Placed> layout(int width) const;

    void draw(platform::GraphicsContext& context, const platform::Rect& rect) override;

private:
    std::vector<std::string> datas_;
    platform::Color myTextColor_ = platform::Color::white(0.467);
    bool isFromChatList_ = false;
};
