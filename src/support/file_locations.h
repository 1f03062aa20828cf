#pragma once
// Where the program lives and where it keeps tgm.ini, tgm.cfg and the REPORT folder.
#include <string>

namespace tgm {

// Full path of the running executable ("" when the system does not tell).
std::string program_path();
// Whether this is a portable build (the CMake option TGM_PORTABLE), one that keeps its files
// beside the executable when it may. An installed copy is not: it must write nothing beside
// itself, even as root or under a prefix the user can write to.
bool portable_build();
// The folder "beside the executable", with a trailing '/': $TGM_HOME when set; otherwise, in a
// portable build, the executable's folder when it is writable; otherwise $XDG_CONFIG_HOME/tgm
// (~/.config/tgm), created on first use.
std::string home_folder();
// The same rule for either kind of build.
std::string home_folder(bool portable);
// The forms folder at start: the home folder, or the user's home when the settings had to move
// to ~/.config.
std::string default_forms_folder();

} // namespace tgm
