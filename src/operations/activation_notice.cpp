#include "operations/activation_notice.h"

#include "support/cp1251.h"

namespace tgm {

std::string activation_notice(int32_t version_code, const std::string& text) {
    const int32_t code = unit_code(version_code);
    if (code >= 10)
        return text + cp("\rВыполняется перезагрузка системы");
    if (code >= 4)
        return text + cp("\rВнимание !\nЧтобы записанный проект стал активным,\n"
                         "необходимо переключить питание системы");
    return {};
}

} // namespace tgm
