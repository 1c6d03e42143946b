#include "albums/MVTGroupPhotosViewController.h"

#include "account/MVTInterClassViewController.h"
#include "albums/AlbumCommon.h"
#include "albums/AlbumScreens.h"
#include "albums/MVTAlbumDetalsViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {
constexpr double kGroupPhotosEndRefresh = 0.5;
constexpr double kGroupPhotosCreateDelay = 0.1;
}  // namespace

void MVTGroupPhotosViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    setTitle(localized("群相册"));
    StatisticsKit::shared().beginLogPageView(kPageName);
    auto weak = weakAs<MVTGroupPhotosViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    selectBtn_ = albums::setAddBarButton(navigationItem(), [weak] {
        if (auto self = weak.lock()) self->toUpPicOrCreatAlbum();
    });
    albumDataArr_ = Json::array();
    initAlbumTableView();
    getAlbumData();
    observe();
}

void MVTGroupPhotosViewController::viewWillAppear(bool animated) {
    HomeworkScreen::viewWillAppear(animated);
    // The group page pushes the same screen again after its back button: listen again.
    if (!reloadObserver_) observe();
}

void MVTGroupPhotosViewController::observe() {
    auto weak = weakAs<MVTGroupPhotosViewController>();
    auto& center = NotificationCenter::defaultCenter();
    createObserver_ = center.addObserver(kCreateNotification, [weak](const Notification&) {
        RunLoop::main().performAfter(kGroupPhotosCreateDelay, [weak] {
            if (auto self = weak.lock()) self->createNewAlbum();
        });
    });
    reloadObserver_ = center.addObserver(kReloadNotification, [weak](const Notification&) {
        if (auto self = weak.lock()) self->reloadAlbumData();
    });
}

void MVTGroupPhotosViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    createObserver_.reset();
    reloadObserver_.reset();
    if (auto stack = navigationController()) stack->popViewController(true);
}

void MVTGroupPhotosViewController::toUpPicOrCreatAlbum() {
    if (MVTPublicMethod::isUnClassId()) {
        MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    createNewAlbum();
}

void MVTGroupPhotosViewController::createNewAlbum() { albums::openGroupCreateAlbumScreen(*this, forumId_, fieldId_); }

// ---- List

void MVTGroupPhotosViewController::initAlbumTableView() {
    if (albumTableview_) {
        albumTableview_->reloadData();
        auto weak = weakAs<MVTGroupPhotosViewController>();
        RunLoop::main().performAfter(kGroupPhotosEndRefresh, [weak] {
            if (auto self = weak.lock()) self->doneLoadingTableViewData();
        });
        return;
    }
    const Rect frame(0, 0, view()->bounds().width(), Screen::mainScreen().bounds().height() - 64);
    albumTableview_ = homework::makeListTable(frame);
    albumTableview_->setTag(kTableTag);
    albumTableview_->setSectionHeaderHeight(0);
    albumRefreshHeaderView_ = EGORefreshTableHeaderView::make({0, -frame.height(), frame.width(), frame.height()});
    albumRefreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    albumTableview_->addSubview(albumRefreshHeaderView_);
    albumRefreshHeaderView_->refreshLastUpdatedDate();
    albumTableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    albumTableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(albumTableview_);
}

void MVTGroupPhotosViewController::setFooter(const std::string& title, bool reacts) {
    albumMoreBtn_->setTitle(localized(title));
    albumMoreBtn_->setUserInteractionEnabled(reacts);
}

void MVTGroupPhotosViewController::getAlbumData() { sendPage(false); }

void MVTGroupPhotosViewController::reloadAlbumData() { sendPage(true); }

void MVTGroupPhotosViewController::sendPage(bool refresh) {
    Json parameters = {{"limit", "15"}};
    if (!refresh && !albumDataArr_.empty()) parameters["maxIdNotIncludeSelf"] = albums::text(albumDataArr_.back(), "id");
    auto weak = weakAs<MVTGroupPhotosViewController>();
    auto sent = sendRequest(
        "GET", "forum/" + homework::currentUserId() + "/" + forumId_ + "/" + fieldId_ + "/album/list", parameters,
        [weak, refresh](const Json& reply) {
            if (auto self = weak.lock()) self->pageArrived(reply, refresh);
        },
        [weak, refresh] {
            if (auto self = weak.lock()) self->loadFailed(refresh);
        });
    // Offline nothing is sent and the load ends as a failure, without a banner.
    if (!sent) loadFailed(refresh);
}

void MVTGroupPhotosViewController::loadFailed(bool refresh) {
    if (albumMoreBtn_) setFooter("点击加载更多", true);
    if (refresh) {
        auto weak = weakAs<MVTGroupPhotosViewController>();
        RunLoop::main().performAfter(kGroupPhotosEndRefresh, [weak] {
            if (auto self = weak.lock()) self->doneLoadingTableViewData();
        });
    }
}

void MVTGroupPhotosViewController::pageArrived(const Json& reply, bool refresh) {
    if (!reply.is_object()) {
        // A body that is no dictionary holds no page.
        loadFailed(refresh);
        return;
    }
    if (!albumMoreBtn_) {
        auto weak = weakAs<MVTGroupPhotosViewController>();
        albumMoreBtn_ = homework::setLoadMoreFooter(*albumTableview_, [weak] {
            if (auto self = weak.lock()) self->getAlbumData();
        });
    }
    Json items = Json::array();
    if (const Json& list = valueFor(reply, "list"); list.is_array())
        for (const auto& item : list)
            if (item.is_object()) items.push_back(item);
    if (refresh) albumDataArr_ = Json::array();
    for (const auto& item : items) albumDataArr_.push_back(item);
    if (items.size() >= kFullPage)
        setFooter("点击加载更多", true);
    else if (!items.empty() || !albumDataArr_.empty())
        setFooter("已加载全部", false);
    else
        setFooter("没有相关内容", false);
    if (refresh || !items.empty()) initAlbumTableView();
}

void MVTGroupPhotosViewController::reloadTableViewDataSource() {
    reloadAlbumData();
    reloading_ = true;
}

void MVTGroupPhotosViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (albumTableview_) albumRefreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*albumTableview_);
}

