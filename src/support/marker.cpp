#include "support/marker.h"

namespace tgm {

bool MARKER::write_signature(pstream& s) const {
    return s.write_text(record_ ? record_->signature : std::string());
}

} // namespace tgm
