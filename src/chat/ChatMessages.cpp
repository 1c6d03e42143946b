#include "chat/ChatMessages.h"

#include <algorithm>
#include <numeric>

ChatMessages::ChatMessages(std::vector<MVTMessageRow> rows) : rows_(std::move(rows)), records_(rows_.size()) {}

namespace {

// Rows completed on each side of the one asked for: a screenful and more in one read.
constexpr std::size_t kChatCompletedAround = 16;

}  // namespace

const platform::Json& ChatMessages::operator[](std::size_t index) const {
    platform::Json& record = records_[index];
    if (record.is_null()) {
        if (!rows_[index].complete) completeAround(index);
        record = rows_[index].record();
    }
    return record;
}

void ChatMessages::completeAround(std::size_t index) const {
    std::size_t first = index > kChatCompletedAround ? index - kChatCompletedAround : 0;
    std::size_t end = std::min(rows_.size(), index + kChatCompletedAround + 1);
    std::vector<MVTMessageRow*> pending;
    for (std::size_t i = first; i < end; ++i)
        if (!rows_[i].complete) pending.push_back(&rows_[i]);
    MVTtirraDataBase::completeMSGRows(pending);
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
