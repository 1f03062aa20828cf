#pragma once
// A growable byte buffer owning one heap block. Growth adds 100 bytes of headroom so that
// buffers built piece by piece do not reallocate at every step.
#include <cstdint>
#include <memory>

namespace tgm {

class DATA {
public:
    DATA() = default;
    DATA(const DATA& other);
    DATA& operator=(const DATA& other);
    DATA(DATA&& other) noexcept;
    DATA& operator=(DATA&& other) noexcept;
    ~DATA() = default;

    int32_t capacity() const { return capacity_; }
    int32_t size() const { return size_; }
    uint8_t* bytes() { return block_.get(); }
    const uint8_t* bytes() const { return block_.get(); }

    void clear();
    // Makes room for n bytes; the old contents are lost when a new block is needed.
    void reserve_fresh(int32_t n);
    // Makes room for n bytes, keeping the old contents.
    void reserve_keep(int32_t n);
    // Sets the size; growing past the capacity does not preserve the contents.
    void set_size(int32_t n);
    void append(const void* p, int32_t k);
    void append_byte(uint8_t b);
    void fill_zero(int32_t n);
    void assign(const void* p, int32_t n);
    bool equals(const DATA& other) const;
    // Byte i, or 0 outside 0 <= i < size.
    uint8_t byte_at(int32_t i) const;

private:
    std::unique_ptr<uint8_t[]> block_;
    int32_t capacity_ = 0;
    int32_t size_ = 0;
};

} // namespace tgm
