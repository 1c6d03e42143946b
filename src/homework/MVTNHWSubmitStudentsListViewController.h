#pragma once

#include "homework/HomeworkScreen.h"

#include "platform/ui/TableView.h"

#include <map>
#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
class Image;
class ImageView;
}  // namespace platform

// The students' answers to one homework, 20 to a page: avatar, name, class, time of the
// hand-in and number of attachments, or "未提交". A row with attachments opens that answer.
// Opened by the details screen (title "提交统计(n)") and by the course notification centre
// (the homework's title; rows without attachments are left out).
class MVTNHWSubmitStudentsListViewController : public HomeworkScreen,
                                               public platform::TableViewDataSource,
                                               public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTNHWSubmitStudentsListViewController"; }

    static constexpr const char* kCellId = "subStudentCell";
    enum CellTag { kAvatarTag = 11, kNameTag = 12, kClassTag = 13, kTimeTag = 14, kCountTag = 15,
                   kLineTag = 1000, kArrowTag = 1001 };

    const std::optional<std::string>& subCount() const { return subCount_; }
    void setSubCount(const std::string& text) { subCount_ = text; }
    const std::string& hwId() const { return hwId_; }
    void setHwId(const std::string& id) { hwId_ = id; }
    bool isNewsCenter() const { return isNewsCenter_; }
    void setIsNewsCenter(bool fromCentre) { isNewsCenter_ = fromCentre; }

    void viewDidLoad() override;
    void initTable();
    void creatTableFooter();
    // The next page (also the footer's action).
    void getSubmitStudentsData();
    // Loads the avatar of the user id in the view's accessibility value in the background.
    void toGetFaceImageWith(const std::shared_ptr<platform::ImageView>& avatar);
    void goback();

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const platform::Json& dataArray() const { return dataArray_; }
    const std::map<std::string, std::shared_ptr<platform::Image>>& faceImageDic() const { return faceImageDic_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }
    std::shared_ptr<platform::Button> moreBtn() const { return moreBtn_; }
    // The rows the service has sent so far, kept or not: the next page follows them.
    std::size_t receivedRows() const { return receivedRows_; }

private:
    std::optional<std::string> subCount_;
    std::string hwId_;
    bool isNewsCenter_ = false;
    platform::Json dataArray_ = platform::Json::array();
    std::map<std::string, std::shared_ptr<platform::Image>> faceImageDic_;
    std::shared_ptr<myTableView> myTable_;
    std::shared_ptr<platform::Button> moreBtn_;
    std::size_t receivedRows_ = 0;
    bool loading_ = false;
};
