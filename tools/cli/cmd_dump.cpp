#include "cli_common.h"
#include "commands.h"

#include "forms/convert.h"
#include "forms/number_text.h"
#include "forms/table_crc.h"
#include "project/eproject.h"

#include <cstdio>
#include <cstring>

namespace tgm::cli {

// Litres at 0, 1, 2 ... cm per table, or with --crc their CRC-32 as the printed sheets show it;
// "-" for a table that does not convert.
int cmd_dump(int argc, char** argv) {
    const char* file = nullptr;
    int files = 0;
    bool crc = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--crc") == 0) {
            crc = true;
        } else {
            file = argv[i];
            ++files;
        }
    }
    if (files != 1)
        return usage_error("usage: tgm-cli dump FILE [--crc]",
                           arguments_reason("FILE [--crc]", argc, argv));
    EPROJECT project;
    ImportNotes notes;
    if (!load_for_import(file, project, &notes))
        return kUsage;
    print_resampled(notes);
    PARTAB points;
    std::string line;
    for (int32_t k = 0; k < project.count(); ++k) {
        const FORMA& table = project.tables().table(k);
        line = text_of_integer(k + 1) + ':';
        if (table.filled()) {
            if (!convert_table(table, points)) {
                line += " -";
            } else if (crc) {
                line += ' ' + crc_text(table_crc(points));
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
