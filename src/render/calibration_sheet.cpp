#include "render/calibration_sheet.h"

#include "forms/convert.h"
#include "forms/fdata.h"
#include "forms/form_kind.h"
#include "forms/table_crc.h"
#include "project/eproject.h"
#include "render/gui_text.h"
#include "render/vgraf.h"
#include "support/atomic_file.h"
#include "support/syscfg.h"
#include "support/tappinfo.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace tgm {
namespace {

// The graph as the editor draws it with the control display on, at the editor's size, in
// pixels of kGraphDots dots: texts print at about 8 pt and lines at about 0.3 mm.
constexpr int kGraphWidth = 600;
constexpr int kGraphHeight = 450;
constexpr int kGraphDots = 4;
constexpr int kPdfResolution = 300;

// Vertical places on a page, in millimetres from the top of the text area (267 mm high).
constexpr double kHeadingLine = 6.5;
constexpr double kRunningHead = 6.0;
constexpr double kColumnHead = 7.0;
constexpr double kRowHeight = 4.0;
constexpr double kSignaturesTop = 224.0;
constexpr double kSignatureSpacing = 16.0;
constexpr double kFooterRule = 259.0;

QFont font(double points, bool bold = false, bool italic = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

} // namespace

struct CalibrationSheet::Page {
    double dots_per_mm = 1;
    double width = 0; // the text area, in device pixels
    double height = 0;

    double mm(double v) const { return v * dots_per_mm; }
    QRectF box(double x, double y, double w, double h) const {
        return QRectF(mm(x), mm(y), mm(w), mm(h));
    }
    double width_mm() const { return width / dots_per_mm; }
};

CalibrationSheet::CalibrationSheet(const EPROJECT& project, int32_t tables, const QDate& date)
    : project_(project) {
    for (int32_t k = 0; k < project.count(); ++k) {
        if (tables >= 0 && k != tables)
            continue;
        const FORMA& form = project.tables().table(k);
        Table t;
        if (!form.filled() || !convert_table(form, t.litres))
            continue;
        t.channel = k + 1;
        t.header = qs(project.header(k));
        t.control = qs(project.control_text(k));
        t.crc = QString::fromStdString(crc_text(table_crc(t.litres)));
        t.pages = 1 + (t.litres.count() + kPointsPerPage - 1) / kPointsPerPage;
        tables_.push_back(std::move(t));
    }
    source_ = name_text(project.name());
    resampled_source_ = form_type_of_file(project.name()) == kFormF1;
    const std::string title = config().title().empty() ? default_title() : config().title();
    program_ = qs(title) + u(", версия ") + QString::fromStdString(TAppInfo().version_text());
    date_ = date.toString(QStringLiteral("dd.MM.yyyy"));
}

int32_t CalibrationSheet::page_count() const {
    int32_t pages = 0;
    for (const Table& t : tables_)
        pages += t.pages;
    return pages;
}

QPageLayout CalibrationSheet::page_layout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

bool CalibrationSheet::print(QPagedPaintDevice& device) const {
    QPainter p;
    if (!p.begin(&device))
        return false;
    p.setRenderHint(QPainter::Antialiasing);
    Page page;
    page.dots_per_mm = device.logicalDpiX() / 25.4;
    page.width = device.width();
    page.height = device.height();
    bool first = true;
    for (const Table& t : tables_) {
        for (int32_t sheet = 1; sheet <= t.pages; ++sheet) {
            if (!first && !device.newPage())
                return false;
            first = false;
            if (sheet == 1)
                draw_first_page(p, page, t);
            else
                draw_points_page(p, page, t, (sheet - 2) * kPointsPerPage);
            if (sheet == t.pages)
                draw_signatures(p, page);
            draw_footer(p, page, sheet, t.pages);
        }
    }
    return p.end();
}

bool CalibrationSheet::write_pdf(const std::string& file_name) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(page_layout());
        writer.setTitle(u("Градуировочные таблицы — ") + source_);
        writer.setCreator(program_);
        painted = print(writer);
    }
    std::string why;
    if (painted && write_file_replacing(file_name, buffer.data().toStdString(), &why))
        return true;
    FDATA::report_write_error(file_name, why);
    return false;
}

void CalibrationSheet::draw_first_page(QPainter& p, const Page& page, const Table& t) const {
    p.setPen(Qt::black);
    p.setFont(font(16, true));
    p.drawText(page.box(0, 0, page.width_mm(), 10), Qt::AlignLeft | Qt::AlignTop,
               u("Градуировочная таблица"));

    const int32_t last = t.litres.count() - 1;
    const QString rows[][2] = {
        {u("Канал"), QString::number(t.channel)},
        {u("Заголовок"), t.header},
        {u("Файл"), source_},
        {u("Контроль"), t.control},
        {u("Уровни"), u("0–%1 см, ёмкость %2 л").arg(last).arg(t.litres.point(last))},
        {u("Дата печати"), date_},
        {u("CRC-32"), t.crc},
    };
    double y = 12;
    for (const auto& row : rows) {
        p.setFont(font(10.5, true));
        p.drawText(page.box(0, y, 34, kHeadingLine), Qt::AlignLeft | Qt::AlignTop, row[0]);
        p.setFont(font(10.5));
        // A long header or path wraps onto a second line rather than running off the page.
        const QRectF value = page.box(36, y, page.width_mm() - 36, 2 * kHeadingLine);
        QRectF used;
        p.drawText(value, Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, row[1], &used);
        y += std::max(kHeadingLine, used.height() / page.dots_per_mm + 2);
    }
    p.setFont(font(9, false, true));
    QString note = u("Напечатана таблица в том виде, в каком её примет блок: объём в литрах на "
                     "каждый целый сантиметр уровня, столбец «Контроль» — проверка на упаковку "
                     "блоком.");
    if (resampled_source_)
        note += u(" Точки формы .f1 пересчитаны на каждый сантиметр по прямым между ними.");
    QRectF used;
    p.drawText(page.box(0, y + 2, page.width_mm(), 14),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, note, &used);
    y += 2 + used.height() / page.dots_per_mm + 4;

    QImage image(kGraphWidth * kGraphDots, kGraphHeight * kGraphDots, QImage::Format_RGB32);
    image.setDevicePixelRatio(kGraphDots);
    VGRAF graph(&image);
    graph.reset_view(true);
    graph.prepare_graph(project_.tables().table(t.channel - 1), VGRAF::kSecondDiff);
    graph.redraw_view();
    graph.hide_cursor();
    const double w = page.width_mm();
    const QRectF frame = page.box(0, y, w, w * kGraphHeight / kGraphWidth);
    p.drawImage(frame, image);
    p.setPen(QPen(Qt::black, page.mm(0.2)));
    p.drawRect(frame);
}

