#pragma once
// A write or a delete of the unit's tables made safe and provable: the journal must be
// writable before anything is sent, the unit's tables are copied first, a write is read back
// and compared channel by channel, and each change and each verification leaves its line in
// the journal. The windows and tgm-cli run the same steps; only how an operation is run and
// how the user is asked differ.
#include "model/grouptab.h"
#include "project/channel_compare.h"
#include "project/write_record.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace tgm {

class TBVLink;

struct ChangeOptions {
    bool backup = false;
    std::string backup_path; // as --backup gives it; empty: BACKUP in the settings folder
    bool verify = false;
    bool journal = true;
    std::string folder;    // the settings folder, with its trailing '/'
    std::string port_name; // UTF-8: the port's device, or the simulated unit's name
    // For the write's record: the project's file and whether its tables were changed since.
    std::string project_file;
    bool project_modified = false;
};

// The options of a change of `operation` that both front ends set alike: the journal in the
// settings folder, the copy when asked, the read back when asked and the change is a write.
ChangeOptions change_options(int32_t operation, bool backup, bool verify, std::string port_name,
                             std::string project_file);

class UnitChange {
public:
    enum class Step { copy, change, verify };
    // Runs one operation on the link and waits for it; its result.
    using Run = std::function<bool(Step step, int32_t operation)>;
    // Asked when the copy's read fails (`error` is its error_text): true changes the unit
    // without a copy.
    using Ask = std::function<bool(const std::string& error)>;

    UnitChange(TBVLink& link, ChangeOptions options, Run run, Ask ask);

    // TBVLink::kWrite of `tables`, or TBVLink::kClear (tables unused). False when the change
    // did not start: why() says why, nothing was sent after the copy's read.
    bool perform(int32_t operation, const GROUPTAB& tables);

    const std::string& why() const { return why_; }
    // The write's or delete's own result, and whether the user cancelled it.
    bool changed() const { return changed_; }
    bool cancelled() const { return cancelled_; }
    // The copy's file, empty when none was made.
    const std::string& copy_file() const { return copy_file_; }
    // Whether the write was read back, the read succeeded and what differed.
    bool verified() const { return verified_; }
    bool verify_read() const { return verify_read_; }
    const std::vector<ChannelDifference>& differences() const { return differences_; }
    // The change succeeded and, when read back, the unit holds what was sent.
    bool succeeded() const;
    // A write or delete refused before a table was sent (tables that fit no compression, a
    // version without a driver, an image beyond the flash): the unit holds what it held.
    bool untouched() const;
    // After a change that did not succeed, what the unit may now hold: partly_written_text(),
    // or for one refused before a table was sent, that its tables are unchanged.
    std::string unit_state_text() const;
    // "Проверка: ..." (code page 1251), its channels as the windows show them and the note of
    // a unit read back before its power was switched, joined by "\r"; empty when nothing was
    // read back.
    std::string verdict() const;
    // The verdict's first line alone, and the note (empty for a unit that restarts).
    std::string verdict_sentence() const;
    std::string power_cycle_note() const;
    // What a write that ran did, whatever its outcome, for its protocol; empty before one ran.
    const WriteRecord& record() const { return record_; }
    // A journal line that could not be appended after the change (code page 1251), or empty.
    const std::string& journal_error() const { return journal_error_; }

private:
    bool take_copy();
    void verify(const GROUPTAB& sent);
    void fill_record(const GROUPTAB& sent, std::time_t moment, const std::string& version,
                     const std::string& result);
    // The journal's Копия, UTF-8: the file, or why there is none.
    std::string copy_text() const;
    void journal(const char* operation, const std::string& version, const GROUPTAB* tables,
                 const std::string& verification);

    TBVLink& link_;
    ChangeOptions options_;
    Run run_;
    Ask ask_;
    std::string why_;
    bool changed_ = false;
    bool cancelled_ = false;
    std::string copy_file_;
    std::string copy_note_; // the journal's Копия when there is no file
    bool verified_ = false;
    bool verify_read_ = false;
    bool power_cycle_ = false;
    std::string verify_error_;
    std::vector<ChannelDifference> differences_;
    std::string journal_error_;
    WriteRecord record_;
};

// "1:XXXXXXXX 2:XXXXXXXX ...": each channel with a table and the CRC-32 of its litres as the
// sheets print it.
std::string crc_field(const GROUPTAB& tables);

// What a change that was cancelled, or did not end well, says after the link's own result;
// code page 1251.
std::string cancelled_text();
std::string partly_written_text();
// How many channels hold a table.
int32_t table_count(const GROUPTAB& tables);

} // namespace tgm
