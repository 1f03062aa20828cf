#include "sim/sim_console.h"

#include "support/cp1251.h"

namespace tgm {
namespace {

constexpr std::size_t kSegmentPositions = 12;
constexpr std::size_t kLcdWidth = 16;
constexpr uint8_t kPoint = 0x80;

// Seven-segment patterns of the digits 0 to 9.
const uint8_t kSegmentDigits[10] = {0x77, 0x24, 0x5D, 0x6D, 0x2E, 0x6B, 0x7B, 0x25, 0x7F, 0x6F};

// The LCD's codes for the capitals А to Я (code page 1251 0xC0 to 0xDF) in its two character
// sets; capitals that look like Latin ones are shown by those, Ь by "b", a missing one by "?".
const uint8_t kLcdCapitals[2][32] = {
    {'A', 0x80, 'B', 0x92, 0x81, 'E', 0x82, 0x83, 0x84, 0x85, 'K',  0x86, 'M', 'H',  'O',  0x87,
     'P', 'C',  'T', 0x88, '?',  'X', 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 'b', 0x8F, 0xAC, 0xAD},
    {'A', 0xA0, 'B', 0xA1, 0xE0, 'E', 0xA3, 0xA4, 0xA5, 0xA6, 'K',  0xA7, 'M', 'H',  'O',  0xA8,
     'P', 'C',  'T', 0xA9, 0xAA, 'X', 0xE1, 0xAB, 0xAC, 0xE2, 0xAD, 0xAE, 'b', 0xAF, 0xB0, 0xB1}};

const char* const kItemNames[SimConsole::kItems] = {"УРОВЕНЬ, СМ", "ОБЪЕМ, Л", "ПЛОТНОСТЬ"};

uint8_t segment_pattern(uint8_t c) {
    if (c >= '0' && c <= '9')
        return kSegmentDigits[c - '0'];
    switch (c) {
    case '-': return 0x08;
    case '=': return 0x41;
    case 0xCF: return 0x37; // П
    default: return 0x00;
    }
}

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

} // namespace

SimConsole::SimConsole(int32_t display_kind, int32_t version)
    : display_kind_(display_kind), version_(version) {}

void SimConsole::press(int32_t code) {
    {
        std::lock_guard<std::mutex> lock(pressed_mutex_);
        pressed_.push_back(code);
    }
    if (code == kBack) {
        item_ = 0;
        entry_.clear();
    } else if (code >= 0 && code <= kLastDigit) {
        if (item_ == 0) {
            if (code >= 1 && code <= kItems)
                item_ = code;
        } else if (entry_.size() < kMaxEntry) {
            entry_ += static_cast<char>('0' + code);
        }
    }
}

std::vector<std::string> SimConsole::rows() const {
    const std::string version = version_ > 0 ? std::to_string(version_) : "5-0";
    if (display_kind_ == 0) {
        // One row of twelve digits; a "." lights the point of the digit before it.
        if (item_ == 0) {
            const std::string menu = cp("П 1.2.3");
            const std::size_t gap = kSegmentPositions + 2 - version.size() - menu.size();
            return {version + std::string(gap, ' ') + menu};
        }
        return {cp("П") + std::to_string(item_) + "=" + entry_};
    }
    if (item_ == 0)
        return {cp("СИМУЛЯТОР ") + version, cp("МЕНЮ: 1 2 3")};
    return {cp(kItemNames[item_ - 1]), "> " + entry_ + "_"};
}

SimConsole::Bytes SimConsole::segment_bytes(const std::string& text) const {
    Bytes out;
    for (const char c : text) {
        if (c == '.' && !out.empty())
            out.back() |= kPoint;
        else if (out.size() < kSegmentPositions)
            out.push_back(segment_pattern(static_cast<uint8_t>(c)));
    }
    out.resize(kSegmentPositions, 0x00);
    return out;
}

SimConsole::Bytes SimConsole::lcd_bytes(const std::string& text) const {
    const uint8_t* capitals = kLcdCapitals[display_kind_ == 1 ? 0 : 1];
    Bytes out;
    for (const char c : padded(text, kLcdWidth)) {
        const uint8_t b = static_cast<uint8_t>(c);
        out.push_back(b >= 0xC0 && b <= 0xDF ? capitals[b - 0xC0] : (b < 0x80 ? b : '?'));
    }
    return out;
}

SimConsole::Bytes SimConsole::answer() const {
    Bytes out{0};
    for (const std::string& row : rows()) {
        const Bytes bytes = display_kind_ == 0 ? segment_bytes(row) : lcd_bytes(row);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

} // namespace tgm
