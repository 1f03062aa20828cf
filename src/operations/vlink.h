#pragma once
// The V side of the link thread: opens its own V master in normal framing at 19200 Bd, reads
// the firmware version, writes, reads or deletes the tables with V requests and, after a write
// or a clear, sends the finishing request. Sets error_text, version_code and version_text.
#include "encoding/directory_record.h"
#include "operations/link_errors.h"
#include "operations/tbvlink.h"
#include "v_protocol/vmaster.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace tgm {

bool RunVLink(TBVLink& link);

// One call of RunVLink: the link, the master and the first failure's code.
class VLinkRun {
public:
    explicit VLinkRun(TBVLink& link);

    void read_version();
    bool wait_ready();
    void write_tables();
    void read_tables();
    void clear_tables();
    void finish();

    TBVLink& link;
    VMASTER master;
    int32_t error_code = 0;
    // What is shown under the message.
    LinkReason reason;

private:
    // One request: error_code from the unit's result code, or 6 when the request failed or
    // its answer carries fewer than `expected` bytes; the traffic goes to the link's log.
    bool request(uint8_t command, uint8_t param1, uint8_t param2, const uint8_t* payload = nullptr,
                 int32_t payload_length = 0, int32_t expected = 0);
    // Request 33 once: 0 ready, 4 a fault, 254 initialising, or the request's failure.
    void check_ready();
    bool write_record(const DirectoryRecord& record);
    void log_image(int32_t type, int32_t bytes);
    // The type-3 blocks travel one by one; the link's progress is then the loop's own.
    bool move_blocks(int32_t blocks, const std::function<bool(int32_t)>& transfer);

    std::atomic<int32_t> scratch_{0};
};

} // namespace tgm
