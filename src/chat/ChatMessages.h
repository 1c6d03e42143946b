#pragma once

// The messages a chat shows, oldest first: the cached rows as listed from the message
// table, each one's dictionary made the first time it is asked for. A conversation of
// thousands of messages opens in the time of listing the keys of its rows; the texts are
// read (a block of rows around the one asked for at a time) and the dictionaries made only
// for the rows shown and those the screen's logic reads.

#include "core/MVTtirraDataBase.h"

#include "platform/Values.h"

#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

class ChatMessages {
public:
    ChatMessages() = default;
    explicit ChatMessages(std::vector<MVTMessageRow> rows);

    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    // The dictionary of a message (as MVTtirraDataBase::selectMSGListwith gives it).
    const platform::Json& operator[](std::size_t index) const;
    const platform::Json& front() const { return (*this)[0]; }
    const platform::Json& back() const { return (*this)[size() - 1]; }
    // The stored row's keys (row number, message id, status, success mark, send time), read
    // without making the dictionary; its other fields may not be read yet.
    const MVTMessageRow& row(std::size_t index) const { return rows_[index]; }

    void erase(std::size_t index);
    // Orders the messages by the text of their send time, keeping the order of equal ones.
    void sortBySendTime();

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = platform::Json;
        using difference_type = std::ptrdiff_t;
        using pointer = const platform::Json*;
        using reference = const platform::Json&;

        const_iterator() = default;
        const_iterator(const ChatMessages* list, std::size_t index) : list_(list), index_(index) {}
        reference operator*() const { return (*list_)[index_]; }
        pointer operator->() const { return &(*list_)[index_]; }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        const_iterator operator++(int) {
            auto before = *this;
            ++index_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

    private:
        const ChatMessages* list_ = nullptr;
        std::size_t index_ = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    // Reads the rest of the rows near `index` that were listed with their keys only.
    void completeAround(std::size_t index) const;

    mutable std::vector<MVTMessageRow> rows_;
    // The dictionaries made so far, by position; null until a message is first asked for.
    mutable std::vector<platform::Json> records_;
};
