#pragma once

#include "microlessons/MVTMicroListBase.h"

#include "platform/Values.h"

#include <memory>
#include <string>

// What the open list reports: a tapped lesson, always as a one-element list, index 0 and
// the open kind.
class openMicroDelegate {
public:
    virtual ~openMicroDelegate() = default;
    virtual void showMicroLesson(const platform::Json& lessons, int index, const std::string& microType) = 0;
    // The filter picker for this list's choices (its chips were tapped).
    virtual void toSelect() = 0;
};

// The open lessons of all schools ("开放微课"), one row per lesson, shown inside the lesson
// list screen. Its view loads, and its first page is asked, only when the segment first
// shows; it keeps its rows, page, search and filters while the other segment shows. The
// search text travels unescaped in the "searchParam" field and a topic as "tagId".
class MVTOpenMicroViewController : public MVTMicroListScreen {
public:
    std::string className() const override { return "MVTOpenMicroViewController"; }
    static constexpr double kRowHeight = 100;

    void setDelegate(std::weak_ptr<openMicroDelegate> delegate) { delegate_ = std::move(delegate); }
    void viewDidLoad() override;
    // The filter picker's choices for this list: level, subject and topic.
    void getLevelForOpen(const platform::Json& level, const platform::Json& subject, const platform::Json& topic);

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    // The texts of a row: title, author, school and views line.
    static std::string titleText(const platform::Json& lesson);
    static std::string authorText(const platform::Json& lesson);
    static std::string schoolText(const platform::Json& lesson);
    static std::string viewsText(const platform::Json& lesson);

protected:
    std::shared_ptr<platform::HttpJsonRequestOperation> sendListRequest(const platform::Json& parameters, Reply reply,
                                                                        Failure failure) override;
    std::string thirdChipText() const override;
    void chipTapped() override;

private:
    std::weak_ptr<openMicroDelegate> delegate_;
};
