#include "files/MVTFileInfoCell.h"

#include "files/MVTDownLoadViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Files.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <cstdio>

using namespace platform;

namespace {

bool fileRowOneOf(const std::string& value, std::initializer_list<const char*> list) {
    for (const char* item : list)
        if (value == item) return true;
    return false;
}

// A whole number from a number or a numeric text; nothing otherwise.
std::optional<long long> fileRowNumber(const Json& value) {
    if (value.is_number_integer()) return value.get<long long>();
    if (value.is_number_float()) return static_cast<long long>(value.get<double>());
    if (!value.is_string()) return std::nullopt;
    const std::string text = value.get<std::string>();
    try {
        std::size_t used = 0;
        const long long number = std::stoll(text, &used);
        if (used == text.size()) return number;
    } catch (...) {
    }
    return std::nullopt;
}

// A suffix or name from the service must stay one file name in the downloads folder.
bool fileRowSafeName(const std::string& text) {
    return text.find('/') == std::string::npos && text.find('\\') == std::string::npos && text != "." &&
           text != ".." && text.find('\0') == std::string::npos;
}

}  // namespace

std::optional<MVTFIleInfo> MVTFIleInfo::fromItem(const Json& item) {
    if (!item.is_object()) return std::nullopt;
    MVTFIleInfo info;
    info.resourceId = item.value("id", Json());
    info.resModuleID = item.value("rid", Json());
    info.resName = textOf(item, "id") + "^" + textOf(item, "resName");
    info.suffix = item.value("suffix", Json());
    info.size = item.value("size", Json());
    info.name = item.value("name", Json());
    info.dateline = item.value("dateline", Json());
    return info;
}

long long MVTFIleInfo::idNumber() const { return fileRowNumber(resourceId).value_or(0); }
long long MVTFIleInfo::datelineSeconds() const { return fileRowNumber(dateline).value_or(0); }

std::optional<std::string> MVTFIleInfo::suffixText() const {
    if (MVTPublicMethod::stringIsClassNull(suffix)) return std::nullopt;
    return textOf(suffix);
}

std::string MVTFIleInfo::localPath() const {
    const std::string folder =
        MVTDownLoadViewController::downloadsFolder(MVTAccount::sharedInstance().userId().value_or(""));
    std::error_code ec;
    std::filesystem::create_directory(folder, ec);
    std::string stored = std::filesystem::path(resName).filename().string();
    if (!fileRowSafeName(stored)) stored = textOf(resourceId);
    std::string path = folder + "/" + stored;
    if (auto extension = suffixText()) path += "." + *extension;
    return path;
}

std::string MVTFileInfoCell::iconName(const std::optional<std::string>& suffix) {
    if (!suffix) return "171";
    const std::string& s = *suffix;
    if (fileRowOneOf(s, {"mp3", "m4a", "aac", "m4r", "aiff", "wav", "mp4", "m4v", "mov", "wv", "ogg", "mmf", "flac",
                         "wma", "wave", "swf", "flv", "wmv", "mpg", "vob", "rmvb", "avi", "amr", "mpv", "3gp"}))
        return "file_movie";
    if (fileRowOneOf(s, {"doc", "docx", "dotx", "dot", "dotm", "docm", "html"})) return "file_word";
    if (fileRowOneOf(s, {"txt", "rtf"})) return "file_txt";
    if (fileRowOneOf(s, {"xls", "xlsx", "xlsb", "xlsm"})) return "file_Excel";
    if (fileRowOneOf(s, {"ppt", "pptx", "pptm", "pps"})) return "file_ppt";
    if (fileRowOneOf(s, {"png", "jpg", "bmp", "gif", "tif", "pcx", "tga", "ico", "tiff", "jpeg"})) return "file_iamge";
    if (fileRowOneOf(s, {"zip", "rar"})) return "file_zip";
    if (s == "pdf") return "file_pdf";
    return "171";
}

std::string MVTFileInfoCell::sizeText(const Json& size) {
    const long long bytes = fileRowNumber(size).value_or(0);
    char text[64];
    if (bytes >= 1048576)
        std::snprintf(text, sizeof text, "%.1fMB", static_cast<double>(static_cast<float>(bytes / 1048576.0)));
    else if (bytes > 1024)
        std::snprintf(text, sizeof text, "%.1fKB", static_cast<double>(static_cast<float>(bytes / 1024.0)));
    else if (bytes >= 1)
        std::snprintf(text, sizeof text, "%lldB", bytes);
    else
        return localized("未知");
    return text;
}

