#include "forms/forma.h"

#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "support/cp1251.h"

namespace tgm {

void FORMA::reset() {
    name.clear();
    levels.clear();
    volumes.clear();
    flags = 0;
}

void FORMA::set_form_type(int code) {
    form_type = static_cast<uint8_t>(code);
    level_caption = cp(level_is_index_kind(code) ? "L <см>" : "L <мм*10>");
    volume_caption = cp(is_cubic_kind(code) ? "V <м.куб>" : "V <литр>");
    set_flag(kLevelIsIndex, level_is_index_kind(code));
}

void FORMA::make_new(int code) {
    reset();
    set_form_type(code);
    levels.add("0");
    volumes.add("0");
    levels.add("1");
    volumes.add("1");
    set_flag(kFilled, true);
}

void FORMA::make_empty(int code) {
    reset();
    set_form_type(code);
}

void FORMA::assign(const FORMA& other) {
    if (this == &other)
        return;
    reset();
    form_type = other.form_type;
    flags = other.flags;
    name = other.name;
    level_caption = other.level_caption;
    volume_caption = other.volume_caption;
    levels = other.levels;
    volumes = other.volumes;
}

bool FORMA::equals(const FORMA& other) const {
    return form_type == other.form_type && name == other.name &&
           level_caption == other.level_caption && volume_caption == other.volume_caption &&
           levels == other.levels && volumes == other.volumes;
}

void FORMA::renumber_levels() {
    if (!has(kLevelIsIndex))
        return;
    levels.fill_indices(levels.count());
}

void FORMA::add_point(std::string_view level, std::string_view volume) {
    char index[24];
    if (has(kLevelIsIndex))
        level = std::string_view(index, format_integer(levels.count(), index));
    levels.add(level);
    volumes.add(volume);
}

bool FORMA::insert_point(int32_t i, std::string_view level, std::string_view volume) {
    if (i < 0 || i > point_count())
        return false;
    levels.insert(i, level);
    volumes.insert(i, volume);
    renumber_levels();
    return true;
}

bool FORMA::delete_point(int32_t i) {
    if (point_count() < 3 || i < 0 || i >= point_count())
        return false;
    levels.remove(i);
    volumes.remove(i);
    renumber_levels();
    return true;
}

bool FORMA::set_zero_points(std::string_view count_text) {
    int32_t n = 0;
    if (!has(kLevelIsIndex) || !integer_of_text(count_text, n) || n > kMaxZeroPoints)
        return false;
    set_zero_count(n);
    return true;
}

void FORMA::set_zero_count(int32_t n) {
    levels.fill_indices(n);
    volumes.fill_repeated("0", n);
}

bool FORMA::is_count_line(std::string_view s, std::optional<int64_t>& count) const {
    count.reset();
    if (s.empty() || s.front() != '|' || form_type < kFormFs1 || form_type > kFormFs32)
        return false;
    std::size_t pos = 0;
    std::string_view token;
    if (!scan_integer(s, pos, token))
        return true;
    int32_t n = 0;
    if (integer_of_text(token, n))
        count = n;
    else if (token.front() != '-')
        count = INT64_MAX; // digits past the 32-bit range
    return true;
}

// Appends one point per number of the line, its level the next index when levels are implied.
template <typename Scan, typename Store>
void FORMA::add_volumes_of(std::string_view s, Scan scan, Store store) {
    const int32_t before = volumes.count();
    std::size_t pos = 0;
    std::string_view token;
    while (scan(s, pos, token))
        store(volumes, token);
    const int32_t added = volumes.count() - before;
    if (has(kLevelIsIndex)) {
        levels.add_indices(before, added);
    } else {
        for (int32_t i = 0; i < added; ++i)
            levels.add({});
    }
}

bool FORMA::parse_line(std::string_view s) {
    const bool special = !s.empty() && s.front() == '|';
    const auto store_as_is = [](TFormList& list, std::string_view token) { list.add(token); };
    std::size_t pos = 0;
    std::string_view token;
    std::optional<int64_t> count;
    switch (form_type) {
    case kFormFs:
        if (special)
            add_volumes_of(s, scan_integer, store_as_is);
        break;
    case kFormFs1:
    case kFormFs31:
    case kFormFs2:
    case kFormFs32:
        if (is_count_line(s, count)) {
            // N zero volumes replace whatever this table held.
            if (count && *count > kMaxZeroPoints)
                return false;
            if (count)
                set_zero_count(static_cast<int32_t>(*count));
        } else if (is_cubic_kind(form_type)) {
            add_volumes_of(s, scan_decimal,
                           [](TFormList& list, std::string_view t) { list.add(decimal_text(t)); });
        } else {
            add_volumes_of(s, scan_integer, store_as_is);
        }
        break;
    case kFormF1:
        if (special && scan_integer(s, pos, token)) {
            const std::string_view level = token;
            std::string_view volume;
            if (scan_integer(s, pos, token))
                volume = token;
            add_point(level, volume);
        }
        break;
    default: break;
    }
    return true;
}

} // namespace tgm
