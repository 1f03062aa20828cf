#include "forms/tformlist.h"

namespace tgm {

void TFormList::shift_ends(int32_t from, int64_t delta) {
    for (std::size_t k = static_cast<std::size_t>(from); k < ends_.size(); ++k)
        ends_[k] = static_cast<uint32_t>(ends_[k] + delta);
}

void TFormList::put(int32_t i, std::string_view text) {
    const uint32_t b = begin(i);
    const uint32_t e = ends_[static_cast<std::size_t>(i)];
    chars_.replace(b, e - b, text);
    shift_ends(i, static_cast<int64_t>(text.size()) - static_cast<int64_t>(e - b));
}

void TFormList::insert(int32_t i, std::string_view text) {
    const uint32_t b = begin(i);
    chars_.insert(b, text);
    ends_.insert(ends_.begin() + i, b);
    shift_ends(i, static_cast<int64_t>(text.size()));
}

void TFormList::remove(int32_t i) {
    const uint32_t b = begin(i);
    const uint32_t e = ends_[static_cast<std::size_t>(i)];
    chars_.erase(b, e - b);
    ends_.erase(ends_.begin() + i);
    shift_ends(i, -static_cast<int64_t>(e - b));
}

std::string TFormList::text() const {
    std::string s;
    s.reserve(chars_.size() + 2 * ends_.size());
    for (int32_t i = 0; i < count(); ++i) {
        if (i > 0)
            s += "\r\n";
        s += get(i);
    }
    return s;
}

} // namespace tgm
