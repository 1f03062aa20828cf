#pragma once
// The remote console's display client: the display's geometry and keys by its kind, the keys
// waiting to be sent, and the display's bytes decoded into code page 1251 text.
#include "support/data.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace tgm {

class CONS_CLNT {
public:
    CONS_CLNT() { configure(2); }

    // Kinds other than 0 and 1 are taken as 2.
    void configure(int32_t kind);
    // Most keys waiting to be sent: typed faster than they go out, they wait in order.
    static constexpr std::size_t kMaxQueuedKeys = 64;

    // Queues a key of this display; false for another key or with the queue full.
    bool accept_key(char key);
    // The code of the first key waiting, which leaves the queue.
    bool take_key_code(int32_t& code);
    bool has_key() const { return !queued_keys_.empty(); }
    void clear_keys() { queued_keys_.clear(); }
    bool queue_full() const { return queued_keys_.size() >= kMaxQueuedKeys; }
    // Fills display_text from an answer: its first byte is skipped; bytes the answer lacks
    // show as blanks.
    void decode(const DATA& answer);
    // display_text as the window shows it: a single CR after the first row, and control
    // characters as blanks so that they cannot break or cut the rows.
    std::string shown_text() const;

    // The status-bar name of a display kind.
    static const char* kind_name(int32_t kind);

    int32_t display_kind = 2;
    int32_t row_chars = 0;
    int32_t rows = 0;
    int32_t answer_length = 0;
    std::string display_text;

private:
    std::deque<char> queued_keys_;
    char display_char(uint8_t byte) const;
};

} // namespace tgm
