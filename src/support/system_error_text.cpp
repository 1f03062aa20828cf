#include "support/system_error_text.h"

#include "support/cp1251.h"

#include <cerrno>

namespace tgm {

std::string system_error_text(int error) {
    switch (error) {
    case ENOSPC: return cp("нет места на диске");
#ifdef EDQUOT // not every C library has it
    case EDQUOT: return cp("исчерпана дисковая квота");
#endif
    case EFBIG: return cp("файл слишком велик");
    case EACCES:
    case EPERM: return cp("нет прав на запись");
    case EROFS: return cp("диск только для чтения");
    case ENOENT: return cp("нет такого файла или папки");
    case ENOTDIR: return cp("часть пути — не папка");
    case EISDIR: return cp("это папка");
    case EIO: return cp("ошибка ввода-вывода");
    default: return cp("системная ошибка ") + std::to_string(error);
    }
}

} // namespace tgm
