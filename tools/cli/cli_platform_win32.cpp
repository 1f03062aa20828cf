#include "cli_platform.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace tgm::cli {
namespace {

std::atomic<std::atomic<bool>*> target{nullptr};

BOOL WINAPI on_control(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    if (std::atomic<bool>* flag = target.load())
        flag->store(true);
    return TRUE;
}

} // namespace

void prepare_output() {
    // The texts are UTF-8 and every line ends in LF, as on Linux: files and pipes get exactly
    // these bytes, the console shows them as UTF-8.
    (void)::_setmode(::_fileno(stdout), _O_BINARY);
    (void)::_setmode(::_fileno(stderr), _O_BINARY);
    (void)::SetConsoleOutputCP(CP_UTF8);
}

void catch_interrupt(std::atomic<bool>& flag) {
    target.store(&flag);
    (void)::SetConsoleCtrlHandler(on_control, TRUE);
}

void release_interrupt() { (void)::SetConsoleCtrlHandler(on_control, FALSE); }

} // namespace tgm::cli
