#include "app/program_arguments.h"

namespace tgm {

ProgramArguments read_arguments(const std::vector<std::string>& params) {
    ProgramArguments arguments;
    for (std::size_t i = 0; i < params.size(); ++i) {
        const std::string& p = params[i];
        if (i == 0 && p == "-t")
            continue;
        if (p.rfind("--", 0) == 0)
            arguments.options.push_back(p);
        else if (arguments.file.empty())
            arguments.file = p;
    }
    return arguments;
}

} // namespace tgm
