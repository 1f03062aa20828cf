#include "operations/drivers/klink.h"

#include "encoding/unit_header.h"
#include "k_protocol/ukdr_drv.h"
#include "operations/drivers/k_drivers.h"
#include "operations/generation.h"
#include "operations/link_errors.h"
#include "operations/version_table.h"

namespace tgm {
namespace {

constexpr uint8_t kAbort = 15;
constexpr uint8_t kFinish = 14;
constexpr int32_t kUnknownCode = kCodeNoDriver;

// Learns the version code; false when the unit did not answer as any generation does.
bool detect_version(KLinkRun& run, int32_t& code) {
    TBVLink& link = run.link;
    KMASTER& master = run.master;
    bool read_version = false;
    bool ok = k_command(master, kAbort);
    run.keep_traffic();
    if (ok && master.status() == 0) {
        // Only a 621 unit accepts the abort out of the blue; it expects the finish after it.
        k_command(master, kFinish);
        run.keep_traffic();
        code = kCode621;
        link.version_text = "621";
    } else if (ok && master.status() == kCommandRejected) {
        int32_t version = 0;
        ok = k_version(master, read_version, version);
        if (ok && read_version) {
            link.version_text = std::to_string(version);
            link.add_trace("v-" + link.version_text);
            code = code_of_version(normalize_version(version));
        } else if (ok) {
            link.version_text = "5x0";
            code = 0;
        }
        run.keep_traffic();
    } else {
        ok = false;
    }
    if (!read_version)
        link.add_trace("sv-" + name_of_code(code));
    return ok;
}

void run_driver(KLinkRun& run, const Generation& generation) {
    if (generation.store == Generation::Store::header) {
        drv621(run, *generation.header);
        return;
    }
    switch (generation.driver) {
    case kDriver853: drv853(run, generation); break;
    case kDriver960:
    case kDriver962:
    case kDriver96XX: drv960(run, generation); break;
    case kDriver10XXX: drv1000(run); break;
    default: // 5x0, 501 to 521, unknown versions
        run.fail(kVersionUnsupported, version_reason(run.link.version_text, true));
        break;
    }
}

} // namespace

bool RunKLink(TBVLink& link) {
    KLinkRun run(link);
    const bool reading = run.operation == TBVLink::kRead;
    // Not tested: with a closed port the first exchange fails, which is "Ошибка связи".
    run.master.open(link.port, reading ? 500 : 4000);
    int32_t code = kUnknownCode;
    if (!detect_version(run, code))
        run.error_code = kLinkFailure;
    else
        run_driver(run, generation_of(code));
    if (run.error_code == 0 && !reading)
        link.sent.store(TBVLink::Sent::all);
    if (run.error_code == 0 && !reading && generation_of(code).restarts) {
        const bool ok = k_guarded_command(run.master, kFinish);
        run.error_code = ok ? static_cast<int32_t>(run.master.status()) : kLinkFailure;
        run.keep_traffic();
    }
    link.error_code = run.error_code;
    link.error_text = link_error_text(run.error_code);
    link.port_note = run.reason.for_code(run.error_code);
    link.version_code = code;
    return run.error_code == 0;
}

} // namespace tgm
