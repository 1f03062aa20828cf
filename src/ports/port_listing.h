#pragma once
// The text `tgm-cli ports` prints: one line per port that opens now.
#include "ports/tportcollection.h"

#include <string>

namespace tgm {

// NUMBER<TAB>DEVICE<TAB>DESCRIPTION lines in the collection's order. The device path stays
// file-system bytes; the description, a program text, is turned into UTF-8 for output.
std::string port_listing(const TPortCollection& ports);

} // namespace tgm
