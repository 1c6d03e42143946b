#include "microlessons/MVTMicroLessonList.h"

#include "account/MVTInterClassViewController.h"
#include "microlessons/MVTLessionMovieDetailViewController.h"
#include "microlessons/MVTUploadForm.h"
#include "microlessons/MVTUploadStatus.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <filesystem>

using namespace platform;

namespace {

MVTMicroLessonViewController::DetailOpener& detailOpener() {
    static MVTMicroLessonViewController::DetailOpener opener;
    return opener;
}

const Json& resListOf(const Json& course) {
    static const Json none = Json::array();
    const Json& list = valueFor(course, "resList");
    return list.is_array() ? list : none;
}

// The height a course name needs in 16-point text across the screen less 20, at most 200.
double courseNameTextHeight(const std::string& name) {
    const double width = Screen::mainScreen().bounds().width() - 20;
    return std::min(200.0, TextMeasure::sizeWithFont(name, Font::systemFontOfSize(16), Size(width, 200), LineBreakMode::CharWrap).height);
}

}  // namespace

void MVTMicroLessonViewController::setDetailOpener(DetailOpener opener) { detailOpener() = std::move(opener); }

void MVTMicroLessonViewController::viewDidLoad() {
    MVTMicroListScreen::viewDidLoad();
    currentPage_ = 1;
    uploadstatus::keepLastResult();
    openMicro_ = std::make_shared<MVTOpenMicroViewController>();
    openMicro_->setDelegate(weakAs<openMicroDelegate>());
    initTitleView();
    StatisticsKit::shared().beginLogPageView(microlists::kPageName);
    auto weak = weakAs<MVTMicroLessonViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    setRightTextButton(localized("筛选"), [weak] {
        if (auto self = weak.lock()) self->toSelect();
    });
    initSearchView(*view(), "请输入课程名");
    dataArr_ = Json::array();
    const double height = Screen::mainScreen().bounds().height();
    const bool teacher = homework::currentRole() == "teacher";
    if (teacher) initUpButton();
    initmytableview({0, teacher ? 80.0 : 40.0, view()->bounds().width(), height - (teacher ? 148 : 108)});
    getCourseData();
}

void MVTMicroLessonViewController::initTitleView() {
    titleView_ = std::make_shared<ImageView>(Rect(0, 0, 160, 30));
    titleView_->setImage(Image::imageNamed("title_tailored"));
    titleView_->setUserInteractionEnabled(true);
    auto weak = weakAs<MVTMicroLessonViewController>();
    auto segment = [&](int tag, double x, const std::string& title, bool active, const char* picture) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({x, 0, 80, 30});
        button->setTag(tag);
        button->setTitle(localized(title));
        button->setTitleColor(active ? Color::whiteColor() : Color::black());
        button->setBackgroundImage(Image::imageNamed(picture));
        button->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
        button->addTarget(ControlEventTouchUpInside, [weak, tag](Control&) {
            if (auto self = weak.lock()) self->recommendButtonClick(tag);
        });
        titleView_->addSubview(button);
        return button;
    };
    chatButton_ = segment(kSchoolSegmentTag, 0, "校内微课", true, "Segmented-left-active_big");
    linkManButton_ = segment(kOpenSegmentTag, 80, "开放微课", false, "Segmented-right_big");
    navigationItem().setTitleView(titleView_);
}

void MVTMicroLessonViewController::initUpButton() {
    const double width = view()->bounds().width();
    upButton_ = Button::buttonWithType(ButtonType::Custom);
    upButton_->setFrame({0, 40, width, 40});
    upButton_->setBackgroundColor(Color::rgb255(249, 253, 248));
    auto line = std::make_shared<ImageView>(Rect(0, 0, width, 0.3));
    line->setImage(Image::imageNamed("line1"));
    upButton_->addSubview(line);
    const std::string text = localized("上传微课");
    const double labelWidth = TextMeasure::sizeWithFont(text, Font::systemFontOfSize(16)).width + 2;
    const double x = (Screen::mainScreen().bounds().width() - 24 - labelWidth) / 2;
    auto picture = std::make_shared<ImageView>(Rect(x, 8, 24, 24));
    picture->setImage(Image::imageNamed("add_nor_org"));
    picture->setUserInteractionEnabled(false);
    upButton_->addSubview(picture);
    auto label = std::make_shared<Label>(Rect(x + 24, 0, labelWidth, 40));
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(16));
    label->setTextColor(homework::kAccent);
    label->setText(text);
    label->setUserInteractionEnabled(false);
    upButton_->addSubview(label);
    auto weak = weakAs<MVTMicroLessonViewController>();
    upButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toUpMicro();
    });
    view()->addSubview(upButton_);
}

