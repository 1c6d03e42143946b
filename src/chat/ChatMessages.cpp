#include "chat/ChatMessages.h"

#include <algorithm>
#include <numeric>

ChatMessages::ChatMessages(std::vector<MVTMessageRow> rows) : rows_(std::move(rows)), records_(rows_.size()) {}

const platform::Json& ChatMessages::operator[](std::size_t index) const {
    platform::Json& record = records_[index];
    if (record.is_null()) record = rows_[index].record();
    return record;
}

void ChatMessages::erase(std::size_t index) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
}

void ChatMessages::sortBySendTime() {
    auto earlier = [](const MVTMessageRow& a, const MVTMessageRow& b) { return a.sendTime < b.sendTime; };
    if (std::is_sorted(rows_.begin(), rows_.end(), earlier)) return;
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return rows_[a].sendTime < rows_[b].sendTime; });
    std::vector<MVTMessageRow> rows;
    std::vector<platform::Json> records;
    rows.reserve(order.size());
    records.reserve(order.size());
    for (std::size_t index : order) {
        rows.push_back(std::move(rows_[index]));
        records.push_back(std::move(records_[index]));
    }
    rows_ = std::move(rows);
    records_ = std::move(records);
}
