#include "details/MVTPraseMeCell.h"

#include "details/MVTRelevantMeCell.h"
#include "details/ReferMeViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "feed/PostRecord.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <algorithm>
#include <cctype>

using namespace platform;

namespace {

std::shared_ptr<Label> praiseLabel(const Rect& frame, const Font& font, const Color& colour, const std::string& text) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(font);
    label->setTextColor(colour);
    label->setText(text);
    return label;
}

}  // namespace

std::string MVTPraseMeCell::actionTextFor(const std::string& module) {
    if (module.empty()) return {};
    std::string name = ReferMeViewController::moduleNameFor(module);
    // A module without a name of its own is named by its code.
    if (name.empty()) name = module;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return post::fill(localized("赞了你的%@"), {name});
}

std::shared_ptr<MVTPraseMeCell> MVTPraseMeCell::initWithtDict(const Json& record, const std::string& identifier) {
    auto cell = std::make_shared<MVTPraseMeCell>();
    cell->initWithStyle(TableViewCellStyle::Default, identifier);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(Color::clear());
    cell->reuseCellWithDic(record);
    return cell;
}

void MVTPraseMeCell::reuseCellWithDic(const Json& record) {
    dataDic_ = record.is_object() ? record : Json::object();
    for (const auto& view : contentView()->subviews()) view->removeFromSuperview();
    actionLabel_.reset();
    picture_.reset();
    layoutRecord();
}

void MVTPraseMeCell::layoutRecord() {
    const double W = Screen::mainScreen().bounds().width();
    auto content = contentView();
    auto background = std::make_shared<View>(Rect(0, 0, W, kHeight));
    background->setBackgroundColor(Color::white(0.961));
    content->addSubview(background);

    const std::string uid = textOf(dataDic_, "uid"), role = textOf(dataDic_, "role");
    auto avatar = std::make_shared<Button>(Rect(10, 10, 40, 40));
    avatar->setBackgroundColor(Color::clear());
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setImage(Image::imageNamed("default_user"));
    avatar->setAccessibilityHint(uid);
    avatar->setAccessibilityValue(role);
    std::weak_ptr<MVTPraseMeCell> weak = std::static_pointer_cast<MVTPraseMeCell>(shared_from_this());
    avatar->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->clickHeadBtn();
    });
    content->addSubview(avatar);
    // The cache file is named by the id read as a number: no id names another file.
    MVTPublicMethod::setFaceImage(
        avatar, MVTPublicMethod::getPathByFileName(std::to_string(integerValue(Json(uid))), "png"), role);

    content->addSubview(
        praiseLabel({60, 10, 200, 20}, Font::systemFontOfSize(16), Color::rgb255(54, 101, 53), textOf(dataDic_, "name")));
    content->addSubview(praiseLabel({60, 30, 160, 20}, Font::systemFontOfSize(12), Color::gray(),
                                    MVTAppDelegate::sharedAppDelegate()->getDateWith(valueFor(dataDic_, "dateline"))));
    actionLabel_ = praiseLabel({60, 55, 200, 20}, Font::systemFontOfSize(16), Color::black(),
                               MVTPublicMethod::stringIsClassNull(valueFor(dataDic_, "module_type"))
                                   ? std::string()
                                   : actionTextFor(textOf(dataDic_, "module_type")));
    content->addSubview(actionLabel_);

    const Json& resource = valueFor(dataDic_, "resourceId");
    if (MVTRelevantMeCell::noNullOrSpaceWith(resource)) {
        const std::string id = textOf(resource);
        picture_ = std::make_shared<ImageView>(Rect(W - 95, 10, 85, 65));
        const long long number = integerValue(Json(id));
        if (number >= 51 && number <= 59) {
            picture_->setImage(Image::imageNamed("feeling_" + std::to_string(number - 50)));
            picture_->setContentMode(ContentMode::ScaleAspectFit);
            picture_->setBackgroundColor(Color::whiteColor());
        } else {
            picture_->setContentMode(ContentMode::ScaleAspectFill);
            picture_->setClipsToBounds(true);
            picture_->setBackgroundColor(Color::lightGray());
            MVTRelevantMeCell::showThumbnail(picture_, id);
        }
        content->addSubview(picture_);
    }

    auto line = std::make_shared<View>(Rect(10, 84.4, W - 20, 0.6));
    line->setBackgroundColor(Color::rgb255(217, 222, 216));
    content->addSubview(line);
    setFrame({0, 0, W, kHeight});
}

void MVTPraseMeCell::clickHeadBtn() {
    if (auto list = delegate()) list->chooseNamed(Json{{"id", valueFor(dataDic_, "uid")}, {"name", valueFor(dataDic_, "name")}});
}
