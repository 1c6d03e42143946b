#include "albums/MVTClassAlbumViewController.h"

#include "account/MVTInterClassViewController.h"
#include "albums/AlbumCommon.h"
#include "albums/AlbumScreens.h"
#include "albums/MVTAlbumDetalsViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceId.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <cmath>

using namespace platform;

namespace {

constexpr double kClassAlbumSegHeight = 50;
constexpr double kClassAlbumMenuHeight = 40;
constexpr double kClassAlbumMenuSlide = 0.3;

Rect classAlbumScreen() { return Screen::mainScreen().bounds(); }
bool classAlbumChinese() { return InternationalControl::userLanguage() == InternationalControl::kChinese; }

// A reply that is a list: its dictionaries; anything else is no list.
std::optional<Json> classAlbumItems(const Json& reply) {
    if (!reply.is_array()) return std::nullopt;
    Json items = Json::array();
    for (const auto& item : reply)
        if (item.is_object()) items.push_back(item);
    return items;
}

}  // namespace

MVTClassAlbumViewController::MVTClassAlbumViewController() = default;
MVTClassAlbumViewController::~MVTClassAlbumViewController() = default;

void MVTClassAlbumViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    setTitle(localized("班级相册"));
    StatisticsKit::shared().beginLogPageView(kPageName);
    auto weak = weakAs<MVTClassAlbumViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    selectBtn_ = albums::setAddBarButton(navigationItem(), [weak] {
        if (auto self = weak.lock()) self->toSelect();
    });

    createSegView();
    picDataArr_.clear();
    albumDataArr_ = Json::array();
    initAlbumTableView();
    albumTableview_->setHidden(true);
    initPicTableView();
    getPicData();
    reloadObserver_ = NotificationCenter::defaultCenter().addObserver(kReloadNotification, [weak](const Notification&) {
        if (auto self = weak.lock()) self->toReloadCurrentPicData();
    });
}

void MVTClassAlbumViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    auto presented = navigationController() ? static_cast<ViewController*>(navigationController()) : this;
    presented->dismissViewController(true);
}

// ---- Segment bar

double MVTClassAlbumViewController::triX(bool albumsShown) const {
    const double h = classAlbumScreen().width() / 2;
    const double x0 = (h - 160) / 2;
    if (albumsShown) return x0 + h + (classAlbumChinese() ? 82 : 76);
    return x0 + (classAlbumChinese() ? 73.5 : 76.5);
}

void MVTClassAlbumViewController::createSegView() {
    const double width = classAlbumScreen().width();
    segView_ = std::make_shared<View>(Rect(0, 0, width, kClassAlbumSegHeight));
    segView_->setBackgroundColor(Color::whiteColor());
    const double h = width / 2;
    const double x0 = (h - 160) / 2;
    struct Segment {
        const char* title;
        const char* normal;
        const char* selected;
        double zhLeft, otherLeft;
    };
    const Segment segments[] = {{"最近照片", "latest_photo-press.png", "latest_photo.png", -18, -12},
                                {"相册", "album_press.png", "album.png", -1, -8}};
    auto weak = weakAs<MVTClassAlbumViewController>();
    for (int i = 0; i < 2; ++i) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({x0 + h * i, 0, 160, kClassAlbumSegHeight});
        button->setBackgroundColor(Color::whiteColor());
        button->setTag(10 + i);
        button->titleLabel()->setFont(Font::systemFontOfSize(10));
        button->setTitleColor(Color::white(0.459));
        button->setTitleColor(Color::rgba(0.322, 0.729, 0.969), ControlStateSelected);
        button->setTitle(localized(segments[i].title));
        button->setImage(Image::imageNamed(segments[i].normal));
        button->setImage(Image::imageNamed(segments[i].selected), ControlStateSelected);
        button->setImageEdgeInsets({-15, 20, 0, -20});
        button->setTitleEdgeInsets({0, classAlbumChinese() ? segments[i].zhLeft : segments[i].otherLeft, -20, 0});
        button->setSelected(i == 0);
        button->setUserInteractionEnabled(i != 0);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toChangePicOrAlbum(static_cast<Button&>(control));
        });
        segView_->addSubview(button);
    }
    auto separator = std::make_shared<View>(Rect(h - 0.3, 15, 0.6, 15.4));
    separator->setBackgroundColor(Color::rgb255(217, 222, 216));
    separator->setTag(0);
    segView_->addSubview(separator);
    auto line = std::make_shared<View>(Rect(0, 49.4, width, 0.6));
    line->setBackgroundColor(Color::rgb255(217, 222, 216));
    line->setTag(1);
    segView_->addSubview(line);
    triImageView_ = std::make_shared<ImageView>(Rect(triX(false), 41, 15, 9));
    triImageView_->setBackgroundColor(Color::clear());
    triImageView_->setImage(Image::imageNamed("album_tri"));
    segView_->addSubview(triImageView_);
    view()->addSubview(segView_);
}

