#pragma once

#include "microlessons/MVTMicroLessonCell.h"
#include "tests/TestsScreen.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

class MVTSearchTestViewDelegate {
public:
    virtual ~MVTSearchTestViewDelegate() = default;
    // The picked test (test mode) or lesson (lesson mode), just before the search closes.
    virtual void toGotoDidSearchedExamWith(const platform::Json& picked) = 0;
};

// A full-screen search over tests (view tag 0) or school lessons (view tag 1), within the
// opener's filters, 15 course groups a page. A pick goes to the delegate and the screen
// closes without animation; the cancel button closes it reporting nothing.
class MVTSearchTestViewController : public TestsScreen,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate,
                                    public platform::SearchBarDelegate,
                                    public microLessonDelegate {
public:
    std::string className() const override { return "MVTSearchTestViewController"; }
    static constexpr int kTestMode = 0;
    static constexpr int kLessonMode = 1;

    void setLevelDic(const platform::Json& choice) { levelDic_ = choice; }
    const platform::Json& levelDic() const { return levelDic_; }
    void setSubjectDic(const platform::Json& choice) { subjectDic_ = choice; }
    const platform::Json& subjectDic() const { return subjectDic_; }
    void setTeacherDic(const platform::Json& choice) { teacherDic_ = choice; }
    const platform::Json& teacherDic() const { return teacherDic_; }
    void setDelegate(std::weak_ptr<MVTSearchTestViewDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<MVTSearchTestViewDelegate> delegate() const { return delegate_.lock(); }

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;
    void toStartSearch();
    void searchKeyboardWillShow(const platform::Notification& notification);
    void searchKeyboardWillHidden(const platform::Notification& notification);
    // A load: a new search (page 1, replacing the rows) or the next page.
    void getCourseData(bool newSearch);
    void toGetMoreCourseData();

    void searchBarSearchButtonClicked(platform::SearchBar& searchBar) override;
    void searchBarCancelButtonClicked(platform::SearchBar& searchBar) override;
    void showMicroLesson(const platform::Json& lesson) override;
    void showMicroLesson(const platform::Json& lessons, int index, const std::string& microType) override;

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    int mode();
    const platform::Json& dataArr() const { return dataArr_; }
    std::shared_ptr<platform::SearchBar> seaBar() const { return seaBar_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::Button> moreBtn() const { return footer_.moreBtn; }

private:
    void pick(const platform::Json& picked);
    const char* listKey() { return mode() == kLessonMode ? "resList" : "examList"; }

    platform::Json levelDic_;
    platform::Json subjectDic_;
    platform::Json teacherDic_;
    std::weak_ptr<MVTSearchTestViewDelegate> delegate_;
    platform::Json dataArr_ = platform::Json::array();
    double h_ = 20;
    std::shared_ptr<platform::SearchBar> seaBar_;
    std::shared_ptr<myTableView> mytableview_;
    quiz::MoreFooter footer_;
    std::shared_ptr<class MVTStudentTestCell> sizingCell_;
    platform::ObserverToken keyboardShowToken_;
    platform::ObserverToken keyboardHideToken_;
    // Each new search makes the replies of earlier loads stale.
    int generation_ = 0;
};
