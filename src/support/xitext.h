#pragma once
// Reads an ini-style text held whole in memory, one logical line at a time: line ends and
// comments removed, blanks trimmed, empty lines skipped; splits a line at its last "=".
#include "support/data.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tgm {

class XITEXT {
public:
    // False when the file is missing, not a regular file, larger than `max_bytes` or cannot be
    // read whole; an empty file loads as zero bytes.
    bool load(const std::string& file_name, int32_t max_bytes = INT32_MAX);
    // Reads at most the first `max_bytes` of the file; of a longer one the line cut off at the
    // bound is dropped too. False when the file is missing or cannot be read.
    bool load_head(const std::string& file_name, int32_t max_bytes);
    // Takes the bytes directly (a file already in memory).
    void load_bytes(std::string_view bytes);
    bool next_line();
    bool split();

    const std::string& line() const { return line_; }
    // Where the current line stands in the text, counted from 1 (blank and comment lines
    // count): what a message about the line names.
    int32_t line_number() const { return line_number_; }
    const std::string& key() const { return key_; }
    const std::string& value() const { return value_; }

private:
    // The file's first max_bytes, or with `head` false the whole file or nothing; a head ends
    // at the last line that is whole.
    bool read_start(const std::string& file_name, int32_t max_bytes, bool head);
    bool raw_line();
    void strip_comments();

    int32_t depth_ = 0;
    int32_t position_ = 0;
    int32_t line_number_ = 0;
    DATA bytes_;
    std::string line_;
    std::string key_;
    std::string value_;
};

// Drops leading and trailing blanks and control characters (bytes up to 0x20).
std::string trim_text(std::string_view text);
void trim_in_place(std::string& text);

} // namespace tgm
