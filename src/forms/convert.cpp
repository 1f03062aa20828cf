#include "forms/convert.h"

#include "forms/form_kind.h"
#include "forms/line.h"
#include "forms/number_text.h"

#include <algorithm>
#include <vector>

namespace tgm {
namespace {

// One point per text, each converted by `volume_of`.
template <typename VolumeOf>
bool convert_each(const FORMA& table, PARTAB& out, VolumeOf volume_of) {
    const int32_t n = table.point_count();
    out.resize(n);
    int32_t* v = out.points();
    for (int32_t i = 0; i < n; ++i)
        if (!volume_of(table.volume_text(i), v[i]))
            return false;
    return true;
}

struct LevelPoint {
    int32_t level;  // millimetres
    int32_t volume; // litres
};

FormPoint as_fpoint(const LevelPoint& p) {
    return FormPoint{static_cast<float>(p.level), static_cast<float>(p.volume)};
}

// Resamples level/volume pairs onto the 1 cm grid by straight lines: below the first point the
// line from the origin, above the last the line through the two highest points.
bool convert_level_pairs(const FORMA& table, PARTAB& out) {
    const int32_t n = table.point_count();
    if (n < 2)
        return false;
    std::vector<LevelPoint> pts(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        int32_t level_tenths = 0;
        if (!integer_of_text(table.level_text(i), level_tenths) ||
            !integer_of_text(table.volume_text(i), pts[static_cast<std::size_t>(i)].volume))
            return false;
        pts[static_cast<std::size_t>(i)].level = level_tenths / 10;
    }
    // Stable: points at one level keep their file order.
    std::stable_sort(pts.begin(), pts.end(),
                     [](const LevelPoint& a, const LevelPoint& b) { return a.level < b.level; });

    const LevelPoint& lowest = pts.front();
    const LevelPoint& highest = pts.back();
    const LINE lower = make_line(FormPoint{0, 0}, as_fpoint(lowest));
    const LINE upper = make_line(as_fpoint(pts[pts.size() - 2]), as_fpoint(highest));

    const int64_t m = int64_t{highest.level} / 10 + 2;
    if (m < 2 || m > kMaxResampledPoints)
        return false;
    out.resize(static_cast<int32_t>(m));
    int32_t* v = out.points();

    std::size_t j = 0; // first point whose level is not below x; x only grows
    for (int32_t i = 0; i < m; ++i) {
        const int32_t x = 10 * i;
        const float fx = static_cast<float>(x);
        bool ok = true;
        if (x < lowest.level) {
            ok = line_value(lower, fx, v[i]);
        } else if (x > highest.level) {
            // Two highest points at one level leave no upper line: keep the last volume.
            if (upper.vertical)
                v[i] = highest.volume;
            else
                ok = line_value(upper, fx, v[i]);
        } else {
            while (pts[j].level < x)
                ++j;
            if (pts[j].level == x)
                v[i] = pts[j].volume;
            else
                ok = line_value(make_line(as_fpoint(pts[j - 1]), as_fpoint(pts[j])), fx, v[i]);
        }
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

bool convert_table(const FORMA& table, PARTAB& out) {
    switch (table.form_type) {
    case kFormFs:
    case kFormFs2:
    case kFormFs32:
        return convert_each(table, out,
                            [](std::string_view t, int32_t& v) { return integer_of_text(t, v); });
    case kFormFs1:
    case kFormFs31:
        return convert_each(
            table, out, [](std::string_view t, int32_t& v) { return litres_of_cubic_text(t, v); });
    case kFormF1: return convert_level_pairs(table, out);
    default: return false;
    }
}

} // namespace tgm
