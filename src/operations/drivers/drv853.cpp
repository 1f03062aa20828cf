// The 853 units, and the record steps that the 960 and 10XXX units share with them.
#include "operations/drivers/k_drivers.h"
#include "operations/link_errors.h"
#include "operations/operation_steps.h"

namespace tgm {
namespace {

constexpr uint8_t kImage = 3;

void write_tables(KLinkRun& run, const Generation& generation) {
    const int32_t room = generation.fixed_room;
    TArjTab image(0);
    if (!pack_arj(run, image))
        return;
    if (image.image_size() > room) {
        run.fail(kFlashTooSmall, flash_reason(image.image_size(), room));
        return;
    }
    write_arj_record(run, image, generation.waits_ready);
}

} // namespace

void read_arj_record(KLinkRun& run, bool require_ready) {
    DirectoryRecord record;
    if (!run.wait_ready(require_ready) || !run.read_record(record))
        return;
    Directory dir;
    record.read_directory(dir);
    if (dir.table_count == 0) {
        run.group.reset();
        return;
    }
    TArjTab image(record.type_byte());
    const int32_t type = image.compression_type();
    if ((run.error_code = readable_directory(dir, type == 0 || type == 1)) != 0)
        return;
    image.load_directory(dir);
    run.log_image(type, image.image_size());
    if (run.guarded_read(kImage, 0, image.image(), image.image_size()))
        run.error_code = image.unpack(run.group);
}

bool pack_arj(KLinkRun& run, TArjTab& image) {
    image.pack(run.group);
    run.packing.add(image.failed_channels());
    if (image.failures() > 0) {
        run.fail(kPackingFailed, packing_reason(run.group, run.packing));
        return false;
    }
    run.log_image(image.compression_type(), image.image_size());
    return true;
}

void write_arj_record(KLinkRun& run, const TArjTab& image, bool require_ready) {
    if (!run.wait_ready(require_ready))
        return;
    Directory dir;
    image.store_directory(dir);
    DirectoryRecord record;
    record.store(dir, image.compression_type());
    write_image_then_record(run, image.image(), image.image_size(), record, dir.table_count);
}

void clear_record(KLinkRun& run, bool require_ready) {
    if (run.wait_ready(require_ready))
        run.write_record(DirectoryRecord());
}

void write_image_then_record(KLinkRun& run, const uint8_t* image, int32_t size,
                             const DirectoryRecord& record, int32_t table_count) {
    // The record last: until it is written the unit keeps reading its old tables.
    if (table_count > 0 && !run.guarded_write(kImage, 0, image, size))
        return;
    run.write_record(record);
}

void drv853(KLinkRun& run, const Generation& generation) {
    switch (run.operation) {
    case TBVLink::kWrite: write_tables(run, generation); break;
    case TBVLink::kRead: read_arj_record(run, generation.waits_ready); break;
    case TBVLink::kClear: clear_record(run, generation.waits_ready); break;
    default: run.error_code = kUnknownOperation; break;
    }
}

} // namespace tgm
