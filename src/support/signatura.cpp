#include "support/signatura.h"

#include <deque>

namespace tgm {
namespace {

// A deque keeps the addresses handed out by find_signature valid while records are added.
std::deque<SIGNATURA>& registry() {
    static std::deque<SIGNATURA> records;
    return records;
}

} // namespace

void register_signature(const SIGNATURA& record) { registry().push_back(record); }

const SIGNATURA* find_signature(int32_t key) {
    for (const SIGNATURA& r : registry())
        if (r.key == key)
            return &r;
    return nullptr;
}

} // namespace tgm
