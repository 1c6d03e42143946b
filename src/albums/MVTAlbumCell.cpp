#include "albums/MVTAlbumCell.h"

#include "albums/AlbumCommon.h"
#include "shell/MVTAppDelegate.h"

#include "platform/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

double albumTileSide() { return (Screen::mainScreen().bounds().width() - 30) / 2; }

std::shared_ptr<Label> albumTileLabel(const Rect& frame, double size, int tag) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(size));
    label->setTextColor(Color::whiteColor());
    label->setTag(tag);
    return label;
}

}  // namespace

std::shared_ptr<MVTAlbumCell> MVTAlbumCell::make() {
    auto cell = std::make_shared<MVTAlbumCell>();
    cell->initWithStyle(TableViewCellStyle::Default, kReuseIdentifier);
    return cell;
}

double MVTAlbumCell::rowHeight() { return albumTileSide() + 30; }

void MVTAlbumCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    const double x = albumTileSide();
    std::weak_ptr<MVTAlbumCell> weak = std::static_pointer_cast<MVTAlbumCell>(shared_from_this());
    for (int i = 0; i < 2; ++i) {
        auto tile = Button::buttonWithType(ButtonType::Custom);
        tile->setFrame({10 + i * (x + 10), 10, x, x + 20});
        tile->setBackgroundColor(Color::whiteColor());
        tile->setCornerRadius(4);
        tile->setBorderWidth(0.5);
        tile->setBorderColor(Color::rgb255(230, 230, 230));
        tile->setClipsToBounds(true);
        tile->setTag(i);
        tile->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toGotoAlbum(static_cast<Button&>(control));
        });
        auto cover = std::make_shared<ImageView>(Rect(0, 20, x, x - 20));
        cover->setBackgroundColor(Color::rgb255(242, 242, 242));
        cover->setImage(Image::imageNamed("albumDefault.png"));
        cover->setTag(kCoverTag);
        tile->addSubview(cover);
        auto band = std::make_shared<View>(Rect(0, 0, x, 20));
        band->setBackgroundColor(Color::rgba(0.145, 0.165, 0.208));
        tile->addSubview(band);
        auto name = albumTileLabel({0, 0, x, 20}, 10, kNameTag);
        name->setTextAlignment(TextAlignment::Center);
        band->addSubview(name);
        auto bottom = std::make_shared<View>(Rect(0, x, x, 20));
        bottom->setBackgroundColor(Color::rgba(0.549, 0.588, 0.643));
        tile->addSubview(bottom);
        auto classLabel = albumTileLabel({5, x, x - 50, 20}, 8, kClassTag);
        tile->addSubview(classLabel);
        classLabels_.push_back(classLabel);
        tile->addSubview(albumTileLabel({x - 40, x, 40, 20}, 8, kDateTag));

        auto press = std::make_shared<LongPressGestureRecognizer>([weak](GestureRecognizer& recognizer) {
            if (auto self = weak.lock()) self->deleteAlbum(recognizer);
        });
        press->setMinimumPressDuration(kLongPressDuration);
        press->setCancelsTouchesInView(false);
        tile->addGestureRecognizer(press);
        contentView()->addSubview(tile);
        modelArr_.push_back(tile);
    }
}

void MVTAlbumCell::reloadDataWith(const Json& albumsOfRow) {
    for (const auto& tile : modelArr_) tile->setHidden(true);
    if (!albumsOfRow.is_array()) return;
    auto* delegateApp = MVTAppDelegate::sharedAppDelegate().get();
    for (std::size_t i = 0; i < albumsOfRow.size() && i < modelArr_.size(); ++i) {
        const Json& album = albumsOfRow[i];
        auto& tile = modelArr_[i];
        tile->setHidden(false);
        auto cover = std::static_pointer_cast<ImageView>(tile->viewWithTag(kCoverTag));
        cover->setImage(Image::imageNamed("albumDefault.png"));
        // An album without cover clears the hint, so that no loader still running for the
        // tile's former album paints its cover here.
        albums::showThumbnail(cover, albums::pictureIdOf(album));
        std::static_pointer_cast<Label>(tile->viewWithTag(kNameTag))->setText(albums::text(album, "name"));
        auto date = std::static_pointer_cast<Label>(tile->viewWithTag(kDateTag));
        auto classLabel = std::static_pointer_cast<Label>(classLabels_[i]);
        const std::string dateText = delegateApp ? delegateApp->getDateWith(albums::text(album, "dateline")) : "";
        if (albums::isMissing(album, "classFullName")) {
            classLabel->setHidden(true);
        } else {
            classLabel->setHidden(false);
            classLabel->setText(albums::text(album, "classFullName") + " " + albums::text(album, "count") + "张");
        }
        date->setText(dateText);
    }
}

void MVTAlbumCell::toGotoAlbum(Button& tile) {
    if (isLongPress_) return;
    if (auto delegate = delegate_.lock())
        delegate->goToAlbumDetailsWith(std::to_string(tile.tag() + 2 * contentView()->tag()));
}

void MVTAlbumCell::deleteAlbum(GestureRecognizer& press) {
    if (whereFrom_ != kGroupPhoto) return;
    isLongPress_ = true;
    if (press.state() != GestureState::Ended) return;
    // The pressed tile's tag is its index in the row.
    const int tile = press.view() ? press.view()->tag() : 0;
    if (auto delegate = delegate_.lock()) delegate->deleteAlbum(std::to_string(tile + 2 * contentView()->tag()));
    std::weak_ptr<MVTAlbumCell> weak = std::static_pointer_cast<MVTAlbumCell>(shared_from_this());
    dispatchMain([weak] {
        if (auto self = weak.lock()) self->isLongPress_ = false;
    });
}