bool MVTClassAlbumViewController::showsAlbums() const { return albumTableview_ && !albumTableview_->isHidden(); }

void MVTClassAlbumViewController::toChangePicOrAlbum(Button& tapped) {
    for (const auto& sub : segView_->subviews()) {
        if (sub->tag() <= 9) continue;
        auto button = std::dynamic_pointer_cast<Button>(sub);
        if (!button) continue;
        const bool chosen = button.get() == &tapped;
        button->setSelected(chosen);
        button->setUserInteractionEnabled(!chosen);
    }
    const bool albumsChosen = tapped.tag() == 11;
    auto tri = triImageView_;
    const double x = triX(albumsChosen);
    animate(0.3, [tri, x] { tri->setFrame({x, 41, 15, 9}); });
    picTableview_->setHidden(albumsChosen);
    albumTableview_->setHidden(!albumsChosen);
    if (albumsChosen && !albumMoreBtn_) getAlbumData();
}

// ---- The "+" menu

void MVTClassAlbumViewController::toSelect() {
    const bool open = !selectBtn_->isSelected();
    selectBtn_->setSelected(open);
    auto plus = selectBtn_;
    animate(kClassAlbumMenuSlide, [plus, open] {
        plus->setTransform(open ? AffineTransform::rotation(-M_PI / 4) : AffineTransform::identity());
    });
    selectBtn_->setUserInteractionEnabled(false);
    if (!open) {
        closeMenu(true);
        return;
    }
    const double width = classAlbumScreen().width();
    auto weak = weakAs<MVTClassAlbumViewController>();
    if (!topView_) {
        topView_ = std::make_shared<View>(view()->bounds());
        topView_->setBackgroundColor(Color::black().withAlpha(0.2));
        topView_->setTag(kDimmingTag);
        auto tap = std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer& recognizer) {
            auto self = weak.lock();
            if (!self) return;
            auto hit = self->topView_->hitTest(recognizer.locationInView(self->topView_.get()));
            if (hit && hit->tag() == kDimmingTag) self->toMoveTopView();
        });
        tap->setCancelsTouchesInView(false);
        topView_->addGestureRecognizer(tap);
        topSelectView_ = std::make_shared<View>(Rect(0, -kClassAlbumMenuHeight, width, kClassAlbumMenuHeight));
        topSelectView_->setBackgroundColor(Color::rgb255(249, 253, 248));
        const char* titles[] = {"上传照片", "创建相册"};
        for (int i = 0; i < 2; ++i) {
            auto button = Button::buttonWithType(ButtonType::Custom);
            button->setFrame({width / 2 * i, 0, width / 2, kClassAlbumMenuHeight});
            button->setTag(10 + i);
            button->setTitle(localized(titles[i]));
            button->titleLabel()->setFont(Font::systemFontOfSize(16));
            button->setTitleColor(Color::rgb255(109, 119, 106));
            button->setTitleColor(Color::white(0.183), ControlStateHighlighted);
            button->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::clear())->image());
            button->setBackgroundImage(
                MVTPublicMethod::imageViewWithColor(Color::rgba(0.898, 0.898, 0.898).withAlpha(0.3))->image(),
                ControlStateHighlighted);
            button->setClipsToBounds(true);
            button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
                if (auto self = weak.lock()) self->toUpPicOrCreatAlbum(control.tag());
            });
            topSelectView_->addSubview(button);
        }
        auto separator = std::make_shared<View>(Rect(width / 2 - 0.3, 13, 0.6, 14));
        separator->setBackgroundColor(Color::rgb255(182, 193, 177));
        topSelectView_->addSubview(separator);
        auto line = std::make_shared<View>(Rect(0, 39.6, width, 0.4));
        line->setBackgroundColor(Color::rgb255(193, 198, 192));
        line->setTag(1);
        topSelectView_->addSubview(line);
        topView_->addSubview(topSelectView_);
    }
    view()->addSubview(topView_);
    auto bar = topSelectView_;
    animate(
        kClassAlbumMenuSlide, [bar, width] { bar->setFrame({0, 0, width, kClassAlbumMenuHeight}); },
        [plus](bool) { plus->setUserInteractionEnabled(true); });
}

