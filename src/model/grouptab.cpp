#include "model/grouptab.h"

namespace tgm {

void GROUPTAB::reset() {
    count_ = 0;
    for (auto& t : tables_)
        t.clear_points();
}

void GROUPTAB::add_copy(const PARTAB& table) {
    if (count_ >= kMaxTables)
        return;
    item(count_).copy_from(table);
    ++count_;
}

void GROUPTAB::add_empty() {
    if (count_ >= kMaxTables)
        return;
    item(count_).clear_points();
    ++count_;
}

bool GROUPTAB::equals(const GROUPTAB& other) const {
    if (count_ != other.count_)
        return false;
    for (int32_t k = 0; k < count_; ++k)
        if (!item(k).equals(other.item(k)))
            return false;
    return true;
}

} // namespace tgm
