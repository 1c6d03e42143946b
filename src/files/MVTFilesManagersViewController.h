#pragma once

// "班级文件": the files of the user's classes, newest first, in sections 今天 / 最近一周 /
// 更早, fifteen at a time, with a search by file or uploader name; teachers upload photos
// and videos through the "+".

#include "files/FileLibraryScreen.h"

#include "platform/ui/SearchBar.h"

#include <memory>
#include <string>

class MVTFilesManagersViewController : public FileLibraryScreen, public platform::SearchBarDelegate {
public:
    std::string className() const override { return "MVTFilesManagersViewController"; }

    void viewDidLoad() override;
    void viewDidDisappear(bool animated) override;

    void searchBarTextDidBeginEditing(platform::SearchBar& bar) override;
    void searchBarSearchButtonClicked(platform::SearchBar& bar) override;
    void cancelSearchBar();

    std::shared_ptr<platform::SearchBar> searchBar() const { return searchBar_; }
    const std::string& searchName() const { return searchName_; }

protected:
    std::string listUrl() const override;
    platform::Json filesOf(const platform::Json& reply) const override { return reply; }
    std::string pageName() const override { return "班级文件"; }
    bool canUpload() const override;
    std::string uploadUrl() const override;
    bool isGroupLibrary() const override { return false; }
    std::shared_ptr<filelib::MVTTitleDownSelectView> makeDropDown(const platform::Rect& frame) const override {
        return std::make_shared<filelib::MVTGroupFileTitleDownSelectView>(frame);
    }
    void leave() override { dismissViewController(true); }

private:
    std::string searchName_;
    std::shared_ptr<platform::SearchBar> searchBar_;
    std::shared_ptr<platform::Button> cancelButton_;
};
