#pragma once
// The six form kinds and the file-name rules that go with them.
#include <cstdint>
#include <string>

namespace tgm {

enum FormKind : uint8_t {
    kFormNone = 0,
    kFormFs = 1,   // .fs   up to 16 tables, litres
    kFormFs1 = 2,  // .fs1  up to 16 tables, cubic metres
    kFormFs2 = 3,  // .fs2  up to 16 tables, litres
    kFormFs31 = 4, // .fs31 one table, cubic metres
    kFormFs32 = 5, // .fs32 one table, litres
    kFormF1 = 6,   // .f1   up to 16 tables, explicit levels in tenths of a millimetre
};

// ".fs" ... ".f1" for codes 1 to 6, "" otherwise.
const char* form_extension(int code);
bool is_single_table_kind(int code);
bool is_cubic_kind(int code);
bool level_is_index_kind(int code);

// The code of the name's extension, letter case ignored; 0 for none or another one.
int form_type_of_file(const std::string& file_name);
// The name with its extension replaced by the code's (code 0 removes it).
std::string form_file_name(const std::string& file_name, int code);
// k >= 0: "_t" and k+1 inserted before the extension; k < 0: the name unchanged.
std::string numbered_file_name(const std::string& file_name, int k);
// The header of a single-table form: the file name without its folder, cut at its first ".",
// turned from the file system's UTF-8 into code page 1251 (anything without a form there, or not
// UTF-8 at all, becomes "?").
std::string single_table_name(const std::string& file_name);

} // namespace tgm
