#include "protocol_pdf.h"

#include "offscreen_painting.h"

#include "render/write_protocol.h"

namespace tgm::cli {

bool protocol_available() { return true; }

bool write_protocol_pdf(char* program_name, const WriteRecord& record,
                        const std::string& file_name) {
    OffscreenPainting qt(program_name);
    return WriteProtocol(record).write_pdf(file_name);
}

} // namespace tgm::cli
