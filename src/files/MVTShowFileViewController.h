#pragma once

// The file viewer: a downloaded file in a web view (pictures and text; other kinds go to
// the open-in menu), or a zip / rar archive unpacked into the folder beside it and browsed
// in a grid of icons, four to a row, whose folders and files open in the same screen.

#include "shell/ViewViewController.h"

#include "platform/Archive.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/WebView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class ScrollView;
}  // namespace platform

class MVTShowFileViewController : public ViewViewController,
                                  public platform::WebViewDelegate,
                                  public platform::AlertViewDelegate {
public:
    std::string className() const override { return "MVTShowFileViewController"; }

    static constexpr int kQuestionAlertTag = 100;
    static constexpr int kMediaViewTag = 101;

    // The opening sequence of every opener: a viewer for `path`; archives are unpacked on
    // the next turn of the loop (after the notice, handed to `keepNotice`, has been drawn)
    // and the viewer pushed; ".7-zip" is refused; anything else opens in the web view.
    static void openFile(platform::ViewController& opener, const std::string& path, const std::string& fileNameStr,
                         const std::function<void(std::shared_ptr<platform::AlertView>)>& keepNotice);
    // The bounds of every extraction (tests lower them).
    static platform::ArchiveLimits& extractionLimits();

    void setUnEncodingURL(const std::string& path) { unEncodingURL_ = path; }
    const std::string& unEncodingURL() const { return unEncodingURL_; }
    void setFileNameStr(const std::string& name) { fileNameStr_ = name; }
    const std::string& fileNameStr() const { return fileNameStr_; }
    void setIsDealWithTheSameNameOFFile(bool on) { isDealWithTheSameNameOFFile_ = on; }
    bool isDealWithTheSameNameOFFile() const { return isDealWithTheSameNameOFFile_; }
    std::shared_ptr<platform::WebView> fileViewDemo() const { return fileViewDemo_; }
    std::shared_ptr<platform::ScrollView> fileShowView() const { return fileShowView_; }
    const std::vector<std::string>& fileTemp() const { return fileTemp_; }
    const std::vector<std::string>& pathArry() const { return pathArry_; }
    const std::string& filePath() const { return filePath_; }
    std::shared_ptr<platform::AlertView> normalAlert() const { return normalAlert_; }
    std::shared_ptr<platform::AlertView> actionAlert() const { return actionAlert_; }

    void initFileShowWebView();
    void openDocumentIn();
    static std::string typeOfFile(const std::string& extension);
    void showAlertView();
    void unZipClick();
    void unRarClick();
    void showDirView(const std::string& direction);
    static std::string choseImage(const std::string& name, bool folder);
    void showFile(platform::Button& button);
    void cancleDone();
    void initBarItem();

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void webViewDidFailLoadWithError(platform::WebView& webView, const platform::HttpError& error) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

private:
    void unpack(bool zip);
    // A message for the user: now when the viewer is on screen, else once it is.
    void showMessage(const std::string& title, const std::string& message);
    std::string shownFileName() const;

    std::string unEncodingURL_;
    std::string fileNameStr_;
    bool isDealWithTheSameNameOFFile_ = false;
    std::shared_ptr<platform::WebView> fileViewDemo_;
    std::shared_ptr<platform::AlertView> normalAlert_, actionAlert_;
    std::string filePath_;
    std::vector<std::string> pathArry_;
    std::vector<std::string> fileTemp_;
    std::vector<int> showDirViewTouchLocation_;
    std::shared_ptr<platform::ScrollView> fileShowView_;
    std::vector<std::pair<std::string, std::string>> pendingMessages_;
};