void MVTClassAlbumViewController::closeMenu(bool) {
    if (!topSelectView_) {
        selectBtn_->setUserInteractionEnabled(true);
        return;
    }
    const double width = classAlbumScreen().width();
    auto bar = topSelectView_;
    auto layer = topView_;
    auto plus = selectBtn_;
    animate(
        kClassAlbumMenuSlide, [bar, width] { bar->setFrame({0, -kClassAlbumMenuHeight, width, kClassAlbumMenuHeight}); },
        [layer, plus](bool) {
            layer->removeFromSuperview();
            plus->setUserInteractionEnabled(true);
        });
}

void MVTClassAlbumViewController::toMoveTopView() {
    selectBtn_->setSelected(false);
    auto plus = selectBtn_;
    animate(kClassAlbumMenuSlide, [plus] { plus->setTransform(AffineTransform::identity()); });
    selectBtn_->setUserInteractionEnabled(false);
    closeMenu(true);
}

void MVTClassAlbumViewController::toUpPicOrCreatAlbum(int tag) {
    toMoveTopView();
    if (MVTPublicMethod::isUnClassId()) {
        MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    if (tag == 11) {
        createNewAlbum();
        return;
    }
    albums::openUploadScreen(*this, "", "", "", "");
}

void MVTClassAlbumViewController::createNewAlbum() { albums::openCreateAlbumScreen(*this, ""); }

void MVTClassAlbumViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    MVTInterClassViewController::answerJoinClassAlert(*this, alert, index);
}

// ---- Lists

std::shared_ptr<myTableView> MVTClassAlbumViewController::makeList(int tag,
                                                                  std::shared_ptr<EGORefreshTableHeaderView>& header) {
    const Rect screen = classAlbumScreen();
    const Rect frame(0, kClassAlbumSegHeight, view()->bounds().width(), screen.height() - 100);
    auto table = homework::makeListTable(frame);
    table->setTag(tag);
    table->setSectionHeaderHeight(0);
    header = EGORefreshTableHeaderView::make({0, -frame.height(), frame.width(), frame.height()});
    header->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    table->addSubview(header);
    header->refreshLastUpdatedDate();
    table->setDelegate(weakAs<TableViewDelegate>().lock());
    table->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(table);
    return table;
}

void MVTClassAlbumViewController::initPicTableView() {
    if (picTableview_) {
        picTableview_->reloadData();
        endRefreshAfter(0.5);
        return;
    }
    picTableview_ = makeList(kPicTableTag, picRefreshHeaderView_);
}

void MVTClassAlbumViewController::initAlbumTableView() {
    if (albumTableview_) {
        albumTableview_->reloadData();
        endRefreshAfter(0.5);
        return;
    }
    albumTableview_ = makeList(kAlbumTableTag, albumRefreshHeaderView_);
}

void MVTClassAlbumViewController::setFooter(Button& footer, const std::string& title, bool reacts) {
    footer.setTitle(localized(title));
    footer.setUserInteractionEnabled(reacts);
}

