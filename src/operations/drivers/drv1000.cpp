// The 10XXX units: every compression type; under type 3 each distinct
// table travels as a block of its own with command 0x90 + its index.
#include "encoding/wtrp_tab.h"
#include "operations/drivers/k_drivers.h"
#include "operations/link_errors.h"
#include "operations/operation_steps.h"

namespace tgm {
namespace {

constexpr uint8_t kImage = 3;
constexpr uint8_t kBlock = 0x90;
constexpr int32_t kLargestImage = 32760;
// A block is announced with a 16-bit count.
constexpr int32_t kLargestBlock = 0xFFFF;

void read_tables(KLinkRun& run) {
    DirectoryRecord record;
    if (!run.wait_ready(true) || !run.read_record(record))
        return;
    ExtDirectory dir;
    uint8_t type = 0;
    if ((run.error_code = record.read_directory(dir, type)) != 0)
        return;
    if (dir.dir.table_count == 0) {
        run.group.reset();
        return;
    }
    // Type 2 has no layout.
    if ((run.error_code = readable_directory(dir.dir, type != 2)) != 0)
        return;
    TTrpTab image(type, dir);
    run.log_image(type, image.image_size());
    if (type == 3) {
        const int32_t n = dir.dir.table_count;
        const int32_t step = 100 / (n + 1);
        run.progress_to_scratch();
        const bool ok = for_each_block(run.link, n, step, step, [&](int32_t i) {
            return run.guarded_read(kBlock, static_cast<uint8_t>(i),
                                    image.image() + image.block_offset(i), image.block_size(i));
        });
        run.progress_to_link();
        if (!ok)
            return;
    } else if (!run.guarded_read(kImage, 0, image.image(), image.image_size())) {
        return;
    }
    run.error_code = image.unpack(run.group);
}

void write_tables(KLinkRun& run) {
    int32_t highest = 0;
    if (!run.read_type_count(highest))
        return;
    TWTrpTab image;
    if (!image.pack_with_fallback(run.group, highest)) {
        run.fail(kPackingFailed, packing_reason(run.group, image.packing_failures()));
        return;
    }
    const uint8_t type = image.compression_type();
    ExtDirectory dir;
    image.store_directory(dir);
    const int32_t n = dir.dir.table_count;
    if (type != 3 && image.image_size() > kLargestImage) {
        run.fail(kFlashTooSmall, flash_reason(image.image_size(), kLargestImage));
        return;
    }
    for (int32_t i = 0; type == 3 && i < n; ++i) {
        if (image.block_size(i) > kLargestBlock) {
            run.fail(kFlashTooSmall, block_reason(dir.dir.first_channel(i + 1) + 1,
                                                  image.block_size(i), kLargestBlock));
            return;
        }
    }
    if (!run.wait_ready(true))
        return;
    run.log_image(type, image.image_size());
    DirectoryRecord record;
    record.store(dir, type);
    if (type != 3) {
        write_image_then_record(run, image.image(), image.image_size(), record, n);
        return;
    }
    if (n > 0) {
        run.progress_to_scratch();
        const bool ok = for_each_block(run.link, n, 0, 100 / n, [&](int32_t i) {
            return run.guarded_write(kBlock, static_cast<uint8_t>(i),
                                     image.image() + image.block_offset(i), image.block_size(i));
        });
        run.progress_to_link();
        if (!ok)
            return;
    }
    run.write_record(record);
}

} // namespace

void drv1000(KLinkRun& run) {
    switch (run.operation) {
    case TBVLink::kWrite: write_tables(run); break;
    case TBVLink::kRead: read_tables(run); break;
    case TBVLink::kClear: clear_record(run, true); break;
    default: run.error_code = kUnknownOperation; break;
    }
}

} // namespace tgm
