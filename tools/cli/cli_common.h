#pragma once
// Shared pieces of the tgm-cli commands.
#include "forms/spreadsheet_layout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tgm {
class EPROJECT;
}

namespace tgm::cli {

// 130: the shell's code for an interrupt, after Ctrl+C has cancelled an operation.
enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2, kDiffers = 3, kInterrupted = 130 };

// Prints a code page 1251 text as one UTF-8 line on stdout / stderr.
void print_line(const std::string& text_cp1251);
void print_error(const std::string& text_cp1251);
// Usage errors are printed in the program's own words (UTF-8 literal).
int usage_error(const char* utf8_text);
// The same with its reason on the next line (UTF-8): what was given against what is accepted.
int usage_error(const char* utf8_text, const std::string& reason);
// "ожидаются аргументы: EXPECTED; заданы: A B" for the arguments argv[1..argc).
std::string arguments_reason(const char* expected, int argc, char** argv);
std::string arguments_reason(const char* expected, const std::vector<std::string>& given);
// What read and convert write, under "Неизвестная форма!" for OUT (UTF-8).
extern const char kWrittenKinds[];
// "OPTION: ACCEPTED; задано «VALUE»", or "…; значение не задано" when `given` is null.
std::string value_reason(const char* option, const char* accepted, const char* given);

// What the options after a command's arguments say of a spreadsheet table whose header does not.
struct TableOptions {
    LevelUnit level = LevelUnit::unknown;
    VolumeUnit volume = VolumeUnit::unknown;
    int32_t channel = 0; // --table-channel; 0: not given
    std::string sheet;   // --sheet: a workbook's sheet by number (from 1) or name; "": all

    bool any() const {
        return level != LevelUnit::unknown || volume != VolumeUnit::unknown || channel != 0;
    }
};

extern const char kTableOptionsHelp[];
TableOptions& table_options();
// Whether the command reads a FILE or IN and so takes the table options.
bool reads_table_file(int (*run)(int argc, char** argv));
// Takes --level-unit, --volume-unit, --table-channel and --sheet out of argv[1..argc) into
// table_options(); returns the arguments left, or -1 after printing a usage error.
int take_table_options(int argc, char** argv);

// What reading a spreadsheet table leaves for the user to check.
struct ImportNotes {
    std::string found;      // the FOUND line, for a table not in the export's layout
    uint32_t resampled = 0; // bit k: table k was resampled
};

// Loads a form file the way the import does: open_form (a .csv or .tsv file as "Импорт CSV…"
// reads it, completed by the table options), then the control pass. False when the file does
// not load (the reason is already on stderr). A spreadsheet table fills `notes`.
bool load_for_import(const std::string& file_name, EPROJECT& project, ImportNotes* notes = nullptr);
// "RESAMPLED<TAB>1,3" on stderr when any table was resampled: never silently.
void print_resampled(const ImportNotes& notes);

// FDATA::unconverted_line for table k (counted from 0) on stderr.
void print_unconverted(int32_t k);

} // namespace tgm::cli
