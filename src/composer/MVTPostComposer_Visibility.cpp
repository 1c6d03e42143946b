// Who sees a post: the row with the chosen audience, the sheet of the user's role and the
// last choice written to the local database (written only; every composer opens with the
// default of the role).
#include "composer/MVTPostComposerViewController.h"
#include "composer/ComposerScreen.h"

#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {


double textWidth(const std::string& text, const Font& font) {
    return TextMeasure::size(text, font, Screen::mainScreen().bounds().width()).width;
}

const Color kVisibilityHairline = Color::rgba(0.851, 0.871, 0.847);

}  // namespace

std::vector<std::string> MVTPostComposerViewController::permissionTitles(const std::string& role) {
    if (role == "teacher") return {"全校", "我的关系", "我的好友", "全校教师", "我的学生", "学生家长"};
    if (role == "student") return {"我的关系", "我的好友", "我的老师", "我的同学", "我的家长"};
    if (role == "parent") return {"我的关系", "我的好友"};
    return {};
}

void MVTPostComposerViewController::myPermissionView(double top) {
    if (permissionView) return;
    const double width = view()->bounds().width();
    permissionView = std::make_shared<View>(Rect(0, top, width, 40));
    permissionView->setBackgroundColor(Color::clear());

    const Font titleFont = Font::systemFontOfSize(16);
    const std::string heading = localized("发布到");
    auto title = std::make_shared<Label>(Rect(15, 2, textWidth(heading, titleFont), 36));
    title->setText(heading);
    title->setFont(titleFont);
    title->setTextColor(Color::rgba(0.467, 0.467, 0.467));
    title->setBackgroundColor(Color::clear());
    permissionView->addSubview(title);

    const bool teacher = composer_screen::role() == "teacher";
    permissionNum = teacher ? -1 : 0;
    const Font valueFont = Font::systemFontOfSize(14);
    const std::string value = localized(teacher ? "全校" : "我的关系");
    const double valueWidth = textWidth(value, valueFont);
    auto label = std::make_shared<Label>(Rect(width - valueWidth - 28, 2, valueWidth, 36));
    label->setTag(kPermissionLabelTag);
    label->setText(value);
    label->setFont(valueFont);
    label->setTextColor(Color::rgba(0.733, 0.733, 0.733));
    label->setBackgroundColor(Color::clear());
    label->setTextAlignment(TextAlignment::Right);
    permissionView->addSubview(label);

    auto arrow = std::make_shared<ImageView>(Rect(width - 22, 14, 12, 12));
    arrow->setImage(Image::imageNamed("dydown.png"));
    permissionView->addSubview(arrow);

    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    permissionView->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
        if (auto self = weak.lock()) self->choosePermission();
    }));
}

void MVTPostComposerViewController::myPermissionView() {
    if (permissionView) return;
    const double width = view()->bounds().width() - 20;
    permissionView = std::make_shared<View>(Rect(10, 0, width, 40));
    permissionView->setBackgroundColor(Color::clear());
    for (double y : {0.0, 39.4}) {
        auto line = std::make_shared<View>(Rect(0, y, width, 0.6));
        line->setBackgroundColor(kVisibilityHairline);
        permissionView->addSubview(line);
    }
    permissionNum = -1;
    const Font font = Font::systemFontOfSize(16);
    const std::string value = localized("全校");
    auto label = std::make_shared<Label>(Rect(2, 2, textWidth(value, font), 36));
    label->setTag(kPermissionLabelTag);
    label->setText(value);
    label->setFont(font);
    label->setTextColor(Color::black());
    label->setBackgroundColor(Color::clear());
    permissionView->addSubview(label);

    auto arrow = std::make_shared<ImageView>(Rect(Screen::mainScreen().bounds().width() - 40, 16, 18, 9));
    arrow->setImage(Image::imageNamed("dydown.png"));
    permissionView->addSubview(arrow);

    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    permissionView->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
        if (auto self = weak.lock()) self->choosePermission();
    }));
}

void MVTPostComposerViewController::choosePermission() {
    const auto titles = permissionTitles(kind() == Kind::Pic ? "teacher" : composer_screen::role());
    if (titles.empty()) return;
    std::vector<std::string> buttons;
    for (const auto& title : titles) buttons.push_back(localized(title));
    auto sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取消"), "", buttons);
    sheet->setTag(kPermissionSheetTag);
    sheet->showInView(view().get());
}

void MVTPostComposerViewController::applyPermission(long index) {
    const bool teacherCodes = kind() == Kind::Pic || composer_screen::role() == "teacher";
    const auto titles = permissionTitles(kind() == Kind::Pic ? "teacher" : composer_screen::role());
    if (index < 0 || index >= static_cast<long>(titles.size())) return;
    permissionNum = static_cast<int>(teacherCodes ? index - 1 : index);

    auto label = permissionView ? std::dynamic_pointer_cast<Label>(permissionView->viewWithTag(kPermissionLabelTag))
                                : nullptr;
    if (!label) return;
    const std::string userId = MVTAccount::sharedInstance().userId().value_or("");
    const std::string stored = std::to_string(index);
    if (!MVTtirraDataBase::selectSaveVisibleWith(userId).empty())
        MVTtirraDataBase::updateSaveVisibleWith(userId, stored);
    else
        MVTtirraDataBase::insertSaveVisible(stored, userId);

    const std::string value = localized(titles[static_cast<size_t>(index)]);
    label->setText(value);
    const Rect frame = label->frame();
    if (kind() == Kind::Pic) {
        label->setFrame({frame.minX(), frame.minY(), textWidth(value, Font::systemFontOfSize(16)), frame.height()});
    } else {
        const double width = textWidth(value, Font::systemFontOfSize(14));
        label->setTextAlignment(TextAlignment::Right);
        label->setFrame({permissionView->frame().width() - width - 28, 2, width, 36});
    }
}

void MVTPostComposerViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    switch (sheet.tag()) {
        case kPermissionSheetTag:
            if (index != sheet.cancelButtonIndex()) applyPermission(index);
            break;
        case kPictureSheetTag:
            if (index == 0)
                takePhoto();
            else if (index == 1)
                getPhotoLibrary();
            break;
        default: ViewViewController::actionSheetClickedButtonAtIndex(sheet, index); break;
    }
}
