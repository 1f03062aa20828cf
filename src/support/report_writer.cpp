#include "support/report_writer.h"

#include "support/cp1251.h"
#include "support/message_sink.h"
#include "support/platform.h"
#include "support/xfile.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace tgm {

std::string report_file_name(const std::tm& when) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d.txt", when.tm_mday, when.tm_mon + 1,
                  when.tm_year + 1900);
    return buffer;
}

std::string report_time_text(const std::tm& when) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", when.tm_hour, when.tm_min, when.tm_sec);
    return buffer;
}

bool write_report(const std::string& text, const std::string& folder, std::time_t now) {
    if (text.empty())
        return true;
    const std::string reports = folder + "REPORT";
    struct stat st {};
    const bool have_folder = ::stat(reports.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (!have_folder && !make_folder(reports)) {
        show_message(cp("Ошибка при создании каталога REPORT"));
        return false;
    }
    const std::tm when = local_time(now);
    XFILE file(reports + "/" + report_file_name(when), true, XFILE::Mode::read_write);
    const std::string block = report_time_text(when) + "\r\n" + text + "\r\n";
    const bool ok =
        file.is_open() && file.seek_end() && file.write(block.data(), block.size()) && file.close();
    if (!ok)
        show_message(cp("Ошибка при записи отчёта"));
    return ok;
}

} // namespace tgm
