#pragma once
// The unit's flash as the tool sees it: header or directory record, the packed image and the
// per-table blocks; optionally kept in a file between runs.
#include "sim/sim_persona.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tgm {

class SimFlash {
public:
    using Bytes = std::vector<uint8_t>;
    static constexpr int32_t kRecordSize = 98;

    // A fresh unit: a header of recognisable filler with no tables, or an empty record.
    explicit SimFlash(const SimPersona& persona);

    // The filler byte at a header offset outside the flags and records.
    static uint8_t filler(int32_t offset);

    // Loads a saved state; false (flash unchanged) when the file is missing or damaged.
    bool load(const std::string& path, std::string& error);
    bool save(const std::string& path) const;

    // Areas: the 16 per-table blocks by index, then these.
    static constexpr int32_t kHeader = 16;
    static constexpr int32_t kRecord = 17;
    static constexpr int32_t kImage = 18;
    static constexpr int32_t kAreas = 19;

    // Copies under the lock, so tests and the serving thread can share a unit.
    Bytes area(int32_t which) const;
    void set_area(int32_t which, Bytes bytes);
    Bytes header() const { return area(kHeader); }
    Bytes record() const { return area(kRecord); }
    Bytes image() const { return area(kImage); }

private:
    mutable std::mutex mutex_;
    std::array<Bytes, kAreas> areas_;
};

} // namespace tgm
