#pragma once
// The outcome codes of a table operation and the one message each shows. A code is a unit
// status passed through unchanged or one of the tool's own.
#include "encoding/directory.h"

#include <cstdint>
#include <string>

namespace tgm {

constexpr int32_t kLinkOk = 0;
constexpr int32_t kUnitFault = 4;            // the unit's status
constexpr int32_t kLinkFailure = 6;          // the line failed, or the operation was cancelled
constexpr int32_t kPackingFailed = 80;       // a table does not fit the compression
constexpr int32_t kVersionUnsupported = 81;  // no driver, or the unit rejects command 8
constexpr int32_t kUnknownOperation = 82;
constexpr int32_t kFlashTooSmall = 83;
// 84, an unknown compression type or method: kUnknownCompression.
constexpr int32_t kFlashFault = 85;          // the unit's status
constexpr int32_t kStillInitialising = 254;
// The status a unit gives a command it does not have.
constexpr uint32_t kCommandRejected = 12;

// "OK", one of the unit's or the tool's messages, or "Ошибка связи"; code page 1251.
std::string link_error_text(int32_t code);

} // namespace tgm
