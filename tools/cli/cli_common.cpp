#include "cli_common.h"

#include "forms/csv_reader.h"
#include "forms/fdata.h"
#include "project/eproject.h"
#include "support/cp1251.h"

#include <climits>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

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
    if (is_csv_file_name(file_name)) {
        CsvImport read;
        if (!read_csv_file(file_name, read))
            return false;
        project.open_tables(read.tables, file_name);
    } else if (!project.open_form(file_name)) {
        return false;
    }
    project.update_control();
    return true;
}

void print_unconverted(int32_t k) { print_error(FDATA::unconverted_line(k)); }

std::string output_problem(const std::string& path) {
    const std::string name = utf8_to_cp1251(path);
    const auto slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    if (base.empty() || base.size() > NAME_MAX || path.size() >= PATH_MAX)
        return cp("имя файла слишком длинное или пустое: ") + name;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return cp("папка ") + utf8_to_cp1251(folder) + cp(" не найдена");
    if (!S_ISDIR(st.st_mode))
        return utf8_to_cp1251(folder) + cp(" — не папка");
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return cp("папка ") + utf8_to_cp1251(folder) + cp(" защищена от записи");
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return name + cp(" — это папка");
        // The file is replaced by a rename, which its own bits would not stop; root's write
        // access stops nothing either, so the bits themselves are asked.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0)
            return name + cp(": файл защищён от записи");
    }
    return {};
}

} // namespace tgm::cli
