#include "support/platform.h"

#include "support/win32_text.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace tgm {
namespace {

std::string env(const wchar_t* name) {
    const wchar_t* v = ::_wgetenv(name);
    return v ? utf8_of(v) : std::string();
}

std::string with_separator(std::string folder) {
    if (folder.empty() || !is_path_separator(folder.back()))
        folder += '\\';
    return folder;
}

} // namespace

// File names are UTF-8 inside the program (the manifest makes it the active code page).
std::wstring wide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string utf8_of(const std::wstring& text) {
    if (text.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

std::size_t last_path_separator(const std::string& path) { return path.find_last_of("\\/"); }

bool is_path_separator(char c) { return c == '/' || c == '\\'; }

std::size_t longest_file_name() { return MAX_PATH - 1; }

int plain_open_flags() { return O_BINARY | O_NOINHERIT; }

std::tm local_time(std::time_t now) {
    std::tm when{};
    ::localtime_s(&when, &now);
    return when;
}

bool make_folder(const std::string& path) { return ::mkdir(path.c_str()) == 0; }

bool sync_file(int fd) { return ::_commit(fd) == 0; }

bool read_at(int fd, void* p, std::size_t n, long long offset) {
    return ::_lseeki64(fd, offset, SEEK_SET) == offset &&
           ::_read(fd, p, static_cast<unsigned>(n)) == static_cast<int>(n);
}

bool set_file_mode(int, unsigned) { return true; }

bool replace_by_rename(const std::string& from, const std::string& to) {
    // rename() refuses an existing target here.
    return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void sync_folder(const std::string&) {} // MOVEFILE_WRITE_THROUGH did it

bool path_taken(const std::string& path) {
    return ::GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool folder_writable(const std::string& folder) {
    const DWORD attributes = ::GetFileAttributesW(wide(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string executable_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size())
            return utf8_of(path.substr(0, n));
        path.resize(path.size() * 2);
    }
}

std::string user_settings_folder() {
    return with_separator(with_separator(env(L"APPDATA")) + "tgm");
}

std::string user_home_folder() { return with_separator(env(L"USERPROFILE")); }

namespace {

// The volume and the file index of an existing file; false when it does not open.
bool file_identity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE h = ::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    return ok;
}

} // namespace

// Windows' stat() gives every file inode 0: only the handle's file index tells two files apart.
bool same_file(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    return file_identity(a, ia) && file_identity(b, ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

} // namespace tgm
