#pragma once

#include "me/MVTNewSettingCell.h"
#include "me/MVTSelectListViewController.h"

#include "shell/ViewViewController.h"

#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

class myTableView;

// "消息提醒": the signed-in user's reminder row. A master switch, one switch per kind with
// a row (posts, messages, mentions, comments) and the poll interval. Homework and notices
// have no row: only the master switch changes them, and while either is on the master
// stays on. Switch changes post "reloadNews", an interval choice "reloadTimer".
class MVTNewsAlertViewController : public ViewViewController,
                                   public platform::TableViewDataSource,
                                   public platform::TableViewDelegate,
                                   public NewsSettingDelegate,
                                   public MVTSelectListViewDelegate {
public:
    std::string className() const override { return "MVTNewsAlertViewController"; }
    static constexpr int kMasterTag = 11;
    static constexpr int kFirstKindTag = 21;  // 21..24 in the order of setInfoArray
    static constexpr int kIntervalTag = 31;

    void viewDidLoad() override;
    // Makes the table once; later calls reload it.
    void initmyTable();
    void goback();
    // Pushes the choice list with the stored interval checked.
    void toSelectTimeSpace();

    void openOrCloseWith(bool on, int tag) override;
    void didSelectedWhichWith(int row) override;

    // The interval choice of a stored "defaultTime" (seconds): its index in timeArr, or -1.
    static int intervalIndexOf(const std::string& defaultTime);
    // The interval row's detail: "30秒" below one minute or without a choice, else "%@分钟".
    std::string intervalText() const;

    int sectionNum() const { return sectionNum_; }
    bool allNews() const { return allNews_; }
    const std::string& timeSpace() const { return timeSpace_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }
    const std::vector<std::string>& setInfoArray() const { return setInfoArray_; }
    static const std::vector<std::string>& timeArr();

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForFooterInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    // The stored row into the fields, the layout following the master.
    void loadSettings();
    // The row of the signed-in user, made with its defaults when there is none yet.
    static void ensureRow(const std::string& userId);

    std::shared_ptr<myTableView> myTable_;
    std::vector<std::string> setInfoArray_;
    std::string timeSpace_;
    int sectionNum_ = 2;
    bool allNews_ = false, feedNews_ = false, chatNews_ = false, MentionNews_ = false, commenNews_ = false,
         HMNews_ = false, NotiNews_ = false;
};
