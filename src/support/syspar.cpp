#include "support/syspar.h"

#include "support/platform.h"

namespace tgm {

void SYSPAR::set_forms_folder(const std::string& path) {
    const std::size_t slash = last_path_separator(path);
    forms_folder_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace tgm
