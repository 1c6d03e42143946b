#include "microlessons/MVTMicroLessonCell.h"

#include "core/ServiceAddress.h"
#include "shell/MVTAppDelegate.h"

#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"

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
    strip_->setContentSize({0, kRowHeight});
}

void MVTMicroLessonCell::reuseCellWithArray(const Json& lessons) {
    lessons_ = lessons.is_array() ? lessons : Json::array();
    std::weak_ptr<MVTMicroLessonCell> weak = std::static_pointer_cast<MVTMicroLessonCell>(shared_from_this());
    for (std::size_t i = 0; i < lessons_.size(); ++i) {
        const Json& lesson = lessons_[i];
        const double x = 10 + double(i) * (kThumbnailWidth + 10);
        auto thumbnail = Button::buttonWithType(ButtonType::Custom);
        thumbnail->setFrame({x, 10, kThumbnailWidth, kRowHeight - 20});
        thumbnail->setTag(int(kThumbnailTagBase) + int(i));
        thumbnail->setBackgroundColor(Color::whiteColor());
        thumbnail->setAccessibilityValue(textOf(lesson, "resourceName"));
        const std::string resource = textOf(lesson, "resourceId");
        auto picture = std::make_shared<LazyImageView>(Rect(0, 0, kThumbnailWidth, 100));
        picture->setBackgroundColor(Color::white(0.9));
        picture->setUserInteractionEnabled(false);
        if (auto app = MVTAppDelegate::sharedAppDelegate())
            picture->setUrl(ServiceAddress::baseUrl() + "resource/view/img_thumb/" + percentEscape(resource) +
                            "?size=m&token=" + app->getTokenWith(resource));
        thumbnail->addSubview(picture);
        auto title = std::make_shared<Label>(Rect(0, 104, kThumbnailWidth, 36));
        title->setBackgroundColor(Color::clear());
        title->setFont(Font::systemFontOfSize(13));
        title->setTextColor(Color::white(0.333));
        title->setNumberOfLines(2);
        title->setText(textOf(lesson, "resourceName"));
        title->setUserInteractionEnabled(false);
        thumbnail->addSubview(title);
        thumbnail->addTarget(ControlEventTouchUpInside, [weak, i](Control&) {
            auto self = weak.lock();
            if (!self) return;
            if (auto delegate = self->delegate()) delegate->showMicroLesson(self->lessons_, int(i), kMicroType);
        });
        strip_->addSubview(thumbnail);
    }
    strip_->setContentSize({10 + double(lessons_.size()) * (kThumbnailWidth + 10), kRowHeight});
}
