#include "cli_common.h"
#include "commands.h"
#include "protocol_pdf.h"

namespace tgm::cli {

// Built without Qt: there is nothing to draw with.
int cmd_graph(int, char**) {
    return usage_error("tgm-cli graph: this build has no Qt to draw with");
}
int cmd_pdf(int, char**) { return usage_error("tgm-cli pdf: this build has no Qt to draw with"); }
bool protocol_available() { return false; }
bool write_protocol_pdf(char*, const WriteRecord&, const std::string&) { return false; }

} // namespace tgm::cli
