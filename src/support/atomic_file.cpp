#include "support/atomic_file.h"

#include "support/cp1251.h"
#include "support/full_transfer.h"
#include "support/platform.h"
#include "support/system_error_text.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tgm {
namespace {

std::atomic<ReplaceHook> replace_hook{nullptr};

void reached(ReplaceStep step) {
    if (const ReplaceHook hook = replace_hook.load())
        hook(step);
}

mode_t default_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

constexpr char kTemporaryMark[] = ".tgm-";
constexpr std::size_t kUniquePart = 6; // the XXXXXX of mkstemp

// ".<name>.tgm-", or ".tgm-" alone when the name leaves no room for it in a file name.
std::string temporary_prefix(const std::string& name) {
    const std::string prefix = "." + name + kTemporaryMark;
    return prefix.size() + kUniquePart <= longest_file_name() ? prefix
                                                              : std::string(kTemporaryMark);
}

// Temporaries of this target that a killed save left: the prefix and six characters. Those of
// other targets are theirs to clear.
void remove_stale_temporaries(const std::string& folder, const std::string& prefix) {
    if (prefix == kTemporaryMark)
        return; // too unspecific to tell whose they are
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + kUniquePart &&
            name.compare(0, prefix.size(), prefix) == 0)
            stale.push_back(folder + name);
    }
    ::closedir(dir);
    for (const std::string& path : stale)
        ::unlink(path.c_str());
}

} // namespace

ReplaceHook set_replace_hook(ReplaceHook hook) { return replace_hook.exchange(hook); }

std::string replace_problem(const std::string& path) {
    const std::string name = utf8_to_cp1251(path);
    const auto slash = last_path_separator(path);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    if (base.empty() || base.size() > longest_file_name() || path.size() >= PATH_MAX)
        return cp("имя файла слишком длинное или пустое: ") + name;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return cp("папка ") + utf8_to_cp1251(folder) + cp(" не найдена");
    if (!S_ISDIR(st.st_mode))
        return utf8_to_cp1251(folder) + cp(" — не папка");
    if (!folder_writable(folder))
        return cp("папка ") + utf8_to_cp1251(folder) + cp(" защищена от записи");
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return name + cp(" — это папка");
        // The file is replaced by a rename, which its own bits would not stop; root's write
        // access stops nothing either, so the bits themselves are asked.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0)
            return name + cp(": файл защищён от записи");
    }
    return {};
}

bool write_file_replacing(const std::string& path, const std::string& bytes, std::string* why) {
    if (std::string problem = replace_problem(path); !problem.empty()) {
        if (why != nullptr)
            *why = std::move(problem);
        return false;
    }
    struct stat old {};
    const bool existed = ::stat(path.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        return false;

    const std::size_t slash = last_path_separator(path);
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string prefix = temporary_prefix(path.substr(folder.size()));
    const std::string pattern = folder + prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // Why the file was not written, a full disk above all.
    const auto failed = [&](int error) {
        if (why != nullptr)
            *why = utf8_to_cp1251(path) + ": " + system_error_text(error);
        return false;
    };
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return failed(errno);
    reached(ReplaceStep::created);

    const mode_t mode = existed ? (old.st_mode & 07777) : default_mode();
    const std::size_t half = bytes.size() / 2;
    bool ok = write_all(fd, bytes.data(), half);
    if (ok)
        reached(ReplaceStep::half_written);
    ok = ok && write_all(fd, bytes.data() + half, bytes.size() - half) && set_file_mode(fd, mode) &&
         sync_file(fd);
    if (ok)
        reached(ReplaceStep::synced);
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = replace_by_rename(name.data(), path);
    if (!ok) {
        const int error = errno;
        ::unlink(name.data());
        return failed(error);
    }
    reached(ReplaceStep::renamed);
    // The rename is durable only once the folder that records it is.
    sync_folder(folder);
    remove_stale_temporaries(folder, prefix);
    return true;
}

} // namespace tgm
