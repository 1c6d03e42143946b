#pragma once

#include <memory>
#include <string>

namespace platform {

class Image;

// A screen's entry on the tab bar: title, pictures and badge.
class TabBarItem {
public:
    // initWithTitle:image:tag:
    void initWithTitle(const std::string& title, std::shared_ptr<Image> image, int tag) {
        title_ = title;
        image_ = std::move(image);
        tag_ = tag;
    }
    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; }
    const std::shared_ptr<Image>& image() const { return image_; }
    void setImage(std::shared_ptr<Image> image) { image_ = std::move(image); }
    const std::shared_ptr<Image>& selectedImage() const { return selectedImage_; }
    void setSelectedImage(std::shared_ptr<Image> image) { selectedImage_ = std::move(image); }
    const std::string& badgeValue() const { return badge_; }
    void setBadgeValue(const std::string& badge) { badge_ = badge; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

private:
    std::string title_, badge_;
    std::shared_ptr<Image> image_, selectedImage_;
    int tag_ = 0;
};

}  // namespace platform
