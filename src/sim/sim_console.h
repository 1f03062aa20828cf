#pragma once
// The simulated unit's front panel: a display of the firmware's kind (twelve seven-segment
// digits, or two LCD rows of 16 in either character set) showing the firmware and a small
// menu that the console's keys walk through.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tgm {

class SimConsole {
public:
    using Bytes = std::vector<uint8_t>;
    // Key codes that mean the same on every display kind.
    static constexpr int32_t kLastDigit = 9;
    static constexpr int32_t kBack = 12; // "q"
    static constexpr int32_t kItems = 3;
    static constexpr std::size_t kMaxEntry = 8;

    // version: the firmware's version number, 0 for a unit without the version command.
    SimConsole(int32_t display_kind, int32_t version);

    // The console command: a unit from 6350 on expects it before its console is used.
    void switch_on() { switched_on_ = true; }
    bool switched_on() const { return switched_on_; }
    // On the menu a digit 1 to 3 opens that item; in an item digits are entered; "q" steps
    // back. Other keys change nothing.
    void press(int32_t code);
    // Every key code pressed so far, in order (a test's view of what reached the unit).
    std::vector<int32_t> pressed() const {
        std::lock_guard<std::mutex> lock(pressed_mutex_);
        return pressed_;
    }
    // The console's answer: a leading byte, then the display bytes.
    Bytes answer() const;

    // The display's rows as text (code page 1251), one string per row.
    std::vector<std::string> rows() const;

private:
    Bytes segment_bytes(const std::string& text) const;
    Bytes lcd_bytes(const std::string& text) const;

    int32_t display_kind_;
    int32_t version_;
    bool switched_on_ = false;
    int32_t item_ = 0; // 0: the menu
    std::string entry_;
    mutable std::mutex pressed_mutex_;
    std::vector<int32_t> pressed_;
};

} // namespace tgm
