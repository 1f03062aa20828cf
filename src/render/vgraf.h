#pragma once
// The graph of one table: the volume curve V(L) over the shown levels and, with the control
// display on, the curve of the differences that the unit's packed layouts must hold. It keeps
// the shown range (zoom and scroll), a cursor level and the rubber band with which the user
// zooms. It draws on a raster image that its owner shows (a window, an image file, a page).
// A second table (the unit's, another file's) may be drawn over the first in a second colour.
#include "forms/forma.h"
#include "model/partab.h"
#include "render/graph_range.h"

#include <QString>
#include <cstdint>
#include <string>

class QImage;
class QPainter;
class QPolygon;

namespace tgm {

class VGRAF {
public:
    // Mode 0 shows second differences ("ddV"), mode 1 first differences ("dV").
    enum { kSecondDiff = 0, kFirstDiff = 1 };
    // The second table's colour (a QRgb): no other line of the graph is drawn in it.
    static constexpr uint32_t kOverlayColour = 0xff0000ff;

    // `image` stays the caller's; it must be a 32-bit RGB image for the inverting lines.
    explicit VGRAF(QImage* image);

    // Whole table next, cursor at level 0, the plots laid out for the image; a white image.
    void reset_view(bool control);
    // The image was made anew at another size: the plots are laid out again and the shown
    // range is drawn again, keeping its width, the cursor and the zoom.
    void resize_view();
    // Converts and tests the table; keeps the range's width unless it exceeds the table.
    void prepare_graph(const FORMA& table, int32_t mode);

    // A second table drawn over the prepared one, in the second colour: its curve V(L), dashed,
    // named `label` at its end, and with the control display on, the curve of its litres less
    // the first table's at every shown level both hold, on a scale of its own (its largest
    // size in the range). It is kept as numbers and never changed; the volume range takes it
    // in. nullptr takes it away; false, and nothing drawn for it, when it does not convert.
    // The next view draws it.
    bool set_overlay(const FORMA* table, const QString& label);
    bool has_overlay() const { return overlay_valid_; }
    const PARTAB& overlay_table() const { return overlay_table_; }

    // Shows the range of width `width` around level `centre`; false when the range stayed.
    bool set_view(int32_t centre, int32_t width);
    void redraw_view();
    void show_all();
    void narrow_range();
    void widen_range();
    void scroll_to(int32_t level);
    // Moves the cursor line to `level`; the view moves only when the level lies outside it.
    void move_cursor(int32_t level);
    // Takes the cursor line off the image (a printed graph has none); the next view draws it.
    void hide_cursor();

    void start_band(int32_t x, int32_t y);
    void drag_band(int32_t x, int32_t y);
    void finish_band(int32_t x, int32_t y);

    int32_t level_at(int32_t x) const { return range_.level_at(x); }

    bool valid() const { return valid_; }
    bool zoomed() const { return range_.zoomed; }
    bool selecting() const { return selecting_; }
    int32_t cursor_level() const { return cursor_level_; }
    const std::string& control_text() const { return control_text_; }
    int32_t diff_mode() const { return diff_mode_; }
    const PARTAB& volumes_table() const { return volumes_table_; }
    // The values of the last encodability test, one per point; empty with the control off.
    const PARTAB& differences() const { return differences_; }
    const GraphRange& range() const { return range_; }
    const PlotArea& diff_plot() const { return diff_plot_; }
    // The editor's scroll bar.
    int32_t scroll_minimum() const { return 0; }
    int32_t scroll_maximum() const { return volumes_table_.count() - 1; }
    int32_t scroll_position() const { return range_.scroll_position(); }
    int32_t small_step() const { return range_.small_step(); }

private:
    struct Corner {
        int32_t x = 0;
        int32_t y = 0;
    };

    void lay_out();
    void clear_image();
    int32_t whole_width() const { return volumes_table_.count(); }
    void draw_volume_curve(QPainter& p);
    void draw_difference_curve(QPainter& p);
    void draw_overlay_difference(QPainter& p);
    // The volume curve of `table` over the shown levels it holds; empty when it holds none.
    QPolygon volume_curve(const PARTAB& table) const;
    int32_t diff_x_of(int32_t i) const;
    int32_t diff_y_of(int32_t value) const;
    void invert_cursor(int32_t x);
    void invert_band();
    // The cursor line at the cursor's level, drawn once.
    void show_cursor();

    bool selecting_ = false;
    bool control_ = false;
    bool valid_ = false;
    QImage* image_;
    Corner band_start_;
    Corner band_end_;
    int32_t cursor_level_ = 0;
    GraphRange range_;
    PlotArea diff_plot_;
    float diff_first_ = 0;
    float diff_last_ = 0;
    float diff_span_ = 0;
    float diff_low_ = -128;
    float diff_high_ = 127;
    float diff_range_ = 255;
    float diff_x_scale_ = 0;
    float diff_y_scale_ = 0;
    PARTAB volumes_table_;
    PARTAB differences_;
    int32_t diff_mode_ = kSecondDiff;
    std::string control_text_;
    bool overlay_valid_ = false;
    PARTAB overlay_table_;
    QString overlay_label_;

    // What the image holds besides the curves: the inverted cursor column and the band.
    // `drawn_` is set while the curves on the image are those of the shown range and of the
    // prepared table, so that a view that does not move draws nothing but the cursor.
    bool cursor_drawn_ = false;
    int32_t cursor_x_ = 0;
    bool band_drawn_ = false;
    bool drawn_ = false;
};

} // namespace tgm
