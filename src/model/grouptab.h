#pragma once
// Up to 16 tables; slot k is channel k+1.
#include "model/partab.h"

#include <array>
#include <cstdint>

namespace tgm {

class GROUPTAB {
public:
    static constexpr int32_t kMaxTables = 16;

    GROUPTAB() { reset(); }

    int32_t count() const { return count_; }
    // Clears the points of every slot; headers are kept.
    void reset();
    // Ignored once 16 slots are in use.
    void add_copy(const PARTAB& table);
    // Appends a gap (no points); the slot keeps the header it last held.
    void add_empty();
    // No bounds check: callers keep 0 <= k < 16.
    PARTAB& item(int32_t k) { return tables_[static_cast<std::size_t>(k)]; }
    const PARTAB& item(int32_t k) const { return tables_[static_cast<std::size_t>(k)]; }
    bool equals(const GROUPTAB& other) const;

private:
    std::array<PARTAB, kMaxTables> tables_;
    int32_t count_ = 0;
};

} // namespace tgm
