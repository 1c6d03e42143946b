#include "me/MVTAppsViewController.h"

#include "account/MVTInterClassViewController.h"
#include "albums/AlbumScreens.h"
#include "chat/MVTInteractionViewController.h"
#include "files/MVTFilesManagersViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "homework/MVTNewHWListViewController.h"
#include "microlessons/MVTMicroLessonList.h"
#include "notices/NoticeScreens.h"
#include "tests/MVTSchoolTimeTableViewController.h"
#include "tests/MVTTestCourseViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTWebViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/NotificationCenter.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <cmath>
#include <sstream>
#include <vector>

using namespace platform;

namespace {

constexpr int kAppsLaunchersPerLine = 4;

struct AppsLauncher {
    const char* section;
    const char* name;
    const char* image;
    const char* hiddenCode;
};

// The launchers of the grid, in their order.
const AppsLauncher kAppsLaunchers[] = {
    // An administrator's launcher reads "学校通知".
    {"班级", "班级通知", "app_notic", "banjitongzhi"},
    {"班级", "班级文件", "app_classFile_1", "banjiwenjian"},
    {"班级", "班级相册", "app_classPhoto_1", "banjixiangce"},
    {"班级", "作业", "app_hm_1", "zuoye"},
    {"教育服务", "本地信息", "educationServices", "jiaoyufuwu"},
};

std::vector<std::string> appsHiddenCodes() {
    std::vector<std::string> codes;
    std::stringstream list(MVTAccount::sharedInstance().hideAppString().value_or(""));
    std::string code;
    while (std::getline(list, code, ',')) codes.push_back(code);
    return codes;
}

// Answers the join-a-class alert raised by a launcher for the Apps screen.
class AppsJoinAnswer : public AlertViewDelegate {
public:
    explicit AppsJoinAnswer(std::weak_ptr<ViewController> from) : from_(std::move(from)) {}
    void alertViewClickedButtonAtIndex(AlertView& alert, long index) override {
        if (auto from = from_.lock()) MVTInterClassViewController::answerJoinClassAlert(*from, alert, index);
    }

private:
    std::weak_ptr<ViewController> from_;
};

double appsScreenWidth() { return Screen::mainScreen().bounds().width(); }

}  // namespace

void MVTAppsViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("发现"));
    StatisticsKit::shared().beginLogPageView(kPageName);
    appsArray_ = Json::array();
    reloadArrayForShowApps();
    initmytableview();
}

void MVTAppsViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    // A new user gets a new class files screen: one never sees another's list.
    long long userId = 0;
    try {
        userId = std::stoll(MVTAccount::sharedInstance().userId().value_or("0"));
    } catch (...) {
    }
    if (userId != oldUserId_) {
        oldUserId_ = userId;
        classFile_ = std::make_shared<MVTFilesManagersViewController>();
    }
    if (mytableview_) mytableview_->reloadData();
}

void MVTAppsViewController::reloadArrayForShowApps() {
    appsArray_ = Json::array();
    titleArray_ = Json::array();
    const auto hidden = appsHiddenCodes();
    for (const AppsLauncher& launcher : kAppsLaunchers) {
        if (std::find(hidden.begin(), hidden.end(), launcher.hiddenCode) != hidden.end()) continue;
        const std::string section = localized(launcher.section);
        if (titleArray_.empty() || titleArray_.back() != section) {
            titleArray_.push_back(section);
            appsArray_.push_back(Json::array());
        }
        const bool schoolNotices = std::string(launcher.hiddenCode) == "banjitongzhi" &&
                                   MVTAccount::sharedInstance().role().value_or("") == "admin";
        appsArray_.back().push_back(
            {{"name", localized(schoolNotices ? "学校通知" : launcher.name)}, {"imageName", launcher.image}});
    }
}

