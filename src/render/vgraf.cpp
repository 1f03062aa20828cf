#include "render/vgraf.h"

#include "forms/convert.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tgm {
namespace {

constexpr int32_t kMargin = 40;
constexpr int32_t kVolumeMargin = 20;
constexpr int32_t kLevelTick = 4;
constexpr int32_t kVolumeTick = 2;
constexpr int32_t kLabelX = 2;

int32_t truncated(float value) { return static_cast<int32_t>(value); }

QFont graph_font() {
    QFont font;
    font.setPixelSize(10);
    return font;
}

// One pixel wide on the screen; on a page's finer image one of its pixels, not one dot.
QPen line_pen(const QPainter& p, const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
    return QPen(colour, p.device()->devicePixelRatio() > 1 ? 1.0 : 0.0, style);
}

// Texts are placed by their top-left corner.
void text_at(QPainter& p, int32_t x, int32_t y, const QString& text) {
    p.drawText(x, y + p.fontMetrics().ascent(), text);
}

void text_centred_below(QPainter& p, int32_t x, int32_t y, const QString& text) {
    text_at(p, x - p.fontMetrics().horizontalAdvance(text) / 2, y, text);
}

void text_left_of_axis(QPainter& p, int32_t y, const QString& text) {
    text_at(p, kLabelX, y - p.fontMetrics().height() / 2, text);
}

// Ticks from `low` in steps of `step`, the last one cut to `high` so that it lies exactly there.
template <typename Tick>
void for_each_tick(float low, float high, float step, Tick tick) {
    // A hair below a whole number of steps still counts as that number: the float steps of a
    // tenth of the span must not add a tick right beside the last one.
    const int32_t steps = static_cast<int32_t>(std::ceil((high - low) / step - 0.001f));
    for (int32_t k = 0; k < steps; ++k)
        tick(low + static_cast<float>(k) * step);
    tick(high);
}

QString label(float value) { return QString::number(truncated(value)); }

} // namespace

VGRAF::VGRAF(QImage* image) : image_(image) { lay_out(); }

void VGRAF::lay_out() {
    // A page's image is drawn at the editor's size in pixels of several dots each.
    const QSizeF size = image_->deviceIndependentSize();
    const int32_t w = static_cast<int32_t>(size.width());
    const int32_t h = static_cast<int32_t>(size.height());
    range_.plot = PlotArea{kMargin, w - kMargin, h - kVolumeMargin, kVolumeMargin};
    diff_plot_ = PlotArea{kMargin, w - kMargin, h - kMargin, kMargin};
}

void VGRAF::clear_image() {
    image_->fill(Qt::white);
    cursor_drawn_ = false;
    band_drawn_ = false;
    drawn_ = false;
}

void VGRAF::reset_view(bool control) {
    control_ = control;
    selecting_ = false;
    band_start_ = band_end_ = Corner{};
    cursor_level_ = 0;
    // The last table's range must not linger: nothing is shown until the next range.
    range_.clear();
    lay_out();
    clear_image();
}

void VGRAF::resize_view() {
    lay_out();
    clear_image();
    selecting_ = false;
    if (range_.shown())
        redraw_view();
}

void VGRAF::prepare_graph(const FORMA& table, int32_t mode) {
    valid_ = convert_table(table, volumes_table_);
    diff_mode_ = mode;
    control_text_.clear();
    differences_.clear_points();
    drawn_ = false;
    if (!valid_) {
        control_text_ = "-";
    } else if (control_ && volumes_table_.count() >= 2) {
        PARTAB second;
        PARTAB first;
        const bool second_ok = volumes_table_.check_second_diff(second);
        const bool first_ok = volumes_table_.check_first_diff(first);
        differences_ = mode == kSecondDiff ? std::move(second) : std::move(first);
        control_text_ = second_ok ? "OK " : first_ok ? "OK*" : "OK**";
    }
    if (mode == kSecondDiff) {
        diff_low_ = -128;
        diff_high_ = 127;
    } else {
        diff_low_ = -32768;
        diff_high_ = 32767;
    }
    diff_range_ = diff_high_ - diff_low_;
    const float n = static_cast<float>(whole_width());
    if (range_.span == 0 || range_.span > n)
        range_.span = n;
}

