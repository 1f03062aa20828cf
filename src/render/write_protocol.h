#pragma once
// The protocol of one write of calibration tables into a unit, A4 portrait, one page: when,
// which port and firmware, which project, each channel's header, levels, capacity and the
// CRC-32 written and read back, the check's verdict, the copy, and the lines where the one who
// wrote and the one who checked sign. It says what happened also when the write or its check
// failed, so that such a page is never taken for a proof.
#include "project/write_record.h"

#include <QPageLayout>
#include <QString>
#include <string>

class QPagedPaintDevice;
class QPainter;

namespace tgm {

struct PrintedPage;

class WriteProtocol {
public:
    explicit WriteProtocol(WriteRecord record) : record_(std::move(record)) {}

    static QPageLayout page_layout();
    // Paints the page on a device that has page_layout; false when it cannot be painted on.
    bool print(QPagedPaintDevice& device) const;
    // The page as a PDF file, replaced whole or not at all; a failure is reported as every
    // failed write is.
    bool write_pdf(const std::string& file_name) const;

private:
    double draw_fields(QPainter& p, const PrintedPage& page, double y) const;
    double draw_channels(QPainter& p, const PrintedPage& page, double y) const;
    void draw_verdict(QPainter& p, const PrintedPage& page, double y) const;

    WriteRecord record_;
};

} // namespace tgm
