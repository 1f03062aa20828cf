#pragma once
// Why a file the program reads whole could not be read, in the user's words.
#include <cstdint>
#include <string>

namespace tgm {

// "файл не найден", "это папка", "нет прав на чтение", "больше N байт", … (code page 1251) for
// a file that did not load with a bound of `max_bytes`; "файл не читается" when nothing about
// the file itself explains it.
std::string read_problem(const std::string& file_name, int64_t max_bytes);

} // namespace tgm
