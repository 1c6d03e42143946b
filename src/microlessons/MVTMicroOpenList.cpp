#include "microlessons/MVTMicroOpenList.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "core/ServiceAddress.h"
#include "shell/myTableView.h"

#include "platform/StatisticsKit.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

namespace {

// A record's text, or the looked-up "未知" when it has none.
bool lacks(const Json& lesson, const char* key) {
    return !lesson.is_object() || !lesson.contains(key) || lesson.at(key).is_null();
}

std::string textOrUnknown(const Json& lesson, const char* key) {
    return lacks(lesson, key) ? localized("未知") : textOf(lesson, key);
}

std::shared_ptr<Label> openRowLabel(const Rect& frame, const std::string& text, View& parent) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(12));
    label->setTextColor(Color::rgb255(150, 176, 143));
    label->setText(text);
    parent.addSubview(label);
    return label;
}

}  // namespace

void MVTOpenMicroViewController::viewDidLoad() {
    MVTMicroListScreen::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(microlists::kPageName);
    currentPage_ = 1;
    const Rect screen = Screen::mainScreen().bounds();
    auto searchView = std::make_shared<View>(Rect(0, 0, screen.width(), 40));
    searchView->setBackgroundColor(Color::clear());
    view()->addSubview(searchView);
    initSearchView(*searchView, "请输入视频名称");
    dataArr_ = Json::array();
    initmytableview({0, 40, view()->bounds().width(), screen.height() - 108});
    getCourseData();
}

std::shared_ptr<HttpJsonRequestOperation> MVTOpenMicroViewController::sendListRequest(const Json& page, Reply reply,
                                                                                     Failure failure) {
    Json parameters = page;
    if (searchString_) parameters["searchParam"] = *searchString_;
    if (quiz::isFilterSet(teacherDic_)) parameters["tagId"] = textOf(teacherDic_, "id");
    return sendTestRequest("POST", "global/micro/resource/list", parameters, std::move(reply), std::move(failure),
                           false);
}

std::string MVTOpenMicroViewController::thirdChipText() const { return textOf(teacherDic_, "tagName"); }

void MVTOpenMicroViewController::chipTapped() {
    if (auto delegate = delegate_.lock()) delegate->toSelect();
}

void MVTOpenMicroViewController::getLevelForOpen(const Json& level, const Json& subject, const Json& topic) {
    applyFilters(level, subject, topic);
}

std::string MVTOpenMicroViewController::titleText(const Json& lesson) { return textOrUnknown(lesson, "resourceName"); }
std::string MVTOpenMicroViewController::authorText(const Json& lesson) { return textOrUnknown(lesson, "name"); }
std::string MVTOpenMicroViewController::schoolText(const Json& lesson) { return textOrUnknown(lesson, "schoolName"); }

std::string MVTOpenMicroViewController::viewsText(const Json& lesson) {
    return localized("浏览量") + ": " + (lacks(lesson, "views") ? std::string("0") : textOf(lesson, "views"));
}

int MVTOpenMicroViewController::numberOfRowsInSection(TableView&, int) { return int(dataArr_.size()); }

double MVTOpenMicroViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTOpenMicroViewController::cellForRowAtIndexPath(TableView& table,
                                                                                 const IndexPath& path) {
    auto cell = table.dequeueReusableCellWithIdentifier("microLessonCell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "microLessonCell");
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        cell->setBackgroundColor(Color::clear());
    }
    View& content = *cell->contentView();
    for (const auto& sub : std::vector<std::shared_ptr<View>>(content.subviews())) sub->removeFromSuperview();
    const Json& lesson = dataArr_[std::size_t(path.row)];
    const std::string resource = textOf(lesson, "resourceId");
    auto picture = std::make_shared<LazyImageView>(Rect(10, 1, 150, 98));
    picture->setImage(Image::imageNamed("defalt316.jpg"));
    if (auto app = MVTAppDelegate::sharedAppDelegate())
        picture->setUrl(ServiceAddress::baseUrl() + "resource/view/img_thumb/" + percentEscape(resource) +
                        "?size=m&token=" + app->getTokenWith(resource));
    content.addSubview(picture);
    auto title = std::make_shared<Label>(Rect(175, 5, 135, 40));
    title->setBackgroundColor(Color::clear());
    title->setFont(Font::systemFontOfSize(13));
    title->setTextColor(Color::black());
    title->setNumberOfLines(0);
    title->setText(titleText(lesson));
    content.addSubview(title);
    openRowLabel({175, 45, 135, 15}, authorText(lesson), content);
    openRowLabel({175, 60, 135, 15}, schoolText(lesson), content);
    openRowLabel({175, 75, 135, 15}, viewsText(lesson), content);
    auto line = std::make_shared<ImageView>(Rect(0, 98, Screen::mainScreen().bounds().width(), 2));
    line->setImage(Image::imageNamed("line_10"));
    content.addSubview(line);
    return cell;
}

void MVTOpenMicroViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& path) {
    if (path.row < 0 || std::size_t(path.row) >= dataArr_.size()) return;
    if (auto delegate = delegate_.lock())
        delegate->showMicroLesson(Json::array({dataArr_[std::size_t(path.row)]}), 0, microlists::kOpenKind);
}
