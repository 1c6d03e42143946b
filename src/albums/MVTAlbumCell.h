#pragma once

#include "platform/Values.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class GestureRecognizer;
}  // namespace platform

// What the album lists hear from their rows: the album index (tile + 2 x row) as text.
class MVTAlbumCellDelegate {
public:
    virtual ~MVTAlbumCellDelegate() = default;
    virtual void goToAlbumDetailsWith(const std::string& index) = 0;
    virtual void deleteAlbum(const std::string& index) { (void)index; }
};

// One row of an album list: two album tiles side by side, each with its cover, name, a
// class line (class albums) and a date. Covers come from the album thumbnail cache or are
// fetched in the background; a reused tile only takes the cover it was last asked for.
// In the group list ("groupPhoto") a long press of 1 s deletes, and its lift opens nothing.
class MVTAlbumCell : public platform::TableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "albumCell";
    static constexpr const char* kGroupPhoto = "groupPhoto";
    static constexpr int kCoverTag = 1111;
    static constexpr int kNameTag = 2222;
    static constexpr int kDateTag = 3333;
    static constexpr int kClassTag = 4444;
    static constexpr double kLongPressDuration = 1.0;

    std::string className() const override { return "MVTAlbumCell"; }
    void initWithStyle(platform::TableViewCellStyle style, const std::string& reuseIdentifier);
    static std::shared_ptr<MVTAlbumCell> make();
    // The row's height in a list: (screen width - 30) / 2 + 30.
    static double rowHeight();

    // reloadDataWith: fills the tiles from one or two album records.
    void reloadDataWith(const platform::Json& albums);
    void toGotoAlbum(platform::Button& tile);
    // The long-press recogniser's action (shares its name with the delegate's operation).
    void deleteAlbum(platform::GestureRecognizer& press);

    const std::string& whereFrom() const { return whereFrom_; }
    void setWhereFrom(const std::string& from) { whereFrom_ = from; }
    void setDelegate(std::weak_ptr<MVTAlbumCellDelegate> delegate) { delegate_ = std::move(delegate); }
    bool isLongPress() const { return isLongPress_; }
    const std::vector<std::shared_ptr<platform::Button>>& modelArr() const { return modelArr_; }

private:
    std::vector<std::shared_ptr<platform::Button>> modelArr_;
    // The class line of each tile, kept so that it is hidden, not lost, when a tile shows
    // an album without class.
    std::vector<std::shared_ptr<platform::View>> classLabels_;
    bool isLongPress_ = false;
    std::string whereFrom_;
    std::weak_ptr<MVTAlbumCellDelegate> delegate_;
};