void MVTMicroLessonViewController::goback() {
    StatisticsKit::shared().endLogPageView(microlists::kPageName);
    dismissViewController(true);
}

// ---- The school request.

std::shared_ptr<HttpJsonRequestOperation> MVTMicroLessonViewController::sendListRequest(const Json& page, Reply reply,
                                                                                       Failure failure) {
    Json parameters = page;
    quiz::addFilterParameters(parameters, Json(), Json(), teacherDic_);
    std::string path = "courseMicro/" + homework::currentUserId() + "/list";
    if (searchString_) path += "?searchParam=" + MVTPublicMethod::encodeURLWhenChinese(*searchString_);
    return sendTestRequest("GET", path, parameters, std::move(reply), std::move(failure), false);
}

void MVTMicroLessonViewController::listReplied() {
    MVTAccount::sharedInstance().setNewMicro(false);
    NotificationCenter::defaultCenter().postNotification("markUpside");
}

std::string MVTMicroLessonViewController::thirdChipText() const { return textOf(teacherDic_, "authorName"); }

// ---- Segments and filters.

bool MVTMicroLessonViewController::showsSchoolSegment() const {
    auto table = mytableview();
    return table && table->superview().get() == const_cast<MVTMicroLessonViewController*>(this)->view().get();
}

void MVTMicroLessonViewController::recommendButtonClick(int tag) {
    if (tag == kOpenSegmentTag) {
        chatButton_->setTitleColor(Color::black());
        chatButton_->setBackgroundImage(Image::imageNamed("Segmented-left_big"));
        linkManButton_->setTitleColor(Color::whiteColor());
        linkManButton_->setBackgroundImage(Image::imageNamed("Segmented-right-active_big"));
        titleView_->setImage(Image::imageNamed("title_character"));
        if (mytableview()) mytableview()->removeFromSuperview();
        const Rect screen = Screen::mainScreen().bounds();
        openMicro_->view()->setFrame({0, 0, screen.width(), screen.height() - 64});
        view()->addSubview(openMicro_->view());
    } else if (tag == kSchoolSegmentTag) {
        chatButton_->setTitleColor(Color::whiteColor());
        chatButton_->setBackgroundImage(Image::imageNamed("Segmented-left-active_big"));
        linkManButton_->setTitleColor(Color::black());
        linkManButton_->setBackgroundImage(Image::imageNamed("Segmented-right_big"));
        titleView_->setImage(Image::imageNamed("title_tailored"));
        if (openMicro_->isViewLoaded()) openMicro_->view()->removeFromSuperview();
        if (mytableview() && !mytableview()->superview()) view()->addSubview(mytableview());
    }
}

void MVTMicroLessonViewController::toSelect() {
    auto picker = std::make_shared<MVTTestSelectViewController>();
    picker->setDelegate(weakAs<MVTTestSelectViewDelegate>());
    const bool school = showsSchoolSegment();
    picker->setWhereFrom(school ? "micr" : microlists::kOpenKind);
    const MVTMicroListScreen& source = school ? static_cast<const MVTMicroListScreen&>(*this) : *openMicro_;
    picker->setLevelDic(source.levelDic());
    picker->setSubjectDic(source.subjectDic());
    picker->setTeacherDic(source.teacherDic());
    if (auto navigation = navigationController()) navigation->pushViewController(picker, true);
}

void MVTMicroLessonViewController::getLevel(const Json& level, const Json& subject, const Json& teacher) {
    if (showsSchoolSegment())
        applyFilters(level, subject, teacher);
    else
        openMicro_->getLevelForOpen(level, subject, teacher);
}

// ---- Opening lessons.

void MVTMicroLessonViewController::showAlert(const std::string& title, const std::string& message, int tag,
                                             const std::string& cancel, const std::vector<std::string>& others) {
    lastAlert_ = AlertView::make(title, message, weakAs<AlertViewDelegate>(), cancel, others);
    lastAlert_->setTag(tag);
    lastAlert_->show();
}

