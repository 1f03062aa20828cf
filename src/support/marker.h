#pragma once
// Names and checks a file by a registered signature.
#include "support/pstream.h"
#include "support/signatura.h"

#include <cstdint>
#include <string>

namespace tgm {

class MARKER {
public:
    explicit MARKER(int32_t key) : record_(find_signature(key)) {}

    std::string extension() const { return record_ ? record_->extension : std::string(); }
    bool write_signature(pstream& s) const;
    bool read_signature(pstream& s) { return s.read_text(text_); }
    bool signature_valid() const { return record_ && text_ == record_->signature; }

private:
    const SIGNATURA* record_;
    std::string text_;
};

} // namespace tgm
