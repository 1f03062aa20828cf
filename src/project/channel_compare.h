#pragma once
// The unit's tables against the project's, channel by channel: which channels are not the
// same, and where and how much they differ. Headers play no part.
#include "model/grouptab.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tgm {

class EPROJECT;

struct ChannelDifference {
    enum class Kind { differs, unit_only, project_only, unconverted };
    int32_t channel = 0; // counted from 1
    Kind kind = Kind::differs;
    // differs: the lowest level in cm where the two differ, the litres there on each side
    // (has_* false where that side has no point at `level`) and how many levels differ.
    int32_t level = 0;
    bool has_unit = false;
    int32_t unit = 0;
    bool has_project = false;
    int32_t project = 0;
    int32_t count = 0;
    // unit_only, project_only: the points of the one side's slot (0 for a gap).
    int32_t points = 0;
};

// Channels ascending, only those that are not the same; `unconverted[k]` marks slot k of the
// project as a table that does not convert (its points in `project` mean nothing).
std::vector<ChannelDifference> compare_channels(const GROUPTAB& unit, const GROUPTAB& project,
                                                const std::vector<bool>& unconverted);
// The unit's tables against the project's tables as they would be written.
std::vector<ChannelDifference> compare_with_project(const GROUPTAB& unit, EPROJECT& project);

// tgm-cli's line: CHANNEL TAB differs TAB LEVEL TAB UNIT TAB PROJECT TAB COUNT, and so on.
std::string difference_line(const ChannelDifference& d);
// The windows' line, code page 1251: "Канал 3: отличается с 120 см (...)".
std::string difference_text(const ChannelDifference& d);
// The windows' lines joined by "\r", each on a line of its own.
std::string difference_texts(const std::vector<ChannelDifference>& differences);

} // namespace tgm
