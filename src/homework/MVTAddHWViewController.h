#pragma once

#include "composer/MVTAddEssayViewController.h"
#include "shell/AllListDelegate.h"

#include "platform/Values.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <memory>
#include <string>

namespace platform {
class HttpRequestOperation;
}

// The composer of the course-based homework chain: a title, one subject, one course of it,
// classes of that course (chosen in the chooser, in a chain), body text, up to nine
// pictures and one voice take, published to the course with one multipart request. The
// subject grid presents it; after a publish it dismisses itself and posts "publishNewHM".
class MVTAddHWViewController : public MVTAddEssayViewController,
                               public AllListDelegate,
                               public platform::TextFieldDelegate {
public:
    std::string className() const override { return "MVTAddHWViewController"; }

    static constexpr const char* kPageName = "发布作业";
    static constexpr int kSubjectButtonTag = 100;
    static constexpr int kCourseButtonTag = 200;
    static constexpr int kClassButtonTag = 300;
    static constexpr int kChipTagBase = 10000;
    static constexpr std::size_t kTitleLimit = 50;
    static constexpr double kSendTimeout = 30;

    void viewDidLoad() override;
    bool placesPictureButtons() const override { return true; }

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;

    // showLists: the chooser for the add button with this tag.
    void showLists(int tag);
    void returnList(const platform::Json& list, const platform::Json& roleList) override;
    // putRecivedView: the class chips of row 3.
    void putRecivedView();
    void upAndDown();
    void deleteReceiver(int position);
    void tapToremoveDelete();
    void cancelBtnClick();

    void keyboardWillShow(const platform::Notification& notification) override;
    void keyboardWillHidden(const platform::Notification& notification) override;
    void keyboardChange(const platform::Notification& notification) override;
    void removeKeyBoard() override;
    bool textFieldShouldBeginEditing(platform::TextField& field) override;
    bool textFieldShouldReturn(platform::TextField& field) override;
    // The body text's editing (its delegate is an object of its own that calls these).
    bool textViewShouldBeginEditing();
    void textViewDidBeginEditing();
    void textViewDidEndEditing();

    void sendBtnClicked(platform::Button* sender) override;
    void goback() override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // ---- State, readable by tests.
    std::shared_ptr<platform::TextField> titletField() const { return titletField_; }
    const platform::Json& subjectArray() const { return subjectArray_; }
    const platform::Json& courseArray() const { return courseArray_; }
    const platform::Json& classArray() const { return classArray_; }
    std::shared_ptr<platform::View> classesView() const { return classesView_; }
    std::shared_ptr<platform::Button> upDownBt() const { return upDownBt_; }
    double classHeight() const { return classHeight_; }
    bool show() const { return show_; }
    int rowNum() const { return rowNum_; }
    int selectTag() const { return selectTag_; }

private:
    std::shared_ptr<platform::Label> labelNamed(const std::string& text, const platform::Rect& rect);
    std::shared_ptr<platform::Button> addBtnWithTag(int tag);
    void addSeparator(platform::View& content, double y);
    void addNameStrip(platform::View& content, const std::string& name, double labelWidth);
    bool bodyEditing() const;
    void showAlert(const std::string& message, const std::string& button);
    bool isEmpty() const;
    void leave();
    void ensureKeyboardBar(double keyboardHeight);

    std::shared_ptr<platform::TextField> titletField_;
    platform::Json subjectArray_ = platform::Json::array();
    platform::Json courseArray_ = platform::Json::array();
    platform::Json classArray_ = platform::Json::array();
    std::shared_ptr<platform::View> classesView_;
    std::shared_ptr<platform::Button> upDownBt_;
    double classHeight_ = 80;
    bool show_ = false;
    int rowNum_ = 0;
    int selectTag_ = 0;
    bool isFirst_ = false;
    bool hasKeyBoard_ = false;
    std::shared_ptr<platform::TextViewDelegate> bodyDelegate_;
    std::shared_ptr<platform::HttpRequestOperation> sending_;
};
