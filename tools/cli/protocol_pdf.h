#pragma once
// The page of `write --protocol`: painted by the drawing library on Qt's offscreen platform,
// which tgm-cli starts for it alone. A build without Qt has no page to offer.
#include <string>

namespace tgm {
struct WriteRecord;
}

namespace tgm::cli {

bool protocol_available();
// Starts Qt and writes the page as a PDF file; false with the reason on stderr.
bool write_protocol_pdf(char* program_name, const WriteRecord& record,
                        const std::string& file_name);

} // namespace tgm::cli
