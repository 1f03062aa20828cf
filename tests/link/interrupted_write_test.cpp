// A write cut off at the worst moment: the unit takes the new image and then answers nothing,
// so its header or directory still names the old tables. The next read must neither crash nor
// hang, and must bring exactly what the unit's flash now decodes to, or fail as that decoding
// fails and leave the tables it held.
#include "encoding/arj_tab.h"
#include "encoding/directory_record.h"
#include "encoding/trp_tab.h"
#include "encoding/unit_header.h"
#include "operations/drivers/klink.h"
#include "operations/link_errors.h"
#include "operations/vlink.h"
#include "support/cp1251.h"
#include "testing/conversation.h"
#include "testing/engine_port.h"
#include "testing/manual_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace tgm::test {
namespace {

using Bytes = std::vector<uint8_t>;

// An area as a read of `count` bytes brings it: a K unit answers erased bytes (0xFF) beyond
// what it holds; a V unit answers what it holds, and fewer bytes than asked fail the read.
bool area_as_read(char protocol, const Bytes& held, int32_t count, uint8_t* out) {
    if (protocol == 'v' && static_cast<int32_t>(held.size()) < count)
        return false;
    for (int32_t i = 0; i < count; ++i)
        out[i] = i < static_cast<int32_t>(held.size()) ? held[static_cast<std::size_t>(i)] : 0xFF;
    return true;
}

// The tables the unit's flash holds, decoded without the line: 0 with `group` filled, or the
// code a read must fail with.
int32_t decode_flash(const SimUnit& unit, GROUPTAB& group) {
    const SimPersona& persona = unit.persona();
    const SimFlash& flash = const_cast<SimUnit&>(unit).flash();
    const char protocol = persona.protocol;
    const auto arj = [&](const Directory& dir, uint8_t type) {
        if (dir.table_count == 0) {
            group.reset();
            return int32_t{0};
        }
        TArjTab image(type);
        if (image.compression_type() > 1 || !dir.holdable())
            return kUnknownCompression;
        image.load_directory(dir);
        area_as_read(protocol, flash.image(), image.image_size(), image.image());
        return image.unpack(group);
    };
    if (!persona.uses_record) {
        UnitHeader header(*header_layout(persona.driver));
        const Bytes held = flash.header();
        std::copy(held.begin(), held.end(), header.bytes());
        Directory dir;
        header.read_directory(dir);
        return arj(dir, 0);
    }
    DirectoryRecord record;
    const Bytes held = flash.record();
    std::copy_n(held.begin(), DirectoryRecord::kSize, record.bytes());
    if (protocol == 'k' && persona.driver != 15) {
        Directory dir;
        record.read_directory(dir);
        return arj(dir, record.type_byte());
    }
    ExtDirectory dir;
    uint8_t type = 0;
    if (const int32_t code = record.read_directory(dir, type); code != 0)
        return code;
    if (dir.dir.table_count == 0) {
        group.reset();
        return 0;
    }
    if (type == 2 || !dir.dir.holdable())
        return kUnknownCompression;
    TTrpTab image(type, dir);
    bool complete = true;
    if (type == 3) {
        for (int32_t i = 0; i < dir.dir.table_count; ++i)
            complete = complete && area_as_read(protocol, flash.area(i), image.block_size(i),
                                                image.image() + image.block_offset(i));
    } else {
        complete = area_as_read(protocol, flash.image(), image.image_size(), image.image());
    }
    return complete ? image.unpack(group) : kLinkFailure;
}

struct Case {
    char protocol;
    const char* firmware;
    int32_t types;                  // -1: the generation's own
    int32_t old_tables, new_tables; // example groups
};

// One operation on the unit's engine; the link's text.
std::string run(SimUnit& unit, TBVLink& link, int32_t op) {
    const auto line = std::make_shared<EnginePort>(unit);
    PortOnEveryNumber on_line(line);
    link.operation = op;
    link.error_text.clear();
    unit.persona().protocol == 'v' ? RunVLink(link) : RunKLink(link);
    link.operation = 0;
    return link.error_text;
}

// The image and the per-table blocks together.
Bytes table_data(SimUnit& unit) {
    Bytes all = unit.flash().image();
    for (int32_t i = 0; i < 16; ++i) {
        const Bytes block = unit.flash().area(i);
        all.insert(all.end(), block.begin(), block.end());
    }
    return all;
}

void copy_flash(SimUnit& from, SimUnit& to) {
    for (int32_t area = 0; area < SimFlash::kAreas; ++area)
        to.flash().set_area(area, from.flash().area(area));
}

TEST(InterruptedWrite, TheNextReadBringsWhatTheFlashHoldsOrFailsAsItDoes) {
    ManualClock clock;
    const Case cases[] = {
        {'k', "6341", -1, 0, 3}, {'k', "6341", -1, 3, 2}, // header and image of type 0
        {'k', "9610", -1, 0, 1}, {'k', "9610", -1, 1, 3}, // the record, types 0 and 1
        {'k', "1000", -1, 3, 0},                          // type 3: only block 0 replaced
        {'v', "9600", -1, 0, 3}, {'v', "10000", 1, 3, 2}, // the V side, type 3 and type 0
        {'v', "10000", 2, 2, 3},
    };
    for (const Case& c : cases) {
        const std::string name = std::string(1, c.protocol) + c.firmware + " " +
                                 std::to_string(c.old_tables) + "->" + std::to_string(c.new_tables);
        SimConfig config;
        config.protocol = c.protocol;
        config.firmware = c.firmware;
        config.type_count = c.types;
        TBVLink link;
        const auto before = make_engine(config);
        link.group = example_group(c.old_tables);
        ASSERT_EQ(run(*before, link, TBVLink::kWrite), "OK") << name;

        config.faults.silent_after_image = true;
        const auto cut = make_engine(config);
        copy_flash(*before, *cut);
        link.group = example_group(c.new_tables);
        EXPECT_EQ(run(*cut, link, TBVLink::kWrite), cp("Ошибка связи")) << name;
        EXPECT_EQ(cut->flash().header(), before->flash().header()) << name;
        EXPECT_EQ(cut->flash().record(), before->flash().record()) << name;
        EXPECT_NE(table_data(*cut), table_data(*before)) << name;

        config.faults.silent_after_image = false;
        const auto after = make_engine(config);
        copy_flash(*cut, *after);
        GROUPTAB decoded;
        const int32_t code = decode_flash(*after, decoded);
        const GROUPTAB held = example_group(2);
        link.group = held;
        const std::string text = run(*after, link, TBVLink::kRead);
        EXPECT_EQ(text, link_error_text(code)) << name;
        EXPECT_TRUE(link.group.equals(code == 0 ? decoded : held)) << name;
        std::printf("%s: the read gives %s\n", name.c_str(), cp1251_to_utf8(text).c_str());
    }
}

} // namespace
} // namespace tgm::test