void MVTMicroLessonViewController::showMicroLesson(const Json& lessons, int index, const std::string& microType) {
    if (!lessons.is_array() || index < 0 || std::size_t(index) >= lessons.size()) return;
    const Json& lesson = lessons[std::size_t(index)];
    movieDictionary_ = lesson.is_object() ? lesson : Json::object();
    switch (MVTPublicMethod::netWorkConnectType()) {
    case 1:
        sureToShowMovie(lessons, index, microType);
        break;
    case 0:
        showAlert(localized("提示"), localized("您现在的网络连接异常,无法访问视频资源"), 0, localized("知道了"));
        break;
    default:
        // The answer opens the lesson with its list and kind (kept here), so an open lesson
        // stays an open lesson.
        pendingLessons_ = lessons;
        pendingKind_ = microType;
        showAlert(localized("提示"), localized("您现在未使用WIFI连接网络,是否继续播放视频"), kMobileListAlertTag,
                  localized("取消"), {localized("确认访问")});
        break;
    }
}

void MVTMicroLessonViewController::showMicroLesson(const Json& lesson) {
    movieDictionary_ = lesson.is_object() ? lesson : Json::object();
    pendingLessons_ = Json();
    pendingKind_.clear();
    switch (MVTPublicMethod::netWorkConnectType()) {
    case 1:
        sureToShowMovie();
        break;
    case 0:
        showAlert(localized("提示"), localized("您现在的网络连接异常,无法访问视频资源"), 0, localized("知道了"));
        break;
    default:
        showAlert(localized("提示"), localized("您现在未使用WIFI连接网络,是否继续播放视频"),
                  kMobileSingleAlertTag, localized("取消"), {localized("确认访问")});
        break;
    }
}

void MVTMicroLessonViewController::sureToShowMovie(const Json& lessons, int index, const std::string& microType) {
    openDetail(lessons[std::size_t(index)], lessons, microType);
}

void MVTMicroLessonViewController::sureToShowMovie() { openDetail(movieDictionary_, Json(), ""); }

void MVTMicroLessonViewController::openDetail(const Json& movieDic, const Json& aboutArray,
                                              const std::string& moduleType) {
    if (auto& opener = detailOpener())
        opener(*this, movieDic, aboutArray, moduleType);
    else
        MVTLessionMovieDetailViewController::openFromList(*this, movieDic, aboutArray, moduleType);
}

void MVTMicroLessonViewController::toGotoDidSearchedExamWith(const Json& lesson) {
    auto weak = weakAs<MVTMicroLessonViewController>();
    RunLoop::main().performAfter(kSearchedOpenDelay, [weak, lesson] {
        if (auto self = weak.lock()) self->showMicroLesson(lesson);
    });
}

// ---- Upload.

void MVTMicroLessonViewController::toUpMicro() {
    if (MVTPublicMethod::isUnClassId()) {
        lastAlert_ = MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app && app->upMicroArr().is_array() && !app->upMicroArr().empty()) {
        toSubmitMicroView();
        return;
    }
    toSelectAssets();
}

void MVTMicroLessonViewController::toSelectAssets() {
    auto picker = std::make_shared<AssetsPickerController>();
    picker->setMaximumNumberOfSelection(1);
    picker->setAssetsFilter(AssetsFilter::Videos);
    // It closes at once after the pick, so the upload form pushed 0.01 s later shows on
    // the list itself.
    picker->setClosesAnimated(false);
    picker->setDelegate(weakAs<AssetsPickerControllerDelegate>());
    presentViewController(picker, true);
}

void MVTMicroLessonViewController::assetsPickerControllerDidFinishPickingAssets(AssetsPickerController&,
                                                                                const std::vector<PickedAsset>& assets) {
    if (assets.empty()) return;
    checkPickedVideo(assets.front().file.string());
}

std::string MVTMicroLessonViewController::refusalOfVideo(const std::string& fileName, std::int64_t bytes) {
    if (bytes > kMaxVideoBytes) return "视频大于1G，暂不支持上传";
    const auto dot = fileName.rfind('.');
    std::string extension = dot == std::string::npos ? fileName : fileName.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension != "mov" && extension != "mp4") return "暂不支持mov、mp4格式外视频上传";
    return "";
}

