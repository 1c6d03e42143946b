#include "homework/MVTNewHWListViewController.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "homework/MVTNHWAddViewController.h"
#include "homework/MVTNHWDetailsViewController.h"
#include "homework/MVTNHWSelectViewController.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/Clock.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;
using homework::kAccent;
using homework::kTextGrey;

namespace {

constexpr double kListSelectViewHeight = 40;
constexpr double kListUnderlineY = 31;
constexpr double kListHeaderHeight = 40;
const Color kListChipBorder = Color::rgba(0.851, 0.871, 0.847);

Rect listScreenBounds() { return Screen::mainScreen().bounds(); }

bool isUnreadListRow(const Json& row) { return row.is_object() && row.contains("readed") && !homework::readsTrue(row["readed"]); }

Json listRowWithValue(const Json& row, const char* key, const std::string& value) {
    Json copy = row.is_object() ? row : Json::object();
    copy[key] = value;
    return copy;
}

// The reply's rows: a list reply keeps its dictionaries, in order.
Json listRowsOf(const Json& reply) {
    Json rows = Json::array();
    for (const auto& row : reply)
        if (row.is_object()) rows.push_back(row);
    return rows;
}

}  // namespace

MVTNewHWListViewController::MVTNewHWListViewController() = default;
MVTNewHWListViewController::~MVTNewHWListViewController() {
    if (pageOperation_) pageOperation_->cancel();
}

void MVTNewHWListViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    const Rect screen = listScreenBounds();
    auto weak = weakAs<MVTNewHWListViewController>();

    nagTopView_ = std::make_shared<View>(Rect(0, 0, screen.width() - 20, 44));
    nagTopView_->setBackgroundColor(Color::clear());
    auto title = std::make_shared<Label>(Rect(0, 0, screen.width() - 20, 44));
    title->setBackgroundColor(Color::clear());
    title->setFont(Font::boldSystemFontOfSize(18));
    title->setTextColor(Color::whiteColor());
    title->setTextAlignment(TextAlignment::Center);
    title->setText(localized("作业"));
    nagTopView_->addSubview(title);
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setFrame({6, 2, 40, 40});
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    nagTopView_->addSubview(back);
    navigationItem().setTitleView(nagTopView_);
    navigationItem().setHidesBackButton(true);

    unReadCount_ = 0;
    dataArray_ = Json::array();
    stdAllRows_ = Json::array();
    starredRows_ = Json::array();
    stdAllPage_ = starredPage_ = 1;
    stdAllMore_ = starredMore_ = true;

    initTable();
    if (homework::currentRole() == "student")
        initSelectView();
    else
        selectFlag_ = kNoTabs;
    initAddBtn();
    getNewHomeworkData();
}

void MVTNewHWListViewController::initTable() {
    if (myTable_) {
        myTable_->reloadData();
        scheduleEndOfRefresh();
        return;
    }
    const Rect screen = listScreenBounds();
    const bool student = homework::currentRole() == "student";
    const Rect frame = student ? Rect(0, kListSelectViewHeight, screen.width(), screen.height() - 104)
                               : Rect(0, 0, screen.width(), screen.height() - 64);
    myTable_ = homework::makeListTable(frame);
    creatTableFooter();
    refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -frame.height(), frame.width(), frame.height()});
    refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    myTable_->addSubview(refreshHeaderView_);
    refreshHeaderView_->refreshLastUpdatedDate();
    myTable_->setDelegate(weakAs<TableViewDelegate>().lock());
    myTable_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(myTable_);
}

void MVTNewHWListViewController::creatTableFooter() {
    auto weak = weakAs<MVTNewHWListViewController>();
    moreBtn_ = homework::setLoadMoreFooter(*myTable_, [weak] {
        if (auto self = weak.lock()) self->getNewHomeworkData();
    });
}

