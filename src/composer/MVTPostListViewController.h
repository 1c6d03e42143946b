#pragma once

// The mention picker: the people the user may mention, in sections "#" and "A" to "Z" by
// the initials of their names, with an index bar down the right edge. It shows the list
// kept in the user's cache file and asks the service only when there is none or when the
// user taps "刷新". A tap on a name pops the screen and hands the entry to the delegate.

#include "shell/ViewViewController.h"

#include "platform/HttpRequestOperation.h"
#include "platform/ui/TableView.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform
class myTableView;

class MVTPostListDelegate {
public:
    virtual ~MVTPostListDelegate() = default;
    // returnList: the chosen entry ("name", "user", "firstName" and whatever else it has).
    virtual void returnList(const nlohmann::json& entry) = 0;
};

// The letters down the right edge; a touch on a letter reports its index.
class MVTIndexBar : public platform::View {
public:
    using Handler = std::function<void(int index)>;
    explicit MVTIndexBar(const platform::Rect& frame);
    std::string className() const override { return "MVTIndexBar"; }
    void setIndexes(const std::vector<std::string>& titles);
    const std::vector<std::string>& indexes() const { return titles_; }
    void setHandler(Handler handler) { handler_ = std::move(handler); }
    // A touch on letter `index`.
    void selectIndex(int index);

private:
    std::vector<std::string> titles_;
    Handler handler_;
};

class MVTPostListViewController : public ViewViewController,
                                  public platform::TableViewDataSource,
                                  public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTPostListViewController"; }

    void init() {}
    void setDelegate(const std::shared_ptr<MVTPostListDelegate>& delegate) { delegate_ = delegate; }
    std::shared_ptr<MVTPostListDelegate> delegate() const { return delegate_; }

    void viewDidLoad() override;
    // getData: the cached list, or the service when there is none.
    void getData();
    // refreshPostlist: asks the service for the list.
    void refreshPostlist();
    // refreshTitleArray: the sections of the shown list.
    void refreshTitleArray();
    // seqencingmyArray: how many shown people have a key starting with `letter` (any case).
    int seqencingmyArray(const std::string& letter) const;
    // initmytableview: makes or reloads the table.
    void initmytableview();
    // tableViewIndexBar:didSelectSectionAtIndex: scrolls section `index` to the top.
    void tableViewIndexBarDidSelectSectionAtIndex(int index);
    void goback();

    // The person of a row.
    nlohmann::json recipientAt(const platform::IndexPath& indexPath) const;

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    std::string titleForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const nlohmann::json& titleArray() const { return titleArray_; }
    const nlohmann::json& myArray() const { return myArray_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<MVTIndexBar> indexBar() const { return indexBar_; }
    std::shared_ptr<platform::Button> refreshButton() const { return refreshButton_; }

private:
    void endRefresh();
    // The index bar shows the letters of the sections.
    void showIndexes();
    void showEmptyAlert();

    std::shared_ptr<platform::Button> leftBtn_;
    std::shared_ptr<platform::Button> refreshButton_;
    nlohmann::json titleArray_ = nlohmann::json::array();
    nlohmann::json myArray_ = nlohmann::json::array();
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<MVTIndexBar> indexBar_;
    std::shared_ptr<MVTPostListDelegate> delegate_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    std::shared_ptr<platform::HttpRequestOperation> operation_;
};
