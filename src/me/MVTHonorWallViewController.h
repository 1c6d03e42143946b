#pragma once

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

namespace platform {
class ImageView;
class ProgressHUD;
}  // namespace platform
class myTableView;

// "勋章墙": the honors a user has obtained and those not yet obtained, four to a row, each
// with its picture and name; a tap opens the honor's description under its row. Pushed by
// the profile page with the owner's dictionary ("id", else "uid"). Honor pictures come
// from the service without credentials and are kept in the defaults under their names.
class MVTHonorWallViewController : public ViewViewController,
                                   public platform::TableViewDataSource,
                                   public platform::TableViewDelegate {
public:
    MVTHonorWallViewController();
    ~MVTHonorWallViewController() override;
    std::string className() const override { return "MVTHonorWallViewController"; }

    const platform::Json& userDict() const { return userDict_; }
    void setUserDict(const platform::Json& user) { userDict_ = user; }

    void viewDidLoad() override;
    void netGetData();
    void getFirstNotGetIndex();
    void backButtonClick();
    // A tap on the honor at (section, position).
    void honorImageClick(int section, int position);
    // Background: the picture named by the view's accessibility hint.
    static void toGetHonorImage(const std::shared_ptr<platform::ImageView>& view);

    const platform::Json& getHonorArray() const { return getHonorArray_; }
    const platform::Json& noHonorArray() const { return noHonorArray_; }
    int getHonorCount() const { return getHonorCount_; }
    int notGetHonorCount() const { return notGetHonorCount_; }
    int selectedCell() const { return selectedCell_; }
    int selectedIndex() const { return selectedIndex_; }
    const std::string& descriptionSting() const { return descriptionSting_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;

private:
    std::string ownerId() const;

    platform::Json userDict_ = platform::Json::object();
    platform::Json getHonorArray_ = platform::Json::array();
    platform::Json noHonorArray_ = platform::Json::array();
    int getHonorCount_ = 1, notGetHonorCount_ = 1, notGetHonorFirstCellIndex_ = 1;
    int selectedCell_ = -1, selectedIndex_ = -1;
    std::string descriptionSting_;
    std::shared_ptr<myTableView> myTable_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
