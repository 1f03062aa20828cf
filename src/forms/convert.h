#pragma once
// Text form to numbers: litres for every whole centimetre.
#include "forms/forma.h"
#include "model/partab.h"

#include <cstdint>
#include <vector>

namespace tgm {

// Resampled .f1 tables must give 2 to this many points: the unit's point counts are 16-bit.
constexpr int32_t kMaxResampledPoints = 65535;

// A point of a table given by its levels, in a unit that `per_centimetre` of make one centimetre.
struct LevelPoint {
    int32_t level;
    int32_t volume; // litres
};

// How a value on a line is taken: as the unit's own .f1 rule has it (slope and offset in single
// precision), or exactly (integers, truncated toward zero).
enum class LineArithmetic { single_precision, exact };

// Resamples the points onto the 1 cm grid by straight lines: below the first point the line
// from the origin, above the last the line through the two highest points. False for fewer than
// two points or a grid longer than kMaxResampledPoints.
bool resample_points(std::vector<LevelPoint> points, int32_t per_centimetre,
                     LineArithmetic arithmetic, PARTAB& out);

// True when every number text converts; `out` is unspecified after a failure.
bool convert_table(const FORMA& table, PARTAB& out);

} // namespace tgm
