#pragma once
// What the last comparison of the unit's tables with the project's found for each channel
// (the compare command's, or a write's read back), kept for as long as it still holds: the
// project's tables as compared are kept with it, and once the project's tables are no longer
// those (points, levels or kinds; headers are not compared) the marks are gone. The windows
// drop them themselves when the unit may have changed.
#include "forms/fdata.h"
#include "model/grouptab.h"
#include "project/channel_compare.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tgm {

class CompareMarks {
public:
    enum class Mark { none, same, differs, unit_only, project_only, unconverted };

    // `differences` as compare_channels found them between `unit` and `project`.
    void take(const GROUPTAB& unit, const std::vector<ChannelDifference>& differences,
              const FDATA& project);
    void forget();
    // Forgets the marks when `project` no longer holds the tables they were made for.
    void follow(const FDATA& project);

    bool held() const { return held_; }
    // Channel k counted from 0; none beyond the channels compared or while nothing is held.
    Mark mark(int32_t k) const;
    // What the mark says, code page 1251: the compare message's line of the channel, or that
    // its table is the unit's; empty without a mark.
    std::string text(int32_t k) const;
    // The unit's tables as compared, in text form (kind .fs), to be drawn over the project's.
    const FDATA& unit_tables() const { return unit_; }
    // The first channel (from 0) where both hold a table and the two differ, or -1: the one
    // worth seeing on the graph.
    int32_t first_drawn_difference() const;

private:
    const ChannelDifference* difference(int32_t k) const;

    bool held_ = false;
    int32_t channels_ = 0;
    FDATA compared_;
    FDATA unit_;
    std::vector<ChannelDifference> differences_;
};

} // namespace tgm
