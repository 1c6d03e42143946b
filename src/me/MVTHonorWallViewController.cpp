#include "me/MVTHonorWallViewController.h"

#include "me/SpaceShared.h"

#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/BackgroundQueue.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "platform/UrlRequest.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

#include <cmath>

using namespace platform;

namespace {

constexpr std::size_t kHonorPictureLimit = 2u * 1024 * 1024;

int rowsOfFour(std::size_t count) { return count == 0 ? 1 : int((count + 3) / 4); }

}  // namespace

MVTHonorWallViewController::MVTHonorWallViewController() = default;
MVTHonorWallViewController::~MVTHonorWallViewController() = default;

std::string MVTHonorWallViewController::ownerId() const {
    const Json& id = valueFor(userDict_, "id");
    return MVTPublicMethod::stringIsClassNull(id) || textOf(id).empty() ? textOf(userDict_, "uid") : textOf(id);
}

void MVTHonorWallViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    selectedCell_ = selectedIndex_ = -1;
    getHonorArray_ = Json::array();
    noHonorArray_ = Json::array();
    netGetData();
    getFirstNotGetIndex();
    const Rect screen = Screen::mainScreen().bounds();
    myTable_ = myTableView::make({0, 0, view()->bounds().width(), screen.height() - 64}, TableViewStyle::Plain);
    myTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    myTable_->setBackgroundColor(Color::white(0.961));
    auto self = std::static_pointer_cast<MVTHonorWallViewController>(shared_from_this());
    myTable_->setDataSource(self);
    myTable_->setDelegate(self);
    view()->addSubview(myTable_);
    setTitle(localized("勋章墙"));
    auto back = MVTPublicMethod::navigationleftBarButton();
    std::weak_ptr<MVTHonorWallViewController> weak = self;
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto screen = weak.lock()) screen->backButtonClick();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void MVTHonorWallViewController::netGetData() {
    if (HUD_) HUD_->removeFromSuperview();
    HUD_ = ProgressHUD::showHUDAddedTo(view(), true);
    HUD_->setRemoveFromSuperViewOnHide(true);
    std::weak_ptr<MVTHonorWallViewController> weak = weakAs<MVTHonorWallViewController>();
    const bool sent = space::sendJson(
        "GET", "user/" + space::currentUserId() + "/space/" + ownerId() + "/decoration", nullptr,
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->HUD_->hide(true);
            if (!reply.is_object() || reply.empty()) {
                AlertView::make("提示", "隐私权限获取失败", {}, "确定")->show();
                return;
            }
            for (const auto& honor : post::listOf(reply, "get"))
                if (honor.is_object()) self->getHonorArray_.push_back(honor);
            for (const auto& honor : post::listOf(reply, "no"))
                if (honor.is_object()) self->noHonorArray_.push_back(honor);
            self->getFirstNotGetIndex();
            if (self->myTable_) self->myTable_->reloadData();
        },
        [weak] {
            if (auto self = weak.lock()) self->HUD_->hide(true);
            if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
        });
    if (!sent) HUD_->hide(false);
}

void MVTHonorWallViewController::getFirstNotGetIndex() {
    getHonorCount_ = rowsOfFour(getHonorArray_.size());
    notGetHonorCount_ = rowsOfFour(noHonorArray_.size());
    notGetHonorFirstCellIndex_ = getHonorCount_;
}

void MVTHonorWallViewController::backButtonClick() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

void MVTHonorWallViewController::honorImageClick(int section, int position) {
    if (section == selectedCell_ && position == selectedIndex_) {
        selectedCell_ = selectedIndex_ = -1;
        if (myTable_) myTable_->reloadData();
        return;
    }
    const bool obtained = section < notGetHonorFirstCellIndex_;
    const Json& list = obtained ? getHonorArray_ : noHonorArray_;
    const int index = 4 * (obtained ? section : section - notGetHonorFirstCellIndex_) + position;
    if (index < 0 || index >= int(list.size())) return;
    descriptionSting_ = textOf(list[std::size_t(index)], "description");
    selectedCell_ = section;
    selectedIndex_ = position;
    if (myTable_) myTable_->reloadData();
}

void MVTHonorWallViewController::toGetHonorImage(const std::shared_ptr<ImageView>& view) {
    const std::string name = view->accessibilityHint();
    // The name is a key of the defaults and a path on the service: plain names only.
    if (!post::isPlainName(name)) return;
    const std::string url = ServiceAddress::baseUrl() + "static/images/honor/" + name;
    dispatchBackground([view, url, name] {
        HttpResponse response = HttpEngine::shared().fetch(UrlRequest(url), kHonorPictureLimit);
        ImageRef image = response.ok() ? Image::imageWithData(response.body) : nullptr;
        if (!image) return;
        std::string bytes = std::move(response.body);
        dispatchMain([view, image, name, bytes] {
            UserDefaults::standard().setData(name, bytes);
            UserDefaults::standard().synchronize();
            view->setImage(image);
        });
    });
}

