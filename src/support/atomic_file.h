#pragma once
#include <string>

namespace tgm {

// Replaces `path` with `bytes` so that a failure at any point leaves the old file intact:
// the content goes to a temporary file in the same folder, is synced, takes the old file's
// permissions and is renamed over the target. Returns false (temporary removed) on failure.
bool write_file_replacing(const std::string& path, const std::string& bytes);

} // namespace tgm
