#include "homework/MVTHomeworkCell.h"

#include "core/MVTPublicMethod.h"
#include "homework/HomeworkAttachmentList.h"
#include "homework/HomeworkScreen.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <cmath>
#include <cstdio>

using namespace platform;

namespace {

const Color kCourseCellBorder = Color::white(0.882);
const Color kCourseCellAuthor = Color::rgb255(54, 101, 53);
constexpr double kCourseCellMeasureLimit = 200;

double courseCellWidth() { return Screen::mainScreen().bounds().width(); }
bool courseCellTeacher() { return homework::currentRole() == "teacher"; }

std::shared_ptr<Label> courseCellLabel(const Rect& frame, const Font& font, const Color& color, int lines) {
    auto label = std::make_shared<Label>(frame);
    label->setFont(font);
    label->setTextColor(color);
    label->setNumberOfLines(lines);
    label->setBackgroundColor(Color::clear());
    return label;
}

// The height of a text wrapped by character within `width`, at most 200 points high.
double courseCellMeasure(const std::string& text, const Font& font, double width) {
    return TextMeasure::sizeWithFont(text, font, Size(width, kCourseCellMeasureLimit), LineBreakMode::CharWrap).height;
}

}  // namespace

std::shared_ptr<MVTHomeworkCell> MVTHomeworkCell::make() {
    auto cell = std::make_shared<MVTHomeworkCell>();
    cell->initWithStyle(TableViewCellStyle::Default, kReuseIdentifier);
    return cell;
}

void MVTHomeworkCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    const double width = courseCellWidth();
    auto content = contentView();
    setBackgroundColor(Color::clear());
    auto weak = std::static_pointer_cast<MVTHomeworkCell>(shared_from_this());
    std::weak_ptr<MVTHomeworkCell> self = weak;

    bgView_ = std::make_shared<View>(Rect(5, 5, width - 10, 100));
    bgView_->setBackgroundColor(Color::whiteColor());
    bgView_->setBorderWidth(0.5);
    bgView_->setBorderColor(kCourseCellBorder);
    bgView_->setTag(kFrameTag);
    content->addSubview(bgView_);

    if (courseCellTeacher()) {
        sendBtn_ = Button::buttonWithType(ButtonType::Custom);
        sendBtn_->setFrame({264, 5, 50, 40});
        sendBtn_->setBackgroundColor(Color::clear());
        sendBtn_->setImage(Image::imageNamed("dydown.png"));
        sendBtn_->setImageEdgeInsets({5, 5, 5, 5});
        sendBtn_->addTarget(ControlEventTouchUpInside, [self](Control&) {
            auto cell = self.lock();
            if (!cell) return;
            if (auto delegate = cell->delegate()) delegate->showActionSheet(cell->contentView()->tag());
        });
        content->addSubview(sendBtn_);
    }

    titleLa_ = courseCellLabel({10, 10, width - 60, 20}, Font::boldSystemFontOfSize(18), homework::kTextGrey, 0);
    name_ = courseCellLabel({10, 35, 120, 20}, Font::boldSystemFontOfSize(16), kCourseCellAuthor, 1);
    content_ = courseCellLabel({10, 55, width - 20, 20}, Font::boldSystemFontOfSize(16), Color::darkGray(), 0);
    shareTargetLB_ = courseCellLabel({10, 80, width - 20, 20}, Font::systemFontOfSize(14), Color::lightGray(), 0);
    datelineLa_ = courseCellLabel({10, 100, 120, 15}, Font::systemFontOfSize(14), Color::lightGray(), 1);
    for (const auto& label : {titleLa_, name_, content_, shareTargetLB_, datelineLa_}) content->addSubview(label);

    attachBtn_ = Button::buttonWithType(ButtonType::Custom);
    attachBtn_->setFrame({255, 90, 40, 30});
    attachBtn_->setHidden(true);
    auto attachLabel = courseCellLabel({0, 5, 40, 20}, Font::boldSystemFontOfSize(12), kCourseCellAuthor, 1);
    attachLabel->setText("附件");
    attachLabel->setBackgroundColor(Color::whiteColor());
    attachLabel->setTextAlignment(TextAlignment::Center);
    attachLabel->setCornerRadius(2);
    attachLabel->setBorderWidth(0.5);
    attachLabel->setBorderColor(kCourseCellBorder);
    attachLabel->setUserInteractionEnabled(false);
    attachBtn_->addSubview(attachLabel);
    attachBtn_->addTarget(ControlEventTouchUpInside, [self](Control& control) {
        auto cell = self.lock();
        if (!cell) return;
        if (auto delegate = cell->delegate()) delegate->toSaveShowAttachWith(control.tag());
    });
    content->addSubview(attachBtn_);

    // The waiting animation of the "more" row sits near the top of its 40-point strip.
    content->setAccessibilityHint("homework");
    MVTPublicMethod::showWaitAnimation(content, false);

    moreLa_ = courseCellLabel({10, 5, width - 20, 30}, Font::boldSystemFontOfSize(14), Color::gray(), 1);
    moreLa_->setTextAlignment(TextAlignment::Center);
    againBtn_ = Button::buttonWithType(ButtonType::Custom);
    againBtn_->setFrame({0, 0, width, 40});
    againBtn_->setBackgroundColor(Color::clear());
    againBtn_->addTarget(ControlEventTouchUpInside, [self](Control&) {
        auto cell = self.lock();
        if (!cell) return;
        if (auto delegate = cell->delegate()) delegate->toAgainGetListData();
    });
}

