#pragma once

#include "shell/AllListDelegate.h"
#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class myTableView;

namespace platform {
class Button;
class HttpJsonRequestOperation;
}  // namespace platform

// "添加接收人" for an administrator's school notice: the receivers' roles (教师, 家长, 学生)
// and the school's receiver groups in alphabetical sections with the table's section
// index. The back button confirms (both chosen), refuses (only one of them) or leaves
// (neither). Pushed by the notice composer, answered through AllListDelegate.
class MVTPersonListViewController : public ViewViewController,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTPersonListViewController"; }
    static constexpr int kRoleButtonTag = 200;

    // initWithArray:selectedRoleArray: the receivers and roles chosen so far.
    static std::shared_ptr<MVTPersonListViewController> initWithArray(const platform::Json& receivers,
                                                                      const platform::Json& roles);
    ~MVTPersonListViewController() override;

    void setDelegate(std::weak_ptr<AllListDelegate> delegate) { delegate_ = std::move(delegate); }

    void viewDidLoad() override;
    void initmytableview();
    void loadSelectRoleView();
    void netGetData();
    // The items whose "firstName" starts, in lower case, with the title's letter.
    int seqencingmyArray(const std::string& title) const;
    void selecteBtnClick(platform::Button& button);
    void goback();
    void sendList();

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    std::string titleForHeaderInSection(platform::TableView& tableView, int section) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::vector<std::string> sectionIndexTitlesForTableView(platform::TableView& tableView) override;
    int sectionForSectionIndexTitle(platform::TableView& tableView, const std::string& title, int index) override;

    // The receiver groups of a reply with their "firstName", in section order.
    static platform::Json sortedItems(const platform::Json& reply);

    const platform::Json& myArray() const { return myArray_; }
    const platform::Json& titleArray() const { return titleArray_; }
    const platform::Json& sendArray() const { return sendArray_; }
    const platform::Json& selectedRoleMArray() const { return selectedRoleMArray_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }

private:
    const platform::Json* itemAt(const platform::IndexPath& indexPath) const;

    std::weak_ptr<AllListDelegate> delegate_;
    platform::Json myArray_ = platform::Json::array();
    platform::Json titleArray_ = platform::Json::array();
    platform::Json sendArray_;
    std::vector<std::string> roleArray_;
    platform::Json selectedRoleMArray_;
    std::map<std::pair<int, int>, std::string> markDict_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::Button> leftBtn_;
    std::shared_ptr<platform::HttpJsonRequestOperation> listOperation_;
};
