#include "render/graph_range.h"

#include <algorithm>

namespace tgm {
namespace {

// Far beyond any image, well inside 32 bits and Qt's fixed-point rasteriser.
constexpr float kPixelBound = 1 << 20;

int32_t truncated(float value) { return static_cast<int32_t>(value); }

} // namespace

int32_t pixel_of(float value) {
    if (!(value > -kPixelBound)) // also NaN
        return -static_cast<int32_t>(kPixelBound);
    if (value > kPixelBound)
        return static_cast<int32_t>(kPixelBound);
    return truncated(value);
}

void GraphRange::clear() {
    first_level = last_level = span = 0;
    volume_low = volume_high = volume_span = 0;
    x_scale = y_scale = 0;
    zoomed = false;
}

bool GraphRange::set_range(const PARTAB& table, int32_t centre, int32_t width, const PARTAB* also) {
    const int64_t n = table.count();
    if (n < 2)
        return false;
    const int64_t half = width / 2;
    int64_t first = int64_t{centre} - half;
    int64_t last = int64_t{centre} + half;
    if (first < 0) {
        first = 0;
        last = std::min<int64_t>(width, n - 1);
    } else if (last > n - 1) {
        last = n - 1;
        first = std::max<int64_t>(last - width, 0);
    }
    if (last <= first)
        return false;
    const bool part = !(first == 0 && last == n - 1);
    const int32_t* v = table.points();
    float low = part ? static_cast<float>(v[first]) : 0.0f;
    float high = low;
    for (int64_t i = first; i <= last; ++i)
        high = std::max(high, static_cast<float>(v[i]));
    if (high - low == 0)
        return false;
    if (also) {
        const int32_t* w = also->points();
        const int64_t end = std::min<int64_t>(last, int64_t{also->count()} - 1);
        if (part && first <= end)
            low = std::min(low, static_cast<float>(w[first]));
        for (int64_t i = first; i <= end; ++i)
            high = std::max(high, static_cast<float>(w[i]));
    }

    first_level = static_cast<float>(first);
    last_level = static_cast<float>(last);
    span = last_level - first_level;
    volume_low = low;
    volume_high = high;
    volume_span = high - low;
    x_scale = static_cast<float>(plot.right - plot.left) / span;
    y_scale = static_cast<float>(plot.top - plot.bottom) / volume_span;
    zoomed = part;
    return true;
}

int32_t GraphRange::level_at(int32_t x) const {
    if (last_level == 0)
        return -1;
    if (x <= plot.left)
        return truncated(first_level);
    if (x >= plot.right)
        return truncated(last_level);
    const float fx = static_cast<float>(x);
    const float half = x_scale / 2;
    const int32_t levels = truncated(span);
    for (int32_t i = 0; i <= levels; ++i) {
        const float c = static_cast<float>(plot.left) + static_cast<float>(i) * x_scale;
        if (c - half < fx && fx <= c + half)
            return truncated(first_level + static_cast<float>(i));
    }
    return truncated(last_level);
}

int32_t GraphRange::x_of(float level) const {
    return pixel_of((level - first_level) * x_scale + static_cast<float>(plot.left));
}

int32_t GraphRange::y_of(float volume) const {
    return pixel_of((volume - volume_low) * y_scale + static_cast<float>(plot.bottom));
}

int32_t GraphRange::scroll_position() const { return truncated((first_level + last_level) / 2); }

int32_t GraphRange::small_step() const { return truncated(span / 3); }

bool GraphRange::same_view(const GraphRange& other) const {
    return first_level == other.first_level && last_level == other.last_level &&
           volume_low == other.volume_low && volume_high == other.volume_high;
}

} // namespace tgm
