#include "testing/kill_seed.h"

#include <cstdio>
#include <cstdlib>
#include <random>

namespace tgm::test {

unsigned kill_seed() {
    const char* given = std::getenv("TGM_KILL_SEED");
    const unsigned seed = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                           : std::random_device{}();
    std::printf("TGM_KILL_SEED=%u\n", seed);
    return seed;
}

} // namespace tgm::test
