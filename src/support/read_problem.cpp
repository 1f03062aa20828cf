#include "support/read_problem.h"

#include "support/cp1251.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tgm {

std::string read_problem(const std::string& file_name, int64_t max_bytes) {
    struct stat st {};
    if (::stat(file_name.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return cp("файл не найден");
        if (errno == EACCES)
            return cp("нет доступа к папке файла");
        return cp("файл не открывается");
    }
    if (S_ISDIR(st.st_mode))
        return cp("это папка");
    if (!S_ISREG(st.st_mode))
        return cp("это не обычный файл");
    if (st.st_size > max_bytes)
        return cp("файл больше ") + std::to_string(max_bytes) + cp(" байт: это не форма");
    if (::access(file_name.c_str(), R_OK) != 0)
        return cp("нет прав на чтение");
    return cp("файл не читается");
}

} // namespace tgm
