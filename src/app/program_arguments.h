#pragma once
// The program's command line. "-t" is the trace switch only as the first parameter (the
// configuration reads it there); parameters beginning with "--" are options; the first other
// parameter is a form file to open once the main window shows.
#include <string>
#include <vector>

namespace tgm {

struct ProgramArguments {
    std::vector<std::string> options; // as written, "--" included
    std::string file;                 // empty: none given
};

// `params`: the parameters after the program name.
ProgramArguments read_arguments(const std::vector<std::string>& params);

} // namespace tgm
