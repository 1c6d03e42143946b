#pragma once

#include "homework/HomeworkDelegates.h"
#include "homework/HomeworkScreen.h"

#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

// The teacher filter of the homework list (students, parents and every role that is not
// a teacher): the teachers the service lists, a check mark on each chosen one; "完成"
// hands the choice back and closes the screen.
class MVTNHWSelectViewController : public HomeworkScreen,
                                   public platform::TableViewDataSource,
                                   public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTNHWSelectViewController"; }

    static constexpr double kPopDelay = 0.1;

    // The chosen teachers' uid texts; null until the opener sets them or a first choice.
    const platform::Json& selectTeaArr() const { return selectTeaArr_; }
    void setSelectTeaArr(const platform::Json& uids) { selectTeaArr_ = uids; }
    std::shared_ptr<MVTNHWSelectViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTNHWSelectViewDelegate> delegate) { delegate_ = std::move(delegate); }

    void viewDidLoad() override;
    void initMyTableView();
    void getSelectData();
    void toDone();

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const platform::Json& listArr() const { return listArr_; }
    std::shared_ptr<platform::Button> doneBtn() const { return doneBtn_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }

private:
    bool isChosen(const std::string& uid) const;

    platform::Json selectTeaArr_;
    std::weak_ptr<MVTNHWSelectViewDelegate> delegate_;
    platform::Json listArr_ = platform::Json::array();
    std::shared_ptr<platform::Button> doneBtn_;
    std::shared_ptr<myTableView> mytableview_;
};