bool VGRAF::set_overlay(const FORMA* table, const QString& label) {
    overlay_valid_ = table && convert_table(*table, overlay_table_);
    if (!overlay_valid_)
        overlay_table_.clear_points();
    overlay_label_ = label;
    drawn_ = false;
    return overlay_valid_ || !table;
}

bool VGRAF::set_view(int32_t centre, int32_t width) {
    if (!valid_)
        return false;
    GraphRange next = range_;
    if (!next.set_range(volumes_table_, centre, width,
                        overlay_valid_ ? &overlay_table_ : nullptr)) {
        show_cursor();
        return false;
    }
    const bool unchanged = drawn_ && next.same_view(range_);
    range_ = next;
    if (static_cast<float>(cursor_level_) > range_.last_level)
        cursor_level_ = truncated(range_.last_level);
    if (!unchanged) {
        QPainter p(image_); // ends before the cursor's own painter starts
        p.setFont(graph_font());
        draw_volume_curve(p);
        if (control_) {
            diff_first_ = range_.first_level;
            diff_last_ = range_.last_level;
            diff_span_ = range_.span;
            diff_x_scale_ = static_cast<float>(diff_plot_.right - diff_plot_.left) / diff_span_;
            diff_y_scale_ = static_cast<float>(diff_plot_.top - diff_plot_.bottom) / diff_range_;
            draw_difference_curve(p);
            if (overlay_valid_)
                draw_overlay_difference(p);
        }
        p.end();
        cursor_drawn_ = false;
        band_drawn_ = false;
        drawn_ = true;
    }
    show_cursor();
    return true;
}

void VGRAF::redraw_view() {
    // A whole table stays whole: an odd width around the cursor would drop one end level.
    set_view(cursor_level_, range_.zoomed ? truncated(range_.span) : whole_width());
}

void VGRAF::show_all() { set_view(cursor_level_, whole_width()); }

void VGRAF::narrow_range() { set_view(cursor_level_, truncated(range_.span / 2)); }

void VGRAF::widen_range() { set_view(cursor_level_, truncated(range_.span * 2)); }

void VGRAF::scroll_to(int32_t level) {
    hide_cursor();
    cursor_level_ = level;
    redraw_view();
}

void VGRAF::move_cursor(int32_t level) {
    if (!range_.shown() || static_cast<float>(level) < range_.first_level ||
        static_cast<float>(level) > range_.last_level) {
        scroll_to(level);
        return;
    }
    cursor_level_ = level;
    show_cursor();
}

void VGRAF::draw_volume_curve(QPainter& p) {
    const GraphRange& r = range_;
    const PlotArea& a = r.plot;
    p.fillRect(image_->rect(), Qt::white);
    p.setPen(line_pen(p, Qt::black));

    p.drawLine(a.left, a.bottom, a.right, a.bottom);
    text_at(p, a.right + 2, a.bottom - 20, QString::fromUtf8("L[см]"));
    p.drawLine(a.left, a.bottom, a.left, a.top);
    text_at(p, 2, 2, QString::fromUtf8("V[литр]"));

    auto level_tick = [&](float level) {
        const int32_t x = r.x_of(level);
        p.drawLine(x, a.bottom - kLevelTick, x, a.bottom + kLevelTick);
        text_centred_below(p, x, a.bottom + kLevelTick + 1, label(level));
    };
    auto volume_tick = [&](float volume) {
        const int32_t y = r.y_of(volume);
        p.drawLine(a.left - kVolumeTick, y, a.left + kVolumeTick, y);
        text_left_of_axis(p, y, label(volume));
    };
    const int32_t first = truncated(r.first_level);
    const int32_t levels = truncated(r.span);
    const int32_t* v = volumes_table_.points() + first;
    if (r.span <= 20) {
        for (int32_t i = 0; i <= levels; ++i) {
            level_tick(r.first_level + static_cast<float>(i));
            volume_tick(static_cast<float>(v[i]));
        }
    } else {
        for_each_tick(r.first_level, r.last_level, r.span * 0.1f, level_tick);
        for_each_tick(r.volume_low, r.volume_high, r.volume_span > 10 ? r.volume_span * 0.1f : 1.0f,
                      volume_tick);
    }

    const QPolygon curve = volume_curve(volumes_table_);
    p.drawPolyline(curve);
    text_at(p, curve.last().x(), curve.last().y(), QStringLiteral("V(L)"));
    if (!overlay_valid_)
        return;
    // Dashed, so that where the two lie on each other both are seen.
    const QPolygon second = volume_curve(overlay_table_);
    if (second.isEmpty())
        return;
    QPen dashed = line_pen(p, QColor::fromRgb(kOverlayColour));
    dashed.setDashPattern({4, 4});
    p.setPen(dashed);
    p.drawPolyline(second);
    p.setPen(line_pen(p, QColor::fromRgb(kOverlayColour)));
    // Left of its end, where a rising curve leaves room and the first one's name is not.
    text_at(p, second.last().x() - p.fontMetrics().horizontalAdvance(overlay_label_) - 4,
            second.last().y(), overlay_label_);
}

