#include "sim/sim_persona.h"

#include "encoding/unit_header.h"
#include "encoding/unit_version.h"
#include "operations/generation.h"
#include "operations/version_table.h"

#include <cstdlib>

namespace tgm {
namespace {

// A plain decimal version number, or -1.
int32_t version_number(const std::string& text) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::atoi(text.c_str());
}

// The three bytes a unit answers for a version number; false when no bytes give it.
bool version_bytes(int32_t version, uint8_t out[3]) {
    const int32_t major = version / 1000, minor = version / 100 % 10, rest = version % 100;
    if (major > 255)
        return false;
    out[0] = static_cast<uint8_t>(major);
    out[1] = static_cast<uint8_t>(minor);
    out[2] = static_cast<uint8_t>(rest % 10 == 0 && rest / 10 < 10 ? rest / 10 : rest);
    return compose_version(out[0], out[1], out[2]) == version;
}

} // namespace

int32_t SimPersona::line_speed() const {
    if (protocol == 'k')
        return 9600;
    return transport_speed != 0 ? transport_speed : 19200;
}

int32_t SimPersona::display_length() const { return display_kind == 0 ? 13 : 33; }

bool make_persona(const SimConfig& config, SimPersona& out, std::string& error) {
    out = SimPersona();
    out.protocol = config.protocol;
    out.transport_speed = config.transport;
    const std::string& firmware = config.firmware;
    int32_t reported = 0;
    if (firmware == "621") {
        if (config.protocol != 'k') {
            error = "firmware 621 speaks only the K protocol";
            return false;
        }
        out.answers_abort = true;
        reported = 6210;
        out.version = 6210;
    } else if (firmware == "5x0" || firmware == "5X0") {
        if (config.protocol != 'k') {
            error = "firmware 5x0 speaks only the K protocol";
            return false;
        }
        out.has_version_command = false;
    } else if (version_number(firmware) >= 0) {
        reported = version_number(firmware);
        const int32_t folded = reported == 6380 ? 6320 : reported;
        out.version = normalize_version(folded);
    } else {
        error = "unknown firmware " + firmware;
        return false;
    }
    if (out.has_version_command && !version_bytes(reported, out.version_bytes)) {
        error = "no version bytes give " + firmware;
        return false;
    }

    const Generation generation = generation_of(code_of_version(out.version));
    out.driver = generation.driver;
    if (config.protocol == 'v') {
        // The V side keeps the directory record and every compression type, whatever the
        // version it reports.
        out.uses_record = true;
        out.type_count = 4;
        out.checks_ready = true;
        out.display_kind = 2;
    } else {
        out.uses_record = generation.store == Generation::Store::record;
        out.checks_ready = generation.waits_ready;
        // A generation that never asks rejects the question.
        out.type_count = generation.asks_types ? generation.types : 0;
        // Generations without a driver of their own keep the oldest header layout.
        const HeaderLayout* layout = generation.header;
        if (!layout)
            layout = header_layout(2);
        if (!out.uses_record) {
            out.header_size = layout->size;
            out.record_offset = layout->records;
            out.word_flags = layout->word_flags;
        }
        if (!out.has_version_command)
            out.display_kind = 0;
        else if (out.version % 1000 <= 350)
            out.display_kind = 0;
        else
            out.display_kind = out.version == 6360 ? 1 : 2;
    }
    // A unit asked for its whole flash reports 64 KiB; the others' 16-bit answer stops short.
    out.flash_size = generation.room == Generation::Room::flash_size ? 65536u : 65535u;
    if (config.flash_size >= 0)
        out.flash_size = static_cast<uint32_t>(config.flash_size);
    if (config.type_count >= 0)
        out.type_count = config.type_count;
    return true;
}

} // namespace tgm
