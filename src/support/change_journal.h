#pragma once
// The journal of changes to a unit, REPORT/journal.csv: one line per write, delete or
// verification, whatever its outcome. UTF-8 with a byte-order mark, ";" between fields, a
// header row when the file is new. Each line is one write() to the file opened for appending,
// then synced, so a crash loses at most the line being written and never an earlier one.
#include <ctime>
#include <string>

namespace tgm {

// The fields after the date and time, in the order of the header row. Texts are code page
// 1251; `port` and `copy` are file names (file-system bytes). Empty where nothing applies.
struct JournalEntry {
    std::string operation;
    std::string port;
    std::string version;
    std::string result;
    std::string tables;
    std::string crcs; // "1:XXXXXXXX 2:XXXXXXXX ..."
    std::string copy;
    std::string verification;
};

class ChangeJournal {
public:
    // `folder` is the settings folder, with its trailing '/'.
    explicit ChangeJournal(std::string folder) : folder_(std::move(folder)) {}

    std::string path() const { return folder_ + "REPORT/journal.csv"; }
    // Whether a line can be appended: creates REPORT and the file (with its header row) when
    // missing. False with the reason in `why` (code page 1251).
    bool ready(std::string& why) const;
    bool append(const JournalEntry& entry, std::time_t now, std::string& why) const;

    // The header row, UTF-8, without the line end.
    static const char* header();
    // One line as it is appended, UTF-8, with its CR LF.
    static std::string line(const JournalEntry& entry, std::time_t now);

private:
    // An open descriptor for appending, the header row written when the file was empty; -1
    // with `why` set.
    int open_for_append(std::string& why) const;

    std::string folder_;
};

} // namespace tgm
