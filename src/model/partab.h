#pragma once
// One calibration table in numeric form: point i is the volume in litres at i cm.
#include "support/data.h"

#include <cstdint>
#include <string>

namespace tgm {

class PARTAB : public DATA {
public:
    PARTAB() = default;
    explicit PARTAB(int32_t n) { resize(n); }

    int32_t count() const { return count_; }
    const std::string& header() const { return header_; }
    void set_header(std::string header) { header_ = std::move(header); }

    // Point values are unspecified afterwards; callers fill all n points.
    void resize(int32_t n);
    void clear_points();
    void copy_from(const PARTAB& other);
    // No bounds check: callers keep 0 <= i < count().
    int32_t& point(int32_t i) { return points()[i]; }
    int32_t point(int32_t i) const { return points()[i]; }
    int32_t* points() { return reinterpret_cast<int32_t*>(bytes()); }
    const int32_t* points() const { return reinterpret_cast<const int32_t*>(bytes()); }
    // Same count and identical points; the header plays no part.
    bool equals(const PARTAB& other) const;

    // The unit's encodability tests; `out` gets the differenced values, complete even on failure.
    bool check_second_diff(PARTAB& out) const;
    bool check_first_diff(PARTAB& out) const;
    // What the tests make of a table of two points or more: "OK " when it passes the
    // second-difference test, else "OK*" when it passes the first-difference one, else "OK**".
    std::string control_text() const;

private:
    int32_t count_ = 0;
    std::string header_;
};

} // namespace tgm