void MVTNewHWListViewController::initSelectView() {
    const double width = listScreenBounds().width();
    selectView_ = std::make_shared<View>(Rect(0, 0, width, kListSelectViewHeight));
    auto background = std::make_shared<ImageView>(Rect(0, 0, width, kListSelectViewHeight));
    background->setImage(Image::imageNamed("header_bg"));
    selectView_->addSubview(background);
    auto line = std::make_shared<ImageView>(Rect(0, kListSelectViewHeight - 0.5, width, 0.5));
    line->setImage(Image::imageNamed("line1.png"));
    selectView_->addSubview(line);

    auto weak = weakAs<MVTNewHWListViewController>();
    const std::pair<const char*, int> tabs[] = {{"全部", kAllTab}, {"星标", kStarredTab}};
    for (int i = 0; i < 2; ++i) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({width / 2 * i, 0, width / 2, kListSelectViewHeight});
        button->setTag(tabs[i].second);
        button->setTitle(localized(tabs[i].first));
        button->titleLabel()->setFont(Font::systemFontOfSize(15));
        button->setTitleColor(kTextGrey);
        button->setTitleColor(kAccent, ControlStateSelected);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->whichSelectBtn(static_cast<Button&>(control));
        });
        button->setSelected(i == 0);
        button->setUserInteractionEnabled(i != 0);
        selectView_->addSubview(button);
    }
    selectFlag_ = kAllTab;
    const double lineWidth = TextMeasure::sizeWithFont(localized("全部"), Font::systemFontOfSize(15)).width + 4;
    selectDownLine_ = std::make_shared<View>(Rect((width / 2 - lineWidth) / 2, kListUnderlineY, lineWidth, 1));
    selectDownLine_->setBackgroundColor(kAccent);
    selectView_->addSubview(selectDownLine_);
    view()->addSubview(selectView_);
}

void MVTNewHWListViewController::whichSelectBtn(Button& tapped) {
    if (tapped.tag() == selectFlag_) return;
    const double width = listScreenBounds().width();
    tapped.setSelected(true);
    tapped.setUserInteractionEnabled(false);
    for (const auto& sub : selectView_->subviews()) {
        auto button = std::dynamic_pointer_cast<Button>(sub);
        if (!button || button.get() == &tapped) continue;
        button->setSelected(false);
        button->setUserInteractionEnabled(true);
    }
    const double lineWidth = TextMeasure::sizeWithFont(tapped.currentTitle(), Font::systemFontOfSize(15)).width + 4;
    const double left = tapped.frame().x() + (width / 2 - lineWidth) / 2;
    auto line = selectDownLine_;
    animate(0.3, [line, left, lineWidth] { line->setFrame({left, kListUnderlineY, lineWidth, 1}); });

    selectFlag_ = tapped.tag();
    dataArray_ = *cacheOf(selectFlag_);
    if (!dataArray_.empty()) {
        initTable();
        myTable_->setContentOffset({0, 0}, false);
        const bool more = *moreOf(selectFlag_);
        setFooter(localized(more ? "点击加载更多" : "已加载全部"), more);
    } else {
        // A page of the other tab still on its way is dropped: that tab asks again when
        // it is chosen next (its page and more flag did not move).
        cancelListRequest();
        getNewHomeworkData();
    }
}

void MVTNewHWListViewController::cancelListRequest() {
    if (!pageOperation_) return;
    pageOperation_->cancel();
    pageOperation_.reset();
    showHUDWithBool(false);
}

void MVTNewHWListViewController::initAddBtn() {
    const double width = listScreenBounds().width();
    addBtn_ = Button::buttonWithType(ButtonType::Custom);
    addBtn_->setFrame({width - 70, 0, 44, 44});
    auto weak = weakAs<MVTNewHWListViewController>();
    if (homework::isTeacherOrAdmin()) {
        addBtn_->setImage(Image::imageNamed("add_nor_org"));
        addBtn_->setImageEdgeInsets({10, 18, 10, 2});
        addBtn_->setAccessibilityLabel(localized("新作业"));
        addBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toAddNewHomework();
        });
    } else {
        addBtn_->setTitle(localized("筛选"));
        addBtn_->setTitleColor(kAccent);
        addBtn_->titleLabel()->setFont(Font::systemFontOfSize(14));
        addBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toSelectTeacher();
        });
    }
    nagTopView_->addSubview(addBtn_);
}

Json MVTNewHWListViewController::listParameters(int page) const {
    Json parameters = {{"limit", std::to_string(homework::kPageSize)}, {"page", std::to_string(page)}};
    if (selectFlag_ == kStarredTab) parameters["flag"] = "3";
    if (!teacherIdStr_.empty()) parameters["teacherId"] = teacherIdStr_;
    return parameters;
}

Json* MVTNewHWListViewController::cacheOf(int flag) {
    if (flag == kStarredTab) return &starredRows_;
    if (flag == kAllTab) return &stdAllRows_;
    return nullptr;
}
int* MVTNewHWListViewController::pageOf(int flag) {
    if (flag == kStarredTab) return &starredPage_;
    if (flag == kAllTab) return &stdAllPage_;
    return nullptr;
}
bool* MVTNewHWListViewController::moreOf(int flag) {
    if (flag == kStarredTab) return &starredMore_;
    if (flag == kAllTab) return &stdAllMore_;
    return nullptr;
}

