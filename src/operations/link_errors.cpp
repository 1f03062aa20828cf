#include "operations/link_errors.h"

#include "support/cp1251.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tgm {
namespace {

// "N байт" with the form Russian gives the number.
std::string bytes_text(int64_t n) {
    const int64_t last = n % 10;
    const int64_t tens = n % 100;
    const bool few = last >= 2 && last <= 4 && (tens < 12 || tens > 14);
    return std::to_string(n) + cp(few ? " байта" : " байт");
}

// Why a channel's table does not fit: its control text, or a count no record carries.
std::string unfit_text(const PARTAB& table) {
    if (table.count() > kMaxTablePoints)
        return std::to_string(table.count()) + cp(" точек, больше ") +
               std::to_string(kMaxTablePoints);
    return cp("контроль «") + table.control_text() + cp("»");
}

} // namespace

std::string link_error_text(int32_t code) {
    switch (code) {
    case kLinkOk: return "OK";
    case kUnitFault: return cp("Неисправность БВ!");
    case kPackingFailed: return cp("Ошибка сжатия таблиц");
    case kVersionUnsupported: return cp("Ошибка. Версия БВ не поддерживается");
    case kFlashTooSmall: return cp("Ошибка. Недостаточно флэш-памяти БВ!");
    case kUnknownCompression: return cp("Неизвестный тип сжатия таблиц");
    case kFlashFault: return cp("Ошибка флэш-памяти БВ!");
    case kStillInitialising: return cp("Ошибка. БВ в режиме инициализации");
    default: return cp("Ошибка связи");
    }
}

std::string packing_reason(const GROUPTAB& group, const PackingFailures& failures) {
    const uint32_t channels = failures.channels();
    // The channels of one cause together, the causes in the order of their first channel:
    // "1, 2, 5 (контроль «OK*»), 3 (контроль «OK**»)".
    std::vector<std::pair<std::string, std::string>> causes;
    int32_t named = 0;
    for (int32_t k = 0; k < kDirectoryChannels && k < group.count(); ++k) {
        if ((channels >> k & 1u) == 0)
            continue;
        ++named;
        const std::string why = unfit_text(group.item(k));
        auto cause = std::find_if(causes.begin(), causes.end(),
                                  [&](const auto& c) { return c.second == why; });
        if (cause == causes.end())
            causes.emplace_back(std::to_string(k + 1), why);
        else
            cause->first += ", " + std::to_string(k + 1);
    }
    if (named == 0)
        return {};
    std::string list;
    for (const auto& [numbers, why] : causes)
        list += (list.empty() ? "" : ", ") + numbers + " (" + why + ")";
    const bool one = named == 1;
    const std::string text = cp(one ? "Канал " : "Каналы ") + list;
    if (failures.each_fits_alone())
        return text + cp(" по отдельности помещаются, но вместе — ни в один формат этой системы.");
    return text + cp(one ? " не помещается" : " не помещаются") +
           cp(" ни в один формат этой системы.");
}

std::string flash_reason(int64_t image, int64_t room, int64_t flash) {
    std::string text = cp("Образ таблиц — ") + bytes_text(image) +
                       cp(", а во флэш-памяти БВ для таблиц места ") +
                       bytes_text(room < 0 ? 0 : room);
    if (flash >= 0)
        text += cp(" (всего флэш-памяти ") + bytes_text(flash) + ")";
    return text + ".";
}

std::string block_reason(int32_t channel, int64_t block, int64_t largest) {
    return cp("Таблица канала ") + std::to_string(channel) + cp(" в образе — ") +
           bytes_text(block) + cp(", а БВ принимает за раз не более ") + bytes_text(largest) + ".";
}

std::string version_reason(const std::string& version_text, bool no_driver) {
    if (version_text.empty())
        return cp(no_driver ? "БВ не сообщил своей версии: таблицы такого БВ программа не читает и "
                              "не пишет."
                            : "БВ не сообщил своей версии и не знает запроса типов сжатия таблиц "
                              "(ответ 12).");
    const std::string version = cp("БВ сообщил версию ") + version_text;
    if (no_driver)
        return version + cp(": таблицы этой версии программа не читает и не пишет.");
    return version + cp(", но не знает запроса типов сжатия таблиц (ответ 12).");
}

} // namespace tgm
