#pragma once

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
class HttpJsonRequestOperation;
class Label;
}  // namespace platform

// One class (or receiver group) of the picker: the group picture with its new-notice
// mark, and the level and name.
class MVTClassCell : public platform::TableViewCell {
public:
    static std::shared_ptr<MVTClassCell> make();
    std::string className() const override { return "MVTClassCell"; }
    void loadClassCell();
    // The row's text and its mark.
    void refreshClassCell(const platform::Json& row);
    static std::string rowText(const platform::Json& row, bool admin);

    std::shared_ptr<platform::Label> contentLbl() const { return contentLbl_; }
    std::shared_ptr<platform::View> markView() const { return markView_; }

private:
    std::shared_ptr<platform::Label> contentLbl_;
    std::shared_ptr<platform::View> markView_;
};

// The door to class notices for teachers ("选择班级": their classes) and administrators
// ("学校通知": the school's receiver groups). A row opens its notice list; "+" opens the
// notice composer. Opening the last marked row clears the account's new-notice flag.
// Presented in its own navigation controller by the messages tab and the Apps tab.
class AllClassViewController : public ViewViewController,
                               public platform::TableViewDataSource,
                               public platform::TableViewDelegate,
                               public platform::AlertViewDelegate {
public:
    static constexpr const char* kPublishNewNoti = "publishNewNoti";
    static constexpr const char* kMarkUpside = "markUpside";
    static constexpr long kJoinClassAlertTag = 10010;

    AllClassViewController();
    ~AllClassViewController() override;
    std::string className() const override { return "AllClassViewController"; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void initmytable();
    void netGetData();
    void unReadNum();
    void refreshClassList();
    void addNewNoti();
    void goback();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const platform::Json& myArray() const { return myArray_; }
    int unreadNum() const { return unreadNum_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::Button> addButton() const { return addBtn_; }

private:
    std::string pageName() const;
    void openComposer();

    platform::Json myArray_ = platform::Json::array();
    int unreadNum_ = 0;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::Button> leftBtn_;
    std::shared_ptr<platform::Button> addBtn_;
    std::shared_ptr<platform::HttpJsonRequestOperation> listOperation_;
    platform::ObserverToken publishToken_;
};