void MVTNewHWListViewController::getNewHomeworkData() {
    // One list request at a time: a second tap, or a tap during a refresh, would ask the
    // same page twice and show its rows twice.
    if (pageOperation_) return;
    const int flag = selectFlag_;
    const int page = flag == kNoTabs ? static_cast<int>(dataArray_.size()) / homework::kPageSize + 1 : *pageOf(flag);
    auto weak = weakAs<MVTNewHWListViewController>();
    pageOperation_ = sendRequest(
        "GET", "homework/list/" + homework::currentUserId(), listParameters(page),
        [weak, flag](const Json& reply) {
            auto self = weak.lock();
            self->pageOperation_.reset();
            if (reply.is_null()) {
                self->initTable();
            } else if (reply.is_array()) {
                self->pageLoaded(reply, flag);
            } else {
                // Any other shape is no page of homework.
                self->pageFailed(flag);
            }
        },
        [weak, flag] {
            auto self = weak.lock();
            self->pageOperation_.reset();
            self->pageFailed(flag);
        });
}

void MVTNewHWListViewController::countUnread(const Json& rows, int flag) {
    const bool counts = flag == kAllTab || homework::isTeacherOrAdmin();
    if (!counts) return;
    for (const auto& row : rows)
        if (isUnreadListRow(row)) ++unReadCount_;
    if (unReadCount_ != 0) MVTAccount::sharedInstance().setNewHM(true);
}

void MVTNewHWListViewController::setFooter(const std::string& title, bool reacts) {
    moreBtn_->setTitle(title);
    moreBtn_->setUserInteractionEnabled(reacts);
}

void MVTNewHWListViewController::setFooterAfter(std::size_t received) {
    if (received >= static_cast<std::size_t>(homework::kPageSize))
        setFooter(localized("点击加载更多"), true);
    else if (received > 0 || !dataArray_.empty())
        setFooter(localized("已加载全部"), false);
    else
        setFooter(localized("没有相关内容"), false);
}

void MVTNewHWListViewController::pageLoaded(const Json& reply, int flag) {
    const Json rows = listRowsOf(reply);
    if (flag != selectFlag_) {
        // The tab was changed while the page came: it belongs to its own tab only.
        Json* cache = cacheOf(flag);
        for (const auto& row : rows) cache->push_back(row);
        ++*pageOf(flag);
        *moreOf(flag) = reply.size() >= static_cast<std::size_t>(homework::kPageSize);
        countUnread(rows, flag);
        return;
    }
    for (const auto& row : rows) dataArray_.push_back(row);
    countUnread(rows, flag);
    setFooterAfter(reply.size());
    if (Json* cache = cacheOf(flag)) {
        for (const auto& row : rows) cache->push_back(row);
        ++*pageOf(flag);
        *moreOf(flag) = moreBtn_->isUserInteractionEnabled();
    }
    initTable();
}

void MVTNewHWListViewController::pageFailed(int flag) {
    if (flag == selectFlag_) setFooter(localized("加载失败，点击重新加载"), true);
    if (bool* more = moreOf(flag)) *more = true;
    initTable();
}

void MVTNewHWListViewController::reloadNewHomeworkData() {
    // A refresh replaces the rows: a page still on its way would add to them twice.
    cancelListRequest();
    const int flag = selectFlag_;
    auto weak = weakAs<MVTNewHWListViewController>();
    pageOperation_ = sendRequest(
        "GET", "homework/list/" + homework::currentUserId(), listParameters(1),
        [weak, flag](const Json& reply) {
            auto self = weak.lock();
            self->pageOperation_.reset();
            if (!reply.is_null() && !reply.is_array()) {
                self->initTable();
                return;
            }
            self->refreshed(reply, flag);
        },
        [weak] {
            auto self = weak.lock();
            self->pageOperation_.reset();
            self->initTable();
        });
    if (!pageOperation_) initTable();
}

