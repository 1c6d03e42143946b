#pragma once

// Helpers of the post views of the detail and forward screens.
//
// The address of the report page for a post, shared by every screen that reports one:
// "<base>report/<id>?targetUid=…&uid=…&name=…&type=…&token=…&mobile=1". Every value is
// percent-escaped, so a name holding "&" or "=" stays one value; the token is the
// resource token of the viewer's id and the post's "uid", "id" and "type" run together.

#include "platform/Values.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class View;
}  // namespace platform

std::string postReportAddress(const platform::Json& post, const std::string& viewerId);

// The author's avatar of a post view: a white round backdrop with its top left at
// (x, y), 44 wide, and over it a round 40-point button 2 points in, showing
// "default_user" until the cached or downloaded avatar replaces it. The button carries
// the author's id and role in its accessibility hint and value. Added to `host`.
std::shared_ptr<platform::Button> addPostAvatar(platform::View& host, double x, double y, const platform::Json& post);
