// The question cell's texts: the fill-in text with its blank fields, pictures inside a
// text (formula pictures from their file cache or the service), links, and the analysis
// box with the right answer in words.
#include "tests/MVTStudentCourseCell.h"

#include "core/ServiceAddress.h"
#include "homework/HomeworkScreen.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Application.h"
#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/UrlRequest.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

using namespace platform;

namespace {

const Color kTextFieldGrey = Color::white(0.949);
constexpr std::size_t kQuestionLargestPicture = 4u * 1024 * 1024;
constexpr double kQuestionPictureTimeout = 15;

double textCellWidth() { return Screen::mainScreen().bounds().width(); }

std::filesystem::path formulaPath(const std::string& key) {
    return Paths::documentsDirectory() / quiz::formulaFileName(key);
}

void showFetchedPicture(LazyImageView& view, const ImageRef& image) {
    view.setImage(image);
    view.setBackgroundColor(Color::clear());
    view.setClipsToBounds(false);
    view.setContentMode(ContentMode::ScaleAspectFit);
}

}  // namespace

double MVTStudentCourseCell::setNewFieldViewWith(double y, const std::string& text, const Json& answers) {
    const double W = textCellWidth();
    for (auto& piece : quiz::fillInPieces(text)) fieldQusArr_.push_back(std::move(piece));
    imageMaxW_ = W - 20;
    bool ok = false;
    auto view = makeHtmlView({5, y + 5, W - 20, 20}, quiz::fillInHtml(fieldQusArr_, answers, imageMaxW_), 1.2, true, &ok);
    bgView_->addSubview(view);
    return ok ? y + 5 + view->frame().height() + 5 : y + 5;
}

std::shared_ptr<View> MVTStudentCourseCell::viewForAttachment(HtmlTextView&, const HtmlAttachment& attachment,
                                                              const Rect& frame) {
    const Size display = quiz::displaySize(frame.width(), frame.height(), imageMaxW_);
    auto picture = std::make_shared<LazyImageView>(frame);
    picture->setDisplaySize(display);
    picture->setBackgroundColor(Color::white(0.961));
    if (attachment.image) picture->setImage(attachment.image);
    if (attachment.source.empty()) return picture;

    picture->setAccessibilityValue(attachment.source);
    picture->setBackgroundColor(Color::clear());
    if (attachment.source == quiz::kBlankPlaceholder) {
        auto field = std::make_shared<TextField>(Rect(0, 0, display.width, 24));
        field->setBackgroundColor(kTextFieldGrey);
        field->setBorderStyle(TextBorderStyle::None);
        field->setTextAlignment(TextAlignment::Center);
        field->setAutocorrection(false);
        field->setKeyboardType(KeyboardType::Default);
        field->setReturnKeyType(ReturnKeyType::Done);
        field->setFont(Font::fontWithName("Helvetica", 18));
        field->setDelegate(std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this()));
        picture->setUserInteractionEnabled(true);
        picture->addSubview(field);
        fieldArr_.push_back(field);
        if (didSubmit_) {
            if (studentAnswerArr_.size() >= fieldArr_.size())
                field->setText(textOf(studentAnswerArr_[fieldArr_.size() - 1], "text"));
            field->setEnabled(false);
        }
        return picture;
    }

    const std::string address = quiz::restoreImageSources(attachment.source);
    picture->setAccessibilityValue(address);
    if (auto key = quiz::formulaKey(address); key && std::filesystem::exists(formulaPath(*key))) {
        // A cached file is shown as it is; one that cannot be read shows nothing and is
        // not fetched again.
        picture->setImage(Image::imageWithContentsOfFile(formulaPath(*key)));
        picture->setBackgroundColor(Color::clear());
        return picture;
    }
    toGetUrlImageWith(picture);
    return picture;
}

void MVTStudentCourseCell::toGetUrlImageWith(const std::shared_ptr<LazyImageView>& view) {
    const std::string address = view->accessibilityValue();
    if (!quiz::isWebAddress(address)) return;
    const bool formula = address.find("img_src/") != std::string::npos;
    const std::optional<std::string> key = formula ? quiz::formulaKey(address) : std::nullopt;
    std::weak_ptr<LazyImageView> weak = view;
    dispatchBackground([weak, address, key] {
        std::string url = address;
        if (key) {
            auto app = MVTAppDelegate::sharedAppDelegate();
            url = address + "?token=" + (app ? app->getTokenWith(*key) : std::string());
        }
        UrlRequest request(url);
        request.setTimeoutInterval(kQuestionPictureTimeout);
        HttpResponse response = HttpEngine::shared().fetch(request, kQuestionLargestPicture);
        if (!response.ok()) return;
        auto image = Image::imageWithData(response.body);
        if (!image) return;
        dispatchMain([weak, image, key, bytes = std::move(response.body)] {
            if (auto view = weak.lock()) showFetchedPicture(*view, image);
            // Written once: a file already there (another question's fetch) stays.
            if (!key || std::filesystem::exists(formulaPath(*key))) return;
            std::error_code error;
            std::filesystem::create_directories(Paths::documentsDirectory(), error);
            writeFileAtomically(formulaPath(*key), bytes);
        });
    });
}