int MVTHonorWallViewController::numberOfSectionsInTableView(TableView&) { return getHonorCount_ + notGetHonorCount_; }

int MVTHonorWallViewController::numberOfRowsInSection(TableView&, int section) { return section == selectedCell_ ? 1 : 0; }

std::shared_ptr<TableViewCell> MVTHonorWallViewController::cellForRowAtIndexPath(TableView&, const IndexPath&) {
    const double W = Screen::mainScreen().bounds().width();
    auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    cell->setBackgroundColor(Color::whiteColor());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    auto label = std::make_shared<Label>(Rect(10, 10, W - 20, 60));
    label->setFont(Font::systemFontOfSize(14));
    label->setTextColor(Color::rgb255(37, 52, 33));
    label->setTextAlignment(TextAlignment::Center);
    label->setNumberOfLines(0);
    label->setText(descriptionSting_);
    cell->contentView()->addSubview(label);
    return cell;
}

double MVTHonorWallViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) {
    return Screen::mainScreen().bounds().width() / 4;
}

double MVTHonorWallViewController::heightForHeaderInSection(TableView&, int section) {
    if (section == 0) return getHonorArray_.empty() ? 30 : 130;
    if (section == notGetHonorFirstCellIndex_) return noHonorArray_.empty() ? 30 : 130;
    return 100;
}

std::shared_ptr<View> MVTHonorWallViewController::viewForHeaderInSection(TableView&, int section) {
    const double W = Screen::mainScreen().bounds().width(), w = W / 4;
    const bool titled = section == 0 || section == notGetHonorFirstCellIndex_;
    const double height = titled ? 130 : 100;
    auto header = std::make_shared<View>(Rect(0, 0, W, height));
    header->setBackgroundColor(Color::clear());
    const double c = titled ? 30 : 0;
    if (titled) {
        auto title = std::make_shared<Label>(Rect(0, 0, W, 25));
        title->setFont(Font::systemFontOfSize(20));
        title->setBackgroundColor(Color::white(0.902, 0.7));
        title->setText("  " + localized(section == 0 ? "已获得" : "未获得"));
        header->addSubview(title);
    }
    const bool obtained = section < notGetHonorFirstCellIndex_;
    const Json& list = obtained ? getHonorArray_ : noHonorArray_;
    const int first = 4 * (obtained ? section : section - notGetHonorFirstCellIndex_);
    std::weak_ptr<MVTHonorWallViewController> weak = weakAs<MVTHonorWallViewController>();
    for (int i = 0; i < 4 && first + i < int(list.size()); ++i) {
        const Json& honor = list[std::size_t(first + i)];
        auto name = std::make_shared<Label>(Rect(i * w + 10, c + 70, 60, 20));
        name->setFont(Font::systemFontOfSize(12));
        name->setTextColor(Color::white(0.667));
        name->setTextAlignment(TextAlignment::Center);
        name->setText(textOf(honor, "name"));
        header->addSubview(name);
        auto picture = std::make_shared<ImageView>(Rect(i * w + 10, c + 10, 60, 60));
        picture->setUserInteractionEnabled(true);
        const std::string img = textOf(honor, "img");
        picture->setAccessibilityHint(img);
        if (auto bytes = UserDefaults::standard().dataForKey(img); bytes && !bytes->empty())
            picture->setImage(Image::imageWithData(*bytes));
        else
            toGetHonorImage(picture);
        if (!obtained) picture->setAlpha(0.3);
        header->addSubview(picture);
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({i * w, c, w, w});
        button->setBackgroundColor(Color::clear());
        button->setAccessibilityValue(std::to_string(section));
        button->setAccessibilityHint(std::to_string(i));
        button->addTarget(ControlEventTouchUpInside, [weak, section, i](Control&) {
            if (auto self = weak.lock()) self->honorImageClick(section, i);
        });
        header->addSubview(button);
        if (section == selectedCell_ && i == selectedIndex_) {
            auto pointer = std::make_shared<ImageView>(Rect(i * w + 33, height - 9, 15, 9));
            pointer->setImage(Image::imageNamed("album_tri_white"));
            header->addSubview(pointer);
        }
    }
    return header;
}

void MVTHonorWallViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) return ViewViewController::scrollViewDidScroll(scrollView);
    const double y = scrollView.contentOffset().y;
    if (y < 0) return;
    scrollView.setContentInset({-std::min(y, 110.0), 0, 0, 0});
}
