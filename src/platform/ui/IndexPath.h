#pragma once

#include <compare>

namespace platform {

// A row in a sectioned list.
struct IndexPath {
    int section = 0;
    int row = 0;

    static IndexPath forRow(int row, int section) { return {section, row}; }
    auto operator<=>(const IndexPath&) const = default;
    bool operator==(const IndexPath&) const = default;
};

}  // namespace platform
