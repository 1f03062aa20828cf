#pragma once
// A client of the V frame driver that keeps the traffic text of its last request.
#include "v_protocol/synt.h"

#include <string>

namespace tgm {

struct TRAFIC {
    std::string text; // the traffic of the last request
    bool enabled = false;
};

class FRAME2 {
public:
    explicit FRAME2(SYNT& driver) : driver(driver) {}
    virtual ~FRAME2() = default;
    FRAME2(const FRAME2&) = delete;
    FRAME2& operator=(const FRAME2&) = delete;

    // One exchange, recorded in the traffic text when enabled; returns the frame status.
    int32_t exchange(uint32_t address);

    SYNT& driver;
    TRAFIC trafic;
};

} // namespace tgm
