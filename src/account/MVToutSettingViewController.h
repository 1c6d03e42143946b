#pragma once

#include "shell/ViewViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/TextField.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class Button;
class Switch;
}  // namespace platform

// Defaults keys of the four switches of the pre-login settings. A missing key reads as off.
inline constexpr const char* kIsCloseMusicKey = "isCloseMusic";
inline constexpr const char* kIsCloseMoveKey = "isCloseMove";
inline constexpr const char* kIsRememberUserKey = "isRememberUser";
inline constexpr const char* kIsAutoUserKey = "isAutoUser";

// Settings kept before sign-in: sound, vibration, remembering the account and password,
// automatic sign-in, and the addresses and ports of the XMPP and HTTP servers, all under
// defaults keys. Shown modally inside a navigation stack; going back stores the four
// fields. Nothing else in the app reads these values: requests keep going to the service
// address the build (or TIRRA_BASE_URL) names.
class MVToutSettingViewController : public ViewViewController,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate,
                                    public platform::TextFieldDelegate {
public:
    MVToutSettingViewController();
    ~MVToutSettingViewController() override;
    std::string className() const override { return "MVToutSettingViewController"; }

    void viewDidLoad() override;

    // Stores the switch's position under its key; remembering off turns automatic sign-in
    // off, automatic sign-in on turns remembering on.
    void selectSwitch(platform::Switch& sender);
    // Stores the four fields (an empty one removes its key) and closes the screen.
    void goback();

    // ---- Table
    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;

    // ---- Fields
    void textFieldDidBeginEditing(platform::TextField& field) override;
    bool textFieldShouldReturn(platform::TextField& field) override;

    std::shared_ptr<platform::TextField> XMPPtextfield1() const { return XMPPtextfield1_; }
    std::shared_ptr<platform::TextField> XMPPtextfield2() const { return XMPPtextfield2_; }
    std::shared_ptr<platform::TextField> HTTPtextfield1() const { return HTTPtextfield1_; }
    std::shared_ptr<platform::TextField> HTTPtextField2() const { return HTTPtextField2_; }
    std::shared_ptr<myTableView> mytable() const { return mytable_; }
    std::shared_ptr<platform::Button> leftBtn() const { return leftBtn_; }
    // The switch with tag 201 to 204 (sound, vibration, remember, automatic sign-in).
    std::shared_ptr<platform::Switch> switchWithTag(int tag) const;

    static constexpr double kRowHeight = 47;
    static constexpr double kKeyboardAnimation = 0.3;
    static constexpr int kFirstSwitchTag = 201;

    // The table's top edge while the field is edited, on a view at least 480 points high
    // (`tall`) or a lower one; nothing when the table stays where it is.
    static std::optional<double> tableTopWhileEditing(int fieldIndex, bool tall);

private:
    int indexOfField(const platform::TextField& field) const;

    std::shared_ptr<platform::TextField> XMPPtextfield1_;
    std::shared_ptr<platform::TextField> XMPPtextfield2_;
    std::shared_ptr<platform::TextField> HTTPtextfield1_;
    std::shared_ptr<platform::TextField> HTTPtextField2_;
    std::shared_ptr<platform::Switch> switches_[4];
    std::shared_ptr<myTableView> mytable_;
    std::shared_ptr<platform::Button> leftBtn_;
};