void MVTClassAlbumViewController::endRefreshAfter(double seconds) {
    auto weak = weakAs<MVTClassAlbumViewController>();
    RunLoop::main().performAfter(seconds, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTClassAlbumViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (showsAlbums())
        albumRefreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*albumTableview_);
    else if (picTableview_)
        picRefreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*picTableview_);
}

void MVTClassAlbumViewController::sendListRequest(const std::string& path, const Json& parameters, Reply reply,
                                                  Failure failure) {
    if (!sendRequest("GET", path, parameters, std::move(reply), failure)) {
        // Offline: the banner says so and the load ends as a failure.
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        failure();
    }
}

void MVTClassAlbumViewController::listFailed(const std::shared_ptr<Button>& footer, double endAfter) {
    if (footer) setFooter(*footer, "点击加载更多", true);
    endRefreshAfter(endAfter);
}

void MVTClassAlbumViewController::getPicData() {
    Json parameters = {{"limit", "15"}, {"filter", "type:class_album"}};
    if (!picDataArr_.empty()) parameters["maxIdNotIncludeSelf"] = albums::text(*picDataArr_.back(), "id");
    auto weak = weakAs<MVTClassAlbumViewController>();
    sendListRequest(
        "feed/" + homework::currentUserId() + "/list/1", parameters,
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->picPageArrived(reply);
        },
        [weak] {
            if (auto self = weak.lock()) self->listFailed(self->picMoreBtn_, 0.1);
        });
}

void MVTClassAlbumViewController::picPageArrived(const Json& reply) {
    auto items = classAlbumItems(reply);
    if (!items) {
        listFailed(picMoreBtn_, 0.1);
        return;
    }
    const bool hadPosts = !picDataArr_.empty();
    for (const auto& item : *items) picDataArr_.push_back(std::make_shared<Json>(item));
    if (!picMoreBtn_) {
        auto weak = weakAs<MVTClassAlbumViewController>();
        picMoreBtn_ = homework::setLoadMoreFooter(*picTableview_, [weak] {
            if (auto self = weak.lock()) self->getPicData();
        });
    }
    if (items->size() >= kPicPageSize) {
        setFooter(*picMoreBtn_, "点击加载更多", true);
        initPicTableView();
        return;
    }
    setFooter(*picMoreBtn_, !items->empty() || hadPosts ? "已加载全部" : "没有相关内容", false);
    if (!items->empty())
        initPicTableView();
    else
        endRefreshAfter(0.1);
}

void MVTClassAlbumViewController::reloadPicData() {
    Json parameters = {{"limit", "15"}, {"filter", "type:class_album"}};
    if (!picDataArr_.empty()) parameters["minIdNotIncludeSelf"] = albums::text(*picDataArr_.front(), "id");
    auto weak = weakAs<MVTClassAlbumViewController>();
    sendListRequest(
        "feed/" + homework::currentUserId() + "/list/1", parameters,
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->picRefreshArrived(reply);
        },
        [weak] {
            if (auto self = weak.lock()) self->listFailed(self->picMoreBtn_, 0.5);
        });
}

void MVTClassAlbumViewController::picRefreshArrived(const Json& reply) {
    auto items = classAlbumItems(reply);
    if (!items) {
        listFailed(picMoreBtn_, 0.5);
        return;
    }
    if (!picMoreBtn_) {
        auto weak = weakAs<MVTClassAlbumViewController>();
        picMoreBtn_ = homework::setLoadMoreFooter(*picTableview_, [weak] {
            if (auto self = weak.lock()) self->getPicData();
        });
    }
    if (items->empty()) {
        endRefreshAfter(0.5);
        return;
    }
    std::vector<std::shared_ptr<Json>> fresh;
    for (const auto& item : *items) fresh.push_back(std::make_shared<Json>(item));
    fresh.insert(fresh.end(), picDataArr_.begin(), picDataArr_.end());
    picDataArr_ = std::move(fresh);
    if (picDataArr_.size() < 16) {
        setFooter(*picMoreBtn_, "已加载全部", false);
    } else {
        picDataArr_.resize(15);
        setFooter(*picMoreBtn_, "点击加载更多", true);
    }
    initPicTableView();
}

