#include "forms/tformlist.h"

#include <algorithm>

namespace tgm {

void TFormList::shift_ends(int32_t from, int64_t delta) {
    for (std::size_t k = static_cast<std::size_t>(from); k < ends_.size(); ++k)
        ends_[k] = static_cast<uint32_t>(ends_[k] + delta);
}

void TFormList::put(int32_t i, std::string_view text) {
    const uint32_t b = begin(i);
    const uint32_t e = ends_[static_cast<std::size_t>(i)];
    chars_.replace(b, e - b, text);
    if (text.size() != e - b)
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

void TFormList::fill_indices(int32_t n) {
    // The index texts of the largest table a unit holds, made once: count lines and
    // renumbering then copy a prefix instead of formatting every number again.
    static const TFormList cache = [] {
        TFormList c;
        c.reserve(65536, 65536 * 6);
        for (int32_t i = 0; i < 65536; ++i)
            c.add(std::to_string(i));
        return c;
    }();
    clear();
    if (n <= 0)
        return;
    const int32_t cached = std::min(n, cache.count());
    chars_.assign(cache.chars_, 0, cache.ends_[static_cast<std::size_t>(cached) - 1]);
    ends_.assign(cache.ends_.begin(), cache.ends_.begin() + cached);
    for (int32_t i = cached; i < n; ++i)
        add(std::to_string(i));
}

void TFormList::fill_repeated(std::string_view text, int32_t n) {
    clear();
    if (n <= 0)
        return;
    chars_.reserve(text.size() * static_cast<std::size_t>(n));
    ends_.reserve(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        add(text);
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
