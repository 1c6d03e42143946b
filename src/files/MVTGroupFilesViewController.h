#pragma once

// "群文件": the files of one group (forum), in the same sections and pages as the class
// files. The group's creator ("2") and managers ("1") upload through the "+" and delete a
// file by swiping its row. The group profile page keeps one instance and pushes it.

#include "files/FileLibraryScreen.h"

#include <string>

class MVTGroupFilesViewController : public FileLibraryScreen {
public:
    std::string className() const override { return "MVTGroupFilesViewController"; }

    void setForumId(const std::string& id) { forumId_ = id; }
    const std::string& forumId() const { return forumId_; }
    void setFieldId(const std::string& id) { fieldId_ = id; }
    const std::string& fieldId() const { return fieldId_; }
    // The viewer's member type: "2" (creator) and "1" (manager) may upload and delete.
    void setIsmanager(const std::string& type) { ismanager_ = type; }
    const std::string& ismanager() const { return ismanager_; }

    void viewDidLoad() override;
    // Deletes one file; a true "success" drops its row, then the first page is loaded again.
    void deleteFiles(const std::string& resourceId);

    bool canEditRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void commitEditingStyle(platform::TableView& tableView, platform::TableViewCellEditingStyle style,
                            const platform::IndexPath& indexPath) override;

protected:
    std::string listUrl() const override { return forumUrl("list"); }
    platform::Json filesOf(const platform::Json& reply) const override;
    std::string pageName() const override { return "群文件"; }
    bool canUpload() const override { return isManager(); }
    std::string uploadUrl() const override { return forumUrl("save"); }
    bool isGroupLibrary() const override { return true; }
    std::shared_ptr<filelib::MVTTitleDownSelectView> makeDropDown(const platform::Rect& frame) const override {
        return std::make_shared<filelib::MVTTitleDownSelectView>(frame);
    }
    void leave() override;

private:
    bool isManager() const { return ismanager_ == "1" || ismanager_ == "2"; }
    // "forum/<user>/<forum>/<field>/lib/<operation>" on the service address.
    std::string forumUrl(const std::string& operation) const;
    void dropFile(const std::string& resourceId);

    std::string forumId_, fieldId_, ismanager_;
};
