#pragma once
// Tables in text form for the editor's tests.
#include "forms/fdata.h"
#include "forms/form_kind.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace tgm::test {

// A table of a kind with implied levels, one volume text per point.
inline FORMA index_table(std::initializer_list<const char*> volumes, int kind = kFormFs,
                         const char* name = "t") {
    FORMA t;
    t.make_empty(kind);
    t.name = name;
    for (const char* v : volumes)
        t.add_point("", v);
    t.set_flag(kFilled, t.point_count() >= 2);
    return t;
}

// n points of a .fs table: volume i = start + i * step.
inline FORMA rising_table(int n, int start = 0, int step = 10) {
    FORMA t;
    t.make_empty(kFormFs);
    t.name = "rising";
    for (int i = 0; i < n; ++i)
        t.add_point("", std::to_string(start + i * step));
    t.set_flag(kFilled, n >= 2);
    return t;
}

// An .f1 table: level texts in tenths of a millimetre and volumes.
inline FORMA level_table(std::initializer_list<std::pair<const char*, const char*>> points) {
    FORMA t;
    t.make_empty(kFormF1);
    t.name = "survey";
    for (const auto& [level, volume] : points)
        t.add_point(level, volume);
    t.set_flag(kFilled, t.point_count() >= 2);
    return t;
}

inline FDATA tables_of(std::initializer_list<FORMA> tables) {
    FDATA d;
    for (const FORMA& t : tables)
        d.table(static_cast<int32_t>(d.count++)).assign(t);
    return d;
}

} // namespace tgm::test
