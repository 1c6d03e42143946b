#pragma once

#include "notices/NewsListScreen.h"

// The discussion threads of the teacher channel ("teacherChannel") or the parent channel
// (any other kind), 20 to a page in the service's order; a thread opens its web page from
// the server without a share button. Presented in its own navigation controller.
class MVTChannelListViewController : public NewsListScreen {
public:
    static constexpr int kPageSize = 20;
    static constexpr double kRowHeight = 90;
    static constexpr double kEndPullDelay = 1.0;
    static constexpr double kFailedPullDelay = 0.1;
    // Tags of a row's views.
    static constexpr int kSubjectTag = 1;
    static constexpr int kAvatarTag = 2;
    static constexpr int kAuthorTag = 3;
    static constexpr int kTimeTag = 4;
    static constexpr int kRepliesTag = 5;

    std::string className() const override { return "MVTChannelListViewController"; }

    const std::string& typeString() const { return typeString_; }
    void setTypeString(const std::string& kind) { typeString_ = kind; }
    bool isTeacherChannel() const { return typeString_ == "teacherChannel"; }
    // The author a row shows: "匿名" for none.
    static std::string authorOf(const platform::Json& thread);

    void viewDidLoad() override;
    void netGetData();
    void initmytable();
    void reloadTableViewDataSource() override;
    void goback() override;

    int numberOfRowsInSection(platform::TableView&, int) override { return int(dataArr_.size()); }
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView&, const platform::IndexPath&) override { return kRowHeight; }
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    // ---- State, for tests.
    int currentPage() const { return currentPage_; }
    bool isHaveMore() const { return isHaveMore_; }
    bool isLoading() const { return isLoading_; }

private:
    void pageArrived(const platform::Json& threads);

    std::string typeString_;
    int currentPage_ = 1;
    bool isHaveMore_ = true;
    bool isLoading_ = false;
};
