#pragma once

#include "homework/HomeworkDelegates.h"
#include "homework/HomeworkScreen.h"

#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"

#include <map>
#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
class Image;
class ImageView;
class Label;
class ScrollView;
}  // namespace platform

// Where a teacher chooses who receives a new homework: whole classes, single pupils of a
// class, or pupils found by name. A strip with one tab per class, a grid of the current
// class's pupils whose first cell selects or clears the whole class, and a search that
// dims the screen and lists the pupils found.
//
// The selection comes in from the composer as copies and goes back on "完成":
// - selectClassDic: class id -> the class size ("%d") when the whole class is chosen;
// - selectStudentsDic: class id -> the ids of the pupils chosen one by one.
// A whole class has an empty list; once a class's pupils are known its list never holds
// all of them (the class becomes whole instead).
class MVTNHWGetStudentsViewController : public HomeworkScreen,
                                        public platform::SearchBarDelegate,
                                        public platform::TableViewDataSource,
                                        public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTNHWGetStudentsViewController"; }

    static constexpr const char* kCellId = "subStudentCell";

    std::shared_ptr<MVTNHWGetStudentsViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTNHWGetStudentsViewDelegate> delegate) { delegate_ = std::move(delegate); }
    const platform::Json& selectClassDic() const { return selectClassDic_; }
    void setSelectClassDic(const platform::Json& selection) { selectClassDic_ = selection; }
    const platform::Json& selectStudentsDic() const { return selectStudentsDic_; }
    void setSelectStudentsDic(const platform::Json& selection) { selectStudentsDic_ = selection; }
    const platform::Json& selectClassArr() const { return selectClassArr_; }
    void setSelectClassArr(const platform::Json& list) { selectClassArr_ = list; }

    void viewDidLoad() override;
    void getClassData();
    void showClassInfo();
    void classBtnClicked(platform::Button& tab);
    void getStudentsData();
    void showSelectClassStudentInfo();
    void studentsBtnClicked(platform::Button& button);
    void toSelectAllOrClear(platform::Button& button);
    void changeClassSelectCountWith(const std::string& classId, const std::string& text);
    void getSearchStudentDataWith(const std::string& name);
    void addSearchStudentWith(const platform::Json& hit);
    // NO enters search mode, YES leaves it.
    void showNagView(bool show);
    void toCancelSearchBar();
    void toDone();
    void goback();

    void searchBarTextDidBeginEditing(platform::SearchBar& bar) override;
    void searchBarSearchButtonClicked(platform::SearchBar& bar) override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    // The three results "完成" hands over.
    std::string joinedClassIds() const;
    std::string joinedStudentIds() const;
    int selectedCount() const;

    const platform::Json& classArr() const { return classArr_; }
    const platform::Json& allStudentsDic() const { return allStudentsDic_; }
    const std::string& selectClassId() const { return selectClassId_; }
    const platform::Json& didSearchArr() const { return didSearchArr_; }
    std::shared_ptr<platform::SearchBar> searchBar() const { return searchBar_; }
    std::shared_ptr<platform::ScrollView> classScrol() const { return classScrol_; }
    std::shared_ptr<platform::ScrollView> studentScrol() const { return studentScrol_; }
    std::shared_ptr<platform::Button> selectAllBtn() const { return selectAllBtn_; }
    std::shared_ptr<platform::View> searchBgView() const { return searchBgView_; }
    std::shared_ptr<myTableView> searchTable() const { return searchTable_; }
    std::shared_ptr<platform::View> underline() const { return underline_; }
    // The tab of a class, and the grid button of a pupil of the current class.
    std::shared_ptr<platform::Button> tabOfClass(const std::string& classId) const;
    std::shared_ptr<platform::Button> buttonOfStudent(const std::string& uid) const;
    // The selection text under a class's tab.
    std::string selectionTextOf(const std::string& classId) const;

private:
    bool isWhole(const std::string& classId) const { return selectClassDic_.contains(classId); }
    platform::Json& listOf(const std::string& classId);
    bool listHas(const std::string& classId, const std::string& uid) const;
    void setChosen(platform::Button& button, bool chosen);
    void clearGrid();
    std::string countText(const char* word, std::size_t count) const;
    void loadAvatar(const std::shared_ptr<platform::View>& target, const std::string& uid, bool searchRow);

    std::weak_ptr<MVTNHWGetStudentsViewDelegate> delegate_;
    platform::Json selectClassDic_ = platform::Json::object();
    platform::Json selectStudentsDic_ = platform::Json::object();
    platform::Json selectClassArr_ = platform::Json::array();
    platform::Json classArr_ = platform::Json::array();
    platform::Json allStudentsDic_ = platform::Json::object();
    std::string selectClassId_;
    std::map<std::string, std::shared_ptr<platform::Image>> faceImageDic_;
    platform::Json didSearchArr_ = platform::Json::array();

    std::shared_ptr<platform::ImageView> topBackground_;
    std::shared_ptr<platform::View> contentView_;
    std::shared_ptr<platform::SearchBar> searchBar_;
    std::shared_ptr<platform::Button> cancelBtn_;
    std::shared_ptr<platform::ScrollView> classScrol_;
    std::shared_ptr<platform::ScrollView> studentScrol_;
    std::shared_ptr<platform::View> underline_;
    std::shared_ptr<platform::Button> selectAllBtn_;
    std::shared_ptr<platform::View> searchBgView_;
    std::shared_ptr<myTableView> searchTable_;
};
