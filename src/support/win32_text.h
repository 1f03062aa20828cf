#pragma once
// UTF-8 file names and texts to and from the wide ones of the Windows calls; only the *_win32
// files include this.
#include <string>

namespace tgm {

std::wstring wide(const std::string& utf8);
std::string utf8_of(const std::wstring& text);

} // namespace tgm
