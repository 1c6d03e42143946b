#pragma once

#include "tests/TestsScreen.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class Label;
}  // namespace platform

class MVTTestSelectViewDelegate {
public:
    virtual ~MVTTestSelectViewDelegate() = default;
    // The three choices on "完成" (each a dictionary, or null for none).
    virtual void getLevel(const platform::Json& level, const platform::Json& subject, const platform::Json& teacher) = 0;
};

// An option row of the filter picker: its text between two thin lines (the top one only
// on the first row).
class MVTLCTSelectCell : public platform::TableViewCell {
public:
    MVTLCTSelectCell();
    std::string className() const override { return "MVTLCTSelectCell"; }
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);
    static std::shared_ptr<MVTLCTSelectCell> make(const std::string& reuseIdentifier);
    void reloadDataWith(const std::string& text, int row);

    std::shared_ptr<platform::View> topView() const { return topView_; }
    std::shared_ptr<platform::Label> textLa() const { return textLa_; }

private:
    std::shared_ptr<platform::View> topView_;
    std::shared_ptr<platform::Label> textLa_;
};

// The filter picker "筛选": three tabs of options loaded from the service (grade, subject
// and teacher for tests and school lessons; level, subject and topic for open lessons), at
// most one choice per tab; tapping the choice again clears it. "完成" hands the three
// choices to the delegate and returns; the back button returns reporting nothing. The
// opener's dictionaries are never changed.
class MVTTestSelectViewController : public TestsScreen,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTTestSelectViewController"; }
    static constexpr double kRowHeight = 44;
    static constexpr int kFirstTabTag = 11;

    void setDelegate(std::weak_ptr<MVTTestSelectViewDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<MVTTestSelectViewDelegate> delegate() const { return delegate_.lock(); }
    void setWhereFrom(const std::string& mode) { whereFrom_ = mode; }
    const std::string& whereFrom() const { return whereFrom_; }
    void setLevelDic(const platform::Json& choice) { levelDic_ = choice; }
    const platform::Json& levelDic() const { return levelDic_; }
    void setSubjectDic(const platform::Json& choice) { subjectDic_ = choice; }
    const platform::Json& subjectDic() const { return subjectDic_; }
    void setTeacherDic(const platform::Json& choice) { teacherDic_ = choice; }
    const platform::Json& teacherDic() const { return teacherDic_; }

    void viewDidLoad() override;
    void goback();
    void toDone();
    void getCourseData();
    void createSegment();
    void toSelect(platform::Button& tab);
    void initmytableview();
    // Whether an option matches the current tab's choice.
    bool matchesChoice(const platform::Json& option) const;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const platform::Json& allDataDic() const { return allDataDic_; }
    const platform::Json& dataArr() const { return dataArr_; }
    int selectIndex() const { return selectIndex_; }
    std::shared_ptr<platform::View> segView() const { return segView_; }
    std::shared_ptr<platform::TableView> mytableview() const { return mytableview_; }

private:
    // The request path of the mode; empty for a mode the picker does not know.
    std::string modePath() const;
    bool isOpenLessons() const { return whereFrom_ == "global_micro"; }
    platform::Json& choiceOfTab(int tab);

    std::weak_ptr<MVTTestSelectViewDelegate> delegate_;
    std::string whereFrom_;
    platform::Json levelDic_;
    platform::Json subjectDic_;
    platform::Json teacherDic_;
    platform::Json allDataDic_ = platform::Json::object();
    platform::Json dataArr_ = platform::Json::array();
    int selectIndex_ = 1;
    std::shared_ptr<platform::View> segView_;
    std::shared_ptr<platform::TableView> mytableview_;
};
