#pragma once

#include "homework/HomeworkScreen.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;
namespace platform {
class Label;
}

// A list of records from the service with a check mark on each chosen row: the class
// assignment screen and the subject, course and class chooser. Loads once as the view
// loads, under the waiting animation; an empty reply shows "暂无数据" with the screen's
// alert, a failed one the network banner (kind 2; kind 0 without network). Rows are 45
// points high with the record's name and a separator line.
class CourseCheckListScreen : public HomeworkScreen,
                              public platform::TableViewDataSource,
                              public platform::TableViewDelegate {
public:
    static constexpr double kRowHeight = 45;
    static constexpr const char* kCellId = "Cell";

    void viewDidLoad() override;

    // initmytableview: makes the table once, later only reloads; stops the waiting animation.
    void initmytableview();
    // netGetData: asks for the records.
    void netGetData();

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const platform::Json& myArray() const { return myArray_; }
    // markDict: "1" for a row with a check mark, "0" without, by row.
    const platform::Json& markDict() const { return markDict_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::Label> noDataLabel() const { return noDataLabel_; }

protected:
    // The request: method, path under the service prefix, parameters.
    virtual std::string listPath() const = 0;
    virtual platform::Json listParameters() const { return nullptr; }
    // The alert message of an empty reply.
    virtual std::string emptyMessage() const = 0;
    // Whether row `row`'s record is chosen now.
    virtual bool isChosen(int row) const = 0;
    // Puts the record's name into the row's content view.
    virtual void addName(platform::View& content, const std::string& name) = 0;

    void setMark(int row, bool on);
    bool marked(int row) const;

    platform::Json myArray_ = platform::Json::array();
    platform::Json markDict_ = platform::Json::object();
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::Label> noDataLabel_;
};
