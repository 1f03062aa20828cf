#pragma once
// The event log of one run: one line per operation against the unit, its outcome appended.
// Texts are code page 1251.
#include <functional>
#include <string>
#include <vector>

namespace tgm {

class HIST {
public:
    void add_line(const std::string& text);
    // Last line + " " + text; nothing on an empty log.
    void append_to_last_line(const std::string& text);
    const std::vector<std::string>& lines() const { return lines_; }
    // The lines joined by CR LF.
    std::string text() const;
    // Called after every change, so a window can show the log.
    std::function<void()> on_change;

private:
    std::vector<std::string> lines_;
};

// The program-wide log that every writer goes through; nullptr while there is none.
HIST* log_sink();
void set_log_sink(HIST* log);

} // namespace tgm
