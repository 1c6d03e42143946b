#include "shell/MVTShareViewController.h"

#include "platform/Values.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

#include <libxml/HTMLparser.h>

#include <optional>

using namespace platform;

MVTShareViewController::MVTShareViewController() : viewDelegate_(std::make_shared<MVTShareViewDelegate>()) {}

MVTShareViewController::~MVTShareViewController() = default;

std::shared_ptr<MVTShareViewController> MVTShareViewController::shareViewController() {
    // A function-local static is made once even when two threads ask first.
    static std::shared_ptr<MVTShareViewController> wrapper = std::make_shared<MVTShareViewController>();
    return wrapper;
}

std::string MVTShareViewController::outcomeText(ShareState state, const std::string& errorDescription) {
    switch (state) {
    case ShareState::Success: return kShareSucceeded;
    case ShareState::Fail: return std::string("分享失败 ") + errorDescription;
    case ShareState::Begin:
    case ShareState::Cancel: break;
    }
    return {};
}

namespace {

void appendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// The character an entity body (between "&" and ";") stands for, if it is one.
std::optional<unsigned long> entityValue(const std::string& body) {
    if (body.size() > 1 && body[0] == '#') {
        bool hex = body[1] == 'x' || body[1] == 'X';
        std::string digits = body.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        unsigned long code = 0;
        for (char c : digits) {
            int v = -1;
            if (c >= '0' && c <= '9') v = c - '0';
            else if (hex && c >= 'a' && c <= 'f') v = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F') v = c - 'A' + 10;
            if (v < 0) return std::nullopt;
            code = code * (hex ? 16 : 10) + v;
        }
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
        return code;
    }
    if (body == "apos") return 0x27;  // not in the HTML 4 table, common in pages
    if (const htmlEntityDesc* entity = htmlEntityLookup(reinterpret_cast<const xmlChar*>(body.c_str()))) {
        return entity->value;
    }
    return std::nullopt;
}

std::optional<std::string> textFor(const Json& dictionary, const char* key) {
    const Json& value = valueFor(dictionary, key);
    if (value.is_discarded() || value.is_null()) return std::nullopt;
    return MVTShareViewController::decodeEntities(textOf(value));
}

// Picture bytes: a JSON binary value or a text holding the bytes; missing otherwise.
std::optional<ShareAttachment> pictureFor(const Json& dictionary, const char* key) {
    const Json& value = valueFor(dictionary, key);
    ShareAttachment attachment;
    if (value.is_binary()) {
        attachment.bytes.assign(value.get_binary().begin(), value.get_binary().end());
    } else if (value.is_string()) {
        attachment.bytes = value.get<std::string>();
    } else {
        return std::nullopt;
    }
    if (attachment.bytes.empty()) return std::nullopt;
    return attachment;
}

std::optional<std::string> linkFor(const Json& dictionary) {
    const Json& value = valueFor(dictionary, "url");
    if (value.is_discarded() || value.is_null()) return std::nullopt;
    return textOf(value);
}

}  // namespace

std::string MVTShareViewController::decodeEntities(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&') {
            size_t end = text.find(';', i + 1);
            // Entity names are short; a far-off ";" belongs to something else.
            if (end != std::string::npos && end - i <= 33) {
                if (auto code = entityValue(text.substr(i + 1, end - i - 1))) {
                    appendUtf8(out, *code);
                    i = end + 1;
                    continue;
                }
            }
        }
        out += text[i++];
    }
    return out;
}

