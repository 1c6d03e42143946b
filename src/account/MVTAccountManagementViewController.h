#pragma once

#include "account/MVTAddAccountViewController.h"
#include "shell/ViewViewController.h"
#include "shell/myTableView.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

// The accounts remembered on this handset: one row per account, the signed-in one marked
// with a checkmark. Touching another row switches to it by signing in again with its
// stored credentials (without the launch picture); swiping a row forgets the account and
// its reminder settings, except for the signed-in one. The last row opens the add screen.
// Presented as the root of a navigation stack; a successful switch replaces the window's
// root, and this screen leaves with the old one.
class MVTAccountManagementViewController : public ViewViewController,
                                           public platform::TableViewDataSource,
                                           public platform::TableViewDelegate,
                                           public MVTAddAccountDelegate {
public:
    MVTAccountManagementViewController();
    ~MVTAccountManagementViewController() override;
    std::string className() const override { return "MVTAccountManagementViewController"; }

    void viewDidLoad() override;

    // Reads the users table again and reloads the list; the row is not used.
    void reloadUserWith(const nlohmann::json& row) override;
    // Pushes the add screen with this screen as its delegate.
    void addAccount();
    // login:password: switches to the account through the delegate's sign-in.
    void login(const std::string& userName, const std::string& password);
    // Reports the end of the page and dismisses the presented stack.
    void goback();

    // ---- Table
    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    bool canEditRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    platform::TableViewCellEditingStyle editingStyleForRowAtIndexPath(platform::TableView& tableView,
                                                                      const platform::IndexPath& indexPath) override;
    std::string titleForDeleteConfirmationButtonForRowAtIndexPath(platform::TableView& tableView,
                                                                  const platform::IndexPath& indexPath) override;
    void commitEditingStyle(platform::TableView& tableView, platform::TableViewCellEditingStyle style,
                            const platform::IndexPath& indexPath) override;

    std::shared_ptr<myTableView> myTable() const { return myTable_; }
    // The users table's rows, in the order the table returns them.
    const nlohmann::json& accounts() const { return accounts_; }

    // True when the row is the signed-in user's (user ids compared as integers).
    static bool isSignedInAccount(const nlohmann::json& row);

    static constexpr const char* kPageName = "账号管理";
    static constexpr double kAccountRowHeight = 50;
    static constexpr double kAddRowHeight = 40;
    static constexpr double kHeaderHeight = 15;

private:
    std::shared_ptr<platform::TableViewCell> accountCell(platform::TableView& tableView, int row);
    std::shared_ptr<platform::TableViewCell> addCell(platform::TableView& tableView);

    std::shared_ptr<myTableView> myTable_;
    nlohmann::json accounts_ = nlohmann::json::array();
};
