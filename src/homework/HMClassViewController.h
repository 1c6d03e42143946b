#pragma once

#include "homework/CourseCheckListScreen.h"
#include "homework/HomeworkDelegates.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
}

// The classes of a course to which an existing course homework is assigned: the teacher
// ticks and unticks classes and "发送" sends what to publish to and what to withdraw from.
// Opened by the course homework list with the row number in its view's tag; after a
// successful send it hands the new class list and the row back and pops itself.
class HMClassViewController : public CourseCheckListScreen {
public:
    std::string className() const override { return "HMClassViewController"; }

    // initWithDicti: the homework record as the list holds it.
    static std::shared_ptr<HMClassViewController> initWithDicti(const platform::Json& record);

    std::shared_ptr<SenAgainDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<SenAgainDelegate> delegate) { delegate_ = std::move(delegate); }

    void viewDidLoad() override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void sendBtnClicked();

    // The ids to withdraw and to publish as sent: "," joined "%@" texts.
    std::string abolishIds() const;
    std::string publishIds() const;

    const platform::Json& dataDic() const { return dataDic_; }
    const std::vector<platform::Json>& fomArray() const { return fomArray_; }
    const std::vector<platform::Json>& sendArray() const { return sendArray_; }
    const std::vector<platform::Json>& nomoreArray() const { return nomoreArray_; }
    std::shared_ptr<platform::Button> sendButton() const { return sendButton_; }

protected:
    std::string listPath() const override { return "course/" + idStr_ + "/classes"; }
    std::string emptyMessage() const override;
    bool isChosen(int row) const override;
    void addName(platform::View& content, const std::string& name) override;

private:
    void sendEnded();
    platform::Json newShareTargets() const;

    std::weak_ptr<SenAgainDelegate> delegate_;
    platform::Json dataDic_;
    std::string idStr_;
    std::string HMStr_;
    // Ids as the service sent them; compared as they are.
    std::vector<platform::Json> fomArray_;
    std::vector<platform::Json> sendArray_;
    std::vector<platform::Json> nomoreArray_;
    std::shared_ptr<platform::Button> sendButton_;
};
