#pragma once

// The address of the report page for a post, shared by every screen that reports one:
// "<base>report/<id>?targetUid=…&uid=…&name=…&type=…&token=…&mobile=1". Every value is
// percent-escaped, so a name holding "&" or "=" stays one value; the token is the
// resource token of the viewer's id and the post's "uid", "id" and "type" run together.

#include "platform/Values.h"

#include <string>

std::string postReportAddress(const platform::Json& post, const std::string& viewerId);