void MVTClassAlbumViewController::getAlbumData() {
    const std::string page = std::to_string(albumDataArr_.size() / kAlbumPageSize + 1);
    auto weak = weakAs<MVTClassAlbumViewController>();
    sendListRequest(
        "class/" + homework::currentUserId() + "/album/list", {{"limit", "10"}, {"page", page}},
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->albumPageArrived(reply, false);
        },
        [weak] {
            if (auto self = weak.lock()) self->listFailed(self->albumMoreBtn_, 0.5);
        });
}

void MVTClassAlbumViewController::reloadAlbumData() {
    auto weak = weakAs<MVTClassAlbumViewController>();
    sendListRequest(
        "class/" + homework::currentUserId() + "/album/list", {{"limit", "10"}, {"page", "1"}},
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->albumPageArrived(reply, true);
        },
        [weak] {
            if (auto self = weak.lock()) self->listFailed(self->albumMoreBtn_, 0.5);
        });
}

void MVTClassAlbumViewController::albumPageArrived(const Json& reply, bool refresh) {
    auto items = classAlbumItems(reply);
    if (!items) {
        listFailed(albumMoreBtn_, 0.5);
        return;
    }
    if (!albumMoreBtn_) {
        auto weak = weakAs<MVTClassAlbumViewController>();
        albumMoreBtn_ = homework::setLoadMoreFooter(*albumTableview_, [weak] {
            if (auto self = weak.lock()) self->getAlbumData();
        });
    }
    const bool hadAlbums = !albumDataArr_.empty();
    if (refresh) albumDataArr_ = Json::array();
    for (const auto& item : *items) albumDataArr_.push_back(item);
    if (items->size() >= std::size_t(kAlbumPageSize))
        setFooter(*albumMoreBtn_, "点击加载更多", true);
    else if (refresh)
        setFooter(*albumMoreBtn_, albumDataArr_.empty() ? "没有相关内容" : "已加载全部", false);
    else
        setFooter(*albumMoreBtn_, !items->empty() || hadAlbums ? "已加载全部" : "没有相关内容", false);
    if (refresh || !items->empty()) initAlbumTableView();
}

void MVTClassAlbumViewController::reloadTableViewDataSource() {
    if (showsAlbums())
        reloadAlbumData();
    else if (!picDataArr_.empty())
        reloadPicData();
    else
        getPicData();
    reloading_ = true;
}

void MVTClassAlbumViewController::toReloadCurrentPicData() {
    if (auto recent = std::dynamic_pointer_cast<Button>(segView_->viewWithTag(10));
        recent && recent->isUserInteractionEnabled())
        toChangePicOrAlbum(*recent);
    auto weak = weakAs<MVTClassAlbumViewController>();
    RunLoop::main().performAfter(kReloadAfterUpload, [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->picTableview_->setContentOffset({0, -60}, true);
        self->picRefreshHeaderView_->egoRefreshScrollViewFirst(*self->picTableview_);
        self->egoRefreshTableHeaderDidTriggerRefresh(*self->picRefreshHeaderView_);
    });
}

// ---- Table

int MVTClassAlbumViewController::numberOfRowsInSection(TableView& tableView, int) {
    if (tableView.tag() == kPicTableTag) return int(picDataArr_.size());
    return int((albumDataArr_.size() + 1) / 2);
}

