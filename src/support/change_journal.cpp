#include "support/change_journal.h"

#include "support/cp1251.h"
#include "support/platform.h"
#include "support/system_error_text.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tgm {
namespace {

const char kBom[] = "\xEF\xBB\xBF";

// A field as spreadsheets read it: quoted when it holds the separator, a quote or a line end.
std::string field(const std::string& utf8) {
    if (utf8.find_first_of(";\"\r\n") == std::string::npos)
        return utf8;
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::string failure(const std::string& what, const std::string& path, int error) {
    return cp(what) + utf8_to_cp1251(path) + " (" + system_error_text(error) + ")";
}

// The whole of `bytes` in one write, then synced. A write cut short is a disk that filled.
bool write_synced(int fd, const std::string& bytes) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n >= 0 && n != static_cast<ssize_t>(bytes.size()))
        errno = ENOSPC;
    return n == static_cast<ssize_t>(bytes.size()) && sync_file(fd);
}

} // namespace

const char* ChangeJournal::header() {
    return "Дата и время;Операция;Порт;Версия;Результат;Таблиц;CRC-32;Копия;Проверка";
}

std::string ChangeJournal::line(const JournalEntry& e, std::time_t now) {
    const std::tm when = local_time(now);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &when);
    return std::string(stamp) + ';' + field(cp1251_to_utf8(e.operation)) + ';' + field(e.port) +
           ';' + field(cp1251_to_utf8(e.version)) + ';' + field(cp1251_to_utf8(e.result)) + ';' +
           field(e.tables) + ';' + field(e.crcs) + ';' + field(e.copy) + ';' +
           field(cp1251_to_utf8(e.verification)) + "\r\n";
}

int ChangeJournal::open_for_append(std::string& why) const {
    const std::string reports = folder_ + "REPORT";
    struct stat st {};
    if (::stat(reports.c_str(), &st) != 0 && !make_folder(reports)) {
        why = failure("Журнал изменений не записывается: не создаётся каталог ", reports, errno);
        return -1;
    }
    const std::string file = path();
    const int fd = ::open(file.c_str(), O_RDWR | O_APPEND | O_CREAT | plain_open_flags(), 0666);
    if (fd < 0) {
        why = failure("Журнал изменений не записывается: ", file, errno);
        return -1;
    }
    // A file that a crash left empty gets its header row too.
    if (::fstat(fd, &st) != 0 ||
        (st.st_size == 0 && !write_synced(fd, kBom + std::string(header()) + "\r\n"))) {
        why = failure("Журнал изменений не записывается: ", file, errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

bool ChangeJournal::ready(std::string& why) const {
    const int fd = open_for_append(why);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool ChangeJournal::append(const JournalEntry& entry, std::time_t now, std::string& why) const {
    const int fd = open_for_append(why);
    if (fd < 0)
        return false;
    // A line that a crash cut short is ended first, in the same write, so that it spoils
    // neither this line nor the next.
    struct stat st {};
    char last = '\n';
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        (void)read_at(fd, &last, 1, st.st_size - 1);
    const bool ok = write_synced(fd, (last == '\n' ? "" : "\r\n") + line(entry, now));
    if (!ok)
        why = failure("Журнал изменений не записывается: ", path(), errno);
    return ::close(fd) == 0 && ok;
}

} // namespace tgm
