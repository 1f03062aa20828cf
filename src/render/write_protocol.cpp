#include "render/write_protocol.h"

#include "forms/table_crc.h"
#include "render/gui_text.h"
#include "render/printed_page.h"

#include <QDateTime>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace tgm {
namespace {

// Vertical places and sizes in millimetres from the top of the text area (267 mm high). The
// lines under the verdict close up when 16 channels that all differ would reach the
// signatures.
constexpr double kFieldLine = 5.6;
constexpr double kLabelWidth = 50.0;
constexpr double kColumnHead = 9.0;
constexpr double kRowHeight = 4.8;
constexpr double kDetailLine = 3.6;
constexpr double kSignaturesTop = 230.0;

QString or_dash(const QString& text) { return text.isEmpty() ? u("—") : text; }

// Code page 1251 lines joined by "\r".
QStringList lines_of(const std::string& text) {
    return qs(text).split(QLatin1Char('\r'), Qt::SkipEmptyParts);
}

// What the unit holds, from how far the tables went out: never "not written" for a unit that
// may have changed.
QString summary(const WriteRecord& r) {
    if (r.reach == WriteRecord::Reach::nothing)
        return u("таблицы не записаны");
    if (r.reach == WriteRecord::Reach::some)
        return u("таблицы могли остаться записанными не полностью");
    if (!r.verified || !r.read_back)
        return u("таблицы записаны, чтением не проверены");
    return r.succeeded ? u("таблицы записаны и проверены чтением")
                       : u("запись не подтверждена проверкой");
}

// The channel table, one row a column: its caption, its width in mm (0: what the others leave),
// how its cells align and what a channel's cell says.
struct Column {
    const char* head;
    double width;
    Qt::Alignment align;
    QString (*cell)(const WriteRecord& r, const WriteRecord::Channel& ch);
};

const Column kColumns[] = {
    {"Канал", 12, Qt::AlignHCenter,
     [](const WriteRecord&, const WriteRecord::Channel& ch) {
         return QString::number(ch.channel);
     }},
    {"Заголовок", 0, Qt::AlignLeft,
     [](const WriteRecord&, const WriteRecord::Channel& ch) { return qs(ch.header); }},
    {"Уровни, см", 19, Qt::AlignRight,
     [](const WriteRecord&, const WriteRecord::Channel& ch) {
         return u("0–%1").arg(ch.highest_level);
     }},
    {"Ёмкость, л", 20, Qt::AlignRight,
     [](const WriteRecord&, const WriteRecord::Channel& ch) {
         return QString::number(ch.capacity);
     }},
    {"CRC-32\nзаписано", 19, Qt::AlignHCenter,
     [](const WriteRecord&, const WriteRecord::Channel& ch) {
         return QString::fromStdString(crc_text(ch.written_crc));
     }},
    {"CRC-32\nпрочитано", 27, Qt::AlignHCenter,
     [](const WriteRecord& r, const WriteRecord::Channel& ch) {
         if (!r.read_back)
             return u("не проверено");
         return ch.read_crc ? QString::fromStdString(crc_text(*ch.read_crc)) : u("нет в системе");
     }},
    {"Проверка", 23, Qt::AlignHCenter,
     [](const WriteRecord& r, const WriteRecord::Channel& ch) {
         if (!r.read_back)
             return u("—");
         return ch.differs ? u("отличается") : u("совпадает");
     }},
};

} // namespace

QPageLayout WriteProtocol::page_layout() { return a4_layout(); }

bool WriteProtocol::print(QPagedPaintDevice& device) const {
    QPainter p;
    if (!p.begin(&device))
        return false;
    p.setRenderHint(QPainter::Antialiasing);
    const PrintedPage page = PrintedPage::of(device);
    p.setPen(Qt::black);
    p.setFont(page_font(16, true));
    p.drawText(page.box(0, 0, page.width_mm(), 10), Qt::AlignLeft | Qt::AlignTop,
               u("Протокол записи градуировочных таблиц"));
    double y = draw_fields(p, page, 14);
    y = draw_channels(p, page, y + 4);
    draw_verdict(p, page, y + 4);
    draw_signatures(p, page, kSignaturesTop, "Записал", "Проверил");
    draw_footer(p, page, u("Лист 1 из 1"));
    return p.end();
}

bool WriteProtocol::write_pdf(const std::string& file_name) const {
    return write_pdf_file(file_name, u("Протокол записи градуировочных таблиц"),
                          [this](QPagedPaintDevice& device) { return print(device); });
}

