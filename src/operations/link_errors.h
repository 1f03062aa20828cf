#pragma once
// The one message each outcome code of a table operation shows.
#include "encoding/directory.h"
#include "ports/link_codes.h"

#include <cstdint>
#include <string>

namespace tgm {

// "OK", one of the unit's or the tool's messages, or "Ошибка связи"; code page 1251.
std::string link_error_text(int32_t code);

} // namespace tgm
