#include "cli_common.h"
#include "commands.h"

#include "forms/csv_reader.h"
#include "forms/fdata.h"
#include "forms/number_text.h"
#include "project/eproject.h"
#include "support/cp1251.h"

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
    "Spreadsheet tables (.csv, .tsv) whose header does not say it: after the command's\n"
    "arguments of info, dump, convert, graph, pdf, write and compare\n"
    "  --level-unit mm|cm|m     the levels' unit\n"
    "  --volume-unit l|dm3|m3   the volumes' unit\n"
    "  --table-channel N        the channel (1-16) of a file's one table (default 1)\n";

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
        if (name != "--level-unit" && name != "--volume-unit" && name != "--table-channel") {
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
    }
    argv[kept] = nullptr;
    return kept;
}

namespace {

std::string found_line(const SpreadsheetLayout& layout, const CsvImport& read) {
    const auto pairs = layout.pairs();
    const std::string sep = layout.separator == '\t' ? "TAB" : std::string(1, layout.separator);
    return "FOUND\tlevel=" + text_of_integer(static_cast<int64_t>(pairs[0].first + 1)) + ':' +
           level_unit_name(layout.level_unit) +
           "\tvolume=" + text_of_integer(static_cast<int64_t>(pairs[0].second + 1)) + ':' +
           volume_unit_name(layout.volume_unit) + "\tsep=" + sep +
           "\trows=" + text_of_integer(read.rows);
}

// The spreadsheet table with the options' units and channel; false with the reasons on stderr.
bool load_spreadsheet(const std::string& file_name, FDATA& tables, std::string* found) {
    const TableOptions& o = table_options();
    CsvSource source;
    if (!open_csv_file(file_name, source))
        return false;
    if (source.own_layout && o.any()) {
        usage_error("tgm-cli: the file is in the export's own layout: --level-unit, "
                    "--volume-unit and --table-channel go with other spreadsheet tables");
        return false;
    }
    SpreadsheetLayout& layout = source.layout;
    if (o.level != LevelUnit::unknown)
        layout.level_unit = o.level;
    if (o.volume != VolumeUnit::unknown)
        layout.volume_unit = o.volume;
    layout.table_channel = o.channel;
    CsvImport read;
    if (!take_csv_tables(source, read)) {
        if (!source.own_layout && layout.level_unit == LevelUnit::unknown)
            usage_error(
                "tgm-cli: the file does not say the levels' unit: give --level-unit mm|cm|m");
        if (!source.own_layout && layout.volume_unit == VolumeUnit::unknown)
            usage_error(
                "tgm-cli: the file does not say the volumes' unit: give --volume-unit l|dm3|m3");
        return false;
    }
    if (found && !source.own_layout)
        *found = found_line(layout, read);
    tables.assign(read.tables);
    return true;
}

} // namespace

bool load_for_import(const std::string& file_name, EPROJECT& project, std::string* found) {
    if (is_spreadsheet_file_name(file_name)) {
        FDATA tables;
        if (!load_spreadsheet(file_name, tables, found))
            return false;
        project.open_tables(tables, file_name);
    } else if (table_options().any()) {
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

void print_unconverted(int32_t k) { print_error(FDATA::unconverted_line(k)); }

} // namespace tgm::cli
