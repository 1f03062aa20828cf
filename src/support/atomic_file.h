#pragma once
#include <string>

namespace tgm {

// Replaces `path` with `bytes` so that a failure or a kill at any point leaves either the old
// file or the new one: the content goes to a temporary file named after the target
// (".<name>.tgm-XXXXXX") in the same folder, is synced, takes the old file's permissions and
// is renamed over the target; then the folder is synced, so that the rename outlives a power
// loss, and temporaries that killed saves of the same target left behind are removed. Returns
// false (temporary removed) on failure.
bool write_file_replacing(const std::string& path, const std::string& bytes);

// The moments of a replacement, in order.
enum class ReplaceStep { created, half_written, synced, renamed };
// Called after each step; tests die there to see what a kill leaves.
using ReplaceHook = void (*)(ReplaceStep step);
// Installs a hook (nullptr: none); returns the one it replaces.
ReplaceHook set_replace_hook(ReplaceHook hook);

} // namespace tgm
