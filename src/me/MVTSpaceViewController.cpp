#include "me/MVTSpaceViewController.h"

#include "me/SpaceShared.h"

#include "details/MVTDetailsViewController.h"
#include "feed/MVTPersonCell.h"

#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/AudioPlayer.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

MVTSpaceViewController::MVTSpaceViewController() = default;
MVTSpaceViewController::~MVTSpaceViewController() = default;

const char* MVTSpaceViewController::moodText() {
    return "心情短语心情短语心情短语心情短语心情短语心情短语心情短语心情短语心情短语心情短语心情短语心情短语心情短语"
           "心情短语心情短语心情短语";
}

void MVTSpaceViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(textOf(userDic_, "name"));
    std::weak_ptr<MVTSpaceViewController> weak = weakAs<MVTSpaceViewController>();
    space::installBackButton(*this, [weak] {
        if (auto self = weak.lock()) self->goback();
    });
    dataArray_.clear();
    getData();
}

void MVTSpaceViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    navigationItem().setHidesBackButton(true);
}

void MVTSpaceViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    dropPlayer();
}

void MVTSpaceViewController::dropPlayer() {
    if (myplayer_) myplayer_->stop();
    myplayer_.reset();
}

void MVTSpaceViewController::goback() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

void MVTSpaceViewController::getData() {
    std::weak_ptr<MVTSpaceViewController> weak = weakAs<MVTSpaceViewController>();
    const bool sent = space::sendJson(
        "GET", "feed/" + textOf(userDic_, "id") + "/list/1", nullptr,
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // Only posts that are dictionaries are rows; an empty list builds nothing.
            std::size_t added = 0;
            if (reply.is_array())
                for (const auto& post : reply)
                    if (post.is_object()) {
                        self->dataArray_.push_back(post);
                        ++added;
                    }
            if (added > 0) self->initTable();
        },
        [weak] {
            if (auto self = weak.lock()) self->initTable();
        });
    if (!sent) initTable();
}

void MVTSpaceViewController::initTable() {
    if (essayTable_) {
        essayTable_->reloadData();
        return;
    }
    const Rect bounds = view()->bounds();
    essayTable_ = myTableView::make({0, 0, bounds.width(), bounds.height() - 44 - SDH}, TableViewStyle::Plain);
    auto self = std::static_pointer_cast<MVTSpaceViewController>(shared_from_this());
    essayTable_->setDataSource(self);
    essayTable_->setDelegate(self);
    view()->addSubview(essayTable_);
}

int MVTSpaceViewController::numberOfRowsInSection(TableView&, int) { return 1 + int(dataArray_.size()); }

std::shared_ptr<TableViewCell> MVTSpaceViewController::cellForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.row == 0) {
        const double W = Screen::mainScreen().bounds().width();
        auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "");
        cell->setBackgroundColor(Color::clear());
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        auto cover = std::make_shared<ImageView>(Rect(0, 0, W, 160));
        cover->setImage(Image::imageNamed("topbg"));
        cell->contentView()->addSubview(cover);
        auto avatar = Button::buttonWithType(ButtonType::Custom);
        avatar->setFrame({10, 120, 55, 55});
        avatar->setBackgroundColor(Color::clear());
        avatar->setCornerRadius(4);
        avatar->setClipsToBounds(true);
        avatar->setImage(Image::imageNamed("default_user"));
        std::weak_ptr<MVTSpaceViewController> weak = weakAs<MVTSpaceViewController>();
        avatar->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->clickHeadBtn();
        });
        cell->contentView()->addSubview(avatar);
        auto mood = std::make_shared<Label>(Rect(75, 120, 230, 40));
        mood->setFont(Font::boldSystemFontOfSize(16));
        mood->setTextColor(Color::whiteColor());
        mood->setBackgroundColor(Color::clear());
        mood->setNumberOfLines(0);
        mood->setText(moodText());
        cell->contentView()->addSubview(mood);
        return cell;
    }
    const std::size_t index = std::size_t(indexPath.row - 1);
    if (index >= dataArray_.size()) return std::make_shared<TableViewCell>(TableViewCellStyle::Default, "");
    auto self = std::static_pointer_cast<MVTSpaceViewController>(shared_from_this());
    auto cell = MVTPersonCell::initWithtData(dataArray_[index], kPostCellTag, indexPath.row, self);
    if (!cell) return std::make_shared<TableViewCell>(TableViewCellStyle::Default, "");
    if (myplayer_ && essayTable_ && indexPath.row == essayTable_->tag()) cell->changeState(2);
    return cell;
}

double MVTSpaceViewController::heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (indexPath.row == 0) return kHeaderRowHeight;
    // As high as the built row.
    auto cell = cellForRowAtIndexPath(tableView, indexPath);
    return cell ? cell->frame().height() : 0;
}

void MVTSpaceViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (indexPath.row < 1) return;
    tableView.deselectRowAtIndexPath(indexPath, true);
    const std::size_t index = std::size_t(indexPath.row - 1);
    if (index >= dataArray_.size()) return;
    auto detail = std::make_shared<MVTDetailsViewController>();
    detail->setMyDict(std::make_shared<Json>(dataArray_[index]));
    detail->setModelName("feed");
    detail->setModelID(textOf(dataArray_[index], "id"));
    if (auto* navigation = navigationController()) navigation->pushViewController(detail, true);
}

void MVTSpaceViewController::chooseNamed(const Json& user) {
    auto next = std::make_shared<MVTSpaceViewController>();
    next->setUserDic(user);
    if (auto* navigation = navigationController()) navigation->pushViewController(next, true);
}

void MVTSpaceViewController::playRecord(const std::optional<std::string>& resourceId, int row) {
    dropPlayer();
    if (!essayTable_) return;
    if (resourceId) {
        essayTable_->setScrollEnabled(false);
        essayTable_->setTag(row);
    } else {
        essayTable_->setScrollEnabled(true);
    }
}

void MVTSpaceViewController::audioPlayerDidFinishPlaying(bool) { dropPlayer(); }
void MVTSpaceViewController::audioPlayerBeginInterruption() { dropPlayer(); }
