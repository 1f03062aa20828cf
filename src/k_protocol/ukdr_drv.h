#pragma once
// Small K-protocol operations on a KMASTER: block reads, commands, the firmware version and
// the remote console's reads.
#include "k_protocol/kmaster.h"

#include <cstdint>

namespace tgm {

// Reads count bytes; false when the exchange failed. The bytes go to out only when the status
// is 0; callers look at the status themselves.
bool k_read(KMASTER& master, uint8_t code, uint8_t sub, uint8_t* out, int32_t count);
bool k_command(KMASTER& master, uint8_t code);
bool k_guarded_command(KMASTER& master, uint8_t code);
// Status 0: the version; status 12: a unit without the version command (has_version false);
// anything else fails.
bool k_version(KMASTER& master, bool& has_version, int32_t& version);
bool k_console_command(KMASTER& master);
bool k_console_read_e0(KMASTER& master, int32_t count, uint8_t sub);
bool k_console_read_f0(KMASTER& master, int32_t count);

} // namespace tgm
