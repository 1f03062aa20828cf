#include "forms/form_problem.h"

#include "support/cp1251.h"

namespace tgm {

std::string FormProblem::text(const std::string& file_name) const {
    std::string out = utf8_to_cp1251(file_name) + ": ";
    if (line > 0)
        out += cp("строка ") + std::to_string(line) + ": ";
    return out + what;
}

} // namespace tgm