double WriteProtocol::draw_fields(QPainter& p, const PrintedPage& page, double y) const {
    const WriteRecord& r = record_;
    QString project = name_text(r.project_file);
    if (r.project_modified)
        project += u("\n(с несохранёнными изменениями)");
    const struct {
        QString label;
        QString value;
        bool path; // a file name, broken anywhere rather than run off the page
    } rows[] = {
        {u("Дата и время"),
         QDateTime::fromSecsSinceEpoch(r.moment).toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
         false},
        {u("Порт"), or_dash(QString::fromUtf8(r.port.c_str())), true},
        {u("Версия системы"), or_dash(qs(r.version)), false},
        {u("Проект"), project, true},
        {u("Запись"), lines_of(r.result).join(QLatin1Char('\n')), false},
        {u("Копия таблиц системы"),
         r.copy.empty() ? u("не делалась") : QString::fromUtf8(r.copy.c_str()), true},
        {u("Итог"), summary(r), false},
    };
    const double value_width = page.width_mm() - kLabelWidth;
    for (const auto& row : rows) {
        p.setFont(page_font(10, true));
        p.drawText(page.box(0, y, kLabelWidth, kFieldLine), Qt::AlignLeft | Qt::AlignTop,
                   row.label);
        // The outcome, last, stands out.
        p.setFont(page_font(10, &row == &rows[std::size(rows) - 1]));
        QRectF used;
        p.drawText(page.box(kLabelWidth, y, value_width, 3 * kFieldLine),
                   Qt::AlignLeft | Qt::AlignTop |
                       (row.path ? Qt::TextWrapAnywhere : Qt::TextWordWrap),
                   row.value, &used);
        y += std::max(kFieldLine, used.height() / page.dots_per_mm + 1.5);
    }
    return y;
}

double WriteProtocol::draw_channels(QPainter& p, const PrintedPage& page, double y) const {
    const double w = page.width_mm();
    double widths[std::size(kColumns)];
    double fixed = 0;
    for (const Column& column : kColumns)
        fixed += column.width;
    for (std::size_t c = 0; c < std::size(kColumns); ++c)
        widths[c] = kColumns[c].width > 0 ? kColumns[c].width : w - fixed;
    const double pad = 1.2;
    p.setFont(page_font(7.5, true));
    double x = 0;
    for (std::size_t c = 0; c < std::size(kColumns); ++c) {
        p.drawText(page.box(x + pad, y, widths[c] - 2 * pad, kColumnHead), Qt::AlignCenter,
                   u(kColumns[c].head));
        x += widths[c];
    }
    const double top = y;
    y += kColumnHead;
    p.setFont(page_font(8.5));
    for (const WriteRecord::Channel& ch : record_.channels) {
        x = 0;
        for (std::size_t c = 0; c < std::size(kColumns); ++c) {
            const QRectF cell = page.box(x + pad, y, widths[c] - 2 * pad, kRowHeight);
            p.drawText(cell, kColumns[c].align | Qt::AlignVCenter,
                       p.fontMetrics().elidedText(kColumns[c].cell(record_, ch), Qt::ElideRight,
                                                  static_cast<int>(cell.width())));
            x += widths[c];
        }
        y += kRowHeight;
    }
    // The grid: a frame, the columns apart, a rule under the captions and between rows.
    p.setPen(QPen(QColor(160, 160, 160), page.mm(0.1)));
    for (double row = top + kColumnHead + kRowHeight; row < y - 0.01; row += kRowHeight)
        p.drawLine(QPointF(0, page.mm(row)), QPointF(page.width, page.mm(row)));
    p.setPen(QPen(Qt::black, page.mm(0.2)));
    p.drawRect(page.box(0, top, w, y - top));
    p.drawLine(QPointF(0, page.mm(top + kColumnHead)),
               QPointF(page.width, page.mm(top + kColumnHead)));
    x = 0;
    for (std::size_t c = 0; c + 1 < std::size(kColumns); ++c) {
        x += widths[c];
        p.drawLine(QPointF(page.mm(x), page.mm(top)), QPointF(page.mm(x), page.mm(y)));
    }
    return y;
}

void WriteProtocol::draw_verdict(QPainter& p, const PrintedPage& page, double y) const {
    // The verdict as the program says it after the write, then the channels that differ and the
    // note of a unit read before its power was switched.
    QStringList lines = lines_of(record_.verdict);
    if (lines.isEmpty())
        lines << u("Проверка чтением не выполнялась.");
    p.setPen(Qt::black);
    p.setFont(page_font(10, true));
    QRectF used;
    p.drawText(page.box(0, y, page.width_mm(), 2 * kFieldLine),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, lines.front(), &used);
    y += used.height() / page.dots_per_mm + 1.5;
    const qsizetype details = lines.size() - 1;
    if (details == 0)
        return;
    const double line =
        std::min(kDetailLine, (kSignaturesTop - 2 - y) / static_cast<double>(details));
    p.setFont(page_font(8 * line / kDetailLine));
    for (qsizetype i = 1; i < lines.size(); ++i, y += line)
        p.drawText(
            page.box(0, y, page.width_mm(), line), Qt::AlignLeft | Qt::AlignVCenter,
            p.fontMetrics().elidedText(lines[i], Qt::ElideRight, static_cast<int>(page.width)));
}

} // namespace tgm
