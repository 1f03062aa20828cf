#include "cli_common.h"

#include "forms/csv_reader.h"
#include "forms/fdata.h"
#include "project/eproject.h"
#include "support/cp1251.h"

#include <cstdio>

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

bool load_for_import(const std::string& file_name, EPROJECT& project) {
    if (is_sheet_file_name(file_name)) {
        CsvImport read;
        CsvSource source;
        if (!open_csv_file(file_name, source) || !take_csv_tables(source, read))
            return false;
        project.open_tables(read.tables, file_name);
    } else if (!project.open_form(file_name)) {
        return false;
    }
    project.update_control();
    return true;
}

void print_unconverted(int32_t k) { print_error(FDATA::unconverted_line(k)); }

} // namespace tgm::cli
