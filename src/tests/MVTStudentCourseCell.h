#pragma once

#include "tests/MVTItemChangeView.h"
#include "tests/QuestionText.h"

#include "platform/Values.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class Label;
class LazyImageView;
}  // namespace platform

class MVTStudentCourseCellDelegate {
public:
    virtual ~MVTStudentCourseCellDelegate() = default;
    // Stops (NO) or allows (YES) the table's scrolling while a matching item is dragged.
    virtual void toSetCourseTableViewScrol(bool on) = 0;
    // A free answer began editing (its view), or a blank did (nullptr).
    virtual void showDoneBtn(platform::TextView* input) = 0;
    // The question at `row` now has this answer (an AnswerRecord: "id", "success", "answer").
    virtual void toSendAnswer(const platform::Json& record, int row) = 0;
    // The question at `row` has no answer any more.
    virtual void moreAnswerAt(int row) = 0;
    // The question's picture button: resource id and file name.
    virtual void toShowFileImageWith(const std::string& resourceId, const std::string& fileName) = 0;
};

// One question of a test on the answer sheet: a header with its number and kind, the text,
// the controls of its kind, the result mark, the teachers' statistics line and, once
// submitted, the right answer with the analysis. Three viewers: a student answering (the
// controls take input, each change is judged and handed to the sheet), a student or a
// teacher reading a submitted sheet (role "student" with "stdAnswer": locked, marked),
// and any other role (the right answer shown as given, locked, with statistics).
//
// Made once per row and filled once with reloadWith; the cell then has its frame, whose
// height is the row height. The content view carries the row as its tag and the question
// id as its accessibility hint.
class MVTStudentCourseCell : public platform::TableViewCell,
                             public platform::HtmlTextViewDelegate,
                             public platform::TextFieldDelegate,
                             public platform::TextViewDelegate,
                             public MVTItemChangeViewDelegate {
public:
    static constexpr const char* kBlankPictureName = "标题.png";
    static constexpr double kPictureButtonSize = 35;

    MVTStudentCourseCell();
    std::string className() const override { return "MVTStudentCourseCell"; }
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);
    static std::shared_ptr<MVTStudentCourseCell> make(const std::string& reuseIdentifier);

    void setUserRole(const std::string& role) { userRole_ = role; }
    const std::string& userRole() const { return userRole_; }
    std::shared_ptr<MVTStudentCourseCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTStudentCourseCellDelegate> delegate) { delegate_ = std::move(delegate); }

    // reloadWith:and: builds the whole cell from a question and sets its frame.
    void reloadWith(const platform::Json& question, int row);
    // The result mark: right flag, row, kind (unused), picture flag.
    void showSuccessOrFailedWith(bool right, int row, int kind, bool picture);
    std::shared_ptr<platform::Button> addFileBtnWith(const std::string& resourceId, const std::string& fileName);
    void toDownLoadOrShowFileImage(platform::Button& button);

    // ---- Answer capture and checking.
    void toSelectBtn(platform::Button& button);
    void toCheckDoneAndGetAnswer() override;
    void toSetCourseListScrol(bool on) override;
    void textFieldDidBeginEditing(platform::TextField& field) override;
    bool textFieldShouldReturn(platform::TextField& field) override;
    bool textViewShouldBeginEditing(platform::TextView& view) override;
    void textViewDidEndEditing(platform::TextView& view) override;

    // Per-question buttons that no screen places: save/edit and answer/mine.
    std::shared_ptr<platform::Button> addEditAndDoneBtnWith(int row, const std::string& questionId);
    std::shared_ptr<platform::Button> addAnswerBtnWith(int row, const std::string& questionId);
    void toSaveAnswerBtn(platform::Button& button);
    void toShowAnswerBtn(platform::Button& button);
    void showAlert();

    // ---- Rendering.
    double setNewFieldViewWith(double y, const std::string& text, const platform::Json& answers);
    double showAnalysis(const std::string& text, double y, bool right);
    // The older fill-in layout: plain labels with a text field per blank; no caller.
    double setFieldViewWith(double y, const std::string& text, const platform::Json& answers);
    std::shared_ptr<platform::View> viewForAttachment(platform::HtmlTextView& textView,
                                                      const platform::HtmlAttachment& attachment,
                                                      const platform::Rect& frame) override;
    std::shared_ptr<platform::View> viewForLink(platform::HtmlTextView& textView, const platform::HtmlLink& link,
                                                const platform::Rect& frame) override;
    // Fetches a picture view's kept address on the background queue.
    static void toGetUrlImageWith(const std::shared_ptr<platform::LazyImageView>& view);
    static void linkPushed(platform::Button& button);

    // ---- State, readable by the sheet and tests.
    int type() const { return type_; }
    int sucInt() const { return sucInt_; }
    bool didSubmit() const { return didSubmit_; }
    double imageMaxW() const { return imageMaxW_; }
    const std::vector<std::shared_ptr<platform::Button>>& allBtnArr() const { return allBtnArr_; }
    const std::vector<std::string>& allAnswerArr() const { return allAnswerArr_; }
    const platform::Json& teacherAnswerArr() const { return teacherAnswerArr_; }
    const platform::Json& studentAnswerArr() const { return studentAnswerArr_; }
    const std::vector<std::string>& fieldQusArr() const { return fieldQusArr_; }
    const std::vector<std::shared_ptr<platform::TextField>>& fieldArr() const { return fieldArr_; }
    std::shared_ptr<platform::TextView> answerTextView() const { return answerTextView_; }
    std::shared_ptr<MVTItemChangeView> liteSelectView() const { return liteSelectView_; }
    std::shared_ptr<platform::View> bgView() const { return bgView_; }
    std::shared_ptr<platform::Label> numLa() const { return numLa_; }
    std::shared_ptr<platform::Label> resultLabel() const { return resultLabel_; }
    std::shared_ptr<platform::Label> statisticsLabel() const { return statisticsLabel_; }
    std::shared_ptr<platform::HtmlTextView> analysisView() const { return analysisView_; }

