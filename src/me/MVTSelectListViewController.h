#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

class myTableView;

// Told which row of the choice list was chosen.
class MVTSelectListViewDelegate {
public:
    virtual ~MVTSelectListViewDelegate() = default;
    virtual void didSelectedWhichWith(int row) = 0;
};

// "选择": the single-choice list of the poll interval ("30秒", "1分钟", "2分钟", "5分钟"),
// pushed by the reminder settings. A choice moves the checkmark, tells the delegate and
// pops the list 0.3 s later.
class MVTSelectListViewController : public ViewViewController,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTSelectListViewController"; }
    static constexpr double kPopDelay = 0.3;

    void viewDidLoad() override;
    // Makes the table once; later calls reload it.
    void initmyTable();
    void goback();

    int select() const { return select_; }
    void setSelect(int row) { select_ = row; }
    void setDelegate(std::weak_ptr<MVTSelectListViewDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::vector<std::string>& setInfoArray() const { return setInfoArray_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForFooterInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    std::shared_ptr<myTableView> myTable_;
    std::vector<std::string> setInfoArray_;
    int select_ = 0;
    std::weak_ptr<MVTSelectListViewDelegate> delegate_;
};
