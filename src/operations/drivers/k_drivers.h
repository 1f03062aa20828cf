#pragma once
// The table drivers of the K units, one entry each; they act on the run's operation (anything
// but write, read or clear gives 82) and leave their outcome in its error_code and group.
#include "encoding/arj_tab.h"
#include "encoding/unit_header.h"
#include "operations/drivers/klink_run.h"
#include "operations/generation.h"

namespace tgm {

// The header units (drivers 2 to 10: 621, 632, 634, 6343, 6363, 640, 843, 851, 852), which
// differ only in their header's layout.
void drv621(KLinkRun& run, const HeaderLayout& layout);
// The 853 units: the directory record, types 0 and 1 of the whole image, a fixed room.
void drv853(KLinkRun& run, const Generation& generation);
// The 960 units (drivers 12, 13 and 14): as the 853 units, but with the generation's room, a
// type-1 retry and the wait for the end of initialisation.
void drv960(KLinkRun& run, const Generation& generation);
// The 10XXX units: every compression type, type 3 table by table.
void drv1000(KLinkRun& run);

// Shared by the drivers of types 0 and 1.
// Packs the group into `image`; false with 80 when a table does not fit, else the image's stage.
bool pack_arj(KLinkRun& run, TArjTab& image);
// Reads a record of types 0 and 1 of the whole image into the group.
void read_arj_record(KLinkRun& run, bool require_ready);
// Waits for the unit, then writes the image and, last, the record of its directory.
void write_arj_record(KLinkRun& run, const TArjTab& image, bool require_ready);
// An empty record: the unit's tables are gone.
void clear_record(KLinkRun& run, bool require_ready);
// After the image, the record; the image only when the record names tables.
void write_image_then_record(KLinkRun& run, const uint8_t* image, int32_t size,
                             const DirectoryRecord& record, int32_t table_count);

} // namespace tgm
