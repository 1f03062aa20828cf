#include "testing/conversation.h"
#include "operations/version_table.h"

#include "operations/drivers/klink.h"
#include "operations/link_errors.h"
#include "operations/vlink.h"
#include "testing/manual_clock.h"
#include "testing/tables.h"
#include "v_protocol/crc16.h"

#include <algorithm>

namespace tgm::test {
namespace {

constexpr uint8_t kLogTraffic = 0x80;
constexpr uint8_t kSealFrames = 0x40;

// A record that holds one acknowledged V answer frame (0x00, the length, the data, the CRC)
// gets the CRC its length and data call for.
void seal(Bytes& record) {
    if (record.size() < 4 || record[0] != 0x00 || record[1] + 4u != record.size())
        return;
    const uint16_t crc = crc16(record.data() + 1, static_cast<int32_t>(record.size()) - 3);
    record[record.size() - 2] = static_cast<uint8_t>(crc & 0xFF);
    record[record.size() - 1] = static_cast<uint8_t>(crc >> 8);
}

// Same count, same points and same headers.
bool same_group(const GROUPTAB& a, const GROUPTAB& b) {
    if (!a.equals(b))
        return false;
    for (int32_t k = 0; k < a.count(); ++k)
        if (a.item(k).header() != b.item(k).header())
            return false;
    return true;
}

bool in_error_table(const std::string& text) {
    for (int32_t code : {kLinkOk, kUnitFault, kLinkFailure, kPackingFailed, kVersionUnsupported,
                         kFlashTooSmall, kUnknownCompression, kFlashFault, kStillInitialising})
        if (text == link_error_text(code))
            return true;
    return false;
}

// One link for every run: its thread stays idle, the sides run on the caller's thread.
TBVLink& shared_link() {
    static TBVLink link;
    return link;
}

} // namespace

Conversation parse_conversation(const uint8_t* data, std::size_t size) {
    Conversation c;
    if (size >= 1) {
        c.operation = TBVLink::kWrite + (data[0] & 0x3F) % 3;
        c.traffic = (data[0] & kLogTraffic) != 0;
        c.sealed = (data[0] & kSealFrames) != 0;
    }
    if (size >= 2)
        c.group = data[1] % kExampleGroups;
    for (std::size_t at = 2; at < size;) {
        std::size_t length = data[at];
        if (at + 1 < size)
            length |= static_cast<std::size_t>(data[at + 1]) << 8;
        at = std::min(at + 2, size);
        length = std::min(length, size - at);
        c.records.emplace_back(data + at, data + at + length);
        at += length;
    }
    return c;
}

Bytes conversation_bytes(const Conversation& c) {
    Bytes out{static_cast<uint8_t>((c.operation - TBVLink::kWrite) | (c.traffic ? kLogTraffic : 0) |
                                   (c.sealed ? kSealFrames : 0)),
              static_cast<uint8_t>(c.group)};
    for (const Bytes& r : c.records) {
        out.push_back(static_cast<uint8_t>(r.size() & 0xFF));
        out.push_back(static_cast<uint8_t>(r.size() >> 8));
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

GROUPTAB example_group(int32_t index) {
    switch (index) {
    case 0: return group({line(40), PARTAB(), line(40), line(30, 5, 7)});
    case 1: {
        PARTAB zigzag(50);
        for (int32_t i = 0; i < zigzag.count(); ++i)
            zigzag.point(i) = i % 2 == 0 ? 0 : 1000;
        return group({zigzag, line(20)});
    }
    case 2: return group({line(10)});
    default: {
        GROUPTAB g;
        for (int32_t k = 0; k < 8; ++k)
            g.add_copy(line(300 + 10 * k, k, 3 + k));
        return g;
    }
    }
}

ConversationOutcome replay_conversation(char protocol, const Conversation& c) {
    ManualClock clock;
    std::vector<Bytes> records = c.records;
    if (c.sealed && protocol == 'v')
        for (Bytes& r : records)
            seal(r);
    const auto port = std::make_shared<ScriptedPort>(std::move(records));
    PortOnEveryNumber on_line(port);
    TBVLink& link = shared_link();
    link.group = example_group(c.group);
    const GROUPTAB before = link.group;
    link.operation = c.operation;
    link.log_traffic = c.traffic;
    link.cancel = false;
    link.progress = 0;
    link.error_text.clear();
    link.trace_text.clear();
    link.chan_log.clear();
    link.version_text.clear();
    link.version_code = -1;
    const bool ok = protocol == 'v' ? RunVLink(link) : RunKLink(link);
    link.operation = 0;

    ConversationOutcome out;
    out.result = ok;
    out.error_text = link.error_text;
    if (!in_error_table(link.error_text))
        out.broken = "a text outside the error table";
    else if (ok != (link.error_text == "OK"))
        out.broken = "the result disagrees with its text";
    else if (!(ok && c.operation == TBVLink::kRead) && !same_group(link.group, before))
        out.broken = "the group changed without a successful read";
    else if (port->is_open())
        out.broken = "the port was left open";
    else if (protocol == 'v' ? link.version_code != kCode96XX
                             : link.version_code < 0 || link.version_code > kCodeNoDriver)
        out.broken = "a version code outside the version table";
    return out;
}

} // namespace tgm::test
