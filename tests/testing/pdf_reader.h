#pragma once
// What a PDF holds, as poppler's command-line tools read it.
#include <string>

namespace tgm::test {

// The page count pdfinfo reports; -1 when it cannot read the file.
int pdf_pages(const std::string& path);
// pdftotext -layout of the pages from `first` to `last` (0: to the end), UTF-8.
std::string pdf_text(const std::string& path, int first = 1, int last = 0);

} // namespace tgm::test
