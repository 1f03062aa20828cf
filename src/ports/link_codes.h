#pragma once
// The outcome codes of the link, one space for the protocols and the table operations: a unit
// status passed through unchanged or one of the tool's own. operations/link_errors.h gives each
// its message.
#include <cstdint>

namespace tgm {

constexpr int32_t kLinkOk = 0;
constexpr int32_t kUnitFault = 4;           // the unit's status
constexpr int32_t kLinkFailure = 6;         // the line failed, or the operation was cancelled
constexpr int32_t kPackingFailed = 80;      // a table does not fit the compression
constexpr int32_t kVersionUnsupported = 81; // no driver, or the unit rejects command 8
constexpr int32_t kUnknownOperation = 82;
constexpr int32_t kFlashTooSmall = 83;
// 84, an unknown compression type or method: kUnknownCompression (encoding/directory.h).
constexpr int32_t kFlashFault = 85; // the unit's status
constexpr int32_t kStillInitialising = 254;
// The status a unit gives a command it does not have.
constexpr uint32_t kCommandRejected = 12;

} // namespace tgm
