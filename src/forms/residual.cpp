#include "forms/residual.h"

#include "forms/form_kind.h"
#include "forms/number_text.h"

#include <vector>

namespace tgm {
namespace {

// The unit's arithmetic is 32-bit and wraps; computed unsigned so no signed overflow occurs.
int32_t wadd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t wsub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
int32_t wabs(int32_t a) { return a < 0 ? wsub(0, a) : a; }
bool in_range(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

// Fills downwards from k with a step that starts at d and grows by s; returns the index where
// the fill stopped, or -1 when it reached index 0.
int32_t fill_down(std::vector<int32_t>& v, int32_t k, int32_t d, int32_t s, int64_t& work) {
    int32_t step = d;
    for (int32_t m = k; m > 0; --m) {
        ++work;
        step = wadd(step, s);
        if (step < 0)
            step = 0;
        if (step > 32767)
            step = 32767;
        if (v[m] < step)
            return m - 1;
        v[m - 1] = wsub(v[m], step);
    }
    return -1;
}

// False when the search bound was reached.
bool correct(std::vector<int32_t>& v, int32_t max_attempts) {
    const int32_t n = static_cast<int32_t>(v.size());
    int32_t k = -1;
    for (int32_t i = 0; i <= n - 3; ++i) {
        if (v[i] > 0) {
            k = i;
            break;
        }
    }
    if (k <= 0)
        return true;
    const int32_t d = wsub(v[k + 1], v[k]);
    int32_t s = wsub(d, wsub(v[k + 2], v[k + 1]));
    bool first_phase = true;
    int64_t work = 0;
    for (int32_t attempt = 0; attempt < max_attempts && work < kResidualMaxWork; ++attempt) {
        const int32_t j = fill_down(v, k, d, s, work);
        if (j < 0) {
            if (in_range(v[0], 0, 32767))
                return true;
            s = wadd(s, 1);
        } else {
            if (in_range(wsub(v[j + 1], v[j]), -128, 127) &&
                in_range(wsub(v[j + 2], v[j + 1]), -128, 127))
                return true;
            s = wsub(s, 1);
        }
        if (wabs(s) > wabs(d) / 2)
            return true;
        if (first_phase) {
            if (!in_range(wsub(0, s), -128, 127))
                first_phase = false;
        } else if (!in_range(wadd(d, s), 0, 32767)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool correct_residual_area(FORMA& table, int32_t max_attempts, int32_t* changed) {
    if (table.form_type != kFormFs)
        return false;
    const int32_t n = table.point_count();
    std::vector<int32_t> v(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        if (!integer_of_text(table.volume_text(i), v[static_cast<std::size_t>(i)]))
            return false;
    const std::vector<int32_t> before = v;
    if (!correct(v, max_attempts))
        return false;
    if (changed) {
        *changed = 0;
        for (std::size_t i = 0; i < v.size(); ++i)
            *changed += v[i] != before[i] ? 1 : 0;
    }
    // Rebuilt whole: replacing texts one by one would move the column's tail n times.
    TFormList corrected;
    corrected.reserve(n, static_cast<std::size_t>(n) * 6);
    char digits[24];
    for (int32_t i = 0; i < n; ++i)
        corrected.add(
            std::string_view(digits, format_integer(v[static_cast<std::size_t>(i)], digits)));
    table.volumes = std::move(corrected);
    return true;
}

} // namespace tgm
