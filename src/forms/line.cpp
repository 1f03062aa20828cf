#include "forms/line.h"

#include "forms/number_text.h"

namespace tgm {

LINE make_line(FormPoint first, FormPoint second) {
    LINE line;
    line.first = first;
    line.second = second;
    line.vertical = first.x == second.x;
    if (!line.vertical) {
        const float dy = second.y - first.y;
        const float dx = second.x - first.x;
        line.slope = dy / dx;
        const float product = second.x * line.slope;
        line.offset = second.y - product;
    }
    return line;
}

bool line_value(const LINE& line, float x, int32_t& value) {
    if (line.vertical)
        return false;
    const long double v = static_cast<long double>(line.slope) * static_cast<long double>(x) +
                          static_cast<long double>(line.offset);
    return truncate_to_int32(v, value);
}

} // namespace tgm
