#include "operations/vlink.h"

#include "encoding/byte_order.h"
#include "encoding/unit_version.h"
#include "encoding/wtrp_tab.h"
#include "operations/link_errors.h"
#include "operations/operation_steps.h"
#include "operations/version_table.h"

#include <algorithm>
#include <cstring>

namespace tgm {
namespace {

// Requests; param2 1 reads, 2 writes.
constexpr uint8_t kFinish = 16;
constexpr uint8_t kRecord = 18;
constexpr uint8_t kImage = 20;
constexpr uint8_t kBlock = 22;
constexpr uint8_t kTypeCount = 24;
constexpr uint8_t kVersion = 32;
constexpr uint8_t kReadiness = 33;
constexpr uint8_t kGet = 1;
constexpr uint8_t kPut = 2;
constexpr uint8_t kReady = 0x20;
// Images of types 0 to 2 from this size on do not fit the unit.
constexpr int32_t kTooLargeImage = 32761;
// No answer of a unit is longer than the largest image: every table at its most points,
// unpacked, each with its block header.
constexpr uint32_t kLargestImage =
    GROUPTAB::kMaxTables * (TTrpTab::kBlockHeaderSize + 4 * kMaxTablePoints);
// The row "96XX" of the version table, whatever version the unit reports.
constexpr int32_t kVUnitCode = kCode96XX;

} // namespace

VLinkRun::VLinkRun(TBVLink& link) : link(link) {
    master.set_framing(VMASTER::kNormalFraming, 9, 0);
    master.set_trace(link.log_traffic);
    master.set_cancel_flag(&link.cancel);
    master.set_progress_out(&link.progress);
    master.set_max_wait_out(&link.max_response);
    master.set_answer_limit(kLargestImage);
}

bool VLinkRun::request(uint8_t command, uint8_t param1, uint8_t param2, const uint8_t* payload,
                       int32_t payload_length, int32_t expected) {
    // From its first request that stores, a write or a delete may have changed the unit.
    if (param2 == kPut)
        link.sent.store(TBVLink::Sent::some);
    const bool done = master.request(command, param1, param2, payload, payload_length);
    error_code = done ? master.result_code() : kLinkFailure;
    if (error_code == 0 && master.answer_data().size() < expected)
        error_code = kLinkFailure;
    link.chan_log += master.traffic_text();
    return error_code == 0;
}

void VLinkRun::read_version() {
    const int32_t saved = error_code;
    if (request(kVersion, 0, 0, nullptr, 0, 3)) {
        const uint8_t* v = master.answer_data().bytes();
        link.version_text = "F" + std::to_string(compose_version(v[0], v[1], v[2]));
        link.add_trace("v-" + link.version_text);
    }
    // Without a version the operation goes on.
    error_code = saved;
}

void VLinkRun::check_ready() {
    if (!request(kReadiness, 0, 0, nullptr, 0, 4))
        return;
    const uint8_t* answer = master.answer_data().bytes();
    if (le::get16u(answer + 2) != 0)
        error_code = kUnitFault;
    else if ((answer[0] & kReady) == 0)
        error_code = kStillInitialising;
}

bool VLinkRun::wait_ready() {
    check_ready();
    if (error_code == kStillInitialising) {
        master.set_progress_out(&scratch_);
        link.progress.store(0);
        wait_for_initialisation(link, [this] {
            check_ready();
            return error_code == kStillInitialising;
        });
        master.set_progress_out(&link.progress);
        link.set_stage("");
    }
    return error_code == 0;
}

void VLinkRun::log_image(int32_t type, int32_t bytes) {
    link.set_stage(image_stage_text(type, bytes));
}

bool VLinkRun::write_record(const DirectoryRecord& record) {
    return request(kRecord, 0, kPut, record.bytes(), DirectoryRecord::kSize);
}

bool VLinkRun::move_blocks(int32_t blocks, const std::function<bool(int32_t)>& transfer) {
    master.set_progress_out(&scratch_);
    const bool ok = for_each_block(link, blocks, 0, 100 / blocks, transfer);
    master.set_progress_out(&link.progress);
    return ok;
}

void VLinkRun::write_tables() {
    if (!request(kTypeCount, 0, kGet, nullptr, 0, 2)) {
        if (error_code == static_cast<int32_t>(kCommandRejected)) {
            error_code = kVersionUnsupported;
            reason.set(error_code, version_reason(link.version_text, false));
        }
        return;
    }
    const int32_t highest = le::get16u(master.answer_data().bytes()) - 1;
    TWTrpTab image;
    if (!image.pack_with_fallback(link.group, highest)) {
        error_code = kPackingFailed;
        reason.set(error_code, packing_reason(link.group, image.packing_failures()));
        return;
    }
    const uint8_t type = image.compression_type();
    if (type <= 2 && image.image_size() >= kTooLargeImage) {
        error_code = kFlashTooSmall;
        reason.set(error_code, flash_reason(image.image_size(), kTooLargeImage - 1));
        return;
    }
    if (!wait_ready())
        return;
    log_image(type, image.image_size());
    ExtDirectory dir;
    image.store_directory(dir);
    const int32_t n = dir.dir.table_count;
    bool sent = true;
    if (n > 0 && (type == 0 || type == 1)) {
        sent = request(kImage, 0, kPut, image.image(), image.image_size());
    } else if (n > 0 && type == 3) {
        sent = move_blocks(n, [&](int32_t i) {
            return request(kBlock, static_cast<uint8_t>(i), kPut,
                           image.image() + image.block_offset(i), image.block_size(i));
        });
    }
    if (!sent)
        return;
    DirectoryRecord record;
    record.store(dir, type);
    write_record(record);
}

void VLinkRun::read_tables() {
    if (!wait_ready() || !request(kRecord, 0, kGet, nullptr, 0, DirectoryRecord::kSize))
        return;
    DirectoryRecord record;
    std::memcpy(record.bytes(), master.answer_data().bytes(), DirectoryRecord::kSize);
    ExtDirectory dir;
    uint8_t type = 0;
    if ((error_code = record.read_directory(dir, type)) != 0)
        return;
    if (dir.dir.table_count == 0) {
        link.group.reset();
        return;
    }
    // Type 2 has no layout.
    if ((error_code = readable_directory(dir.dir, type != 2)) != 0)
        return;
    TTrpTab image(type, dir);
    log_image(type, image.image_size());
    // Only the bytes expected are taken; a longer answer's tail is ignored.
    const auto take = [&](uint8_t command, uint8_t param1, int32_t offset, int32_t size) {
        if (!request(command, param1, kGet, nullptr, 0, size))
            return false;
        if (size > 0)
            std::memcpy(image.image() + offset, master.answer_data().bytes(),
                        static_cast<std::size_t>(size));
        return true;
    };
    bool received = true;
    if (type == 3) {
        received = move_blocks(dir.dir.table_count, [&](int32_t i) {
            return take(kBlock, static_cast<uint8_t>(i), image.block_offset(i),
                        image.block_size(i));
        });
    } else {
        received = take(kImage, 0, 0, image.image_size());
    }
    if (received)
        error_code = image.unpack(link.group);
}

void VLinkRun::clear_tables() {
    if (wait_ready())
        write_record(DirectoryRecord());
}

void VLinkRun::finish() { request(kFinish, 0, 0); }

bool RunVLink(TBVLink& link) {
    VLinkRun run(link);
    const int32_t op = link.operation.load();
    const bool changes = op == TBVLink::kWrite || op == TBVLink::kClear;
    // Not tested: with a closed port the first request fails.
    run.master.open(link.port, changes ? 6000 : 500);
    run.read_version();
    link.version_code = kVUnitCode;
    link.add_trace("svv");
    switch (op) {
    case TBVLink::kWrite: run.write_tables(); break;
    case TBVLink::kRead: run.read_tables(); break;
    case TBVLink::kClear: run.clear_tables(); break;
    default: run.error_code = kUnknownOperation; break;
    }
    if (run.error_code == 0 && changes) {
        link.sent.store(TBVLink::Sent::all);
        run.finish();
    }
    link.error_code = run.error_code;
    link.error_text = link_error_text(run.error_code);
    link.port_note = run.reason.for_code(run.error_code);
    return run.error_code == 0;
}

} // namespace tgm
