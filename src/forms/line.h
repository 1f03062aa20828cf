#pragma once
// A straight line through two points, for interpolating and extrapolating level/volume pairs.
#include <cstdint>

namespace tgm {

struct FormPoint {
    float x = 0; // level
    float y = 0; // volume
};

struct LINE {
    FormPoint first;
    FormPoint second;
    float slope = 0;
    float offset = 0;
    bool vertical = false; // x1 == x2: the line has no value
};

// Slope and offset in single precision; the offset uses the already rounded slope.
LINE make_line(FormPoint first, FormPoint second);
// slope * x + offset in extended precision, truncated toward zero; false when the line is
// vertical or the value is not finite or outside the 32-bit range.
bool line_value(const LINE& line, float x, int32_t& value);

} // namespace tgm
