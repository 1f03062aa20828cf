#include "operations/unit_messages.h"

#include "operations/generation.h"
#include "operations/tbvlink.h"
#include "operations/version_table.h"
#include "support/cp1251.h"

namespace tgm {

std::string status_version(const TBVLink& link, int32_t operation) {
    return operation == TBVLink::kClear ? name_of_code(unit_code(link.version_code))
                                        : link.version_text;
}

std::string no_tables_text() { return cp("Таблицы объёма в системе отсутствуют"); }

std::string change_done_text(int32_t operation) {
    return cp(operation == TBVLink::kWrite ? "Запись таблиц завершена." : "Таблицы удалены.");
}

std::string comparison_sentence(bool same) {
    return cp(same ? "Таблицы системы совпадают с проектом."
                   : "Таблицы системы отличны от проекта !");
}

} // namespace tgm
