#pragma once
// The V-protocol request layer: a command with two parameters and an optional payload; long
// payloads go out in 127-byte blocks and long answers come back in blocks.
#include "support/data.h"
#include "v_protocol/frame2.h"

#include <atomic>

namespace tgm {

class VMS : public FRAME2 {
public:
    // Request-layer statuses, beside the frame statuses.
    static constexpr int32_t kShortAnswerTooShort = 10;
    static constexpr int32_t kLongAnswerTooShort = 11;
    static constexpr int32_t kBadAnswerBlock = 13;
    static constexpr int32_t kHeaderNotEchoed = 14;
    static constexpr int32_t kBlockNotAcknowledged = 15;
    static constexpr int32_t kUnexpectedFunction = 16;
    // Largest payload of a one-frame request, and of one payload block.
    static constexpr int32_t kShortPayload = 124;
    static constexpr int32_t kBlock = 127;
    // Largest long answer accepted unless the caller knows a smaller bound: far above any
    // flash image, and a bound on what a damaged length can make the tool allocate.
    static constexpr uint32_t kMaxAnswer = 16u * 1024u * 1024u;
    // A long answer may take at most this many times the blocks it needs at 127 bytes a
    // block (plus two): a unit that trickles a byte a block would otherwise be asked for
    // hours.
    static constexpr int64_t kBlockSlack = 2;

    VMS(SYNT& driver, DATA& answer_data) : FRAME2(driver), answer_data(answer_data) {}

    // Runs the stored request; true when it completed at the protocol level.
    bool run(uint8_t command, uint8_t param1, uint8_t param2, const uint8_t* payload,
             int32_t payload_length);

    DATA& answer_data;
    uint32_t address = 0;
    uint8_t command = 0;
    uint8_t param1 = 0;
    uint8_t param2 = 0;
    const uint8_t* payload = nullptr;
    int32_t payload_length = 0;
    int32_t status = 0;
    std::atomic<int32_t>* progress_out = nullptr;
    int32_t result_code = 0;
    // The largest long answer a request can legitimately bring.
    uint32_t answer_limit = kMaxAnswer;

private:
    void report(int64_t done, int64_t total);
    // One frame of `length` data bytes out, the answer in; false (status set) on failure.
    bool send_frame(int32_t length);
    int answer_function() const;
    bool send_long_payload();
    bool read_short_answer();
    bool read_long_answer(int function);
};

} // namespace tgm
