#pragma once
// Text form to numbers: litres for every whole centimetre.
#include "forms/forma.h"
#include "model/partab.h"

namespace tgm {

// Resampled .f1 tables must give 2 to this many points: the unit's point counts are 16-bit.
constexpr int32_t kMaxResampledPoints = 65535;

// True when every number text converts; `out` is unspecified after a failure.
bool convert_table(const FORMA& table, PARTAB& out);

} // namespace tgm
