#include "render/printed_page.h"

#include "forms/fdata.h"
#include "render/gui_text.h"
#include "support/atomic_file.h"
#include "support/syscfg.h"
#include "support/tappinfo.h"

#include <QBuffer>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace tgm {
namespace {

constexpr int kPdfResolution = 300;
constexpr double kSignatureSpacing = 16.0;
constexpr double kFooterRule = 259.0;

} // namespace

PrintedPage PrintedPage::of(const QPagedPaintDevice& device) {
    PrintedPage page;
    page.dots_per_mm = device.logicalDpiX() / 25.4;
    page.width = device.width();
    page.height = device.height();
    return page;
}

QPageLayout a4_layout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

QFont page_font(double points, bool bold, bool italic) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QString printing_program() {
    const std::string title = config().title().empty() ? default_title() : config().title();
    return qs(title) + u(", версия ") + QString::fromStdString(TAppInfo().version_text());
}

void draw_signatures(QPainter& p, const PrintedPage& page, double top, const char* first_role,
                     const char* second_role) {
    const double w = page.width_mm();
    // Name, signature and date lines, each with its caption below.
    const struct {
        double from;
        double to;
        const char* caption;
    } lines[] = {{28, 92, "фамилия, инициалы"}, {98, 138, "подпись"}, {144, w, "дата"}};
    double y = top;
    for (const char* role : {first_role, second_role}) {
        p.setPen(QPen(Qt::black, page.mm(0.2)));
        p.setFont(page_font(10.5, true));
        p.drawText(page.box(0, y, 28, 7), Qt::AlignLeft | Qt::AlignBottom, u(role));
        p.setFont(page_font(7));
        for (const auto& l : lines) {
            p.drawLine(QPointF(page.mm(l.from), page.mm(y + 7)),
                       QPointF(page.mm(l.to), page.mm(y + 7)));
            p.drawText(page.box(l.from, y + 7.5, l.to - l.from, 4), Qt::AlignHCenter | Qt::AlignTop,
                       u(l.caption));
        }
        y += kSignatureSpacing;
    }
}

void draw_footer(QPainter& p, const PrintedPage& page, const QString& left) {
    const double w = page.width_mm();
    p.setPen(QPen(Qt::black, page.mm(0.2)));
    p.drawLine(QPointF(0, page.mm(kFooterRule)), QPointF(page.width, page.mm(kFooterRule)));
    p.setFont(page_font(8));
    const QRectF line = page.box(0, kFooterRule + 1, w, 6);
    p.drawText(line, Qt::AlignLeft | Qt::AlignTop, left);
    p.drawText(line, Qt::AlignRight | Qt::AlignTop, printing_program());
}

bool write_pdf_file(const std::string& file_name, const QString& title,
                    const std::function<bool(QPagedPaintDevice&)>& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(a4_layout());
        writer.setTitle(title);
        writer.setCreator(printing_program());
        painted = paint(writer);
    }
    std::string why;
    if (painted && write_file_replacing(file_name, buffer.data().toStdString(), &why))
        return true;
    FDATA::report_write_error(file_name, why);
    return false;
}

} // namespace tgm
