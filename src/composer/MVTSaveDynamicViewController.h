#pragma once

// The box of unsent posts, "草稿箱": the signed-in user's posts whose upload failed, newest
// first, each of which can be sent again, deleted or have its voice played. It sends a
// post again by itself, with the same request and parts as the upload queue, and removes
// a post's row and files once it is sent or deleted. Presented modally in a navigation
// controller; it dismisses itself when left, and by itself once the last post is gone.

#include "composer/MVTSaveDynamicCell.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

class myTableView;
namespace platform {
class HttpRequestOperation;
class Label;
class ProgressHUD;
}  // namespace platform

class MVTSaveDynamicViewController : public ViewViewController,
                                     public platform::TableViewDataSource,
                                     public platform::TableViewDelegate,
                                     public platform::AlertViewDelegate,
                                     public MVTSaveDynamicCellDelegate {
public:
    static constexpr int kEmptyAlertTag = 7447;
    static constexpr int kDeleteAlertTag = 4774;
    static constexpr const char* kToStopSaveAudioPlay = "toStopSaveAudioPlay";

    ~MVTSaveDynamicViewController() override;
    std::string className() const override { return "MVTSaveDynamicViewController"; }
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // initTable: makes the list the first time; later calls reload it.
    void initTable();
    // toGetData: the user's unsent posts, or the "暂无数据" alert.
    void toGetData();
    void goback();
    // showReloadNews: the green notice that slides in and out; an empty box then leaves.
    void showReloadNews(const std::string& text);
    void deleteSaveDynamic();

    // ---- Rows ----
    void toDeleteSaveDynamicWith(const std::string& dynamicId, int row) override;
    void toSubmitWhichDynamicWith(int row) override;
    void playRecord(const std::string& name, int row) override;

    // ---- Table ----
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    // A row's height follows its post alone: measured once per post.
    std::string heightKeyForRowAtIndexPath(platform::TableView& tableView,
                                           const platform::IndexPath& indexPath) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    const nlohmann::json& dataArray() const { return dataArray_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }
    // The visible row of a post, when the list has made it.
    std::shared_ptr<MVTSaveDynamicCell> cellAt(int row) const;
    bool isSending() const { return sending_ != nullptr; }

private:
    std::shared_ptr<MVTSaveDynamicCell> makeCell(int row, bool loadPictures = true);
    void submitEnded(int row, bool sent);
    void removePost(int row);
    void showHud2(bool show);

    std::shared_ptr<platform::ProgressHUD> HUD;
    std::shared_ptr<platform::ProgressHUD> HUD2;
    nlohmann::json dataArray_ = nlohmann::json::array();
    std::shared_ptr<myTableView> myTable_;
    std::string deleteDynamicId_;
    int deleteIndex_ = -1;
    int subIndex_ = -1;
    std::shared_ptr<platform::Label> showCountLa_;
    std::vector<platform::ObserverToken> observers_;
    std::shared_ptr<platform::HttpRequestOperation> sending_;
    bool left_ = false;
};