QPolygon VGRAF::volume_curve(const PARTAB& table) const {
    const GraphRange& r = range_;
    const int32_t first = truncated(r.first_level);
    const int32_t levels = std::min(truncated(r.span), table.count() - 1 - first);
    if (levels < 0)
        return QPolygon();
    const int32_t* v = table.points() + first;
    QPolygon curve(levels + 1);
    for (int32_t i = 0; i <= levels; ++i)
        curve.setPoint(
            i, pixel_of(static_cast<float>(i) * r.x_scale + static_cast<float>(r.plot.left)),
            r.y_of(static_cast<float>(v[i])));
    return curve;
}

int32_t VGRAF::diff_x_of(int32_t i) const {
    return pixel_of(static_cast<float>(i) * diff_x_scale_ + static_cast<float>(diff_plot_.left));
}

int32_t VGRAF::diff_y_of(int32_t value) const {
    const int32_t middle = diff_plot_.bottom + (diff_plot_.top - diff_plot_.bottom) / 2;
    return pixel_of(static_cast<float>(value) * diff_y_scale_ + static_cast<float>(middle));
}

void VGRAF::draw_difference_curve(QPainter& p) {
    const PlotArea& a = diff_plot_;
    const QString name = diff_mode_ == kSecondDiff ? QStringLiteral("ddV") : QStringLiteral("dV");
    p.setPen(line_pen(p, Qt::red));
    text_at(p, a.left, 2, name);

    const int32_t label_height = p.fontMetrics().height();
    p.setPen(line_pen(p, Qt::red, Qt::DashLine));
    p.drawLine(a.left, a.bottom, a.right, a.bottom);
    p.drawLine(a.left, a.top, a.right, a.top);
    text_at(p, a.left + 2, a.bottom - label_height, label(diff_low_));
    text_at(p, a.left + 2, a.top - label_height, label(diff_high_));
    text_at(p, a.left + 2, a.bottom + (a.top - a.bottom) / 2 - label_height / 2,
            QStringLiteral("0"));

    if (differences_.count() != volumes_table_.count())
        return;
    // From level 0 the first two values are the start value and the first step, not second
    // differences.
    const int32_t start = diff_mode_ == kSecondDiff && diff_first_ == 0 ? 2 : 0;
    const int32_t levels = truncated(diff_span_);
    if (start > levels)
        return;
    const int32_t* d = differences_.points() + truncated(diff_first_);
    QPolygon curve(levels + 1 - start);
    for (int32_t i = start; i <= levels; ++i)
        curve.setPoint(i - start, diff_x_of(i), diff_y_of(d[i]));
    p.setPen(line_pen(p, Qt::red));
    p.drawPolyline(curve);
    text_at(p, curve.last().x(), curve.last().y(), name + QStringLiteral("(L)"));
}

