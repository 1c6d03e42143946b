#include "albums/MVTAlbumDetalsViewController.h"

#include "account/MVTInterClassViewController.h"
#include "albums/AlbumCommon.h"
#include "albums/AlbumScreens.h"
#include "albums/MVTCyclePicViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using namespace platform;

// ---- Row

std::shared_ptr<MVTAlbumDetailsCell> MVTAlbumDetailsCell::make() {
    auto cell = std::make_shared<MVTAlbumDetailsCell>();
    cell->initWithStyle(TableViewCellStyle::Default, kReuseIdentifier);
    const double w = side();
    std::weak_ptr<MVTAlbumDetailsCell> weak = cell;
    for (int i = 0; i < 3; ++i) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({10 + i * (w + 10), 10, w, w});
        button->setBackgroundColor(Color::whiteColor());
        button->setTag(i);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->whichClickd(static_cast<Button&>(control));
        });
        auto picture = std::make_shared<ImageView>(Rect(0, 0, w, w));
        picture->setBackgroundColor(Color::rgb255(242, 242, 242));
        picture->setTag(kPictureTag);
        button->addSubview(picture);
        auto mark = std::make_shared<ImageView>(Rect(w - 10, -4, 17, 17));
        mark->setBackgroundColor(Color::clear());
        mark->setTag(kMarkTag);
        button->addSubview(mark);
        cell->contentView()->addSubview(button);
        cell->modelArr_.push_back(button);
    }
    return cell;
}

double MVTAlbumDetailsCell::side() { return (Screen::mainScreen().bounds().width() - 40) / 3; }

void MVTAlbumDetailsCell::reloadDataWith(const Json& photos) {
    for (const auto& button : modelArr_) button->setHidden(true);
    if (!photos.is_array()) return;
    for (std::size_t i = 0; i < photos.size() && i < modelArr_.size(); ++i) {
        auto& button = modelArr_[i];
        button->setHidden(false);
        auto picture = std::static_pointer_cast<ImageView>(button->viewWithTag(kPictureTag));
        picture->setImage(nullptr);
        albums::showThumbnail(picture, albums::pictureIdOf(photos[i]));
        auto mark = std::static_pointer_cast<ImageView>(button->viewWithTag(kMarkTag));
        const bool marked = intValue(albums::text(photos[i], "selected")) != 0;
        if (edit_) {
            mark->setHidden(false);
            mark->setImage(Image::imageNamed(marked ? "check_more.png" : "uncheck_more.png"));
            button->setSelected(marked);
        } else {
            mark->setHidden(true);
            mark->setImage(Image::imageNamed("uncheck_more.png"));
            button->setSelected(false);
        }
    }
}

void MVTAlbumDetailsCell::whichClickd(Button& button) {
    const std::string index = std::to_string(button.tag() + 3 * contentView()->tag());
    auto delegate = delegate_.lock();
    if (!edit_) {
        if (delegate) delegate->whichSelectdWith(index);
        return;
    }
    button.setSelected(!button.isSelected());
    if (auto mark = std::dynamic_pointer_cast<ImageView>(button.viewWithTag(kMarkTag)))
        mark->setImage(Image::imageNamed(button.isSelected() ? "check_more.png" : "uncheck_more.png"));
    if (delegate) delegate->deleteOrUnDeleteWith(index, button.isSelected());
}

// ---- Grid

MVTAlbumDetalsViewController::MVTAlbumDetalsViewController() = default;
MVTAlbumDetalsViewController::~MVTAlbumDetalsViewController() = default;

bool MVTAlbumDetalsViewController::isGroupMode() const { return !MVTPublicMethod::stringIsClassNull(fieldId_); }

void MVTAlbumDetalsViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    auto weak = weakAs<MVTAlbumDetalsViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    const bool manager = intValue(ismanagerStr_) != 0;
    rightBtn_ = setRightTextButton(localized(manager ? "管理" : "上传"), [weak] {
        if (auto self = weak.lock()) self->toManageAlbum();
    });
    rightBtn_->setFrame({0, 0, InternationalControl::userLanguage() == InternationalControl::kChinese ? 44.0 : 54.0, 44});
    rightBtn_->setTitleColor(Color::whiteColor());
    if (!manager && isSysteam_) navigationItem().setRightBarButtonItem(nullptr);
    rightBtn_->setEnabled(false);
    picDataArr_ = Json::array();
    initmytableview();
    if (isGroupMode())
        groupObserver_ = NotificationCenter::defaultCenter().addObserver(kReloadGroupNotification, [weak](const Notification&) {
            if (auto self = weak.lock()) self->reloadAlbumPicData();
        });
    getAlbumPicData();
}

void MVTAlbumDetalsViewController::viewDidAppear(bool animated) {
    HomeworkScreen::viewDidAppear(animated);
    setTitle(nameStr_);
    if (albumDic_ && !MVTPublicMethod::stringIsClassNull(valueFor(*albumDic_, "name")))
        setTitle(albums::text(*albumDic_, "name"));
}

void MVTAlbumDetalsViewController::goback() {
    groupObserver_.reset();
    if (auto stack = navigationController()) stack->popViewController(true);
}

void MVTAlbumDetalsViewController::initmytableview() {
    if (mytableview_) {
        mytableview_->reloadData();
        auto weak = weakAs<MVTAlbumDetalsViewController>();
        RunLoop::main().performAfter(0.5, [weak] {
            if (auto self = weak.lock()) self->doneLoadingTableViewData();
        });
        return;
    }
    const Rect frame(0, 0, view()->bounds().width(), Screen::mainScreen().bounds().height() - 64);
    mytableview_ = homework::makeListTable(frame);
    refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -frame.height(), frame.width(), frame.height()});
    refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    mytableview_->addSubview(refreshHeaderView_);
    refreshHeaderView_->refreshLastUpdatedDate();
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(mytableview_);
}

std::string MVTAlbumDetalsViewController::pagePath() const {
    if (isGroupMode())
        return "forum/" + homework::currentUserId() + "/" + forumId_ + "/" + fieldId_ + "/" + albumId_ + "/photo/list";
    return "class/album/" + albumId_ + "/photo/list";
}

void MVTAlbumDetalsViewController::setFooter(const std::string& title, bool reacts) {
    if (!morePicBtn_) {
        auto weak = weakAs<MVTAlbumDetalsViewController>();
        morePicBtn_ = homework::setLoadMoreFooter(*mytableview_, [weak] {
            if (auto self = weak.lock()) self->getAlbumPicData();
        });
    }
    morePicBtn_->setTitle(localized(title));
    morePicBtn_->setUserInteractionEnabled(reacts);
}

void MVTAlbumDetalsViewController::getAlbumPicData() {
    const std::string page = std::to_string(picDataArr_.size() / kPageSize + 1);
    auto weak = weakAs<MVTAlbumDetalsViewController>();
    auto sent = sendRequest(
        "GET", pagePath(), {{"page", page}, {"limit", "15"}},
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->pageArrived(reply, false);
        },
        [weak] {
            if (auto self = weak.lock()) self->pageFailed();
        });
    if (!sent) pageFailed();
}

void MVTAlbumDetalsViewController::reloadAlbumPicData() {
    auto weak = weakAs<MVTAlbumDetalsViewController>();
    auto sent = sendRequest(
        "GET", pagePath(), {{"page", "1"}, {"limit", "15"}},
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->pageArrived(reply, true);
        },
        [weak] {
            if (auto self = weak.lock()) self->pageFailed();
        });
    if (!sent) pageFailed();
}

