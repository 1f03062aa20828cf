#include "sim/sim_flash.h"

#include "encoding/unit_header.h"
#include "support/atomic_file.h"
#include "support/xfile.h"

namespace tgm {
namespace {

const char kMagic[] = "TGMSIM1\n";
constexpr std::size_t kMagicLength = sizeof(kMagic) - 1;
// Far above any flash; bounds what a damaged file can make us allocate.
constexpr uint32_t kMaxSection = 16u * 1024u * 1024u;

void put_section(std::string& out, const std::vector<uint8_t>& bytes) {
    const uint32_t n = static_cast<uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((n >> (8 * i)) & 0xFF);
    out.append(bytes.begin(), bytes.end());
}

bool get_section(const std::string& in, std::size_t& at, std::vector<uint8_t>& bytes) {
    if (in.size() - at < 4)
        return false;
    uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= static_cast<uint32_t>(static_cast<uint8_t>(in[at + i])) << (8 * i);
    at += 4;
    if (n > kMaxSection || in.size() - at < n)
        return false;
    bytes.assign(in.begin() + static_cast<std::ptrdiff_t>(at),
                 in.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
    return true;
}

} // namespace

uint8_t SimFlash::filler(int32_t offset) { return static_cast<uint8_t>(offset * 7 + 0x5A); }

SimFlash::SimFlash(const SimPersona& persona) {
    areas_[kRecord].assign(kRecordSize, 0);
    if (persona.uses_record)
        return;
    // Recognisable filler, then no channel with a table: the unit's other bytes stay.
    const HeaderLayout layout{persona.header_size, persona.record_offset, persona.word_flags, 0};
    UnitHeader header(layout);
    for (int32_t i = 0; i < persona.header_size; ++i)
        header.bytes()[i] = filler(i);
    header.clear_tables();
    areas_[kHeader].assign(header.bytes(), header.bytes() + header.size());
}

// Saved in the order header, record, image, blocks 0 to 15.
// clang-format off
static const int32_t kSaveOrder[SimFlash::kAreas] = {
    SimFlash::kHeader, SimFlash::kRecord, SimFlash::kImage, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10,
    11, 12, 13, 14, 15};
// clang-format on

bool SimFlash::load(const std::string& path, std::string& error) {
    std::string bytes;
    if (!read_whole_file(path, bytes)) {
        error = "cannot read " + path;
        return false;
    }
    std::array<Bytes, kAreas> loaded;
    std::size_t at = kMagicLength;
    bool ok = bytes.compare(0, kMagicLength, kMagic) == 0;
    for (int32_t which : kSaveOrder)
        ok = ok && get_section(bytes, at, loaded[static_cast<std::size_t>(which)]);
    if (!ok || at != bytes.size()) {
        error = path + " is not a state file of tgm-sim";
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    // A header saved by another generation does not fit this one: keep the fresh one.
    if (loaded[kHeader].size() != areas_[kHeader].size())
        loaded[kHeader] = areas_[kHeader];
    areas_ = std::move(loaded);
    return true;
}

bool SimFlash::save(const std::string& path) const {
    std::string out(kMagic, kMagicLength);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int32_t which : kSaveOrder)
            put_section(out, areas_[static_cast<std::size_t>(which)]);
    }
    return write_file_replacing(path, out);
}

SimFlash::Bytes SimFlash::area(int32_t which) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return areas_[static_cast<std::size_t>(which)];
}

void SimFlash::set_area(int32_t which, Bytes bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    areas_[static_cast<std::size_t>(which)] = std::move(bytes);
}

} // namespace tgm
