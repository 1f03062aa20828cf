// Whatever a K unit answers: a whole write, read or clear through RunKLink on a scripted line
// must end with a text of the error table, succeed only with "OK", leave the group alone unless
// a read succeeded, and close its port.
#include "testing/conversation.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tgm::test::ConversationOutcome outcome =
        tgm::test::replay_conversation('k', tgm::test::parse_conversation(data, size));
    if (!outcome.broken.empty()) {
        std::fprintf(stderr, "broken: %s (%s)\n", outcome.broken.c_str(),
                     outcome.error_text.c_str());
        __builtin_trap();
    }
    return 0;
}
