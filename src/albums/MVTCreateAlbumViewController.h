#pragma once

#include "albums/MVTSelectClassOrAlbumViewController.h"
#include "homework/HomeworkScreen.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TextView.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class Label;
}  // namespace platform

// The form that creates an album or edits the name and description of one, for a class
// or a group ("forum"). Without an album it creates; with one it edits. A group field id
// makes it a group album. Opened from the chooser (view marked "upNewAlbum"), a created
// album goes straight back to the photo upload screen.
class MVTCreateAlbumViewController : public HomeworkScreen,
                                     public platform::AlertViewDelegate,
                                     public MVTSelectClassOrAlbumViewDelegate {
public:
    static constexpr const char* kUpNewAlbumMarker = "upNewAlbum";
    static constexpr const char* kReloadGroupAlbumsNotification = "toReloadData";
    static constexpr int kNameTag = 11;
    static constexpr int kDetailTag = 12;
    static constexpr int kAddPicturesAlertTag = 11;
    static constexpr std::size_t kNameLimit = 15;
    static constexpr std::size_t kDetailLimit = 30;

    std::string className() const override { return "MVTCreateAlbumViewController"; }
    void setAlbumDic(std::shared_ptr<platform::Json> album) { albumDic_ = std::move(album); }
    std::shared_ptr<platform::Json> albumDic() const { return albumDic_; }
    void setForumId(const std::string& id) { forumId_ = id; }
    const std::string& forumId() const { return forumId_; }
    void setFieldId(const std::string& id) { fieldId_ = id; }
    const std::string& fieldId() const { return fieldId_; }

    void viewDidLoad() override;
    void goback();
    void doneCreateAlbum();
    void toselectClass();
    void toDoneKeyboard();
    void showMindWith(const std::string& text);
    void whichSelectdWith(const std::string& name, const std::string& id) override;

    void addNewAlbum();
    void addNewAlbumForGroup();
    void editOldAlbum();
    void editOldAlbumForGroup();

    // The two fields' delegate answers (handed on by a small delegate object).
    void textViewDidChange(platform::TextView& view);
    bool textViewShouldBeginEditing(platform::TextView& view);
    bool textViewShouldEndEditing(platform::TextView& view);
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // ---- Read by tests.
    bool isGroupAlbum() const;
    const std::string& classId() const { return classId_; }
    const std::string& newAlbumId() const { return newAlbumId_; }
    std::shared_ptr<platform::TextView> nameTextView() const { return nameTextView_; }
    std::shared_ptr<platform::TextView> detailsTextView() const { return detailsTextView_; }
    std::shared_ptr<platform::Label> nameLimitLa() const { return nameLimitLa_; }
    std::shared_ptr<platform::Label> detailLimitLa() const { return detailLimitLa_; }
    std::shared_ptr<platform::Button> classBtn() const { return classBtn_; }
    std::shared_ptr<platform::Label> classLa() const { return classLa_; }
    std::shared_ptr<platform::Button> rightBtn() const { return rightBtn_; }
    std::shared_ptr<platform::Button> doneBtn() const { return doneBtn_; }
    std::shared_ptr<platform::View> bgView() const { return bgView_; }

private:
    void createAllView();
    void createDoneBtn();
    void keyboardWillShow(const platform::Notification& note);
    void keyboardWillHidden();
    void endEditingBoth();
    void createAnswered(const platform::Json& reply, bool group);
    void createFailed();
    void editFailed();
    // The counter of a field: "最多15字" alone, or followed by " 已输入N字" while it holds text.
    void showCount(platform::TextView& field);
    void sendGroupSave(const std::string& name, const std::string& description, const std::string& albumId,
                       std::function<void(const platform::Json&)> reply, std::function<void()> failure);

    std::shared_ptr<platform::Json> albumDic_;
    std::string forumId_, fieldId_;
    std::string classId_, className_, newAlbumId_;
    std::shared_ptr<platform::View> bgView_;
    std::shared_ptr<platform::TextView> nameTextView_, detailsTextView_;
    std::shared_ptr<platform::Label> nameLimitLa_, detailLimitLa_, classLa_;
    std::shared_ptr<platform::Button> classBtn_, rightBtn_, doneBtn_;
    std::shared_ptr<platform::TextViewDelegate> fieldDelegate_;
    std::shared_ptr<platform::HttpJsonRequestOperation> saving_;
    platform::ObserverToken showObserver_, hideObserver_;
};
