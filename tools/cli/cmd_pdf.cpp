#include "cli_common.h"
#include "commands.h"
#include "offscreen_painting.h"

#include "project/eproject.h"
#include "render/calibration_sheet.h"

#include <QDate>

namespace tgm::cli {

// The printed sheets of every table of IN, as "Экспорт PDF…" writes them.
int cmd_pdf(int argc, char** argv) {
    if (argc != 3)
        return usage_error("usage: tgm-cli pdf IN OUT.pdf",
                           arguments_reason("IN OUT.pdf", argc, argv));
    EPROJECT imported;
    if (!load_for_import(argv[1], imported) || !imported.check_conversion())
        return kUsage;
    // The sheets show what the unit would hold: the tables rebuilt as litres per centimetre.
    EPROJECT project;
    project.take_tables(imported);
    project.update_control();
    OffscreenPainting qt(argv[0]);
    const CalibrationSheet sheets(project, -1, QDate::currentDate());
    return sheets.write_pdf(argv[2]) ? kOk : kFailed;
}

} // namespace tgm::cli