void MVTNewHWListViewController::refreshed(const Json& reply, int flag) {
    if (flag != selectFlag_) {
        // Asked for the other tab: only that tab's rows change.
        const Json rows = reply.is_array() ? listRowsOf(reply) : Json::array();
        *cacheOf(flag) = rows;
        *pageOf(flag) = 2;
        *moreOf(flag) = reply.is_array() && reply.size() >= static_cast<std::size_t>(homework::kPageSize);
        return;
    }
    dataArray_ = Json::array();
    unReadCount_ = 0;
    if (reply.is_array()) {
        dataArray_ = listRowsOf(reply);
        countUnread(dataArray_, flag);
        setFooterAfter(reply.size());
        if (Json* cache = cacheOf(flag)) {
            *cache = dataArray_;
            *pageOf(flag) = 2;
            *moreOf(flag) = moreBtn_->isUserInteractionEnabled();
        }
    }
    initTable();
}

void MVTNewHWListViewController::scheduleEndOfRefresh() {
    auto weak = weakAs<MVTNewHWListViewController>();
    RunLoop::main().performAfter(kEndRefreshDelay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTNewHWListViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && myTable_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*myTable_);
}

void MVTNewHWListViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloading_ = true;
    reloadNewHomeworkData();
}

bool MVTNewHWListViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTNewHWListViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return now();
}

void MVTNewHWListViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_ && &scrollView == myTable_.get()) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTNewHWListViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_ && &scrollView == myTable_.get())
        refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

// ---- Teacher filter

void MVTNewHWListViewController::toSelectTeacher() {
    auto filter = std::make_shared<MVTNHWSelectViewController>();
    if (!teacherIdStr_.empty()) {
        Json chosen = Json::array();
        std::size_t start = 0;
        while (start <= teacherIdStr_.size()) {
            const auto comma = teacherIdStr_.find(',', start);
            chosen.push_back(teacherIdStr_.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        filter->setSelectTeaArr(chosen);
    }
    filter->setDelegate(weakAs<MVTNHWSelectViewDelegate>());
    if (auto stack = navigationController()) stack->pushViewController(filter, true);
}

void MVTNewHWListViewController::whichTeacherDidSelectWith(const Json& teachers) {
    auto weak = weakAs<MVTNewHWListViewController>();
    RunLoop::main().performAfter(kApplyFilterDelay, [weak, teachers] {
        if (auto self = weak.lock()) self->toGetSelectNHWData(teachers);
    });
}

void MVTNewHWListViewController::toGetSelectNHWData(const Json& teachers) {
    cancelListRequest();
    dataArray_ = Json::array();
    stdAllRows_ = Json::array();
    starredRows_ = Json::array();
    stdAllPage_ = starredPage_ = 1;
    stdAllMore_ = starredMore_ = true;
    if (teachers.is_array() && !teachers.empty()) {
        std::string ids;
        for (const auto& teacher : teachers) {
            if (!ids.empty()) ids += ",";
            ids += textOf(teacher, "uid");
        }
        teacherIdStr_ = ids;
        createHeadViewWith(teachers);
    } else {
        teacherIdStr_.clear();
        myTable_->setTableHeaderView(nullptr);
    }
    getNewHomeworkData();
}

void MVTNewHWListViewController::createHeadViewWith(const Json& teachers) {
    const double width = listScreenBounds().width();
    if (!headView_) {
        headView_ = std::make_shared<View>(Rect(0, 0, width, kListHeaderHeight));
        headView_->setBackgroundColor(homework::kBarGreen);
        headScrol_ = std::make_shared<ScrollView>(Rect(0, 0, width, kListHeaderHeight));
        headScrol_->setShowsHorizontalScrollIndicator(false);
        headView_->addSubview(headScrol_);
        auto line = std::make_shared<ImageView>(Rect(0, kListHeaderHeight - 0.5, width, 0.5));
        line->setImage(Image::imageNamed("line1.png"));
        headView_->addSubview(line);
    }
    for (const auto& chip : std::vector<std::shared_ptr<View>>(headScrol_->subviews()))
        if (std::dynamic_pointer_cast<Button>(chip)) chip->removeFromSuperview();

    auto weak = weakAs<MVTNewHWListViewController>();
    double x = 10;
    for (const auto& teacher : teachers) {
        const std::string name = textOf(teacher, "name");
        const double chipWidth = TextMeasure::sizeWithFont(name, Font::systemFontOfSize(14)).width + 10;
        auto chip = Button::buttonWithType(ButtonType::Custom);
        chip->setFrame({x, 5, chipWidth, 30});
        chip->setTitle(name);
        chip->setTitleColor(kAccent);
        chip->titleLabel()->setFont(Font::systemFontOfSize(14));
        chip->setCornerRadius(4);
        chip->setBorderWidth(0.5);
        chip->setBorderColor(kListChipBorder);
        chip->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toSelectTeacher();
        });
        headScrol_->addSubview(chip);
        x += chipWidth + 10;
    }
    headScrol_->setContentSize({std::max(x, width), kListHeaderHeight});
    myTable_->setTableHeaderView(headView_);
    initTable();
}

