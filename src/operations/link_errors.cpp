#include "operations/link_errors.h"

#include "support/cp1251.h"

namespace tgm {

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

} // namespace tgm
