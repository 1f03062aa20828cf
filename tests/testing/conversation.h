#pragma once
// A whole table operation against a unit whose answers are given: what the answer fuzzers
// run, what the recorded seeds hold, and the promises every such run must keep.
//
// The bytes: byte 0 picks the operation (0 write, 1 read, 2 clear, by its low six bits modulo
// 3), by its bit 0x80 whether the traffic is logged and by its bit 0x40 whether V answer frames
// get their CRC made right (so that a fuzzer reaches past the frame layer); byte 1 the example
// group (written, or held before a read); the rest is the unit's records, each a 16-bit
// little-endian length and that many bytes (a length past the end takes what is left).
#include "operations/tbvlink.h"
#include "testing/scripted_port.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tgm::test {

struct Conversation {
    int32_t operation = TBVLink::kRead;
    int32_t group = 0;
    bool traffic = false;
    bool sealed = false;
    std::vector<Bytes> records;
};

constexpr int32_t kExampleGroups = 4;

Conversation parse_conversation(const uint8_t* data, std::size_t size);
Bytes conversation_bytes(const Conversation& conversation);
// The example groups: a repeat and a gap, first differences, one small table, eight long ones.
GROUPTAB example_group(int32_t index);

struct ConversationOutcome {
    bool result = false;
    std::string error_text;
    // The first promise broken, or empty.
    std::string broken;
};

// Runs the operation through RunKLink (protocol 'k') or RunVLink ('v') on a scripted port and
// a clock that moves only when the link waits, then checks that the run ended with a text of
// the error table, succeeded exactly when that text is "OK", changed the group only by a
// successful read, and closed its port.
ConversationOutcome replay_conversation(char protocol, const Conversation& conversation);

} // namespace tgm::test
