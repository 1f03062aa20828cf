#pragma once
// What the user is told after a successful write or clear: the newer units restart by
// themselves, the older ones must be switched off and on, the oldest need nothing.
#include <cstdint>
#include <string>

namespace tgm {

// `text` with the line for the unit's generation (by the link's version_code), or an empty
// text when nothing is to be shown. Code page 1251; CR and LF stand inside.
std::string activation_notice(int32_t version_code, const std::string& text);

} // namespace tgm
