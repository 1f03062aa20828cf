#pragma once
// One traffic entry of either protocol: "#", the longest byte wait in ms, " >", the bytes
// sent, " <", the bytes received, each byte as lower-case hex without leading zeros and one
// blank ("%x ").
#include "support/data.h"

#include <cstdint>
#include <string>

namespace tgm {

void append_byte_dump(std::string& out, const DATA& bytes);
void append_traffic_line(std::string& out, uint32_t wait_ms, const DATA& sent,
                         const DATA& received);

} // namespace tgm
