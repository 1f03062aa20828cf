#pragma once
// Which channels failed the packing attempts of one write, so that the refusal can name them.
#include <cstdint>

namespace tgm {

struct PackingFailures {
    // Bit k: channel k+1.
    uint32_t every = ~0u; // failed every attempt: fits no form the unit takes
    uint32_t any = 0;     // failed at least one attempt

    void add(uint32_t failed) {
        every &= failed;
        any |= failed;
    }
    // The channels that fit no form: those failing every attempt, or, when each fits some form
    // but not all one form together, those that failed any.
    uint32_t channels() const { return (every & any) != 0 ? every & any : any; }
    bool each_fits_alone() const { return (every & any) == 0; }
};

} // namespace tgm
