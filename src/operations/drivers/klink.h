#pragma once
// The K side of the link thread: opens the port, learns the firmware version, runs the table
// driver of that generation and, after a write or a clear on the newer units, the finishing
// command. Sets error_text, version_code and version_text; true on success.
#include "operations/tbvlink.h"

namespace tgm {

bool RunKLink(TBVLink& link);

} // namespace tgm
