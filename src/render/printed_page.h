#pragma once
// What the printed documents share: the A4 page they are laid out for, their fonts, the block
// where two people sign, the footer, and a PDF file that is replaced whole or not at all.
#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <functional>
#include <string>

class QPagedPaintDevice;
class QPainter;

namespace tgm {

// The text area of a page, in device pixels, measured in millimetres from its top left.
struct PrintedPage {
    double dots_per_mm = 1;
    double width = 0;
    double height = 0;

    static PrintedPage of(const QPagedPaintDevice& device);
    double mm(double v) const { return v * dots_per_mm; }
    QRectF box(double x, double y, double w, double h) const {
        return QRectF(mm(x), mm(y), mm(w), mm(h));
    }
    double width_mm() const { return width / dots_per_mm; }
};

// A4 portrait with 15 mm margins; the text area is 180 × 267 mm.
QPageLayout a4_layout();
QFont page_font(double points, bool bold = false, bool italic = false);
// "TITLE, версия X.Y.Z.W": the program that printed the page.
QString printing_program();

// Two signature rows from `top` (mm), each a role in bold and lines for name, signature and
// date with their captions below; 30 mm high.
void draw_signatures(QPainter& p, const PrintedPage& page, double top, const char* first_role,
                     const char* second_role);
// The rule at the foot of the page, `left` under it on the left, the printing program on the
// right.
void draw_footer(QPainter& p, const PrintedPage& page, const QString& left);

// Paints a document into a PDF and replaces `file_name` with it; a failure is reported as every
// failed write is (FDATA::report_write_error).
bool write_pdf_file(const std::string& file_name, const QString& title,
                    const std::function<bool(QPagedPaintDevice&)>& paint);

} // namespace tgm
