#pragma once
// Why a file operation failed, in the user's language: the errno values a disk, a folder or a
// permission give, in code page 1251, as every other message of the program.
#include <string>

namespace tgm {

std::string system_error_text(int error);

} // namespace tgm
