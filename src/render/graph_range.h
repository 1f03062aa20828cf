#pragma once
// The shown part of a table graph: which levels and volumes fill the plot, the pixel scales, and
// the level under a pixel column. Plain arithmetic, kept apart from the drawing so that it can
// be checked without a window.
#include "model/partab.h"

#include <cstdint>

namespace tgm {

// Pixel bounds of a plot; y grows downwards, so bottom > top.
struct PlotArea {
    int32_t left = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t top = 0;
};

// A pixel coordinate from a floating-point value, truncated toward zero. Values far outside any
// image (a wild difference on a zoomed plot) are held at a bound that keeps the line's
// direction and stays inside the integer range.
int32_t pixel_of(float value);

class GraphRange {
public:
    PlotArea plot;
    float first_level = 0;
    float last_level = 0;
    float span = 0;
    float volume_low = 0;
    float volume_high = 0;
    float volume_span = 0;
    float x_scale = 0;
    float y_scale = 0;
    bool zoomed = false;

    // Nothing shown: the next range shows the whole table.
    void clear();
    // The range of width `width` around level `centre` of `table`. False, leaving this range as
    // it was, when it would show no level span or no volume span of `table`. The volumes shown
    // also take in those of `also` at the same levels (a second table drawn over the first).
    bool set_range(const PARTAB& table, int32_t centre, int32_t width,
                   const PARTAB* also = nullptr);
    // A range has been taken over (a shown range always ends above level 0).
    bool shown() const { return last_level != 0; }
    // The level under pixel column x; -1 while nothing is shown.
    int32_t level_at(int32_t x) const;
    // The pixel column of a level and the pixel row of a volume.
    int32_t x_of(float level) const;
    int32_t y_of(float volume) const;
    // The editor's scroll bar: position and small step.
    int32_t scroll_position() const;
    int32_t small_step() const;
    // Same levels and volumes shown, so the same drawing.
    bool same_view(const GraphRange& other) const;
};

} // namespace tgm
