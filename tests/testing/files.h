#pragma once
// Whole-file reading and writing for tests, and where the example form files are.
#include <string>

namespace tgm::test {

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
// Folder of the example form files.
std::string examples_dir();

} // namespace tgm::test
