#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

class myTableView;

// "系统设置": two rows, "消息提醒" (the reminder settings) and "语言设置" (the language
// page, its row showing the language in force), each presented in a new navigation
// controller. The table is reloaded each time the screen shows, so the language text
// follows a change made on the language page.
class MVTUniversalViewSettingViewController : public ViewViewController,
                                              public platform::TableViewDataSource,
                                              public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTUniversalViewSettingViewController"; }
    static constexpr double kRowHeight = 45;
    static constexpr int kLanguageLabelTag = 7;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void goback();

    // "跟随系统" while the language follows the system, else "简体中文" or "English".
    static std::string languageText();

    const std::vector<std::string>& myArray() const { return myArray_; }
    std::shared_ptr<myTableView> mytableView() const { return mytableView_; }

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    std::shared_ptr<myTableView> mytableView_;
    std::vector<std::string> myArray_;
};
