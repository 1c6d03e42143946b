#include "files/MVTShowFileViewController.h"

#include "files/MVTTransferTask.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTWebViewController.h"

#include "platform/Files.h"
#include "platform/Markup.h"
#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/DocumentInteraction.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"

#include <algorithm>
#include <cctype>
#include <sstream>

using namespace platform;

namespace {

constexpr double kViewerStatusBar = 20;

std::string viewerLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string viewerExtension(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool viewerEndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool viewerOneOf(const std::string& value, std::initializer_list<const char*> list) {
    for (const char* item : list)
        if (value == item) return true;
    return false;
}

}  // namespace

ArchiveLimits& MVTShowFileViewController::extractionLimits() {
    static ArchiveLimits limits;
    return limits;
}

void MVTShowFileViewController::openFile(ViewController& opener, const std::string& path,
                                         const std::string& fileNameStr,
                                         const std::function<void(std::shared_ptr<AlertView>)>& keepNotice) {
    auto viewer = std::make_shared<MVTShowFileViewController>();
    viewer->setIsDealWithTheSameNameOFFile(true);
    viewer->setUnEncodingURL(path);
    viewer->setFileNameStr(fileNameStr);
    const bool zip = viewerEndsWith(path, ".zip");
    const bool rar = viewerEndsWith(path, ".rar");
    if (viewerEndsWith(path, ".7-zip")) {
        auto alert = AlertView::make(localized("提醒"), localized("解压功能暂时只支持ZIP格式的压缩包，请您谅解⋯⋯"), {},
                                     localized("知道了"));
        alert->show();
        return;
    }
    std::weak_ptr<ViewController> weakOpener = opener.weak_from_this();
    if (!zip && !rar) {
        viewer->initFileShowWebView();
        if (auto stack = opener.navigationController()) stack->pushViewController(viewer, true);
        return;
    }
    const std::string folder = path.substr(0, path.size() - 4);
    if (!fileExists(folder)) {
        auto notice = AlertView::make(localized("提醒"), localized("文件正在解压中，请耐心等待⋯⋯"), {}, "");
        notice->show();
        keepNotice(notice);
    }
    // The notice is drawn first: the unpacking and the push run on the next turn of the loop.
    dispatchMain([viewer, weakOpener, zip] {
        auto from = weakOpener.lock();
        if (!from) return;
        viewer->view();
        if (zip)
            viewer->unZipClick();
        else
            viewer->unRarClick();
        if (auto stack = from->navigationController()) stack->pushViewController(viewer, true);
    });
}

std::string MVTShowFileViewController::shownFileName() const { return filesShownName(fileNameStr_); }

void MVTShowFileViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(shownFileName());
    initBarItem();
}

void MVTShowFileViewController::initBarItem() {
    auto back = MVTPublicMethod::navigationleftBarButton();
    auto weak = weakAs<MVTShowFileViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->cancleDone();
    });
    back->setAccessibilityLabel("back");
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void MVTShowFileViewController::viewDidAppear(bool animated) {
    ViewViewController::viewDidAppear(animated);
    auto pending = std::move(pendingMessages_);
    pendingMessages_.clear();
    for (const auto& [title, message] : pending) {
        if (title.empty())
            showAlertView();
        else
            showMessage(title, message);
    }
}

void MVTShowFileViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    for (auto* alert : {&normalAlert_, &actionAlert_}) {
        if (!*alert) continue;
        (*alert)->setDelegate({});
        if ((*alert)->isVisible()) (*alert)->dismissWithClickedButtonIndex(0, false);
        alert->reset();
    }
    if (fileViewDemo_ && fileViewDemo_->isLoading()) fileViewDemo_->stopLoading();
}

void MVTShowFileViewController::showMessage(const std::string& title, const std::string& message) {
    if (!isVisible()) {
        pendingMessages_.emplace_back(title, message);
        return;
    }
    normalAlert_ = AlertView::make(localized(title), localized(message), {}, localized("知道了"));
    normalAlert_->show();
}

void MVTShowFileViewController::initFileShowWebView() {
    view();
    const std::string extension = viewerExtension(unEncodingURL_);
    const std::string lower = viewerLower(extension);
    if (!MVTPublicMethod::isSupportFileType(lower)) {
        showAlertView();
        return;
    }
    auto open = Button::buttonWithType(ButtonType::Custom);
    open->setFrame({0, 0, 25, 25});
    open->setImage(MVTPublicMethod::imageWithTintColor(Image::imageNamed("mail_back"), Color::rgba(0, 91.0 / 255, 1),
                                                       {25, 25}));
    auto weak = weakAs<MVTShowFileViewController>();
    open->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->openDocumentIn();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(open));
    const Rect screen = Screen::mainScreen().bounds();
    if (fileViewDemo_) fileViewDemo_->removeFromSuperview();
    fileViewDemo_ = std::make_shared<WebView>(Rect(0, 0, screen.width(), screen.height() - kViewerStatusBar - 44));
    fileViewDemo_->setBackgroundColor(Color::whiteColor());
    fileViewDemo_->setScalesPageToFit(true);
    fileViewDemo_->setDelegate(weakAs<WebViewDelegate>().lock());
    if (viewerOneOf(lower, {"mp3", "m4a", "aac", "m4r", "aiff", "wav", "mp4", "m4v", "mov"}))
        fileViewDemo_->setTag(kMediaViewTag);
    view()->addSubview(fileViewDemo_);
    if (viewerEndsWith(viewerLower(unEncodingURL_), ".txt")) {
        if (auto text = MVTWebViewController::readText(unEncodingURL_)) {
            // The text is shown as text: markup in it is not run.
            fileViewDemo_->setScalesPageToFit(false);
            fileViewDemo_->loadHTMLString("<html><body><pre>" + escapeHtml(*text) + "</pre></body></html>", "");
            return;
        }
    }
    fileViewDemo_->loadRequest(UrlRequest(WebView::fileUrlWithPath(unEncodingURL_)));
}

