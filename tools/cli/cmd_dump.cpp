#include "cli_common.h"
#include "commands.h"

#include "forms/convert.h"
#include "forms/number_text.h"
#include "project/eproject.h"

#include <cstdio>

namespace tgm::cli {

// Litres at 0, 1, 2 ... cm per table; "-" for a table that does not convert.
int cmd_dump(int argc, char** argv) {
    if (argc != 2)
        return usage_error("usage: tgm-cli dump FILE");
    EPROJECT project;
    if (!project.open_form(argv[1]))
        return kUsage;
    PARTAB points;
    std::string line;
    for (int32_t k = 0; k < project.count(); ++k) {
        const FORMA& table = project.tables().table(k);
        line = text_of_integer(k + 1) + ':';
        if (table.filled()) {
            if (!convert_table(table, points)) {
                line += " -";
            } else {
                for (int32_t i = 0; i < points.count(); ++i) {
                    line += ' ';
                    line += text_of_integer(points.point(i));
                }
            }
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return kOk;
}

} // namespace tgm::cli
