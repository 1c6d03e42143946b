#pragma once

#include "me/OwnPictureScreen.h"

#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform
class myTableView;

// The "Me" tab, root of tab 3: a header with the signed-in user's avatar, name and level
// or points, the menu (own space, relevant-to-me list, the box of unsent posts, account
// management, system settings, about page), each opened presented in a new navigation
// controller, the avatar change (camera or album, upright, crop, upload) and "更改用户".
class MVTUserSettingViewController : public OwnPictureScreen,
                                     public platform::TableViewDataSource,
                                     public platform::TableViewDelegate {
public:
    MVTUserSettingViewController();
    ~MVTUserSettingViewController() override;
    std::string className() const override { return "MVTUserSettingViewController"; }

    static constexpr double kHeaderRowHeight = 77;
    static constexpr double kMenuRowHeight = 44;
    static constexpr double kQuitStripHeight = 48;
    // Seconds between the crop screen's answer and the upload.
    static constexpr double kAvatarUploadDelay = 0.05;
    // Views of the header row.
    static constexpr int kAvatarButtonTag = 101;
    static constexpr int kNameLabelTag = 102;
    static constexpr int kLevelLabelTag = 103;
    static constexpr int kMissingLabelTag = 104;
    static constexpr int kPointsLabelTag = 105;
    static constexpr int kPointsValueLabelTag = 106;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    // Makes the table on first use, later only reloads it.
    void initNewSetTableView();

    // Reloads the whole table: the header shows the level and points of the account.
    void reloadUserLvl();
    // Redraws the "动态" row (no badge).
    void reloadRelativeAndCommentCount();

    // The menu texts (keys of the string table), in order.
    const std::vector<std::string>& setInfoArray() const { return setInfoArray_; }
    int oldUserId() const { return oldUserId_; }
    std::shared_ptr<myTableView> settingTable() const { return settingTable_; }
    std::shared_ptr<platform::Button> quitButton() const { return quitButton_; }

    // The signed-in user's own space ({"id", "name", "role"}); nothing for role "system".
    void openOwnSpace();
    // The box of unsent posts, presented over the tab bar.
    void openSaveDynamic();
    // "更改用户": stops the poll, drops the remembered accounts, every reminder row and the
    // saved user, and shows an empty login. Nothing is asked.
    void quitLogin();

    // The crop screen's answer: the picture is uploaded 0.05 s later; none sends nothing.
    void cropImageViewControllerDidFinished(platform::ImageRef image) override;
    // Uploads the picture as the avatar; success rewrites the cached avatar and redraws
    // the header.
    void changeHeadImage(const platform::ImageRef& image);

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForFooterInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    // The avatar cache that the header shows: Documents/Downloads/<user id>.png.
    static std::string avatarFile(const std::string& userId);

private:
    std::shared_ptr<platform::TableViewCell> headerCell();
    std::shared_ptr<platform::TableViewCell> menuCell(int row);
    void present(const std::shared_ptr<platform::ViewController>& screen);
    static int currentUserIdNumber();

    std::vector<std::string> setInfoArray_;
    int oldUserId_ = 0;
    std::shared_ptr<myTableView> settingTable_;
    std::shared_ptr<platform::Button> quitButton_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
