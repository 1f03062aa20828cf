#pragma once
// What the windows and tgm-cli both say after an operation on the unit's tables, made in one
// place so that the two can never drift apart. Code page 1251.
#include <cstdint>
#include <string>

namespace tgm {

class TBVLink;

// The version field of the status bar and of the status line after `operation`: the version
// read, or after a delete the firmware's name of the unit's code ("?" when it has none).
std::string status_version(const TBVLink& link, int32_t operation);

// A read that found no table in the unit.
std::string no_tables_text();

// A comparison's sentence: the unit's tables are the project's, or not.
std::string comparison_sentence(bool same);

// What a write or a delete that went through says first, before its activation notice.
std::string change_done_text(int32_t operation);

} // namespace tgm
