#include "console/cons_clnt.h"

#include "support/cp1251.h"

#include <array>
#include <cstring>

namespace tgm {
namespace {

struct DisplayKind {
    int32_t width;
    int32_t rows;
    const char* name;
    const char* keys; // a key's code is its position
};

const DisplayKind kKinds[3] = {
    {12, 1, " << 635", "0123456789,-qzm"},
    {16, 2, " 636 ", "0123456789,-qzmn"},
    {16, 2, " 6361 >>", "0123456789-+qzmn"},
};

// Seven-segment patterns and the characters they show; any other pattern shows "?".
const std::array<uint8_t, 128>& segment_chars() {
    static const std::array<uint8_t, 128> table = [] {
        std::array<uint8_t, 128> t;
        t.fill('?');
        static const uint8_t pairs[][2] = {
            {0x00, 0x20}, {0x03, 0x5F}, {0x05, 0x83}, {0x07, 0x82}, {0x08, 0x2D}, {0x0F, 0x54},
            {0x13, 0xC3}, {0x18, 0x72}, {0x1B, 0x46}, {0x1F, 0x50}, {0x20, 0x69}, {0x24, 0x31},
            {0x25, 0x37}, {0x2E, 0x34}, {0x37, 0xCF}, {0x38, 0x6E}, {0x3A, 0x68}, {0x3E, 0x48},
            {0x3F, 0x41}, {0x40, 0x5F}, {0x41, 0x3D}, {0x49, 0x3E}, {0x50, 0x84}, {0x52, 0x4C},
            {0x53, 0x43}, {0x58, 0x63}, {0x5B, 0x45}, {0x5D, 0x32}, {0x60, 0x85}, {0x65, 0x4A},
            {0x6B, 0x35}, {0x6D, 0x33}, {0x6E, 0xD3}, {0x6F, 0x39}, {0x70, 0x84}, {0x73, 0x47},
            {0x76, 0x55}, {0x77, 0x30}, {0x78, 0x6F}, {0x7A, 0x62}, {0x7B, 0x36}, {0x7C, 0x64},
            {0x7F, 0x38}};
        for (const auto& p : pairs)
            t[p[0]] = p[1];
        return t;
    }();
    return table;
}

// The two LCD character sets: the bytes from `first` on stand for the letters of `letters`
// in order; a blank in `letters` is a byte the set shows as a blank.
struct LcdRange {
    uint8_t first;
    uint8_t last;
    std::string letters;
};

const std::array<LcdRange, 1>& lcd_set1() {
    static const std::array<LcdRange, 1> set = {
        LcdRange{0x80, 0xAF, cp("БДЖЗИЙЛПУЦЧШЩЪЫЭ  Г                         ЮЯ  ")}};
    return set;
}

const std::array<LcdRange, 3>& lcd_set2() {
    static const std::array<LcdRange, 3> set = {
        LcdRange{0x00, 0x03, "><^?"},
        LcdRange{0xA0, 0xDF,
                 cp("БГЕЖЗИЙЛПУФЧШЪЫЭЮЯбвгежзийклмнптчшъыьэюя                        ")},
        LcdRange{0xE0, 0xE7, cp("ДЦЩдфцщ ")}};
    return set;
}

template <std::size_t N>
char lcd_char(const std::array<LcdRange, N>& set, uint8_t byte) {
    for (const LcdRange& range : set)
        if (byte >= range.first && byte <= range.last)
            return range.letters[static_cast<std::size_t>(byte - range.first)];
    return static_cast<char>(byte);
}

} // namespace

void CONS_CLNT::configure(int32_t kind) {
    display_kind = kind == 0 || kind == 1 ? kind : 2;
    const DisplayKind& k = kKinds[display_kind];
    row_chars = 2 * k.width;
    rows = k.rows;
    answer_length = k.rows * k.width + 1;
    queued_keys_.clear();
    display_text.clear();
}

const char* CONS_CLNT::kind_name(int32_t kind) {
    return kKinds[kind == 0 || kind == 1 ? kind : 2].name;
}

bool CONS_CLNT::accept_key(char key) {
    if (key == '.' && display_kind != 0)
        key = 'n';
    if (key == 0 || std::strchr(kKinds[display_kind].keys, key) == nullptr || queue_full())
        return false;
    queued_keys_.push_back(key);
    return true;
}

bool CONS_CLNT::take_key_code(int32_t& code) {
    if (queued_keys_.empty())
        return false;
    const char key = queued_keys_.front();
    queued_keys_.pop_front();
    code = static_cast<int32_t>(std::strchr(kKinds[display_kind].keys, key) -
                                kKinds[display_kind].keys);
    return true;
}

char CONS_CLNT::display_char(uint8_t byte) const {
    switch (display_kind) {
    case 0: return static_cast<char>(segment_chars()[byte & 0x7F]);
    case 1: return lcd_char(lcd_set1(), byte);
    default: return lcd_char(lcd_set2(), byte);
    }
}

void CONS_CLNT::decode(const DATA& answer) {
    const int32_t count = row_chars / 2 * rows;
    display_text.clear();
    display_text.reserve(static_cast<std::size_t>(2 * count));
    for (int32_t i = 1; i <= count; ++i) {
        if (i >= answer.size()) {
            display_text += "  ";
            continue;
        }
        const uint8_t byte = answer.bytes()[i];
        display_text += display_char(byte);
        display_text += display_kind == 0 && (byte & 0x80) ? '.' : ' ';
    }
}

std::string CONS_CLNT::shown_text() const {
    std::string text = display_text;
    for (char& c : text)
        if (static_cast<uint8_t>(c) < 0x20)
            c = ' ';
    if (static_cast<int32_t>(text.size()) > row_chars)
        text.insert(static_cast<std::size_t>(row_chars), 1, '\r');
    return text;
}

} // namespace tgm
