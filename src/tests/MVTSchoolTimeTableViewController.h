#pragma once

#include "tests/RBCustomDatePickerView.h"
#include "tests/TestsScreen.h"

#include "platform/ui/WebView.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class Label;
}  // namespace platform

// The signed-in user's school timetable for one day: a page of the service shown in a web
// view with the script bridge. Tapping the title drops the month and day picker down;
// confirming a day loads that day's page.
class MVTSchoolTimeTableViewController : public TestsScreen,
                                         public platform::WebViewDelegate,
                                         public sureToSelectDayDelegate {
public:
    std::string className() const override { return "MVTSchoolTimeTableViewController"; }
    static constexpr const char* kPageName = "课程表";

    void viewDidLoad() override;
    void goback();
    // toChangeTitle: shows the picker; tapSelect: hides it.
    void toChangeTitle();
    void tapSelect();
    // loadRegister: builds the web view once and loads the page of the day ("yyyy-MM-dd").
    void loadRegister(const std::string& day);
    void sureToSelectDay(const std::string& month, const std::string& day) override;

    void webViewDidStartLoad(platform::WebView& webView) override;
    void webViewDidFinishLoad(platform::WebView& webView) override;
    void webViewDidFailLoadWithError(platform::WebView& webView, const platform::HttpError& error) override;

    // The page address of a user and day, escaped.
    static std::string pageAddress(const std::string& userId, const std::string& day);
    // The title text of a day.
    static std::string titleText(const std::string& day);

    std::shared_ptr<platform::WebView> registerWeb() const { return registerWeb_; }
    std::shared_ptr<platform::Button> titleBtn() const { return titleBtn_; }
    std::shared_ptr<platform::Label> titleLa() const { return titleLa_; }
    std::shared_ptr<platform::View> selectBackView() const { return selectBackView_; }
    std::shared_ptr<RBCustomDatePickerView> picker() const { return picker_; }
    const std::string& shownDay() const { return shownDay_; }

private:
    std::shared_ptr<platform::WebView> registerWeb_;
    std::shared_ptr<platform::Button> titleBtn_;
    std::shared_ptr<platform::Label> titleLa_;
    std::shared_ptr<platform::View> selectBackView_;
    std::shared_ptr<RBCustomDatePickerView> picker_;
    std::string shownDay_;
    bool bridgeRegistered_ = false;
};
