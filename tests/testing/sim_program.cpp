#include "testing/sim_program.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tgm::test {

SimProgram::SimProgram(std::vector<std::string> args, const std::string& err_path) {
    args.insert(args.begin(), std::string(TGM_BUILD_DIR) + "/tgm-sim");
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (!err_path.empty())
        posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        pid_ = -1;
        throw std::runtime_error("cannot start " + args[0]);
    }
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        line_ += c;
    ::close(out[0]);
}

int SimProgram::stop() {
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, SIGINT);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SimProgram::~SimProgram() { stop(); }

} // namespace tgm::test
