#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

class myTableView;

// The language settings page: follow the system, Chinese or English, with a check mark
// on the language in force. Leaving it with another language than it opened with rebuilds
// the whole tab bar, so every screen is made again with the new texts.
class MVTInternationalViewController : public ViewViewController,
                                       public platform::TableViewDataSource,
                                       public platform::TableViewDelegate {
public:
    // Row texts shown as they stand in both languages.
    static constexpr const char* kChineseName = "简体中文";
    static constexpr const char* kEnglishName = "English";
    // The follow row in the English table.
    static constexpr const char* kFollowSystemEnglish = "Follows System";
    static constexpr double kRowHeight = 44;

    std::string className() const override { return "MVTInternationalViewController"; }
    void viewDidLoad() override;

    // Rebuilds the tab bar when the language changed, then dismisses the page.
    void goback();
    // The page's name of the stored language follows it; the table is redrawn.
    void changeLanguage();

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    std::shared_ptr<myTableView> mytableV() const { return mytableV_; }
    const std::vector<std::string>& dataArray() const { return dataArray_; }
    const std::string& userLanguage() const { return userLanguage_; }
    const std::string& oldLanguage() const { return oldLanguage_; }

private:
    // "简体中文" for "zh-Hans", "English" for "en", `otherwise` for anything else.
    static std::string nameOf(const std::string& code, const std::string& otherwise);
    bool rowIsChecked(int row) const;

    std::shared_ptr<myTableView> mytableV_;
    std::vector<std::string> dataArray_;
    std::string userLanguage_;
    std::string oldLanguage_;
};
