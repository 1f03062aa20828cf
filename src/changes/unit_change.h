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
    // Where a change stands. Everything said of it, by both front ends, the journal and the
    // protocol, is told from this and the steps' outcomes, so that none contradicts another.
    enum class State {
        nothing_sent, // the unit holds what it held
        copy_taken,   // ... and its tables are in the copy
        sending,      // some of the change went out: the unit may hold a part of it
        all_sent,     // every table went out
        checked,      // ... and was read back
        check_unread, // ... and the read back did not read (failed or cancelled)
    };
    enum class Step { copy, change, verify };
    // Runs one operation on the link and waits for it; its result.
    using Run = std::function<bool(Step step, int32_t operation)>;
    // Asked when the copy's read fails (`error` is its error_text): true changes the unit
    // without a copy.
    using Ask = std::function<bool(const std::string& error)>;
    // Asked before each step: true when the user has asked to stop between two steps.
    using Stopped = std::function<bool()>;

    UnitChange(TBVLink& link, ChangeOptions options, Run run, Ask ask, Stopped stopped = {});

    // TBVLink::kWrite of `tables`, or TBVLink::kClear (tables unused). False when the change
    // did not start: why() says why (empty after a cancel between steps), nothing was sent.
    bool perform(int32_t operation, const GROUPTAB& tables);

    State state() const { return state_; }
    const std::string& why() const { return why_; }
    // The write's or delete's own result, and whether the user cancelled a step or stopped
    // between two.
    bool changed() const { return changed_; }
    bool cancelled() const { return cancelled_; }
    // Every table went out, whatever happened after.
    bool tables_sent() const { return state_ >= State::all_sent; }
    // The notice of the change's activation is due: the tables went out, and a unit that
    // restarts by itself has taken its finishing command.
    bool notice_due() const;
    // The change's version code as its own operation read it (the check's read does not
    // replace it).
    int32_t version_code() const { return version_code_; }
    // The copy's file, empty when none was made.
    const std::string& copy_file() const { return copy_file_; }
    // Whether the write was to be read back, the read succeeded and what differed.
    bool verified() const { return verified_; }
    bool verify_read() const { return verify_read_; }
    const std::vector<ChannelDifference>& differences() const { return differences_; }
    // The change succeeded and, when read back, the unit holds what was sent.
    bool succeeded() const;
    // Nothing of the change reached the unit: it holds what it held.
    bool untouched() const { return state_ <= State::copy_taken; }
    // After a change that did not succeed, what the unit holds as far as the program knows:
    // unchanged, possibly partly written, or written but not checked (code page 1251).
    std::string unit_state_text() const;
    // "Проверка: ..." (code page 1251), its channels as the windows show them and the note of
    // a unit read back before its power was switched, joined by "\r"; empty when nothing was
    // to be read back.
    std::string verdict() const;
    // The verdict's first line alone: what the check found, or why it did not read; and the
    // note, only after a read of a unit that must be switched off and on.
    std::string verdict_sentence() const;
    std::string power_cycle_note() const;
    // What a write that ran did, whatever its outcome, for its protocol; empty before one ran.
    const WriteRecord& record() const { return record_; }
    // A journal line that could not be appended after the change (code page 1251), or empty.
    const std::string& journal_error() const { return journal_error_; }

private:
    bool take_copy();
    bool stop_here();
    // The journal's line before the change goes out; false (why_ set) when it is not written.
    bool journal_start(int32_t operation, const GROUPTAB& tables);
    void verify(const GROUPTAB& sent);
    void fill_record(const GROUPTAB& sent, std::time_t moment, const std::string& version,
                     const std::string& result);
    // The journal's Копия, UTF-8: the file, or why there is none.
    std::string copy_text() const;
    // The journal's Результат of the link's last operation.
    std::string link_result() const;
    bool journal(const char* operation, const std::string& version, const std::string& result,
                 const GROUPTAB* tables, const std::string& verification, std::string& why);

    TBVLink& link_;
    ChangeOptions options_;
    Run run_;
    Ask ask_;
    Stopped stopped_;
    State state_ = State::nothing_sent;
    int32_t operation_ = 0;
    std::string why_;
    bool changed_ = false;
    bool cancelled_ = false;
    int32_t version_code_ = -1;
    std::string version_read_; // by the change's own operation
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
// Why no unit could take `tables`, found without one: the channels that fit no compression of
// any unit (code page 1251); empty when some unit takes them.
std::string packing_refusal(const GROUPTAB& tables);
// How many channels hold a table.
int32_t table_count(const GROUPTAB& tables);

} // namespace tgm
