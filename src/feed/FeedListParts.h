#pragma once

// Pieces both feed lists (the class circle and the school circle) use the same way: the
// green message bars, the praise heart's animation and the praisers list after a
// withdrawn praise, the voice files and the audio route, and the progress overlay.

#include "platform/Values.h"
#include "platform/ui/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {
class Label;
class View;
}  // namespace platform

namespace feedlist {

using platform::Json;

// A short green bar with white bold text, as the feed's confirmations slide in.
std::shared_ptr<platform::Label> messageBar(const platform::Rect& frame);
// The new-posts bar: made once on `host`, slid in from above with `text`.
void showReloadNews(std::shared_ptr<platform::Label>& label, platform::View& host, const std::string& text);
// Fades the new-posts bar out (after 0.5 s, over 0.4 s); `done` runs when it has gone.
void fadeReloadNews(const std::shared_ptr<platform::Label>& label, std::function<void()> done);
// The forward toast: rises from below `bottom`, stays a second and goes.
void showTurnToast(std::shared_ptr<platform::Label>& label, platform::View& host, double bottom,
                   const std::string& text);
// The keys under which a feed table remembers the height of a post row. A row is as high
// as the record, the screen's width, who looks at it (own posts show their visibility) and
// the language of the labels make it. The record goes in as a digest of its values, not
// as its serialised text, and the rest, the same for every row, is worked out once a load.
class PostHeightKeys {
public:
    // Run when the table starts a load (it asks for the number of rows first).
    void startLoad();
    std::string keyFor(const Json& record);

private:
    std::string shared_;
};
// A digest of every key and value of a record, in order; records that differ anywhere
// differ in it (up to the odds of a 64-bit collision).
std::uint64_t recordDigest(const Json& record);

// Shows or hides the progress overlay kept in `hud` over `host`.
void showHUD(std::shared_ptr<platform::View>& hud, const std::shared_ptr<platform::View>& host, bool show);

// The praisers without the user's own entry: the entries carrying the user's id; only
// when no entry carries an id (a list of names from a refresh), the last entry with the
// user's name and every entry equal to it.
Json withoutOwnPraise(const Json& praisers, const std::string& userId, const std::string& name);
// The praise heart grows to `from` and shrinks to `to` in 0.3 s; `done` runs at the end.
void animateHeart(const std::shared_ptr<platform::View>& heart, const platform::Rect& from, const platform::Rect& to,
                  std::function<void()> done = {});

// The background track of a post's voice: "bg" "1" to "5" of its (last) voice entry.
std::string backgroundTrackOf(const Json& record);
// The WAV file of a downloaded voice, converted when it is not there yet; false when there
// is nothing that can play.
bool ensureWav(const std::string& resourceId);
// Earpiece while the handset is at the ear, else the speaker.
void setAudioRoute();

}  // namespace feedlist
