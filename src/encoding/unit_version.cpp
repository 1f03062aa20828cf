#include "encoding/unit_version.h"

namespace tgm {

int32_t compose_version(uint8_t major, uint8_t minor, uint8_t sub) {
    return major * 1000 + minor * 100 + (sub >= 10 ? sub : 10 * sub);
}

} // namespace tgm
