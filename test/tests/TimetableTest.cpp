// The school timetable with its month and day picker and the endless wheel under it: the
// page asked for the local day, the picked day, the wheel's wrap and the day counts.
#include "homework/HomeworkFixture.h"

#include "tests/MVTSchoolTimeTableViewController.h"
#include "tests/MXSCycleScrollView.h"
#include "tests/RBCustomDatePickerView.h"

#include "platform/Dates.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Label.h"
#include "platform/ui/WebView.h"

using namespace platform;
using sample_service::RecordedRequest;

namespace {

// Pages of a wheel numbered from 0, labelled with their index.
class NumberedPages : public MXSCycleScrollViewDatasource, public MXSCycleScrollViewDelegate {
public:
    explicit NumberedPages(int pages) : pages_(pages) {}
    int numberOfPages(MXSCycleScrollView&) override { return pages_; }
    std::shared_ptr<View> pageAtIndex(int page, MXSCycleScrollView& wheel) override {
        auto label = std::make_shared<Label>(Rect(0, 0, wheel.bounds().width(), wheel.bounds().height() / 5));
        label->setTag(page + 1);
        label->setText(std::to_string(page));
        return label;
    }
    void scrollviewDidChangeNumber(MXSCycleScrollView&) override { ++changes; }
    int changes = 0;

private:
    int pages_;
};

// The page indexes the rows 0..6 show.
std::vector<int> rowPages(MXSCycleScrollView& wheel) {
    std::vector<int> pages;
    for (const auto& row : wheel.scrollView()->subviews()) pages.push_back(row->tag() - 1);
    return pages;
}

std::shared_ptr<MXSCycleScrollView> wheelWith(const std::shared_ptr<NumberedPages>& pages, int current) {
    auto wheel = MXSCycleScrollView::make({0, 0, 100, 190});
    wheel->setCurrentSelectPage(current);
    wheel->setDelegate(pages);
    wheel->setDataource(pages);
    return wheel;
}

class TimetableTest : public testing_support::HomeworkTest {
protected:
    void SetUp() override {
        HomeworkTest::SetUp();
        setLocalTimeZone("Asia/Shanghai");
    }
    void TearDown() override {
        setLocalTimeZone("");
        HomeworkTest::TearDown();
    }
    // Local midnight-ish moments: the manual clock set to a local date and hour.
    void setLocalTime(const std::string& text) { clock_->set(*parseDate(text, "yyyy-MM-dd HH:mm:ss")); }
};

TEST_F(TimetableTest, TheWheelWrapsPagesBothWays) {
    struct Case {
        int pages, current;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {12, 9, {8, 9, 10, 11, 0, 1, 2}},     // 11 in the middle, 0 and 1 below
        {12, -2, {9, 10, 11, 0, 1, 2, 3}},    // the first page in the middle
        {28, 27, {26, 27, 0, 1, 2, 3, 4}},    // page 1 in the middle
    };
    for (const auto& c : cases) {
        auto pages = std::make_shared<NumberedPages>(c.pages);
        auto wheel = wheelWith(pages, c.current);
        EXPECT_EQ(rowPages(*wheel), c.rows) << c.pages << " pages at " << c.current;
        EXPECT_EQ(wheel->validPageValue(-1), c.pages - 1);
        EXPECT_EQ(wheel->validPageValue(c.pages + 1), 1);
    }
    auto empty = wheelWith(std::make_shared<NumberedPages>(0), 3);
    EXPECT_TRUE(empty->scrollView()->subviews().empty());
}

TEST_F(TimetableTest, TurningARowStepsThePageAndASmallDragSpringsBack) {
    auto pages = std::make_shared<NumberedPages>(12);
    auto wheel = wheelWith(pages, -2);  // page 0 in the middle
    const double h = wheel->rowHeight();
    // Down from page 0: the content moves to the top and the last page comes into the middle.
    wheel->scrollView()->setContentOffset({0, 0});
    EXPECT_EQ(wheel->middlePage(), 11);
    EXPECT_EQ(wheel->scrollView()->contentOffset().y, h);
    wheel->scrollView()->setContentOffset({0, 2 * h + 1});
    EXPECT_EQ(wheel->middlePage(), 0);
    EXPECT_GT(pages->changes, 0);
    // Less than a row: the same page after the drag ends.
    wheel->scrollView()->setContentOffset({0, h + h / 3});
    wheel->scrollViewDidEndDragging(*wheel->scrollView(), false);
    driver->settle();
    EXPECT_EQ(wheel->middlePage(), 0);
    EXPECT_DOUBLE_EQ(wheel->scrollView()->contentOffset().y, h);
    // The middle row has the largest, darkest look.
    auto middle = std::dynamic_pointer_cast<Label>(wheel->scrollView()->subviews()[3]);
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(middle->font().pointSize(), 18);
}

TEST_F(TimetableTest, DayCountsFollowTheMonthAndLeapYears) {
    EXPECT_EQ(RBCustomDatePickerView::daysInMonth(2, 1900), 28);
    EXPECT_EQ(RBCustomDatePickerView::daysInMonth(2, 2000), 29);
    EXPECT_EQ(RBCustomDatePickerView::daysInMonth(2, 2024), 29);
    EXPECT_EQ(RBCustomDatePickerView::daysInMonth(2, 2026), 28);
    EXPECT_EQ(RBCustomDatePickerView::daysInMonth(4, 2026), 30);
    EXPECT_EQ(RBCustomDatePickerView::daysInMonth(12, 2026), 31);
    EXPECT_EQ(RBCustomDatePickerView::daysInMonth(13, 2026), 60);
}

TEST_F(TimetableTest, ThePickerOpensOnTodayAndConfirmsTwoDigitTexts) {
    struct Catcher : sureToSelectDayDelegate {
        void sureToSelectDay(const std::string& m, const std::string& d) override { picked.emplace_back(m, d); }
        std::vector<std::pair<std::string, std::string>> picked;
    };
    setLocalTime("2026-03-05 10:00:00");
    auto catcher = std::make_shared<Catcher>();
    auto picker = RBCustomDatePickerView::make({0, 0, 320, 250});
    picker->setDelegate(catcher);
    auto middleText = [](MXSCycleScrollView& wheel) {
        return std::dynamic_pointer_cast<Label>(wheel.scrollView()->subviews()[3])->text();
    };
    EXPECT_EQ(middleText(*picker->monthScrollView()), "3月");
    EXPECT_EQ(middleText(*picker->dayScrollView()), "5日");
    picker->sureSelect();
    ASSERT_EQ(catcher->picked.size(), 1u);
    EXPECT_EQ(catcher->picked[0], std::make_pair(std::string("03"), std::string("05")));

    // A month turn to April makes a new day wheel with the 30th in the middle.
    auto month = picker->monthScrollView();
    month->scrollView()->setContentOffset({0, 2 * month->rowHeight() + 1});
    EXPECT_EQ(picker->monthString(), "04");
    EXPECT_EQ(picker->dayString(), "30");
    // The wheel settling back to its resting row is a movement too: the day wheel then has
    // April's length.
    EXPECT_EQ(picker->dayScrollView()->totalPages(), 30);

    // Opened on the 1st, the rows above day 1 are the month's last days.
    setLocalTime("2026-03-01 10:00:00");
    auto first = RBCustomDatePickerView::make({0, 0, 320, 250});
    EXPECT_EQ(rowPages(*first->dayScrollView()), (std::vector<int>{28, 29, 30, 0, 1, 2, 3}));
}

TEST_F(TimetableTest, TheFirstPageIsTodaysLocalDateAndAPickedDayLoadsItsPage) {
    // 23:30 on 31 December in Shanghai is already past New Year nowhere else that matters:
    // the page and the title take the local date.
    setLocalTime("2026-12-31 23:30:00");
    signIn("student");
    auto screen = showRoot(std::make_shared<MVTSchoolTimeTableViewController>());
    ASSERT_TRUE(pumpUntil([&] { return service().lastRequest("/app/courseSchedule").has_value(); }));
    auto asked = *service().lastRequest("/app/courseSchedule");
    EXPECT_EQ(asked.queryValue("date").value_or(""), "2026-12-31");
    EXPECT_EQ(asked.queryValue("uid").value_or(""), "2001");
    EXPECT_FALSE(asked.basicUser.has_value());
    EXPECT_EQ(screen->titleLa()->text(), "课程表(2026-12-31)");

    screen->toChangeTitle();
    ASSERT_NE(screen->selectBackView(), nullptr);
    EXPECT_NE(screen->selectBackView()->superview(), nullptr);
    screen->tapSelect();
    EXPECT_EQ(screen->selectBackView()->superview(), nullptr);
    EXPECT_EQ(screen->titleLa()->text(), "课程表(2026-12-31)");

    screen->toChangeTitle();
    service().clearRequests();
    screen->sureToSelectDay("03", "05");
    EXPECT_EQ(screen->selectBackView()->superview(), nullptr);
    EXPECT_EQ(screen->titleLa()->text(), "课程表(2026-03-05)");
    ASSERT_TRUE(pumpUntil([&] { return service().lastRequest("/app/courseSchedule").has_value(); }));
    EXPECT_EQ(service().lastRequest("/app/courseSchedule")->queryValue("date").value_or(""), "2026-03-05");
    // Without a month or day nothing loads.
    service().clearRequests();
    screen->sureToSelectDay("", "05");
    driver->settle();
    EXPECT_FALSE(service().lastRequest("/app/courseSchedule").has_value());
    EXPECT_EQ(screen->titleLa()->text(), "课程表(2026-03-05)");
}

TEST_F(TimetableTest, APageThatFailsToLoadSaysSo) {
    // An error status still brings a page; a service that cannot be reached does not.
    service().stop();
    signIn("teacher");
    auto screen = showRoot(std::make_shared<MVTSchoolTimeTableViewController>());
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->title(), "加载失败");
    EXPECT_EQ(AlertView::topAlert()->buttonTitleAtIndex(0), "知道了");
}

TEST_F(TimetableTest, ThePageAddressEscapesWhatCannotStandInAnAddress) {
    const std::string address = MVTSchoolTimeTableViewController::pageAddress("a b", "2026-03-05");
    EXPECT_NE(address.find("app/courseSchedule?uid=a%20b&date=2026-03-05"), std::string::npos);
}

}  // namespace
