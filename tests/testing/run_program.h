#pragma once
// Runs one of the built programs and captures what it prints.
#include <string>
#include <vector>

namespace tgm::test {

struct RunResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};

// `program` is a name at the top of the build folder (TGM_BUILD), e.g. "tgm-cli".
RunResult run_program(const std::string& program, const std::vector<std::string>& args);

} // namespace tgm::test
