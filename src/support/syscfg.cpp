#include "support/syscfg.h"

#include "support/cp1251.h"
#include "support/marker.h"
#include "support/message_sink.h"
#include "support/xfile.h"
#include "support/xitext.h"

#include <sys/stat.h>

namespace tgm {
namespace {

void register_config_signature() {
    if (!find_signature(SYSCFG::kConfigKey))
        register_signature({"tgm", ".cfg", SYSCFG::kConfigKey});
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

std::string default_title() { return cp("Tarvel-Сервис. Градуировочные таблицы"); }

SYSCFG& config() {
    static SYSCFG instance;
    return instance;
}

std::string SYSCFG::cfg_file() const { return folder_ + "tgm" + MARKER(kConfigKey).extension(); }

void SYSCFG::start_config(const std::vector<std::string>& params, const std::string& folder,
                          const std::string& forms_folder) {
    register_config_signature();
    folder_ = folder;
    chanpar_ = CHANPAR();
    syspar_ = SYSPAR();
    syspar_.set_forms_folder(forms_folder);
    traffic_ = false;
    trace_ = false;
    title_ = default_title();
    read_ini();
    if (!params.empty() && params[0] == "-t")
        traffic_ = true;
    if (traffic_)
        trace_ = true;
    read_cfg();
}

void SYSCFG::read_ini() {
    XITEXT ini;
    // A settings file has a few short lines: a huge one is read no further than its head.
    if (!ini.load_head(ini_file(), kMaxIniBytes))
        return;
    while (ini.next_line()) {
        ini.split();
        if (ini.key() == "traffic")
            traffic_ = true;
        else if (ini.key() == "trace")
            trace_ = true;
        else if (ini.key() == "title")
            title_ = ini.value();
    }
}

void SYSCFG::read_cfg() {
    const std::string name = cfg_file();
    if (!exists(name))
        return;
    // Opened for writing as well, as the writer does: a read-only file is reported here too.
    XFILE file(name, false, XFILE::Mode::read_write);
    MARKER marker(kConfigKey);
    if (!file.is_open() || !marker.read_signature(file)) {
        show_message(cp("Ошибка при чтении файла конфигурации"));
        return;
    }
    if (!marker.signature_valid())
        return;
    // Fields already read keep their new values when a later one fails.
    std::string folder;
    bool ok = file.read_int32(chanpar_.port) && file.read_int32(chanpar_.reserved_1) &&
              file.read_int32(chanpar_.reserved_2) && file.read_byte(chanpar_.reserved_3) &&
              file.read_text(folder);
    if (ok) {
        syspar_.set_forms_folder(folder);
        ok = file.read_int32(syspar_.console_keyboard);
        // The file is written in place, so a save cut off can leave any bytes here.
        if (syspar_.console_keyboard < 0 || syspar_.console_keyboard > 2)
            syspar_.console_keyboard = 0;
    }
    if (!ok)
        show_message(cp("Ошибка при чтении файла конфигурации"));
}

bool SYSCFG::save_config() {
    // No truncation: a shorter record leaves the old tail, which the reader never looks at.
    XFILE file(cfg_file(), true, XFILE::Mode::read_write);
    const MARKER marker(kConfigKey);
    const bool ok = file.is_open() && marker.write_signature(file) &&
                    file.write_int32(chanpar_.port) && file.write_int32(chanpar_.reserved_1) &&
                    file.write_int32(chanpar_.reserved_2) && file.write_byte(chanpar_.reserved_3) &&
                    file.write_text(syspar_.forms_folder()) &&
                    file.write_int32(syspar_.console_keyboard) && file.close();
    if (!ok)
        show_message(cp("Ошибка при записи файла конфигурации"));
    return ok;
}

} // namespace tgm
