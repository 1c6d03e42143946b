#pragma once

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class AudioPlayer;
class Button;
}  // namespace platform
class myTableView;

// An earlier personal space page: a header row (placeholder cover, avatar, mood text)
// over one user's posts drawn by the feed's post cell. Nothing opens it but a name tapped
// in one of its own posts; the personal space screen serves the running app. It keeps a
// player slot and marks a voice row, but starts no playback: a voice request only locks
// scrolling until the stop request.
class MVTSpaceViewController : public ViewViewController,
                               public platform::TableViewDataSource,
                               public platform::TableViewDelegate {
public:
    MVTSpaceViewController();
    ~MVTSpaceViewController() override;
    std::string className() const override { return "MVTSpaceViewController"; }

    static constexpr double kHeaderRowHeight = 190;
    static constexpr int kPostCellTag = 2;
    // The mood text the header always shows.
    static const char* moodText();

    // {"id", "name"}.
    void setUserDic(const platform::Json& user) { userDic_ = user; }
    const platform::Json& userDic() const { return userDic_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void getData();
    // Builds the table on the first call, reloads it later.
    void initTable();
    void goback();
    void clickHeadBtn() {}

    // Post cell callbacks.
    void chooseNamed(const platform::Json& user) override;
    void deleteState(const std::string&) override {}
    void playRecord(const std::optional<std::string>& resourceId, int row) override;
    // The player slot's delegate side: a finished or interrupted player is dropped.
    void audioPlayerDidFinishPlaying(bool successfully);
    void audioPlayerBeginInterruption();

    const std::vector<platform::Json>& dataArray() const { return dataArray_; }
    std::shared_ptr<myTableView> essayTable() const { return essayTable_; }

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    void dropPlayer();

    platform::Json userDic_ = platform::Json::object();
    std::vector<platform::Json> dataArray_;
    std::shared_ptr<myTableView> essayTable_;
    std::shared_ptr<platform::AudioPlayer> myplayer_;
};
