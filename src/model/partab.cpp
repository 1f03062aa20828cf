#include "model/partab.h"

#include <cstdint>
#include <new>

namespace tgm {
namespace {

// Differences wrap modulo 2^32 as the unit's 32-bit arithmetic does, without signed overflow.
int32_t wrap_sub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

bool in_range(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

} // namespace

void PARTAB::resize(int32_t n) {
    if (n < 0 || n > INT32_MAX / 4)
        throw std::bad_alloc();
    count_ = n;
    set_size(4 * n);
}

void PARTAB::clear_points() {
    count_ = 0;
    set_size(0);
}

void PARTAB::copy_from(const PARTAB& other) {
    count_ = other.count_;
    header_ = other.header_;
    assign(other.bytes(), 4 * other.count_);
}

bool PARTAB::equals(const PARTAB& other) const {
    return count_ == other.count_ && DATA::equals(other);
}

bool PARTAB::check_second_diff(PARTAB& out) const {
    const int32_t n = count_;
    out.resize(n);
    const int32_t* v = points();
    int32_t* o = out.points();
    bool ok = true;
    if (n > 0) {
        o[0] = v[0];
        ok = ok && in_range(o[0], 0, 32767);
    }
    if (n > 1) {
        o[1] = wrap_sub(v[1], v[0]);
        ok = ok && in_range(o[1], 0, 32767);
    }
    for (int32_t i = 2; i < n; ++i) {
        o[i] = wrap_sub(wrap_sub(v[i], v[i - 1]), wrap_sub(v[i - 1], v[i - 2]));
        ok = ok && in_range(o[i], -128, 127);
    }
    return ok;
}

bool PARTAB::check_first_diff(PARTAB& out) const {
    const int32_t n = count_;
    out.resize(n);
    const int32_t* v = points();
    int32_t* o = out.points();
    bool ok = true;
    if (n > 0) {
        o[0] = v[0];
        ok = ok && in_range(o[0], 0, 32767);
    }
    for (int32_t i = 1; i < n; ++i) {
        o[i] = wrap_sub(v[i], v[i - 1]);
        ok = ok && in_range(o[i], -32768, 32767);
    }
    return ok;
}

std::string PARTAB::control_text() const {
    PARTAB scratch;
    if (check_second_diff(scratch))
        return "OK ";
    return check_first_diff(scratch) ? "OK*" : "OK**";
}

} // namespace tgm
