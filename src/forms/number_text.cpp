#include "forms/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace tgm {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Skips to the start of the next number; false at "*" or the end of the line.
bool find_number(std::string_view line, std::size_t& pos) {
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == '*')
            return false;
        if (is_digit(c) || c == '-')
            return true;
        ++pos;
    }
    return false;
}

} // namespace

bool scan_integer(std::string_view line, std::size_t& pos, std::string_view& token) {
    if (!find_number(line, pos))
        return false;
    const std::size_t start = pos++;
    while (pos < line.size() && is_digit(line[pos]))
        ++pos;
    token = line.substr(start, pos - start);
    return true;
}

bool scan_decimal(std::string_view line, std::size_t& pos, std::string_view& token) {
    if (!find_number(line, pos))
        return false;
    const std::size_t start = pos++;
    bool separator = false;
    while (pos < line.size()) {
        const char c = line[pos];
        if ((c == '.' || c == ',') && !separator)
            separator = true;
        else if (!is_digit(c))
            break;
        ++pos;
    }
    token = line.substr(start, pos - start);
    return true;
}

std::string decimal_text(std::string_view token) {
    std::string text(token);
    const std::size_t comma = text.find(',');
    if (comma != std::string::npos)
        text[comma] = '.';
    return text;
}

bool integer_of_text(std::string_view text, int32_t& value) {
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool decimal_of_text(std::string_view text, double& value) {
    if (text.empty() || text.size() > 400)
        return false;
    std::string s(text);
    for (char& c : s)
        if (c == ',')
            c = '.';
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, value, std::chars_format::fixed);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool scaled_decimal(std::string_view text, int digits, int32_t& out, bool& exact) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t sep = text.find_first_of(".,");
    const std::string_view whole = text.substr(0, sep);
    const std::string_view fraction =
        sep == std::string_view::npos ? std::string_view() : text.substr(sep + 1);
    auto digits_only = [](std::string_view d) {
        for (char c : d)
            if (!is_digit(c))
                return false;
        return true;
    };
    if ((whole.empty() && fraction.empty()) || !digits_only(whole) || !digits_only(fraction))
        return false;
    int64_t v = 0;
    auto add_digit = [&v](char c) {
        v = v * 10 + (c - '0');
        return v <= int64_t{2147483648};
    };
    for (char c : whole)
        if (!add_digit(c))
            return false;
    const std::size_t kept = static_cast<std::size_t>(digits);
    for (std::size_t k = 0; k < kept; ++k)
        if (!add_digit(k < fraction.size() ? fraction[k] : '0'))
            return false;
    exact = true;
    for (std::size_t k = kept; k < fraction.size(); ++k)
        exact = exact && fraction[k] == '0';
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    out = static_cast<int32_t>(v);
    return true;
}

bool rounded_scaled_decimal(std::string_view text, int digits, int32_t& out, bool& exact) {
    const std::size_t sep = text.find_first_of(".,");
    const std::size_t kept = static_cast<std::size_t>(kSpreadsheetDecimals);
    if (sep == std::string_view::npos || text.size() - sep - 1 <= kept)
        return scaled_decimal(text, digits, out, exact);
    for (char c : text.substr(sep + 1))
        if (!is_digit(c))
            return false;
    std::string rounded(text.substr(0, sep + 1 + kept));
    if (text[sep + 1 + kept] >= '5') {
        // Carry from the last kept digit up through the whole part.
        std::size_t i = rounded.size();
        while (i > 0) {
            char& c = rounded[--i];
            if (c == '.' || c == ',')
                continue;
            if (!is_digit(c)) {
                ++i;
                break;
            }
            if (c != '9') {
                ++c;
                return scaled_decimal(rounded, digits, out, exact);
            }
            c = '0';
        }
        rounded.insert(i, 1, '1');
    }
    return scaled_decimal(rounded, digits, out, exact);
}

std::string centimetre_text(int64_t tenths) {
    const bool negative = tenths < 0;
    const uint64_t t = negative ? 0 - static_cast<uint64_t>(tenths) : static_cast<uint64_t>(tenths);
    std::string text = (negative ? "-" : "") + std::to_string(t / 100);
    const uint64_t rest = t % 100;
    if (rest != 0) {
        text += '.';
        text += static_cast<char>('0' + rest / 10);
        if (rest % 10 != 0)
            text += static_cast<char>('0' + rest % 10);
    }
    return text;
}

bool truncate_to_int32(long double value, int32_t& out) {
    if (!std::isfinite(value))
        return false;
    const long double t = std::trunc(value);
    if (t < -2147483648.0L || t > 2147483647.0L)
        return false;
    out = static_cast<int32_t>(t);
    return true;
}

bool litres_of_cubic_text(std::string_view text, int32_t& litres) {
    double cubic = 0;
    if (!decimal_of_text(text, cubic))
        return false;
    // The single-precision step absorbs the decimal representation error: 1.234 gives 1234.
    const float product = static_cast<float>(cubic * 1000.0);
    return truncate_to_int32(product, litres);
}

std::size_t format_integer(int64_t value, char* buffer) {
    auto [ptr, ec] = std::to_chars(buffer, buffer + 24, value);
    (void)ec;
    return static_cast<std::size_t>(ptr - buffer);
}

std::string text_of_integer(int64_t value) {
    char buffer[24];
    return std::string(buffer, format_integer(value, buffer));
}

std::string cubic_text_of_litres(int32_t litres) {
    const float cubic = static_cast<float>(litres * 0.001);
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(cubic),
                                   std::chars_format::fixed, 3);
    (void)ec;
    std::string s(buffer, ptr);
    const std::size_t dot = s.find('.');
    if (dot != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
    }
    if (s == "-0")
        s = "0";
    return s;
}

} // namespace tgm
