#include "app/spreadsheet_mapping_dialog.h"

#include "app/window_place.h"
#include "forms/csv_records.h"
#include "forms/number_text.h"
#include "project/eproject.h"
#include "render/gui_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tgm {
namespace {

constexpr int kShownRecords = 12;

// A column's role drop-down, one row an entry in the order it lists them.
const struct {
    ColumnRole role;
    const char* text;
} kRoleChoices[] = {
    {ColumnRole::level, "уровень"},          {ColumnRole::volume, "объём"},
    {ColumnRole::channel, "канал"},          {ColumnRole::grid, "объём (сетка)"},
    {ColumnRole::unused, "не использовать"},
};
// The unit drop-downs' entries, in the order of their enums (unknown first).
const char* const kLevelUnitTexts[] = {"не указаны", "мм", "см", "м", "дм"};
const char* const kVolumeUnitTexts[] = {"не указаны", "л", "дм³", "м³"};

template <typename Texts>
QComboBox* combo(QWidget* parent, const QString& name, const Texts& texts) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const char* t : texts)
        box->addItem(u(t));
    return box;
}

QString separator_text(char separator) {
    return separator == '\t' ? QStringLiteral("TAB") : QString(QLatin1Char(separator));
}

// "пропущены строки 284, 285: текст", at most ten numbers.
QString skipped_text(const std::vector<int32_t>& lines) {
    if (lines.empty())
        return {};
    QStringList numbers;
    for (std::size_t i = 0; i < lines.size() && i < 10; ++i)
        numbers << QString::number(lines[i]);
    if (lines.size() > 10)
        numbers << u("… (всего %1)").arg(lines.size());
    return (lines.size() == 1 ? u("пропущена строка ") : u("пропущены строки ")) +
           numbers.join(QStringLiteral(", ")) + u(": текст");
}

QTableWidgetItem* text_item(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

} // namespace

