#pragma once

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class myTableView;

namespace platform {
class Button;
class HttpRequestOperation;
class HttpJsonRequestOperation;
class ImageView;
class Label;
class ProgressHUD;
}  // namespace platform

class MVTPriNotCellDelegate {
public:
    virtual ~MVTPriNotCellDelegate() = default;
    virtual void changedChoseArray(int position) = 0;
};

// One receiver of a notice: avatar, name, whether and how the receiver was reminded, the
// time, and (for unread receivers in the reminder mode) a check box.
class MVTPriNotCell : public platform::TableViewCell {
public:
    static constexpr int kUnread = 1;
    static constexpr int kRead = 2;

    static std::shared_ptr<MVTPriNotCell> make(const std::string& reuseIdentifier);
    std::string className() const override { return "MVTPriNotCell"; }
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);
    // initViewWithIndex:dict:array:readType:
    void initViewWithIndex(int position, const platform::Json& receiver, const std::vector<std::string>& choices,
                           int readType);
    void checkBtnClicked();
    void setDelegate(std::weak_ptr<MVTPriNotCellDelegate> delegate) { delegate_ = std::move(delegate); }
    // The picture name a receiver's status shows ("readed", "messaged", "lettered", "no_read").
    static std::string statusPicture(const platform::Json& receiver, int readType);

    std::shared_ptr<platform::View> rightView() const { return rightView_; }
    std::shared_ptr<platform::Button> checkBtn() const { return checkBtn_; }
    std::shared_ptr<platform::ImageView> messImageView() const { return messImageView_; }
    std::shared_ptr<platform::Label> userLabel() const { return userLabel_; }
    std::shared_ptr<platform::Label> dataLabel() const { return dataLabel_; }
    const std::string& statusName() const { return statusName_; }
    const std::string& checkPicture() const { return checkPicture_; }
    void setCheckPicture(const std::string& name);

private:
    std::shared_ptr<platform::View> bgView_;
    std::shared_ptr<platform::ImageView> headImageView_;
    std::shared_ptr<platform::Label> userLabel_;
    std::shared_ptr<platform::View> rightView_;
    std::shared_ptr<platform::ImageView> messImageView_;
    std::shared_ptr<platform::Label> dataLabel_;
    std::shared_ptr<platform::Button> checkBtn_;
    std::string statusName_;
    std::string checkPicture_;
    std::weak_ptr<MVTPriNotCellDelegate> delegate_;
};

// Who read a notice and who did not ("未读" first, "已读" second). The teacher who wrote
// it can switch on the reminder mode ("查漏"), tick unread receivers (all start ticked)
// and remind them by private letter or SMS. Pushed by the class-notice list.
class MVTPriNotViewController : public ViewViewController,
                                public platform::TableViewDataSource,
                                public platform::TableViewDelegate,
                                public MVTPriNotCellDelegate {
public:
    static constexpr const char* kPageName = "班级通知";
    static constexpr int kLetterTag = 100;
    static constexpr int kSmsTag = 101;
    static constexpr double kModeAnimation = 0.3;

    MVTPriNotViewController();
    ~MVTPriNotViewController() override;
    std::string className() const override { return "MVTPriNotViewController"; }

    void setItemDic(const platform::Json& notice) { itemDic_ = notice; }
    const platform::Json& itemDic() const { return itemDic_; }

    void viewDidLoad() override;
    void addHeadView();
    void netGetData();
    void initPritableview();
    void changedChoseArray(int position) override;
    void leakBtnClicked();
    void moveRight();
    void moveLeft();
    void NotiBtClicked(platform::Button& button);
    void sendPriOrMessageNotifinationWithType(const std::string& kind);
    void reloadPriTableView(const std::string& kind);
    void showHUDWithBool(bool show);
    void goback();

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    // ---- State, for tests.
    const platform::Json& readList() const { return read_; }
    const platform::Json& unreadList() const { return unread_; }
    const std::vector<std::string>& choseArray() const { return choseArray_; }
    const std::map<std::string, std::string>& uidDict() const { return uidDict_; }
    bool isLeak() const { return isLeak_; }
    bool isEdit() const { return isEdit_; }
    bool isloading() const { return isloading_; }
    std::shared_ptr<myTableView> priTableView() const { return priTableView_; }
    std::shared_ptr<platform::View> headView() const { return headView_; }
    std::shared_ptr<platform::Button> leakButton() const { return leakBtn_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return HUD_; }
    // The section title of a section: "未读" or "已读".
    std::string sectionTitle(int section) const;
    // The uids text a reminder sends: ticked unread ids in list order, joined by ",".
    std::string tickedUids() const;

private:
    bool showsUnreadIn(int section) const;

    platform::Json itemDic_ = platform::Json::object();
    platform::Json read_ = platform::Json::array();
    platform::Json unread_ = platform::Json::array();
    std::vector<std::string> choseArray_;
    std::map<std::string, std::string> uidDict_;
    std::vector<std::weak_ptr<MVTPriNotCell>> cellArray_;
    std::shared_ptr<myTableView> priTableView_;
    std::shared_ptr<platform::View> headView_;
    std::shared_ptr<platform::Button> leakBtn_;
    std::shared_ptr<platform::Button> leftBtn_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    bool isLeak_ = false;
    bool isEdit_ = false;
    bool isloading_ = false;
    std::shared_ptr<platform::HttpJsonRequestOperation> listOperation_;
    std::shared_ptr<platform::HttpRequestOperation> remindOperation_;
};
