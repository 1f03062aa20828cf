#pragma once
// Correction of the characteristic in the residual area at the bottom of a tank.
#include "forms/forma.h"

namespace tgm {

// Upper bounds of the correction's search: attempts and filled points over all attempts. A table
// on which either is reached is left exactly as it was.
constexpr int32_t kResidualMaxAttempts = 65536;
constexpr int64_t kResidualMaxWork = int64_t{1} << 26;

// Runs on a .fs table only; rewrites its volume texts. False when it did not run (another kind,
// a volume that is no integer, or the search bound reached), leaving the table unchanged.
// `changed`, when given, gets the number of points whose volume moved.
bool correct_residual_area(FORMA& table, int32_t max_attempts = kResidualMaxAttempts,
                           int32_t* changed = nullptr);

} // namespace tgm
