#include "me/MVTUniversalViewSettingViewController.h"

#include "me/MVTNewsAlertViewController.h"
#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"
#include "shell/MVTInternationalViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/StatisticsKit.h"
#include "platform/UserDefaults.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

namespace {
constexpr const char* kSystemSettingsPage = "系统设置";
}

void MVTUniversalViewSettingViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kSystemSettingsPage);
    setTitle(localized("系统设置"));
    std::weak_ptr<MVTUniversalViewSettingViewController> weak = weakAs<MVTUniversalViewSettingViewController>();
    space::installBackButton(*this, [weak] {
        if (auto self = weak.lock()) self->goback();
    });
    myArray_ = {localized("消息提醒"), localized("语言设置")};
    const Rect bounds = view()->bounds();
    mytableView_ = myTableView::make({0, 0, Screen::mainScreen().bounds().width(), bounds.height() - 44 - SDH},
                                     TableViewStyle::Plain);
    auto self = std::static_pointer_cast<MVTUniversalViewSettingViewController>(shared_from_this());
    mytableView_->setDataSource(self);
    mytableView_->setDelegate(self);
    view()->addSubview(mytableView_);
}

void MVTUniversalViewSettingViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (mytableView_) mytableView_->reloadData();
}

void MVTUniversalViewSettingViewController::goback() {
    StatisticsKit::shared().endLogPageView(kSystemSettingsPage);
    dismissViewController(true);
}

std::string MVTUniversalViewSettingViewController::languageText() {
    if (UserDefaults::standard().boolForKey(InternationalControl::kIsFollowSystemLanguage)) return "跟随系统";
    InternationalControl::initUserLanguage();
    return InternationalControl::userLanguage() == InternationalControl::kEnglish ? "English" : "简体中文";
}

int MVTUniversalViewSettingViewController::numberOfRowsInSection(TableView&, int) { return int(myArray_.size()); }

double MVTUniversalViewSettingViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) {
    return kRowHeight;
}

std::shared_ptr<TableViewCell> MVTUniversalViewSettingViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                            const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    // A reused row starts empty.
    for (auto& sub : std::vector<std::shared_ptr<View>>(cell->contentView()->subviews())) sub->removeFromSuperview();
    const double W = Screen::mainScreen().bounds().width();
    auto title = std::make_shared<Label>(Rect(15, 0, W - 140, kRowHeight));
    title->setBackgroundColor(Color::clear());
    title->setFont(Font::fontWithName("Helvetica", 16));
    if (indexPath.row >= 0 && indexPath.row < int(myArray_.size())) title->setText(myArray_[std::size_t(indexPath.row)]);
    cell->contentView()->addSubview(title);
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    auto line = std::make_shared<ImageView>(Rect(0, 44, W + 90, 1));
    line->setImage(Image::imageNamed("line_10"));
    cell->contentView()->addSubview(line);
    if (indexPath.row == 1) {
        auto language = std::make_shared<Label>(Rect(W - 110, 12, 80, 20));
        language->setBackgroundColor(Color::clear());
        language->setTextAlignment(TextAlignment::Right);
        language->setTextColor(Color::rgb255(170, 170, 170));
        language->setFont(Font::systemFontOfSize(14));
        language->setTag(kLanguageLabelTag);
        language->setText(languageText());
        cell->contentView()->addSubview(language);
    }
    return cell;
}

void MVTUniversalViewSettingViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    std::shared_ptr<ViewController> next;
    if (indexPath.row == 0) next = std::make_shared<MVTNewsAlertViewController>();
    else if (indexPath.row == 1) next = std::make_shared<MVTInternationalViewController>();
    if (next) presentViewController(myNavigationController::withRoot(next), true);
}
