#pragma once

// One shared file of a class or group library as the service lists it, and its row: type
// icon, shortened name, size, uploader, time, and one button that reads "下载", "下载中" or
// "查看" by what the transfer manager and the downloads folder say at each build.

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class Button;
class ImageView;
class Label;
}  // namespace platform

struct MVTFIleInfo {
    platform::Json resourceId;
    platform::Json resModuleID;
    std::string resName;  // "<id>^<name>"
    platform::Json suffix;
    platform::Json size;
    platform::Json name;
    platform::Json dateline;

    // From one item of a list reply; nothing for an item that is not an object.
    static std::optional<MVTFIleInfo> fromItem(const platform::Json& item);
    long long idNumber() const;
    long long datelineSeconds() const;
    // The suffix when it is a usable text (not null, absent or empty).
    std::optional<std::string> suffixText() const;
    // The path of the downloaded copy in the user's downloads folder (created when missing).
    std::string localPath() const;
};

class fileDownLoadDelegate {
public:
    virtual ~fileDownLoadDelegate() = default;
    virtual void fileDown(platform::Button& button) = 0;
    virtual void fileShow(platform::Button& button) = 0;
};

class MVTFileInfoCell : public platform::TableViewCell {
public:
    std::string className() const override { return "MVTFileInfoCell"; }
    static constexpr double kRowHeight = 70;

    void setFileInfo(MVTFIleInfo info) { fileInfo_ = std::move(info); }
    const MVTFIleInfo& fileInfo() const { return fileInfo_; }
    void setDelegate(std::weak_ptr<fileDownLoadDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::string& myFilesSize() const { return myFilesSize_; }

    void initCell();
    void fileDown(platform::Button& button);

    static std::string iconName(const std::optional<std::string>& suffix);
    static std::string sizeText(const platform::Json& size);
    static std::string shownName(const std::string& resName, const std::optional<std::string>& suffix);

    std::shared_ptr<platform::Button> button() const { return button_; }
    std::shared_ptr<platform::Label> nameLabel() const { return nameLabel_; }
    std::shared_ptr<platform::Label> sizeLabel() const { return sizeLabel_; }
    std::shared_ptr<platform::ImageView> icon() const { return icon_; }

private:
    MVTFIleInfo fileInfo_;
    std::weak_ptr<fileDownLoadDelegate> delegate_;
    std::string myFilesSize_;
    std::shared_ptr<platform::Button> button_;
    std::shared_ptr<platform::Label> nameLabel_, sizeLabel_;
    std::shared_ptr<platform::ImageView> icon_;
};
