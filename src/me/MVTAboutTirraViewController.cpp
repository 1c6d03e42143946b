#include "me/MVTAboutTirraViewController.h"

#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"

#include "platform/StatisticsKit.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

namespace {
constexpr const char* kAboutPage = "关于岚溪";
// The maker's notice, two lines, as it stands in every language.
constexpr const char* kLegalNotice = "岚溪校讯 版权所有\nCopyright © 2013-2026 Lanxi. All Rights Reserved.";
}  // namespace

MVTAboutTirraViewController::MVTAboutTirraViewController() = default;
MVTAboutTirraViewController::~MVTAboutTirraViewController() = default;

std::string MVTAboutTirraViewController::productLine() {
    return localized("岚溪校讯V") + MVTAppDelegate::bundleShortVersionString();
}

void MVTAboutTirraViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kAboutPage);
    setTitle(localized("关于岚溪"));
    std::weak_ptr<MVTAboutTirraViewController> weak = weakAs<MVTAboutTirraViewController>();
    space::installBackButton(*this, [weak] {
        if (auto self = weak.lock()) self->goback();
    });
    setInfoArray_ = {localized("检测新版本")};
    initmyTable();
}

void MVTAboutTirraViewController::viewDidAppear(bool animated) {
    ViewViewController::viewDidAppear(animated);
    if (appeared_) return;
    appeared_ = true;
    showIntroOnce();
}

// The first visit after an install or an update shows the intro over the page.
void MVTAboutTirraViewController::showIntroOnce() {
    if (!MVTIntroViewController::isNewVersion()) return;
    introViewController_ = std::make_shared<MVTIntroViewController>();
    introViewController_->init();
    introViewController_->setIsShowDismissButton(true);
    introViewController_->setDelegate(std::static_pointer_cast<MVTIntroViewControllerDelegate>(
        std::static_pointer_cast<MVTAboutTirraViewController>(shared_from_this())));
    auto* navigation = navigationController();
    auto host = navigation ? navigation->view() : view();
    host->addSubview(introViewController_->view());
}

void MVTAboutTirraViewController::introViewControllerWillDismiss() { introViewController_.reset(); }

void MVTAboutTirraViewController::goback() {
    StatisticsKit::shared().endLogPageView(kAboutPage);
    dismissViewController(true);
}

void MVTAboutTirraViewController::initmyTable() {
    if (myTable_) {
        myTable_->reloadData();
        return;
    }
    const Rect screen = Screen::mainScreen().bounds();
    const double W = screen.width();
    myTable_ = myTableView::make({0, 0, W, screen.height() - 64}, TableViewStyle::Plain);
    myTable_->setShowsVerticalScrollIndicator(false);
    myTable_->setShowsHorizontalScrollIndicator(false);
    auto self = std::static_pointer_cast<MVTAboutTirraViewController>(shared_from_this());
    myTable_->setDataSource(self);
    myTable_->setDelegate(self);

    auto header = std::make_shared<View>(Rect(0, 0, W, 100));
    header->setBackgroundColor(Color::clear());
    auto logo = std::make_shared<ImageView>(Rect((W - 164) / 2, 30, 164, 44));
    logo->setImage(Image::imageNamed("about-logo.png"));
    header->addSubview(logo);
    auto name = std::make_shared<Label>(Rect(0, 74, W - 15, 30));
    name->setBackgroundColor(Color::clear());
    name->setFont(Font::fontWithName("Helvetica", 16));
    name->setTextColor(Color::black());
    name->setTextAlignment(TextAlignment::Center);
    name->setText(productLine());
    header->addSubview(name);
    myTable_->setTableHeaderView(header);

    auto footer = std::make_shared<View>(Rect(0, 0, W, 100));
    footer->setBackgroundColor(Color::clear());
    termsButton_ = Button::buttonWithType(ButtonType::Custom);
    termsButton_->setFrame({0, 10, W - 15, 44});
    termsButton_->setBackgroundColor(Color::clear());
    termsButton_->setTitle(localized("使用条款和隐私政策"));
    termsButton_->setTitleColor(Color::rgb255(0, 156, 216));
    termsButton_->titleLabel()->setFont(Font::boldSystemFontOfSize(12));
    std::weak_ptr<MVTAboutTirraViewController> weak = self;
    termsButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto page = weak.lock()) page->toShowWeb();
    });
    footer->addSubview(termsButton_);
    auto notice = std::make_shared<Label>(Rect(0, 44, W - 15, 30));
    notice->setBackgroundColor(Color::clear());
    notice->setFont(Font::boldSystemFontOfSize(10));
    notice->setTextColor(Color::lightGray());
    notice->setTextAlignment(TextAlignment::Center);
    notice->setNumberOfLines(0);
    notice->setText(kLegalNotice);
    footer->addSubview(notice);
    myTable_->setTableFooterView(footer);
    view()->addSubview(myTable_);
}

int MVTAboutTirraViewController::numberOfRowsInSection(TableView&, int) { return int(setInfoArray_.size()); }
double MVTAboutTirraViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 44; }
double MVTAboutTirraViewController::heightForHeaderInSection(TableView&, int) { return 15; }
double MVTAboutTirraViewController::heightForFooterInSection(TableView&, int) { return 0; }

std::shared_ptr<View> MVTAboutTirraViewController::viewForHeaderInSection(TableView&, int) {
    auto header = std::make_shared<View>(Rect(0, 0, Screen::mainScreen().bounds().width(), 15));
    header->setBackgroundColor(Color::clear());
    return header;
}

std::shared_ptr<TableViewCell> MVTAboutTirraViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                  const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    const double W = Screen::mainScreen().bounds().width();
    auto background = std::make_shared<View>(Rect(0, 0, W, 44));
    background->setBackgroundColor(Color::whiteColor());
    auto line = std::make_shared<View>(Rect(0, 43.4, W, 0.6));
    line->setBackgroundColor(Color::rgb255(217, 222, 216));
    background->addSubview(line);
    cell->setBackgroundView(background);
    if (indexPath.row >= 0 && indexPath.row < int(setInfoArray_.size()))
        cell->textLabel()->setText(setInfoArray_[std::size_t(indexPath.row)]);
    cell->textLabel()->setFont(Font::fontWithName("Helvetica", 14));
    cell->textLabel()->setTextColor(Color::rgb255(119, 119, 119));
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

void MVTAboutTirraViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    toupdate();
}

void MVTAboutTirraViewController::showHUDWithBool(bool show) { space::showOverlay(HUD_, view(), show); }

void MVTAboutTirraViewController::toupdate() {
    showHUDWithBool(true);
    const std::string running = MVTAppDelegate::bundleShortVersionString();
    std::weak_ptr<MVTAboutTirraViewController> weak = weakAs<MVTAboutTirraViewController>();
    const bool sent = space::sendJson(
        "GET", "config/iphone-version", nullptr,
        [weak, running](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            // An empty object says nothing; anything else that offers nothing newer is
            // answered as the newest version.
            if (reply.is_object() && reply.empty()) return;
            auto offer = MVTAppDelegate::versionOfferFor(reply, running);
            if (!offer) {
                AlertView::make(localized("当前为最新版本。"), "", {}, localized("知道了"))->show();
                return;
            }
            MVTAppDelegate::showVersionOffer(*offer, weak);
        },
        // A check that fails shows nothing but the overlay going.
        [weak] {
            if (auto self = weak.lock()) self->showHUDWithBool(false);
        });
    if (!sent) showHUDWithBool(false);
}

void MVTAboutTirraViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    MVTAppDelegate::openVersionOffer(alert, index);
}