// ---- Rows

int MVTGroupPhotosViewController::numberOfRowsInSection(TableView&, int) { return int((albumDataArr_.size() + 1) / 2); }

double MVTGroupPhotosViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) {
    return MVTAlbumCell::rowHeight();
}

std::shared_ptr<TableViewCell> MVTGroupPhotosViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                   const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTAlbumCell>(tableView.dequeueReusableCellWithIdentifier(MVTAlbumCell::kReuseIdentifier));
    if (!cell) {
        cell = MVTAlbumCell::make();
        cell->setDelegate(weakAs<MVTAlbumCellDelegate>());
    }
    cell->setWhereFrom(MVTAlbumCell::kGroupPhoto);
    const std::size_t row = std::size_t(std::max(0, indexPath.row));
    Json albumsOfRow = Json::array();
    if (albumDataArr_.size() < 2 * row + 2) {
        if (!albumDataArr_.empty()) albumsOfRow.push_back(albumDataArr_.back());
    } else {
        albumsOfRow.push_back(albumDataArr_[2 * row]);
        albumsOfRow.push_back(albumDataArr_[2 * row + 1]);
    }
    cell->contentView()->setTag(indexPath.row);
    cell->reloadDataWith(albumsOfRow);
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

void MVTGroupPhotosViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (albumRefreshHeaderView_) albumRefreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTGroupPhotosViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (albumRefreshHeaderView_) albumRefreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTGroupPhotosViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTGroupPhotosViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTGroupPhotosViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}

// ---- Albums

void MVTGroupPhotosViewController::goToAlbumDetailsWith(const std::string& indexText) {
    const long long index = integerValue(indexText);
    if (index < 0 || std::size_t(index) >= albumDataArr_.size()) return;
    const Json& album = albumDataArr_[std::size_t(index)];
    const std::string uid = albums::text(album, "uid");
    auto grid = std::make_shared<MVTAlbumDetalsViewController>();
    grid->setIsmanagerStr(homework::currentUserId() == uid ? "3" : ismanager_);
    grid->setAlbumId(albums::text(album, "id"));
    grid->setNameStr(albums::text(album, "name"));
    grid->setAlbumDic(std::make_shared<Json>(album));
    grid->setForumId(forumId_);
    grid->setFieldId(fieldId_);
    grid->setIsSysteam(uid == "-1");
    if (auto stack = navigationController()) stack->pushViewController(grid, true);
}

void MVTGroupPhotosViewController::deleteAlbum(const std::string& indexText) {
    const long long index = integerValue(indexText);
    if (index < 0 || std::size_t(index) >= albumDataArr_.size()) return;
    const Json& album = albumDataArr_[std::size_t(index)];
    if (integerValue(albums::text(album, "uid")) == -1) {
        AlertView::make(localized("提示"), localized("系统相册不能删除"), {}, localized("我知道了"))->show();
        return;
    }
    if (ismanager_ != "2" && ismanager_ != "1" && homework::currentUserId() != albums::text(album, "uid")) return;
    deleteIndex_ = long(index);
    auto alert = AlertView::make(localized("确定要删除相册:"), albums::text(album, "name"), weakAs<AlertViewDelegate>(),
                                 localized("取消"), {localized("确定")});
    alert->setTag(kDeleteAlertTag);
    alert->show();
}

void MVTGroupPhotosViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (MVTInterClassViewController::answerJoinClassAlert(*this, alert, index)) return;
    if (alert.tag() == kDeleteAlertTag && index == 1) makeSureToDelete();
}

void MVTGroupPhotosViewController::makeSureToDelete() {
    if (deleteIndex_ < 0 || std::size_t(deleteIndex_) >= albumDataArr_.size()) return;
    const std::string albumId = albums::text(albumDataArr_[std::size_t(deleteIndex_)], "id");
    auto weak = weakAs<MVTGroupPhotosViewController>();
    sendRequest(
        "GET",
        "forum/" + homework::currentUserId() + "/" + forumId_ + "/" + fieldId_ + "/album/" + albumId + "/remove", Json(),
        [weak, albumId](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // Gone only when the service says so: a "success" of 0 or false keeps the album.
            if (reply.is_object() && homework::readsTrue(valueFor(reply, "success"))) {
                auto& list = self->albumDataArr_;
                // The album that was asked about, wherever a refresh has moved it meanwhile.
                for (std::size_t i = 0; i < list.size(); ++i)
                    if (albums::text(list[i], "id") == albumId) {
                        list.erase(list.begin() + long(i));
                        break;
                    }
                self->albumTableview_->reloadData();
                return;
            }
            AlertView::make(localized("删除相册失败"), reply.is_object() ? albums::text(reply, "msg") : "", {},
                            localized("我知道了"))
                ->show();
        },
        [weak] {
            if (auto self = weak.lock(); self && self->albumMoreBtn_) self->setFooter("点击加载更多", true);
        });
}
