#include "microlessons/MVTMicroLessonCell.h"

#include "core/ServiceAddress.h"
#include "shell/MVTAppDelegate.h"

#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

MVTMicroLessonCell::MVTMicroLessonCell() = default;

std::shared_ptr<MVTMicroLessonCell> MVTMicroLessonCell::make(const std::string& reuseIdentifier) {
    auto cell = std::make_shared<MVTMicroLessonCell>();
    cell->initWithStyle(TableViewCellStyle::Default, reuseIdentifier);
    return cell;
}

void MVTMicroLessonCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    const double width = Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, kRowHeight});
    strip_ = std::make_shared<ScrollView>(Rect(0, 0, width, kRowHeight));
    strip_->setBackgroundColor(Color::clear());
    strip_->setShowsVerticalScrollIndicator(false);
    contentView()->addSubview(strip_);
}

void MVTMicroLessonCell::cleanView() {
    for (const auto& sub : std::vector<std::shared_ptr<View>>(strip_->subviews()))
        if (sub->tag() >= kThumbnailTagBase) sub->removeFromSuperview();
    lessons_ = Json::array();
    strip_->setContentSize({15, kRowHeight});
}

void MVTMicroLessonCell::reuseCellWithArray(const Json& lessons) {
    lessons_ = lessons.is_array() ? lessons : Json::array();
    std::weak_ptr<MVTMicroLessonCell> weak = std::static_pointer_cast<MVTMicroLessonCell>(shared_from_this());
    const Font font = Font::systemFontOfSize(14);
    for (std::size_t i = 0; i < lessons_.size(); ++i) {
        const Json& lesson = lessons_[i];
        const double x = 10 + double(i) * kPitch;
        const int tag = int(kThumbnailTagBase) + int(i);
        const std::string resource = textOf(lesson, "resourceId");
        auto picture = std::make_shared<LazyImageView>(Rect(x, 10, kThumbnailWidth, kThumbnailHeight));
        picture->setTag(tag);
        picture->setUserInteractionEnabled(true);
        picture->setImage(Image::imageNamed("defalt316.jpg"));
        if (auto app = MVTAppDelegate::sharedAppDelegate())
            picture->setUrl(ServiceAddress::baseUrl() + "resource/view/img_thumb/" + percentEscape(resource) +
                            "?size=m&token=" + app->getTokenWith(resource));
        // A null title shows as an empty one.
        const std::string name = lesson.is_object() && lesson.contains("resourceName") &&
                                         lesson.at("resourceName").is_string()
                                     ? lesson.at("resourceName").get<std::string>()
                                     : std::string();
        const bool wraps = TextMeasure::sizeWithFont(name, font).width > kThumbnailWidth;
        auto title = std::make_shared<Label>(Rect(x, 115, kThumbnailWidth, wraps ? 40 : 20));
        title->setTag(tag);
        title->setBackgroundColor(Color::clear());
        title->setFont(font);
        title->setTextAlignment(TextAlignment::Center);
        title->setTextColor(Color::rgb255(60, 60, 60));
        title->setNumberOfLines(wraps ? 0 : 1);
        title->setText(name);
        auto tap = Button::buttonWithType(ButtonType::Custom);
        tap->setFrame({0, 0, kThumbnailWidth, kThumbnailHeight});
        tap->setTag(int(i));
        tap->setBackgroundColor(Color::clear());
        tap->setAccessibilityValue(name);
        tap->addTarget(ControlEventTouchUpInside, [weak, i](Control&) {
            auto self = weak.lock();
            if (!self) return;
            if (auto delegate = self->delegate()) delegate->showMicroLesson(self->lessons_, int(i), kMicroType);
        });
        picture->addSubview(tap);
        strip_->addSubview(picture);
        strip_->addSubview(title);
    }
    strip_->setContentOffset({0, 0});
    strip_->setContentSize({kPitch * double(lessons_.size()) + 15, kRowHeight});
}
