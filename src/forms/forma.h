#pragma once
// One table in text form: level and volume strings as typed or read from a form file.
#include "forms/tformlist.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tgm {

enum FormaFlag : uint32_t {
    kConverts = 0x01,     // the last conversion into numbers succeeded
    kSecondDiffOk = 0x02, // passes the second-difference test
    kFilled = 0x04,       // holds a table (two points at least); clear for a gap
    kLevelIsIndex = 0x08, // level of point i is i cm
    kFirstDiffOk = 0x10,  // passes only the first-difference test
};

// A count line can set at most this many zero points: no unit table can hold more, and an
// absurd count in a damaged file must not exhaust memory. A file asking for more is refused.
constexpr int32_t kMaxZeroPoints = 65535;

class FORMA {
public:
    uint32_t flags = 0;
    uint8_t form_type = 0;
    TFormList levels;
    TFormList volumes;
    std::string name;
    std::string level_caption;
    std::string volume_caption;

    bool has(uint32_t flag) const { return (flags & flag) != 0; }
    void set_flag(uint32_t flag, bool on) { flags = on ? (flags | flag) : (flags & ~flag); }
    bool filled() const { return has(kFilled); }
    bool converts() const { return has(kConverts); }

    // Clears name, points and flags; the kind and captions stay.
    void reset();
    void set_form_type(int code);
    // A new table: the two points 0 and 1.
    void make_new(int code);
    // A gap.
    void make_empty(int code);
    void assign(const FORMA& other);
    // Kind, name, captions and texts; flags are not compared.
    bool equals(const FORMA& other) const;

    int32_t point_count() const { return levels.count(); }
    // Views valid until the table changes.
    std::string_view level_text(int32_t i) const { return levels.get(i); }
    std::string_view volume_text(int32_t i) const { return volumes.get(i); }
    void set_level_text(int32_t i, std::string_view text) { levels.put(i, text); }
    void set_volume_text(int32_t i, std::string_view text) { volumes.put(i, text); }

    void add_point(std::string_view level, std::string_view volume);
    // Before point i (0 <= i <= point_count); false otherwise.
    bool insert_point(int32_t i, std::string_view level, std::string_view volume);
    // Only while at least 3 points remain; false otherwise.
    bool delete_point(int32_t i);
    // Replaces the points by N zero volumes; false (nothing changed) when the text is no integer.
    bool set_zero_points(std::string_view count_text);
    // Replaces the points by n zero volumes (none for n <= 0).
    void set_zero_count(int32_t n);
    // Whether `line` is a count line of this table's kind ("|" in .fs1, .fs2, .fs31, .fs32).
    // `count` is what it asks for: empty when it holds no integer (the line has no effect); a
    // count beyond the 32-bit range stands as one above kMaxZeroPoints.
    bool is_count_line(std::string_view line, std::optional<int64_t>& count) const;
    // False for a count line above kMaxZeroPoints, which changes nothing.
    bool parse_line(std::string_view line);

private:
    void renumber_levels();
    template <typename Scan, typename Store>
    void add_volumes_of(std::string_view line, Scan scan, Store store);
};

} // namespace tgm
