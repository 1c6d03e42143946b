#pragma once

#include "homework/HomeworkAttachmentList.h"
#include "homework/HomeworkScreen.h"

#include "platform/ui/AlertView.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class Image;
class ScrollView;
}  // namespace platform

// The attachments of one handed-in answer: its voice and its files. Teacher mode (opened
// from the statistics with the hand-in row) shows the pupil's header and requests
// nothing; own mode (opened from the details screen with the homework id) loads the
// signed-in user's own answer.
class MVTNHWAnswerInfoViewController : public HomeworkScreen, public platform::AlertViewDelegate {
public:
    std::string className() const override { return "MVTNHWAnswerInfoViewController"; }

    const std::string& hwId() const { return hwId_; }
    void setHwId(const std::string& id) { hwId_ = id; }
    const platform::Json& infoDic() const { return infoDic_; }
    void setInfoDic(const platform::Json& row) { infoDic_ = row; }
    std::shared_ptr<platform::Image> faceImage() const { return faceImage_; }
    void setFaceImage(std::shared_ptr<platform::Image> image) { faceImage_ = std::move(image); }
    bool isTeacher() const { return isTeacher_; }

    void viewDidLoad() override;
    void getInfoData();
    void reloadDataWith(const platform::Json& info);
    void goback();

    std::shared_ptr<platform::ScrollView> contentScrol() const { return contentScrol_; }
    std::shared_ptr<HomeworkAttachmentList> attachments() const { return attachments_; }

    // The resources of an own-answer reply: the "answers" of the elements that hold them
    // (hand-in rows), and the elements themselves otherwise (resources).
    static platform::Json answerResources(const platform::Json& reply);

private:
    std::string hwId_;
    platform::Json infoDic_;
    std::shared_ptr<platform::Image> faceImage_;
    bool isTeacher_ = false;
    std::shared_ptr<platform::ScrollView> contentScrol_;
    std::shared_ptr<HomeworkAttachmentList> attachments_;
};