void MVTHomeworkCell::reloadDataWith(const Json& row, int index, const std::string& showAttach, bool isMore,
                                     bool isLoad, bool isFalse) {
    if (isMore)
        fillMore(isLoad, isFalse);
    else
        fillHomework(row, index, showAttach);
}

void MVTHomeworkCell::fillHomework(const Json& row, int index, const std::string& showAttach) {
    const double width = courseCellWidth();
    const bool teacher = courseCellTeacher();
    auto content = contentView();
    MVTPublicMethod::stopWaitAnimation(content);
    moreLa_->removeFromSuperview();
    againBtn_->removeFromSuperview();
    content->setTag(index);
    // A cell that showed the "more" row lost its views: they come back.
    for (const auto& view : std::initializer_list<std::shared_ptr<View>>{titleLa_, name_, content_, datelineLa_})
        if (view->superview().get() != content.get()) content->addSubview(view);

    // Title and the top K of the author line.
    double top = 35;
    const std::string title = textOf(row, "title");
    if (title == "<null>" || title.empty() || title == "(null)") {
        titleLa_->setText(localized("无题"));
        titleLa_->setFrame({10, 10, width - 60, 20});
    } else {
        const double titleWidth = teacher ? width - 60 : width - 20;
        const double h = courseCellMeasure(title, titleLa_->font(), titleWidth);
        titleLa_->setText(title);
        titleLa_->setFrame({10, 10, titleWidth, h});
        top = std::trunc(h + 10) + 5;
    }
    if (teacher && sendBtn_ && sendBtn_->superview().get() != content.get()) content->addSubview(sendBtn_);

    name_->setFrame({10, top, 120, 20});
    name_->setText(textOf(row, "name"));

    // Text: an empty text takes no room.
    const std::string text = textOf(row, "content");
    content_->setText(text);
    double s = top + 20;
    const double textHeight = courseCellMeasure(text, content_->font(), width - 20);
    if (textHeight < 19) {
        content_->setFrame({10, s, width - 20, 0});
    } else {
        content_->setFrame({10, s, width - 20, textHeight});
        s = std::trunc(s + textHeight);
    }

    // Classes the homework is assigned to, teachers only.
    double y = s + 5;
    shareTargetLB_->removeFromSuperview();
    if (teacher) {
        std::string classes;
        const Json& targets = valueFor(row, "shareTargets");
        if (targets.is_array())
            for (const auto& target : targets) {
                if (!classes.empty()) classes += ",";
                classes += textOf(target, "name");
            }
        if (!classes.empty()) {
            const std::string line = homework::fill(localized("作业班级:%@"), {classes});
            const double h = courseCellMeasure(line, shareTargetLB_->font(), width - 20);
            shareTargetLB_->setText(line);
            shareTargetLB_->setFrame({10, s + 5, width - 20, h});
            content->addSubview(shareTargetLB_);
            y = std::trunc(s + 5 + h + 5);
        }
    }

    datelineLa_->setFrame({10, y, 120, 15});
    auto app = MVTAppDelegate::sharedAppDelegate();
    datelineLa_->setText(app ? app->getDateWith(textOf(row, "dateline")) : textOf(row, "dateline"));

    // Attachments.
    std::vector<std::shared_ptr<View>> old;
    for (const auto& view : content->subviews())
        if (view->tag() == kAttachmentTag) old.push_back(view);
    for (const auto& view : old) view->removeFromSuperview();
    content->addSubview(attachBtn_);
    attachBtn_->setEnabled(true);
    attachBtn_->setTag(index);
    double bottom = y + 15;
    const Json& attachments = valueFor(row, "resList");
    if (attachments.is_array() && !attachments.empty()) {
        attachBtn_->setFrame({270, y, 40, 30});
        attachBtn_->setHidden(false);
        if (intValue(Json(showAttach)) != 0) {
            int i = 0;
            for (const auto& attachment : attachments) {
                auto button = getAttachButtonWith(attachment);
                button->setFrame({20, y + 35 + 45.0 * i, width - 40, 40});
                content->addSubview(button);
                ++i;
            }
            bottom = y + 35 + 45.0 * static_cast<double>(attachments.size());
        } else {
            bottom = y + 30;
        }
    } else {
        attachBtn_->setHidden(true);
    }

    bgView_->setFrame({5, 5, width - 10, bottom});
    setFrame({0, 0, width, bottom + 5});
}

