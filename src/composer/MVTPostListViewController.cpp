#include "composer/MVTPostListViewController.h"
#include "composer/ComposerScreen.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/RecipientList.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextMeasure.h"

#include <cctype>

using namespace platform;

namespace {

constexpr double kRowHeight = 45;
const char* const kCellIdentifier = "Cell";



// The letters of the sections, in order.
const std::vector<std::string>& sectionLetters() {
    static const std::vector<std::string> letters = [] {
        std::vector<std::string> list{"#"};
        for (char c = 'A'; c <= 'Z'; ++c) list.emplace_back(1, c);
        return list;
    }();
    return letters;
}

std::string nameOf(const Json& entry) {
    const Json& name = valueFor(entry, "name");
    return name.is_string() || name.is_number() ? textOf(name) : "";
}

}  // namespace

// ---- Index bar ----------------------------------------------------------------------------

MVTIndexBar::MVTIndexBar(const Rect& frame) : View(frame) { setBackgroundColor(Color::clear()); }

void MVTIndexBar::setIndexes(const std::vector<std::string>& titles) {
    if (titles == titles_) return;
    titles_ = titles;
    for (auto& sub : std::vector<std::shared_ptr<View>>(subviews())) sub->removeFromSuperview();
    if (titles_.empty()) return;
    const double height = std::min(16.0, bounds().height() / titles_.size());
    const double top = (bounds().height() - height * titles_.size()) / 2;
    for (size_t i = 0; i < titles_.size(); ++i) {
        auto letter = Button::buttonWithType(ButtonType::Custom);
        letter->setFrame({0, top + height * i, bounds().width(), height});
        letter->setTitle(titles_[i]);
        letter->setTitleColor(Color::rgb255(60, 60, 60));
        letter->titleLabel()->setFont(Font::boldSystemFontOfSize(11));
        const int index = static_cast<int>(i);
        letter->addTarget(ControlEventTouchDown, [this, index](Control&) { selectIndex(index); });
        addSubview(letter);
    }
}

void MVTIndexBar::selectIndex(int index) {
    if (handler_) handler_(index);
}

// ---- Screen -------------------------------------------------------------------------------

void MVTPostListViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("添加接收人"));
    std::weak_ptr<MVTPostListViewController> weak = weakAs<MVTPostListViewController>();

    leftBtn_ = MVTPublicMethod::navigationleftBarButton();
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(leftBtn_));
    refreshButton_ = MVTPublicMethod::navigationrightBarButton(localized("刷新"));
    refreshButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->refreshPostlist();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(refreshButton_));

    MVTPublicMethod::showWaitAnimation(view(), true);
    titleArray_ = Json::array();
    myArray_ = Json::array();

    indexBar_ = std::make_shared<MVTIndexBar>(
        Rect(composer_screen::width() - 20, 30, 20, view()->bounds().height() - 44 - SDH - 50));
    indexBar_->setHandler([weak](int index) {
        if (auto self = weak.lock()) self->tableViewIndexBarDidSelectSectionAtIndex(index);
    });
    view()->addSubview(indexBar_);
    getData();
}

void MVTPostListViewController::getData() {
    // Keys and order are made again from the names, so a list kept by an older version (or
    // edited by hand) still falls into its sections.
    const Json cached = recipientListFromReply(readRecipientCache(composer_screen::userId()));
    if (!cached.empty()) {
        myArray_ = cached;
        refreshTitleArray();
        initmytableview();
        return;
    }
    refreshPostlist();
}

void MVTPostListViewController::refreshPostlist() {
    if (operation_) return;
    view()->setUserInteractionEnabled(false);
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "postMessage/essay/" + composer_screen::userId() + "/recipient", nullptr);
    if (!request) {
        MVTPublicMethod::stopWaitAnimation(view());
        initmytableview();
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        view()->setUserInteractionEnabled(true);
        return;
    }
    hud_ = ProgressHUD::showHUDAddedTo(view(), true);
    hud_->setLabelText(localized("正在刷新"));

    std::weak_ptr<MVTPostListViewController> weak = weakAs<MVTPostListViewController>();
    const std::string userId = composer_screen::userId();
    operation_ = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(*request),
        [weak, userId](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->endRefresh();
            const Json list = recipientListFromReply(reply);
            if (list.empty()) {
                self->showEmptyAlert();
            } else if (list != self->myArray_) {
                self->myArray_ = list;
                writeRecipientCache(userId, list);
            }
            self->refreshTitleArray();
            self->initmytableview();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->endRefresh();
            self->showEmptyAlert();
            self->initmytableview();
        });
    operation_->start();
}

void MVTPostListViewController::endRefresh() {
    operation_.reset();
    if (hud_) {
        hud_->removeFromSuperview();
        hud_.reset();
    }
    view()->setUserInteractionEnabled(true);
}

