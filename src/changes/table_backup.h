#pragma once
// The copy of a unit's tables taken before a change: a form file of kind .fs in BACKUP, named
// after the unit and the moment, so that it can be opened and written back.
#include "model/grouptab.h"

#include <ctime>
#include <string>

namespace tgm {

// "9600_2026-12-09_14-32-05.fs": the version as the status bar shows it, blanks trimmed and any
// character a file name had better not hold as "_", then the local date and time.
std::string backup_file_name(const std::string& version_text, std::time_t now);
// Where the copy goes. `given` empty: `home` + "BACKUP/" + the name; ending in "/" or naming an
// existing folder: that folder + the name; anything else is the copy's file itself (its extension
// made .fs). A name that is taken gets "_2", "_3" ... before its extension.
std::string backup_target(const std::string& given, const std::string& home,
                          const std::string& version_text, std::time_t now);
// Saves `tables` as a .fs form file, atomically, creating its folder when missing. False with
// the reason in `why` (code page 1251).
bool save_backup(const GROUPTAB& tables, const std::string& path, std::string& why);

} // namespace tgm