void MVTShowFileViewController::webViewDidFailLoadWithError(WebView& webView, const HttpError&) {
    if (webView.tag() == kMediaViewTag) return;
    // The question waits until the viewer is on screen.
    if (isVisible())
        showAlertView();
    else
        pendingMessages_.emplace_back("", "");
}

std::string MVTShowFileViewController::typeOfFile(const std::string& extension) {
    if (extension == "pdf") return "com.adobe.pdf";
    if (extension == "gif") return "com.compuserve.gif";
    if (extension == "docx" || extension == "doc") return "com.microsoft.word.doc";
    if (extension == "xls") return "com.microsoft.excel.xls";
    if (extension == "ppt") return "com.microsoft.powerpoint.ppt";
    if (extension == "wav" || extension == "wave") return "com.microsoft.waveform-audio";
    if (extension == "mp3") return "public.mp3";
    if (extension == "mp4") return "public.mpeg-4";
    if (extension == "zip") return "com.pkware.zip-archive";
    if (extension == "png") return "public.png";
    return "";
}

void MVTShowFileViewController::openDocumentIn() {
    if (DocumentInteraction::presentOpenInMenu(unEncodingURL_, typeOfFile(viewerExtension(unEncodingURL_)))) return;
    normalAlert_ = AlertView::make(localized("提示信息"),
                                   localized("您的本地暂时没有支持此文件类型的软件，请在安装支持此文件的软件后重试"), {},
                                   localized("知道了"));
    normalAlert_->show();
}

void MVTShowFileViewController::showAlertView() {
    actionAlert_ = AlertView::make(localized("提示"),
                                   MVTPublicMethod::currentDevicemodel() +
                                       localized("不能打开此类型文件,使用第三方软件打开此文件"),
                                   weakAs<AlertViewDelegate>(), localized("确定"), {localized("取消")});
    actionAlert_->setTag(kQuestionAlertTag);
    actionAlert_->show();
}

void MVTShowFileViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kQuestionAlertTag) return;
    if (index == 0)
        openDocumentIn();
    else
        cancleDone();
}

void MVTShowFileViewController::unZipClick() { unpack(true); }
void MVTShowFileViewController::unRarClick() { unpack(false); }

void MVTShowFileViewController::unpack(bool zip) {
    view();
    const std::string folder = unEncodingURL_.substr(0, unEncodingURL_.size() - 4);
    if (std::filesystem::is_directory(folder)) {
        filePath_ = folder + "/";
        showDirView("go");
        pathArry_.push_back(filePath_);
        return;
    }
    const ArchiveOutcome outcome = zip ? extractZipArchive(unEncodingURL_, folder, extractionLimits())
                                       : extractRarArchive(unEncodingURL_, folder, extractionLimits());
    if (outcome.status == ArchiveStatus::CannotOpen) {
        showMessage("解压失败", "文件损坏或者格式暂时无法解析");
        // An archive that cannot be opened is of no use: the row offers "下载" again.
        if (zip) {
            std::error_code ec;
            std::filesystem::remove(unEncodingURL_, ec);
        }
        pathArry_.push_back(filePath_);
        return;
    }
    if (outcome.status == ArchiveStatus::Failed) {
        showMessage(zip ? "解压失败" : "解压缩成功,保存数据出错",
                    zip ? "文件损坏或者格式暂时无法解析" : "文件损坏或者其他原因导致");
        pathArry_.push_back(filePath_);
        return;
    }
    filePath_ = folder + "/";
    showDirView("go");
    pathArry_.push_back(filePath_);
}

