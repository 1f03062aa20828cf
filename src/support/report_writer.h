#pragma once
// The daily report: each run that logged something appends one block to REPORT/<date>.txt.
#include <ctime>
#include <string>

namespace tgm {

// "dd.MM.yyyy.txt" whatever the locale, so the name never holds a '/'.
std::string report_file_name(const std::tm& when);
// "H:mm:ss".
std::string report_time_text(const std::tm& when);

// Appends the time line and `text` (code page 1251, lines joined by CR LF) to the day's file in
// `folder` + "REPORT". An empty text writes nothing and creates nothing. Failures are shown
// through the message sink; false then.
bool write_report(const std::string& text, const std::string& folder, std::time_t now);

} // namespace tgm
