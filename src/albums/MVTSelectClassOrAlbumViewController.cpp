#include "albums/MVTSelectClassOrAlbumViewController.h"

#include "albums/AlbumCommon.h"
#include "albums/AlbumScreens.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

void MVTSelectClassOrAlbumViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    setTitle(localized(typeStr_ == "class" ? "选择班级" : "选择相册"));
    auto weak = weakAs<MVTSelectClassOrAlbumViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock(); self && self->navigationController())
            self->navigationController()->popViewController(true);
    });
    listArr_ = Json::array();
    getSelectData();
}

void MVTSelectClassOrAlbumViewController::getSelectData() {
    const std::string user = homework::currentUserId();
    const std::string path = typeStr_ == "class" ? "teacher/" + user + "/manager/classes" : user + "/class/album/power/list";
    auto weak = weakAs<MVTSelectClassOrAlbumViewController>();
    // Offline nothing is sent and the list stays empty, as after a failure.
    sendRequest("GET", path, Json::object(),
                [weak](const Json& reply) {
                    auto self = weak.lock();
                    if (!self) return;
                    // A reply that is no list gives no rows.
                    if (reply.is_array())
                        for (const auto& row : reply)
                            if (row.is_object()) self->listArr_.push_back(row);
                    self->initMyTableView();
                },
                [] {});
}

void MVTSelectClassOrAlbumViewController::initMyTableView() {
    if (mytableview_) {
        mytableview_->reloadData();
        return;
    }
    const double width = Screen::mainScreen().bounds().width();
    mytableview_ = homework::makeListTable({0, 0, view()->bounds().width(), Screen::mainScreen().bounds().height() - 64});
    if (typeStr_ == "album") {
        auto header = std::make_shared<View>(Rect(0, 0, width, 80));
        header->setBackgroundColor(Color::white(0.961));
        auto icon = std::make_shared<ImageView>(Rect(15, 27.5, 25, 25));
        icon->setImage(Image::imageNamed("addPic.png"));
        header->addSubview(icon);
        auto label = std::make_shared<Label>(Rect(50, 25, 200, 30));
        label->setText(localized("创建新相册"));
        label->setTextColor(Color::white(0.333));
        label->setFont(Font::systemFontOfSize(16));
        header->addSubview(label);
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({0, 0, width, 80});
        button->setBackgroundColor(Color::clear());
        button->setImage(Image::imageNamed("rightArrow.png"));
        button->setImageEdgeInsets({35, width - 20, 35, 14});
        auto weak = weakAs<MVTSelectClassOrAlbumViewController>();
        button->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->createNewAlbum();
        });
        header->addSubview(button);
        auto line = std::make_shared<View>(Rect(10, 79.5, width - 20, 0.5));
        line->setBackgroundColor(Color::rgb255(217, 222, 216));
        header->addSubview(line);
        mytableview_->setTableHeaderView(header);
    }
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    view()->addSubview(mytableview_);
}

int MVTSelectClassOrAlbumViewController::numberOfRowsInSection(TableView&, int) { return int(listArr_.size()); }

std::shared_ptr<TableViewCell> MVTSelectClassOrAlbumViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                        const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
        auto line = std::make_shared<View>(Rect(10, 43.5, Screen::mainScreen().bounds().width() - 20, 0.5));
        line->setBackgroundColor(Color::rgb255(217, 222, 216));
        cell->contentView()->addSubview(line);
    }
    const Json& row = listArr_[std::size_t(indexPath.row)];
    cell->textLabel()->setText(albums::text(row, "name"));
    cell->textLabel()->setFont(Font::systemFontOfSize(16));
    cell->textLabel()->setNumberOfLines(0);
    cell->setBackgroundColor(Color::clear());
    cell->setAccessoryType(!idStr_.empty() && idStr_ == albums::text(row, "id") ? TableViewCellAccessoryType::Checkmark
                                                                                : TableViewCellAccessoryType::None);
    return cell;
}

void MVTSelectClassOrAlbumViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const Json& row = listArr_[std::size_t(indexPath.row)];
    nameStr_ = albums::text(row, "name");
    idStr_ = albums::text(row, "id");
    tableView.reloadData();
    auto weak = weakAs<MVTSelectClassOrAlbumViewController>();
    RunLoop::main().performAfter(0.05, [weak] {
        if (auto self = weak.lock()) self->toDone();
    });
}

void MVTSelectClassOrAlbumViewController::toDone() {
    if (nameStr_.empty() || idStr_.empty()) {
        AlertView::make(localized("请先选择"), "", {}, localized("知道了"))->show();
        return;
    }
    if (auto delegate = delegate_.lock()) delegate->whichSelectdWith(nameStr_, idStr_);
    if (auto stack = navigationController()) stack->popViewController(true);
}

void MVTSelectClassOrAlbumViewController::createNewAlbum() { albums::openCreateAlbumScreen(*this, "upNewAlbum"); }
