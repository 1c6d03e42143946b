#pragma once

#include <string>

namespace platform {

// Text made safe to place into a page, as element text or inside a quoted attribute: "&",
// "<", ">", '"' and "'" become entities, so a value never turns into markup.
std::string escapeHtml(const std::string& text);

}  // namespace platform