void MVTAppsViewController::initmytableview() {
    const Rect screen = Screen::mainScreen().bounds();
    mytableview_ = myTableView::make({0, 0, screen.width(), screen.height() - 113}, TableViewStyle::Plain);
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    const bool scrolls = titleArray_.size() >= 4;
    mytableview_->setScrollEnabled(scrolls);
    mytableview_->setShowsVerticalScrollIndicator(false);
    mytableview_->setShowsHorizontalScrollIndicator(false);
    view()->addSubview(mytableview_);
}

void MVTAppsViewController::reloadView() {
    ++reloadViewCount_;
    if (mytableview_) mytableview_->reloadData();
}

int MVTAppsViewController::numberOfSectionsInTableView(TableView&) { return static_cast<int>(titleArray_.size()); }

int MVTAppsViewController::numberOfRowsInSection(TableView&, int) { return 1; }

double MVTAppsViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const auto count = appsArray_.at(indexPath.section).size();
    return kLineHeight * static_cast<double>((count + kAppsLaunchersPerLine - 1) / kAppsLaunchersPerLine);
}

double MVTAppsViewController::heightForHeaderInSection(TableView&, int) { return 30; }

std::shared_ptr<View> MVTAppsViewController::viewForHeaderInSection(TableView&, int section) {
    const double width = appsScreenWidth();
    auto header = std::make_shared<View>(Rect(0, 0, width, 30));
    header->setBackgroundColor(Color::whiteColor());
    auto title = std::make_shared<Label>(Rect(0, 0, width, 29));
    title->setFont(Font::systemFontOfSize(16));
    title->setTextColor(Color::white(0.333));
    title->setTextAlignment(TextAlignment::Center);
    title->setText(textOf(titleArray_.at(section)));
    header->addSubview(title);
    auto line = std::make_shared<ImageView>(Rect(0, 29, width, 1));
    line->setImage(Image::imageNamed("line_10"));
    header->addSubview(line);
    return header;
}

std::shared_ptr<TableViewCell> MVTAppsViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                            const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
    }
    auto content = cell->contentView();
    for (const auto& sub : std::vector<std::shared_ptr<View>>(content->subviews())) sub->removeFromSuperview();
    const Json& launchers = appsArray_.at(indexPath.section);
    for (std::size_t i = 0; i < launchers.size(); ++i)
        content->addSubview(buttonNamed(textOf(launchers[i], "name"), static_cast<int>(i),
                                        textOf(launchers[i], "imageName")));
    reloadView(*content);
    cell->setBackgroundColor(Color::whiteColor());
    content->setBackgroundColor(Color::whiteColor());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->setAccessoryType(TableViewCellAccessoryType::None);
    auto line = std::make_shared<ImageView>(Rect(0, 59, appsScreenWidth(), 1));
    line->setImage(Image::imageNamed("line_10"));
    content->addSubview(line);
    return cell;
}

std::shared_ptr<Button> MVTAppsViewController::buttonNamed(const std::string& name, int tag,
                                                           const std::string& imageName) {
    const double w = appsScreenWidth() / kAppsLaunchersPerLine;
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({std::floor(w * (tag % kAppsLaunchersPerLine)), 0, w, kLineHeight});
    button->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::clear())->image());
    button->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::rgba(0.898, 0.898, 0.898, 0.3))->image(),
                               ControlStateHighlighted);
    button->setTag(tag);
    button->setAccessibilityValue(name);
    auto weak = weakAs<MVTAppsViewController>();
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->appButtonClick(static_cast<Button&>(control));
    });
    auto picture = std::make_shared<ImageView>(Rect((w - 35) / 2, 8, 35, 35));
    picture->setBackgroundColor(Color::clear());
    picture->setImage(Image::imageNamed(imageName));
    picture->setUserInteractionEnabled(false);
    button->addSubview(picture);
    auto label = std::make_shared<Label>(Rect(0, 38, w, 25));
    label->setFont(Font::systemFontOfSize(10));
    label->setTextColor(Color::rgb255(60, 60, 60));
    label->setTextAlignment(TextAlignment::Center);
    label->setBackgroundColor(Color::clear());
    label->setNumberOfLines(0);
    label->setLineBreakMode(LineBreakMode::TruncateHead);
    label->setText(name);
    label->setUserInteractionEnabled(false);
    button->addSubview(label);
    return button;
}