std::string MVTShowFileViewController::choseImage(const std::string& name, bool folder) {
    if (folder) return "folder";
    const std::string extension = viewerLower(viewerExtension(name));
    if (extension.empty()) return "unknow";
    if (viewerOneOf(extension, {"ppt", "pptx", "pptm", "pps"})) return "ppt";
    if (viewerEndsWith(extension, "pdf")) return "pdf";
    if (viewerOneOf(extension, {"png", "jpg", "bmp", "gif", "tif", "pcx", "tga", "ico", "tiff", "jpeg"})) return "image";
    if (viewerOneOf(extension, {"swf", "flv", "mov", "wmv", "mpg", "vob", "rmvb", "avi", "mp4", "amr", "m4v", "mpv", "3gp"}))
        return "video";
    if (viewerOneOf(extension, {"wv", "wav", "ogg", "m4a", "m4r", "mmf", "aac", "flac", "wma", "wave", "mp3", "aiff"}))
        return "audio";
    if (viewerOneOf(extension, {"doc", "docx", "dotx", "dot", "dotm", "docm", "html"})) return "word";
    if (viewerOneOf(extension, {"xls", "xlsx", "xlsb", "xlsm"})) return "excel";
    if (viewerOneOf(extension, {"zip", "rar"})) return "zip";
    return "unknow";
}

void MVTShowFileViewController::showDirView(const std::string& direction) {
    if (fileShowView_) fileShowView_->removeFromSuperview();
    navigationItem().setRightBarButtonItem(nullptr);
    const Rect screen = Screen::mainScreen().bounds();
    fileShowView_ = std::make_shared<ScrollView>(Rect(0, 0, screen.width(), screen.height() - kViewerStatusBar));
    fileShowView_->setBackgroundColor(Color::clear());
    fileShowView_->setShowsVerticalScrollIndicator(false);
    fileShowView_->setShowsHorizontalScrollIndicator(false);
    fileShowView_->setScrollEnabled(true);
    fileTemp_.clear();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(filePath_, ec)) {
        const std::string name = entry.path().filename().string();
        if (name == ".DS_Store" || name == "__MACOSX" || name == "Thumbs.db") continue;
        fileTemp_.push_back(name);
    }
    auto weak = weakAs<MVTShowFileViewController>();
    for (std::size_t i = 0; i < fileTemp_.size(); ++i) {
        const int k = static_cast<int>(i) + 1;
        const double x = 19 + 75 * ((k - 1) % 4), y = 20 + 95 * ((k - 1) / 4);
        const bool folder = std::filesystem::is_directory(filePath_ + fileTemp_[i], ec);
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({x, y, 57, 57});
        button->setTag(k);
        button->setImage(Image::imageNamed(choseImage(fileTemp_[i], folder)));
        button->setAccessibilityValue(fileTemp_[i]);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->showFile(static_cast<Button&>(control));
        });
        fileShowView_->addSubview(button);
        auto label = std::make_shared<Label>(Rect(x - 5, y + 57, 67, 35));
        label->setBackgroundColor(Color::clear());
        label->setText(fileTemp_[i]);
        label->setFont(Font::systemFontOfSize(10));
        label->setNumberOfLines(2);
        label->setTextAlignment(TextAlignment::Center);
        label->setLineBreakMode(LineBreakMode::CharWrap);
        fileShowView_->addSubview(label);
    }
    fileShowView_->setContentSize({screen.width(), 170.0 + 95.0 * static_cast<double>(fileTemp_.size() / 4)});
    view()->addSubview(fileShowView_);
    if (direction == "back" && !showDirViewTouchLocation_.empty()) {
        const int t = showDirViewTouchLocation_.back();
        showDirViewTouchLocation_.pop_back();
        // The row of the tapped entry: four to a row.
        fileShowView_->scrollRectToVisible({0, ((t - 1) / 4) * 95.0, screen.width(), screen.height()}, false);
    }
}

void MVTShowFileViewController::showFile(Button& button) {
    const int t = button.tag();
    if (t < 1 || static_cast<std::size_t>(t) > fileTemp_.size()) return;
    showDirViewTouchLocation_.push_back(t);
    const std::string name = fileTemp_[static_cast<std::size_t>(t - 1)];
    std::error_code ec;
    if (std::filesystem::is_directory(filePath_ + name, ec)) {
        setTitle(name);
        filePath_ = filePath_ + name + "/";
        pathArry_.push_back(filePath_);
        showDirView("go");
        return;
    }
    pathArry_.push_back(filePath_);
    unEncodingURL_ = filePath_ + name;
    if (fileShowView_) fileShowView_->removeFromSuperview();
    if (MVTPublicMethod::isSupportFileType(viewerLower(viewerExtension(name)))) {
        setTitle(name);
        initFileShowWebView();
    } else {
        showAlertView();
    }
}

void MVTShowFileViewController::cancleDone() {
    if (fileViewDemo_) {
        fileViewDemo_->loadHTMLString("", "about:blank");
        fileViewDemo_->removeFromSuperview();
        fileViewDemo_.reset();
    }
    if (pathArry_.size() < 2) {
        if (fileShowView_) fileShowView_->removeFromSuperview();
        if (auto stack = navigationController()) stack->popViewController(true);
        return;
    }
    pathArry_.pop_back();
    filePath_ = pathArry_.back();
    if (pathArry_.size() == 1) {
        setTitle(shownFileName());
    } else {
        std::vector<std::string> pieces;
        std::stringstream parts(filePath_);
        for (std::string piece; std::getline(parts, piece, '/');) pieces.push_back(piece);
        setTitle(pieces.empty() ? shownFileName() : pieces.back());
    }
    showDirView("back");
}
