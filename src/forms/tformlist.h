#pragma once
// An ordered list of 8-bit strings: one column of a table in text form.
#include <cstdint>
#include <string>
#include <vector>

namespace tgm {

class TFormList {
public:
    int32_t count() const { return static_cast<int32_t>(items_.size()); }
    const std::string& get(int32_t i) const { return items_[static_cast<std::size_t>(i)]; }
    void put(int32_t i, std::string text) { items_[static_cast<std::size_t>(i)] = std::move(text); }
    void add(std::string text) { items_.push_back(std::move(text)); }
    void insert(int32_t i, std::string text) { items_.insert(items_.begin() + i, std::move(text)); }
    void remove(int32_t i) { items_.erase(items_.begin() + i); }
    void clear() { items_.clear(); }
    void reserve(int32_t n) { items_.reserve(static_cast<std::size_t>(n)); }
    // The items joined by CR LF.
    std::string text() const;
    bool operator==(const TFormList& other) const = default;

private:
    std::vector<std::string> items_;
};

} // namespace tgm
