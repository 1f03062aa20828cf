#pragma once
// Shared pieces of the tgm-cli commands.
#include <cstdint>
#include <string>

namespace tgm {
class EPROJECT;
}

namespace tgm::cli {

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2, kDiffers = 3 };

// Prints a code page 1251 text as one UTF-8 line on stdout / stderr.
void print_line(const std::string& text_cp1251);
void print_error(const std::string& text_cp1251);
// Usage errors are printed in the program's own words (UTF-8 literal).
int usage_error(const char* utf8_text);

// Loads a form file the way the import does: open_form (a .csv file as "Импорт CSV…" reads it),
// then the control pass. False when the file does not load (the reason is already on stderr).
bool load_for_import(const std::string& file_name, EPROJECT& project);

// Why a file cannot be written at `path` (code page 1251): its folder is missing, not a
// folder or closed to writing, the name is a folder, too long, or a write-protected file;
// empty when it can be written.
std::string output_problem(const std::string& path);

// FDATA::unconverted_line for table k (counted from 0) on stderr.
void print_unconverted(int32_t k);

} // namespace tgm::cli
