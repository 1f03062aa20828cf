#pragma once
// An ordered list of 8-bit strings: one column of a table in text form. The texts live end to
// end in one buffer, so that a table of thousands of points costs two allocations, not
// thousands, and whole columns compare with one memcmp.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tgm {

class TFormList {
public:
    int32_t count() const { return static_cast<int32_t>(ends_.size()); }
    // Valid until the list changes.
    std::string_view get(int32_t i) const {
        const uint32_t b = begin(i);
        return std::string_view(chars_.data() + b, ends_[static_cast<std::size_t>(i)] - b);
    }
    void put(int32_t i, std::string_view text);
    void add(std::string_view text) {
        chars_.append(text);
        ends_.push_back(static_cast<uint32_t>(chars_.size()));
    }
    // Before item i (0 <= i <= count).
    void insert(int32_t i, std::string_view text);
    void remove(int32_t i);
    void clear() {
        chars_.clear();
        ends_.clear();
    }
    void reserve(int32_t items, std::size_t chars) {
        ends_.reserve(static_cast<std::size_t>(items));
        chars_.reserve(chars);
    }
    // Replaces the items by the texts "0", "1", ... of n indices.
    void fill_indices(int32_t n);
    // Appends the texts of the n indices from `first` on.
    void add_indices(int32_t first, int32_t n);
    // Replaces the items by n copies of one text.
    void fill_repeated(std::string_view text, int32_t n);
    // The items joined by CR LF.
    std::string text() const;
    bool operator==(const TFormList& other) const = default;

private:
    uint32_t begin(int32_t i) const { return i == 0 ? 0 : ends_[static_cast<std::size_t>(i) - 1]; }
    void shift_ends(int32_t from, int64_t delta);

    std::string chars_;
    std::vector<uint32_t> ends_;
};

} // namespace tgm
