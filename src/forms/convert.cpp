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

FormPoint as_fpoint(const LevelPoint& p) {
    return FormPoint{static_cast<float>(p.level), static_cast<float>(p.volume)};
}

// An .f1 file's levels are tenths of a millimetre and its table is resampled on whole
// millimetres, the tenths cut off.
bool convert_level_pairs(const FORMA& table, PARTAB& out) {
    const int32_t n = table.point_count();
    std::vector<LevelPoint> pts(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        int32_t level_tenths = 0;
        if (!integer_of_text(table.level_text(i), level_tenths) ||
            !integer_of_text(table.volume_text(i), pts[static_cast<std::size_t>(i)].volume))
            return false;
        pts[static_cast<std::size_t>(i)].level = level_tenths / 10;
    }
    return resample_points(std::move(pts), 10, LineArithmetic::single_precision, out);
}

// The volume at x on the line through a and b, truncated toward zero.
bool value_on(const LevelPoint& a, const LevelPoint& b, int32_t x, LineArithmetic arithmetic,
              int32_t& v) {
    if (arithmetic == LineArithmetic::single_precision)
        return line_value(make_line(as_fpoint(a), as_fpoint(b)), static_cast<float>(x), v);
    const int64_t dx = int64_t{b.level} - a.level;
    if (dx == 0)
        return false;
    const int64_t exact =
        (int64_t{a.volume} * dx + (int64_t{b.volume} - a.volume) * (int64_t{x} - a.level)) / dx;
    if (exact < INT32_MIN || exact > INT32_MAX)
        return false;
    v = static_cast<int32_t>(exact);
    return true;
}

} // namespace

bool resample_points(std::vector<LevelPoint> pts, int32_t per_centimetre, LineArithmetic arithmetic,
                     PARTAB& out) {
    if (pts.size() < 2 || per_centimetre < 1)
        return false;
    // Stable: points at one level keep their file order.
    std::stable_sort(pts.begin(), pts.end(),
                     [](const LevelPoint& a, const LevelPoint& b) { return a.level < b.level; });

    const LevelPoint& lowest = pts.front();
    const LevelPoint& highest = pts.back();
    const LevelPoint origin{0, 0};
    const LevelPoint& below_highest = pts[pts.size() - 2];

    const int64_t m = int64_t{highest.level} / per_centimetre + 2;
    if (m < 2 || m > kMaxResampledPoints)
        return false;
    out.resize(static_cast<int32_t>(m));
    int32_t* v = out.points();

    std::size_t j = 0; // first point whose level is not below x; x only grows
    for (int32_t i = 0; i < m; ++i) {
        const int32_t x = per_centimetre * i;
        bool ok = true;
        if (x < lowest.level) {
            ok = value_on(origin, lowest, x, arithmetic, v[i]);
        } else if (x > highest.level) {
            // Two highest points at one level leave no upper line: keep the last volume.
            if (below_highest.level == highest.level)
                v[i] = highest.volume;
            else
                ok = value_on(below_highest, highest, x, arithmetic, v[i]);
        } else {
            while (pts[j].level < x)
                ++j;
            if (pts[j].level == x)
                v[i] = pts[j].volume;
            else
                ok = value_on(pts[j - 1], pts[j], x, arithmetic, v[i]);
        }
        if (!ok)
            return false;
    }
    return true;
}

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