SpreadsheetMappingDialog::SpreadsheetMappingDialog(const CsvSource& source, QWidget* parent)
    : QDialog(parent), source_(source) {
    setObjectName(QStringLiteral("spreadsheet_mapping"));
    setWindowTitle(u("Столбцы таблицы"));
    loading_ = true;
    format_ = new QLabel(this);
    format_->setObjectName(QStringLiteral("format_label"));

    file_grid_ = new QTableWidget(this);
    file_grid_->setObjectName(QStringLiteral("file_grid"));

    level_unit_ = combo(this, QStringLiteral("level_unit"), kLevelUnitTexts);
    volume_unit_ = combo(this, QStringLiteral("volume_unit"), kVolumeUnitTexts);
    auto* units = new QFormLayout;
    if (!source_.sheets.empty()) {
        // A workbook: its sheets in order, the one opened with chosen.
        sheet_ = new QComboBox(this);
        sheet_->setObjectName(QStringLiteral("sheet"));
        for (const WorkbookSheet& sheet : source_.sheets)
            sheet_->addItem(QString::fromStdString(sheet.name));
        sheet_->setCurrentIndex(static_cast<int>(source_.sheet));
        units->addRow(u("Лист"), sheet_);
        if (sheet_sources(source_).size() > 1) {
            all_sheets_ =
                new QCheckBox(u("Все листы с таблицами: лист за листом в каналы 1, 2, …"), this);
            all_sheets_->setObjectName(QStringLiteral("all_sheets"));
            units->addRow(QString(), all_sheets_);
        }
    }
    units->addRow(u("Единицы уровня"), level_unit_);
    units->addRow(u("Единицы объёма"), volume_unit_);

    QStringList captions;
    for (const char* c : {"Канал", "Точек", "Наибольший уровень, см", "Вместимость, л", "Контроль"})
        captions << u(c);
    result_grid_ = new QTableWidget(0, static_cast<int>(captions.size()), this);
    result_grid_->setObjectName(QStringLiteral("result_grid"));
    result_grid_->setHorizontalHeaderLabels(captions);
    result_grid_->verticalHeader()->hide();
    result_grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    result_grid_->setFixedHeight(130);

    skipped_ = new QLabel(this);
    skipped_->setObjectName(QStringLiteral("skipped_label"));
    skipped_->setWordWrap(true);

    refusal_ = new QLabel(this);
    refusal_->setObjectName(QStringLiteral("refusal_label"));
    refusal_->setWordWrap(true);
    refusal_->setStyleSheet(QStringLiteral("color: #b00000"));

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("ok_button"));
    QPushButton* cancel = buttons->addButton(u("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel_button"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* main = new QVBoxLayout(this);
    main->addWidget(format_);
    main->addWidget(file_grid_, 1);
    main->addLayout(units);
    main->addWidget(result_grid_);
    main->addWidget(skipped_);
    main->addWidget(refusal_);
    main->addWidget(buttons);
    resize(920, 560);

    connect(level_unit_, &QComboBox::currentIndexChanged, this,
            &SpreadsheetMappingDialog::read_again);
    connect(volume_unit_, &QComboBox::currentIndexChanged, this,
            &SpreadsheetMappingDialog::read_again);
    if (sheet_)
        connect(sheet_, &QComboBox::currentIndexChanged, this,
                &SpreadsheetMappingDialog::show_sheet);
    if (all_sheets_)
        connect(all_sheets_, &QCheckBox::toggled, this, &SpreadsheetMappingDialog::read_again);
    show_sheet(static_cast<int>(source_.sheet));
}

// The sheet's rows and the shape found in them; a sheet without a table shows its rows and why.
void SpreadsheetMappingDialog::show_sheet(int sheet) {
    loading_ = true;
    std::string refusal;
    const bool found =
        source_.sheets.empty() || choose_sheet(source_, static_cast<std::size_t>(sheet), refusal);
    const SpreadsheetLayout& layout = source_.layout;
    const QString header = u("Строка заголовка: %1").arg(layout.header_line);
    // A workbook's cells have no separator, nor its stored numbers a decimal sign of the file's.
    format_->setText(
        source_.sheets.empty()
            ? u("Разделитель: %1    Десятичный знак: %2    ")
                      .arg(separator_text(layout.separator),
                           layout.decimal ? QString(QLatin1Char(layout.decimal)) : u("нет")) +
                  header
            : header);
    file_grid_->setRowCount(0);
    file_grid_->setColumnCount(0);
    roles_.clear();
    fill_file_grid();
    level_unit_->setCurrentIndex(static_cast<int>(layout.level_unit));
    volume_unit_->setCurrentIndex(static_cast<int>(layout.volume_unit));
    loading_ = false;
    read_again();
    if (!found) {
        refusal_->setText(qs(refusal).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        ok_->setEnabled(false);
    }
}

// Row 0 holds each column's role; below it the file's first records, the header row in bold.
void SpreadsheetMappingDialog::fill_file_grid() {
    const SpreadsheetLayout& layout = source_.layout;
    const std::vector<CsvRecord> records =
        first_csv_records(source_.text, layout.separator, kShownRecords);
    std::size_t columns = layout.columns.size();
    for (const CsvRecord& r : records)
        columns = std::max(columns, r.fields.size());
    file_grid_->setColumnCount(static_cast<int>(columns));
    file_grid_->setRowCount(static_cast<int>(records.size()) + 1);
    QStringList numbers;
    for (std::size_t c = 0; c < columns; ++c)
        numbers << QString::number(c + 1);
    file_grid_->setHorizontalHeaderLabels(numbers);
    QStringList lines{u("роль")};
    for (const CsvRecord& r : records)
        lines << QString::number(r.line);
    file_grid_->setVerticalHeaderLabels(lines);
    for (std::size_t c = 0; c < layout.columns.size(); ++c) {
        auto* box = new QComboBox(file_grid_);
        box->setObjectName(QStringLiteral("role_%1").arg(c + 1));
        for (const auto& choice : kRoleChoices) {
            box->addItem(u(choice.text));
            if (choice.role == layout.columns[c].role)
                box->setCurrentIndex(box->count() - 1);
        }
        file_grid_->setCellWidget(0, static_cast<int>(c), box);
        roles_.push_back(box);
        connect(box, &QComboBox::currentIndexChanged, this, &SpreadsheetMappingDialog::read_again);
    }
    for (std::size_t r = 0; r < records.size(); ++r) {
        for (std::size_t c = 0; c < records[r].fields.size(); ++c) {
            QTableWidgetItem* item = text_item(QString::fromStdString(records[r].fields[c]));
            if (records[r].line == layout.header_line) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            file_grid_->setItem(static_cast<int>(r) + 1, static_cast<int>(c), item);
        }
    }
    file_grid_->resizeColumnsToContents();
    // A title line must not make its column as wide as itself.
    for (int c = 0; c < file_grid_->columnCount(); ++c)
        file_grid_->setColumnWidth(c, std::min(file_grid_->columnWidth(c), 190));
}

bool SpreadsheetMappingDialog::read_whole_workbook(std::string& refusal) {
    std::vector<CsvSource> sources = sheet_sources(source_);
    int32_t channel = 0;
    for (CsvSource& s : sources) {
        if (s.sheet == source_.sheet) {
            s.layout = source_.layout;
            s.own_layout = source_.own_layout;
        }
        ++channel;
        if (s.layout.channel_column() == s.layout.columns.size())
            s.layout.table_channel = channel;
    }
    std::vector<CsvImport> each;
    if (!read_csv_sources(sources, read_, each, refusal))
        return false;
    for (const CsvImport& one : each)
        read_.skipped.insert(read_.skipped.end(), one.skipped.begin(), one.skipped.end());
    return true;
}

void SpreadsheetMappingDialog::read_again() {
    if (loading_)
        return;
    SpreadsheetLayout& layout = source_.layout;
    for (std::size_t c = 0; c < roles_.size(); ++c)
        layout.columns[c].role = kRoleChoices[roles_[c]->currentIndex()].role;
    layout.level_unit = static_cast<LevelUnit>(level_unit_->currentIndex());
    layout.volume_unit = static_cast<VolumeUnit>(volume_unit_->currentIndex());

    std::string refusal;
    const bool whole = all_sheets_ && all_sheets_->isChecked();
    const bool ok = whole ? read_whole_workbook(refusal) : read_csv_source(source_, read_, refusal);
    skipped_->setText(ok && !whole ? skipped_text(read_.skipped) : QString());
    result_grid_->setRowCount(0);
    if (ok) {
        EPROJECT project;
        project.open_tables(read_.tables, source_.layout.title);
        project.update_control();
        for (int32_t k = 0; k < project.count(); ++k) {
            if (!project.tables().table(k).filled())
                continue;
            const StrapSummary& s = read_.sources[static_cast<std::size_t>(k)];
            const int row = result_grid_->rowCount();
            result_grid_->insertRow(row);
            const QString texts[] = {QString::number(k + 1) +
                                         (read_.is_resampled(k) ? QStringLiteral(" ≈") : QString()),
                                     QString::number(s.points), qs(centimetre_text(s.top_tenths)),
                                     qs(project.capacity_text(k)), qs(project.control_text(k))};
            for (int c = 0; c < 5; ++c)
                result_grid_->setItem(row, c, text_item(texts[c]));
        }
    }
    refusal_->setText(ok ? QString() : qs(refusal).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    ok_->setEnabled(ok);
}

} // namespace tgm