void CalibrationSheet::draw_points_page(QPainter& p, const Page& page, const Table& t,
                                        int32_t first) const {
    const double w = page.width_mm();
    p.setPen(Qt::black);
    p.setFont(font(9));
    const QString head = u("Канал %1 · %2 · CRC-32 %3").arg(t.channel).arg(t.header).arg(t.crc);
    p.drawText(page.box(0, 0, w, kRunningHead), Qt::AlignLeft | Qt::AlignTop,
               p.fontMetrics().elidedText(head, Qt::ElideRight, static_cast<int>(page.width)));

    const double pair = w / kPairs;
    // Levels have at most five digits, litres up to eleven characters ("-2147483648"): 15 and
    // 21 mm hold them at 8 pt, and the captions at 6 pt.
    const double level_width = 15;
    const double top = kRunningHead + kColumnHead;
    const double bottom = top + kRows * kRowHeight;
    const double pad = 1.5;
    for (int32_t c = 0; c < kPairs; ++c) {
        const double x = c * pair;
        p.setFont(font(6));
        p.drawText(page.box(x, kRunningHead, level_width, kColumnHead), Qt::AlignCenter,
                   u("Уровень, см"));
        p.drawText(page.box(x + level_width, kRunningHead, pair - level_width, kColumnHead),
                   Qt::AlignCenter, u("Объём, л"));
        p.setFont(font(8));
        for (int32_t r = 0; r < kRows; ++r) {
            const int32_t i = first + c * kRows + r;
            if (i >= t.litres.count())
                break;
            const double y = top + r * kRowHeight;
            p.drawText(page.box(x, y, level_width - pad, kRowHeight),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(i));
            p.drawText(page.box(x + level_width, y, pair - level_width - pad, kRowHeight),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(t.litres.point(i)));
        }
    }
    // Rules: every pair framed, level and volume apart, a thin line every ten rows.
    p.setPen(QPen(QColor(160, 160, 160), page.mm(0.1)));
    for (int32_t r = 10; r < kRows; r += 10)
        p.drawLine(QPointF(0, page.mm(top + r * kRowHeight)),
                   QPointF(page.width, page.mm(top + r * kRowHeight)));
    p.setPen(QPen(Qt::black, page.mm(0.2)));
    for (int32_t c = 0; c < kPairs; ++c) {
        const double x = c * pair;
        p.drawRect(page.box(x, kRunningHead, pair, bottom - kRunningHead));
        p.drawLine(QPointF(page.mm(x + level_width), page.mm(kRunningHead)),
                   QPointF(page.mm(x + level_width), page.mm(bottom)));
    }
    p.drawLine(QPointF(0, page.mm(top)), QPointF(page.width, page.mm(top)));
}

void CalibrationSheet::draw_signatures(QPainter& p, const Page& page) const {
    const double w = page.width_mm();
    // Name, signature and date lines, each with its caption below.
    const struct {
        double from;
        double to;
        const char* caption;
    } lines[] = {{28, 92, "фамилия, инициалы"}, {98, 138, "подпись"}, {144, w, "дата"}};
    double y = kSignaturesTop;
    for (const char* role : {"Составил", "Проверил"}) {
        p.setPen(QPen(Qt::black, page.mm(0.2)));
        p.setFont(font(10.5, true));
        p.drawText(page.box(0, y, 28, 7), Qt::AlignLeft | Qt::AlignBottom, u(role));
        p.setFont(font(7));
        for (const auto& l : lines) {
            p.drawLine(QPointF(page.mm(l.from), page.mm(y + 7)),
                       QPointF(page.mm(l.to), page.mm(y + 7)));
            p.drawText(page.box(l.from, y + 7.5, l.to - l.from, 4), Qt::AlignHCenter | Qt::AlignTop,
                       u(l.caption));
        }
        y += kSignatureSpacing;
    }
}

void CalibrationSheet::draw_footer(QPainter& p, const Page& page, int32_t sheet,
                                   int32_t sheets) const {
    const double w = page.width_mm();
    p.setPen(QPen(Qt::black, page.mm(0.2)));
    p.drawLine(QPointF(0, page.mm(kFooterRule)), QPointF(page.width, page.mm(kFooterRule)));
    p.setFont(font(8));
    const QRectF line = page.box(0, kFooterRule + 1, w, 6);
    p.drawText(line, Qt::AlignLeft | Qt::AlignTop, u("Лист %1 из %2").arg(sheet).arg(sheets));
    p.drawText(line, Qt::AlignRight | Qt::AlignTop, program_);
}

} // namespace tgm
