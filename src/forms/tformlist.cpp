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

namespace {

// The index texts of the largest table a unit holds, made once: loading, count lines and
// renumbering copy a range of it instead of formatting every number again.
const TFormList& index_texts() {
    static const TFormList cache = [] {
        TFormList c;
        c.reserve(65536, 65536 * 6);
        for (int32_t i = 0; i < 65536; ++i)
            c.add(std::to_string(i));
        return c;
    }();
    return cache;
}

} // namespace

void TFormList::fill_indices(int32_t n) {
    clear();
    add_indices(0, n);
}

void TFormList::add_indices(int32_t first, int32_t n) {
    if (n <= 0 || first < 0)
        return;
    const TFormList& cache = index_texts();
    const int32_t cached_end = std::min(first + n, cache.count());
    if (first < cached_end) {
        const uint32_t from = cache.begin(first);
        const uint32_t to = cache.ends_[static_cast<std::size_t>(cached_end) - 1];
        const auto base = static_cast<int64_t>(chars_.size()) - from;
        chars_.append(cache.chars_, from, to - from);
        for (int32_t i = first; i < cached_end; ++i)
            ends_.push_back(static_cast<uint32_t>(cache.ends_[static_cast<std::size_t>(i)] + base));
    }
    for (int32_t i = std::max(first, cached_end); i < first + n; ++i)
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
