#pragma once
// The mapping preview of "Импорт CSV…" for a spreadsheet table that is not in the export's own
// layout: the file's first rows, the role and units of its columns as found, each changeable,
// and the tables they give, read anew on every change.
#include "forms/csv_reader.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace tgm {

class SpreadsheetMappingDialog : public QDialog {
    Q_OBJECT
public:
    explicit SpreadsheetMappingDialog(const CsvSource& source, QWidget* parent = nullptr);
    // The tables of the layout as it stands when OK was pressed.
    const CsvImport& tables() const { return read_; }

private:
    void fill_file_grid();
    void read_again();

    CsvSource source_;
    CsvImport read_;
    QTableWidget* file_grid_;
    std::vector<QComboBox*> roles_;
    QComboBox* level_unit_;
    QComboBox* volume_unit_;
    QTableWidget* result_grid_;
    QLabel* refusal_;
    QPushButton* ok_;
};

} // namespace tgm
