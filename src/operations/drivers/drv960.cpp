// The 960 units: the 853 record, first-difference tables when the unit accepts type 1, and a
// space limit per generation.
#include "operations/drivers/k_drivers.h"
#include "operations/link_errors.h"

namespace tgm {
namespace {

// The largest image of types 0 and 1 any of these units takes.
constexpr int32_t kLargestImage = 32760;

void write_type(KLinkRun& run, const Generation& generation, uint8_t type) {
    TArjTab image(type);
    if (!pack_arj(run, image))
        return;
    const int32_t size = image.image_size();
    if (size > kLargestImage) {
        run.fail(kFlashTooSmall, flash_reason(size, kLargestImage));
        return;
    }
    int64_t space = generation.fixed_room;
    if (generation.room == Generation::Room::flash_size && !run.read_flash_size32(space))
        return;
    if (space < size) {
        run.fail(kFlashTooSmall, flash_reason(size, space));
        return;
    }
    write_arj_record(run, image, generation.waits_ready);
}

void write_tables(KLinkRun& run, const Generation& generation) {
    int32_t highest = 0;
    if (!run.read_type_count(highest)) {
        // A unit without command 8 takes type 0.
        if (run.error_code != kVersionUnsupported)
            return;
        highest = 0;
    }
    write_type(run, generation, 0);
    if (run.error_code == kPackingFailed && highest > 0)
        write_type(run, generation, 1);
}

} // namespace

void drv960(KLinkRun& run, const Generation& generation) {
    switch (run.operation) {
    case TBVLink::kWrite: write_tables(run, generation); break;
    case TBVLink::kRead: read_arj_record(run, generation.waits_ready); break;
    case TBVLink::kClear: clear_record(run, generation.waits_ready); break;
    default: run.error_code = kUnknownOperation; break;
    }
}

} // namespace tgm
