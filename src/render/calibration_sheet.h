#pragma once
// Printed calibration sheets of a project's tables, A4 portrait. Per table a first page with the
// heading (channel, header, source, control result, date, CRC-32) and the graph, then the litres
// per whole centimetre, 50 rows of 5 column pairs to a page; the last page carries the block for
// two signatures. The layout is fixed, not taken from font metrics, so that a table of n points
// always takes 1 + ceil(n / 250) pages.
#include "model/partab.h"

#include <QDate>
#include <QPageLayout>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace tgm {

class EPROJECT;
struct PrintedPage;

class CalibrationSheet {
public:
    static constexpr int32_t kRows = 50;
    static constexpr int32_t kPairs = 5;
    static constexpr int32_t kPointsPerPage = kRows * kPairs;

    // `project` has had its control pass and every table converts (EPROJECT::check_conversion).
    // `tables`: the table k alone, or with -1 every table; gaps have no sheets.
    CalibrationSheet(const EPROJECT& project, int32_t tables, const QDate& date);

    bool empty() const { return tables_.empty(); }
    int32_t page_count() const;
    // A4 portrait with 15 mm margins: what every sheet is laid out for.
    static QPageLayout page_layout();

    // Paints every page on a device that has page_layout. False when the device cannot be
    // painted on.
    bool print(QPagedPaintDevice& device) const;
    // The sheets as a PDF file, which is replaced whole or not at all; a failure is reported as
    // every failed write is.
    bool write_pdf(const std::string& file_name) const;

private:
    struct Table {
        int32_t channel = 0;
        QString header;
        QString control;
        PARTAB litres;
        QString crc;
        int32_t pages = 0;
    };
    void draw_first_page(QPainter& p, const PrintedPage& page, const Table& t) const;
    void draw_points_page(QPainter& p, const PrintedPage& page, const Table& t,
                          int32_t first) const;

    std::vector<Table> tables_;
    QString source_;
    bool resampled_source_ = false;
    QString date_;
    const EPROJECT& project_;
};

} // namespace tgm