void MVTHomeworkCell::fillMore(bool isLoad, bool isFalse) {
    const double width = courseCellWidth();
    auto content = contentView();
    std::vector<std::shared_ptr<View>> others;
    for (const auto& view : content->subviews())
        if (view->tag() != kFrameTag) others.push_back(view);
    for (const auto& view : others) view->removeFromSuperview();

    content->addSubview(moreLa_);
    if (isLoad) {
        MVTPublicMethod::stopWaitAnimation(content);
        if (isFalse) {
            moreLa_->setText(localized("点击重新加载"));
            content->addSubview(againBtn_);
        } else {
            moreLa_->setText(localized("已加载全部"));
        }
    } else {
        MVTPublicMethod::showWaitAnimation(content, false);
        moreLa_->setText(std::string("      ") + localized("更多..."));
    }
    bgView_->setFrame({5, 5, width - 10, 30});
    setFrame({0, 0, width, 40});
}

std::shared_ptr<Button> MVTHomeworkCell::getAttachButtonWith(const Json& attachment) {
    const double width = courseCellWidth();
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({20, 0, width - 40, 40});
    button->setTag(kAttachmentTag);
    button->setBackgroundColor(Color::clear());
    button->setCornerRadius(2);
    button->setBorderWidth(0.5);
    button->setBorderColor(kCourseCellBorder);
    button->setClipsToBounds(true);
    std::string suffix = textOf(attachment, "suffix");
    for (auto& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    button->setAccessibilityHint(textOf(attachment, "id"));
    button->setAccessibilityLabel(suffix);
    button->setTitle(textOf(attachment, "resourceName"));
    button->setTitleColor(Color::clear());
    std::weak_ptr<MVTHomeworkCell> self = std::static_pointer_cast<MVTHomeworkCell>(shared_from_this());
    button->addTarget(ControlEventTouchUpInside, [self](Control& control) {
        auto cell = self.lock();
        if (!cell) return;
        if (auto delegate = cell->delegate()) delegate->toDownLoadAttachsWith(static_cast<Button&>(control));
    });

    auto icon = std::make_shared<ImageView>(Rect(5, 10, 20, 20));
    icon->setImage(Image::imageNamed(iconNameForSuffix(suffix)));
    icon->setUserInteractionEnabled(false);
    button->addSubview(icon);
    auto name = courseCellLabel({30, 0, width / 2 + 20, 40}, Font::systemFontOfSize(14), Color::darkGray(), 0);
    name->setText(textOf(attachment, "resourceName"));
    name->setUserInteractionEnabled(false);
    button->addSubview(name);
    auto size = courseCellLabel({width - 100, 0, 100, 40}, Font::systemFontOfSize(14), Color::darkGray(), 0);
    size->setText(sizeText(valueFor(attachment, "size")));
    size->setUserInteractionEnabled(false);
    button->addSubview(size);
    return button;
}

std::string MVTHomeworkCell::iconNameForSuffix(const std::string& suffix) {
    std::string type = suffix;
    for (auto& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (type == "amr") return "icon_52.png";
    return HomeworkAttachmentList::iconNameForSuffix(type, "link.png");
}

std::string MVTHomeworkCell::sizeText(const Json& size) {
    const long long bytes = size.is_discarded() || size.is_null() ? 0 : integerValue(size);
    if (bytes <= 0) return localized("未知");
    char text[64];
    if (bytes < 1048576) {
        if (bytes > 1024)
            std::snprintf(text, sizeof text, "%.1fKB", static_cast<double>(static_cast<float>(bytes) / 1024.0f));
        else
            std::snprintf(text, sizeof text, "%lldB", bytes);
    } else {
        std::snprintf(text, sizeof text, "%.1fMB", static_cast<double>(static_cast<float>(bytes) / 1048576.0f));
    }
    return text;
}