void MVTShareViewController::shareTo(const Json& dictionary, View* sender) {
    auto title = textFor(dictionary, "title");
    auto content = textFor(dictionary, "content");
    auto image = pictureFor(dictionary, "image");
    auto thumbImage = pictureFor(dictionary, "thumbImage");
    auto url = linkFor(dictionary);

    ShareRequest request;
    ShareContent& general = request.general;
    general.text = content;
    general.defaultText = std::string();
    general.image = image;
    general.title = title;
    general.url = url;
    general.description = std::string(kShareDescription);
    general.kind = ShareContentKind::News;

    auto weChatEntry = [&](const std::optional<ShareAttachment>& preview) {
        ShareContent entry;
        entry.text = content;
        entry.title = title;
        entry.url = url;
        entry.thumbImage = preview;
        entry.image = image;
        entry.kind = ShareContentKind::News;
        return entry;
    };
    request.weChatSession = weChatEntry(image);
    request.weChatTimeline = weChatEntry(thumbImage);
    request.weChatFav = weChatEntry(thumbImage);

    ShareOptions& options = request.options;
    options.autoAuth = true;
    options.hasAuthCallback = false;
    options.authViewModal = true;
    options.styledAuthScreens = true;
    options.editingTitle = title.value_or("");
    options.oneKeyShareListDefault = true;
    options.qqButtonHidden = true;
    options.weChatSessionButtonHidden = true;
    options.weChatTimelineButtonHidden = true;
    options.autoShowKeyboard = false;
    options.styledShareScreens = true;
    options.styledPictureViewer = false;
    options.statusBarTips = true;
    // Only a tablet points the sheet at the sender; this build is a phone.
    request.arrowUp = false;

    std::weak_ptr<MVTShareViewController> weak = std::static_pointer_cast<MVTShareViewController>(shared_from_this());
    request.result = [weak](ShareState state, const std::string&, const std::string& errorDescription) {
        auto self = weak.lock();
        if (!self) return;
        std::string text = outcomeText(state, errorDescription);
        if (!text.empty() && self->delegate_) self->delegate_->shareResult(text);
    };

    // A sheet still up from an earlier share goes away; the kit gives that share up.
    if (auto old = sheet_.lock(); old && old->isVisible()) old->dismissWithClickedButtonIndex(-1, false);

    ShareKit& kit = ShareKit::shared();
    kit.showShareActionSheet(sender, std::move(request));
    if (!kit.hasWaitingShare()) return;

    // The kit's sheet: one button per platform registered at start-up.
    sheetPlatforms_ = kit.platforms();
    auto sheet = ActionSheet::make("", std::weak_ptr<ActionSheetDelegate>(std::static_pointer_cast<ViewViewController>(
                                           shared_from_this())),
                                   "取消", "", sheetPlatforms_);
    sheet->setTag(kShareSheetTag);
    sheet->showInView(sender);
    sheet_ = sheet;
}

void MVTShareViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() != kShareSheetTag) {
        ViewViewController::actionSheetClickedButtonAtIndex(sheet, index);
        return;
    }
    if (index >= 0 && index < static_cast<long>(sheetPlatforms_.size())) {
        ShareKit::shared().choosePlatform(sheetPlatforms_[index]);
    } else {
        ShareKit::shared().cancelShare();
    }
}

// ---- Styling the kit's screens

void MVTShareViewDelegate::viewOnWillDisplay(ViewController& screen) {
    NavigationItem& item = screen.navigationItem();
    if (Screen::systemVersion() >= 7.0) {
        for (const auto& button : {item.leftBarButtonItem(), item.rightBarButtonItem()}) {
            if (button) button->setTintColor(Color::whiteColor());
        }
        auto title = std::make_shared<Label>();
        title->setBackgroundColor(Color::clear());
        title->setTextColor(Color::whiteColor());
        title->setFont(Font::boldSystemFontOfSize(18));
        title->setText(item.title());
        title->sizeToFit();
        item.setTitleView(title);
    }
    if (auto* navigation = screen.navigationController()) {
        const Rect bounds = Screen::mainScreen().bounds();
        bool landscape = bounds.width() > bounds.height();
        navigation->navigationBar().setBackgroundImage(Image::imageNamed(
            navigationBarBackground(false, std::max(bounds.width(), bounds.height()) >= 568, landscape)));
    }
}

void MVTShareViewDelegate::didRotateFromInterfaceOrientation(ViewController& screen, bool landscape) {
    if (auto* navigation = screen.navigationController()) {
        const Rect bounds = Screen::mainScreen().bounds();
        navigation->navigationBar().setBackgroundImage(Image::imageNamed(
            navigationBarBackground(false, std::max(bounds.width(), bounds.height()) >= 568, landscape)));
    }
}

std::string MVTShareViewDelegate::navigationBarBackground(bool tablet, bool fourInchPhone, bool landscape) {
    if (tablet) return landscape ? "iPadLandscapeNavigationBarBG.png" : "iPadNavigationBarBG.png";
    if (!landscape) return "iPhoneNavigationBarBG.png";
    return fourInchPhone ? "iPhoneLandscapeNavigationBarBG-568h.png" : "iPhoneLandscapeNavigationBarBG.png";
}
