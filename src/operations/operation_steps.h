#pragma once
// Steps that the K and the V side of a table operation share.
#include "encoding/directory.h"
#include "operations/txthread.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tgm {

// The stage that announces an image: "vt_", the type, three blanks, the KiB as "0.#", " kb".
std::string image_stage_text(int32_t type, int32_t bytes);

// The wait for the end of the unit's initialisation: up to 46 polls, each one that finds the
// unit still initialising followed by 500 ms of sleep, the stage saying so from the first
// sleep on and the progress climbing to 100. `poll` returns true while the unit initialises.
// Returns whether it slept.
bool wait_for_initialisation(TXThread& link, const std::function<bool()>& poll);

// Moves the blocks of `blocks` distinct tables one by one through `transfer` (false stops);
// the link's progress starts at `first` and grows by `step` per block, never above 100.
bool for_each_block(TXThread& link, int32_t blocks, int32_t first, int32_t step,
                    const std::function<bool(int32_t)>& transfer);

// Whether the tables a directory names can be read: a type without a layout, or a directory no
// unit could hold, would give tables of unknown points. 0, or kUnknownCompression.
int32_t readable_directory(const Directory& dir, bool type_has_layout);

} // namespace tgm
