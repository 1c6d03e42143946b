#pragma once

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform

// Receives the school chosen on the school search screen in picker mode.
class MVTSearchSchoolDelegate {
public:
    virtual ~MVTSearchSchoolDelegate() = default;
    // didSelectedSchoolWith: the school's dictionary as the search gave it ("id", "name").
    virtual void didSelectedSchoolWith(const platform::Json& school) = 0;
};

// Searches the service's schools by name or initials, 20 per page, and lets the user
// pick one. Two modes, both made with init and pushed:
// - picker mode (setIsRegistering(true) and setDelegate): the chosen school goes to the
//   delegate and the screen pops; nothing is sent;
// - join mode (setIsLogining(true)): the user joins the chosen school; on success the
//   account's school id and the saved user change and sign-in continues.
class MVTSearchSchoolViewController : public ViewViewController,
                                      public platform::TextFieldDelegate,
                                      public platform::TableViewDataSource,
                                      public platform::TableViewDelegate,
                                      public platform::AlertViewDelegate {
public:
    MVTSearchSchoolViewController();
    ~MVTSearchSchoolViewController() override;
    std::string className() const override { return "MVTSearchSchoolViewController"; }

    static constexpr int kPageSize = 20;
    static constexpr double kRequestTimeout = 20.0;
    static constexpr long kConfirmAlertTag = 10086;
    static constexpr long kApprovalAlertTag = 5337;

    bool isLogining() const { return isLogining_; }
    void setIsLogining(bool logining) { isLogining_ = logining; }
    bool isRegistering() const { return isRegistering_; }
    void setIsRegistering(bool registering) { isRegistering_ = registering; }
    // Held for the screen's life.
    std::shared_ptr<MVTSearchSchoolDelegate> delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<MVTSearchSchoolDelegate> delegate) { delegate_ = std::move(delegate); }

    void viewDidLoad() override;
    void initSearchView();
    void initTable();
    void creatFooter();
    // Gives the search field the keyboard focus (0.6 seconds after loading).
    void startSearch();
    // "取消": clears the field and the list and hides the table.
    void toCancel();
    // Requests page nowPage of the current search.
    void toSearchSchool();
    // Join mode: joins the school with the id.
    void didSelectWhichSchoolIdWith(const std::string& schoolId);
    // Signs out to an empty login screen.
    void nowBackToLogin();
    void goback();
    void showHUDWithBool(bool show);

    bool textFieldShouldReturn(platform::TextField& field) override;
    bool textFieldShouldClear(platform::TextField& field) override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // State, readable by tests.
    std::shared_ptr<platform::TextField> searchField() const { return searchField_; }
    std::shared_ptr<platform::TableView> searchTable() const { return searchTable_; }
    std::shared_ptr<platform::Button> moreBtn() const { return moreBtn_; }
    const platform::Json& resultArr() const { return resultArr_; }
    int nowPage() const { return nowPage_; }

    // Told when a join reply carries neither an approval nor success, and no reason.
    static constexpr const char* kJoinFailed = "加入学校失败,请重试";

private:
    void handleJoinReply(const platform::Json& reply, const std::string& schoolId);

    bool isLogining_ = false;
    bool isRegistering_ = false;
    std::shared_ptr<MVTSearchSchoolDelegate> delegate_;
    std::shared_ptr<platform::TextField> searchField_;
    std::shared_ptr<platform::TableView> searchTable_;
    std::shared_ptr<platform::Button> moreBtn_;
    platform::Json resultArr_ = platform::Json::array();
    int nowPage_ = 1;
    // The row whose confirmation is on screen.
    int chosenRow_ = -1;
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