void MVTAlbumDetalsViewController::pageArrived(const Json& reply, bool fromFirst) {
    if (rightBtn_) rightBtn_->setEnabled(true);
    const Json& page = isGroupMode() ? valueFor(reply, "list") : reply;
    if (!page.is_array()) {
        pageFailed();
        return;
    }
    if (fromFirst) picDataArr_ = Json::array();
    std::size_t added = 0;
    for (const auto& record : page) {
        if (!record.is_object()) continue;
        // A photo already held (a page that moved under new uploads) is not shown twice.
        const std::string id = albums::text(record, "id");
        const bool held = !albums::isMissing(record, "id") &&
                          std::any_of(picDataArr_.begin(), picDataArr_.end(),
                                      [&](const Json& photo) { return albums::text(photo, "id") == id; });
        if (held) continue;
        Json photo = record;
        photo["selected"] = "0";
        picDataArr_.push_back(photo);
        ++added;
    }
    if (page.size() > 14) {
        setFooter("点击加载更多", true);
    } else {
        setFooter(picDataArr_.empty() ? "没有相关内容" : "已加载全部", false);
        if (page.empty() && !fromFirst) return;
    }
    (void)added;
    initmytableview();
}

void MVTAlbumDetalsViewController::pageFailed() {
    if (rightBtn_) rightBtn_->setEnabled(true);
    if (morePicBtn_) {
        morePicBtn_->setTitle(localized("点击加载更多"));
        morePicBtn_->setUserInteractionEnabled(true);
    }
    auto weak = weakAs<MVTAlbumDetalsViewController>();
    RunLoop::main().performAfter(0.5, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTAlbumDetalsViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

void MVTAlbumDetalsViewController::toManageAlbum() {
    if (MVTPublicMethod::isUnClassId()) {
        MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    const std::string title = rightBtn_->currentTitle();
    if (title == localized("管理")) {
        std::vector<std::string> entries;
        if (!isSysteam_)
            entries = {localized("上传照片"), localized("编辑相册"), localized("批量删除照片")};
        else if (isGroupMode())
            entries = {localized("上传照片"), localized("批量删除照片")};
        else
            entries = {localized("批量删除照片")};
        ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取 消"), "", entries)->showInView(view().get());
    } else if (title == localized("删除")) {
        rightBtn_->setUserInteractionEnabled(false);
        deleteSelectPic();
    } else if (title == localized("上传")) {
        albums::openUploadScreen(*this, nameStr_, albumId_, fieldId_, forumId_);
    }
}

void MVTAlbumDetalsViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (index == sheet.cancelButtonIndex()) return;
    const std::string entry = sheet.buttonTitleAtIndex(index);
    if (entry == localized("上传照片")) {
        albums::openUploadScreen(*this, nameStr_, albumId_, fieldId_, forumId_);
    } else if (entry == localized("编辑相册")) {
        albums::openEditAlbumScreen(*this, albumDic_, forumId_, fieldId_);
    } else if (entry == localized("批量删除照片")) {
        if (picDataArr_.empty()) {
            AlertView::make(localized("暂无相关内容"), "", weakAs<AlertViewDelegate>(), localized("知道了"))->show();
            return;
        }
        rightBtn_->setTitle(localized("删除"));
        isEdit_ = true;
        mytableview_->reloadData();
    }
}

void MVTAlbumDetalsViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    MVTInterClassViewController::answerJoinClassAlert(*this, alert, index);
}

void MVTAlbumDetalsViewController::leaveSelectMode() {
    rightBtn_->setUserInteractionEnabled(true);
    rightBtn_->setTitle(localized("管理"));
    isEdit_ = false;
    mytableview_->reloadData();
}

void MVTAlbumDetalsViewController::deleteSelectPic() {
    const char* key = isGroupMode() ? "id" : "resourceModuleId";
    Json collected = Json::array();
    std::string joined;
    for (const auto& photo : picDataArr_) {
        if (intValue(albums::text(photo, "selected")) == 0) continue;
        collected.push_back(photo);
        joined += albums::text(photo, key) + ",";
    }
    if (collected.empty()) {
        leaveSelectMode();
        return;
    }
    joined.pop_back();
    auto weak = weakAs<MVTAlbumDetalsViewController>();
    auto failed = [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->leaveSelectMode();
        AlertView::make(localized("删除失败,请重新删除"), "", self->weakAs<AlertViewDelegate>(), localized("知道了"))->show();
    };
    std::shared_ptr<HttpJsonRequestOperation> sent;
    if (isGroupMode())
        sent = sendRequest("GET",
                           "forum/" + homework::currentUserId() + "/" + forumId_ + "/" + fieldId_ + "/" + albumId_ +
                               "/photo/remove",
                           {{"ids", joined}},
                           [weak, collected](const Json& reply) {
                               if (auto self = weak.lock()) self->deleteEnded(reply, collected);
                           },
                           failed);
    else
        sent = sendRequest("POST", "class/" + homework::currentUserId() + "/album/" + albumId_ + "/photo/delete",
                           {{"moduleTypeIds", joined}},
                           [weak, collected](const Json& reply) {
                               if (auto self = weak.lock()) self->deleteEnded(reply, collected);
                           },
                           failed);
    if (!sent) failed();
}

void MVTAlbumDetalsViewController::deleteEnded(const Json& reply, const Json& collected) {
    if (!homework::readsTrue(valueFor(reply, "success"))) {
        leaveSelectMode();
        AlertView::make(localized("删除失败,请重新删除"), "", weakAs<AlertViewDelegate>(), localized("知道了"))->show();
        return;
    }
    for (const auto& photo : collected) {
        for (const std::string& file : {albums::thumbnailFile(albums::text(photo, "resourceId")),
                                        albums::fullPictureFile(albums::text(photo, "resourceModuleId"))})
            if (!file.empty() && fileExists(file)) std::filesystem::remove(file);
        picDataArr_.erase(std::remove(picDataArr_.begin(), picDataArr_.end(), photo), picDataArr_.end());
    }
    leaveSelectMode();
}

void MVTAlbumDetalsViewController::whichSelectdWith(const std::string& indexText) {
    const long long index = integerValue(indexText);
    if (index < 0 || std::size_t(index) >= picDataArr_.size()) return;
    auto pager = std::make_shared<MVTCyclePicViewController>();
    pager->setPicDataArr(picDataArr_);
    pager->setIndex(int(index));
    presentViewController(pager, true);
}

void MVTAlbumDetalsViewController::deleteOrUnDeleteWith(const std::string& indexText, bool marked) {
    const long long index = integerValue(indexText);
    if (index < 0 || std::size_t(index) >= picDataArr_.size()) return;
    picDataArr_[std::size_t(index)]["selected"] = marked ? "1" : "0";
}

int MVTAlbumDetalsViewController::numberOfRowsInSection(TableView&, int) { return int((picDataArr_.size() + 2) / 3); }

std::shared_ptr<TableViewCell> MVTAlbumDetalsViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                    const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTAlbumDetailsCell>(
        tableView.dequeueReusableCellWithIdentifier(MVTAlbumDetailsCell::kReuseIdentifier));
    if (!cell) {
        cell = MVTAlbumDetailsCell::make();
        cell->setDelegate(weakAs<MVTAlbumDetailsDelegate>());
    }
    const std::size_t first = std::size_t(indexPath.row) * 3;
    Json photos = Json::array();
    for (std::size_t i = first; i < picDataArr_.size() && i < first + 3; ++i) photos.push_back(picDataArr_[i]);
    cell->contentView()->setTag(indexPath.row);
    cell->showEdit(isEdit_);
    cell->reloadDataWith(photos);
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

double MVTAlbumDetalsViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) {
    return MVTAlbumDetailsCell::side() + 10;
}

void MVTAlbumDetalsViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTAlbumDetalsViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTAlbumDetalsViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadAlbumPicData();
    reloading_ = true;
}

bool MVTAlbumDetalsViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTAlbumDetalsViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}
