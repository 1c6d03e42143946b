#pragma once

#include <string_view>

// Ids that come from the service (resource ids, module ids, message ids...) name cache
// files in the documents folder. Only an id made of ASCII letters, digits, "-" and "_"
// (1 to 128 characters) may do so: anything else ("/..", a dot, a space, an empty text)
// names no file, and the caller treats it as not cached and caches nothing.
bool isPlainServiceId(std::string_view id);
