#pragma once
// The few file-system calls that differ between POSIX and Windows, so that the files using
// them stay one: platform_posix.cpp and platform_win32.cpp, one of which CMake builds.
#include <cstddef>
#include <ctime>
#include <string>

namespace tgm {

// Where the last path separator is ("/"; on Windows "\" and "/" too), or npos.
std::size_t last_path_separator(const std::string& path);
bool is_path_separator(char c);
// The longest file name a folder takes.
std::size_t longest_file_name();

// Flags that open() adds to every plain file: never a controlling terminal, never inherited
// (POSIX); binary, never inherited (Windows, where text mode would turn LF into CR LF).
int plain_open_flags();
// The local time of `now`, thread-safely.
std::tm local_time(std::time_t now);
// Makes one folder, open to everyone the process's mask allows.
bool make_folder(const std::string& path);
// Writes what the system holds of the file to the disk.
bool sync_file(int fd);
// Reads n bytes at `offset` without moving the file position where the system can.
bool read_at(int fd, void* p, std::size_t n, long long offset);
// Gives an open file the mode bits; where the system has none, nothing.
bool set_file_mode(int fd, unsigned mode);
// Puts `from` in place of `to` in one step, replacing it (and, on Windows, writing through).
bool replace_by_rename(const std::string& from, const std::string& to);
// Makes a rename in `folder` durable where the system needs it asked.
void sync_folder(const std::string& folder);
// Whether anything is at `path`, a dangling link included.
bool path_taken(const std::string& path);
// Whether the process may make files in `folder`.
bool folder_writable(const std::string& folder);
// Whether two names, both of existing files, reach one file (links and other spellings
// included): the same device and inode, or on Windows the same volume and file index.
bool same_file(const std::string& a, const std::string& b);

// Full path of the running executable ("" when the system does not tell).
std::string executable_path();
// The user's own place for the settings of an installed copy, with a trailing separator:
// $XDG_CONFIG_HOME/tgm (~/.config/tgm); on Windows %APPDATA%\tgm.
std::string user_settings_folder();
// The user's home folder with a trailing separator.
std::string user_home_folder();

} // namespace tgm
