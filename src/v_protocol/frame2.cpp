#include "v_protocol/frame2.h"

#include "ports/traffic_line.h"

namespace tgm {

int32_t FRAME2::exchange(uint32_t address) {
    const int32_t status = driver.exchange(address);
    if (trafic.enabled)
        append_traffic_line(trafic.text, static_cast<uint32_t>(driver.max_wait), driver.sent,
                            driver.received);
    return status;
}

} // namespace tgm
