#pragma once
// The probe channel: finds out whether the unit on a port speaks the K or the V protocol and
// whether it is in transport mode. Lives for one probe; its port is closed when it ends.
#include "link/kmaster.h"
#include "link/vmaster.h"

#include <cstdint>
#include <string>

namespace tgm {

class TCHAN {
public:
    // Results of probe().
    static constexpr int kAnswered = 0;
    static constexpr int kPortBusy = 1;
    static constexpr int kNoAnswer = 2;

    explicit TCHAN(int32_t port);

    // The K presence probe, then the V request in normal framing at 19200 Bd, then addressed
    // framing at 9600 and at 19200 Bd; the first answer decides.
    int probe();
    // 0 K, 1 V (normal framing); other values are ignored.
    void set_kind(int kind);
    // 0 normal mode; 1 addressed framing at 9600 Bd; 2 addressed framing at 19200 Bd.
    void set_transport(int transport);
    bool open(int32_t first_byte_timeout);
    void close();

    int32_t port;
    uint8_t kind = 0;
    uint8_t transport = 0;
    bool via_v = false;
    KMASTER kmaster;
    VMASTER vmaster;
    std::string log;

private:
    bool k_test();
    bool v_test();
};

} // namespace tgm
