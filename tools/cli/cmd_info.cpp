#include "cli_common.h"
#include "commands.h"

#include "forms/number_text.h"
#include "project/eproject.h"

namespace tgm::cli {

// CHANNEL, CONTROL, MAX_LEVEL, CAPACITY, HEADER per table, tab-separated.
int cmd_info(int argc, char** argv) {
    if (argc != 2)
        return usage_error("usage: tgm-cli info FILE");
    EPROJECT project;
    if (!load_for_import(argv[1], project))
        return kUsage;
    for (int32_t k = 0; k < project.count(); ++k) {
        print_line(text_of_integer(k + 1) + '\t' + project.control_text(k) + '\t' +
                   project.max_level_text(k) + '\t' + project.capacity_text(k) + '\t' +
                   project.header(k));
    }
    return kOk;
}

} // namespace tgm::cli
