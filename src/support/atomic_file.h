#pragma once
#include <string>

namespace tgm {

// Replaces `path` with `bytes` so that a failure or a kill at any point leaves either the old
// file or the new one: the content goes to a temporary file named after the target
// (".<name>.tgm-XXXXXX") in the same folder, is synced, takes the old file's permissions and
// is renamed over the target; then the folder is synced, so that the rename outlives a power
// loss, and temporaries that killed saves of the same target left behind are removed. Returns
// false (temporary removed) on failure, with what replace_problem found in `why` when it found
// something. A write-protected target is refused: the rename would replace it all the same.
bool write_file_replacing(const std::string& path, const std::string& bytes,
                          std::string* why = nullptr);

// Why `path` cannot be written by write_file_replacing (code page 1251): its folder is missing,
// not a folder or closed to writing, the name is a folder, too long, or a write-protected
// file; empty when nothing stands in the way. Lets a command refuse before its work starts.
std::string replace_problem(const std::string& path);

// The moments of a replacement, in order.
enum class ReplaceStep { created, half_written, synced, renamed };
// Called after each step; tests die there to see what a kill leaves.
using ReplaceHook = void (*)(ReplaceStep step);
// Installs a hook (nullptr: none); returns the one it replaces.
ReplaceHook set_replace_hook(ReplaceHook hook);

} // namespace tgm
