#include "cli_common.h"
#include "commands.h"

#include "forms/number_text.h"
#include "project/eproject.h"

#include <cstdio>

namespace tgm::cli {

// CHANNEL, CONTROL, MAX_LEVEL, CAPACITY, HEADER per table, tab-separated.
int cmd_info(int argc, char** argv) {
    if (argc != 2)
        return usage_error("usage: tgm-cli info FILE", arguments_reason("FILE", argc, argv));
    EPROJECT project;
    ImportNotes notes;
    if (!load_for_import(argv[1], project, &notes))
        return kUsage;
    // What was read of a spreadsheet table in another layout, for the user to check.
    if (!notes.found.empty())
        std::fprintf(stderr, "%s\n", notes.found.c_str());
    print_resampled(notes);
    for (int32_t k = 0; k < project.count(); ++k) {
        print_line(text_of_integer(k + 1) + '\t' + project.control_text(k) + '\t' +
                   project.max_level_text(k) + '\t' + project.capacity_text(k) + '\t' +
                   project.header(k));
    }
    return kOk;
}

} // namespace tgm::cli