std::shared_ptr<TableViewCell> MVTClassAlbumViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                   const IndexPath& indexPath) {
    const int row = indexPath.row;
    if (tableView.tag() == kPicTableTag) {
        auto cell = MVTClassPicCell::make();
        cell->contentView()->setTag(row);
        cell->setDelegate(weakAs<MVTClassPicCellDelegate>());
        if (row >= 0 && std::size_t(row) < picDataArr_.size()) cell->reloadDataWith(*picDataArr_[std::size_t(row)]);
        cell->contentView()->setBackgroundColor(Color::white(0.961));
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        return cell;
    }
    auto cell = std::dynamic_pointer_cast<MVTAlbumCell>(tableView.dequeueReusableCellWithIdentifier(MVTAlbumCell::kReuseIdentifier));
    if (!cell) {
        cell = MVTAlbumCell::make();
        cell->setDelegate(weakAs<MVTAlbumCellDelegate>());
    }
    Json pair = Json::array();
    for (std::size_t i = std::size_t(row) * 2; i < albumDataArr_.size() && i < std::size_t(row) * 2 + 2; ++i)
        pair.push_back(albumDataArr_[i]);
    cell->contentView()->setTag(row);
    cell->reloadDataWith(pair);
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

double MVTClassAlbumViewController::heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (tableView.tag() != kPicTableTag) return MVTAlbumCell::rowHeight();
    if (indexPath.row < 0 || std::size_t(indexPath.row) >= picDataArr_.size()) return 0;
    auto cell = MVTClassPicCell::make();
    cell->reloadDataWith(*picDataArr_[std::size_t(indexPath.row)]);
    return cell->frame().height();
}

void MVTClassAlbumViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (tableView.tag() != kPicTableTag || indexPath.row < 0 || std::size_t(indexPath.row) >= picDataArr_.size())
        return;
    selectdIndexPath_ = indexPath;
    auto post = picDataArr_[std::size_t(indexPath.row)];
    auto details = std::make_shared<MVTDetailsViewController>();
    details->setDelegate(weakAs<MVTDetailsViewControllerDelegate>().lock());
    details->setMyDict(post);
    details->setModelName("feed");
    details->setModelID(albums::text(*post, "id"));
    details->setSelfIndexStr(std::to_string(indexPath.row));
    details->view()->setTag(4);
    if (auto stack = navigationController()) stack->pushViewController(details, true);
}

void MVTClassAlbumViewController::reloadOneCell() {
    if (selectdIndexPath_ && picTableview_ && std::size_t(selectdIndexPath_->row) < picDataArr_.size())
        picTableview_->reloadRowsAtIndexPaths({*selectdIndexPath_}, TableViewRowAnimation::None);
}

void MVTClassAlbumViewController::deleteOneCell(int row) {
    if (row < 0 || std::size_t(row) >= picDataArr_.size()) return;
    picDataArr_.erase(picDataArr_.begin() + row);
    picTableview_->reloadData();
}

void MVTClassAlbumViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() == 200) {
        showIMagePageWith(scrollView);
        return;
    }
    auto header = showsAlbums() ? albumRefreshHeaderView_ : picRefreshHeaderView_;
    if (header) header->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTClassAlbumViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (scrollView.tag() == 200) return;
    auto header = showsAlbums() ? albumRefreshHeaderView_ : picRefreshHeaderView_;
    if (header) header->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTClassAlbumViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTClassAlbumViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTClassAlbumViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}

// ---- Pictures, praise, delete, albums

void MVTClassAlbumViewController::showImage(const Json& pictures, int index) { HomeworkScreen::showImage(pictures, index); }

void MVTClassAlbumViewController::sendPraisePicWith(Button& button) {
    if (MVTPublicMethod::isUnClassId()) {
        MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    const std::string postId = button.accessibilityHint();
    auto target = std::static_pointer_cast<Button>(button.ptr());
    auto weak = weakAs<MVTClassAlbumViewController>();
    // What the row shows once praised: the count, the praised icon growing into place.
    auto showPraised = [target](std::shared_ptr<Json> post, const std::string& count) {
        auto label = std::dynamic_pointer_cast<Label>(target->viewWithTag(MVTClassPicCell::kPraiseCountTag));
        if (label) label->setText(count);
        target->setUserInteractionEnabled(false);
        if (post) {
            (*post)["likeCount"] = count;
            (*post)["love"] = "1";
        }
        if (auto icon = std::dynamic_pointer_cast<ImageView>(target->viewWithTag(MVTClassPicCell::kPraiseIconTag))) {
            icon->setImage(Image::imageNamed("liked.png"));
            icon->setFrame({6, 8, 24, 24});
            animate(0.3, [icon] { icon->setFrame({10, 12, 16, 16}); });
        }
    };
    std::shared_ptr<Json> post;
    for (const auto& item : picDataArr_)
        if (albums::text(*item, "id") == postId) post = item;
    auto sent = sendRequest(
        "GET", "user/" + homework::currentUserId() + "/feed/" + postId + "/praise", Json::object(),
        [weak, post, postId, target, showPraised](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            if (homework::readsTrue(valueFor(reply, "success"))) {
                showPraised(post, albums::text(reply, "count"));
                return;
            }
            const std::string message = albums::text(reply, "message");
            if (message == localized("该内容已被删除")) {
                self->removePicDataWith(postId);
            } else if (message == localized("已经赞过了，不能再赞了")) {
                auto label = std::dynamic_pointer_cast<Label>(target->viewWithTag(MVTClassPicCell::kPraiseCountTag));
                std::string count = label ? label->text() : "1";
                if (intValue(count) == 0) count = "1";
                showPraised(post, count);
            } else {
                MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
            }
        },
        [] { MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed); });
    if (!sent) MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
}

