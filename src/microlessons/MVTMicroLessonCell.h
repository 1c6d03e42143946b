#pragma once

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform {
class ScrollView;
}

// What a lesson row reports. Both operations are optional.
class microLessonDelegate {
public:
    virtual ~microLessonDelegate() = default;
    virtual void showMicroLesson(const platform::Json& lesson) { (void)lesson; }
    virtual void showMicroLesson(const platform::Json& lessons, int index, const std::string& microType) {
        (void)lessons;
        (void)index;
        (void)microType;
    }
};

// A row of lessons: one 158 x 99 thumbnail per lesson (its picture, its "resourceName"
// below), left to right in a strip as wide as the screen and 160 points high, scrolling
// sideways to 10 points past the last one. A tap on a thumbnail
// hands the row's lessons, the thumbnail's index and "micro" to the delegate.
class MVTMicroLessonCell : public platform::TableViewCell {
public:
    static constexpr double kRowHeight = 160;
    static constexpr double kThumbnailWidth = 158;
    static constexpr double kThumbnailHeight = 99;
    // From one thumbnail's left edge to the next one's.
    static constexpr double kPitch = 163;
    static constexpr double kThumbnailTagBase = 500;
    static constexpr const char* kMicroType = "micro";

    MVTMicroLessonCell();
    std::string className() const override { return "MVTMicroLessonCell"; }
    // initWithStyle:reuseIdentifier: an empty row.
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);
    static std::shared_ptr<MVTMicroLessonCell> make(const std::string& reuseIdentifier);

    // reuseCellWithArray: keeps the list and builds its thumbnails.
    void reuseCellWithArray(const platform::Json& lessons);
    // Removes every thumbnail before the cell is used again.
    void cleanView();

    std::shared_ptr<microLessonDelegate> delegate() const { return microLessonDelegate_.lock(); }
    void setDelegate(std::weak_ptr<microLessonDelegate> delegate) { microLessonDelegate_ = std::move(delegate); }
    const platform::Json& lessons() const { return lessons_; }
    std::shared_ptr<platform::ScrollView> strip() const { return strip_; }

private:
    std::weak_ptr<microLessonDelegate> microLessonDelegate_;
    platform::Json lessons_ = platform::Json::array();
    std::shared_ptr<platform::ScrollView> strip_;
};
