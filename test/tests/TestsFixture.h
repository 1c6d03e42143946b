#pragma once

// A test screen test against the sample service: the homework screens' fixture (a
// signed-in sample user, Chinese texts, a driver on a window) with helpers to make and
// fill question cells and to read what a cell handed to its sheet.

#include "homework/HomeworkFixture.h"

#include "tests/MVTStudentCourseCell.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// What a question cell told its sheet.
struct RecordingSheet : MVTStudentCourseCellDelegate {
    std::vector<std::pair<platform::Json, int>> sent;
    std::vector<int> withdrawn;
    std::vector<bool> scrolling;
    std::vector<std::pair<std::string, std::string>> pictures;
    int doneButtonShows = 0, doneButtonHides = 0;

    void toSetCourseTableViewScrol(bool on) override { scrolling.push_back(on); }
    void showDoneBtn(platform::TextView* input) override { input ? ++doneButtonShows : ++doneButtonHides; }
    void toSendAnswer(const platform::Json& record, int row) override { sent.emplace_back(record, row); }
    void moreAnswerAt(int row) override { withdrawn.push_back(row); }
    void toShowFileImageWith(const std::string& id, const std::string& name) override { pictures.emplace_back(id, name); }
};

class QuestionCellTest : public HomeworkTest {
protected:
    void SetUp() override {
        HomeworkTest::SetUp();
        sheet = std::make_shared<RecordingSheet>();
    }

    // A cell filled with the question for `role` as row `row`, shown on the driver's window.
    std::shared_ptr<MVTStudentCourseCell> fill(const platform::Json& question, const std::string& role = "student",
                                               int row = 0) {
        auto cell = MVTStudentCourseCell::make("studentCourseCell0_" + std::to_string(row));
        cell->setDelegate(sheet);
        cell->setUserRole(role);
        cell->reloadWith(question, row);
        auto host = std::make_shared<platform::ViewController>();
        driver->show(host);
        host->view()->addSubview(cell);
        driver->pump();
        return cell;
    }

    std::shared_ptr<RecordingSheet> sheet;
};

}  // namespace testing_support