void MVTMicroLessonViewController::checkPickedVideo(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    const std::string name = std::filesystem::path(path).filename().string();
    platform::log("file name = %s , size = %lld", name.c_str(), error ? -1LL : (long long)size);
    // A file that cannot be read is no video to upload.
    const std::string refusal = error ? "暂不支持mov、mp4格式外视频上传" : refusalOfVideo(name, std::int64_t(size));
    if (!refusal.empty()) {
        showAlert("", localized(refusal), 0, localized("知道了"));
        return;
    }
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app && app->upMicroArr().is_array() && !app->upMicroArr().empty()) return;
    auto weak = weakAs<MVTMicroLessonViewController>();
    RunLoop::main().performAfter(kPickedPushDelay, [weak, path] {
        if (auto self = weak.lock()) self->toUpMicroInfoView(path);
    });
}

void MVTMicroLessonViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (MVTInterClassViewController::answerJoinClassAlert(*this, alert, index)) return;
    if (index != 1) return;
    if (alert.tag() == kMobileListAlertTag && pendingLessons_.is_array()) {
        // The lesson opens with its list and kind, as on WiFi.
        for (std::size_t i = 0; i < pendingLessons_.size(); ++i)
            if (pendingLessons_[i] == movieDictionary_) {
                sureToShowMovie(pendingLessons_, int(i), pendingKind_);
                return;
            }
        sureToShowMovie();
    } else if (alert.tag() == kMobileSingleAlertTag || alert.tag() == kMobileListAlertTag) {
        sureToShowMovie();
    }
}

// ---- The table: one section per course, one row of its lessons.

int MVTMicroLessonViewController::numberOfSectionsInTableView(TableView&) { return int(dataArr_.size()); }

int MVTMicroLessonViewController::numberOfRowsInSection(TableView&, int) { return 1; }

double MVTMicroLessonViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTMicroLessonViewController::cellForRowAtIndexPath(TableView& table,
                                                                                  const IndexPath& path) {
    auto cell = std::dynamic_pointer_cast<MVTMicroLessonCell>(table.dequeueReusableCellWithIdentifier("microLessonCell"));
    if (cell) {
        cell->cleanView();
    } else {
        cell = MVTMicroLessonCell::make("microLessonCell");
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        cell->setBackgroundColor(Color::clear());
    }
    cell->setDelegate(weakAs<microLessonDelegate>());
    cell->reuseCellWithArray(resListOf(dataArr_[std::size_t(path.section)]));
    return cell;
}

double MVTMicroLessonViewController::heightForHeaderInSection(TableView&, int section) {
    const double height = courseNameTextHeight(textOf(dataArr_[std::size_t(section)], "courseName"));
    return height > 20 ? height + 15 : 35;
}

std::shared_ptr<View> MVTMicroLessonViewController::viewForHeaderInSection(TableView&, int section) {
    const double width = Screen::mainScreen().bounds().width();
    const std::string name = textOf(dataArr_[std::size_t(section)], "courseName");
    const double textHeight = courseNameTextHeight(name);
    auto header = std::make_shared<View>(Rect(0, 0, width, textHeight > 20 ? textHeight + 15 : 35));
    header->setBackgroundColor(Color::rgb255(244, 249, 243));
    auto line = std::make_shared<ImageView>(Rect(0, 0, width, 0.3));
    line->setImage(Image::imageNamed("line1"));
    header->addSubview(line);
    auto label = std::make_shared<Label>(Rect(10, 12, width - 20, std::max(20.0, textHeight)));
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(16));
    label->setTextColor(Color::rgb255(74, 123, 57));
    label->setNumberOfLines(0);
    label->setText(name);
    header->addSubview(label);
    return header;
}

void MVTMicroLessonViewController::toUpMicroInfoView(const std::string& path) {
    auto form = std::make_shared<MVTUpMicroInfoViewController>();
    form->setMicroAssetWith(path);
    if (auto navigation = navigationController()) navigation->pushViewController(form, true);
}

void MVTMicroLessonViewController::toSubmitMicroView() {
    auto status = std::make_shared<MVTSubmitMicroViewController>();
    if (auto navigation = navigationController()) navigation->pushViewController(status, true);
}
