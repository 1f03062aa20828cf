#include "cli_common.h"
#include "commands.h"

#include "forms/csv_reader.h"
#include "forms/csv_writer.h"
#include "forms/form_kind.h"
#include "project/eproject.h"
#include "support/cp1251.h"

namespace tgm::cli {

// Opens IN as "Открыть" does (a .csv as the CSV import does) and exports the project into the
// kind of OUT's extension, or as a CSV file.
int cmd_convert(int argc, char** argv) {
    if (argc != 3)
        return usage_error("usage: tgm-cli convert IN OUT", arguments_reason("IN OUT", argc, argv));
    const std::string in = argv[1];
    const std::string out = argv[2];
    const bool csv = is_csv_file_name(out);
    const int kind = form_type_of_file(out);
    if (!csv && (kind < kFormFs || kind > kFormFs32)) {
        print_error(cp("Неизвестная форма!"));
        print_error(utf8_to_cp1251(out) + ": " + cp(kWrittenKinds));
        return kUsage;
    }
    EPROJECT imported;
    if (!load_for_import(in, imported))
        return kUsage;
    // A table that does not convert would arrive as something other than the user's data; the
    // refusal names each such channel on its own line of stderr.
    if (!imported.check_conversion())
        return kUsage;
    EPROJECT project;
    project.take_tables(imported);
    if (csv) {
        GROUPTAB group;
        project.build_group(group);
        return write_csv_file(out, group) ? kOk : kFailed;
    }
    return project.export_form(out, kind) ? kOk : kFailed;
}

} // namespace tgm::cli