// ---- Rows

int MVTNewHWListViewController::numberOfRowsInSection(TableView&, int) { return static_cast<int>(dataArray_.size()); }

std::shared_ptr<TableViewCell> MVTNewHWListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                 const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTNewHomeworkCell>(
        tableView.dequeueReusableCellWithIdentifier(MVTNewHomeworkCell::kReuseIdentifier));
    if (!cell) {
        cell = MVTNewHomeworkCell::make();
        cell->setDelegate(weakAs<MVTNewHomeworkCellDelegate>());
    }
    if (indexPath.row >= 0 && indexPath.row < static_cast<int>(dataArray_.size()))
        cell->reloadDataWith(dataArray_[indexPath.row], indexPath.row);
    cell->setBackgroundColor(homework::kBackgroundGrey);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

double MVTNewHWListViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(dataArray_.size())) return 0;
    if (!sizingCell_) sizingCell_ = MVTNewHomeworkCell::make();
    sizingCell_->reloadDataWith(dataArray_[indexPath.row], indexPath.row);
    return sizingCell_->frame().height();
}

void MVTNewHWListViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    showHomeworkInfoWith(indexPath.row);
}

void MVTNewHWListViewController::showHomeworkInfoWith(int index) {
    if (index < 0 || index >= static_cast<int>(dataArray_.size())) return;
    interDetailsIndex_ = index;
    starDic_ = dataArray_[index];
    const Json& row = starDic_;
    auto details = std::make_shared<MVTNHWDetailsViewController>();
    details->setHwId(textOf(row, "id"));
    if (row.contains("stdCount")) details->setSubCount(textOf(row, "stdCount"));
    if (row.contains("star") && homework::wholeNumber(row["star"]) == 1) details->setIsStar(true);
    details->setDidSubmit(false);
    if (isUnreadListRow(row)) {
        const std::string role = homework::currentRole();
        if (role == "student")
            details->view()->setAccessibilityValue(kUnreadStudentMarker);
        else if (role == "teacher" || role == "admin")
            details->view()->setAccessibilityValue(kUnreadTeacherMarker);
    }
    details->setDelegate(weakAs<MVTNHWDetailsViewDelegate>());
    if (auto stack = navigationController()) stack->pushViewController(details, true);
}

// ---- Reports

int MVTNewHWListViewController::replaceRowsWithId(Json& rows, const Json& row) {
    int replaced = 0;
    const std::string id = textOf(row, "id");
    for (auto& each : rows)
        if (textOf(each, "id") == id) {
            each = row;
            ++replaced;
        }
    return replaced;
}

void MVTNewHWListViewController::didReadHomework() {
    const int i = interDetailsIndex_;
    if (i < 0 || i >= static_cast<int>(dataArray_.size())) return;
    const std::string role = homework::currentRole();
    const int before = unReadCount_;
    const Json read = listRowWithValue(dataArray_[i], "readed", "1");
    auto dropOne = [this] {
        if (unReadCount_ > 0) --unReadCount_;
    };
    if (role == "student") {
        dataArray_[i] = read;
        if (selectFlag_ == kStarredTab) {
            if (i < static_cast<int>(starredRows_.size())) starredRows_[i] = read;
            // Every copy of it in "全部" counted as unread there.
            const std::string id = textOf(read, "id");
            for (auto& row : stdAllRows_)
                if (textOf(row, "id") == id) {
                    row = read;
                    dropOne();
                }
        } else {
            if (i < static_cast<int>(stdAllRows_.size())) stdAllRows_[i] = read;
            replaceRowsWithId(starredRows_, read);
            dropOne();
        }
    } else if (role == "teacher" || role == "admin") {
        dataArray_[i] = read;
        dropOne();
    } else {
        return;
    }
    starDic_ = read;
    if (before == 1 && unReadCount_ == 0) {
        MVTAccount::sharedInstance().setNewHM(false);
        NotificationCenter::defaultCenter().postNotification(kMarkUpside);
    }
    initTable();
}

