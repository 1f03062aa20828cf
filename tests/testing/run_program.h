#pragma once
// Runs one of the built programs and captures what it prints.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tgm::test {

struct RunResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};

// `program` is a name at the top of the build folder (TGM_BUILD), e.g. "tgm-cli". A non-zero
// `data_limit` limits the program's data memory (RLIMIT_DATA: the heap, not the libraries' code)
// to that many bytes.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      std::size_t data_limit = 0);
// The same, sending SIGINT (Ctrl+C) once `interrupt_when` says so; it is asked again and again
// while the program runs.
RunResult run_program_interrupted(const std::string& program, const std::vector<std::string>& args,
                                  const std::function<bool()>& interrupt_when,
                                  std::size_t data_limit = 0);

} // namespace tgm::test
