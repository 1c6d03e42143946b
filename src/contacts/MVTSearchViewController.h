#pragma once

// The search overlay: a half-transparent veil over the list that searched, then, once
// results come, an opaque table of person rows ("来自: <section>") and conversation rows
// (class notices, groups, persons with badge and preview). In the member picker's kind
// ("selectManager") a tap posts "addNewManager" with the person's member entry; in every
// other kind it goes to the delegate.

#include "contacts/MVTLinkManListViewController.h"

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

class MVTSearchViewController : public ViewViewController,
                                public platform::TableViewDataSource,
                                public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTSearchViewController"; }

    static constexpr const char* kAddNewManager = "addNewManager";
    static constexpr const char* kSelectManager = "selectManager";
    static constexpr double kRowHeight = 60;
    static constexpr double kVeilAlpha = 0.5;

    void viewDidLoad() override;
    // Shows dataArray: makes the table on first use (the veil becomes opaque), reloads.
    void updateTableView();

    const platform::Json& dataArray() const { return dataArray_; }
    void setDataArray(const platform::Json& rows) { dataArray_ = rows.is_array() ? rows : platform::Json::array(); }
    const std::string& whereSearch() const { return whereSearch_; }
    void setWhereSearch(const std::string& kind) { whereSearch_ = kind; }
    const platform::Json& selectedArray() const { return selectedArray_; }
    void setSelectedArray(const platform::Json& selected) { selectedArray_ = selected; }
    // Held weakly: the delegate is the screen that owns the overlay.
    void setMyDelegate(std::weak_ptr<SearchListDelegate> delegate) { myDelegate_ = std::move(delegate); }
    std::shared_ptr<myTableView> searchTableView() const { return searchTableView_; }

    // True when `row` (a person row) is in the selection: ids with "::" equal as texts,
    // others equal as numbers.
    static bool isSelected(const platform::Json& selected, const platform::Json& row);
    // The preview of a conversation row: its "msg", else "图片"/"语音" for a first picture
    // or voice attachment, else "".
    static std::string previewText(const platform::Json& row);
    // The badge of a conversation row: "" for no unread, the count, "99" above 99.
    static std::string badgeText(const platform::Json& row);

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    void drawPersonRow(platform::View& content, const platform::Json& row);
    void drawConversationRow(platform::View& content, const platform::Json& row);

    platform::Json dataArray_ = platform::Json::array();
    platform::Json selectedArray_ = platform::Json::array();
    std::string whereSearch_;
    std::weak_ptr<SearchListDelegate> myDelegate_;
    std::shared_ptr<myTableView> searchTableView_;
};
