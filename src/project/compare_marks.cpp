#include "project/compare_marks.h"

#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "support/cp1251.h"

#include <algorithm>

namespace tgm {
namespace {

// The same tables as far as a comparison sees them: the headers play no part.
bool same_points(const FDATA& a, const FDATA& b) {
    if (a.count != b.count)
        return false;
    for (int32_t k = 0; k < static_cast<int32_t>(a.count); ++k) {
        const FORMA& x = a.table(k);
        const FORMA& y = b.table(k);
        if (x.form_type != y.form_type || x.filled() != y.filled() || x.levels != y.levels ||
            x.volumes != y.volumes)
            return false;
    }
    return true;
}

} // namespace

void CompareMarks::take(const GROUPTAB& unit, const std::vector<ChannelDifference>& differences,
                        const FDATA& project) {
    held_ = true;
    channels_ = std::max(unit.count(), static_cast<int32_t>(project.count));
    compared_ = project;
    unit_.fill_from_group(unit, kFormFs);
    differences_ = differences;
}

void CompareMarks::forget() {
    held_ = false;
    channels_ = 0;
    compared_.clear();
    unit_.clear();
    differences_.clear();
}

void CompareMarks::follow(const FDATA& project) {
    if (held_ && !same_points(project, compared_))
        forget();
}

const ChannelDifference* CompareMarks::difference(int32_t k) const {
    for (const ChannelDifference& d : differences_)
        if (d.channel == k + 1)
            return &d;
    return nullptr;
}

CompareMarks::Mark CompareMarks::mark(int32_t k) const {
    if (!held_ || k < 0 || k >= channels_)
        return Mark::none;
    const ChannelDifference* d = difference(k);
    if (!d)
        return Mark::same;
    switch (d->kind) {
    case ChannelDifference::Kind::differs: return Mark::differs;
    case ChannelDifference::Kind::unit_only: return Mark::unit_only;
    case ChannelDifference::Kind::project_only: return Mark::project_only;
    case ChannelDifference::Kind::unconverted: return Mark::unconverted;
    }
    return Mark::differs;
}

std::string CompareMarks::text(int32_t k) const {
    if (mark(k) == Mark::none)
        return std::string();
    if (const ChannelDifference* d = difference(k))
        return difference_text(*d);
    return cp("Канал ") + text_of_integer(k + 1) + cp(": таблица совпадает с таблицей системы");
}

int32_t CompareMarks::first_drawn_difference() const {
    for (const ChannelDifference& d : differences_) {
        const int32_t k = d.channel - 1;
        if (d.kind == ChannelDifference::Kind::differs && k < static_cast<int32_t>(unit_.count) &&
            k < static_cast<int32_t>(compared_.count) && unit_.table(k).filled() &&
            compared_.table(k).filled())
            return k;
    }
    return -1;
}

} // namespace tgm