// The second table less the first, level by level, between dashed lines at its largest size
// either way: a difference of one litre is seen as well as one of a thousand.
void VGRAF::draw_overlay_difference(QPainter& p) {
    const PlotArea& a = diff_plot_;
    const int32_t first = truncated(diff_first_);
    const int32_t last =
        std::min({truncated(diff_last_), overlay_table_.count() - 1, volumes_table_.count() - 1});
    if (last < first)
        return;
    const int32_t* ours = volumes_table_.points();
    const int32_t* theirs = overlay_table_.points();
    int64_t largest = 1;
    for (int32_t i = first; i <= last; ++i)
        largest = std::max(largest, std::abs(int64_t{theirs[i]} - ours[i]));
    const int32_t middle = a.bottom + (a.top - a.bottom) / 2;
    const float scale = static_cast<float>(a.top - a.bottom) / 2 / static_cast<float>(largest);
    QPolygon curve(last - first + 1);
    for (int32_t i = first; i <= last; ++i)
        curve.setPoint(i - first, diff_x_of(i - first),
                       pixel_of(static_cast<float>(int64_t{theirs[i]} - ours[i]) * scale +
                                static_cast<float>(middle)));
    const QColor colour = QColor::fromRgb(kOverlayColour);
    p.setPen(line_pen(p, colour));
    p.drawPolyline(curve);
    const QString name = QString::fromUtf8("ΔV");
    const int32_t label_height = p.fontMetrics().height();
    // A line below, off the first curve's name when both end near 0.
    text_at(p, curve.last().x(), curve.last().y() + label_height, name + QStringLiteral("(L)"));
    // Inside the dashed lines, at the right: the first curve's labels stand outside, at the left.
    const QString high = QStringLiteral("+") + QString::number(largest);
    const QString low = QString::fromUtf8("−") + QString::number(largest);
    text_at(p, a.right - p.fontMetrics().horizontalAdvance(high) - 2, a.top + 1, high);
    text_at(p, a.right - p.fontMetrics().horizontalAdvance(low) - 2, a.bottom - label_height, low);
    text_at(p, a.right - p.fontMetrics().horizontalAdvance(name) - 2, 2, name);
}

void VGRAF::invert_cursor(int32_t x) {
    QPainter p(image_);
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.setPen(QPen(QColor(0, 128, 0), 0, Qt::DashLine));
    p.drawLine(x, range_.plot.bottom, x, range_.plot.top);
}

void VGRAF::invert_band() {
    QPainter p(image_);
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.setPen(QPen(Qt::black, 0, Qt::DashLine));
    p.drawRect(
        QRect(QPoint(std::min(band_start_.x, band_end_.x), std::min(band_start_.y, band_end_.y)),
              QPoint(std::max(band_start_.x, band_end_.x), std::max(band_start_.y, band_end_.y))));
}

void VGRAF::show_cursor() {
    if (!range_.shown())
        return;
    const int32_t x = range_.x_of(static_cast<float>(cursor_level_));
    if (cursor_drawn_ && cursor_x_ == x)
        return;
    hide_cursor();
    invert_cursor(x);
    cursor_x_ = x;
    cursor_drawn_ = true;
}

void VGRAF::hide_cursor() {
    if (!cursor_drawn_)
        return;
    invert_cursor(cursor_x_);
    cursor_drawn_ = false;
}

void VGRAF::start_band(int32_t x, int32_t y) {
    if (band_drawn_) {
        invert_band();
        band_drawn_ = false;
    }
    band_start_ = band_end_ = Corner{x, y};
}

void VGRAF::drag_band(int32_t x, int32_t y) {
    selecting_ = true;
    if (band_drawn_)
        invert_band();
    band_end_ = Corner{x, y};
    invert_band();
    band_drawn_ = true;
}

void VGRAF::finish_band(int32_t x, int32_t y) {
    if (band_drawn_) {
        invert_band();
        band_drawn_ = false;
    }
    hide_cursor();
    selecting_ = false;
    band_end_ = Corner{x, y};
    const int32_t left = std::min(band_start_.x, band_end_.x);
    const int32_t right = std::max(band_start_.x, band_end_.x);
    cursor_level_ = level_at((left + right) / 2);
    if (right - left > 10)
        set_view(cursor_level_, level_at(right) - level_at(left));
    else
        show_cursor();
}

} // namespace tgm
