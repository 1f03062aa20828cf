#include "cli_common.h"
#include "commands.h"

#include "forms/csv_reader.h"
#include "forms/fdata.h"
#include "forms/number_text.h"
#include "project/eproject.h"
#include "support/cp1251.h"
#include "support/message_sink.h"

#include <cstdio>
#include <string_view>

namespace tgm::cli {

void print_line(const std::string& text_cp1251) {
    const std::string utf8 = cp1251_to_utf8(text_cp1251);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
}

void print_error(const std::string& text_cp1251) {
    const std::string utf8 = cp1251_to_utf8(text_cp1251);
    std::fprintf(stderr, "%s\n", utf8.c_str());
}

int usage_error(const char* utf8_text) {
    std::fprintf(stderr, "%s\n", utf8_text);
    return kUsage;
}

int usage_error(const char* utf8_text, const std::string& reason) {
    std::fprintf(stderr, "%s\n%s\n", utf8_text, reason.c_str());
    return kUsage;
}

std::string arguments_reason(const char* expected, const std::vector<std::string>& given) {
    std::string list;
    for (const std::string& a : given)
        list += (list.empty() ? "" : " ") + a;
    return std::string("ожидаются аргументы: ") + (*expected ? expected : "никакие") +
           "; заданы: " + (given.empty() ? "никакие" : list);
}

std::string arguments_reason(const char* expected, int argc, char** argv) {
    return arguments_reason(expected, std::vector<std::string>(argv + 1, argv + argc));
}

const char kWrittenKinds[] = "пишутся формы .fs, .fs1, .fs2, .fs31, .fs32 и таблицы .csv";

std::string value_reason(const char* option, const char* accepted, const char* given) {
    return std::string(option) + ": " + accepted + "; " +
           (given ? "задано «" + std::string(given) + "»" : std::string("значение не задано"));
}

const char kTableOptionsHelp[] =
    "Spreadsheet tables (.csv, .tsv, .xlsx, .ods) whose header does not say it: after the\n"
    "command's arguments of info, dump, convert, graph, pdf, write and compare\n"
    "  --level-unit mm|cm|m     the levels' unit (dm too: a grid's rows in decimetres)\n"
    "  --volume-unit l|dm3|m3   the volumes' unit\n"
    "  --table-channel N        the channel (1-16) of a file's one table (default 1)\n"
    "  --sheet N|NAME           a workbook's one sheet (default: every sheet holding a\n"
    "                           table, sheet by sheet from the channel given or 1)\n";

TableOptions& table_options() {
    static TableOptions options;
    return options;
}

bool reads_table_file(int (*run)(int, char**)) {
    return run == cmd_info || run == cmd_dump || run == cmd_convert || run == cmd_graph ||
           run == cmd_pdf || run == cmd_write || run == cmd_compare;
}

int take_table_options(int argc, char** argv) {
    TableOptions& o = table_options();
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name != "--level-unit" && name != "--volume-unit" && name != "--table-channel" &&
            name != "--sheet") {
            argv[kept++] = argv[i];
            continue;
        }
        const char* given = i + 1 < argc ? argv[i + 1] : nullptr;
        const char* value = i + 1 < argc ? argv[++i] : "";
        if (name == "--level-unit" && !level_unit_of_name(value, o.level)) {
            usage_error("tgm-cli: --level-unit takes mm, cm or m",
                        value_reason("--level-unit", "mm, cm или m", given));
            return -1;
        }
        if (name == "--volume-unit" && !volume_unit_of_name(value, o.volume)) {
            usage_error("tgm-cli: --volume-unit takes l, dm3 or m3",
                        value_reason("--volume-unit", "l, dm3 или m3", given));
            return -1;
        }
        if (name == "--table-channel" &&
            (!integer_of_text(value, o.channel) || o.channel < 1 || o.channel > 16)) {
            usage_error("tgm-cli: --table-channel takes a channel from 1 to 16",
                        value_reason("--table-channel", "канал от 1 до 16", given));
            return -1;
        }
        if (name == "--sheet" && !given) {
            usage_error("tgm-cli: --sheet takes a sheet's number or name",
                        value_reason("--sheet", "номер или имя листа", given));
            return -1;
        }
        if (name == "--sheet")
            o.sheet = value;
    }
    argv[kept] = nullptr;
    return kept;
}

namespace {

std::string found_line(const CsvSource& source, const CsvImport& read, bool workbook) {
    const SpreadsheetLayout& layout = source.layout;
    const PointColumns first = layout.point_columns().front();
    const std::string sep = layout.separator == '\t' ? "TAB" : std::string(1, layout.separator);
    return "FOUND\tlevel=" + text_of_integer(static_cast<int64_t>(first.level + 1)) + ':' +
           level_unit_name(layout.level_unit) +
           "\tvolume=" + text_of_integer(static_cast<int64_t>(first.volume + 1)) + ':' +
           volume_unit_name(layout.volume_unit) + "\tsep=" + sep +
           "\trows=" + text_of_integer(read.rows) +
           (workbook ? "\tsheet=" + source.sheet_name : std::string());
}

std::string lines_list(const std::vector<int32_t>& lines) {
    std::string text;
    for (int32_t line : lines)
        text += (text.empty() ? "" : ",") + text_of_integer(line);
    return text;
}

// The workbook's sheet --sheet names: its number from 1, or else its name.
bool sheet_by_option(const CsvSource& workbook, const std::string& option, std::size_t& sheet) {
    int32_t number = 0;
    if (integer_of_text(option, number) && number >= 1 &&
        static_cast<std::size_t>(number) <= workbook.sheets.size()) {
        sheet = static_cast<std::size_t>(number - 1);
        return true;
    }
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i)
        if (workbook.sheets[i].name == option) {
            sheet = i;
            return true;
        }
    std::string names;
    for (const WorkbookSheet& s : workbook.sheets)
        names += (names.empty() ? "" : ", ") + ("«" + s.name + "»");
    usage_error("tgm-cli: --sheet names no sheet of the workbook",
                value_reason("--sheet", ("листы книги: " + names).c_str(), option.c_str()));
    return false;
}