std::string MVTFileInfoCell::shownName(const std::string& resName, const std::optional<std::string>& suffix) {
    const std::string name =
        MVTDownLoadViewController::shortenedName(filesShownName(resName), 11, 3, 6);
    return suffix ? name + "." + *suffix : name;
}

void MVTFileInfoCell::initCell() {
    const double width = Screen::mainScreen().bounds().width();
    auto content = contentView();
    icon_ = std::make_shared<ImageView>(Rect(10, 10, 50, 50));
    icon_->setImage(Image::imageNamed(iconName(fileInfo_.suffixText())));
    icon_->setAccessibilityHint(textOf(fileInfo_.resModuleID));
    content->addSubview(icon_);

    nameLabel_ = std::make_shared<Label>(Rect(70, 10, width - 140, 20));
    nameLabel_->setFont(Font::systemFontOfSize(14));
    nameLabel_->setTextColor(Color::white(0.333));
    nameLabel_->setBackgroundColor(Color::clear());
    nameLabel_->setText(shownName(fileInfo_.resName, fileInfo_.suffixText()));
    content->addSubview(nameLabel_);

    myFilesSize_ = sizeText(fileInfo_.size);
    sizeLabel_ = std::make_shared<Label>(Rect(70, 30, 80, 20));
    sizeLabel_->setFont(Font::systemFontOfSize(12));
    sizeLabel_->setTextColor(Color::white(0.467));
    sizeLabel_->setNumberOfLines(0);
    sizeLabel_->setTag(11);
    sizeLabel_->setText(myFilesSize_);
    content->addSubview(sizeLabel_);

    auto uploader = std::make_shared<Label>(Rect(130, 30, 130, 20));
    uploader->setFont(Font::systemFontOfSize(12));
    uploader->setTextColor(Color::white(0.333));
    uploader->setText(localized("来自") + ":" + textOf(fileInfo_.name));
    content->addSubview(uploader);

    auto time = std::make_shared<Label>(Rect(70, 50, 200, 20));
    time->setFont(Font::systemFontOfSize(12));
    time->setTextColor(Color::rgb255(159, 166, 152));
    if (auto app = MVTAppDelegate::sharedAppDelegate()) time->setText(app->getDateWith(textOf(fileInfo_.dateline)));
    content->addSubview(time);

    const std::string path = fileInfo_.localPath();
    const std::string address = ServiceAddress::baseUrl() + "resource/" + textOf(fileInfo_.resourceId) + "/download";
    auto manager = MVTDownLoadViewController::shareDownLoadViewController();
    button_ = Button::buttonWithType(ButtonType::Custom);
    button_->titleLabel()->setFont(Font::systemFontOfSize(12));
    button_->setTitleColor(Color::white(0.333));
    button_->setTitleColor(Color::rgba(0.278, 0.533, 0.624), ControlStateHighlighted);
    button_->setBackgroundColor(Color::clear());
    button_->setBorderColor(Color::white(0.5));
    button_->setBorderWidth(1);
    button_->setCornerRadius(2);
    std::string title;
    if (manager->isHaveThisTask(address + "?token=")) {
        title = localized("下载中");
    } else if (fileExists(path)) {
        title = localized("查看");
        button_->setAccessibilityHint(path);
        auto delegate = delegate_;
        button_->addTarget(ControlEventTouchUpInside, [delegate](Control& control) {
            if (auto target = delegate.lock()) target->fileShow(static_cast<Button&>(control));
        });
    } else {
        title = localized("下载");
        button_->setAccessibilityHint(path);
        button_->setAccessibilityValue(textOf(fileInfo_.resourceId));
        std::weak_ptr<MVTFileInfoCell> weak = std::static_pointer_cast<MVTFileInfoCell>(shared_from_this());
        button_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto row = weak.lock()) row->fileDown(static_cast<Button&>(control));
        });
    }
    button_->setTitle(title);
    const double w = TextMeasure::sizeWithFont(title, Font::systemFontOfSize(12)).width;
    button_->setFrame({width - 20 - w, 23, w + 10, 30});
    content->addSubview(button_);
}

void MVTFileInfoCell::fileDown(Button& button) {
    // A size of none, or a suffix that cannot be part of one file name, cannot be fetched.
    const auto suffix = fileInfo_.suffixText();
    if (myFilesSize_ == localized("未知") || (suffix && !fileRowSafeName(*suffix))) {
        AlertView::make(localized("提示"), localized("文件异常,无法下载"), {}, localized("知道了"))->show();
        return;
    }
    if (auto delegate = delegate_.lock()) delegate->fileDown(button);
}
