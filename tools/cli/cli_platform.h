#pragma once
// What tgm-cli does differently on POSIX and on Windows (cli_platform_posix.cpp,
// cli_platform_win32.cpp): Ctrl+C, and how the output streams carry bytes.
#include <atomic>

namespace tgm::cli {

// The output streams as the program writes them: on Windows binary (no CR added to a line
// end) and the console's code page UTF-8; nothing to do on POSIX.
void prepare_output();

// From now until release_interrupt, Ctrl+C sets `flag` instead of ending the program.
void catch_interrupt(std::atomic<bool>& flag);
void release_interrupt();

} // namespace tgm::cli
