#include "forms/strap_table.h"

#include "forms/convert.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "support/cp1251.h"

#include <algorithm>

namespace tgm {
namespace {

std::string lines_text(std::vector<int32_t> lines) {
    std::sort(lines.begin(), lines.end());
    std::string text = lines.size() == 1 ? "Строка " : "Строки ";
    const std::size_t shown = std::min<std::size_t>(lines.size(), 10);
    for (std::size_t i = 0; i < shown; ++i)
        text += (i ? ", " : "") + text_of_integer(lines[i]);
    if (shown < lines.size())
        text += ", … (всего " + text_of_integer(static_cast<int64_t>(lines.size())) + ")";
    return text;
}

// Points of one level in whole tenths of a millimetre are one point when their litres agree;
// the lines of levels whose litres differ go to `conflicts`.
std::vector<StrapPoint> merged_points(std::vector<StrapPoint> rows,
                                      std::vector<int32_t>& conflicts) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const StrapPoint& a, const StrapPoint& b) { return a.tenths < b.tenths; });
    std::vector<StrapPoint> points;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i + 1;
        bool agree = true;
        StrapPoint merged = rows[i];
        for (; j < rows.size() && rows[j].tenths == rows[i].tenths; ++j) {
            agree = agree && rows[j].litres == rows[i].litres;
            merged.whole_centimetre = merged.whole_centimetre && rows[j].whole_centimetre;
            merged.whole_litres = merged.whole_litres && rows[j].whole_litres;
        }
        if (!agree) {
            for (std::size_t k = i; k < j; ++k)
                conflicts.push_back(rows[k].line);
        } else {
            points.push_back(merged);
        }
        i = j;
    }
    return points;
}

// The litres at 0, 1, 2 … cm when the points give them under the rule.
bool as_it_stands(const std::vector<StrapPoint>& points, AsIsRule rule, PARTAB& litres) {
    std::vector<int32_t> at_cm;
    if (rule == AsIsRule::every_point) {
        for (std::size_t i = 0; i < points.size(); ++i) {
            const StrapPoint& p = points[i];
            if (!p.whole_centimetre || !p.whole_litres || p.tenths != static_cast<int64_t>(i) * 100)
                return false;
            at_cm.push_back(p.litres);
        }
    } else {
        for (const StrapPoint& p : points) {
            if (p.tenths < 0)
                return false;
            if (p.whole_centimetre && p.tenths == static_cast<int64_t>(at_cm.size()) * 100)
                at_cm.push_back(p.litres);
        }
        // Every whole centimetre up to the highest point, and a table of two at least.
        const int64_t top_cm = points.back().tenths / 100;
        if (at_cm.size() < 2 || static_cast<int64_t>(at_cm.size()) != top_cm + 1)
            return false;
    }
    litres.resize(static_cast<int32_t>(at_cm.size()));
    for (std::size_t i = 0; i < at_cm.size(); ++i)
        litres.point(static_cast<int32_t>(i)) = at_cm[i];
    return true;
}

// On the tenths of a millimetre the points give and exactly, not on the whole millimetres and in
// the single precision of an .f1 file.
bool resample(const std::vector<StrapPoint>& points, PARTAB& out) {
    std::vector<LevelPoint> levels;
    levels.reserve(points.size());
    for (const StrapPoint& p : points)
        levels.push_back(LevelPoint{p.tenths, p.litres});
    return resample_points(std::move(levels), 100, LineArithmetic::exact, out);
}

void fill_table(FORMA& table, const PARTAB& litres, const std::string& header_utf8) {
    table.make_empty(kFormFs);
    table.levels.reserve(litres.count(), static_cast<std::size_t>(litres.count()) * 5);
    table.volumes.reserve(litres.count(), static_cast<std::size_t>(litres.count()) * 8);
    for (int32_t i = 0; i < litres.count(); ++i)
        table.add_point({}, text_of_integer(litres.point(i)));
    table.set_flag(kFilled, litres.count() >= 2);
    table.name = utf8_to_cp1251(header_utf8);
}

} // namespace

void LineRefusal::add(std::vector<int32_t> lines, const std::string& what_utf8) {
    if (!lines.empty())
        text_ += (text_.empty() ? "" : "\r") + lines_text(std::move(lines)) + ": " + what_utf8;
}

std::string LineRefusal::text() const { return cp(text_); }

bool make_strap_table(int32_t channel, std::vector<StrapPoint> rows, AsIsRule rule,
                      const std::string& header_utf8, FORMA& table, bool& resampled,
                      StrapSummary& summary, LineRefusal& refused) {
    const std::string name = "канал " + text_of_integer(channel);
    std::vector<int32_t> lines;
    for (const StrapPoint& p : rows)
        lines.push_back(p.line);
    std::vector<int32_t> conflicts;
    const std::vector<StrapPoint> points = merged_points(std::move(rows), conflicts);
    refused.add(conflicts, name + ": на одном уровне разные объёмы");
    if (!conflicts.empty())
        return false;
    if (points.size() < 2) {
        refused.add(lines, name + ": меньше двух точек");
        return false;
    }
    summary.points = static_cast<int32_t>(points.size());
    summary.top_tenths = points.back().tenths;
    PARTAB litres;
    resampled = false;
    if (!as_it_stands(points, rule, litres)) {
        if (!resample(points, litres)) {
            refused.add(lines, name + ": не пересчитывается на каждый сантиметр уровня");
            return false;
        }
        resampled = true;
    }
    fill_table(table, litres, header_utf8);
    return true;
}

} // namespace tgm
