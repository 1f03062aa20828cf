#pragma once
// What one write of a project's tables into a unit did, kept for the printed protocol that the
// customer signs: where and when, what was sent, what was read back and what the copy is.
#include "model/grouptab.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace tgm {

struct WriteRecord {
    struct Channel {
        int32_t channel = 0;       // counted from 1
        std::string header;        // code page 1251
        int32_t highest_level = 0; // cm
        int32_t capacity = 0;      // litres at the highest level
        uint32_t written_crc = 0;  // as the sheets print it
        // The unit's table of the channel as read back; none when the unit held no table there
        // (or nothing was read back: see `read_back`).
        std::optional<uint32_t> read_crc;
        bool differs = false; // the read back found the channel different
    };

    std::time_t moment = 0;
    std::string port;              // UTF-8: the port's device, or the simulated unit's name
    std::string version;           // code page 1251: the unit's firmware as the status bar shows it
    std::string project_file;      // file-system bytes, or the program's own name of the project
    bool project_modified = false; // the tables sent are not those saved in project_file
    std::vector<Channel> channels; // those with a table, ascending
    // Code page 1251, "\r" between lines: the write's own result as the status bar has it,
    // then after a cancel or a failure what that means for the unit.
    std::string result;
    // How far the tables went out: none of them, some (the unit may hold a part), or all.
    enum class Reach { nothing, some, all };
    Reach reach = Reach::nothing;
    bool written = false;   // the write itself succeeded
    bool verified = false;  // the tables were to be read back after it
    bool read_back = false; // ... and the read worked
    // Code page 1251, "\r" between lines: the verification's verdict; empty when none was made.
    std::string verdict;
    // UTF-8: the copy's file, or why there is none; empty when no copy was asked for.
    std::string copy;
    bool succeeded = false; // written and, when verified, the unit holds what was sent
};

// The rows of `sent`'s channels that hold a table, with what `read` (the unit's tables as
// read back, or nullptr) holds in their place.
std::vector<WriteRecord::Channel> record_channels(const GROUPTAB& sent, const GROUPTAB* read);

} // namespace tgm