void MVTNewHWListViewController::didStarOrNotHomeworkWith(bool starred) {
    if (selectFlag_ == kNoTabs) return;
    const int i = interDetailsIndex_;
    const Json copy = listRowWithValue(starDic_, "star", starred ? "1" : "0");
    if (selectFlag_ == kAllTab) {
        starredRows_ = Json::array();
        starredPage_ = 1;
        starredMore_ = true;
        if (i >= 0 && i < static_cast<int>(dataArray_.size())) dataArray_[i] = copy;
        if (i >= 0 && i < static_cast<int>(stdAllRows_.size())) stdAllRows_[i] = copy;
    } else {
        if (!starred) {
            if (i >= 0 && i < static_cast<int>(dataArray_.size())) dataArray_.erase(dataArray_.begin() + i);
            if (i >= 0 && i < static_cast<int>(starredRows_.size())) starredRows_.erase(starredRows_.begin() + i);
        } else if (dataArray_.empty()) {
            dataArray_.push_back(copy);
            starredRows_.push_back(copy);
        } else {
            const auto at = static_cast<std::size_t>(std::clamp(i, 0, static_cast<int>(dataArray_.size())));
            dataArray_.insert(dataArray_.begin() + at, copy);
            starredRows_.insert(starredRows_.begin() + std::min(at, starredRows_.size()), copy);
        }
        replaceRowsWithId(stdAllRows_, copy);
    }
    starDic_ = copy;
    initTable();
}

void MVTNewHWListViewController::didAddSuccessWith(const Json& row) {
    if (!dataArray_.empty()) {
        const std::size_t before = dataArray_.size();
        dataArray_.insert(dataArray_.begin(), row);
        // The next page number stays where it was.
        if (before % homework::kPageSize == 0) dataArray_.erase(dataArray_.end() - 1);
    } else {
        dataArray_ = Json::array({row});
    }
    initTable();
}

void MVTNewHWListViewController::newHomeworkCellStarClick(Button& button) {
    const std::string id = button.accessibilityValue();
    const bool wasStarred = button.isSelected();
    const int flag = selectFlag_;
    std::weak_ptr<View> weakButton = button.weak_from_this();
    auto weak = weakAs<MVTNewHWListViewController>();
    sendRequest(
        "GET", "homework/" + homework::currentUserId() + "/fav/" + id + "/star", Json{{"flag", wasStarred ? "0" : "1"}},
        [weak, weakButton, id, wasStarred, flag](const Json& reply) {
            auto self = weak.lock();
            if (!reply.is_object() || !reply.contains("success") || homework::wholeNumber(reply["success"]) == 0) return;
            if (auto button = std::static_pointer_cast<Button>(weakButton.lock())) button->setSelected(!wasStarred);
            // The row is found by its id: the list may have moved while the star was sent.
            Json& shown = self->dataArray_;
            auto at = std::find_if(shown.begin(), shown.end(), [&](const Json& row) { return textOf(row, "id") == id; });
            if (at == shown.end() || flag != self->selectFlag_) return;
            const auto i = static_cast<std::size_t>(at - shown.begin());
            const Json copy = listRowWithValue(*at, "star", wasStarred ? "0" : "1");
            if (flag == kAllTab) {
                shown[i] = copy;
                self->replaceRowsWithId(self->stdAllRows_, copy);
                self->starredRows_ = Json::array();
                self->starredPage_ = 1;
                self->starredMore_ = true;
            } else if (flag == kStarredTab) {
                shown.erase(shown.begin() + static_cast<long>(i));
                auto& starred = self->starredRows_;
                starred.erase(std::remove_if(starred.begin(), starred.end(),
                                             [&](const Json& row) { return textOf(row, "id") == id; }),
                              starred.end());
                self->replaceRowsWithId(self->stdAllRows_, copy);
            }
            self->initTable();
        },
        [] {});
}

// ---- Composer, join-a-class guard and leaving

void MVTNewHWListViewController::toAddNewHomework() {
    if (MVTPublicMethod::isUnClassId()) {
        MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    auto composer = std::make_shared<MVTNHWAddViewController>();
    composer->setDelegate(weakAs<MVTNHWAddViewDelegate>());
    if (auto stack = navigationController()) stack->pushViewController(composer, true);
}

void MVTNewHWListViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    MVTInterClassViewController::answerJoinClassAlert(*this, alert, index);
}

void MVTNewHWListViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    MVTAccount::sharedInstance().setNewHM(unReadCount_ > 0);
    auto presented = navigationController() ? static_cast<ViewController*>(navigationController()) : this;
    presented->dismissViewController(true);
}
