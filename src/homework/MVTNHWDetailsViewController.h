#pragma once

#include "homework/HomeworkAttachmentList.h"
#include "homework/HomeworkDelegates.h"
#include "homework/HomeworkScreen.h"

#include "platform/ui/AlertView.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ScrollView;
}  // namespace platform

// One homework: its description, its voice and its files. Teachers and administrators get
// the hand-in statistics button, students star and unstar, and a user who is neither
// teacher nor administrator and has handed in gets a bar that opens the answer (a student
// who has not yet answered gets the same bar to answer). Tells its delegate when the
// homework was read, when its star changed and when it no longer exists.
//
// The opener may put a read marker ("one un read", "one have submit") into the view's
// accessibility value, which loads the view and starts the content request before the
// delegate is set: marker and delegate are read only when the reply comes.
class MVTNHWDetailsViewController : public HomeworkScreen, public platform::AlertViewDelegate {
public:
    MVTNHWDetailsViewController();
    ~MVTNHWDetailsViewController() override;
    std::string className() const override { return "MVTNHWDetailsViewController"; }

    static constexpr const char* kPageName = "作业详情";
    static constexpr long kDeletedAlertTag = 6336;

    const std::string& hwId() const { return hwId_; }
    void setHwId(const std::string& id) { hwId_ = id; }
    // The hand-in count as text; a non-zero number makes the statistics button.
    const std::optional<std::string>& subCount() const { return subCount_; }
    void setSubCount(const std::string& count) { subCount_ = count; }
    bool isStar() const { return isStar_; }
    void setIsStar(bool star) { isStar_ = star; }
    // Stored only.
    bool didSubmit() const { return didSubmit_; }
    void setDidSubmit(bool submitted) { didSubmit_ = submitted; }
    std::shared_ptr<MVTNHWDetailsViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTNHWDetailsViewDelegate> delegate) { delegate_ = std::move(delegate); }

    void viewDidLoad() override;
    void createInfoView();
    void getInfoData();
    void createDownView(const std::string& title, bool answered);
    void initInfoViewWith(const platform::Json& reply);
    void toStarHomework(platform::Button& sender);
    void toSubmitStudentsList();
    void toSeeDidSubmit();
    void toSubmitNewHomework();
    void goback();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    std::shared_ptr<platform::Button> rightBtn() const { return rightBtn_; }
    std::shared_ptr<platform::Button> starButton() const { return starBtn_; }
    std::shared_ptr<platform::Button> statisticsButton() const { return statisticsBtn_; }
    std::shared_ptr<platform::Button> downButton() const { return downBtn_; }
    std::shared_ptr<platform::ScrollView> contentScrol() const { return contentScrol_; }
    std::shared_ptr<HomeworkAttachmentList> attachments() const { return attachments_; }
    std::shared_ptr<platform::Label> descriptionLabel() const { return descriptionLa_; }
    std::shared_ptr<platform::View> separator() const { return separator_; }

private:
    void handleContentReply(const platform::Json& reply);
    void loadEnded();
    void makeStatisticsButton(bool enabled);

    std::string hwId_;
    std::optional<std::string> subCount_;
    bool isStar_ = false;
    bool didSubmit_ = false;
    std::weak_ptr<MVTNHWDetailsViewDelegate> delegate_;
    bool readReported_ = false;

    std::shared_ptr<platform::Button> rightBtn_;
    std::shared_ptr<platform::Button> starBtn_;
    std::shared_ptr<platform::Button> statisticsBtn_;
    std::shared_ptr<platform::Button> downBtn_;
    std::shared_ptr<platform::ScrollView> contentScrol_;
    std::shared_ptr<platform::Label> descriptionLa_;
    std::shared_ptr<platform::View> separator_;
    std::shared_ptr<HomeworkAttachmentList> attachments_;
};
