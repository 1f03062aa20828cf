#include "operations/generation.h"

#include "operations/version_table.h"

namespace tgm {
namespace {

// Room of the record units whose limit is a constant.
constexpr int32_t kRoom853 = 21760;
constexpr int32_t kRoom960 = 54320;
constexpr int32_t kRoom962 = 53632;

void describe_driver(Generation& g) {
    if ((g.header = header_layout(g.driver)) != nullptr) {
        g.store = Generation::Store::header;
        g.room = Generation::Room::header_flash;
        g.types = 1;
        return;
    }
    switch (g.driver) {
    case kDriver853:
        g.room = Generation::Room::fixed;
        g.fixed_room = kRoom853;
        g.types = 1;
        break;
    case kDriver960:
    case kDriver962:
        g.room = Generation::Room::fixed;
        g.fixed_room = g.driver == kDriver960 ? kRoom960 : kRoom962;
        break;
    case kDriver96XX: g.room = Generation::Room::flash_size; break;
    case kDriver10XXX: break;
    default: return; // no table driver
    }
    g.store = Generation::Store::record;
    g.waits_ready = g.driver != kDriver853;
    g.asks_types = g.waits_ready;
    if (g.asks_types)
        g.types = g.driver == kDriver10XXX ? 4 : 2;
}

} // namespace

Generation generation_of(int32_t version_code) {
    Generation g;
    g.code = unit_code(version_code);
    g.driver = driver_of_code(g.code);
    describe_driver(g);
    // From code 10 on a unit takes the finishing command and restarts; the 621 to 6341 units
    // must be switched off and on; the oldest need nothing.
    g.restarts = g.code >= 10;
    g.power_cycle = g.code >= 4 && g.code <= 9;
    return g;
}

} // namespace tgm