private:
    std::shared_ptr<platform::HtmlTextView> makeHtmlView(const platform::Rect& frame, const std::string& prepared,
                                                         double lineHeight, bool rendered, bool* ok = nullptr);
    double layoutChoices(double y, const platform::Json& question);
    double layoutFreeAnswer(double y);
    double layoutMatching(double y, const platform::Json& question);
    double layoutTrueFalse(double y);
    // What the controls hold now, for judging.
    quiz::AnswerInput currentInput() const;
    void report(int success, platform::Json answer);
    void withdraw();
    double headerTextWidth() const;
    std::shared_ptr<platform::Button> addPanelButton(int row, const std::string& questionId,
                                                     const std::string& normal, const std::string& selected);

    std::weak_ptr<MVTStudentCourseCellDelegate> delegate_;
    std::shared_ptr<platform::View> bgView_;
    std::shared_ptr<platform::Label> numLa_;
    std::shared_ptr<platform::Label> resultLabel_;
    std::shared_ptr<platform::Label> statisticsLabel_;
    std::shared_ptr<platform::HtmlTextView> analysisView_;
    int type_ = 0;
    int sucInt_ = 0;
    std::vector<std::shared_ptr<platform::Button>> allBtnArr_;
    std::vector<std::string> allAnswerArr_;
    platform::Json teacherAnswerArr_ = platform::Json::array();
    platform::Json studentAnswerArr_ = platform::Json::array();
    std::string userRole_;
    bool didSubmit_ = false;
    double imageMaxW_ = 0;
    std::shared_ptr<platform::TextView> answerTextView_;
    std::string fieldQusStr_;
    std::vector<std::string> fieldQusArr_;
    std::vector<std::shared_ptr<platform::TextField>> fieldArr_;
    std::shared_ptr<MVTItemChangeView> liteSelectView_;
};