void MVTClassAlbumViewController::toDeletePicWith(const std::string& postId, int) {
    auto weak = weakAs<MVTClassAlbumViewController>();
    auto refused = [weak] {
        if (auto self = weak.lock())
            AlertView::make(localized("删除失败,请重新删除"), "", self->weakAs<AlertViewDelegate>(), localized("知道了"))->show();
    };
    auto sent = sendRequest(
        "GET", "user/" + homework::currentUserId() + "/feed/" + postId + "/message/delete", Json::object(),
        [weak, postId, refused](const Json& reply) {
            auto self = weak.lock();
            if (!self || !reply.is_object()) return;
            if (homework::readsTrue(valueFor(reply, "success")))
                self->removePicDataWith(postId);
            else
                refused();
        },
        refused);
    if (!sent) {
        MVTPublicMethod::stopWaitAnimation(view());
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
    }
}

void MVTClassAlbumViewController::deleteCachedPictures(const Json& post) {
    const Json& attachments = valueFor(post, "attachments");
    if (!attachments.is_array()) return;
    for (const auto& attachment : attachments) {
        if (albums::text(attachment, "type") != "image") continue;
        const std::pair<const char*, const char*> caches[] = {{"account_", "id"}, {"og_", "resModuleId"}};
        for (const auto& [prefix, key] : caches) {
            const std::string id = albums::text(attachment, key);
            if (!isPlainServiceId(id)) continue;
            const std::string file = MVTPublicMethod::getPathByFileName(prefix + id, "png");
            if (MVTPublicMethod::fileExistsAtPath(file) && MVTPublicMethod::isNewmodify(file)) std::filesystem::remove(file);
        }
    }
}

void MVTClassAlbumViewController::removePicDataWith(const std::string& postId) {
    for (std::size_t i = picDataArr_.size(); i-- > 0;) {
        if (albums::text(*picDataArr_[i], "id") != postId) continue;
        deleteCachedPictures(*picDataArr_[i]);
        picDataArr_.erase(picDataArr_.begin() + long(i));
        picTableview_->beginUpdates();
        picTableview_->deleteRowsAtIndexPaths({IndexPath::forRow(int(i), 0)}, TableViewRowAnimation::Right);
        picTableview_->endUpdates();
        return;
    }
}

void MVTClassAlbumViewController::goToAlbumDetailsWith(const std::string& indexText) {
    const long long index = integerValue(indexText);
    if (index < 0 || std::size_t(index) >= albumDataArr_.size()) return;
    const Json& album = albumDataArr_[std::size_t(index)];
    auto grid = std::make_shared<MVTAlbumDetalsViewController>();
    grid->setIsmanagerStr(albums::text(album, "ismanager"));
    grid->setAlbumId(albums::text(album, "id"));
    grid->setNameStr(albums::text(album, "name"));
    grid->setAlbumDic(std::make_shared<Json>(album));
    if (albums::text(album, "uid") == "-1") grid->setIsSysteam(true);
    if (auto stack = navigationController()) stack->pushViewController(grid, true);
}
