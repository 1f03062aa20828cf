#pragma once
// A registry of file signatures: the text that opens a file of one kind, its extension and the
// key by which a MARKER finds it.
#include <cstdint>
#include <string>

namespace tgm {

struct SIGNATURA {
    std::string signature;
    std::string extension; // with its dot
    int32_t key = 0;
};

// Appends to the program-wide list, in registration order.
void register_signature(const SIGNATURA& record);
// The first registered record with the key, or nullptr.
const SIGNATURA* find_signature(int32_t key);

} // namespace tgm
