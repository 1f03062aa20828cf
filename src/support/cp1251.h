#pragma once
// Code page 1251 <-> UTF-8. Inside the core every text is code page 1251 bytes; conversion
// happens only at the edges (windows, command-line output) and where the program's own
// UTF-8 literals enter the core.
#include <string>
#include <string_view>

namespace tgm {

// Each byte becomes one Unicode character (0x98, unassigned, maps to U+0098 so nothing is lost).
std::string cp1251_to_utf8(std::string_view text);

// Characters outside the code page become '?'; malformed UTF-8 bytes become '?' each.
std::string utf8_to_cp1251(std::string_view text);

// Whether the whole text is well-formed UTF-8.
bool is_utf8(std::string_view text);

// The program's own Russian texts are UTF-8 literals; this is where they enter the core.
inline std::string cp(std::string_view utf8_literal) { return utf8_to_cp1251(utf8_literal); }

} // namespace tgm
