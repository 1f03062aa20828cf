#include "v_protocol/vms.h"

#include <algorithm>
#include <cstring>

namespace tgm {
namespace {

// Function bytes of the request and answer frames.
constexpr uint8_t kShortRequest = 6;
constexpr uint8_t kShortAnswer = 7;
constexpr uint8_t kLongRequest16 = 16;
constexpr uint8_t kLongRequest32 = 46;
constexpr uint8_t kLongAnswer16 = 17;
constexpr uint8_t kLongAnswer32 = 47;
constexpr uint8_t kMoreBlocks = 26;
constexpr uint8_t kLastBlock = 36;
constexpr uint8_t kNextAnswerBlock = 27;
constexpr uint8_t kLastAnswerBlock = 37;

} // namespace

void VMS::report(int64_t done, int64_t total) {
    if (progress_out != nullptr)
        progress_out->store(total == 0 ? 0 : static_cast<int32_t>(done * 100 / total),
                            std::memory_order_relaxed);
}

bool VMS::send_frame(int32_t length) {
    driver.request.length = static_cast<uint8_t>(length);
    status = exchange(address);
    return status == 0;
}

// An empty answer has no function byte.
int VMS::answer_function() const { return driver.answer.length > 0 ? driver.data[0] : -1; }

bool VMS::run(uint8_t command_, uint8_t param1_, uint8_t param2_, const uint8_t* payload_,
              int32_t payload_length_) {
    command = command_;
    param1 = param1_;
    param2 = param2_;
    payload = payload_;
    payload_length = payload_ == nullptr || payload_length_ < 0 ? 0 : payload_length_;
    status = 0;
    trafic.text.clear();
    uint8_t* data = driver.data;
    data[1] = command;
    data[2] = param1;
    data[3] = param2;
    report(0, 0);

    if (payload_length <= kShortPayload) {
        data[0] = kShortRequest;
        if (payload_length > 0)
            std::memcpy(data + 4, payload, static_cast<size_t>(payload_length));
        if (!send_frame(payload_length + 4))
            return false;
        report(100, 100);
    } else if (!send_long_payload()) {
        return false;
    }

    const int function = answer_function();
    if (function == kShortAnswer)
        return read_short_answer();
    if (function == kLongAnswer16 || function == kLongAnswer32)
        return read_long_answer(function);
    status = kUnexpectedFunction;
    return false;
}

bool VMS::send_long_payload() {
    uint8_t* data = driver.data;
    const uint32_t total = static_cast<uint32_t>(payload_length);
    int32_t length = 0;
    if (total >= 65536) {
        data[0] = kLongRequest32;
        for (int i = 0; i < 4; ++i)
            data[4 + i] = static_cast<uint8_t>(total >> (8 * i));
        length = 8;
    } else {
        data[0] = kLongRequest16;
        data[4] = static_cast<uint8_t>(total & 0xFF);
        data[5] = static_cast<uint8_t>(total >> 8);
        length = 6;
    }
    const int header_function = data[0];
    if (!send_frame(length))
        return false;
    if (answer_function() != header_function) {
        status = kHeaderNotEchoed;
        return false;
    }
    for (int32_t done = 0; done < payload_length;) {
        report(done, payload_length);
        const int32_t block = std::min(kBlock, payload_length - done);
        const bool last = done + block >= payload_length;
        data[0] = last ? kLastBlock : kMoreBlocks;
        std::memcpy(data + 1, payload + done, static_cast<size_t>(block));
        if (!send_frame(block + 1))
            return false;
        done += block;
        // The last block's answer is the request's answer.
        if (!last && answer_function() != kMoreBlocks) {
            status = kBlockNotAcknowledged;
            return false;
        }
    }
    return true;
}

bool VMS::read_short_answer() {
    const int32_t length = driver.answer.length;
    if (length < 2) {
        status = kShortAnswerTooShort;
        return false;
    }
    result_code = driver.data[1];
    answer_data.assign(driver.data + 2, length - 2);
    report(100, 100);
    return true;
}

bool VMS::read_long_answer(int function) {
    const int32_t length = driver.answer.length;
    const uint8_t* data = driver.data;
    // The total must really be in the frame: 2 bytes after function 17, 4 after function 47.
    const int32_t needed = function == kLongAnswer16 ? 4 : 6;
    if (length < needed) {
        status = kLongAnswerTooShort;
        return false;
    }
    uint32_t total = static_cast<uint32_t>(data[2] | data[3] << 8);
    if (function == kLongAnswer32)
        total |= static_cast<uint32_t>(data[4]) << 16 | static_cast<uint32_t>(data[5]) << 24;
    if (total > std::min(kMaxAnswer, answer_limit)) {
        status = kLongAnswerTooShort;
        return false;
    }
    result_code = data[1];
    // Bytes announced but never sent stay zero.
    answer_data.fill_zero(static_cast<int32_t>(total));
    int32_t received = 0;
    const int64_t blocks_allowed = kBlockSlack * ((int64_t{total} + kBlock - 1) / kBlock) + 2;
    for (int64_t blocks = 1;; ++blocks) {
        if (blocks > blocks_allowed) {
            status = kBadAnswerBlock;
            return false;
        }
        driver.data[0] = kNextAnswerBlock;
        if (!send_frame(1))
            return false;
        const int block_function = answer_function();
        if (block_function != kNextAnswerBlock && block_function != kLastAnswerBlock) {
            status = kBadAnswerBlock;
            return false;
        }
        const int32_t take =
            std::min(static_cast<int32_t>(total) - received, driver.answer.length - 1);
        // A block that brings nothing of what is missing and promises more would have the
        // tool ask forever.
        if (take <= 0 && received < static_cast<int32_t>(total) &&
            block_function != kLastAnswerBlock) {
            status = kBadAnswerBlock;
            return false;
        }
        if (take > 0) {
            std::memcpy(answer_data.bytes() + received, driver.data + 1, static_cast<size_t>(take));
            received += take;
        }
        report(received, total);
        if (received >= static_cast<int32_t>(total) || block_function == kLastAnswerBlock)
            return true;
    }
}

} // namespace tgm
