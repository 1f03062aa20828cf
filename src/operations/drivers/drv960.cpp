// The 960 units: the 853 record, first-difference tables when the unit accepts type 1, and a
// space limit per generation.
#include "operations/drivers/k_drivers.h"
#include "operations/link_errors.h"
#include "operations/version_table.h"

namespace tgm {
namespace {

// The largest image of types 0 and 1 any of these units takes.
constexpr int32_t kLargestImage = 32760;

void write_type(KLinkRun& run, int32_t driver, uint8_t type) {
    TArjTab image(type);
    if (!pack_arj(run, image))
        return;
    const int32_t size = image.image_size();
    if (size > kLargestImage) {
        run.fail(kFlashTooSmall, flash_reason(size, kLargestImage));
        return;
    }
    int64_t space = driver == kDriver960 ? 54320 : 53632;
    if (driver == kDriver96XX && !run.read_flash_size32(space))
        return;
    if (space < size) {
        run.fail(kFlashTooSmall, flash_reason(size, space));
        return;
    }
    write_arj_record(run, image, true);
}

void write_tables(KLinkRun& run, int32_t driver) {
    int32_t highest = 0;
    if (!run.read_type_count(highest)) {
        // A unit without command 8 takes type 0.
        if (run.error_code != kVersionUnsupported)
            return;
        highest = 0;
    }
    write_type(run, driver, 0);
    if (run.error_code == kPackingFailed && highest > 0)
        write_type(run, driver, 1);
}

} // namespace

void drv960(KLinkRun& run, int32_t driver) {
    switch (run.operation) {
    case TBVLink::kWrite: write_tables(run, driver); break;
    case TBVLink::kRead: read_arj_record(run, true); break;
    case TBVLink::kClear: clear_record(run, true); break;
    default: run.error_code = kUnknownOperation; break;
    }
}

} // namespace tgm
