#pragma once

// The one transfer manager of the process and its screen: runs queued downloads and
// uploads one at a time in queueing order, refuses a download whose file is already here
// or whose address is already queued, records finished transfers in the user's
// "<user id>finishPlist.plist", and shows tasks ("进行中") and records ("已完成").

#include "files/MVTTransferTask.h"

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>
#include <vector>

class myTableView;

namespace platform {
class AlertView;
class Button;
class Label;
class ProgressView;
class Image;
}  // namespace platform

inline constexpr const char* kCleanDownLoadListBtnNotification = "cleanDownLoadListBtn";

// The downloading row: the task's name, bar, status and size, following the task live.
class downLodingCell : public platform::TableViewCell {
public:
    std::string className() const override { return "downLodingCell"; }
    void setMyTask(std::shared_ptr<MVTTransferTask> task) { myTask_ = std::move(task); }
    const std::shared_ptr<MVTTransferTask>& myTask() const { return myTask_; }
    void updatecell();
    void updateCellData(float progress, const std::string& bytesPro);  // download
    void updateCellData(float progress);                               // upload

    std::shared_ptr<platform::Label> lblUrl() const { return lblUrl_; }
    std::shared_ptr<platform::Label> downLoading() const { return downLoading_; }
    std::shared_ptr<platform::Label> lblBytes() const { return lblBytes_; }
    std::shared_ptr<platform::ProgressView> progress() const { return progress_; }

private:
    void build();
    std::shared_ptr<MVTTransferTask> myTask_;
    std::shared_ptr<platform::Label> lblUrl_, downLoading_, lblBytes_;
    std::shared_ptr<platform::ProgressView> progress_;
};

class fileShowDelegate {
public:
    virtual ~fileShowDelegate() = default;
    virtual void fileShow(platform::Button& button) = 0;
};

// A finished record: name, "下载完成" / "上传完成", and for downloads the size and "查看".
class MyCompletedCell : public platform::TableViewCell {
public:
    std::string className() const override { return "MyCompletedCell"; }
    void setFileDic(platform::Json record) { fileDic_ = std::move(record); }
    void setIsDownLoaded(bool downloaded) { isDownLoaded_ = downloaded; }
    void setDelegate(std::weak_ptr<fileShowDelegate> delegate) { delegate_ = std::move(delegate); }
    void updatecell();

    std::shared_ptr<platform::Label> lblUrl() const { return lblUrl_; }
    std::shared_ptr<platform::Label> downLoading() const { return downLoading_; }
    std::shared_ptr<platform::Label> lblBytes() const { return lblBytes_; }
    std::shared_ptr<platform::Button> showButton() const { return showButton_; }

private:
    platform::Json fileDic_;
    bool isDownLoaded_ = true;
    std::weak_ptr<fileShowDelegate> delegate_;
    std::shared_ptr<platform::Label> lblUrl_, downLoading_, lblBytes_;
    std::shared_ptr<platform::Button> showButton_;
};

class MVTDownLoadViewController : public ViewViewController,
                                  public platform::TableViewDataSource,
                                  public platform::TableViewDelegate,
                                  public fileShowDelegate {
public:
    std::string className() const override { return "MVTDownLoadViewController"; }

    static std::shared_ptr<MVTDownLoadViewController> shareDownLoadViewController();
    // Drops every task and the screen (tests).
    static void resetForTesting();

    // Queues a download; nothing (after its alert) when the file exists or is queued.
    std::shared_ptr<MVTDownloadTask> downFileUrl(const std::string& url, const std::string& filePath);
    void addUpLoadTask(std::shared_ptr<platform::Image> image, const std::string& video, int type,
                       const std::string& fileName, std::weak_ptr<MVTUploadFileDelegate> delegate,
                       const platform::Json& parms, const std::string& fileUpUrl);
    bool isHaveThisTask(const std::string& url) const;
    void taskFiledDetail(const std::shared_ptr<MVTTransferTask>& task);
    void removeTask(int index);
    // Sign-out: every task stops, unfinished downloads leave no partial file, none is
    // recorded as finished.
    void stopAllTasks();
    void fileShow(platform::Button& button) override;

    void handleCompleteTask(const std::shared_ptr<MVTTransferTask>& task);
    void hanleUpLoadTask(const std::shared_ptr<MVTTransferTask>& task);
    void loadFinishedfiles();
    void cleanFinish();
    void goDownloadingView();
    void goFinishedView();

    // The records of a user's list file (oldest first); empty when missing or unreadable.
    static platform::Json readFinishedList(const std::string& userId);
    static std::string finishedListPath(const std::string& userId);
    static std::string downloadsFolder(const std::string& userId);
    // "···" between the first `head` and the last `tail` UTF-16 units of names of at
    // least `from` units.
    static std::string shortenedName(const std::string& name, std::size_t from, std::size_t head, std::size_t tail);

    const std::vector<std::shared_ptr<MVTTransferTask>>& tasks() const { return tasks_; }
    const platform::Json& finishedList() const { return finishedList_; }
    std::shared_ptr<myTableView> downloadingTable() const { return downloadingTable_; }
    std::shared_ptr<myTableView> finishedTable() const { return finishedTable_; }
    std::shared_ptr<platform::AlertView> showAlert() const { return showAlert_; }
    void setShowAlert(std::shared_ptr<platform::AlertView> alert) { showAlert_ = std::move(alert); }
    bool finishedSelected() const { return finishedSelected_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    bool canEditRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void commitEditingStyle(platform::TableView& tableView, platform::TableViewCellEditingStyle style,
                            const platform::IndexPath& indexPath) override;
    std::string titleForDeleteConfirmationButtonForRowAtIndexPath(platform::TableView& tableView,
                                                                  const platform::IndexPath& indexPath) override;

private:
    void addTask(const std::shared_ptr<MVTTransferTask>& task);
    void startHead();
    void record(const std::shared_ptr<MVTTransferTask>& task);
    void showRefusal(const std::string& message);
    void initTitleView();
    void initTableView();
    void selectTab(bool finished);

    std::vector<std::shared_ptr<MVTTransferTask>> tasks_;
    platform::Json finishedList_ = platform::Json::array();
    std::shared_ptr<myTableView> downloadingTable_, finishedTable_;
    std::shared_ptr<platform::Button> downloadingViewBtn_, finieshedViewBtn_;
    std::shared_ptr<platform::AlertView> showAlert_;
    bool finishedSelected_ = false;
    platform::ObserverToken downObserver_, upObserver_, signOutObserver_;
};
