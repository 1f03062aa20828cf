#pragma once
// The program's owning list of objects. Each derived collection says how an item is freed.
#include <cstdint>
#include <vector>

namespace tgm {

class TXCollection {
public:
    TXCollection() = default;
    // A base destructor cannot reach free_item any more, so derived collections call clear()
    // in their own destructors.
    virtual ~TXCollection() = default;
    TXCollection(const TXCollection&) = delete;
    TXCollection& operator=(const TXCollection&) = delete;

    int32_t count() const { return static_cast<int32_t>(items_.size()); }
    void* item(int32_t index) const { return items_[static_cast<std::size_t>(index)]; }
    void add(void* object) { items_.push_back(object); }
    // Frees every item from index 0 upwards, then empties the list.
    void clear();

protected:
    virtual void free_item(int32_t index) = 0;

private:
    std::vector<void*> items_;
};

} // namespace tgm
