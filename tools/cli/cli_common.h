#pragma once
// Shared pieces of the tgm-cli commands.
#include <cstdint>
#include <string>

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

// Loads a form file the way the import does: open_form (a .csv file as "Импорт CSV…" reads it),
// then the control pass. False when the file does not load (the reason is already on stderr).
bool load_for_import(const std::string& file_name, EPROJECT& project);

// FDATA::unconverted_line for table k (counted from 0) on stderr.
void print_unconverted(int32_t k);

} // namespace tgm::cli