void MVTPostListViewController::showEmptyAlert() {
    AlertView::make(localized("提示"), localized("暂时没有可以@的联系人"), {}, localized("确定"))->show();
}

int MVTPostListViewController::seqencingmyArray(const std::string& letter) const {
    int count = 0;
    const char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(letter.at(0))));
    for (const auto& entry : myArray_) {
        const std::string key = textOf(entry, "firstName");
        if (!key.empty() && std::tolower(static_cast<unsigned char>(key[0])) == wanted) ++count;
    }
    return count;
}

void MVTPostListViewController::refreshTitleArray() {
    titleArray_ = Json::array();
    for (const auto& letter : sectionLetters()) {
        const int count = seqencingmyArray(letter);
        if (count > 0) titleArray_.push_back({{"title", letter}, {"num", count}});
    }
}

void MVTPostListViewController::initmytableview() {
    if (!mytableview_) {
        mytableview_ = std::make_shared<myTableView>();
        mytableview_->initWithFrame(Rect(0, 0, composer_screen::width(), view()->bounds().height() - 44 - SDH),
                                    TableViewStyle::Plain);
        mytableview_->setDataSource(std::dynamic_pointer_cast<TableViewDataSource>(shared_from_this()));
        mytableview_->setDelegate(std::dynamic_pointer_cast<TableViewDelegate>(shared_from_this()));
        view()->addSubview(mytableview_);
    } else {
        mytableview_->reloadData();
    }
    showIndexes();
    view()->bringSubviewToFront(indexBar_);
    MVTPublicMethod::stopWaitAnimation(view());
}

void MVTPostListViewController::tableViewIndexBarDidSelectSectionAtIndex(int index) {
    if (!mytableview_ || index < 0 || index >= static_cast<int>(titleArray_.size())) return;
    mytableview_->scrollToRowAtIndexPath(IndexPath::forRow(0, index), TableViewScrollPosition::Top, true);
}

void MVTPostListViewController::goback() {
    if (auto stack = navigationController()) stack->popViewController(true);
}

Json MVTPostListViewController::recipientAt(const IndexPath& indexPath) const {
    long position = indexPath.row;
    for (int s = 0; s < indexPath.section && s < static_cast<int>(titleArray_.size()); ++s)
        position += integerValue(valueFor(titleArray_[s], "num"));
    if (position < 0 || position >= static_cast<long>(myArray_.size())) return Json::object();
    return myArray_[static_cast<size_t>(position)];
}

int MVTPostListViewController::numberOfSectionsInTableView(TableView&) {
    showIndexes();
    return static_cast<int>(titleArray_.size());
}

void MVTPostListViewController::showIndexes() {
    std::vector<std::string> letters;
    for (const auto& section : titleArray_) letters.push_back(textOf(section, "title"));
    if (indexBar_) indexBar_->setIndexes(letters);
}

int MVTPostListViewController::numberOfRowsInSection(TableView&, int section) {
    if (section < 0 || section >= static_cast<int>(titleArray_.size())) return 0;
    return static_cast<int>(integerValue(valueFor(titleArray_[section], "num")));
}

std::string MVTPostListViewController::titleForHeaderInSection(TableView&, int section) {
    if (section < 0 || section >= static_cast<int>(titleArray_.size())) return "";
    return textOf(titleArray_[section], "title");
}

double MVTPostListViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTPostListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellIdentifier);
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, kCellIdentifier);
    }
    for (auto& sub : std::vector<std::shared_ptr<View>>(cell->contentView()->subviews())) sub->removeFromSuperview();
    cell->setAccessoryType(TableViewCellAccessoryType::None);
    cell->setBackgroundColor(Color::clear());

    const std::string name = nameOf(recipientAt(indexPath));
    const Font font = Font::boldSystemFontOfSize(16);
    auto label = std::make_shared<Label>(Rect(30, 12.5, TextMeasure::sizeWithFont(name, font).width, 20));
    label->setBackgroundColor(Color::clear());
    label->setTextColor(Color::rgb255(60, 60, 60));
    label->setFont(font);
    label->setTextAlignment(TextAlignment::Left);
    label->setText(name);
    cell->contentView()->addSubview(label);

    auto line = std::make_shared<ImageView>(Rect(0, 44, composer_screen::width(), 1));
    line->setImage(Image::imageNamed("line_10"));
    cell->contentView()->addSubview(line);
    return cell;
}

void MVTPostListViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const Json entry = recipientAt(indexPath);
    if (entry.empty()) return;
    // Kept alive past the pop, which lets go of the screen.
    auto self = shared_from_this();
    goback();
    if (delegate_) delegate_->returnList(entry);
}
