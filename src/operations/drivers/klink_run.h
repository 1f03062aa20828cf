#pragma once
// One run of the K link sequence: the link it serves, its own K master, and the error code
// that every primitive overwrites and that becomes the operation's message at the end. The
// primitives here are what every table driver is built from.
#include "encoding/directory_record.h"
#include "encoding/packing_failures.h"
#include "k_protocol/kmaster.h"
#include "operations/link_errors.h"
#include "operations/tbvlink.h"

#include <atomic>
#include <cstdint>

namespace tgm {

class KLinkRun {
public:
    // Connects the master to the link's cells and trace switch; the port is not yet open.
    explicit KLinkRun(TBVLink& link);

    // Guarded transfers; error_code becomes the unit's status, or 6 when the sequence failed.
    // A count the parameter block cannot carry is refused before anything is sent.
    bool guarded_read(uint8_t code, uint8_t sub, uint8_t* out, int32_t count);
    bool guarded_write(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count);
    bool read_flash_size16(int64_t& size);
    bool read_flash_size32(int64_t& size);
    // The highest compression type the unit accepts (its type count minus 1); a unit that
    // rejects command 8 gives 81.
    bool read_type_count(int32_t& highest);
    // Polls the state byte; with require_ready the unit must also have ended initialisation.
    bool wait_ready(bool require_ready);
    void log_image(int32_t type, int32_t bytes);
    bool read_record(DirectoryRecord& record) {
        return guarded_read(4, 0, record.bytes(), DirectoryRecord::kSize);
    }
    bool write_record(const DirectoryRecord& record) {
        return guarded_write(4, 0, record.bytes(), DirectoryRecord::kSize);
    }
    // The master's traffic of the last exchange group into the link's log.
    void keep_traffic() { link.chan_log += master.traffic_text(); }
    // While blocks travel one by one or the unit is polled, the link's progress is the run's
    // own and the exchanges' progress goes to a scratch cell.
    void progress_to_scratch() { master.set_progress_cell(&scratch_); }
    void progress_to_link() { master.set_progress_cell(&link.progress); }

    TBVLink& link;
    KMASTER master;
    uint8_t operation;
    GROUPTAB& group;
    int32_t error_code = 0;
    // What is shown under the message, and the channels the packing attempts failed.
    LinkReason reason;
    PackingFailures packing;

    // error_code with the reason under its message.
    void fail(int32_t code, std::string why) {
        error_code = code;
        reason.set(code, std::move(why));
    }

private:
    bool guarded(uint8_t code, uint8_t sub, uint8_t* out, const uint8_t* buffer, int32_t count,
                 int direction);

    std::atomic<int32_t> scratch_{0};
};

} // namespace tgm
