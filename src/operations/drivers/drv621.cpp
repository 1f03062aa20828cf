// The header units: a header of the unit's own bytes with channel flags and records, the image
// of type 0 apart from it.
#include "operations/drivers/k_drivers.h"
#include "operations/link_errors.h"
#include "operations/operation_steps.h"

namespace tgm {
namespace {

constexpr uint8_t kHeader = 1;
constexpr uint8_t kImage = 3;

void read_tables(KLinkRun& run, const HeaderLayout& layout) {
    UnitHeader header(layout);
    if (!run.wait_ready(false) || !run.guarded_read(kHeader, 0, header.bytes(), layout.size))
        return;
    Directory dir;
    header.read_directory(dir);
    if (dir.table_count == 0) {
        run.group.reset();
        return;
    }
    if ((run.error_code = readable_directory(dir, true)) != 0)
        return;
    TArjTab image(0);
    image.load_directory(dir);
    run.log_image(0, image.image_size());
    if (run.guarded_read(kImage, 0, image.image(), image.image_size()))
        run.error_code = image.unpack(run.group);
}

void write_tables(KLinkRun& run, const HeaderLayout& layout) {
    TArjTab image(0);
    if (!pack_arj(run, image))
        return;
    int64_t flash = 0;
    if (!run.read_flash_size16(flash))
        return;
    // Signed: a flash smaller than the header and its reserve leaves no room at all.
    const int64_t room = flash - layout.size - layout.reserve;
    if (room < image.image_size()) {
        run.fail(kFlashTooSmall, flash_reason(image.image_size(), room, flash));
        return;
    }
    UnitHeader header(layout);
    if (!run.wait_ready(false) || !run.guarded_read(kHeader, 0, header.bytes(), layout.size))
        return;
    Directory dir;
    image.store_directory(dir);
    header.store_directory(dir);
    // The image first, the header last: the header is what makes the tables the unit's.
    if (dir.table_count > 0 && !run.guarded_write(kImage, 0, image.image(), image.image_size()))
        return;
    run.guarded_write(kHeader, 0, header.bytes(), layout.size);
}

void clear_tables(KLinkRun& run, const HeaderLayout& layout) {
    UnitHeader header(layout);
    if (!run.wait_ready(false) || !run.guarded_read(kHeader, 0, header.bytes(), layout.size))
        return;
    header.clear_tables();
    run.guarded_write(kHeader, 0, header.bytes(), layout.size);
}

} // namespace

void drv621(KLinkRun& run, const HeaderLayout& layout) {
    switch (run.operation) {
    case TBVLink::kWrite: write_tables(run, layout); break;
    case TBVLink::kRead: read_tables(run, layout); break;
    case TBVLink::kClear: clear_tables(run, layout); break;
    default: run.error_code = kUnknownOperation; break;
    }
}

} // namespace tgm