std::shared_ptr<View> MVTStudentCourseCell::viewForLink(HtmlTextView&, const HtmlLink& link, const Rect& frame) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({frame.x(), frame.y(), std::max(frame.width(), 25.0), std::max(frame.height(), 25.0)});
    button->setBackgroundColor(Color::clear());
    button->setAccessibilityValue(link.url);
    button->setAccessibilityIdentifier(link.identifier);
    button->addTarget(ControlEventTouchUpInside, [](Control& control) { linkPushed(static_cast<Button&>(control)); });
    return button;
}

void MVTStudentCourseCell::linkPushed(Button& button) {
    const std::string address = button.accessibilityValue();
    if (quiz::isWebAddress(address)) Application::shared().openURL(address);
}

double MVTStudentCourseCell::showAnalysis(const std::string& text, double y, bool right) {
    const double W = textCellWidth();
    auto box = std::make_shared<View>(Rect(0, y, W - 10, 30));
    box->setBackgroundColor(kTextFieldGrey);
    std::string shown = text;
    if (!right) {
        if (type_ == quiz::kFree) {
            shown = text.empty() ? localized("合理即可") : text;
        } else if (type_ >= 0 && type_ < quiz::kKindCount) {
            const std::string words = quiz::answerInWords(type_, teacherAnswerArr_, fieldQusArr_);
            shown = text.empty() ? homework::fill("%@：%@", {localized("答案"), words})
                                 : homework::fill("%@<li>%@：%@</li>", {text, localized("答案"), words});
        } else {
            shown.clear();
        }
    }
    imageMaxW_ = W - 20;
    analysisView_ = makeHtmlView({5, y + 5, W - 20, 20}, quiz::replaceStringWith(shown), 1.1, false);
    double result = y + 30;
    if (analysisView_->frame().height() > 20) {
        box->setFrame({0, y, W - 10, analysisView_->frame().height() + 10});
        result = y + analysisView_->frame().height() + 10;
    }
    bgView_->addSubview(box);
    bgView_->addSubview(analysisView_);
    return result;
}

double MVTStudentCourseCell::setFieldViewWith(double y, const std::string& text, const Json& answers) {
    const double W = textCellWidth();
    const std::size_t perLine = std::max<std::size_t>(1, std::size_t(W / 320 * 21));
    std::vector<std::string> pieces = quiz::fillInPieces(text);
    for (const auto& piece : pieces) fieldQusArr_.push_back(piece);
    const bool startsWithBlank = !text.empty() && text.front() == '_';
    const std::size_t blanks = answers.is_array() ? answers.size() : 0;
    double x = 10, line = y;
    auto place = [&](const std::shared_ptr<View>& view, double width) {
        if (x + width > W - 10 && x > 10) {
            x = 10;
            line += 30;
        }
        view->setFrame({x, line + (view->frame().height() == 25 ? 0 : 2.5), width, view->frame().height()});
        bgView_->addSubview(view);
        x += width;
    };
    auto placePiece = [&](const std::string& piece) {
        // Cut into lines of `perLine` characters.
        const std::u16string units = toUtf16(piece);
        for (std::size_t at = 0; at < units.size(); at += perLine) {
            const std::string part = fromUtf16(units.substr(at, perLine));
            auto label = std::make_shared<Label>(Rect(0, 0, 0, 20));
            label->setBackgroundColor(Color::clear());
            label->setTextColor(Color::darkGray());
            label->setText(part);
            place(label, TextMeasure::sizeWithFont(part, label->font()).width);
        }
    };
    auto placeField = [&](std::size_t index) {
        const std::string answer = textOf(answers[index], "text");
        double width = std::max(40.0, TextMeasure::sizeWithFont(answer, Font::systemFontOfSize(14)).width + 5);
        if (width > W) width = W - 20;
        auto field = std::make_shared<TextField>(Rect(0, 0, width, 25));
        field->setTextAlignment(TextAlignment::Center);
        field->setReturnKeyType(ReturnKeyType::Done);
        field->setTag(10000 + int(index));
        field->setDelegate(std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this()));
        fieldArr_.push_back(field);
        if (didSubmit_) {
            if (index < studentAnswerArr_.size()) field->setText(textOf(studentAnswerArr_[index], "text"));
            field->setEnabled(false);
        }
        place(field, width);
    };
    std::size_t piece = 0, blank = 0;
    if (startsWithBlank && blank < blanks) placeField(blank++);
    while (piece < pieces.size() || blank < blanks) {
        if (piece < pieces.size()) placePiece(pieces[piece++]);
        if (blank < blanks) placeField(blank++);
    }
    return line + 30;
}
