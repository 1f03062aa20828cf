#pragma once
// Number texts of the form files: the two line scanners and locale-independent conversions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tgm {

// Scanners start at `pos` and leave it after the number. They skip to the next digit or "-";
// a "*" or the end of the line ends the scan with no number (false).
// The token is a view into the line.
bool scan_integer(std::string_view line, std::size_t& pos, std::string_view& token);
// As scan_integer, plus at most one separator ("." or ","); decimal_text stores it as ".".
bool scan_decimal(std::string_view line, std::size_t& pos, std::string_view& token);
std::string decimal_text(std::string_view token);

// A decimal integer with an optional leading minus in the signed 32-bit range, nothing else.
bool integer_of_text(std::string_view text, int32_t& value);
// A decimal number, "," read as "."; the result must be finite.
bool decimal_of_text(std::string_view text, double& value);
// A decimal text (optional sign, digits, at most one "," or "." and more digits) times
// 10^digits, further digits cut off toward zero, in exact decimal steps: no binary fraction on
// the way. `exact` says whether nothing but zeros was cut. False for any other text and for a
// result outside 32 bits.
bool scaled_decimal(std::string_view text, int digits, int32_t& out, bool& exact);
// The decimal places below which a spreadsheet's number is binary noise: a cell that holds
// 2.31 may be written "2,30999999999999".
constexpr int kSpreadsheetDecimals = 9;
// As scaled_decimal after rounding the text to kSpreadsheetDecimals places, half away from
// zero: how every number of a spreadsheet is read.
bool rounded_scaled_decimal(std::string_view text, int digits, int32_t& out, bool& exact);
// Tenths of a millimetre as centimetres, "." before at most two decimals (25035 -> "250.35").
std::string centimetre_text(int64_t tenths);
// Cubic metres text to litres: times 1000, rounded to single precision, truncated toward zero.
bool litres_of_cubic_text(std::string_view text, int32_t& litres);

std::string text_of_integer(int64_t value);
// The same digits into a caller's buffer of at least 24 bytes; returns the length.
std::size_t format_integer(int64_t value, char* buffer);
// Litres as cubic metres, "0.###" with "." whatever the locale (1000 -> "1", 1250 -> "1.25").
std::string cubic_text_of_litres(int32_t litres);

// Truncates toward zero into the 32-bit range; false for a value that is not finite or outside.
bool truncate_to_int32(long double value, int32_t& out);

} // namespace tgm
