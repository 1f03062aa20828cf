#include "support/updater_process.h"

#include "support/cp1251.h"
#include "support/win32_text.h"

#include <sys/stat.h>
// windows.h first: shellapi.h builds on it.
#include <windows.h>

#include <shellapi.h>

namespace tgm {
namespace {

// The updater's exit code that asks to be started again to replace this program.
constexpr DWORD kReplaceRequest = static_cast<DWORD>(-9);

// A bare name must not be looked up in PATH or the system's folders: the updater found here
// is meant.
std::wstring program_of(const std::string& path) {
    return wide(path.find_first_of("\\/:") == std::string::npos ? ".\\" + path : path);
}

// The process id, the mode letter and the executable, as one parameter line.
std::wstring parameters(const char* mode, const std::string& exe_path) {
    return std::to_wstring(::GetCurrentProcessId()) + L" " + wide(mode) + L" \"" + wide(exe_path) +
           L"\"";
}

} // namespace

bool is_updater_file(const std::string& path) {
    // tgmupd*.exe: a program by its extension, as Windows starts one.
    const std::size_t n = path.size();
    const bool exe = n >= 4 && path[n - 4] == '.' && (path[n - 3] | 0x20) == 'e' &&
                     (path[n - 2] | 0x20) == 'x' && (path[n - 1] | 0x20) == 'e';
    struct _stat64 st {};
    return exe && ::_wstat64(wide(path).c_str(), &st) == 0 && (st.st_mode & _S_IFREG) != 0;
}

UpdaterCheck run_updater_check(const std::string& path, const std::string& exe_path) {
    const std::wstring program = program_of(path);
    std::wstring line = L"\"" + wide(path) + L"\" " + parameters("c", exe_path);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process))
        return {static_cast<int>(::GetLastError()), false};
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    const bool ended = ::GetExitCodeProcess(process.hProcess, &code) != 0;
    ::CloseHandle(process.hProcess);
    return {0, ended && code == kReplaceRequest};
}

std::string start_updater_replace(const std::string& path, const std::string& exe_path) {
    const std::wstring program = program_of(path);
    const std::wstring params = parameters("r", exe_path);
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        nullptr, nullptr, program.c_str(), params.c_str(), nullptr, SW_SHOWDEFAULT));
    if (result > 32)
        return {};
    wchar_t* text = nullptr;
    ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message;
    if (text != nullptr) {
        message = utf8_to_cp1251(utf8_of(text));
        ::LocalFree(text);
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message.empty() ? std::to_string(result) : message;
}

} // namespace tgm
