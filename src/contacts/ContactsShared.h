#pragma once

// Pieces the contacts screens share: the join-a-class-first alert, the account's id and
// role, the network banner, the progress overlay and the parts of a person row.

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <memory>
#include <string>

namespace platform {
class ImageView;
class TableView;
class TableViewCell;
class ProgressHUD;
class View;
class ViewController;
}  // namespace platform

namespace contacts {

inline constexpr long kJoinClassAlertTag = 10010;

std::string accountUserId();
std::string accountRole();
void showBanner(int kind);

// The alert a user without a class gets (tag 10010): parents one button, others "确定"
// (index 0, which opens the join-a-class screen through joinClassAnswer) and "取消".
std::shared_ptr<platform::AlertView> showJoinClassAlert(std::weak_ptr<platform::AlertViewDelegate> delegate);
// Answers the join alert: index 0 from a user other than a parent presents the
// join-a-class screen from `presenter`. False for other alerts.
bool joinClassAnswer(platform::AlertView& alert, long index, platform::ViewController& presenter);

// Shows a new progress overlay over `view` (dropping `hud`'s) or hides `hud`.
void showProgress(std::shared_ptr<platform::ProgressHUD>& hud, const std::shared_ptr<platform::View>& view, bool show);

// A 40-point round avatar on a 44-point white disc at `origin` (the avatar's corner),
// with the user id as its hint and the role as its value, filled from the avatar cache.
std::shared_ptr<platform::ImageView> addAvatar(platform::View& content, platform::Point origin,
                                               const std::string& userId, const std::string& role, bool disc);

// The colour of a person's role stripe: blue for staff and system accounts, grey for
// parents, orange for everyone else.
platform::Color roleStripeColour(const std::string& role);

// A reused "Cell" row emptied of what it showed, or a new one.
std::shared_ptr<platform::TableViewCell> emptyCell(platform::TableView& tableView);

// The "line_10" separator.
void addLine(platform::View& content, const platform::Rect& frame, const char* picture = "line_10");

// Presents `controller` in a new navigation stack with the cross-dissolve transition.
void presentInNavigation(platform::ViewController& presenter, const std::shared_ptr<platform::ViewController>& root,
                         bool crossDissolve = true);

}  // namespace contacts
