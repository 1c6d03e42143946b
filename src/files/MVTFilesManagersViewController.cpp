#include "files/MVTFilesManagersViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"

#include "platform/StatisticsKit.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Screen.h"

using namespace platform;

void MVTFilesManagersViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    const Rect screen = Screen::mainScreen().bounds();
    setTitle(localized("班级文件"));
    searchBar_ = std::make_shared<SearchBar>(Rect(0, 0, screen.width(), 40));
    searchBar_->setPlaceholder(localized("输入文件名/上传者姓名"));
    searchBar_->setDelegate(weakAs<SearchBarDelegate>());
    view()->addSubview(searchBar_);
    buildLibrary(40, screen.height() - 144);
}

std::string MVTFilesManagersViewController::listUrl() const {
    const std::string userId = MVTAccount::sharedInstance().userId().value_or("");
    std::string url = ServiceAddress::servicePrefix() + "user/" + userId + "/class/lib/list";
    if (!searchName_.empty()) url += "?name=" + MVTPublicMethod::encodeURLWhenChinese(searchName_);
    return url;
}

bool MVTFilesManagersViewController::canUpload() const {
    return MVTAccount::sharedInstance().role().value_or("") == "teacher";
}

std::string MVTFilesManagersViewController::uploadUrl() const {
    return ServiceAddress::servicePrefix() + "user/" + MVTAccount::sharedInstance().userId().value_or("") +
           "/class/lib/save";
}

void MVTFilesManagersViewController::searchBarTextDidBeginEditing(SearchBar&) {
    const double W = Screen::mainScreen().bounds().width();
    const bool chinese = InternationalControl::userLanguage() == "zh-Hans";
    searchBar_->setFrame({0, 0, W - (chinese ? 50 : 60), 40});
    if (!cancelButton_) {
        cancelButton_ = Button::buttonWithType(ButtonType::Custom);
        cancelButton_->setFrame({W - (chinese ? 50 : 60), 5, chinese ? 44.0 : 54.0, 30});
        cancelButton_->setTitle(localized("取消"));
        cancelButton_->titleLabel()->setFont(Font::systemFontOfSize(14));
        cancelButton_->setTitleColor(Color::white(0.467));
        auto weak = weakAs<MVTFilesManagersViewController>();
        cancelButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->cancelSearchBar();
        });
    }
    view()->addSubview(cancelButton_);
}

void MVTFilesManagersViewController::searchBarSearchButtonClicked(SearchBar&) {
    searchBar_->resignFirstResponder();
    searchName_ = searchBar_->text();
    StatisticsKit::shared().beginLogPageView("搜索");
    clearSections();
    if (refreshing_) reloadAfterLoad_ = true;
    getDataObjects("");
}

void MVTFilesManagersViewController::cancelSearchBar() {
    if (cancelButton_) cancelButton_->removeFromSuperview();
    searchBar_->resignFirstResponder();
    searchBar_->setFrame({0, 0, Screen::mainScreen().bounds().width(), 40});
    searchBar_->setText("");
    const bool changed = !searchName_.empty();
    searchName_.clear();
    // A search ended while its own load runs: the full list comes after that load.
    if (refreshing_ && changed) reloadAfterLoad_ = true;
    getDataObjects("");
}

void MVTFilesManagersViewController::viewDidDisappear(bool animated) {
    FileLibraryScreen::viewDidDisappear(animated);
    if (searchBar_) cancelSearchBar();
}
