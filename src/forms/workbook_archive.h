#pragma once
// A workbook's zip container read from memory, every member read with a bound on what it
// inflates to: a small archive that inflates to gigabytes stops at the bound, never fills memory.
#include "forms/workbook_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

typedef struct zip zip_t;

namespace tgm {

class WorkbookArchive : public WorkbookParts {
public:
    // What the members read from one archive may inflate to, together.
    static constexpr uint64_t kMaxInflatedBytes = 64u << 20;

    WorkbookArchive() = default;
    ~WorkbookArchive() override;
    WorkbookArchive(const WorkbookArchive&) = delete;
    WorkbookArchive& operator=(const WorkbookArchive&) = delete;

    // Opens the archive in `bytes`, which must outlive this object. False with the reason
    // (UTF-8) for bytes that are not a zip archive or one that is broken.
    bool open(std::string_view bytes, std::string& reason_utf8);
    bool has(const std::string& name) const override;
    // The member's bytes; false with the reason for a missing, encrypted, broken or too big one.
    bool read(const std::string& name, std::string& out, std::string& reason_utf8) override;

private:
    zip_t* zip_ = nullptr;
    uint64_t inflated_ = 0;
};

} // namespace tgm
