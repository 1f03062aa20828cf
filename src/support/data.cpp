#include "support/data.h"

#include <cstring>
#include <limits>
#include <new>

namespace tgm {
namespace {

// Sizes are signed 32-bit; a request beyond that range is an out-of-memory failure.
int32_t checked_size(int64_t n) {
    if (n < 0 || n > std::numeric_limits<int32_t>::max())
        throw std::bad_alloc();
    return static_cast<int32_t>(n);
}

} // namespace

DATA::DATA(const DATA& other) { assign(other.bytes(), other.size_); }

DATA& DATA::operator=(const DATA& other) {
    if (this != &other)
        assign(other.bytes(), other.size_);
    return *this;
}

DATA::DATA(DATA&& other) noexcept
    : block_(std::move(other.block_)), capacity_(other.capacity_), size_(other.size_) {
    other.capacity_ = 0;
    other.size_ = 0;
}

DATA& DATA::operator=(DATA&& other) noexcept {
    if (this != &other) {
        block_ = std::move(other.block_);
        capacity_ = other.capacity_;
        size_ = other.size_;
        other.capacity_ = 0;
        other.size_ = 0;
    }
    return *this;
}

void DATA::clear() {
    block_.reset();
    capacity_ = 0;
    size_ = 0;
}

void DATA::reserve_fresh(int32_t n) {
    if (capacity_ < n) {
        block_.reset();
        block_.reset(new uint8_t[static_cast<std::size_t>(n)]);
        capacity_ = n;
    }
}

void DATA::reserve_keep(int32_t n) {
    if (capacity_ < n) {
        std::unique_ptr<uint8_t[]> fresh(new uint8_t[static_cast<std::size_t>(n)]);
        if (capacity_ > 0)
            std::memcpy(fresh.get(), block_.get(), static_cast<std::size_t>(capacity_));
        block_ = std::move(fresh);
        capacity_ = n;
    }
}

void DATA::set_size(int32_t n) {
    if (n > size_ && n > capacity_)
        reserve_fresh(checked_size(int64_t{n} + 100));
    size_ = n;
}

void DATA::append(const void* p, int32_t k) {
    if (k <= 0)
        return;
    const int32_t needed = checked_size(int64_t{size_} + k);
    if (needed > capacity_)
        reserve_keep(checked_size(int64_t{needed} + 100));
    std::memcpy(block_.get() + size_, p, static_cast<std::size_t>(k));
    size_ = needed;
}

void DATA::append_byte(uint8_t b) { append(&b, 1); }

void DATA::fill_zero(int32_t n) {
    set_size(n);
    if (size_ > 0)
        std::memset(block_.get(), 0, static_cast<std::size_t>(size_));
}

void DATA::assign(const void* p, int32_t n) {
    set_size(n);
    if (size_ != 0)
        std::memmove(block_.get(), p, static_cast<std::size_t>(n));
}

bool DATA::equals(const DATA& other) const {
    return size_ == other.size_ &&
           (size_ == 0 ||
            std::memcmp(block_.get(), other.block_.get(), static_cast<std::size_t>(size_)) == 0);
}

uint8_t DATA::byte_at(int32_t i) const {
    return (i < 0 || i >= size_) ? 0 : block_[static_cast<std::size_t>(i)];
}

} // namespace tgm
