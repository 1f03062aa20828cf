#pragma once
// The mapping preview of "Импорт CSV…" for a spreadsheet table that is not in the export's own
// layout: the file's first rows (a workbook's chosen sheet), the role and units of its columns
// as found, each changeable, and the tables they give, read anew on every change, with the rows
// left out as notes.
#include "forms/csv_reader.h"

#include <QDialog>
#include <vector>

class QCheckBox;
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
    void show_sheet(int sheet);
    void read_again();
    // Every sheet holding a table, the chosen one as the user mapped it, sheet k to channel k.
    bool read_whole_workbook(std::string& refusal);

    CsvSource source_;
    CsvImport read_;
    bool loading_ = false;
    QComboBox* sheet_ = nullptr;
    QCheckBox* all_sheets_ = nullptr;
    QLabel* format_;
    QLabel* skipped_;
    QTableWidget* file_grid_;
    std::vector<QComboBox*> roles_;
    QComboBox* level_unit_;
    QComboBox* volume_unit_;
    QTableWidget* result_grid_;
    QLabel* refusal_;
    QPushButton* ok_;
};

} // namespace tgm
