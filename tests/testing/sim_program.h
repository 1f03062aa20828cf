#pragma once
// The built tgm-sim, started as a user would: it prints the line's path and serves it until
// stopped the way Ctrl+C stops it.
#include <string>
#include <sys/types.h>
#include <vector>

namespace tgm::test {

class SimProgram {
public:
    // With err_path, what it says on stderr goes to that file.
    explicit SimProgram(std::vector<std::string> args, const std::string& err_path = {});
    ~SimProgram();
    SimProgram(const SimProgram&) = delete;
    SimProgram& operator=(const SimProgram&) = delete;

    // Stops the program with SIGINT; its exit code.
    int stop();
    pid_t pid() const { return pid_; }
    // The first line it printed: the pseudo-terminal's path.
    const std::string& line() const { return line_; }

private:
    pid_t pid_ = -1;
    std::string line_;
};

} // namespace tgm::test
