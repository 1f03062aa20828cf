#include "forms/fdata.h"

#include "forms/convert.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "support/cp1251.h"
#include "support/message_sink.h"

namespace tgm {

void FDATA::clear() {
    count = 0;
    for (auto& f : forms)
        f.reset();
}

void FDATA::assign(const FDATA& other) {
    if (this == &other)
        return;
    for (uint32_t k = 0; k < other.count; ++k)
        forms[k].assign(other.forms[k]);
    count = other.count;
}

bool FDATA::equals(const FDATA& other) const {
    if (count != other.count)
        return false;
    for (uint32_t k = 0; k < count; ++k)
        if (!forms[k].equals(other.forms[k]))
            return false;
    return true;
}

bool FDATA::add_table() {
    if (count >= kMaxTables)
        return false;
    forms[count].make_new(kFormFs);
    ++count;
    return true;
}

bool FDATA::insert_table(int32_t k, bool new_table) {
    if (k < 0 || static_cast<uint32_t>(k) >= count || count >= kMaxTables)
        return false;
    for (int32_t i = static_cast<int32_t>(count); i > k; --i)
        std::swap(table(i), table(i - 1));
    if (new_table)
        table(k).make_new(kFormFs);
    else
        table(k).make_empty(kFormFs);
    ++count;
    return true;
}

bool FDATA::delete_table(int32_t k) {
    if (count < 2 || k < 0 || static_cast<uint32_t>(k) >= count)
        return false;
    for (int32_t i = k; i + 1 < static_cast<int32_t>(count); ++i)
        std::swap(table(i), table(i + 1));
    --count;
    forms[count].reset();
    return true;
}

bool FDATA::replace_table(int32_t k, const FORMA& t) {
    if (k < 0 || static_cast<uint32_t>(k) >= count)
        return false;
    table(k).assign(t);
    return true;
}

bool FDATA::build_group(GROUPTAB& group) {
    group.reset();
    PARTAB points;
    for (uint32_t k = 0; k < count; ++k) {
        FORMA& f = forms[k];
        points.set_header(f.name);
        const bool ok = convert_table(f, points);
        f.set_flag(kConverts, ok);
        // Never let unconverted text turn into other data; a gap goes to the unit empty, even
        // when it holds the single point that made it one.
        if (!ok || !f.filled())
            points.clear_points();
        group.add_copy(points);
    }
    return count != 0;
}

std::string FDATA::unconverted_line(int32_t k) {
    return cp("Канал ") + text_of_integer(k + 1) +
           cp(": таблица не преобразуется (Контроль \"-\")");
}

std::vector<std::string> FDATA::conversion_refusals() const {
    std::vector<std::string> lines;
    for (uint32_t k = 0; k < count; ++k)
        if (forms[k].filled() && !forms[k].converts())
            lines.push_back(unconverted_line(static_cast<int32_t>(k)));
    return lines;
}

bool FDATA::report_refusals() const {
    const std::vector<std::string> lines = conversion_refusals();
    if (lines.empty())
        return true;
    std::string text = lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i)
        text += '\r' + lines[i];
    show_message(text, MessageKind::warning);
    return false;
}

void FDATA::fill_table(FORMA& t, const PARTAB& points, int kind) {
    t.make_empty(kind);
    const int32_t n = points.count();
    t.levels.reserve(n, static_cast<std::size_t>(n) * 5);
    t.volumes.reserve(n, static_cast<std::size_t>(n) * 8);
    const bool cubic = is_cubic_kind(kind);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t v = points.point(i);
        t.add_point({}, cubic ? cubic_text_of_litres(v) : text_of_integer(v));
    }
    t.set_flag(kFilled, n >= 2);
}

void FDATA::fill_from_group(const GROUPTAB& group, int kind) {
    clear();
    for (int32_t k = 0; k < group.count(); ++k) {
        FORMA& t = table(k);
        fill_table(t, group.item(k), kind);
        const std::string& header = group.item(k).header();
        t.name = header.empty() ? "t" + text_of_integer(k + 1) : header;
    }
    count = static_cast<uint32_t>(group.count());
}

void FDATA::fill_single_table(const GROUPTAB& group, int kind, int32_t k) {
    clear();
    count = 1;
    fill_table(forms[0], group.item(k), kind);
}

void FDATA::run_control() {
    for (uint32_t k = 0; k < count; ++k)
        forms[k].flags &= ~(kConverts | kSecondDiffOk | kFirstDiffOk);
    GROUPTAB group;
    if (!build_group(group))
        return;
    PARTAB out;
    for (uint32_t k = 0; k < count; ++k) {
        FORMA& f = forms[k];
        if (!f.filled() || !f.converts())
            continue;
        const PARTAB& t = group.item(static_cast<int32_t>(k));
        if (t.check_second_diff(out))
            f.set_flag(kSecondDiffOk, true);
        else if (t.check_first_diff(out))
            f.set_flag(kFirstDiffOk, true);
    }
}

} // namespace tgm
