#include "testing/unprivileged.h"

#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tgm::test {
namespace {

constexpr uid_t kNobody = 65534;

std::string group_name(gid_t gid) {
    const group* g = ::getgrgid(gid);
    return g != nullptr ? g->gr_name : std::to_string(gid);
}

} // namespace

std::string as_unprivileged(const std::function<std::string()>& body) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0)
        return "child failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipe_fds[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(1);
        const std::string out = body();
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::write(pipe_fds[1], out.data() + done, out.size() - done);
            if (n <= 0)
                ::_exit(1);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipe_fds[1]);
    std::string out;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe_fds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return "child failed";
    return out;
}

std::string deny_to_unprivileged(const std::string& device) {
    if (::geteuid() == 0) {
        const group* dialout = ::getgrnam("dialout");
        if (dialout != nullptr)
            (void)::chown(device.c_str(), static_cast<uid_t>(-1), dialout->gr_gid);
        (void)::chmod(device.c_str(), 0660);
    } else {
        (void)::chmod(device.c_str(), 0060); // the owner's own bits decide for the owner
    }
    struct stat st {};
    (void)::stat(device.c_str(), &st);
    return group_name(st.st_gid);
}

void open_to_unprivileged(const std::string& folder) { (void)::chmod(folder.c_str(), 0755); }

} // namespace tgm::test
