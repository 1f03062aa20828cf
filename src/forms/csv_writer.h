#pragma once
// Strap tables for spreadsheets: one CSV file holds every table in long form, one row per point.
// It is no form kind: it carries only what the unit holds, litres per whole centimetre.
#include "model/grouptab.h"

#include <string>
#include <string_view>

namespace tgm {

// The header row's fields, UTF-8. The reader also takes "Объем, л" for the last one.
inline constexpr std::string_view kCsvChannel = "Канал";
inline constexpr std::string_view kCsvHeader = "Заголовок";
inline constexpr std::string_view kCsvLevel = "Уровень, см";
inline constexpr std::string_view kCsvVolume = "Объём, л";

// UTF-8 with a byte-order mark, fields separated by ";", CR LF: the header row, then for every
// point of every slot that holds a table its channel, header, level (cm) and volume (litres).
// Gaps give no rows.
std::string csv_text(const GROUPTAB& group);
// Writes csv_text over the file; a failure is reported as the form files report it.
bool write_csv_file(const std::string& file_name, const GROUPTAB& group);

} // namespace tgm
