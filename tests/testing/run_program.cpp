#include "testing/run_program.h"

#include "testing/files.h"
#include "testing/temp_dir.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tgm::test {

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      std::size_t data_limit) {
    return run_program_interrupted(program, args, nullptr, data_limit);
}

RunResult run_program_interrupted(const std::string& program, const std::vector<std::string>& args,
                                  const std::function<bool()>& interrupt_when,
                                  std::size_t data_limit) {
    const std::string path = std::string(TGM_BUILD_DIR) + "/" + program;
    TempDir dir;
    const std::string out = dir.file("out"), err = dir.file("err");

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // Only async-signal-safe calls between fork and exec; everything is prepared above.
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("cannot start " + path);
    if (pid == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
            ::_exit(127);
        rlimit limit{};
        if (data_limit && ::getrlimit(RLIMIT_DATA, &limit) == 0) {
            limit.rlim_cur = data_limit;
            ::setrlimit(RLIMIT_DATA, &limit);
        }
        ::execve(path.c_str(), argv.data(), environ);
        ::_exit(127);
    }
    if (interrupt_when) {
        int status = 0;
        while (!interrupt_when())
            if (::waitpid(pid, &status, WNOHANG) == pid)
                throw std::runtime_error(path + " ended before it was interrupted");
            else
                ::usleep(2000);
        ::kill(pid, SIGINT);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult r;
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = read_file(out);
    r.err = read_file(err);
    return r;
}

} // namespace tgm::test
