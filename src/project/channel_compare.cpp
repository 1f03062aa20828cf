#include "project/channel_compare.h"

#include "forms/number_text.h"
#include "project/eproject.h"
#include "support/cp1251.h"

#include <algorithm>

namespace tgm {

std::vector<ChannelDifference> compare_channels(const GROUPTAB& unit, const GROUPTAB& project,
                                                const std::vector<bool>& unconverted) {
    std::vector<ChannelDifference> out;
    const int32_t slots = std::max(unit.count(), project.count());
    for (int32_t k = 0; k < slots; ++k) {
        ChannelDifference d;
        d.channel = k + 1;
        const bool in_unit = k < unit.count();
        const bool in_project = k < project.count();
        // A table that does not convert is not the unit's, whatever the unit holds there.
        if (in_project && k < static_cast<int32_t>(unconverted.size()) && unconverted[k]) {
            d.kind = ChannelDifference::Kind::unconverted;
            out.push_back(d);
            continue;
        }
        if (!in_project || !in_unit) {
            d.kind = in_unit ? ChannelDifference::Kind::unit_only
                             : ChannelDifference::Kind::project_only;
            d.points = in_unit ? unit.item(k).count() : project.item(k).count();
            out.push_back(d);
            continue;
        }
        const PARTAB& a = unit.item(k);
        const PARTAB& b = project.item(k);
        const int32_t levels = std::max(a.count(), b.count());
        // A level where one side has no point counts as different.
        for (int32_t i = 0; i < levels; ++i) {
            const bool has_a = i < a.count();
            const bool has_b = i < b.count();
            if (has_a && has_b && a.point(i) == b.point(i))
                continue;
            if (d.count++ == 0) {
                d.level = i;
                d.has_unit = has_a;
                d.unit = has_a ? a.point(i) : 0;
                d.has_project = has_b;
                d.project = has_b ? b.point(i) : 0;
            }
        }
        if (d.count > 0)
            out.push_back(d);
    }
    return out;
}

std::vector<ChannelDifference> compare_with_project(const GROUPTAB& unit, EPROJECT& project) {
    GROUPTAB ours;
    project.build_group(ours);
    std::vector<bool> unconverted;
    for (int32_t k = 0; k < project.count(); ++k)
        unconverted.push_back(!project.writable(k));
    return compare_channels(unit, ours, unconverted);
}

std::string difference_line(const ChannelDifference& d) {
    std::string line = text_of_integer(d.channel) + '\t';
    switch (d.kind) {
    case ChannelDifference::Kind::differs:
        return line + "differs\t" + text_of_integer(d.level) + '\t' +
               (d.has_unit ? text_of_integer(d.unit) : "-") + '\t' +
               (d.has_project ? text_of_integer(d.project) : "-") + '\t' + text_of_integer(d.count);
    case ChannelDifference::Kind::unit_only:
        return line + "unit-only\t" + text_of_integer(d.points);
    case ChannelDifference::Kind::project_only:
        return line + "project-only\t" + text_of_integer(d.points);
    case ChannelDifference::Kind::unconverted: return line + "unconverted";
    }
    return line;
}

std::string difference_text(const ChannelDifference& d) {
    const std::string channel = cp("Канал ") + text_of_integer(d.channel) + ": ";
    const auto litres = [](bool has, int32_t value) {
        return has ? text_of_integer(value) + cp(" л") : cp("нет точки");
    };
    switch (d.kind) {
    case ChannelDifference::Kind::differs:
        return channel + cp("отличается с ") + text_of_integer(d.level) + cp(" см (в системе ") +
               litres(d.has_unit, d.unit) + cp(", в проекте ") + litres(d.has_project, d.project) +
               cp("), отличных уровней: ") + text_of_integer(d.count);
    case ChannelDifference::Kind::unit_only: return channel + cp("таблица есть только в системе");
    case ChannelDifference::Kind::project_only:
        return channel + cp("таблица есть только в проекте");
    case ChannelDifference::Kind::unconverted:
        return channel + cp("таблица проекта не преобразуется");
    }
    return channel;
}

std::string difference_texts(const std::vector<ChannelDifference>& differences) {
    std::string text;
    for (const ChannelDifference& d : differences) {
        if (!text.empty())
            text += '\r';
        text += difference_text(d);
    }
    return text;
}

} // namespace tgm
