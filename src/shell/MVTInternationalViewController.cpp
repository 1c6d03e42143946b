#include "shell/MVTInternationalViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"

#include "platform/UserDefaults.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

std::string MVTInternationalViewController::nameOf(const std::string& code, const std::string& otherwise) {
    if (code == InternationalControl::kChinese) return kChineseName;
    if (code == InternationalControl::kEnglish) return kEnglishName;
    return otherwise;
}

void MVTInternationalViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("语言设置"));
    auto back = MVTPublicMethod::navigationleftBarButton();
    std::weak_ptr<MVTInternationalViewController> weak =
        std::static_pointer_cast<MVTInternationalViewController>(shared_from_this());
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));

    InternationalControl::initUserLanguage();
    userLanguage_ = nameOf(InternationalControl::getUserlanguage(), "");
    oldLanguage_ = userLanguage_;
    dataArray_ = {localized("跟随系统"), kChineseName, kEnglishName};

    const double height = Screen::mainScreen().bounds().height() - 113;
    mytableV_ = myTableView::make(Rect(0, 0, view()->bounds().width(), height), TableViewStyle::Plain);
    mytableV_->setBackgroundColor(Color::clear());
    mytableV_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    mytableV_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableV_->setDelegate(weakAs<TableViewDelegate>().lock());
    view()->addSubview(mytableV_);
}

bool MVTInternationalViewController::rowIsChecked(int row) const {
    const bool follow = UserDefaults::standard().boolForKey(InternationalControl::kIsFollowSystemLanguage);
    if (row == 0) return follow;
    return !follow && row < int(dataArray_.size()) && dataArray_[size_t(row)] == userLanguage_;
}

int MVTInternationalViewController::numberOfRowsInSection(TableView&, int) { return int(dataArray_.size()); }

double MVTInternationalViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTInternationalViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                   const IndexPath& indexPath) {
    static const std::string identifier = "languageCell";
    auto cell = tableView.dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, identifier);
        cell->setBackgroundColor(Color::clear());
        auto line = std::make_shared<ImageView>(Rect(0, 43, Screen::mainScreen().bounds().width(), 1));
        line->setImage(Image::imageNamed("line_10"));
        cell->contentView()->addSubview(line);
    }
    const int row = indexPath.row;
    cell->textLabel()->setFont(Font::fontWithName("Helvetica", 16));
    cell->textLabel()->setText(dataArray_[size_t(row)]);
    cell->setAccessoryType(rowIsChecked(row) ? TableViewCellAccessoryType::Checkmark : TableViewCellAccessoryType::None);
    return cell;
}

void MVTInternationalViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const std::string& text = dataArray_[size_t(indexPath.row)];
    if (text == kChineseName) {
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
    } else if (text == kEnglishName) {
        InternationalControl::setUserlanguage(InternationalControl::kEnglish, false);
    } else if (text == "跟随系统" || text == kFollowSystemEnglish) {
        // The first of the system's preferred languages, followed from now on.
        InternationalControl::setUserlanguage(InternationalControl::systemPreferredLanguage(), true);
    }
    changeLanguage();
}

void MVTInternationalViewController::changeLanguage() {
    userLanguage_ = nameOf(InternationalControl::getUserlanguage(), userLanguage_);
    if (mytableV_) mytableV_->reloadData();
}

void MVTInternationalViewController::goback() {
    if (userLanguage_ != oldLanguage_) MVTAppDelegate::sharedAppDelegate()->reloadAllViewWhenLanguageHaveChanged();
    dismissViewController(true);
}