void MVTAppsViewController::reloadView(View& content) {
    auto& account = MVTAccount::sharedInstance();
    for (const auto& sub : content.subviews()) {
        auto button = std::dynamic_pointer_cast<Button>(sub);
        if (!button) continue;
        const std::string name = button->accessibilityValue();
        bool flag = false;
        if (name == localized("作业"))
            flag = account.newHM();
        else if (name == localized("测验"))
            flag = account.newExam();
        else if (name == localized("微课"))
            flag = account.newMicro();
        else if (name == localized("班级通知") || name == localized("学校通知"))
            flag = account.newNoti();
        else
            continue;
        auto dot = button->viewWithTag(kDotTag);
        if (!flag) {
            if (dot && dot != button) dot->removeFromSuperview();
            continue;
        }
        if (dot && dot != button) continue;
        const bool notice = name == localized("班级通知") || name == localized("学校通知");
        auto red = std::make_shared<View>(Rect(notice ? 60 : 80, 10, 10, 10));
        red->setBackgroundColor(Color::red());
        red->setBorderColor(Color::red());
        red->setBorderWidth(0.5);
        red->setCornerRadius(5.2);
        red->setClipsToBounds(true);
        red->setTag(kDotTag);
        red->setUserInteractionEnabled(false);
        button->addSubview(red);
    }
}

void MVTAppsViewController::appButtonClick(Button& button) {
    const std::string name = button.accessibilityValue();
    if (name == localized("作业")) {
        auto& account = MVTAccount::sharedInstance();
        if (account.role().value_or("") == "parent") {
            account.setNewHM(false);
            NotificationCenter::defaultCenter().postNotification("markUpside");
        }
        auto list = std::make_shared<MVTNewHWListViewController>();
        presentViewController(myNavigationController::withRoot(list), true);
    }
    if (name == localized("测验")) {
        // No launcher of the grid carries this name: only the automation's "launch" gets here.
        auto tests = std::make_shared<MVTTestCourseViewController>();
        presentViewController(myNavigationController::withRoot(tests), true);
    }
    if (name == localized("微课")) {
        // No launcher of the grid carries this name: only the automation's "launch" gets here.
        auto lessons = std::make_shared<MVTMicroLessonViewController>();
        presentViewController(myNavigationController::withRoot(lessons), true);
    }
    if (name == localized("课程表")) {
        // No launcher of the grid carries this name either: only "launch" gets here.
        auto timetable = std::make_shared<MVTSchoolTimeTableViewController>();
        presentViewController(myNavigationController::withRoot(timetable), true);
    }
    if (name == localized("班级相册")) albums::presentClassAlbum(*this);
    if (name == localized("班级文件")) {
        if (MVTPublicMethod::isUnClassId()) {
            // The alert holds its delegate weakly: the latest answer object lives until the next.
            static std::shared_ptr<AppsJoinAnswer> answer;
            answer = std::make_shared<AppsJoinAnswer>(weak_from_this());
            MVTInterClassViewController::showJoinClassAlert(answer);
            return;
        }
        if (!classFile_) classFile_ = std::make_shared<MVTFilesManagersViewController>();
        presentViewController(myNavigationController::withRoot(classFile_), true);
    }
    if (name == localized("本地信息")) {
        auto web = std::make_shared<MVTWebViewController>();
        auto stack = myNavigationController::withRoot(web);
        presentViewController(stack, true);
        stack->setNavigationBarHidden(true);
        web->reloadUrlWithInfo(MVTInteractionViewController::educationServicesUrl(), "本地信息");
    }
    if (name == localized("班级通知") || name == localized("学校通知")) notices::presentNoticesFromApps(*this);
}
