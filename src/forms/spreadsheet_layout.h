#pragma once
// How a spreadsheet table that is not in the program's own CSV layout is laid out: the
// separator, the header row, what each column holds and in which units. Found from the file's
// own words, then completed or changed by the user (the mapping dialog, tgm-cli's options).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tgm {

// `grid`: a column of the printed grid, whose header is a number of centimetres (0 … 9) or of
// millimetres (0, 10 … 90): the volume at the row's level plus that step.
enum class ColumnRole : uint8_t { unused, level, volume, channel, grid };
enum class LevelUnit : uint8_t { unknown, mm, cm, m, dm };
enum class VolumeUnit : uint8_t { unknown, litre, dm3, m3 };

struct SpreadsheetColumn {
    std::string title; // the header row's cell, UTF-8
    ColumnRole role = ColumnRole::unused;
    LevelUnit level_unit = LevelUnit::unknown;    // as the cell names it
    VolumeUnit volume_unit = VolumeUnit::unknown; // as the cell names it
    int32_t grid_step = 0; // a grid column's step above the row's level, tenths of a millimetre
};

// Where a row's points are: the level's column, the volume's column, and the step the volume
// lies above the level (tenths of a millimetre; 0 but in a grid).
struct PointColumns {
    std::size_t level = 0;
    std::size_t volume = 0;
    int32_t step = 0;
};

struct SpreadsheetLayout {
    char separator = ';';    // ';', ',' or '\t'
    char decimal = 0;        // ',' or '.' as the numbers under the header have it; 0: none
    int32_t header_line = 0; // the line of the header row, counted from 1
    std::string title;       // UTF-8: the first non-empty line above the header row
    std::vector<SpreadsheetColumn> columns;
    // The units of every level and every volume column: as the header says (when its cells
    // agree), or as chosen.
    LevelUnit level_unit = LevelUnit::unknown;
    VolumeUnit volume_unit = VolumeUnit::unknown;
    // The channel of the one table of a file without a channel column; 0: not chosen (1).
    int32_t table_channel = 0;

    // Level and volume columns (counted from 0) paired in their order across the row: the i-th
    // level column with the i-th volume column.
    std::vector<std::pair<std::size_t, std::size_t>> pairs() const;
    // Every point a row gives: the pairs, and in a grid the level column with each grid column.
    std::vector<PointColumns> point_columns() const;
    std::size_t count(ColumnRole role) const;
    // The channel column, or columns.size() when there is none.
    std::size_t channel_column() const;
};

// Finds the layout in a spreadsheet's UTF-8 text: the separator (TAB, ";" or ",") with which a
// row names a level and a volume column in cells of their own, the first such row as the header
// row, the columns' roles and units from its words. False, with a refusal that names the line
// and says what was found and what is missing (UTF-8), when no row does.
bool find_spreadsheet_layout(std::string_view text, SpreadsheetLayout& layout,
                             std::string& refusal_utf8);

// "найдено: уровень — столбец 1, мм; объём — столбец 2, м3" for the refusals (UTF-8).
std::string found_text(const SpreadsheetLayout& layout);

// The names tgm-cli takes and prints: mm, cm, dm, m and l, dm3, m3 ("" for unknown).
const char* level_unit_name(LevelUnit unit);
const char* volume_unit_name(VolumeUnit unit);
bool level_unit_of_name(std::string_view name, LevelUnit& unit);
bool volume_unit_of_name(std::string_view name, VolumeUnit& unit);

} // namespace tgm
