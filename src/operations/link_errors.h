#pragma once
// The one message each outcome code of a table operation shows, and the reasons shown under
// some of them: what failed and with which figures, so that the user knows what to do next.
#include "encoding/directory.h"
#include "encoding/packing_failures.h"
#include "model/grouptab.h"
#include "ports/link_codes.h"

#include <cstdint>
#include <string>

namespace tgm {

// "OK", one of the unit's or the tool's messages, or "Ошибка связи"; code page 1251.
std::string link_error_text(int32_t code);

// A reason kept with the code it explains: a later step that ends with another code leaves
// no stale reason under its message.
struct LinkReason {
    int32_t code = 0;
    std::string text;

    void set(int32_t explained, std::string reason) {
        code = explained;
        text = std::move(reason);
    }
    std::string for_code(int32_t error_code) const {
        return error_code != 0 && error_code == code ? text : std::string();
    }
};

// The reasons, code page 1251.
// Under 80: the channels of `failures` with their control texts.
std::string packing_reason(const GROUPTAB& group, const PackingFailures& failures);
// Under 83: the image's size and the room the unit has for it; `flash`, when not negative, is
// the whole flash the unit reported.
std::string flash_reason(int64_t image, int64_t room, int64_t flash = -1);
// Under 83: a table's block (channel counted from 1) longer than the unit takes in one.
std::string block_reason(int32_t channel, int64_t block, int64_t largest);
// Under 81: the version as the status bar shows it; `no_driver` when the tool has no driver
// for it, otherwise the unit refused the question of its compression types.
std::string version_reason(const std::string& version_text, bool no_driver);

} // namespace tgm