// The sources a file gives: a text file's one, a workbook's chosen sheet or every sheet holding
// a table. False with the reason on stderr.
bool spreadsheet_sources(const std::string& file_name, std::vector<CsvSource>& sources) {
    const TableOptions& o = table_options();
    CsvSource source;
    if (!open_csv_file(file_name, source))
        return false;
    if (source.sheets.empty() && !o.sheet.empty()) {
        usage_error("tgm-cli: --sheet goes with workbooks (.xlsx, .ods)",
                    file_name + ": это не книга .xlsx или .ods");
        return false;
    }
    if (source.sheets.empty()) {
        sources.push_back(std::move(source));
        return true;
    }
    if (o.sheet.empty()) {
        sources = sheet_sources(source);
        return true;
    }
    std::size_t sheet = 0;
    std::string refusal;
    if (!sheet_by_option(source, o.sheet, sheet))
        return false;
    if (!choose_sheet(source, sheet, refusal)) {
        print_error(refusal);
        return false;
    }
    source.sheets.clear();
    sources.push_back(std::move(source));
    return true;
}

// The spreadsheet table with the options' units and channel; false with the reasons on stderr.
bool load_spreadsheet(const std::string& file_name, FDATA& tables, ImportNotes* notes) {
    const TableOptions& o = table_options();
    std::vector<CsvSource> sources;
    if (!spreadsheet_sources(file_name, sources))
        return false;
    bool own_layout = false, unknown_level = false, unknown_volume = false;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        SpreadsheetLayout& layout = sources[i].layout;
        own_layout = own_layout || sources[i].own_layout;
        if (o.level != LevelUnit::unknown)
            layout.level_unit = o.level;
        if (o.volume != VolumeUnit::unknown)
            layout.volume_unit = o.volume;
        // A workbook's sheets go to channels one after another.
        const bool channel_column = layout.channel_column() < layout.columns.size();
        layout.table_channel = sources.size() == 1 || channel_column
                                   ? o.channel
                                   : (o.channel > 0 ? o.channel : 1) + static_cast<int32_t>(i);
        unknown_level =
            unknown_level || (!sources[i].own_layout && layout.level_unit == LevelUnit::unknown);
        unknown_volume =
            unknown_volume || (!sources[i].own_layout && layout.volume_unit == VolumeUnit::unknown);
    }
    if (own_layout && (o.any() || sources.size() > 1)) {
        usage_error("tgm-cli: the file is in the export's own layout: --level-unit, "
                    "--volume-unit and --table-channel go with other spreadsheet tables");
        return false;
    }
    CsvImport read;
    std::vector<CsvImport> each(1);
    std::string refusal;
    const bool taken = sources.size() == 1 ? take_csv_tables(sources[0], each[0])
                                           : read_csv_sources(sources, read, each, refusal);
    if (sources.size() == 1)
        read = each[0];
    if (!taken) {
        if (!refusal.empty())
            show_message(refusal, MessageKind::warning);
        if (unknown_level)
            usage_error(
                "tgm-cli: the file does not say the levels' unit: give --level-unit mm|cm|m");
        if (unknown_volume)
            usage_error(
                "tgm-cli: the file does not say the volumes' unit: give --volume-unit l|dm3|m3");
        return false;
    }
    if (notes) {
        for (std::size_t i = 0; i < sources.size(); ++i) {
            if (sources[i].own_layout)
                continue;
            notes->found += (notes->found.empty() ? "" : "\n") +
                            found_line(sources[i], each[i], !sources[i].sheet_name.empty());
            if (!each[i].skipped.empty())
                notes->found += "\nSKIPPED\t" + lines_list(each[i].skipped);
        }
        notes->resampled = read.resampled;
    }
    tables.assign(read.tables);
    return true;
}

} // namespace

bool load_for_import(const std::string& file_name, EPROJECT& project, ImportNotes* notes) {
    if (is_spreadsheet_file_name(file_name)) {
        FDATA tables;
        if (!load_spreadsheet(file_name, tables, notes))
            return false;
        project.open_tables(tables, file_name);
    } else if (table_options().any() || !table_options().sheet.empty()) {
        usage_error("tgm-cli: --level-unit, --volume-unit and --table-channel go with "
                    "spreadsheet tables (.csv, .tsv)",
                    file_name + ": это не таблица .csv или .tsv");
        return false;
    } else if (!project.open_form(file_name)) {
        return false;
    }
    project.update_control();
    return true;
}

void print_resampled(const ImportNotes& notes) {
    std::string channels;
    for (int32_t k = 0; k < FDATA::kMaxTables; ++k)
        if ((notes.resampled >> k) & 1u)
            channels += (channels.empty() ? "" : ",") + text_of_integer(k + 1);
    if (!channels.empty())
        std::fprintf(stderr, "RESAMPLED\t%s\n", channels.c_str());
}

void print_unconverted(int32_t k) { print_error(FDATA::unconverted_line(k)); }

} // namespace tgm::cli
