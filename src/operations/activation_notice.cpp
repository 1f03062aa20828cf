#include "operations/activation_notice.h"

#include "operations/generation.h"
#include "support/cp1251.h"

namespace tgm {

std::string activation_notice(int32_t version_code, const std::string& text) {
    const Generation generation = generation_of(version_code);
    if (generation.restarts)
        return text + cp("\rВыполняется перезагрузка системы");
    if (generation.power_cycle)
        return text + cp("\rВнимание !\nЧтобы записанный проект стал активным,\n"
                         "необходимо переключить питание системы");
    return {};
}

} // namespace tgm
